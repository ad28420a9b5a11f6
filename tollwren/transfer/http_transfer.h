// One blocking HTTP request whose body goes into a file or into a caller's
// memory buffer, with progress counters and an abort flag shared with
// another thread. Windows only (WinINet).
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "tollwren/transfer/url_parts.h"

// Results of a transfer. A transfer succeeded when its result is
// kTransferOk and at least one byte was received.
enum : int32_t {
  kTransferOk = 0,
  kTransferFailed = -1,        // nothing transferred: bad URL, abort before the body,
                               // connection/request/send failed, status not 200, no data
  kTransferAborted = -2,       // abort flag set during the body
  kTransferWriteFailed = -3,   // the target file did not open or a write fell short
  kTransferReadFailed = -4,    // reading the body failed repeatedly
  kTransferCutShort = -5,      // the body ended before its announced Content-Length
  kTransferTooLarge = -6,      // the body is longer than the caller takes
  kTransferTimedOut = -7,      // the transfer as a whole took longer than its deadline
};

// Where the body of a transfer goes, chunk by chunk, on the transferring
// thread.
class CTransferSink {
 public:
  virtual ~CTransferSink() = default;
  // The bytes written of the chunk; less than size ends the transfer with
  // kTransferWriteFailed.
  virtual uint32_t Write(const uint8_t* data, uint32_t size) = 0;
  // Drops everything written: a whole body comes instead of the rest of
  // one. False when that is not possible.
  virtual bool Restart() { return false; }
};

constexpr const char16_t* kUpdaterUserAgent = u"Quorvane Tollwren";
constexpr uint32_t kTransferTimeoutMs = 20000;
// Consecutive failed reads that are retried before the transfer gives up.
constexpr int kReadRetries = 3;
// Consecutive empty reads after which a body is taken as ended.
constexpr int kEmptyReadLimit = 10;
// Size of one read while the body streams in quickly: it starts at the
// smallest and doubles while reads complete fast, halves when they are slow,
// so that the counters and the abort flag are looked at several times a
// second however fast the server is.
constexpr uint32_t kMinReadSize = 16 * 1024;
constexpr uint32_t kMaxReadSize = 1024 * 1024;
// Data that has already arrived up to this amount is read as it is, without
// waiting for a whole read size (a slow server).
constexpr uint32_t kStreamingThreshold = 8 * 1024;

// The longest a download may take in all, whatever its server does (a byte
// every few seconds never trips a read's time-out): its size at the floor
// speed, but never less than the minimum.
constexpr uint64_t kDownloadFloorBytesPerSecond = 8 * 1024;
constexpr uint64_t kDownloadMinimumMs = 60000;
constexpr uint64_t DownloadDeadlineMs(uint64_t size) {
  return size / kDownloadFloorBytesPerSecond * 1000 > kDownloadMinimumMs ? size / kDownloadFloorBytesPerSecond * 1000
                                                                         : kDownloadMinimumMs;
}

class CHttpTransfer {
 public:
  CHttpTransfer();
  virtual ~CHttpTransfer();
  CHttpTransfer(const CHttpTransfer&) = delete;
  CHttpTransfer& operator=(const CHttpTransfer&) = delete;

  // Opens the Internet handle with this user agent and sets the receive,
  // send and connect time-outs. True only when it opened the handle now.
  bool Open(uint32_t timeoutMs, const char16_t* userAgent);
  void Close();

  // Counters the caller owns (either may be null): bytes received so far,
  // and the announced Content-Length (0 when the server sends none).
  void SetCounters(std::atomic<uint32_t>* bytesReceived, std::atomic<uint32_t>* bytesExpected);
  // Non-zero means: stop as soon as possible. May be null.
  void SetAbortFlag(std::atomic<uint8_t>* abortFlag);
  // User agent for a transfer that has to open the Internet handle itself.
  void SetDefaultUserAgent(const char16_t* userAgent);

  // GET url into the file at targetPath. The file is created (replacing an
  // old one) once the server has data for it, and after every chunk holds
  // every byte received so far.
  int32_t GetToFile(const char16_t* targetPath, const char16_t* url);

  // GET url into sink, which sees every chunk of the body in order; a body
  // longer than the length its answer announced is refused
  // (kTransferTooLarge).
  int32_t GetToSink(CTransferSink& sink, const char16_t* url);
  // For the next GetToSink: ask only for the bytes from offset on (the sink
  // holds those before it) of a body of total bytes (0: not known). A 206
  // answer for exactly that range continues the sink, a 200 answer restarts
  // it with the whole body, any other answer fails (RangeRefused tells a
  // partial answer for another range apart). The counters count the whole
  // body: received from offset on, expected the whole length.
  void SetResume(uint32_t offset, uint32_t total);
  bool RangeRefused() const { return rangeRefused_; }
  // Whether the last answer brought the whole body instead of the rest.
  bool Restarted() const { return restarted_; }
  // The whole body's length as the last answer announced it; 0 unknown.
  uint32_t WholeLength() const { return wholeLength_; }

  // GET url into buffer: at most capacity - 1 bytes followed by a zero
  // byte. A body longer than that is cut (result 0). capacity <= 1 fails.
  int32_t GetToMemory(uint8_t* buffer, uint32_t capacity, const char16_t* url);

  // The request itself. Exactly one of targetPath, sink and buffer is
  // given; buffer receives at most capacity bytes. verb is "GET" or "POST"
  // (body, an 8-bit text, only with "POST"; may be null).
  int32_t Transfer(const char16_t* targetPath, uint8_t* buffer, uint32_t capacity,
                   const char16_t* verb, const char* body, const CUrlParts& url,
                   const char16_t* userName, const char16_t* password);

  bool Succeeded() const { return result_ == kTransferOk && bytesReceived_ != 0; }
  int32_t Result() const { return result_; }
  uint32_t BytesReceived() const { return bytesReceived_; }

 private:
  int32_t Run(const char16_t* targetPath, CTransferSink* sink, uint8_t* buffer, uint32_t capacity,
              const char16_t* verb, const char* body, const CUrlParts& url, const char16_t* userName,
              const char16_t* password);
  int32_t Finish(int32_t result, uint32_t total);

  void* internet_ = nullptr;  // HINTERNET
  uint32_t timeoutMs_ = kTransferTimeoutMs;
  std::u16string defaultUserAgent_;
  std::atomic<uint32_t>* receivedCounter_ = nullptr;
  std::atomic<uint32_t>* expectedCounter_ = nullptr;
  std::atomic<uint8_t>* abortFlag_ = nullptr;
  uint32_t bytesReceived_ = 0;
  int32_t result_ = kTransferFailed;
  uint32_t resumeFrom_ = 0;
  uint32_t resumeTotal_ = 0;
  uint32_t wholeLength_ = 0;
  bool rangeRefused_ = false;
  bool restarted_ = false;
};
