#include "tollwren/language/language_text.h"

#include "tollwren/pad/pad_document.h"

namespace {

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

std::u16string RenderDownloadText(std::u16string_view value, CDownloadFigures& figures) {
  const bool showsTotal = HoldsPlaceholder(value, u"<File_Download_Total_");
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

bool CLanguageText::RightToLeft() const { return IsRightToLeftLanguage(text_); }
