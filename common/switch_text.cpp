#include "common/switch_text.h"

#include "common/text16.h"

namespace {

// The first occurrence of needle in text, or null.
const char16_t* FindText(const char16_t* text, const char16_t* needle) {
  if (!text || !needle || !*needle) return nullptr;
  for (; *text; ++text) {
    size_t i = 0;
    while (needle[i] && text[i] == needle[i]) ++i;
    if (!needle[i]) return text;
  }
  return nullptr;
}

bool IsOneOf(char16_t c, const char16_t* set) {
  if (!set) return false;
  for (; *set; ++set)
    if (*set == c) return true;
  return false;
}

// Start of the text right after the switch, or null when it is absent.
const char16_t* SwitchValue(const char16_t* commandLine, const char16_t* switchText) {
  const char16_t* at = FindText(commandLine, switchText);
  return at ? at + TextLength(switchText) : nullptr;
}

size_t SpanUntil(const char16_t* text, const char16_t* stopChars) {
  size_t n = 0;
  while (text[n] && !IsOneOf(text[n], stopChars)) ++n;
  return n;
}

size_t CopyCut(const char16_t* from, size_t n, char16_t* out, size_t capacity) {
  if (n > capacity - 1) n = capacity - 1;
  for (size_t i = 0; i < n; ++i) out[i] = from[i];
  out[n] = 0;
  return n;
}

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

}  // namespace

bool GetSwitchText(const char16_t* commandLine, const char16_t* switchText,
                   char16_t* out, size_t capacity) {
  if (!out || capacity == 0) return false;
  const char16_t* value = SwitchValue(commandLine, switchText);
  if (!value) return false;
  if (*value == u'"') {
    ++value;
    CopyCut(value, SpanUntil(value, u"\""), out, capacity);
  } else {
    CopyCut(value, SpanUntil(value, u" "), out, capacity);
  }
  return true;
}

size_t GetSwitchUntil(const char16_t* commandLine, const char16_t* switchText,
                      const char16_t* stopChars, char16_t* out, size_t capacity) {
  if (!out || capacity == 0) return 0;
  const char16_t* value = SwitchValue(commandLine, switchText);
  if (!value) return 0;
  return CopyCut(value, SpanUntil(value, stopChars), out, capacity);
}

bool GetSwitchNumber(const char16_t* commandLine, const char16_t* switchText,
                     const char16_t* stopChars, uint32_t* value) {
  const char16_t* start = SwitchValue(commandLine, switchText);
  if (!start) return false;
  // A value that does not fit the buffer is rejected rather than cut, so a
  // long run of digits can never pass as its first 99.
  if (SpanUntil(start, stopChars) >= kSwitchNumberCapacity) return false;
  char16_t text[kSwitchNumberCapacity];
  if (GetSwitchUntil(commandLine, switchText, stopChars, text, kSwitchNumberCapacity) == 0)
    return false;
  return ParseUnsignedDecimal(text, value);
}

bool ParseUnsignedDecimal(const char16_t* text, uint32_t* value) {
  if (!text) return false;
  for (const char16_t* p = text; *p; ++p)
    if (*p == u'-') return false;
  if (!*text) {
    if (value) *value = 0;
    return true;
  }
  const char16_t* p = text;
  while (IsBlank(*p)) ++p;
  if (*p == u'+') ++p;
  if (!(*p >= u'0' && *p <= u'9')) return false;
  uint64_t result = 0;
  for (; *p >= u'0' && *p <= u'9'; ++p) {
    result = result * 10 + static_cast<uint64_t>(*p - u'0');
    if (result > 0xFFFFFFFFu) return false;
  }
  if (*p) return false;
  if (value) *value = static_cast<uint32_t>(result);
  return true;
}
