// The updater program's portable rules: its settings record as the packer
// builds it, the command line, the layout of the skin, the character set of
// a language's script, and the delivered language files themselves.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/archive_directory.h"
#include "common/program_keys.h"
#include "common/script_charset.h"
#include "tollwren/app/command_line.h"
#include "tollwren/app/skin_layout.h"
#include "tollwren/app/updater_settings.h"
#include "tollwren/language/language_text.h"
#ifdef TOLLWREN_TESTS_HAVE_PACKER
#include <filesystem>

#include "tools/respack/pack_archive.h"
#include "tools/respack/stn_record.h"
#endif

namespace {

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::string kAssets = std::string(TEST_SOURCE_ROOT) + "/assets/tollwren/";
const char* const kLanguages[] = {"English", "German",  "French",   "Spanish",  "Italian", "Portuguese",
                                  "Dutch",   "Polish",  "Russian",  "Japanese", "Chinese (Simplified)", "Arabic"};

#ifdef TOLLWREN_TESTS_HAVE_PACKER
TEST(ArchiveDirectory, ListsEveryEntryOrNothing) {
  std::vector<uint8_t> archive;
  std::string error;
  ASSERT_TRUE(BuildArchive({{"stn", std::vector<uint8_t>(100, 7)}, {"bmk", {1, 2}}, {"keys.pem", {3}}},
                           std::vector<uint8_t>(kTollwrenArchiveKey, kTollwrenArchiveKey + kProgramKeyLength),
                           &archive, &error))
      << error;
  const std::vector<uint8_t> image = {'M', 'Z', 0, 0};
  std::vector<uint8_t> whole = image;
  whole.insert(whole.end(), archive.begin(), archive.end());
  const size_t firstSize = image.size() + kArchiveMagicSize + 50;  // the size field of "stn"
  auto changed = [&](auto change) {
    std::vector<uint8_t> file = whole;
    change(file);
    return file;
  };
  const struct {
    const char* what;
    std::vector<uint8_t> file;
    bool read;
  } cases[] = {
      {"whole", whole, true},
      {"no archive", image, false},
      {"cut short", changed([](std::vector<uint8_t>& f) { f.pop_back(); }), false},
      {"an entry one byte longer", changed([&](std::vector<uint8_t>& f) { f[firstSize] += 1; }), false},
      {"another magic", changed([&](std::vector<uint8_t>& f) { f[image.size()] ^= 1; }), false},
      {"a byte after the trailer", changed([](std::vector<uint8_t>& f) { f.push_back(0); }), false},
  };

  const std::filesystem::path path = std::filesystem::temp_directory_path() / "tollwren_directory_test.exe";
  for (const auto& c : cases) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(c.file.data()), static_cast<std::streamsize>(c.file.size()));
    CArchiveDirectory directory;
    EXPECT_EQ(directory.Read(path.u16string().c_str(), kTollwrenArchiveKey, kProgramKeyLength), c.read) << c.what;
    EXPECT_EQ(directory.Has("keys.pem"), c.read) << c.what;
    EXPECT_FALSE(directory.Has("keys")) << c.what;
  }
  std::filesystem::remove(path);
}

TEST(UpdaterSettings, ReadsEveryFieldWhereThePackerPutsIt) {
  const std::string source =
      "[updater]\ndefault_language=Polish\nuse_system_language=yes\nshow_language_button=yes\n"
      "show_close_button=no\nalways_on_top=yes\n"
      "[languages]\nlanguage=English\nlanguage=\nlanguage=Dutch\n"
      "[title]\nshow=yes\ncolor=#102030\nfont=Title Face\nheight=-22\nbold=yes\n"
      "[status]\nshow=yes\ncolor=#A0B0C0\nfont=Status Face\nheight=15\nitalic=yes\n"
      "[news]\nshow=no\ncolor=#010203\nheight=0\nunderline=yes\n"
      "[footer]\nshow=yes\nfont=Footer Face\nheight=11\nitalic=yes\nunderline=yes\nbold=yes\n";
  std::vector<uint8_t> record;
  std::vector<std::string> warnings;
  std::string error;
  ASSERT_TRUE(BuildStnRecord(reinterpret_cast<const uint8_t*>(source.data()), source.size(), &record, &warnings,
                             &error))
      << error;
  CUpdaterSettings settings;
  ASSERT_TRUE(settings.Read(record.data(), record.size()));
  EXPECT_EQ(settings.defaultLanguage, u"Polish");
  EXPECT_EQ(settings.languageList, u"English\n\nDutch");
  EXPECT_TRUE(settings.useSystemLanguage);
  EXPECT_TRUE(settings.showLanguageButton);
  EXPECT_FALSE(settings.showCloseButton);
  EXPECT_TRUE(settings.alwaysOnTop);
  EXPECT_TRUE(settings.title.show);
  EXPECT_EQ(settings.title.color, 0x302010u);  // COLORREF is 0x00BBGGRR
  EXPECT_EQ(settings.title.face, u"Title Face");
  EXPECT_EQ(settings.title.height, -22);
  EXPECT_TRUE(settings.title.bold);
  EXPECT_FALSE(settings.title.italic);
  EXPECT_EQ(settings.status.color, 0xC0B0A0u);
  EXPECT_EQ(settings.status.face, u"Status Face");
  EXPECT_TRUE(settings.status.italic);
  EXPECT_FALSE(settings.news.show);
  EXPECT_EQ(settings.news.face, u"");
  EXPECT_EQ(settings.news.height, 0);
  EXPECT_TRUE(settings.news.underline);
  EXPECT_TRUE(settings.footer.show);
  EXPECT_EQ(settings.footer.face, u"Footer Face");
  EXPECT_EQ(settings.footer.height, 11);
  EXPECT_TRUE(settings.footer.italic && settings.footer.underline && settings.footer.bold);
}
#endif

TEST(UpdaterSettings, OnlyARecordOfExactlyItsSize) {
  const std::vector<uint8_t> delivered = FileBytes(kAssets + "stn.bin");
  CUpdaterSettings settings;
  ASSERT_TRUE(settings.Read(delivered.data(), delivered.size()));
  EXPECT_EQ(settings.defaultLanguage, u"English");
  EXPECT_TRUE(settings.useSystemLanguage);
  // Every delivered language is in the list, in order.
  std::u16string name;
  for (size_t i = 0; i < sizeof kLanguages / sizeof kLanguages[0]; ++i) {
    ASSERT_TRUE(LanguageListLine(settings.languageList, i, name));
    EXPECT_EQ(name, std::u16string(kLanguages[i], kLanguages[i] + std::char_traits<char>::length(kLanguages[i])));
  }
  for (size_t size : {kSettingsRecordSize - 1, kSettingsRecordSize + 1, size_t{0}}) {
    std::vector<uint8_t> other(size + 1, 0);
    CUpdaterSettings untouched;
    untouched.defaultLanguage = u"kept";
    EXPECT_FALSE(untouched.Read(other.data(), size)) << size;
    EXPECT_EQ(untouched.defaultLanguage, u"kept");
  }
}

TEST(UpdaterCommandLine, HideSilentAndNotify) {
  struct Case {
    const char16_t* line;
    bool hidden;
    uint32_t window;
    bool silent;
  };
  const Case cases[] = {
      {u"tollwren.exe", false, 0, false},
      {u"tollwren.exe /HIDE", true, 0, false},
      {u"tollwren.exe /hide", false, 0, false},  // case-sensitive
      {u"\"C:\\a b\\tollwren.exe\" /NOTIFY:65630 /HIDE", true, 65630, false},
      {u"tollwren.exe /NOTIFY:65630\t/HIDE", true, 65630, false},
      {u"tollwren.exe /NOTIFY:0", false, 0, false},
      {u"tollwren.exe /NOTIFY:-5", false, 0, false},
      {u"tollwren.exe /NOTIFY:12x", false, 0, false},
      {u"tollwren.exe /NOTIFY:", false, 0, false},
      {u"tollwren.exe /SILENT /NOTIFY:7", false, 7, true},
      {u"tollwren.exe /silent", false, 0, false},
  };
  for (const Case& c : cases) {
    const CUpdaterCommandLine parsed = ParseUpdaterCommandLine(c.line);
    EXPECT_EQ(parsed.silent, c.silent) << std::string(c.line, c.line + 30);
    EXPECT_EQ(parsed.hidden, c.hidden) << std::string(c.line, c.line + 30);
    EXPECT_EQ(parsed.notifyWindow, c.window) << std::string(c.line, c.line + 30);
  }
}

TEST(SkinLayout, FollowsTheBackgroundWidth) {
  CSkinLayout layout = LayOutSkin(400, true, 16, 16, 24, 16);
  EXPECT_EQ(layout.status.x, 100);
  EXPECT_EQ(layout.status.width, 200);
  EXPECT_EQ(layout.news.x, 10);
  EXPECT_EQ(layout.news.width, 380);
  EXPECT_EQ(layout.choices[0].x, 99);
  EXPECT_EQ(layout.choices[1].x, 165);
  EXPECT_EQ(layout.choices[2].x, 231);
  EXPECT_EQ(layout.choices[2].width, 66);
  EXPECT_EQ(layout.close.x, 374);
  EXPECT_EQ(layout.language.x, 340);

  layout = LayOutSkin(600, true, 16, 16, 24, 16);
  EXPECT_EQ(layout.news.x, 60);
  EXPECT_EQ(layout.news.width, 480);
  // Without the close button the flag moves to the right edge.
  layout = LayOutSkin(600, false, 16, 16, 24, 16);
  EXPECT_EQ(layout.language.x, 600 - 24 - 10);
}

TEST(SkinLayout, ScalesEveryFigureByTheDpi) {
  // The background is scaled before the layout: 600 x 300 at 96 is 900 wide at 144.
  const CSkinLayout at96 = LayOutSkin(600, true, 16, 16, 24, 16);
  const CSkinLayout at144 = LayOutSkin(900, true, 24, 24, 36, 24, 144);
  const CControlRect pairs[][2] = {{at96.status, at144.status},         {at96.news, at144.news},
                                   {at96.close, at144.close},           {at96.language, at144.language},
                                   {at96.choices[2], at144.choices[2]}, {at96.progress, at144.progress}};
  for (const auto& pair : pairs) {
    EXPECT_EQ(pair[1].x, ScaleForDpi(pair[0].x, 144));
    EXPECT_EQ(pair[1].y, ScaleForDpi(pair[0].y, 144));
    EXPECT_EQ(pair[1].width, ScaleForDpi(pair[0].width, 144));
    EXPECT_EQ(pair[1].height, ScaleForDpi(pair[0].height, 144));
  }
}

TEST(SkinLayout, MakesRoomForTextsThatDoNotFit) {
  // Texts measured as fixed sizes (a text wider than the wrap width holds a
  // word that does not wrap).
  struct Case {
    const char* what;
    CTextExtent status;
    CTextExtent news;
    int dpi;
    int statusWidth, statusHeight, rowTop, newsTop, newsHeight;
  };
  const Case cases[] = {
      {"texts that fit move nothing", {280, 34}, {400, 16}, 96, 300, 65, 150, 190, 70},
      {"four lines: the buttons move down", {290, 68}, {400, 16}, 96, 300, 78, 163, 203, 70},
      {"a text that would touch the buttons", {290, 60}, {400, 16}, 96, 300, 70, 155, 195, 70},
      {"a word too long widens the line", {420, 17}, {400, 16}, 96, 420, 65, 150, 190, 70},
      {"the widest line keeps the margins", {900, 17}, {400, 16}, 96, 580, 65, 150, 190, 70},
      {"never below the window", {290, 400}, {400, 16}, 96, 300, 175, 260, 300, 0},
      {"a tall news line ends at the window's edge", {280, 34}, {400, 150}, 96, 300, 65, 150, 190, 110},
      {"at 144 the gap scales", {440, 120}, {600, 24}, 144, 450, 135, 263, 323, 105},
  };
  for (const Case& c : cases) {
    const int width = ScaleForDpi(600, c.dpi);
    const int height = ScaleForDpi(300, c.dpi);
    CSkinLayout layout = LayOutSkin(width, true, 16, 16, 24, 16, c.dpi);
    MakeRoomForTexts(
        layout, width, height, c.dpi, [&](int) { return c.status; }, [&](int) { return c.news; });
    EXPECT_EQ(layout.status.width, c.statusWidth) << c.what;
    EXPECT_EQ(layout.status.x, (width - c.statusWidth) / 2) << c.what;
    EXPECT_EQ(layout.status.height, c.statusHeight) << c.what;
    for (const CControlRect& row : {layout.choices[0], layout.choices[2], layout.progress}) {
      EXPECT_EQ(row.y, c.rowTop) << c.what;
      EXPECT_LE(row.Bottom(), height) << c.what;
    }
    EXPECT_LE(layout.status.Bottom(), c.rowTop) << c.what;
    EXPECT_EQ(layout.news.y, c.newsTop) << c.what;
    EXPECT_EQ(layout.news.height, c.newsHeight) << c.what;
  }
}

// Every delivered language file: all keys the updater knows, no misspelt
// placeholder, and fonts asked for in the set its script needs.
TEST(DeliveredLanguages, CompleteAndInTheirScript) {
  const char16_t* const keys[] = {
      u"RTL", u"yes", u"no", u"title", u"checking_website", u"error_internet", u"web_version_same",
      u"web_version_older", u"web_version_newer", u"version_news", u"download_start", u"download_progress",
      u"user_aborted", u"error_download", u"error_signature", u"error_installer", u"download_success",
      u"error_no_local_pad",
      u"error_win_version", u"error_damaged_file", u"footer", u"about", u"about_details", u"visit_product_site",
      u"abort_update", u"minimize", u"skip_version"};
  const std::set<std::u16string> placeholders = {
      u"<Program_Name>", u"<Program_Version>", u"<Program_Version_New>", u"<Program_Version_Old>",
      u"<File_Size_K>", u"<Download_File_Name>", u"<File_Downloaded_K>", u"<File_Download_Total_K>",
      u"<Company_WebSite_URL>", u"<Download_File_Local>", u"<Pad_File_Local>", u"<Program_Change_Info>",
      u"<Company_Name>", u"<Char_Desc_250>"};
  const std::map<std::string, uint8_t> charsets = {
      {"Japanese", kShiftJisCharset}, {"Chinese (Simplified)", kGb2312Charset}, {"Arabic", kArabicCharset}};
  for (const char* language : kLanguages) {
    const std::vector<uint8_t> bytes = FileBytes(kAssets + language + ".lng");
    ASSERT_FALSE(bytes.empty()) << language;
    const std::u16string text = DecodeLanguageBytes(bytes.data(), bytes.size());
    std::u16string all;
    for (const char16_t* key : keys) {
      std::u16string value;
      ASSERT_TRUE(LookUpLanguageValue(text, key, kLanguageValueLimit, value))
          << language << " lacks " << std::string(key, key + std::char_traits<char16_t>::length(key));
      EXPECT_FALSE(value.empty() && std::u16string(key) != u"RTL") << language;
      for (size_t at = value.find(u'<'); at != std::u16string::npos; at = value.find(u'<', at + 1)) {
        const size_t end = value.find(u'>', at);
        ASSERT_NE(end, std::u16string::npos) << language;
        EXPECT_TRUE(placeholders.count(value.substr(at, end - at + 1))) << language;
      }
      all += value;
    }
    const auto expected = charsets.find(language);
    EXPECT_EQ(CharsetForText(all), expected == charsets.end() ? kDefaultCharset : expected->second) << language;
    std::u16string rtl;
    LookUpLanguageValue(text, u"RTL", kRightToLeftValueLimit, rtl);
    EXPECT_EQ(rtl, std::string(language) == "Arabic" ? u"1" : u"0") << language;
  }
}

}  // namespace
