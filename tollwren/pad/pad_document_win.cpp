// Fetching the remote PAD document over HTTP.
#include "tollwren/pad/pad_document.h"

#include "tollwren/transfer/transfer_runner_win.h"

bool CPadDocument::FetchRemote(const char16_t* url, std::atomic<uint8_t>* abortFlag, std::vector<uint8_t>& bytes) {
  CTransferRunner runner;
  runner.SetAbortFlag(abortFlag);
  runner.SetDeadline(kRemoteFetchDeadlineMs);
  runner.GetToMemory(bytes, static_cast<uint32_t>(kRemotePadByteLimit), url ? url : u"");
  return runner.Succeeded();
}

bool CPadDocument::ReadRemote(const char16_t* url, std::atomic<uint8_t>* abortFlag) {
  std::vector<uint8_t> bytes;
  if (!FetchRemote(url, abortFlag, bytes) || FetchedPadProblem(bytes.data(), bytes.size())) return false;
  LoadRemoteBytes(bytes.data(), bytes.size());
  return true;
}
