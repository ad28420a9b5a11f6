#include "common/language_file.h"

#include <vector>

#include "common/archive.h"

namespace {

char16_t LowerAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

bool MatchesNoCase(std::u16string_view text, size_t at, std::u16string_view name) {
  if (text.size() - at < name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (LowerAscii(text[at + i]) != LowerAscii(name[i])) return false;
  }
  return true;
}

void ReplaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to) {
  size_t at = 0;
  while ((at = text.find(from, at)) != std::u16string::npos) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
}

// Windows' primary language ids of the delivered languages.
constexpr uint16_t kLangArabic = 0x01;
constexpr uint16_t kLangChinese = 0x04;
constexpr uint16_t kLangGerman = 0x07;
constexpr uint16_t kLangEnglish = 0x09;
constexpr uint16_t kLangSpanish = 0x0A;
constexpr uint16_t kLangFrench = 0x0C;
constexpr uint16_t kLangItalian = 0x10;
constexpr uint16_t kLangJapanese = 0x11;
constexpr uint16_t kLangDutch = 0x13;
constexpr uint16_t kLangPolish = 0x15;
constexpr uint16_t kLangPortuguese = 0x16;
constexpr uint16_t kLangRussian = 0x19;
// Chinese of the People's Republic and of Singapore is written in the
// simplified script; of Taiwan, Hong Kong and Macao in the traditional one.
constexpr uint16_t kSublangChineseSimplified = 0x02;
constexpr uint16_t kSublangChineseSingapore = 0x04;

struct LanguageOfId {
  uint16_t primary;
  std::u16string_view name;
};

constexpr LanguageOfId kDeliveredLanguages[] = {
    {kLangEnglish, u"English"},   {kLangGerman, u"German"},         {kLangFrench, u"French"},
    {kLangSpanish, u"Spanish"},   {kLangItalian, u"Italian"},       {kLangDutch, u"Dutch"},
    {kLangPolish, u"Polish"},     {kLangPortuguese, u"Portuguese"}, {kLangRussian, u"Russian"},
    {kLangJapanese, u"Japanese"}, {kLangChinese, u"Chinese (Simplified)"}, {kLangArabic, u"Arabic"},
};

}  // namespace

std::u16string ReplacePlaceholders(std::u16string_view text, const CPlaceholder* list, size_t count) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const CPlaceholder* hit = nullptr;
    if (text[i] == u'<' || text[i] == u'\\') {
      for (size_t k = 0; k < count && !hit; ++k) {
        if (!list[k].name.empty() && list[k].name[0] == text[i] && MatchesNoCase(text, i, list[k].name)) {
          hit = &list[k];
        }
      }
    }
    if (hit) {
      out += hit->value;
      i += hit->name.size();
    } else {
      out.push_back(text[i++]);
    }
  }
  return out;
}

bool HoldsPlaceholder(std::u16string_view text, std::u16string_view name) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (!name.empty() && text[i] == name[0] && MatchesNoCase(text, i, name)) return true;
  }
  return false;
}

bool LookUpLanguageValue(std::u16string_view text, std::u16string_view key, size_t limit,
                         std::u16string& value) {
  if (key.empty()) return false;
  std::u16string pattern(key);
  pattern.push_back(u'=');
  size_t at = 0;
  while ((at = text.find(pattern, at)) != std::u16string_view::npos) {
    // Only a key at the start of a line counts, so that "no" never matches
    // the end of a longer key such as "info".
    const bool lineStart = at == 0 || text[at - 1] == u'\n' || (at == 1 && text[0] == 0xFEFF);
    if (lineStart) break;
    ++at;
  }
  if (at == std::u16string_view::npos) return false;
  const size_t start = at + pattern.size();
  size_t end = text.find(u'\n', start);
  if (end == std::u16string_view::npos) end = text.size();
  if (end > start && text[end - 1] == u'\r') --end;
  if (end - start > limit) return false;
  value.assign(text.substr(start, end - start));
  return true;
}

bool IsRightToLeftLanguage(std::u16string_view text) {
  std::u16string value;
  if (!LookUpLanguageValue(text, u"RTL", kRightToLeftValueLimit, value)) return false;
  return !value.empty() && value[0] != u'0';
}

std::string LanguageEntryName(std::u16string_view language, const char* suffix) {
  std::string name;
  for (char16_t c : language) name.push_back(static_cast<char>(c & 0xFF));
  if (suffix) name += suffix;
  return name;
}

std::u16string DecodeLanguageBytes(const uint8_t* bytes, size_t size) {
  std::u16string text;
  if (!bytes) size = 0;
  text.reserve(size / 2);
  for (size_t i = 0; i + 1 < size; i += 2) {
    const char16_t c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

bool ReadLanguageEntry(CKeyedArchive& archive, const char16_t* archivePath, std::u16string_view name,
                       std::u16string& text) {
  const std::string entry = LanguageEntryName(name, ".lng");
  const uint32_t size = archive.GetEntrySize(archivePath, entry.c_str());
  if (size == 0) return false;
  std::vector<uint8_t> bytes(size);
  if (archive.ReadEntry(archivePath, entry.c_str(), bytes.data(), size) != size) return false;
  text = DecodeLanguageBytes(bytes.data(), bytes.size());
  return true;
}

std::u16string_view LanguageNameOfLanguageId(uint16_t languageId) {
  const uint16_t primary = languageId & 0x3FF;
  const uint16_t sublanguage = languageId >> 10;
  if (primary == kLangChinese && sublanguage != kSublangChineseSimplified &&
      sublanguage != kSublangChineseSingapore) {
    return {};
  }
  for (const LanguageOfId& language : kDeliveredLanguages) {
    if (language.primary == primary) return language.name;
  }
  return {};
}

void CLanguageTexts::Use(std::u16string text) {
  text_ = std::move(text);
  rightToLeft_ = IsRightToLeftLanguage(text_);
}

std::u16string CLanguageTexts::Text(std::string_view key, std::u16string_view english) const {
  std::u16string value;
  if (!LookUpLanguageValue(text_, std::u16string(key.begin(), key.end()), kLanguageValueLimit, value) ||
      value.empty()) {
    value.assign(english);
    return value;
  }
  ReplaceAll(value, u"&nbsp;", u" ");
  ReplaceAll(value, u"&amp;", u"&");
  const size_t lineFeed = english.find(u'\n');
  const std::u16string_view lineBreak =
      lineFeed != std::u16string_view::npos && (lineFeed == 0 || english[lineFeed - 1] != u'\r') ? u"\n" : u"\r\n";
  if (!rightToLeft_) {
    ReplaceAll(value, u"\\n", lineBreak);
    return value;
  }
  // Each line embedded right to left: read so also where a control draws
  // its text left to right, with file names and numbers in their place.
  ReplaceAll(value, u"\\n", u"\u202C" + std::u16string(lineBreak) + u"\u202B");
  return u"\u202B" + value + u"\u202C";
}
