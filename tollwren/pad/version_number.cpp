#include "tollwren/pad/version_number.h"

#include "common/text16.h"

namespace {

bool IsConversionSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

bool IsVersionSeparator(char16_t c) { return c == u' ' || c == u'.' || c == u','; }

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
