// The installer as it is downloaded: a file created new (never one that was
// there before), writable by this process alone, and marked for deletion
// from its first moment, so that it disappears with its last handle on every
// way out (a refused or broken transfer, the window closed, the process
// ended) unless the updater keeps it. Every byte is hashed as it is written,
// so the digest is known when the last byte is. Windows only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "tollwren/transfer/http_transfer.h"
#include "tollwren/trust/publisher_keys_win.h"

class CDownloadFile : public CTransferSink {
 public:
  CDownloadFile() = default;
  ~CDownloadFile() override;
  CDownloadFile(const CDownloadFile&) = delete;
  CDownloadFile& operator=(const CDownloadFile&) = delete;

  // Creates the file at path; false when a file of that name exists or it
  // cannot be created.
  bool Create(const std::u16string& path);
  const std::u16string& Path() const { return path_; }

  // More than limit bytes are refused (the write fails and OverLimit says
  // so); 0 for no limit.
  void SetLimit(uint64_t limit) { limit_ = limit; }
  bool OverLimit() const;

  // Thread-safe: a transfer left behind may still write after Discard,
  // and then writes nothing.
  uint32_t Write(const uint8_t* data, uint32_t size) override;
  // Empties the file and starts the digest again.
  bool Restart() override;

  uint64_t Size() const;
  // The SHA-256 of every byte written; once, after the last write.
  bool Digest(CSha256Digest& digest);

  // Lets the file go: it is deleted with its handle.
  void Discard();

  // Keeps the file for starting it: clears the deletion mark, then holds it
  // open for reading with no write or delete sharing, as the same file with
  // the same size and time as written, so that nobody can change or swap
  // it until Release. False (and the file gone) when that fails.
  bool KeepForStart();
  void Release();

 private:
  mutable std::mutex lock_;
  std::u16string path_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  std::unique_ptr<CSha256Hash> hash_ = std::make_unique<CSha256Hash>();
  uint64_t size_ = 0;
  uint64_t limit_ = 0;
  bool overLimit_ = false;
  bool closed_ = false;
};
