#include "marlpane/editors/value_texts.h"

#include "marlpane/editors/editor_texts.h"

namespace {

std::u16string Filled(EditorText id, std::u16string_view text, size_t i) {
  return EditorTextOf(id, {{u"<Character>", CharacterAt(text, i)}, {u"<Code>", CharacterCodeAt(text, i)}});
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
  return Filled(encoding == TextEncoding::kBytes ? EditorText::Unstorable8Bit : EditorText::Unstorable, text, i);
}

std::u16string UnstorableChoiceMessage(TextEncoding encoding, std::u16string_view text, size_t i) {
  return Filled(encoding == TextEncoding::kBytes ? EditorText::UnstorableChoice8Bit : EditorText::UnstorableChoice,
                text, i);
}
