#include "tollwren/language/language_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tollwren/pad/pad_document.h"

namespace {

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

std::vector<uint8_t> Utf16Bytes(const std::u16string& text, bool mark) {
  std::vector<uint8_t> bytes;
  if (mark) bytes = {0xFF, 0xFE};
  for (char16_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  return bytes;
}

CPadDocument SamplePad() {
  const std::string local =
      "<Program_Version>2.5</Program_Version><Application_XML_File_URL>http://maker.example/pad.xml"
      "</Application_XML_File_URL><Company_Name>Tom &amp; Jerry</Company_Name>"
      "<Char_Desc_45>Local</Char_Desc_45>";
  const std::string remote =
      "<Program_Version>2.6</Program_Version><Program_Name>Sampler</Program_Name>"
      "<File_Size_Bytes>3145728</File_Size_Bytes>"
      "<Primary_Download_URL>http://maker.example/setup.exe</Primary_Download_URL>"
      "<Program_Change_Info>First\r\nSecond</Program_Change_Info>"
      "<Program_System_Requirements>4 GB</Program_System_Requirements>"
      "<Char_Desc_45>Short</Char_Desc_45><Program_OS_Support>Win7,Win10</Program_OS_Support>";
  CPadDocument pad;
  pad.LoadLocalBytes(reinterpret_cast<const uint8_t*>(local.data()), local.size());
  pad.LoadRemoteBytes(reinterpret_cast<const uint8_t*>(remote.data()), remote.size());
  return pad;
}

TEST(LanguageText, PadPlaceholdersAndEntities) {
  const CPadDocument pad = SamplePad();
  struct Case {
    std::u16string line;
    std::u16string rendered;
  };
  const Case cases[] = {
      {u"<program_name> <PROGRAM_VERSION_old> -> <Program_Version_New>", u"Sampler 2.5 -> 2.6"},
      {u"<Program_Version>", u"2.6"},
      {u"<File_Size_Bytes> <File_Size_K> K <File_Size_MB> MB", u"3145728 3072 K 3 MB"},
      {u"<Company_Name>", u"Tom & Jerry"},       // entity in the PAD value decoded
      {u"a&nbsp;b &amp;nbsp;", u"a b &nbsp;"},  // only these two entities, in this order
      {u"&lt;x&gt;", u"&lt;x&gt;"},
      {u"<Pad_File_URL>|<Application_XML_File_URL>", u"http://maker.example/pad.xml|http://maker.example/pad.xml"},
      {u"<Pad_File_Local>", u"C:\\app\\pad.xml"},  // the backslash before "a" is no line break
      {u"<Char_Desc_2000>", u"Short"},
      {u"<Program_System_Requirements> on <Program_OS_Support>", u"4 GB on Win7,Win10"},
      {u"<Primary_Download_URL><Secondary_Download_URL>", u"http://maker.example/setup.exe"},
      {u"<Program_Release_Date_Local_Format>", u""},
      {u"<Unknown_Field>", u"<Unknown_Field>"},
      // A PAD value with line breaks stays on its line and shows them when rendered.
      {u"<Program_Change_Info>", u"First\r\nSecond"},
  };
  for (const auto& c : cases) {
    CLanguageText language;
    language.Load(Utf16Bytes(u"x=" + c.line + u"\r\nafter=ok", true).data(),
                  Utf16Bytes(u"x=" + c.line + u"\r\nafter=ok", true).size(), pad, u"C:\\app\\pad.xml");
    CDownloadFigures figures;
    EXPECT_EQ(language.Render(u"x", figures), c.rendered) << Narrow(c.line);
    EXPECT_EQ(language.Render(u"after", figures), u"ok") << Narrow(c.line);
  }
}

TEST(LanguageText, PadValuesCannotBringInPlaceholders) {
  const std::string remote = "<Program_Name>&lt;<Pad_File_Local></Program_Name>";
  CPadDocument pad;
  pad.LoadRemoteBytes(reinterpret_cast<const uint8_t*>(remote.data()), remote.size());
  // The first Program_Name end tag is after "<Pad_File_Local>", so that is the value.
  CLanguageText language;
  language.LoadText(u"x=<Program_Name>", pad, u"C:\\secret\\pad.xml");
  std::u16string value;
  ASSERT_TRUE(language.LookUp(u"x", value));
  EXPECT_EQ(value, u"&lt;<Pad_File_Local>");
}

TEST(LanguageText, DownloadPlaceholders) {
  struct Case {
    std::u16string value;
    uint32_t received;
    uint32_t expected;
    int32_t fileSize;
    std::u16string rendered;
    uint32_t expectedAfter;
  };
  const Case cases[] = {
      {u"<File_Downloaded_Bytes>/<File_Download_Total_Bytes>", 1000, 2000, 0, u"1000/2000", 2000},
      {u"<file_downloaded_k> K of <FILE_DOWNLOAD_TOTAL_K> K", 5120, 10240, 0, u"5 K of 10 K", 10240},
      {u"<File_Downloaded_MB>/<File_Download_Total_MB> MB", 3 * 1048576 - 1, 5 * 1048576, 0, u"2/5 MB", 5 * 1048576},
      // Before the server has answered, the PAD file size stands in and is kept.
      {u"<File_Download_Total_K>", 0, 0, 20480, u"20", 20480},
      {u"<File_Downloaded_Bytes>", 0, 0, 20480, u"0", 0},
      {u"<File_Download_Total_Bytes>", 0, 0, 0, u"0", 0},
      {u"Line\\nnext\\Nthird", 0, 0, 0, u"Line\r\nnext\r\nthird", 0},
      // Sizes above 2 GB are not shown as negative numbers.
      {u"<File_Downloaded_Bytes>", 3000000000u, 0, 0, u"3000000000", 0},
      {u"<File_Download_URL> <Download_File_Name> <Download_File_Local>", 0, 0, 0,
       u"http://h/new.exe new.exe C:\\new\\new.exe", 0},
  };
  for (const auto& c : cases) {
    CDownloadFigures figures;
    figures.bytesReceived = c.received;
    figures.bytesExpected = c.expected;
    figures.fileSize = c.fileSize;
    figures.url = u"http://h/new.exe";
    figures.fileName = u"new.exe";
    figures.filePath = u"C:\\new\\new.exe";  // its "\n" is no line break
    EXPECT_EQ(RenderDownloadText(c.value, figures), c.rendered) << Narrow(c.value);
    EXPECT_EQ(figures.bytesExpected, c.expectedAfter) << Narrow(c.value);
  }
  CDownloadFigures figures;
  EXPECT_EQ(RenderDownloadText(std::u16string(1500, u'a'), figures).size(), kRenderedTextLimit);
}

TEST(LanguageText, MissingKeysAndRightToLeft) {
  const CPadDocument pad;
  struct Case {
    std::u16string file;
    bool rtl;
  };
  const Case cases[] = {
      {u"RTL=1", true},   {u"RTL=yes", true}, {u"RTL=0", false},          {u"RTL=", false},
      {u"x=1", false},    {u"RTL=0123456789", false},  // ten characters: missing
      {u"ARTL=1", false}, {u"a=b\nRTL=2\n", true},
  };
  for (const auto& c : cases) {
    CLanguageText language;
    language.LoadText(c.file, pad, u"");
    EXPECT_EQ(language.RightToLeft(), c.rtl) << Narrow(c.file);
  }
  CLanguageText language;
  EXPECT_FALSE(language.IsLoaded());
  CDownloadFigures figures;
  EXPECT_EQ(language.Render(u"checking_website", figures), u"");
  // A zero character ends the file early; an odd last byte is no character.
  std::vector<uint8_t> bytes = Utf16Bytes(u"a=1\nb=2", false);
  bytes[4 * 2] = 0;  // the "b"
  bytes.push_back(0x41);
  language.Load(bytes.data(), bytes.size(), pad, u"");
  EXPECT_TRUE(language.IsLoaded());
  EXPECT_EQ(language.Text(), u"a=1\n");
}

TEST(LanguageText, ButtonCaptionsAndLanguageList) {
  EXPECT_EQ(ButtonCaption(u"Download\\nnow"), u"Download\nnow");
  EXPECT_EQ(ButtonCaption(u"Keep\\Nit"), u"Keep\\Nit");  // upper-case N stays

  const std::u16string list = u"English\r\n\nGerman\n" + std::u16string(45, u'L');
  struct Case {
    size_t index;
    bool found;
    std::u16string name;
  };
  const Case cases[] = {
      {0, true, u"English"}, {1, true, u""}, {2, true, u"German"},
      {3, true, std::u16string(kLanguageNameLimit, u'L')}, {4, false, u""},
  };
  for (const auto& c : cases) {
    std::u16string name = u"old";
    EXPECT_EQ(LanguageListLine(list, c.index, name), c.found) << c.index;
    EXPECT_EQ(name, c.found ? c.name : u"old") << c.index;
  }
  std::u16string name;
  EXPECT_FALSE(LanguageListLine(u"English\n", 1, name));
  EXPECT_EQ(LanguageEntryName(u"German", ".lng"), "German.lng");
  EXPECT_EQ(LanguageEntryName(u"Fran\u00E7ais", ".bmp"), "Fran\xE7" "ais.bmp");
}

}  // namespace
