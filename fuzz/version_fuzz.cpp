// Fuzzes version numbers, the order of version texts and whole-number
// conversion with arbitrary text (the bytes taken as UTF-16LE code units).
#include <cstddef>
#include <cstdint>
#include <string>

#include "tollwren/pad/version_number.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text;
  for (size_t i = 0; i + 1 < size; i += 2) {
    char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  const uint32_t number = VersionNumber(text.c_str());
  // Separators in front change nothing.
  if (VersionNumber((u" ." + text).c_str()) != number) __builtin_trap();
  int32_t value = 0;
  if (ParseWholeNumber(text.c_str(), value) && value < 0) __builtin_trap();
  if (ParseWholeNumber(text.c_str(), value) && text.find(u'-') != std::u16string::npos) __builtin_trap();
  (void)CompareVersions(number, VersionNumber(text.c_str()));

  // The order of a signed copy: the text's two halves compared both ways
  // give opposite answers, a version compared with itself the same.
  const std::u16string a = text.substr(0, text.size() / 2), b = text.substr(text.size() / 2);
  const VersionCompare forward = CompareVersionTexts(VersionRule::kAllNumbers, a, b);
  const VersionCompare backward = CompareVersionTexts(VersionRule::kAllNumbers, b, a);
  if (IsVersionText(a) && IsVersionText(b)) {
    const bool opposite = (forward == VersionCompare::kSame && backward == VersionCompare::kSame) ||
                          (forward == VersionCompare::kRemoteNewer && backward == VersionCompare::kRemoteOlder) ||
                          (forward == VersionCompare::kRemoteOlder && backward == VersionCompare::kRemoteNewer);
    if (!opposite) __builtin_trap();
  }
  if (IsVersionText(a) && CompareVersionTexts(VersionRule::kAllNumbers, a, a) != VersionCompare::kSame) {
    __builtin_trap();
  }
  return 0;
}
