#include "common/date_text.h"

#include <cstdio>

#include "common/text16.h"

namespace {


// Reads one "%Nd" field: leading blanks, then 1..width digits (a sign is
// not accepted: the fields are unsigned). Advances text on success.
bool ReadField(const char16_t*& text, int width, uint16_t* value) {
  while (*text == u' ' || *text == u'\t') ++text;
  unsigned result = 0;
  int digits = 0;
  while (digits < width && *text >= u'0' && *text <= u'9') {
    result = result * 10 + static_cast<unsigned>(*text - u'0');
    ++text;
    ++digits;
  }
  if (digits == 0) return false;
  *value = static_cast<uint16_t>(result);
  return true;
}

bool ReadThree(const char16_t* text, size_t length, int firstWidth, char16_t separator,
               uint16_t out[3]) {
  if (TextLength(text) != length) return false;
  const char16_t* p = text;
  if (!ReadField(p, firstWidth, &out[0]) || *p++ != separator) return false;
  if (!ReadField(p, 2, &out[1]) || *p++ != separator) return false;
  return ReadField(p, 2, &out[2]);
}

}  // namespace

size_t FormatDate(const DateTimeFields& time, char16_t* out, size_t capacity) {
  char text[kDateTextCapacity + 8];
  std::snprintf(text, sizeof text, "%4d-%02d-%02d", time.year, time.month, time.day);
  return WidenAscii(text, out, capacity);
}

size_t FormatTime(const DateTimeFields& time, char16_t* out, size_t capacity) {
  char text[kDateTextCapacity + 8];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour, time.minute, time.second);
  return WidenAscii(text, out, capacity);
}

bool ParseDate(const char16_t* text, DateTimeFields& time) {
  uint16_t v[3];
  if (!text || !ReadThree(text, 10, 4, u'-', v)) return false;
  time.year = v[0];
  time.month = v[1];
  time.day = v[2];
  return true;
}

bool ParseTime(const char16_t* text, DateTimeFields& time) {
  uint16_t v[3];
  if (!text || !ReadThree(text, 8, 2, u':', v)) return false;
  time.hour = v[0];
  time.minute = v[1];
  time.second = v[2];
  return true;
}
