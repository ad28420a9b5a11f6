#include "marlpane/rows/row_saver.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/common/files_test_support.h"
#include "common/text16.h"
#include "marlpane/document/ini_document.h"
#include "marlpane/rows/row_builder.h"
#include "marlpane/rows/typed_cells.h"
#include "tests/marlpane/rows/fixed_clock.h"

namespace {

using testfiles::ReadBytes;
using testfiles::TempFolder;
using testfiles::WriteBytes;

class FixedClock : public celltest::FixedClock {
 public:
  // No window is ever found, on every platform.
  uintptr_t LookUpWindow(uintptr_t, const char16_t*, const char16_t*, char16_t* title,
                         size_t capacity) override {
    if (title && capacity) title[0] = 0;
    return 0;
  }
};

class FakeSources : public CRowSources {
 public:
  std::u16string DriveList(int) override { return u"C: [System];D: (CD);E: (Removable);"; }
  std::string ProgramOutput(const std::u16string&, const std::u16string&) override {
    return "a;b\r\nc\n";
  }
};

// A settings file and its type description in a temporary folder, loaded
// into cells the way the editor loads them.
struct LoadedFile {
  TempFolder folder;
  FixedClock clock;
  FakeSources sources;
  CTypedCells cells{&clock};
  CIniDocument settings;
  BuiltRows built;
  std::u16string path = folder.File("app.ini");

  LoadedFile(const std::string& ini, const std::string& types) {
    WriteBytes(folder.Native("app.ini"), ini);
    if (!types.empty()) WriteBytes(folder.Native("app.ITP"), types);
  }
  bool Load() {
    EditorOptions options;
    options.sectionTitles = 0;
    return BuildRows(path.c_str(), u"", settings, cells, sources, options, 0, built);
  }
  uint32_t Save() { return SaveRows(built, cells, settings, path.c_str()); }
  std::string Bytes() { return ReadBytes(folder.Native("app.ini")); }
};

using Edit = std::function<void(CTypedCells&)>;

struct SaveCase {
  const char* descriptor;
  const char* stored;
  Edit edit;             // applied to row 0; null: no edit
  const char* expected;  // value written; null: the file keeps every byte
};

// Row 0 is the option under test; the second option must never change.
const SaveCase kSaveCases[] = {
    // Untouched rows keep their bytes whatever form the row would write.
    {"FONT", "Arial", nullptr, nullptr},
    {"FONT", "Arial;10;1;0;0;0", nullptr, nullptr},
    {"FONT", "Arial;10;yes;n;1;0", nullptr, nullptr},
    {"FONT", "Arial;10;yes;n;1;0", [](CTypedCells& c) { c.SetFont(0, 1, u"Arial", 10, true, false, true, false); },
     "Arial;10;1;0;1;0"},
    {"FONT;;;8;24", "Arial;10",
     [](CTypedCells& c) { c.SetFont(0, 1, u"Tahoma", 9, false, true, false, true); },
     "Tahoma;9;0;1;0;1"},
    {"INTEGER;;;1;10;3", "42", nullptr, nullptr},
    {"INTEGER;;;1;10;3", "5", [](CTypedCells& c) { c.EnterIntegerText(0, 1, u"42"); }, "010"},
    {"REAL;;;0;10;1;2", "7", [](CTypedCells& c) { c.EnterRealText(0, 1, u"0.5"); }, "0.50"},
    {"STRING", "old", [](CTypedCells& c) { c.SetCellText(0, 1, u"new value"); }, "new value"},
    {"SHADE;x", "old", [](CTypedCells& c) { c.SetCellText(0, 1, u"new"); }, "new"},
    {"COLOR", "#ff8000", nullptr, nullptr},
    {"COLOR", "0x102030", nullptr, nullptr},
    {"COLOR", "#FF8000", [](CTypedCells& c) { c.SetColor(0, 1, 0x00FF0000); }, "#0000FF"},
    {"FILE;;;*.db", "a.db", [](CTypedCells& c) { c.SetCellText(0, 1, u"D:\\b.db"); }, "D:\\b.db"},
    {"PASSWORD;;;0;9", "pw", [](CTypedCells& c) { c.SetPasswordText(0, 1, u"s3cret"); }, "s3cret"},
    {"MULTILINE", "a\\nb", nullptr, nullptr},
    {"MULTILINE;;;|", "a|b", nullptr, nullptr},
    {"MULTILINE;;;|", "a|b", [](CTypedCells& c) { c.SetMultiLineText(0, 1, u"x\ny"); }, "x|y"},
    {"MULTILINE", "a", [](CTypedCells& c) { c.SetMultiLineText(0, 1, u"x\ny\nz"); }, "x\\ny\\nz"},
    {"SELECTSTRING;;;0;en;de;fr", "de", nullptr, nullptr},
    {"SELECTSTRING;;;0;en;de;fr", "it", nullptr, nullptr},
    {"SELECTSTRING;;;0;en;de;fr", "de", [](CTypedCells& c) { c.SelectChoiceByIndex(0, 1, 2); },
     "fr"},
    {"SELECTINDEX;;;0;x;y", "1;junk", nullptr, nullptr},
    {"SELECTINDEX;;;0;x;y", "1", [](CTypedCells& c) { c.SelectChoiceByIndex(0, 1, 0); }, "0"},
    {"SELECTINDEXSTRING;;;0;x;y;z", "2;old", nullptr, nullptr},
    {"SELECTFIRST", "b;a;c", [](CTypedCells& c) { c.SelectChoiceByIndex(0, 1, 2); }, "c;b;a"},
    {"SELECTFIRST", "a;;b", nullptr, nullptr},
    // A stored number that names no item: nothing shown, the line kept
    // until an item is picked.
    {"SELECTINDEX;;;0;x;y", "7", nullptr, nullptr},
    {"SELECTINDEX;;;0;x;y", "150", nullptr, nullptr},
    {"SELECTINDEXSTRING;;;0;x;y", "-1;q", nullptr, nullptr},
    {"SELECTINDEX;;;0;x;y", "150", [](CTypedCells& c) { c.SelectChoiceByIndex(0, 1, 0); }, "0"},
    {"SELECTINDEXSTRING;;;0;x;y", "9;q", [](CTypedCells& c) { c.SelectChoiceByIndex(0, 1, 1); },
     "1;y"},
    // Never written.
    {"READONLY", "4.2", [](CTypedCells& c) { c.SetCellText(0, 1, u"5"); }, nullptr},
    {"TITLE", "Head", [](CTypedCells& c) { c.SetCellText(0, 1, u"x"); }, nullptr},
    // Forms written only after an edit.
    {"TOGGLEINDEX;;;Off;On", "yes", nullptr, nullptr},
    {"TOGGLEINDEX;;;Off;On", "x", nullptr, nullptr},
    {"TOGGLEINDEX;;;Off;On", "yes", [](CTypedCells& c) { c.FlipToggle(0, 1); }, "no"},
    {"TOGGLEINDEX;;;Off;On", "YES", [](CTypedCells& c) { c.FlipToggle(0, 1); }, "NO"},
    {"TOGGLEINDEX;;;Off;On", "No", [](CTypedCells& c) { c.FlipToggle(0, 1); }, "Yes"},
    {"TOGGLEINDEX;;;Off;On", "0", [](CTypedCells& c) { c.FlipToggle(0, 1); }, "1"},
    {"TOGGLEINDEX;;;Off;On", "False", [](CTypedCells& c) { c.FlipToggle(0, 1); }, "True"},
    {"TOGGLEINDEX;;;Off;On", "off", [](CTypedCells& c) { c.FlipToggle(0, 1); }, "on"},
    {"TOGGLEINDEX;;;Off;On", "Y", [](CTypedCells& c) { c.FlipToggle(0, 1); }, "N"},
    {"TOGGLEINDEX;;;Off;On", "t", [](CTypedCells& c) { c.FlipToggle(0, 1); }, "f"},
    {"TOGGLEINDEX;;;Off;On", "x", [](CTypedCells& c) { c.FlipToggle(0, 1); }, "0"},
    {"TOGGLEINDEX;;;Off;On", "", [](CTypedCells& c) { c.FlipToggle(0, 1); }, "1"},
    {"DATE", "2024-01-31", nullptr, nullptr},
    {"DATE", "31.1.2024", nullptr, nullptr},
    {"DATE", "2024-01-31", [](CTypedCells& c) { c.SetDateText(0, 1, u"2025-02-03"); },
     "2025-02-03"},
    {"DATE", "bad", [](CTypedCells& c) {
       DateTimeFields d; d.year = 2027; d.month = 3; d.day = 9;
       c.SetDateValue(0, 1, d);
     }, "2027-03-09"},
    {"TIME", "7:05:09", nullptr, nullptr},
    {"TIME", "07:05:09", [](CTypedCells& c) { c.SetTimeText(0, 1, u"23:59:58"); }, "23:59:58"},
    {"WINDOW", "123;Old title;OldClass", nullptr, nullptr},
    {"WINDOW", "123;Old title;OldClass",
     [](CTypedCells& c) { c.SetWindow(0, 1, 4242, u"Inbox", u"MailFrame"); },
     "4242;Inbox;MailFrame"},
    {"STRINGHEX", "480065006C006C006F00", nullptr, nullptr},
    {"STRINGHEX", "4800", [](CTypedCells& c) { c.SetCellText(0, 1, u"H\u00e9\u20ac"); },
     "4800E900AC20"},
    {"HEXPASSWORD;;;0;9", "730065006300", nullptr, nullptr},
    {"HEXPASSWORD;;;0;9", "7300", [](CTypedCells& c) { c.SetPasswordText(0, 1, u"H"); }, "4800"},
    {"IMAGEFILE;;;*.bmp", "a.bmp", nullptr, nullptr},
    {"IMAGEFILE;;;*.bmp", "a.bmp", [](CTypedCells& c) { c.SetCellText(0, 1, u"b.bmp"); },
     "b.bmp"},
    {"EMAIL", "a@b.c", [](CTypedCells& c) { c.SetCellText(0, 1, u"d@e.f"); }, "d@e.f"},
    {"DRIVE", "D:\\data", nullptr, nullptr},
    {"DRIVE", "D:\\data", [](CTypedCells& c) { c.SelectChoiceByIndex(0, 1, 0); }, "C:\\"},
    {"REMOVABLEDRIVE", "E:", [](CTypedCells& c) { c.SelectChoiceByIndex(0, 1, 1); }, "D:\\"},
    {"SELECTEXEC;;;0;prog", "b", nullptr, nullptr},
    {"SELECTEXEC;;;0;prog", "zz", nullptr, nullptr},
    {"SELECTEXEC;;;0;prog", "b", [](CTypedCells& c) { c.SelectChoiceByIndex(0, 1, 2); }, "c"},
    // Digests of an unconfirmed password: nothing to write.
    {"MD5PASSWORD", "900150983cd24fb0d6963f7d28e17f72", nullptr, nullptr},
};

TEST(RowSaverTest, EachRowTypeSavesItsForm) {
  for (const SaveCase& test : kSaveCases) {
    SCOPED_TRACE(std::string(test.descriptor) + " | " + test.stored);
    const std::string ini =
        std::string("; head\r\n[S]\r\nKey=") + test.stored + "\r\nOther = keep  me \r\n";
    LoadedFile file(ini, std::string("[S]\r\nKey=") + test.descriptor + "\r\n");
    ASSERT_TRUE(file.Load());
    if (test.edit) test.edit(file.cells);
    const std::u16string shown = file.cells.CellText(0, 1);
    ASSERT_NE(0u, file.Save());
    if (!test.expected) {
      EXPECT_EQ(ini, file.Bytes());
      continue;
    }
    EXPECT_EQ(std::string("; head\r\n[S]\r\nKey=") + test.expected + "\r\nOther = keep  me \r\n",
              file.Bytes());
    // An edited value loads back to what the list showed.
    if (!test.edit) continue;
    LoadedFile again(file.Bytes(), std::string("[S]\r\nKey=") + test.descriptor + "\r\n");
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(TextToUtf8(shown), TextToUtf8(again.cells.CellText(0, 1)));
  }
}

TEST(RowSaverTest, FlagStyles) {
  struct Case { const char16_t* stored; bool on; const char16_t* expected; };
  const Case cases[] = {
      {u"1", false, u"0"}, {u"0", true, u"1"},      {u"yes", false, u"no"},
      {u"NO", true, u"YES"}, {u"Yes", false, u"No"}, {u"TRUE", false, u"FALSE"},
      {u"On", false, u"Off"}, {u"n", true, u"y"},    {u"F", true, u"T"},
      {u"", true, u"1"},     {u"enabled", false, u"0"}, {u"yess", true, u"1"},
      {nullptr, false, u"0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextToUtf8(c.expected), TextToUtf8(FlagTextLike(c.stored, c.on)))
        << (c.stored ? TextToUtf8(c.stored) : "(null)");
  }
}

TEST(RowSaverTest, HexTextAndDriveRoots) {
  EXPECT_EQ(u"4800", EncodeHexText(u"H"));
  EXPECT_EQ(u"480065006C006C006F00", EncodeHexText(u"Hello"));
  EXPECT_EQ(u"", EncodeHexText(u""));
  EXPECT_EQ(u"3DD800DE", EncodeHexText(u"\U0001F600"));  // both halves of a surrogate pair
  EXPECT_EQ(u"Hello", DecodeHexText(EncodeHexText(u"Hello").c_str()));
  EXPECT_EQ(u"D:\\", DriveItemRoot(u"D: (CD)"));
  EXPECT_EQ(u"C:\\", DriveItemRoot(u"C: [System]"));
  EXPECT_EQ(u"Z:\\", DriveItemRoot(u"Z:"));
  EXPECT_EQ(u"", DriveItemRoot(u""));
}

TEST(RowSaverTest, MultiLineSaveTextsAreNeverCut) {
  // 2000 line breaks in a value of 4000 characters: 6000 once saved.
  std::string stored;
  std::u16string lines;
  for (int i = 0; i < 2000; ++i) {
    stored += "a\\n";
    lines += u"a\n";
  }
  LoadedFile file("[S]\nKey=x\n", "[S]\nKey=MULTILINE\n");
  ASSERT_TRUE(file.Load());
  lines.pop_back();
  ASSERT_TRUE(file.cells.SetMultiLineText(0, 1, lines.c_str()));
  ASSERT_NE(0u, file.Save());
  stored.resize(stored.size() - 2);
  EXPECT_EQ("[S]\nKey=" + stored + "\n", file.Bytes());
}

TEST(RowSaverTest, DetectedRowsSaveTheirForms) {
  const std::string ini =
      "Count=42\nRatio=+1.5\nBack=#a0b0c0\nDay=2012-05-31\nAt=12:30:00\nList=b;a;c\n"
      "Name=plain\nEmpty=\n";
  {
    // Unedited: every byte stays, the lower-case colour too.
    LoadedFile file(ini, "");
    ASSERT_TRUE(file.Load());
    EXPECT_FALSE(file.built.descriptorsUsed);
    ASSERT_NE(0u, file.Save());
    EXPECT_EQ(ini, file.Bytes());
  }
  {
    LoadedFile file(ini, "");
    ASSERT_TRUE(file.Load());
    CTypedCells& c = file.cells;
    c.EnterIntegerText(0, 1, u"43");
    DateTimeFields day; day.year = 2013; day.month = 6; day.day = 1;
    c.SetDateValue(3, 1, day);
    DateTimeFields at; at.hour = 1; at.minute = 2; at.second = 3;
    c.SetTimeValue(4, 1, at);
    c.SelectChoiceByIndex(5, 1, 2);
    c.SetCellText(7, 1, u"now set");
    ASSERT_NE(0u, file.Save());
    EXPECT_EQ(
        "Count=43\nRatio=+1.5\nBack=#a0b0c0\nDay=2013-06-01\nAt=01:02:03\nList=c;b;a\n"
        "Name=plain\nEmpty=now set\n",
        file.Bytes());
  }
}

TEST(RowSaverTest, UnchangedSamplesKeepEveryLine) {
  // Saving the sample unedited changes no line, not even those whose stored
  // form differs from the form an edited row writes (colours, separators).
  const std::string samples = std::string(TEST_SOURCE_ROOT) + "/samples/";
  const std::string original = ReadBytes(samples + "settings.ini");
  LoadedFile file(original, ReadBytes(samples + "settings.ITP"));
  ASSERT_TRUE(file.Load());
  ASSERT_NE(0u, file.Save());
  const std::string saved = file.Bytes();
  auto lines = [](const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      out.push_back(text.substr(start, end - start));
      start = end + 1;
    }
    return out;
  };
  const std::vector<std::string> before = lines(original);
  const std::vector<std::string> after = lines(saved);
  ASSERT_EQ(before.size(), after.size());
  std::vector<std::string> changed;
  for (size_t i = 0; i < before.size(); ++i) {
    if (before[i] != after[i]) changed.push_back(before[i] + " -> " + after[i]);
  }
  EXPECT_EQ(std::vector<std::string>(), changed);
}

TEST(RowSaverTest, TheDetectionSampleSavedUnchangedKeepsItsBytes) {
  // The colour written in lower case too.
  const std::string original =
      ReadBytes(std::string(TEST_SOURCE_ROOT) + "/samples/detect.ini");
  LoadedFile file(original, "");
  ASSERT_TRUE(file.Load());
  ASSERT_NE(0u, file.Save());
  EXPECT_EQ(original, file.Bytes());
}

TEST(RowSaverTest, ARefusedSaveLeavesTheFile) {
  LoadedFile file("[S]\nKey=old\n", "[S]\nKey=STRING\n");
  ASSERT_TRUE(file.Load());
  file.cells.SetCellText(0, 1, u"new");
  // A folder where the file was: the save cannot replace it.
  std::filesystem::remove(file.folder.Native("app.ini"));
  std::filesystem::create_directory(file.folder.Native("app.ini"));
  EXPECT_EQ(0u, file.Save());
  EXPECT_TRUE(std::filesystem::is_directory(file.folder.Native("app.ini")));
}

}  // namespace
