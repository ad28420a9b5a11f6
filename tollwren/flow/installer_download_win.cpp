// The download of the installer across its addresses: the file it goes
// into (beside the program, or in a folder of its own), the digest and size
// it must have, and the resumption of a broken transfer. Windows only.
#include "tollwren/flow/update_flow.h"

#include <vector>

#include "common/text16.h"
#include "tollwren/flow/download_file_win.h"
#include "tollwren/flow/flow_rules.h"
#include "tollwren/flow/private_folder_win.h"
#include "tollwren/pad/pad_document.h"
#include "tollwren/transfer/transfer_runner_win.h"
#include "tollwren/transfer/url_parts.h"
#include "tollwren/trust/publisher_keys_win.h"

bool CUpdateFlow::ReadExpectedInstaller() {
  // An empty File_SHA256 names no digest; a signed copy needs one anyway.
  std::u16string digestText = pad_.fileSha256;
  while (!digestText.empty() && (digestText.back() == u' ' || digestText.back() == u'\t' ||
                                 digestText.back() == u'\r' || digestText.back() == u'\n')) {
    digestText.pop_back();
  }
  expectDigest_ = IsSigned() || (pad_.hasFileSha256 && !digestText.empty());
  expectedSize_ = 0;
  if (!expectDigest_) return true;
  if (!ParseSha256Hex(pad_.fileSha256, expectedDigest_)) return false;
  if (IsSigned()) {
    if (pad_.fileSize <= 0) return false;
    expectedSize_ = static_cast<uint64_t>(pad_.fileSize);
  }
  return true;
}

std::shared_ptr<CDownloadFile> CUpdateFlow::CreateDownloadFile(const std::u16string& name, bool besideProgram,
                                                               std::unique_ptr<CPrivateFolder>& ownFolder) {
  auto file = std::make_shared<CDownloadFile>();
  // A copy without a publisher key takes no more than the transfer can
  // count, and (in the transfer) no more than the answer announced.
  file->SetLimit(expectedSize_ ? expectedSize_ : kUnsignedDownloadLimit);
  if (expectDigest_) file->StartHashing();
  std::u16string path = JoinPath(programFolder, name);
  // A file that is there already (the updater itself, pad.xml, a library
  // of the product) is never replaced, and a folder that cannot be written
  // to sends the download elsewhere too: to a new folder of its own.
  if (!besideProgram || !file->Create(path)) {
    ownFolder = std::make_unique<CPrivateFolder>();
    if (!ownFolder->Create(TempFolder())) {
      ownFolder.reset();
      return nullptr;
    }
    path = JoinPath(ownFolder->Path(), name);
    if (!file->Create(path)) {
      ownFolder->Remove();
      ownFolder.reset();
      return nullptr;
    }
  }
  std::lock_guard<std::mutex> hold(lock_);
  downloadPath_ = path;
  return file;
}

bool CUpdateFlow::Matches(CDownloadFile& file, uint32_t wholeLength) {
  if (!expectDigest_) return wholeLength == 0 || file.Size() == wholeLength;
  CSha256Digest digest;
  return (expectedSize_ == 0 || file.Size() == expectedSize_) && file.Digest(digest) && digest == expectedDigest_;
}

bool CUpdateFlow::DownloadFrom(const std::u16string* urls, int count) {
  refusedDownload_ = false;
  std::shared_ptr<CDownloadFile> file;
  std::unique_ptr<CPrivateFolder> ownFolder;  // null while the file is beside the program
  // The whole length: the PAD's in a signed copy, else what the first answer
  // announces.
  uint32_t wholeLength = static_cast<uint32_t>(expectedSize_);
  auto drop = [&] {
    if (file) file->Discard();
    file.reset();
    if (ownFolder) ownFolder->Remove();
    ownFolder.reset();
    wholeLength = static_cast<uint32_t>(expectedSize_);
  };
  // One deadline for the whole download, every address and resumption.
  const uint64_t started = GetTickCount64();
  const uint64_t padSize = pad_.fileSize > 0 ? static_cast<uint64_t>(pad_.fileSize) : 0;
  const uint64_t sizeForDeadline = expectedSize_ ? expectedSize_ : padSize;
  int attempts = 0;
  for (int i = 0; i < count && attempts < kDownloadAttemptLimit && !cancelRequested;) {
    const std::u16string& url = urls[i];
    const std::u16string name = url.empty() ? std::u16string() : DownloadFileName(url.c_str());
    {
      std::lock_guard<std::mutex> hold(lock_);
      downloadUrl_ = url.substr(0, kPadLongLimit);
      if (!file) {
        downloadName_ = name.substr(0, kPadLongLimit);
        downloadPath_ = JoinPath(programFolder, name);
      }
    }
    // No address, no file name, or a name that is no installer: nothing is
    // requested.
    if (url.empty() || !IsInstallerFileName(name)) {
      ++i;
      continue;
    }
    if (!file && !(file = CreateDownloadFile(name, true, ownFolder))) {
      ++i;
      continue;
    }
    ++attempts;
    const uint64_t before = file->Size();
    CTransferRunner runner;
    runner.SetCounters(&bytesReceived, &bytesExpected);
    runner.SetAbortFlag(&abortTransfer);
    runner.SetDownloadDeadline(started, sizeForDeadline);
    runner.GetRestToSink(file, url, static_cast<uint32_t>(before), wholeLength);
    const int32_t result = runner.Result();
    if (result == kTransferAborted || result == kTransferTimedOut) break;
    if (result == kTransferWriteFailed && !file->OverLimit() && !ownFolder) {
      // Writing beside the program failed: the download starts again in a
      // folder of its own.
      file->Discard();
      if (!(file = CreateDownloadFile(name, false, ownFolder))) ++i;
      wholeLength = static_cast<uint32_t>(expectedSize_);
      continue;
    }
    if (runner.RangeRefused()) {
      // An answer for another range: this address starts from the beginning.
      if (!file->Restart()) drop();
      continue;
    }
    if (!wholeLength) wholeLength = runner.WholeLength();
    if (result == kTransferOk && file->Size() > 0) {
      if (Matches(*file, wholeLength)) {
        if (file->KeepForStart()) {
          installer_ = file;
          installerFolder_ = std::move(ownFolder);
          return true;
        }
      } else {
        refusedDownload_ = true;
      }
      drop();
      ++i;
      continue;
    }
    if (file->OverLimit() || result == kTransferTooLarge) refusedDownload_ = true;
    // Broken after some bytes of a body of known length: the rest is asked
    // for, from this address while it brings more, then from the next ones.
    const bool broken = result == kTransferCutShort || result == kTransferReadFailed;
    if (!broken || file->OverLimit() || !wholeLength || file->Size() == 0 || file->Size() >= wholeLength) {
      drop();
      ++i;
    } else if (file->Size() <= before) {
      ++i;
    }
  }
  drop();
  return false;
}
