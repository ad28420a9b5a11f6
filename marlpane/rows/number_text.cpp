#include "marlpane/rows/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "common/text16.h"

namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }


// Longest real number text is a sign, 39 integer digits, a point, 255
// decimals, or a field width of 511; this holds either with room to spare.
constexpr size_t kFormatBuffer = 640;

}  // namespace

bool ReadWholeNumber(const char16_t* text, size_t width, int32_t* value) {
  if (!text) return false;
  while (IsBlank(*text)) ++text;
  const size_t limit = width == 0 ? std::numeric_limits<size_t>::max() : width;
  size_t used = 0;
  bool negative = false;
  if ((*text == u'-' || *text == u'+') && used < limit) {
    negative = *text == u'-';
    ++text;
    ++used;
  }
  // Accumulate as a negative number so that INT32_MIN is representable.
  int64_t result = 0;
  bool any = false;
  while (used < limit && IsDigit(*text)) {
    if (result > -(int64_t{1} << 40)) result = result * 10 - (*text - u'0');
    any = true;
    ++text;
    ++used;
  }
  if (!any) return false;
  if (!negative) result = -result;
  if (result > std::numeric_limits<int32_t>::max()) result = std::numeric_limits<int32_t>::max();
  if (result < std::numeric_limits<int32_t>::min()) result = std::numeric_limits<int32_t>::min();
  if (value) *value = static_cast<int32_t>(result);
  return true;
}

bool ReadRealNumber(const char16_t* text, size_t width, float* value) {
  if (!text) return false;
  while (IsBlank(*text)) ++text;
  const size_t limit = width == 0 ? std::numeric_limits<size_t>::max() : width;
  // Copy the longest beginning that has the form of a number, then convert
  // the plain ASCII copy; the copy keeps the conversion from reading further.
  constexpr size_t kMaxCopy = 400;
  char copy[kMaxCopy + 1];
  size_t n = 0;
  size_t valid = 0;  // length of the longest complete number seen so far
  auto take = [&](char16_t c) {
    if (n >= limit || n >= kMaxCopy) return false;
    copy[n++] = static_cast<char>(c);
    return true;
  };
  const char16_t* p = text;
  if ((*p == u'-' || *p == u'+') && take(*p)) ++p;
  bool digits = false;
  while (IsDigit(*p) && take(*p)) { ++p; digits = true; }
  if (digits) valid = n;
  if (*p == u'.' && take(*p)) {
    ++p;
    while (IsDigit(*p) && take(*p)) { ++p; digits = true; }
    if (digits) valid = n;
  }
  if (!digits) return false;
  if ((*p == u'e' || *p == u'E') && take(*p)) {
    ++p;
    if ((*p == u'-' || *p == u'+') && take(*p)) ++p;
    bool exponentDigits = false;
    while (IsDigit(*p) && take(*p)) { ++p; exponentDigits = true; }
    if (exponentDigits) valid = n;
  }
  copy[valid] = 0;
  const double parsed = std::strtod(copy, nullptr);
  if (!std::isfinite(parsed) || std::fabs(parsed) > std::numeric_limits<float>::max()) return false;
  if (value) *value = static_cast<float>(parsed);
  return true;
}

size_t FormatWholeNumber(int32_t value, unsigned digits, char16_t* out, size_t capacity) {
  if (digits > 255) digits = 255;
  char text[kFormatBuffer];
  std::snprintf(text, sizeof text, "%0*d", static_cast<int>(digits), static_cast<int>(value));
  return WidenAscii(text, out, capacity);
}

size_t FormatRealNumber(float value, unsigned intDigits, unsigned decimals, char16_t* out,
                        size_t capacity) {
  if (intDigits > 255) intDigits = 255;
  if (decimals > 255) decimals = 255;
  char text[kFormatBuffer];
  std::snprintf(text, sizeof text, "%0*.*f", static_cast<int>(intDigits + decimals + 1),
                static_cast<int>(decimals), static_cast<double>(value));
  return WidenAscii(text, out, capacity);
}
