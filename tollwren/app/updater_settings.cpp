#include "tollwren/app/updater_settings.h"

namespace {

// Offsets of the record's fields.
constexpr size_t kDefaultLanguageAt = 84;
constexpr size_t kDefaultLanguageChars = 40;
constexpr size_t kLanguageListAt = 164;
constexpr size_t kShowLanguageButtonAt = 10165;
constexpr size_t kShowCloseButtonAt = 10705;
constexpr size_t kUseSystemLanguageAt = 10706;
constexpr size_t kAlwaysOnTopAt = 10707;

// Where one text's block lies: its switch, colour (none for the footer),
// face, height and the three style bytes.
struct StyleOffsets {
  size_t show;
  size_t color;  // 0: the block has no colour
  size_t face;
  size_t height;
  size_t italic;
};
constexpr StyleOffsets kTitleAt = {10273, 10274, 10294, 10374, 10378};
constexpr StyleOffsets kStatusAt = {10381, 10382, 10402, 10482, 10486};
constexpr StyleOffsets kNewsAt = {10489, 10490, 10510, 10590, 10594};
constexpr StyleOffsets kFooterAt = {10597, 0, 10618, 10698, 10702};

uint32_t Word32(const uint8_t* bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) | (static_cast<uint32_t>(bytes[at + 1]) << 8) |
         (static_cast<uint32_t>(bytes[at + 2]) << 16) | (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

// A zero-terminated UTF-16LE text of at most chars - 1 characters; a field
// without a terminator ends with the field.
std::u16string Text(const uint8_t* bytes, size_t at, size_t chars) {
  std::u16string text;
  for (size_t i = 0; i + 1 < chars; ++i) {
    const char16_t c = static_cast<char16_t>(bytes[at + 2 * i] | (bytes[at + 2 * i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

CTextStyle Style(const uint8_t* bytes, const StyleOffsets& at) {
  CTextStyle style;
  style.show = bytes[at.show] != 0;
  if (at.color) style.color = Word32(bytes, at.color);
  style.face = Text(bytes, at.face, kFontFaceLimit);
  style.height = static_cast<int32_t>(Word32(bytes, at.height));
  style.italic = bytes[at.italic] != 0;
  style.underline = bytes[at.italic + 1] != 0;
  style.bold = bytes[at.italic + 2] != 0;
  return style;
}

}  // namespace

bool CUpdaterSettings::Read(const uint8_t* bytes, size_t size) {
  if (!bytes || size != kSettingsRecordSize) return false;
  defaultLanguage = Text(bytes, kDefaultLanguageAt, kDefaultLanguageChars);
  languageList = Text(bytes, kLanguageListAt, kLanguageListLimit);
  showLanguageButton = bytes[kShowLanguageButtonAt] != 0;
  showCloseButton = bytes[kShowCloseButtonAt] != 0;
  useSystemLanguage = bytes[kUseSystemLanguageAt] != 0;
  alwaysOnTop = bytes[kAlwaysOnTopAt] != 0;
  title = Style(bytes, kTitleAt);
  status = Style(bytes, kStatusAt);
  news = Style(bytes, kNewsAt);
  footer = Style(bytes, kFooterAt);
  return true;
}
