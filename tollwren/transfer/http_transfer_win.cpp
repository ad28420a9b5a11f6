#include "tollwren/transfer/http_transfer.h"

#include <windows.h>
#include <wininet.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "common/text16.h"

namespace {

const wchar_t kPostHeader[] = L"Content-Type: application/x-www-form-urlencoded";
const wchar_t kAcceptAll[] = L"text/html, image/gif, image/jpeg, *; q=.2, */*; q=.2";

// The body never goes into the system's Internet cache: an installer would
// be written twice, and the cache write costs more than the transfer.
const DWORD kPlainFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS | INTERNET_FLAG_NO_UI |
                          INTERNET_FLAG_NO_CACHE_WRITE;
const ULONGLONG kFastReadMs = 50;
const ULONGLONG kSlowReadMs = 200;
// A secure request checks its certificate and never follows a redirect to
// plain HTTP.
const DWORD kSecureFlags = kPlainFlags | INTERNET_FLAG_SECURE;

const wchar_t kUserName[] = L"u";
const wchar_t kPassword[] = L"x";
const DWORD_PTR kContext = 1;

// Closes a WinINet handle when it goes out of scope.
class CInternetHandle {
 public:
  explicit CInternetHandle(HINTERNET handle) : handle_(handle) {}
  ~CInternetHandle() {
    if (handle_) InternetCloseHandle(handle_);
  }
  CInternetHandle(const CInternetHandle&) = delete;
  CInternetHandle& operator=(const CInternetHandle&) = delete;
  HINTERNET get() const { return handle_; }

 private:
  HINTERNET handle_;
};

// The target file of GetToFile, created at the first chunk and kept open
// for the whole body. Every chunk goes straight to the system with
// WriteFile, so the file holds every byte received so far while the next
// chunk is awaited.
class CTargetFile : public CTransferSink {
 public:
  explicit CTargetFile(const wchar_t* path) : path_(path) {}
  ~CTargetFile() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  CTargetFile(const CTargetFile&) = delete;
  CTargetFile& operator=(const CTargetFile&) = delete;

  // Bytes written; less than size when the file did not open or a write fell short.
  uint32_t Write(const uint8_t* data, uint32_t size) override {
    if (handle_ == INVALID_HANDLE_VALUE) {
      handle_ = CreateFileW(path_, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
      if (handle_ == INVALID_HANDLE_VALUE) return 0;
    }
    DWORD total = 0;
    while (total < size) {
      DWORD written = 0;
      if (!WriteFile(handle_, data + total, size - total, &written, nullptr) || written == 0) break;
      total += written;
    }
    return total;
  }

 private:
  const wchar_t* path_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// The "START-LAST/TOTAL" of a 206 answer's Content-Range; false when the
// header is missing or not of that form (a "*" total included).
bool QueryContentRange(HINTERNET request, uint64_t& start, uint64_t& total) {
  wchar_t text[128] = {};
  DWORD size = sizeof text - sizeof(wchar_t);
  DWORD index = 0;
  if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_RANGE, text, &size, &index)) return false;
  unsigned long long first = 0, last = 0, whole = 0;
  wchar_t end = 0;
  if (swscanf(text, L"bytes %llu-%llu/%llu%lc", &first, &last, &whole, &end) != 3) return false;
  if (last < first || last >= whole) return false;
  start = first;
  total = whole;
  return true;
}

bool QueryNumber(HINTERNET request, DWORD info, DWORD& value) {
  DWORD size = sizeof value;
  DWORD index = 0;
  return HttpQueryInfoW(request, info | HTTP_QUERY_FLAG_NUMBER, &value, &size, &index) != FALSE;
}

// After redirects: is the request still on a secure connection?
bool EndedSecure(HINTERNET request) {
  std::vector<wchar_t> url(2048);
  DWORD size = static_cast<DWORD>(url.size() * sizeof(wchar_t));
  if (!InternetQueryOptionW(request, INTERNET_OPTION_URL, url.data(), &size)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    url.assign(size / sizeof(wchar_t) + 2, 0);
    size = static_cast<DWORD>(url.size() * sizeof(wchar_t));
    if (!InternetQueryOptionW(request, INTERNET_OPTION_URL, url.data(), &size)) return false;
  }
  url.back() = 0;
  return _wcsnicmp(url.data(), L"https://", 8) == 0;
}

}  // namespace

CHttpTransfer::CHttpTransfer() : defaultUserAgent_(u"IE 9.0") {}

CHttpTransfer::~CHttpTransfer() { Close(); }

bool CHttpTransfer::Open(uint32_t timeoutMs, const char16_t* userAgent) {
  if (internet_) return false;
  HINTERNET internet = InternetOpenW(AsWide(userAgent ? userAgent : u""), INTERNET_OPEN_TYPE_PRECONFIG,
                                     nullptr, nullptr, 0);
  if (!internet) return false;
  DWORD timeout = timeoutMs;
  InternetSetOptionW(internet, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
  InternetSetOptionW(internet, INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof timeout);
  InternetSetOptionW(internet, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout);
  internet_ = internet;
  timeoutMs_ = timeoutMs;
  return true;
}

void CHttpTransfer::Close() {
  if (internet_) {
    InternetCloseHandle(static_cast<HINTERNET>(internet_));
    internet_ = nullptr;
  }
}

void CHttpTransfer::SetCounters(std::atomic<uint32_t>* bytesReceived, std::atomic<uint32_t>* bytesExpected) {
  receivedCounter_ = bytesReceived;
  expectedCounter_ = bytesExpected;
}

void CHttpTransfer::SetAbortFlag(std::atomic<uint8_t>* abortFlag) { abortFlag_ = abortFlag; }

void CHttpTransfer::SetDefaultUserAgent(const char16_t* userAgent) {
  defaultUserAgent_ = userAgent ? userAgent : u"";
}

int32_t CHttpTransfer::GetToFile(const char16_t* targetPath, const char16_t* url) {
  CUrlParts parts;
  if (!targetPath || !*targetPath || !SplitUrl(url, parts)) return Finish(kTransferFailed, 0);
  return Transfer(targetPath, nullptr, 0, u"GET", nullptr, parts, AsText(kUserName), AsText(kPassword));
}

void CHttpTransfer::SetResume(uint32_t offset, uint32_t total) {
  resumeFrom_ = offset;
  resumeTotal_ = total;
  rangeRefused_ = false;
}

int32_t CHttpTransfer::GetToSink(CTransferSink& sink, const char16_t* url) {
  CUrlParts parts;
  if (!SplitUrl(url, parts)) return Finish(kTransferFailed, 0);
  return Run(nullptr, &sink, nullptr, 0, u"GET", nullptr, parts, AsText(kUserName), AsText(kPassword));
}

int32_t CHttpTransfer::GetToMemory(uint8_t* buffer, uint32_t capacity, const char16_t* url) {
  CUrlParts parts;
  if (!buffer || capacity == 0) return Finish(kTransferFailed, 0);
  buffer[0] = 0;
  if (capacity <= 1 || !SplitUrl(url, parts)) return Finish(kTransferFailed, 0);
  int32_t result = Transfer(nullptr, buffer, capacity - 1, u"GET", nullptr, parts, AsText(kUserName),
                            AsText(kPassword));
  buffer[result == kTransferOk ? bytesReceived_ : 0] = 0;
  return result;
}

int32_t CHttpTransfer::Finish(int32_t result, uint32_t total) {
  bytesReceived_ = total;
  result_ = result;
  return result;
}

int32_t CHttpTransfer::Transfer(const char16_t* targetPath, uint8_t* buffer, uint32_t capacity,
                                const char16_t* verb, const char* body, const CUrlParts& url,
                                const char16_t* userName, const char16_t* password) {
  return Run(targetPath, nullptr, buffer, capacity, verb, body, url, userName, password);
}

int32_t CHttpTransfer::Run(const char16_t* targetPath, CTransferSink* sink, uint8_t* buffer, uint32_t capacity,
                           const char16_t* verb, const char* body, const CUrlParts& url,
                           const char16_t* userName, const char16_t* password) {
  const bool toMemory = buffer != nullptr;
  const bool toPath = targetPath != nullptr && *targetPath != 0;
  if (int(toMemory) + int(toPath) + int(sink != nullptr) != 1) return Finish(kTransferFailed, 0);
  if (url.host.empty()) return Finish(kTransferFailed, 0);

  if (!internet_) Open(kTransferTimeoutMs, defaultUserAgent_.c_str());
  // Only a sink can take the rest of a body.
  const uint32_t resumeFrom = sink ? resumeFrom_ : 0;
  wholeLength_ = 0;
  restarted_ = false;
  if (receivedCounter_) receivedCounter_->store(resumeFrom);
  if (!internet_) return Finish(kTransferFailed, 0);

  auto aborted = [this] { return abortFlag_ && abortFlag_->load() != 0; };
  const bool post = verb && std::u16string(verb) == u"POST";
  std::wstring headers = post ? kPostHeader : L"";
  if (resumeFrom) headers = L"Range: bytes=" + std::to_wstring(resumeFrom) + L"-";

  if (aborted()) return Finish(kTransferFailed, 0);
  CInternetHandle connection(InternetConnectW(static_cast<HINTERNET>(internet_), AsWide(url.host.c_str()),
                                              url.port, AsWide(userName), AsWide(password),
                                              INTERNET_SERVICE_HTTP, 0, kContext));
  if (!connection.get()) return Finish(kTransferFailed, 0);

  if (aborted()) return Finish(kTransferFailed, 0);
  std::u16string object = u"/";
  object += url.object;
  const wchar_t* acceptTypes[] = {kAcceptAll, nullptr};
  CInternetHandle request(HttpOpenRequestW(connection.get(), AsWide(verb ? verb : u"GET"), AsWide(object.c_str()),
                                           nullptr, nullptr, acceptTypes,
                                           url.secure ? kSecureFlags : kPlainFlags, kContext));
  if (!request.get()) return Finish(kTransferFailed, 0);
  // Not every WinINet passes the time-outs of the Internet handle on to the
  // connection; the request gets them too.
  DWORD timeout = timeoutMs_;
  InternetSetOptionW(request.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
  InternetSetOptionW(request.get(), INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof timeout);

  if (aborted()) return Finish(kTransferFailed, 0);
  DWORD bodyLength = (post && body) ? static_cast<DWORD>(std::strlen(body)) : 0;
  if (!HttpSendRequestW(request.get(), headers.empty() ? nullptr : headers.c_str(),
                        static_cast<DWORD>(headers.size()), bodyLength ? const_cast<char*>(body) : nullptr,
                        bodyLength)) {
    return Finish(kTransferFailed, 0);
  }
  if (url.secure && !EndedSecure(request.get())) return Finish(kTransferFailed, 0);

  DWORD contentLength = 0;
  const bool lengthKnown = QueryNumber(request.get(), HTTP_QUERY_CONTENT_LENGTH, contentLength);
  if (!lengthKnown) contentLength = 0;

  if (aborted()) return Finish(kTransferFailed, 0);
  DWORD status = 0;
  if (!QueryNumber(request.get(), HTTP_QUERY_STATUS_CODE, status)) return Finish(kTransferFailed, 0);
  // The rest of a body counts only when it starts where the part at hand
  // ends and belongs to a body of the length expected; a whole body (a
  // server that ignores the range) replaces the part.
  uint32_t base = 0;
  if (resumeFrom && status == 206) {
    uint64_t start = 0, whole = 0;
    if (!QueryContentRange(request.get(), start, whole) || start != resumeFrom ||
        (resumeTotal_ && whole != resumeTotal_) || !lengthKnown || whole > UINT32_MAX ||
        start + contentLength != whole) {
      rangeRefused_ = true;
      return Finish(kTransferFailed, 0);
    }
    base = resumeFrom;
  } else if (status != 200) {
    return Finish(kTransferFailed, 0);
  } else if (resumeFrom) {
    restarted_ = true;
  }
  wholeLength_ = lengthKnown ? base + contentLength : 0;
  if (expectedCounter_) expectedCounter_->store(wholeLength_);
  if (receivedCounter_) receivedCounter_->store(base);

  if (aborted()) return Finish(kTransferFailed, 0);
  DWORD available = 0;
  if (!InternetQueryDataAvailable(request.get(), &available, 0, 0) || available == 0) {
    return Finish(kTransferFailed, 0);
  }

  // Data is on its way: a previous attempt's file is never appended to.
  if (toPath) DeleteFileW(AsWide(targetPath));
  if (restarted_ && !sink->Restart()) return Finish(kTransferWriteFailed, 0);
  CTargetFile file(toPath ? AsWide(targetPath) : nullptr);
  CTransferSink& target = toPath ? file : *(sink ? sink : &file);
  std::vector<uint8_t> chunk;
  if (!toMemory) chunk.resize(kMaxReadSize);

  uint32_t total = 0;
  int emptyReads = 0;
  int failedReads = 0;
  DWORD readSize = kMinReadSize;
  for (;;) {
    uint8_t* into = toMemory ? buffer + total : chunk.data();
    DWORD room = toMemory ? capacity - total : static_cast<DWORD>(chunk.size());
    if (room == 0) return Finish(kTransferOk, total);  // memory buffer full: the body is cut here

    // A read waits until it has all it asked for. What has arrived already
    // is read as it is when it is little (a slow server); otherwise the read
    // size adapts to the speed.
    DWORD ready = 0;
    const bool readyKnown = InternetQueryDataAvailable(request.get(), &ready, 0, 0) != FALSE;
    const bool streaming = !readyKnown || ready >= kStreamingThreshold;
    DWORD ask = streaming ? readSize : ready;
    if (ask == 0 || ask > room) ask = room;

    DWORD read = 0;
    const ULONGLONG started = GetTickCount64();
    if (!InternetReadFile(request.get(), into, ask, &read)) {
      if (aborted()) return Finish(kTransferAborted, total);
      if (++failedReads > kReadRetries) return Finish(kTransferReadFailed, total);
      continue;
    }
    if (streaming) {
      const ULONGLONG took = GetTickCount64() - started;
      if (read == ask && ask == readSize && took < kFastReadMs && readSize < kMaxReadSize) readSize *= 2;
      if (took > kSlowReadMs && readSize > kMinReadSize) readSize /= 2;
    }
    failedReads = 0;

    // A file gets no byte beyond what its answer announced.
    if (sink && lengthKnown && uint64_t(base) + total + read > wholeLength_) return Finish(kTransferTooLarge, total);
    DWORD written = read;
    if (read > 0) {
      // The chunk is in the file before the counter shows it.
      if (!toMemory) written = target.Write(chunk.data(), read);
      total += read;
      if (receivedCounter_) receivedCounter_->store(base + total);
      emptyReads = 0;
    }
    if (aborted()) return Finish(kTransferAborted, total);
    if (written != read) return Finish(kTransferWriteFailed, total);
    if (read > 0) continue;

    if (lengthKnown && total >= contentLength) return Finish(kTransferOk, total);
    if (emptyReads++ == kEmptyReadLimit) {
      return Finish(lengthKnown ? kTransferCutShort : kTransferOk, total);
    }
  }
}
