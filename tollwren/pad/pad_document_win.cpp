// Fetching the remote PAD document over HTTP.
#include "tollwren/pad/pad_document.h"

#include <vector>

#include "tollwren/transfer/http_transfer.h"

bool CPadDocument::ReadRemote(const char16_t* url, std::atomic<uint8_t>* abortFlag) {
  std::vector<uint8_t> buffer(kRemotePadByteLimit + 1);
  CHttpTransfer transfer;
  transfer.SetAbortFlag(abortFlag);
  transfer.Open(kTransferTimeoutMs, kUpdaterUserAgent);
  transfer.GetToMemory(buffer.data(), static_cast<uint32_t>(buffer.size()), url);
  if (!transfer.Succeeded()) return false;
  LoadRemoteBytes(buffer.data(), transfer.BytesReceived());
  return true;
}
