// The download of the installer across its addresses: the file it goes
// into (beside the program, or in a folder of its own), the digest and size
// it must have, and the resumption of a broken transfer. Windows only.
#include "tollwren/flow/update_flow.h"

#include <cwchar>
#include <vector>

#include "common/text16.h"
#include "tollwren/flow/download_file_win.h"
#include "tollwren/flow/flow_rules.h"
#include "tollwren/pad/pad_document.h"
#include "tollwren/transfer/transfer_runner_win.h"
#include "tollwren/transfer/url_parts.h"
#include "tollwren/trust/publisher_keys_win.h"

namespace {

std::u16string TempFolder() {
  const DWORD needed = GetEnvironmentVariableW(L"TEMP", nullptr, 0);
  if (needed == 0) return std::u16string();
  std::vector<wchar_t> value(needed + 1);
  const DWORD length = GetEnvironmentVariableW(L"TEMP", value.data(), needed + 1);
  if (length == 0 || length > needed) return std::u16string();
  return std::u16string(AsText(value.data()), length);
}

// A new, empty folder under parent that belongs to this download alone;
// empty when none could be made.
std::u16string NewOwnFolder(const std::u16string& parent) {
  if (parent.empty()) return std::u16string();
  uint32_t seed = static_cast<uint32_t>(GetTickCount64()) ^ (GetCurrentProcessId() << 16);
  for (int attempt = 0; attempt < 100; ++attempt) {
    seed = seed * 1664525u + 1013904223u;
    wchar_t name[24];
    swprintf(name, 24, L"tollwren-%08x", seed);
    const std::u16string folder = JoinPath(parent, AsText(name));
    // An existing folder is never taken over: another name is tried.
    if (CreateDirectoryW(AsWide(folder.c_str()), nullptr)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return std::u16string();
}

}  // namespace

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
                                                               std::u16string& ownFolder) {
  auto file = std::make_shared<CDownloadFile>();
  file->SetLimit(expectedSize_);
  if (expectDigest_) file->StartHashing();
  std::u16string path = JoinPath(programFolder, name);
  // A file that is there already (the updater itself, pad.xml, a library
  // of the product) is never replaced, and a folder that cannot be written
  // to sends the download elsewhere too: to a new folder of its own.
  if (!besideProgram || !file->Create(path)) {
    ownFolder = NewOwnFolder(TempFolder());
    if (ownFolder.empty()) return nullptr;
    path = JoinPath(ownFolder, name);
    if (!file->Create(path)) {
      RemoveDirectoryW(AsWide(ownFolder.c_str()));
      ownFolder.clear();
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
  std::u16string ownFolder;
  // The whole length: the PAD's in a signed copy, else what the first answer
  // announces.
  uint32_t wholeLength = static_cast<uint32_t>(expectedSize_);
  auto drop = [&] {
    if (file) file->Discard();
    file.reset();
    if (!ownFolder.empty()) RemoveDirectoryW(AsWide(ownFolder.c_str()));
    ownFolder.clear();
    wholeLength = static_cast<uint32_t>(expectedSize_);
  };
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
    runner.GetRestToSink(file, url, static_cast<uint32_t>(before), wholeLength);
    const int32_t result = runner.Result();
    if (result == kTransferAborted) break;
    if (result == kTransferWriteFailed && !file->OverLimit() && ownFolder.empty()) {
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
          return true;
        }
      } else {
        refusedDownload_ = true;
      }
      drop();
      ++i;
      continue;
    }
    if (file->OverLimit()) refusedDownload_ = true;
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
