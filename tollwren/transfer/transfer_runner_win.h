// Runs one HTTP transfer on a thread of its own, so that its caller stops
// waiting the moment it is told to stop or its deadline passes, even while
// WinINet blocks in a read that only its own time-out would end (closing a
// WinINet handle from another thread does not end a read under way on
// every WinINet). A transfer left behind finishes on its thread and touches
// only what it shares with the runner: its own counters, buffer and sink.
// Windows only.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tollwren/transfer/http_transfer.h"

// How often the waiting caller looks at its abort flag and deadline.
constexpr uint32_t kRunnerPollMs = 50;

class CTransferRunner {
 public:
  virtual ~CTransferRunner() = default;

  // The caller's counters, kept up to date while the caller waits (either
  // may be null).
  void SetCounters(std::atomic<uint32_t>* bytesReceived, std::atomic<uint32_t>* bytesExpected);
  // Non-zero: stop waiting at once (kTransferAborted). May be null.
  void SetAbortFlag(std::atomic<uint8_t>* abortFlag);
  // The longest the whole transfer may take, from the request to the last
  // byte (kTransferTimedOut after it); 0 for none.
  void SetDeadline(uint32_t milliseconds);
  // A download's deadline instead: DownloadDeadlineMs of size, or of the
  // length the answer announces when that is larger, counted from
  // startTick (GetTickCount64), which may lie before this transfer.
  void SetDownloadDeadline(uint64_t startTick, uint64_t size);

  // GET url into sink. The sink may still be written to by a transfer left
  // behind after an abort or the deadline: it must take writes from
  // another thread and refuse them once its owner has let it go.
  int32_t GetToSink(const std::shared_ptr<CTransferSink>& sink, const std::u16string& url);
  // The same for the rest of a body whose first offset bytes the sink holds
  // (see CHttpTransfer::SetResume).
  int32_t GetRestToSink(const std::shared_ptr<CTransferSink>& sink, const std::u16string& url, uint32_t offset,
                        uint32_t total);
  // GET url into bytes: a body of at most limit bytes; a longer one is
  // refused (kTransferTooLarge), never cut.
  int32_t GetToMemory(std::vector<uint8_t>& bytes, uint32_t limit, const std::u16string& url);

  int32_t Result() const { return result_; }
  // Of the last transfer that ended while waited for (see CHttpTransfer).
  uint32_t WholeLength() const { return wholeLength_; }
  bool RangeRefused() const { return rangeRefused_; }
  uint32_t BytesReceived() const { return bytesReceived_; }
  bool Succeeded() const { return result_ == kTransferOk && bytesReceived_ != 0; }

  struct CState;

 private:
  int32_t Wait(const std::shared_ptr<CState>& state);

  std::atomic<uint32_t>* receivedCounter_ = nullptr;
  std::atomic<uint32_t>* expectedCounter_ = nullptr;
  std::atomic<uint8_t>* abortFlag_ = nullptr;
  uint32_t deadlineMs_ = 0;
  bool sizedDeadline_ = false;
  uint64_t deadlineStart_ = 0;
  uint64_t deadlineSize_ = 0;
  int32_t result_ = kTransferFailed;
  uint32_t bytesReceived_ = 0;
  uint32_t wholeLength_ = 0;
  bool rangeRefused_ = false;
};
