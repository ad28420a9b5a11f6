// The language document: initial choice, loading a language file from a real
// archive appended to a file, filling the PAD values in again after the
// remote document was read.
#include "tollwren/language/language_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/archive.h"
#include "common/program_keys.h"
#include "tollwren/pad/pad_document.h"
#ifdef TOLLWREN_TESTS_HAVE_PACKER
#include "tools/respack/pack_archive.h"
#endif

namespace {

std::vector<uint8_t> Utf16Bytes(std::u16string_view text, bool byteOrderMark = false) {
  std::vector<uint8_t> bytes;
  if (byteOrderMark) bytes = {0xFF, 0xFE};
  for (char16_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  return bytes;
}

CPadDocument LocalPad(const std::string& text) {
  CPadDocument pad;
  pad.LoadLocalBytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  return pad;
}

TEST(LanguageFile, InitialLanguage) {
  struct Case {
    bool useSystem;
    std::u16string system;
    std::u16string fallback;
    std::u16string expected;
  };
  const Case cases[] = {
      {true, u"German", u"English", u"German"},
      {false, u"German", u"English", u"English"},
      {true, u"", u"English", u"English"},  // the system named none
      {false, u"", u"", u""},
      {true, u"A123456789012345678901234567890123456789XYZ", u"English",
       u"A12345678901234567890123456789012345678"},  // cut to 39 characters
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseInitialLanguage(c.useSystem, c.system, c.fallback), c.expected)
        << std::string(c.system.begin(), c.system.end());
  }
}

TEST(LanguageFile, RefillShowsTheRemoteValues) {
  CPadDocument pad = LocalPad("<Program_Name>Tool &amp; Co</Program_Name><Program_Version>1.0</Program_Version>");
  CLanguageFile language;
  EXPECT_FALSE(language.Refill(pad, u"C:\\pad.xml"));  // nothing loaded yet
  EXPECT_FALSE(language.IsLoaded());
  const std::vector<uint8_t> bytes = Utf16Bytes(
      u"web_version_newer=<program_name> <Program_Version_Old> -> <Program_Version_New>\r\n"
      u"yes=Download\\nnow\nno=Later\nRTL=0\n",
      true);
  language.LoadBytes(bytes.data(), bytes.size(), u"English", pad, u"C:\\pad.xml");
  ASSERT_TRUE(language.IsLoaded());
  EXPECT_EQ(language.Name(), u"English");
  CDownloadFigures figures;
  EXPECT_EQ(language.Render(u"web_version_newer", figures), u"Tool & Co 1.0 -> 1.0");
  EXPECT_EQ(language.Caption(u"yes"), u"Download\nnow");
  EXPECT_EQ(language.Caption(u"missing"), u"");
  EXPECT_EQ(language.Caption(u""), u"");
  EXPECT_FALSE(language.RightToLeft());

  const std::string remote = "<Program_Version>2.1</Program_Version>";
  pad.LoadRemoteBytes(reinterpret_cast<const uint8_t*>(remote.data()), remote.size());
  ASSERT_TRUE(language.Refill(pad, u"C:\\pad.xml"));
  EXPECT_EQ(language.Render(u"web_version_newer", figures), u"Tool & Co 1.0 -> 2.1");
}

#ifdef TOLLWREN_TESTS_HAVE_PACKER
// A file with the updater's archive appended, written into a temporary folder.
class CArchiveFileOnDisk {
 public:
  CArchiveFileOnDisk(const char* name, const std::vector<PackEntry>& entries, bool programKey = true) {
    path_ = std::filesystem::temp_directory_path() / (std::string("tollwren_lang_") + name + ".exe");
    std::vector<uint8_t> key;
    if (programKey) key.assign(kTollwrenArchiveKey, kTollwrenArchiveKey + kProgramKeyLength);
    std::vector<uint8_t> archive;
    std::string error;
    EXPECT_TRUE(BuildArchive(entries, key, &archive, &error)) << error;
    std::ofstream out(path_, std::ios::binary);
    const std::string image = "MZ program image";
    out.write(image.data(), static_cast<std::streamsize>(image.size()));
    out.write(reinterpret_cast<const char*>(archive.data()), static_cast<std::streamsize>(archive.size()));
  }
  ~CArchiveFileOnDisk() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  std::u16string Path() const { return path_.u16string(); }

 private:
  std::filesystem::path path_;
};

PackEntry Entry(const std::string& name, const std::vector<uint8_t>& content) { return PackEntry{name, content}; }

TEST(LanguageFile, LoadsFromTheArchive) {
  const CArchiveFileOnDisk file(
      "load", {Entry("English.lng", Utf16Bytes(u"yes=Yes\nchecking_website=Checking <Program_Name>...\n")),
               Entry("Hebrew.lng", Utf16Bytes(u"yes=\u05DB\u05DF\nRTL=1\n")),
               Entry("Empty.lng", {}),
               Entry("English.bmp", {'B', 'M'})});
  CKeyedArchive archive;
  archive.SetKey(kTollwrenArchiveKey, kProgramKeyLength);
  const CPadDocument pad = LocalPad("<Program_Name>Demo</Program_Name>");
  const std::u16string path = file.Path();

  CLanguageFile language;
  ASSERT_TRUE(language.Load(archive, path.c_str(), u"English", pad, u"pad.xml"));
  CDownloadFigures figures;
  EXPECT_EQ(language.Render(u"checking_website", figures), u"Checking Demo...");
  EXPECT_FALSE(language.RightToLeft());

  // Missing, empty or differently cased entries keep the language in force.
  for (const char16_t* name : {u"German", u"Empty", u"english", u""}) {
    EXPECT_FALSE(language.Load(archive, path.c_str(), name, pad, u"pad.xml"));
    EXPECT_EQ(language.Name(), u"English");
    EXPECT_EQ(language.Caption(u"yes"), u"Yes");
  }

  ASSERT_TRUE(language.Load(archive, path.c_str(), u"Hebrew", pad, u"pad.xml"));
  EXPECT_EQ(language.Caption(u"yes"), u"\u05DB\u05DF");
  EXPECT_TRUE(language.RightToLeft());
  EXPECT_EQ(language.Render(u"checking_website", figures), u"");  // not in this file
}

TEST(LanguageFile, PickFromTheLanguageList) {
  const CArchiveFileOnDisk file("pick", {Entry("English.lng", Utf16Bytes(u"yes=Yes\n")),
                                         Entry("German.lng", Utf16Bytes(u"yes=Ja\n"))});
  CKeyedArchive archive;
  archive.SetKey(kTollwrenArchiveKey, kProgramKeyLength);
  const std::u16string path = file.Path();
  const CPadDocument pad;
  const std::u16string list = u"English\r\n\nGerman\nFrench";
  CLanguageFile language;
  std::u16string picked;
  ASSERT_TRUE(language.Pick(archive, path.c_str(), list, 2, pad, u"pad.xml", picked));  // command 202
  EXPECT_EQ(picked, u"German");
  EXPECT_EQ(language.Caption(u"yes"), u"Ja");
  // No such line: the language stays and is loaded again.
  ASSERT_TRUE(language.Pick(archive, path.c_str(), list, 9, pad, u"pad.xml", picked));
  EXPECT_EQ(picked, u"German");
  // A listed language without a file: the name is picked, the text stays.
  EXPECT_FALSE(language.Pick(archive, path.c_str(), list, 3, pad, u"pad.xml", picked));
  EXPECT_EQ(picked, u"French");
  EXPECT_EQ(language.Caption(u"yes"), u"Ja");
  ASSERT_TRUE(language.Pick(archive, path.c_str(), list, 0, pad, u"pad.xml", picked));  // CR dropped
  EXPECT_EQ(picked, u"English");
  EXPECT_EQ(language.Caption(u"yes"), u"Yes");
}

TEST(LanguageFile, ArchiveOfAnotherKeyIsNotRead) {
  const CArchiveFileOnDisk file("plain", {Entry("English.lng", Utf16Bytes(u"yes=Yes\n"))}, /*programKey=*/false);
  CKeyedArchive archive;
  archive.SetKey(kTollwrenArchiveKey, kProgramKeyLength);
  CLanguageFile language;
  EXPECT_FALSE(language.Load(archive, file.Path().c_str(), u"English", CPadDocument(), u"pad.xml"));
  EXPECT_FALSE(language.IsLoaded());
}
#endif

}  // namespace
