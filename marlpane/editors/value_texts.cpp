#include "marlpane/editors/value_texts.h"

namespace {

std::u16string Filled(const char16_t* format, const std::u16string& character) {
  std::u16string text = format;
  const size_t at = text.find(u"%1");
  if (at != std::u16string::npos) text.replace(at, 2, character);
  return text;
}

}  // namespace

std::u16string CharacterAt(std::u16string_view text, size_t i) {
  if (i >= text.size()) return std::u16string();
  const char16_t c = text[i];
  if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
    return std::u16string(text.substr(i, 2));
  }
  if (c < 0xD800 || c > 0xDFFF) return std::u16string(1, c);
  static const char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string name = u"U+";
  for (int shift = 12; shift >= 0; shift -= 4) name += kHex[(c >> shift) & 0xF];
  return name;
}

std::u16string UnstorableStatus(TextEncoding encoding, std::u16string_view text, size_t i) {
  return Filled(encoding == TextEncoding::kBytes ? kUnstorableIn8BitFile : kUnstorableInFile,
                CharacterAt(text, i));
}

std::u16string UnstorableChoiceMessage(TextEncoding encoding, std::u16string_view text, size_t i) {
  return Filled(encoding == TextEncoding::kBytes ? kUnstorableChoiceIn8BitFile : kUnstorableChoiceInFile,
                CharacterAt(text, i));
}
