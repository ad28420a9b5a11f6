// Fuzzes URL splitting with arbitrary text (the bytes taken as UTF-16LE
// code units).
#include <cstddef>
#include <cstdint>
#include <string>

#include "tollwren/transfer/url_parts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string url;
  for (size_t i = 0; i + 1 < size; i += 2) {
    char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (c == 0) break;
    url.push_back(c);
  }
  CUrlParts parts;
  if (SplitUrl(url.c_str(), parts)) {
    if (parts.host.empty() || parts.host.size() >= kUrlHostCapacity) __builtin_trap();
    if (parts.object.size() >= kUrlObjectCapacity) __builtin_trap();
    if (parts.port == 0) __builtin_trap();
    if (parts.host.find(u'/') != std::u16string::npos) __builtin_trap();
    if (parts.object.find(u'#') != std::u16string::npos) __builtin_trap();
    // The host appears in the address as it was written.
    if (url.find(parts.host) == std::u16string::npos) __builtin_trap();
  } else if (!parts.host.empty() || !parts.object.empty()) {
    __builtin_trap();
  }
  const std::u16string name = DownloadFileName(url.c_str());
  if (name == u"." || name == u"..") __builtin_trap();
  for (char16_t c : name) {
    if (c == u'/' || c == u'\\' || c == u':' || c == u'?' || c == u'#') __builtin_trap();
  }
  return 0;
}
