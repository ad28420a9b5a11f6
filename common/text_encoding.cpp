#include "common/text_encoding.h"

namespace {

constexpr char16_t kKeptByteBase = 0xDC00;  // + the byte, for bytes 0x80-0xFF

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsKeptByte(char16_t c) { return c >= kKeptByteBase + 0x80 && c <= kKeptByteBase + 0xFF; }

bool HasMark(const uint8_t* bytes, size_t n, const uint8_t* mark, size_t length) {
  if (n < length) return false;
  for (size_t i = 0; i < length; ++i) {
    if (bytes[i] != mark[i]) return false;
  }
  return true;
}

constexpr uint8_t kUtf16Mark[] = {0xFF, 0xFE};
constexpr uint8_t kUtf8Mark[] = {0xEF, 0xBB, 0xBF};

}  // namespace

size_t Utf8SequenceLength(const uint8_t* bytes, size_t n) {
  if (n == 0) return 0;
  const uint8_t lead = bytes[0];
  if (lead < 0x80) return 1;
  size_t length;
  // The range of the second byte rules out overlong forms, surrogates and
  // code points above U+10FFFF.
  uint8_t low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (n < length || bytes[1] < low || bytes[1] > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if ((bytes[i] & 0xC0) != 0x80) return 0;
  }
  return length;
}

TextEncoding DetectTextEncoding(const uint8_t* bytes, size_t n) {
  if (!bytes) return TextEncoding::kBytes;
  if (HasMark(bytes, n, kUtf16Mark, sizeof kUtf16Mark)) return TextEncoding::kUtf16;
  if (HasMark(bytes, n, kUtf8Mark, sizeof kUtf8Mark)) return TextEncoding::kUtf8Marked;
  bool beyondAscii = false;
  for (size_t i = 0; i < n;) {
    if (bytes[i] < 0x80) {
      ++i;
      continue;
    }
    const size_t length = Utf8SequenceLength(bytes + i, n - i);
    if (length == 0) return TextEncoding::kBytes;
    beyondAscii = true;
    i += length;
  }
  return beyondAscii ? TextEncoding::kUtf8 : TextEncoding::kBytes;
}

size_t EncodingMarkLength(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf16: return sizeof kUtf16Mark;
    case TextEncoding::kUtf8Marked: return sizeof kUtf8Mark;
    default: return 0;
  }
}

bool IsUtf8(TextEncoding encoding) {
  return encoding == TextEncoding::kUtf8 || encoding == TextEncoding::kUtf8Marked;
}

size_t DecodeUtf8(const uint8_t* bytes, size_t n, char16_t* out) {
  size_t stored = 0;
  for (size_t i = 0; i < n;) {
    const uint8_t lead = bytes[i];
    if (lead < 0x80) {
      out[stored++] = lead;
      ++i;
      continue;
    }
    const size_t length = Utf8SequenceLength(bytes + i, n - i);
    if (length == 0) {
      out[stored++] = static_cast<char16_t>(kKeptByteBase + lead);
      ++i;
      continue;
    }
    char32_t c = lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) c = (c << 6) | (bytes[i + k] & 0x3F);
    if (c >= 0x10000) {
      c -= 0x10000;
      out[stored++] = static_cast<char16_t>(0xD800 + (c >> 10));
      out[stored++] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out[stored++] = static_cast<char16_t>(c);
    }
    i += length;
  }
  return stored;
}

size_t EncodeUtf8(const char16_t* text, size_t n, size_t* done, uint8_t* out, size_t room) {
  size_t used = 0;
  size_t i = *done;
  while (i < n && room - used >= 4) {
    char32_t c = text[i++];
    if (IsHighSurrogate(static_cast<char16_t>(c)) && i < n && IsLowSurrogate(text[i])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i++] - 0xDC00);
    } else if (IsKeptByte(static_cast<char16_t>(c))) {
      out[used++] = static_cast<uint8_t>(c - kKeptByteBase);
      continue;
    }
    if (c < 0x80) {
      out[used++] = static_cast<uint8_t>(c);
    } else if (c < 0x800) {
      out[used++] = static_cast<uint8_t>(0xC0 | (c >> 6));
      out[used++] = static_cast<uint8_t>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out[used++] = static_cast<uint8_t>(0xE0 | (c >> 12));
      out[used++] = static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F));
      out[used++] = static_cast<uint8_t>(0x80 | (c & 0x3F));
    } else {
      out[used++] = static_cast<uint8_t>(0xF0 | (c >> 18));
      out[used++] = static_cast<uint8_t>(0x80 | ((c >> 12) & 0x3F));
      out[used++] = static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F));
      out[used++] = static_cast<uint8_t>(0x80 | (c & 0x3F));
    }
  }
  *done = i;
  return used;
}

size_t FirstUnstorable(TextEncoding encoding, const char16_t* text, size_t n) {
  if (!text || encoding == TextEncoding::kUtf16) return n;
  for (size_t i = 0; i < n; ++i) {
    const char16_t c = text[i];
    if (encoding == TextEncoding::kBytes) {
      if (c > 0xFF) return i;
      continue;
    }
    if (IsHighSurrogate(c) && i + 1 < n && IsLowSurrogate(text[i + 1])) {
      ++i;
    } else if ((IsHighSurrogate(c) || IsLowSurrogate(c)) && !IsKeptByte(c)) {
      return i;
    }
  }
  return n;
}
