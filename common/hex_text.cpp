#include "common/hex_text.h"

namespace {

bool IsHexDigit(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

const char16_t kUpperDigits[] = u"0123456789ABCDEF";

}  // namespace

unsigned HexDigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'z') return c - u'a' + 10;
  if (c >= u'A' && c <= u'Z') return c - u'A' + 10;
  return c & 0xFF;
}

size_t HexToBytes(const char16_t* text, uint8_t* out, size_t capacity) {
  if (!text || !out || capacity == 0) return 0;
  size_t digits = 0;
  while (IsHexDigit(text[digits])) ++digits;
  if (digits > 2 * capacity) digits = 2 * capacity;
  const size_t count = (digits + 1) / 2;
  // Walk from the last digit and the last byte towards the front.
  size_t d = digits;
  size_t b = count;
  while (b > 0) {
    --b;
    unsigned low = HexDigitValue(text[--d]);
    unsigned high = d > 0 ? HexDigitValue(text[--d]) : 0;
    out[b] = static_cast<uint8_t>((high << 4) | low);
  }
  return count;
}

size_t BytesToHex(const uint8_t* bytes, size_t count, char16_t* out, size_t capacity) {
  if (!out || capacity == 0) return 0;
  size_t n = 0;
  if (bytes) {
    for (size_t i = count; i > 0 && n + 2 < capacity; --i) {
      out[n++] = kUpperDigits[bytes[i - 1] >> 4];
      out[n++] = kUpperDigits[bytes[i - 1] & 0x0F];
    }
  }
  out[n] = 0;
  return n;
}

size_t DwordToHex(uint32_t value, char16_t* out, size_t capacity) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  return BytesToHex(bytes, 4, out, capacity);
}

bool ReadHexNumber(const char16_t* text, uint32_t* value) {
  if (!text) return false;
  while (IsBlank(*text)) ++text;
  if (!IsHexDigit(*text)) return false;
  uint32_t result = 0;
  for (; IsHexDigit(*text); ++text) result = (result << 4) | HexDigitValue(*text);
  if (value) *value = result;
  return true;
}

uint32_t ParseColour(const char16_t* text) {
  if (!text) return 0;
  if (text[0] == u'0' && text[1] == u'x') text += 2;
  else if (text[0] == u'#') text += 1;
  uint32_t rgb = 0;
  if (!ReadHexNumber(text, &rgb)) return 0;
  return (rgb & 0xFF00FF00u) | ((rgb & 0xFF) << 16) | ((rgb >> 16) & 0xFF);
}
