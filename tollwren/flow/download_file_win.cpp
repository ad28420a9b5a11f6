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

// Bytes written but not yet hashed before a write waits for the hash.
constexpr uint64_t kHashBacklog = 16 * 1024 * 1024;
// Bytes read at a time when the kept file is hashed again.
constexpr size_t kRehashPiece = 1024 * 1024;

}  // namespace

CDownloadFile::~CDownloadFile() {
  Discard();
  {
    std::lock_guard<std::mutex> hold(lock_);
    stopHashing_ = true;
  }
  piecesChanged_.notify_all();
  if (hasher_.joinable()) hasher_.join();
}

void CDownloadFile::StartHashing() {
  std::lock_guard<std::mutex> hold(lock_);
  if (hash_) return;
  hash_ = std::make_unique<CSha256Hash>();
  hasher_ = std::thread([this] { HashPieces(); });
}

void CDownloadFile::HashPieces() {
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    piecesChanged_.wait(hold, [this] { return stopHashing_ || !pieces_.empty(); });
    if (stopHashing_) return;
    std::vector<uint8_t> piece = std::move(pieces_.front());
    pieces_.pop_front();
    hashing_ = true;
    CSha256Hash* hash = hash_.get();
    hold.unlock();
    // Restart and Digest wait for this piece: the hash stays the same.
    const bool added = hash->Add(piece.data(), piece.size());
    hold.lock();
    hashing_ = false;
    backlog_ -= piece.size();
    if (!added) hashFailed_ = true;
    spare_.push_back(std::move(piece));
    piecesChanged_.notify_all();
  }
}

void CDownloadFile::WaitForHash(std::unique_lock<std::mutex>& hold) {
  piecesChanged_.wait(hold, [this] { return (pieces_.empty() && !hashing_) || stopHashing_; });
}

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
  std::unique_lock<std::mutex> hold(lock_);
  // The hash keeps up: a write waits while too much is left to hash.
  if (hash_) piecesChanged_.wait(hold, [this] { return backlog_ < kHashBacklog || closed_; });
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
  if (hash_ && total > 0) {
    if (hashFailed_) return 0;
    // A buffer of a piece hashed already: no fresh memory for every chunk.
    std::vector<uint8_t> piece;
    if (!spare_.empty()) {
      piece = std::move(spare_.back());
      spare_.pop_back();
    }
    piece.assign(data, data + total);
    pieces_.push_back(std::move(piece));
    backlog_ += total;
    piecesChanged_.notify_all();
  }
  size_ += total;
  return total;
}

bool CDownloadFile::Restart() {
  std::unique_lock<std::mutex> hold(lock_);
  if (handle_ == INVALID_HANDLE_VALUE || closed_) return false;
  LARGE_INTEGER start = {};
  if (!SetFilePointerEx(handle_, start, nullptr, FILE_BEGIN) || !SetEndOfFile(handle_)) return false;
  if (hash_) {
    WaitForHash(hold);
    hash_ = std::make_unique<CSha256Hash>();
    hashFailed_ = false;
  }
  size_ = 0;
  overLimit_ = false;
  return true;
}

uint64_t CDownloadFile::Size() const {
  std::lock_guard<std::mutex> hold(lock_);
  return size_;
}

bool CDownloadFile::Digest(CSha256Digest& digest) {
  std::unique_lock<std::mutex> hold(lock_);
  if (!hash_) return false;
  WaitForHash(hold);
  return !hashFailed_ && !stopHashing_ && hash_->Finish(digest);
}

void CDownloadFile::Discard() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    closed_ = true;
    if (handle_ != INVALID_HANDLE_VALUE) {
      CloseHandle(handle_);
      handle_ = INVALID_HANDLE_VALUE;
    }
  }
  // A write waiting for the hash gives up.
  piecesChanged_.notify_all();
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

bool CDownloadFile::HasDigest(const CSha256Digest& expected) {
  std::lock_guard<std::mutex> hold(lock_);
  LARGE_INTEGER start = {};
  if (handle_ == INVALID_HANDLE_VALUE || !SetFilePointerEx(handle_, start, nullptr, FILE_BEGIN)) return false;
  CSha256Hash hash;
  std::vector<uint8_t> buffer(kRehashPiece);
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(handle_, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) return false;
    if (read == 0) break;
    if (!hash.Add(buffer.data(), read)) return false;
  }
  CSha256Digest digest;
  return hash.Finish(digest) && digest == expected;
}

void CDownloadFile::Release() { Discard(); }
