#include "tollwren/pad/version_number.h"

#include <string>
#include <vector>

#include "common/text16.h"

namespace {

bool IsConversionSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

bool IsVersionSeparator(char16_t c) { return c == u' ' || c == u'.' || c == u','; }

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }
char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

// Nine digits always fit 32 bits.
constexpr size_t kComponentDigits = 9;

struct CVersionParts {
  std::vector<uint32_t> numbers;
  std::u16string suffix;  // empty for a release
};

// Reads digits at text[at]: the number, at moved past them; false for none
// or too many.
bool ReadComponent(std::u16string_view text, size_t& at, uint32_t& number) {
  const size_t start = at;
  number = 0;
  while (at < text.size() && IsDigit(text[at])) number = number * 10 + static_cast<uint32_t>(text[at++] - u'0');
  return at > start && at - start <= kComponentDigits;
}

bool SplitVersion(std::u16string_view text, CVersionParts& parts) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  size_t at = 0;
  uint32_t number = 0;
  if (!ReadComponent(text, at, number)) return false;
  parts.numbers.assign(1, number);
  while (at + 1 < text.size() && text[at] == u'.' && IsDigit(text[at + 1])) {
    ++at;
    if (!ReadComponent(text, at, number)) return false;
    parts.numbers.push_back(number);
  }
  // Only the numbers are compared when the rest is empty; a rest with
  // markup is a value that swallowed other elements.
  parts.suffix.assign(text.substr(at));
  for (char16_t c : parts.suffix) {
    if (c < 0x20 || c == u'<' || c == u'>' || c == u'&') return false;
  }
  return true;
}

int CompareNumbers(uint64_t a, uint64_t b) { return a < b ? -1 : a > b ? 1 : 0; }

// Pre-release suffixes token by token: runs of digits as numbers, runs of
// other characters without letter case; "-", "_", "+", "." and blanks only
// separate. A number sorts before a word, a shorter list before a longer one.
int CompareSuffixes(std::u16string_view a, std::u16string_view b) {
  auto isSeparator = [](char16_t c) { return c == u'-' || c == u'_' || c == u'+' || c == u'.' || IsBlank(c); };
  size_t i = 0, j = 0;
  for (;;) {
    while (i < a.size() && isSeparator(a[i])) ++i;
    while (j < b.size() && isSeparator(b[j])) ++j;
    if (i == a.size() || j == b.size()) return CompareNumbers(i < a.size(), j < b.size());
    const bool digitsA = IsDigit(a[i]), digitsB = IsDigit(b[j]);
    if (digitsA != digitsB) return digitsA ? -1 : 1;
    const size_t startA = i, startB = j;
    while (i < a.size() && !isSeparator(a[i]) && IsDigit(a[i]) == digitsA) ++i;
    while (j < b.size() && !isSeparator(b[j]) && IsDigit(b[j]) == digitsB) ++j;
    std::u16string_view tokenA = a.substr(startA, i - startA), tokenB = b.substr(startB, j - startB);
    if (digitsA) {
      while (tokenA.size() > 1 && tokenA.front() == u'0') tokenA.remove_prefix(1);
      while (tokenB.size() > 1 && tokenB.front() == u'0') tokenB.remove_prefix(1);
      if (tokenA.size() != tokenB.size()) return CompareNumbers(tokenA.size(), tokenB.size());
    }
    for (size_t k = 0; k < tokenA.size() && k < tokenB.size(); ++k) {
      if (const int order = CompareNumbers(LowerAscii(tokenA[k]), LowerAscii(tokenB[k]))) return order;
    }
    if (const int order = CompareNumbers(tokenA.size(), tokenB.size())) return order;
  }
}

int CompareParts(const CVersionParts& a, const CVersionParts& b) {
  for (size_t i = 0; i < a.numbers.size() || i < b.numbers.size(); ++i) {
    const uint32_t x = i < a.numbers.size() ? a.numbers[i] : 0;
    const uint32_t y = i < b.numbers.size() ? b.numbers[i] : 0;
    if (x != y) return CompareNumbers(x, y);
  }
  // A release is newer than any pre-release of its numbers.
  if (a.suffix.empty() || b.suffix.empty()) return CompareNumbers(a.suffix.empty(), b.suffix.empty());
  return CompareSuffixes(a.suffix, b.suffix);
}

}  // namespace

bool ParseWholeNumber(const char16_t* begin, const char16_t* end, int32_t& out) {
  if (!begin || begin >= end) return false;
  for (const char16_t* p = begin; p < end; ++p) {
    if (*p == u'-') return false;
  }
  const char16_t* p = begin;
  while (p < end && IsConversionSpace(*p)) ++p;
  if (p < end && *p == u'+') ++p;
  if (p == end) return false;
  uint64_t value = 0;
  for (; p < end; ++p) {
    if (*p < u'0' || *p > u'9') return false;
    value = value * 10 + static_cast<uint64_t>(*p - u'0');
    if (value > INT32_MAX) return false;
  }
  out = static_cast<int32_t>(value);
  return true;
}

bool ParseWholeNumber(const char16_t* text, int32_t& out) {
  if (!text) return false;
  return ParseWholeNumber(text, text + TextLength(text), out);
}

uint32_t VersionNumber(const char16_t* text) {
  if (!text) return 0;
  const char16_t* p = text;
  // Tokens 0 and 1; later tokens are ignored.
  int64_t value = 0;
  int64_t major = 0;
  for (int token = 0; token < 2; ++token) {
    while (*p && IsVersionSeparator(*p)) ++p;
    const char16_t* start = p;
    while (*p && !IsVersionSeparator(*p)) ++p;
    if (p > start) {
      int32_t number = 0;
      if (ParseWholeNumber(start, p, number)) value = number;
    }
    if (token == 0) major = value;
  }
  const int64_t minor = value;
  const int64_t result = major * 10000 + minor;
  return result > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(result);
}

VersionCompare CompareVersions(uint32_t localNumber, uint32_t remoteNumber) {
  if (remoteNumber == 0) return VersionCompare::kNoRemoteVersion;
  if (remoteNumber == localNumber) return VersionCompare::kSame;
  return remoteNumber > localNumber ? VersionCompare::kRemoteNewer : VersionCompare::kRemoteOlder;
}

bool IsVersionText(std::u16string_view text) {
  CVersionParts parts;
  return SplitVersion(text, parts);
}

VersionCompare CompareVersionTexts(VersionRule rule, std::u16string_view local, std::u16string_view remote) {
  if (rule == VersionRule::kMajorMinor) {
    return CompareVersions(VersionNumber(std::u16string(local).c_str()), VersionNumber(std::u16string(remote).c_str()));
  }
  CVersionParts localParts, remoteParts;
  if (!SplitVersion(remote, remoteParts)) return VersionCompare::kNoRemoteVersion;
  if (!SplitVersion(local, localParts)) return VersionCompare::kRemoteNewer;
  const int order = CompareParts(remoteParts, localParts);
  return order == 0 ? VersionCompare::kSame : order > 0 ? VersionCompare::kRemoteNewer : VersionCompare::kRemoteOlder;
}
