#include "tollwren/flow/download_file_win.h"

#include "common/text16.h"

namespace {

bool MarkForDeletion(HANDLE file, bool remove) {
  FILE_DISPOSITION_INFO info = {};
  info.DeleteFile = remove ? TRUE : FALSE;
  return SetFileInformationByHandle(file, FileDispositionInfo, &info, sizeof info) != FALSE;
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow && a.nFileSizeHigh == b.nFileSizeHigh &&
         a.nFileSizeLow == b.nFileSizeLow && CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) == 0;
}

}  // namespace

CDownloadFile::~CDownloadFile() { Discard(); }

bool CDownloadFile::Create(const std::u16string& path) {
  std::lock_guard<std::mutex> hold(lock_);
  if (handle_ != INVALID_HANDLE_VALUE || closed_ || path.empty()) return false;
  HANDLE file = CreateFileW(AsWide(path.c_str()), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  // Without the mark the file could outlive a refusal: it is not kept then.
  if (!MarkForDeletion(file, true)) {
    CloseHandle(file);
    DeleteFileW(AsWide(path.c_str()));
    return false;
  }
  handle_ = file;
  path_ = path;
  return true;
}

bool CDownloadFile::OverLimit() const {
  std::lock_guard<std::mutex> hold(lock_);
  return overLimit_;
}

uint32_t CDownloadFile::Write(const uint8_t* data, uint32_t size) {
  std::lock_guard<std::mutex> hold(lock_);
  if (handle_ == INVALID_HANDLE_VALUE || closed_) return 0;
  if (limit_ && size_ + size > limit_) {
    overLimit_ = true;
    return 0;
  }
  DWORD total = 0;
  while (total < size) {
    DWORD written = 0;
    if (!WriteFile(handle_, data + total, size - total, &written, nullptr) || written == 0) break;
    total += written;
  }
  if (!hash_->Add(data, total)) return 0;
  size_ += total;
  return total;
}

bool CDownloadFile::Restart() {
  std::lock_guard<std::mutex> hold(lock_);
  if (handle_ == INVALID_HANDLE_VALUE || closed_) return false;
  LARGE_INTEGER start = {};
  if (!SetFilePointerEx(handle_, start, nullptr, FILE_BEGIN) || !SetEndOfFile(handle_)) return false;
  hash_ = std::make_unique<CSha256Hash>();
  size_ = 0;
  overLimit_ = false;
  return true;
}

uint64_t CDownloadFile::Size() const {
  std::lock_guard<std::mutex> hold(lock_);
  return size_;
}

bool CDownloadFile::Digest(CSha256Digest& digest) {
  std::lock_guard<std::mutex> hold(lock_);
  return hash_->Finish(digest);
}

void CDownloadFile::Discard() {
  std::lock_guard<std::mutex> hold(lock_);
  closed_ = true;
  if (handle_ != INVALID_HANDLE_VALUE) {
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }
}

bool CDownloadFile::KeepForStart() {
  std::lock_guard<std::mutex> hold(lock_);
  if (handle_ == INVALID_HANDLE_VALUE || closed_) return false;
  BY_HANDLE_FILE_INFORMATION written = {};
  if (!GetFileInformationByHandle(handle_, &written) || !MarkForDeletion(handle_, false)) {
    closed_ = true;
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return false;
  }
  // A handle that may write cannot stay open while the system maps the
  // program to start it, so the writer makes way for a reader that shares
  // reading only. Opening it checks that nobody else holds the file for
  // writing; the file's identity, size and time show that nobody wrote to
  // it in between.
  closed_ = true;
  CloseHandle(handle_);
  handle_ = CreateFileW(AsWide(path_.c_str()), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
  BY_HANDLE_FILE_INFORMATION reopened = {};
  if (handle_ == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle_, &reopened) ||
      !SameFile(written, reopened)) {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    DeleteFileW(AsWide(path_.c_str()));
    return false;
  }
  return true;
}

void CDownloadFile::Release() { Discard(); }
