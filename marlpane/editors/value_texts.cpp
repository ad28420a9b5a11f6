#include "marlpane/editors/value_texts.h"

namespace {

std::u16string Filled(const char16_t* format, std::u16string_view text, size_t i) {
  std::u16string out = format;
  const std::u16string fields[] = {CharacterAt(text, i), CharacterCodeAt(text, i)};
  for (char16_t field = u'1'; field <= u'2'; ++field) {
    const size_t at = out.find(std::u16string{u'%', field});
    if (at != std::u16string::npos) out.replace(at, 2, fields[field - u'1']);
  }
  return out;
}

bool IsPairAt(std::u16string_view text, size_t i) {
  return i + 1 < text.size() && text[i] >= 0xD800 && text[i] <= 0xDBFF && text[i + 1] >= 0xDC00 &&
         text[i + 1] <= 0xDFFF;
}

}  // namespace

std::u16string CharacterAt(std::u16string_view text, size_t i) {
  if (i >= text.size()) return std::u16string();
  if (IsPairAt(text, i)) return std::u16string(text.substr(i, 2));
  if (text[i] >= 0xD800 && text[i] <= 0xDFFF) return CharacterCodeAt(text, i);
  return std::u16string(1, text[i]);
}

std::u16string CharacterCodeAt(std::u16string_view text, size_t i) {
  if (i >= text.size()) return std::u16string();
  char32_t c = text[i];
  if (IsPairAt(text, i)) c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
  static const char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string digits;
  for (; c || digits.size() < 4; c >>= 4) digits.insert(digits.begin(), kHex[c & 0xF]);
  return u"U+" + digits;
}

std::u16string UnstorableStatus(TextEncoding encoding, std::u16string_view text, size_t i) {
  return Filled(encoding == TextEncoding::kBytes ? kUnstorableIn8BitFile : kUnstorableInFile, text, i);
}

std::u16string UnstorableChoiceMessage(TextEncoding encoding, std::u16string_view text, size_t i) {
  return Filled(encoding == TextEncoding::kBytes ? kUnstorableChoiceIn8BitFile : kUnstorableChoiceInFile, text, i);
}
