#include "tollwren/language/language_text.h"

#include "tollwren/pad/pad_document.h"

namespace {

char16_t LowerAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

bool MatchesNoCase(std::u16string_view text, size_t at, std::u16string_view name) {
  if (text.size() - at < name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (LowerAscii(text[at + i]) != LowerAscii(name[i])) return false;
  }
  return true;
}

std::u16string Decimal(int64_t value) {
  std::u16string out;
  const bool negative = value < 0;
  uint64_t magnitude = negative ? static_cast<uint64_t>(-(value + 1)) + 1 : static_cast<uint64_t>(value);
  do {
    out.insert(out.begin(), static_cast<char16_t>(u'0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude);
  if (negative) out.insert(out.begin(), u'-');
  return out;
}

void ReplaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to) {
  size_t at = 0;
  while ((at = text.find(from, at)) != std::u16string::npos) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
}

// A PAD value goes into one line of the language document: its line breaks
// become the "\n" escape, which rendering turns back into a line break.
std::u16string OneLine(const std::u16string& value) {
  std::u16string out;
  out.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    const char16_t c = value[i];
    if (c == u'\r') {
      if (i + 1 < value.size() && value[i + 1] == u'\n') continue;
      out += u"\\n";
    } else if (c == u'\n') {
      out += u"\\n";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

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

std::u16string RenderDownloadText(std::u16string_view value, CDownloadFigures& figures) {
  const bool showsTotal = [&] {
    for (size_t i = 0; i < value.size(); ++i) {
      if (value[i] == u'<' && MatchesNoCase(value, i, u"<File_Download_Total_")) return true;
    }
    return false;
  }();
  if (showsTotal && figures.bytesExpected == 0 && figures.fileSize > 0) {
    figures.bytesExpected = static_cast<uint32_t>(figures.fileSize);
  }
  const uint32_t received = figures.bytesReceived;
  const uint32_t total = figures.bytesExpected;
  const CPlaceholder list[] = {
      {u"\\n", u"\r\n"},
      {u"<File_Downloaded_Bytes>", Decimal(received)},
      {u"<File_Downloaded_K>", Decimal(received / 1024)},
      {u"<File_Downloaded_MB>", Decimal(received / 1048576)},
      {u"<File_Download_Total_Bytes>", Decimal(total)},
      {u"<File_Download_Total_K>", Decimal(total / 1024)},
      {u"<File_Download_Total_MB>", Decimal(total / 1048576)},
      {u"<File_Download_URL>", figures.url},
      {u"<Download_File_Name>", figures.fileName},
      {u"<Download_File_Local>", figures.filePath},
  };
  std::u16string out = ReplacePlaceholders(value, list, sizeof list / sizeof list[0]);
  if (out.size() > kRenderedTextLimit) out.resize(kRenderedTextLimit);
  return out;
}

std::u16string ButtonCaption(std::u16string_view value) {
  std::u16string out(value);
  ReplaceAll(out, u"\\n", u"\n");
  return out;
}

bool LanguageListLine(std::u16string_view list, size_t index, std::u16string& name) {
  size_t start = 0;
  for (size_t line = 0; line < index; ++line) {
    size_t end = list.find(u'\n', start);
    if (end == std::u16string_view::npos) return false;
    start = end + 1;
  }
  if (start > list.size() || (start == list.size() && index > 0)) return false;
  size_t end = list.find(u'\n', start);
  if (end == std::u16string_view::npos) end = list.size();
  name.clear();
  for (size_t i = start; i < end; ++i) {
    if (list[i] != u'\r') name.push_back(list[i]);
  }
  if (name.size() > kLanguageNameLimit) name.resize(kLanguageNameLimit);
  return true;
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

void CLanguageText::Load(const uint8_t* bytes, size_t size, const CPadDocument& pad,
                         std::u16string_view padFilePath) {
  LoadText(DecodeLanguageBytes(bytes, size), pad, padFilePath);
}

void CLanguageText::LoadText(std::u16string_view text, const CPadDocument& pad, std::u16string_view padFilePath) {
  const int32_t size = pad.fileSize;
  const CPlaceholder list[] = {
      {u"<Primary_Download_URL>", OneLine(pad.downloadUrls[0])},
      {u"<Secondary_Download_URL>", OneLine(pad.downloadUrls[1])},
      {u"<Additional_Download_URL_1>", OneLine(pad.downloadUrls[2])},
      {u"<Additional_Download_URL_2>", OneLine(pad.downloadUrls[3])},
      {u"<Program_Name>", OneLine(pad.programName)},
      {u"<File_Size_Bytes>", Decimal(size)},
      {u"<File_Size_K>", Decimal(size >> 10)},
      {u"<File_Size_MB>", Decimal(size >> 20)},
      {u"<Program_Change_Info>", OneLine(pad.changeInfo)},
      {u"<Company_Name>", OneLine(pad.companyName)},
      {u"<Company_WebSite_URL>", OneLine(pad.companyWebSite)},
      {u"<Program_Release_Date_Local_Format>", OneLine(pad.releaseDate)},
      {u"<Pad_File_Local>", OneLine(std::u16string(padFilePath))},
      {u"<Pad_File_URL>", OneLine(pad.padFileUrl)},
      {u"<Application_XML_File_URL>", OneLine(pad.padFileUrl)},
      {u"<Program_Version>", OneLine(pad.remoteVersionText)},
      {u"<Program_Version_New>", OneLine(pad.remoteVersionText)},
      {u"<Program_Version_Old>", OneLine(pad.localVersionText)},
      {u"<Char_Desc_45>", OneLine(pad.descriptions[0])},
      {u"<Char_Desc_80>", OneLine(pad.descriptions[1])},
      {u"<Char_Desc_250>", OneLine(pad.descriptions[2])},
      {u"<Char_Desc_450>", OneLine(pad.descriptions[3])},
      {u"<Char_Desc_2000>", OneLine(pad.descriptions[4])},
      {u"<Program_System_Requirements>", OneLine(pad.CurrentField(u"Program_System_Requirements", kPadLongLimit))},
      {u"<Program_OS_Support>", OneLine(pad.CurrentField(u"Program_OS_Support", kPadLongLimit))},
  };
  text_ = ReplacePlaceholders(text, list, sizeof list / sizeof list[0]);
  ReplaceAll(text_, u"&nbsp;", u" ");
  ReplaceAll(text_, u"&amp;", u"&");
  loaded_ = true;
}

bool CLanguageText::LookUp(std::u16string_view key, std::u16string& value) const {
  return LookUpLanguageValue(text_, key, kLanguageValueLimit, value);
}

std::u16string CLanguageText::Render(std::u16string_view key, CDownloadFigures& figures) const {
  std::u16string value;
  if (!LookUp(key, value)) return std::u16string();
  return RenderDownloadText(value, figures);
}

bool CLanguageText::RightToLeft() const {
  std::u16string value;
  if (!LookUpLanguageValue(text_, u"RTL", kRightToLeftValueLimit, value)) return false;
  return !value.empty() && value[0] != u'0';
}
