#include "marlpane/app/editor_options.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/common/plain_archive_for_tests.h"
#include "common/archive.h"
#include "common/text16.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

EditorOptions OptionsFrom(const std::string& ini) {
  EditorOptions options;
  const auto bytes = Bytes(ini);
  ApplyEditorOptionsText(bytes.data(), bytes.size(), options);
  return options;
}

TEST(EditorOptions, Defaults) {
  const EditorOptions o;
  EXPECT_EQ(std::u16string(o.mainTip), u"Click an item to see a tip\r\nDobule-click to edit");
  const int ints[] = {o.mainWindowWidth, o.mainWindowHeight, o.mainWindowX, o.mainWindowY,
                      o.firstColumnWidth};
  for (int v : ints) EXPECT_EQ(v, -1);
  EXPECT_EQ(o.mainWindowSideMargin, 35);
  EXPECT_EQ(o.listTypeIcons, 1);
  EXPECT_EQ(o.listGridLines, 0);
  EXPECT_EQ(o.sectionTitles, 1);
  EXPECT_EQ(o.autoDetectRowTypes, 1);
  EXPECT_EQ(o.mainWindowAutoResize, 1);
  EXPECT_EQ(o.textColor, 0x006E6E6Eu);
  EXPECT_EQ(o.backgroundColor, 0x00DCE6E6u);
  EXPECT_EQ(o.inputTextColor, 0x00323728u);
  EXPECT_EQ(o.inputBkColor, 0x00FAFFF0u);
  EXPECT_EQ(o.listTextColor, 0x00806040u);
  EXPECT_EQ(o.listEvenBkColor, 0x00FFFFFFu);
  EXPECT_EQ(o.listOddBkColor, 0x00FFEBE1u);
  EXPECT_EQ(o.listSectionTitleColor, 0x00FACD8Cu);
}

TEST(EditorOptions, FlagsKnowOnlyZeroAndNoAsOff) {
  struct Case {
    const char* value;
    int expected;
  } cases[] = {
      {"yes", 1}, {"No", 0}, {"0", 0}, {"n", 0}, {"false", 1}, {"False", 1}, {"1", 1},
      {"", 0},    {"nonsense", 0},
      {"01234567890", 7},  // more than 10 characters: ignored
  };
  for (const auto& c : cases) {
    EditorOptions o;
    o.listGridLines = 7;
    const auto bytes = Bytes(std::string("[Options]\r\nListGridLines=") + c.value + "\r\n");
    ApplyEditorOptionsText(bytes.data(), bytes.size(), o);
    EXPECT_EQ(o.listGridLines, c.expected) << c.value;
  }
}

TEST(EditorOptions, Colours) {
  struct Case {
    const char* value;
    uint32_t expected;
  } cases[] = {
      {"#FF0000", 0x000000FF}, {"0xFF0000", 0x000000FF}, {"FF0000", 0x000000FF},
      {"00ff00", 0x0000FF00},  {"#0000FF", 0x00FF0000}, {"G12345", 0},
      {"0XFF0000", 0},         {"", 0},
  };
  for (const auto& c : cases) {
    const auto o = OptionsFrom(std::string("[Options]\nTextColor=") + c.value + "\n");
    EXPECT_EQ(o.textColor, c.expected) << c.value;
    EXPECT_EQ(o.backgroundColor, EditorOptions().backgroundColor) << "others untouched";
  }
}

TEST(EditorOptions, IntegersAndPositions) {
  const auto o = OptionsFrom(
      "[Options]\r\n"
      "MainWindowWidth=640\r\n"
      "MainWindowHeight= 480\r\n"
      "MainWindowX=-1\r\n"
      "MainWindowY=100\r\n"
      "FirstColumnWidth=abc\r\n"
      "MainWindowSideMargin=+12px\r\n");
  EXPECT_EQ(o.mainWindowWidth, 640);
  EXPECT_EQ(o.mainWindowHeight, 480);
  EXPECT_EQ(o.mainWindowX, -1);   // keeps X, not centred: Y is set
  EXPECT_EQ(o.mainWindowY, 100);
  EXPECT_EQ(o.firstColumnWidth, -1);  // does not convert
  EXPECT_EQ(o.mainWindowSideMargin, 12);
}

TEST(EditorOptions, MainTip) {
  struct Case {
    std::string value;
    std::u16string expected;
  } cases[] = {
      {"First\\nSecond", u"First\r\nSecond"},
      {"\\n\\n", u"\r\n\r\n"},
      {"plain", u"plain"},
      {"", u""},
      {std::string(4999, 't'), std::u16string(4999, u't')},
      {std::string(5000, 't'), kDefaultMainTip},  // too long: the default stays
  };
  for (const auto& c : cases) {
    const auto o = OptionsFrom("[Options]\nMainTip=" + c.value + "\n");
    EXPECT_EQ(std::u16string(o.mainTip), c.expected) << c.value.substr(0, 20);
  }
}

TEST(EditorOptions, OnlyTheOptionsSectionCounts) {
  const auto o = OptionsFrom(
      "[Other]\nListGridLines=1\nMainWindowWidth=5\n"
      "[Options]\nSectionTitles=0\n"
      "[Options]\nListTypeIcons=0\n");
  EXPECT_EQ(o.listGridLines, 0);
  EXPECT_EQ(o.mainWindowWidth, -1);
  EXPECT_EQ(o.sectionTitles, 0);
  EXPECT_EQ(o.listTypeIcons, 1);  // the second header is never searched
}

TEST(EditorOptions, Utf16TextWithByteOrderMark) {
  const std::u16string text = u"[Options]\r\nMainTip=Gr\u00FC\u00DFe \u20AC\r\nListGridLines=yes\r\n";
  std::vector<uint8_t> bytes = {0xFF, 0xFE};
  for (char16_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  EditorOptions o;
  ApplyEditorOptionsText(bytes.data(), bytes.size(), o);
  EXPECT_EQ(std::u16string(o.mainTip), u"Gr\u00FC\u00DFe \u20AC");
  EXPECT_EQ(o.listGridLines, 1);
}

class ArchiveFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("editor_options_test_" + std::to_string(reinterpret_cast<uintptr_t>(this)));
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  std::u16string Program(const std::vector<PlainArchiveEntry>& entries) {
    const std::u16string path = (folder_ / ("program" + std::to_string(count_++) + ".exe")).u16string();
    EXPECT_TRUE(WriteBytesToFile(path, MakePlainArchive(entries)));
    return path;
  }
  std::filesystem::path folder_;
  int count_ = 0;
  CKeyedArchive archive_;
};

TEST_F(ArchiveFolder, ReadEditorOptionsFromTheArchive) {
  const auto path = Program({{"settings", std::vector<uint8_t>(84, 0)},
                             {"options.ini", Bytes("[Options]\r\nListGridLines=1\r\nTextColor=#102030\r\n")}});
  EditorOptions o;
  ASSERT_TRUE(ReadEditorOptions(archive_, path.c_str(), o));
  EXPECT_EQ(o.listGridLines, 1);
  EXPECT_EQ(o.textColor, 0x00302010u);
  EXPECT_EQ(o.sectionTitles, 1);
}

TEST_F(ArchiveFolder, MissingOrDamagedOptionsKeepTheDefaults) {
  // A damaged entry: its checksum does not match the content.
  auto damaged = MakePlainArchive({{"options.ini", Bytes("[Options]\nListGridLines=1\n")}});
  const size_t contentStart = 11 + 4 + 54;
  damaged[contentStart + 3] ^= 0x01;
  const std::u16string damagedPath = (folder_ / "damaged.exe").u16string();
  ASSERT_TRUE(WriteBytesToFile(damagedPath, damaged));

  struct Case {
    const char* what;
    std::u16string path;
  } cases[] = {
      {"no entry", Program({{"settings", std::vector<uint8_t>(84, 0)}})},
      {"empty entry", Program({{"options.ini", {}}})},
      {"wrong case", Program({{"Options.ini", Bytes("[Options]\nListGridLines=1\n")}})},
      {"damaged entry", damagedPath},
      {"no archive file", (folder_ / "missing.exe").u16string()},
  };
  for (const auto& c : cases) {
    EditorOptions o;
    EXPECT_FALSE(ReadEditorOptions(archive_, c.path.c_str(), o)) << c.what;
    EXPECT_EQ(o.listGridLines, 0) << c.what;
  }
}

TEST_F(ArchiveFolder, SettingsRecordMustHoldExactly84Bytes) {
  std::vector<uint8_t> record(84);
  for (size_t i = 0; i < record.size(); ++i) record[i] = static_cast<uint8_t>(i + 1);
  struct Case {
    const char* what;
    std::u16string path;
    bool ok;
  } cases[] = {
      {"84 bytes", Program({{"options.ini", Bytes("x")}, {"settings", record}}), true},
      {"83 bytes", Program({{"settings", std::vector<uint8_t>(83, 1)}}), false},
      {"85 bytes", Program({{"settings", std::vector<uint8_t>(85, 1)}}), false},
      {"absent", Program({{"options.ini", Bytes("x")}}), false},
      {"wrong case", Program({{"Settings", record}}), false},
  };
  for (const auto& c : cases) {
    uint8_t out[kSettingsRecordSize];
    std::fill(out, out + kSettingsRecordSize, 0xEE);
    EXPECT_EQ(ReadSettingsRecord(archive_, c.path.c_str(), out), c.ok) << c.what;
    if (c.ok) {
      EXPECT_TRUE(std::equal(record.begin(), record.end(), out)) << c.what;
    } else {
      for (uint8_t b : out) ASSERT_EQ(b, 0) << c.what;
    }
    EXPECT_EQ(ReadSettingsRecord(archive_, c.path.c_str()), c.ok) << c.what;
  }
}

}  // namespace
