// The installer as it is downloaded: a file created new (never one that was
// there before), writable by this process alone, and marked for deletion
// from its first moment, so that it disappears with its last handle on every
// way out (a refused or broken transfer, the window closed, the process
// ended) unless the updater keeps it. When a digest is wanted, every byte is
// hashed on a thread of its own while the next ones arrive, so the digest is
// known soon after the last byte and the file is never read again. Windows
// only.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

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
  // Hashes what is written from now on; before the first write.
  void StartHashing();
  bool OverLimit() const;

  // Thread-safe: a transfer left behind may still write after Discard,
  // and then writes nothing.
  uint32_t Write(const uint8_t* data, uint32_t size) override;
  // Empties the file and starts the digest again.
  bool Restart() override;

  uint64_t Size() const;
  // The SHA-256 of every byte written (false without StartHashing); once,
  // after the last write.
  bool Digest(CSha256Digest& digest);

  // Lets the file go: it is deleted with its handle.
  void Discard();

  // Keeps the file for starting it: clears the deletion mark, then holds it
  // open for reading with no write or delete sharing, as the same file with
  // the same size and time as written, so that nobody can change or swap
  // it until Release. False (and the file gone) when that fails.
  bool KeepForStart();
  // Whether the kept file, read again through the handle that lets nobody
  // write, has this digest: what was checked is what is started.
  bool HasDigest(const CSha256Digest& expected);
  void Release();

 private:
  void HashPieces();
  // Waits (lock held by hold) until every piece given is hashed.
  void WaitForHash(std::unique_lock<std::mutex>& hold);

  mutable std::mutex lock_;
  std::u16string path_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  // The pieces written and not hashed yet, at most kHashBacklog bytes; the
  // hash thread takes them in order.
  std::unique_ptr<CSha256Hash> hash_;
  std::deque<std::vector<uint8_t>> pieces_;
  std::vector<std::vector<uint8_t>> spare_;  // hashed pieces' buffers, used again
  uint64_t backlog_ = 0;
  bool hashing_ = false;      // a piece is being hashed
  bool hashFailed_ = false;
  bool stopHashing_ = false;
  std::condition_variable piecesChanged_;
  std::thread hasher_;
  uint64_t size_ = 0;
  uint64_t limit_ = 0;
  bool overLimit_ = false;
  bool closed_ = false;
};
