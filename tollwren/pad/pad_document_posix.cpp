// The updater fetches over WinINet; the native build has no HTTP client, so
// a remote document can never be read there.
#include "tollwren/pad/pad_document.h"

bool CPadDocument::FetchRemote(const char16_t*, std::atomic<uint8_t>*, std::vector<uint8_t>& bytes) {
  bytes.clear();
  return false;
}

bool CPadDocument::ReadRemote(const char16_t*, std::atomic<uint8_t>*) { return false; }
