#include "marlpane/rows/row_builder.h"

#include <gtest/gtest.h>

#include <string>

#include "common/text16.h"
#include "marlpane/document/ini_document.h"
#include "marlpane/rows/row_saver.h"
#include "marlpane/rows/typed_cells.h"
#include "tests/common/files_test_support.h"
#include "tests/marlpane/rows/fixed_clock.h"

namespace {

using celltest::FixedClock;

class FakeSources : public CRowSources {
 public:
  std::u16string DriveList(int driveType) override {
    lastDriveType = driveType;
    return u"C: [System];D: (CD);E: (Removable);";
  }
  std::string ProgramOutput(const std::u16string& program,
                            const std::u16string& arguments) override {
    ran = program + u"|" + arguments;
    return "a;b\r\nc\n";
  }
  int lastDriveType = -1;
  std::u16string ran;
};

struct DescriptorCase {
  const char16_t* descriptor;
  const char16_t* stored;
  int32_t code;
  CellKind kind;
  const char16_t* shown;
  const char16_t* label;  // after the descriptor; the key's label is "Key:"
  int icon;
};

const DescriptorCase kDescriptors[] = {
    {u"READONLY;Version;Set by the installer", u"4.2", 1, CellKind::ReadOnly, u"4.2", u"Version", -1},
    {u"TITLE;ignored", u"Look and feel", 132, CellKind::ReadOnly, u"Look and feel", u"", -1},
    {u"STRING", u"Dana", 13, CellKind::Text, u"Dana", u"Key:", -1},
    {u"EMAIL;Mail", u"d@x.net", 139, CellKind::Text, u"d@x.net", u"Mail", -1},
    {u"STRINGHEX;Name", u"440061006E006100", 133, CellKind::Text, u"Dana", u"Name", -1},
    {u"PASSWORD;P;;4;32", u"secret", 28, CellKind::Password, u"******", u"P", -1},
    {u"HEXPASSWORD;P;;4;32", u"730065006300", 155, CellKind::Password, u"******", u"P", -1},
    {u"MD5PASSWORD", u"5EBE", 154, CellKind::Password, u"******", u"Key:", -1},
    {u"SHA160PASSWORD", u"E5E9", 150, CellKind::Password, u"******", u"Key:", -1},
    {u"SHA256PASSWORD", u"2BB8", 151, CellKind::Password, u"******", u"Key:", -1},
    {u"SHA384PASSWORD", u"58A7", 152, CellKind::Password, u"******", u"Key:", -1},
    {u"SHA512PASSWORD", u"BD2B", 153, CellKind::Password, u"******", u"Key:", -1},
    {u"FONT;Font;;8;24", u"Tahoma;10;1;0;0;0", 23, CellKind::Font, u"Tahoma, 10", u"Font", 17},
    {u"FONT", u"Tahoma", 23, CellKind::Font, u"Tahoma, 12", u"Key:", 17},
    {u"FONT", u"Tahoma;1x", 23, CellKind::Font, u"Tahoma, 0", u"Key:", 17},
    {u"COLOR;Back", u"#FF8000", 22, CellKind::Color, u"#FF8000", u"Back", 6},
    {u"INTEGER;Port;;1;65535;0", u"8080", 11, CellKind::Integer, u"8080", u"Port", -1},
    {u"REAL;Opacity;;10;100;3;1", u"95", 12, CellKind::Real, u"95", u"Opacity", -1},
    {u"SELECTSTRING;L;;1;en;de;fr", u"de", 135, CellKind::Choice, u"de", u"L", 5},
    {u"SELECTINDEX;T;;0;Light;Dark", u"1", 136, CellKind::Choice, u"Dark", u"T", 5},
    {u"SELECTINDEXSTRING;S;;0;Home;Inv;Rep", u"2;Rep", 138, CellKind::Choice, u"Rep", u"S", 5},
    {u"SELECTINDEX;T;;0;Light;Dark", u"x", 136, CellKind::Choice, u"Light", u"T", 5},
    {u"SELECTFIRST;Skin;;1", u"Classic;Modern", 137, CellKind::Choice, u"Classic", u"Skin", 5},
    {u"DRIVE", u"D:", 164, CellKind::Choice, u"D: (CD)", u"Key:", 14},
    {u"REMOVABLEDRIVE", u"E:", 165, CellKind::Choice, u"E: (Removable)", u"Key:", 15},
    {u"CDROMDRIVE", u"D:", 166, CellKind::Choice, u"D: (CD)", u"Key:", 16},
    {u"REMOTEDRIVE", u"C:", 167, CellKind::Choice, u"C: [System]", u"Key:", 14},
    {u"RAMDRIVE", u"C:", 168, CellKind::Choice, u"C: [System]", u"Key:", 14},
    {u"FIXEDDRIVE", u"C:", 169, CellKind::Choice, u"C: [System]", u"Key:", 14},
    {u"MULTILINE;W", u"a\\nb", 33, CellKind::MultiLine, u"a\u00ABb", u"W", 12},
    {u"MULTILINE;W;;|", u"a|b\\nc", 33, CellKind::MultiLine, u"a\u00ABb\\nc", u"W", 12},
    {u"MULTILINE;W;;", u"a|b\\nc", 33, CellKind::MultiLine, u"a|b\\nc", u"W", 12},
    {u"FILE", u"D:\\a.db", 24, CellKind::OpenFile, u"D:\\a.db", u"Key:", 13},
    {u"FILESAVE;R;;*.csv", u"r.csv", 25, CellKind::SaveFile, u"r.csv", u"R", 13},
    {u"IMAGEFILE;Logo;;*.bmp;*.png", u"l.bmp", 134, CellKind::OpenFile, u"l.bmp", u"Logo", 4},
    {u"FOLDER;Logs", u"C:\\Logs", 26, CellKind::Folder, u"C:\\Logs", u"Logs", 3},
    {u"TOGGLEINDEX;Top;;Off;On", u"yes", 29, CellKind::Toggle, u"On", u"Top", 8},
    {u"DATE;D;;2000-01-01;2099-12-31", u"2025-03-14", 30, CellKind::Date, u"2025-03-14", u"D", 9},
    {u"TIME;T;;00:00:00;23:59:59", u"02:30:00", 31, CellKind::Time, u"02:30:00", u"T", 11},
    {u"WINDOW;W;;1", u"0;Product;ProductMain", 34, CellKind::Window, nullptr, u"W", 18},
    {u"SELECTEXEC;P;;0;lister.exe;/all", u"b", 191, CellKind::Choice, u"b", u"P", 5},
    // Not keywords of the table: plain text rows, label and tip untouched.
    {u"string;x", u"v", 13, CellKind::Text, u"v", u"Key:", -1},
    {u"SHADE;Not used;tip", u"blue", 13, CellKind::Text, u"blue", u"Key:", -1},
    {u"", u"v", 13, CellKind::Text, u"v", u"Key:", -1},
};

TEST(RowBuilderTest, DescriptorsOfEveryKeyword) {
  FixedClock clock;
  for (const DescriptorCase& c : kDescriptors) {
    SCOPED_TRACE(TextToUtf8(c.descriptor));
    CTypedCells cells(&clock);
    FakeSources sources;
    const int row = cells.AppendRow();
    RowDisplay display;
    display.label = u"Key:";
    EXPECT_EQ(c.code, ApplyDescriptor(c.descriptor, c.stored, cells, row, display, sources, true));
    EXPECT_EQ(c.kind, cells.GetCellKind(row, 1));
    if (c.shown) {
      EXPECT_EQ(std::u16string(c.shown), cells.CellText(row, 1));
    }
    EXPECT_EQ(std::u16string(c.label), display.label);
    EXPECT_EQ(c.icon, display.icon);
    EXPECT_EQ(c.code == 132, display.titleBackground);
  }
}

TEST(RowBuilderTest, FieldDetails) {
  FixedClock clock;
  CTypedCells cells(&clock);
  FakeSources sources;
  RowDisplay display;
  const int row = cells.AppendRow();

  // Bounds, tip with line breaks, no icons when they are off.
  ApplyDescriptor(u"INTEGER;Port;Line one\\nLine two; 1;65535x;3", u"80", cells, row, display,
                  sources, false);
  const IntegerBlock* integer = cells.GetIntegerBlock(row, 1);
  ASSERT_NE(nullptr, integer);
  EXPECT_EQ(1, integer->min);
  EXPECT_EQ(65535, integer->max);
  EXPECT_EQ(3, integer->digits);
  EXPECT_EQ(u"Line one\r\nLine two", display.tip);
  EXPECT_EQ(-1, display.icon);

  // Choices from the rest of the descriptor, sorted flag kept.
  ApplyDescriptor(u"SELECTSTRING;L;;yes;en;de;fr", u"fr", cells, row, display, sources, true);
  const ChoiceBlock* choice = cells.GetChoiceItems(row, 1);
  ASSERT_NE(nullptr, choice);
  EXPECT_EQ(3u, VisibleChoiceCount(*choice));
  EXPECT_EQ(1, choice->sorted);
  EXPECT_EQ(2, cells.GetChoiceIndex(row, 1));

  // A filter keeps its ';'; a bare FILE has none.
  ApplyDescriptor(u"FILE;F;;*.db;*.sqlite", u"x", cells, row, display, sources, true);
  EXPECT_EQ(u"*.db;*.sqlite", std::u16string(cells.GetFilterBlock(row, 1)->filter));
  ApplyDescriptor(u"FILE", u"x", cells, row, display, sources, true);
  EXPECT_EQ(u"", std::u16string(cells.GetFilterBlock(row, 1)->filter));

  // Date bounds: an absent bound stays zero.
  ApplyDescriptor(u"DATE;D;;2000-01-01", u"2025-03-14", cells, row, display, sources, true);
  const DateTimeBlock* date = cells.GetDateTimeBlock(row, 1);
  ASSERT_NE(nullptr, date);
  EXPECT_EQ(2000, date->min.year);
  EXPECT_EQ(1, date->min.day);
  EXPECT_EQ(0, date->max.year);
  EXPECT_EQ(14, date->current.day);

  // Program output becomes the items; the program and arguments are passed.
  ApplyDescriptor(u"SELECTEXEC;P;;0;lister.exe;/all", u"c", cells, row, display, sources, true);
  EXPECT_EQ(u"lister.exe|/all", sources.ran);
  choice = cells.GetChoiceItems(row, 1);
  EXPECT_EQ(3u, VisibleChoiceCount(*choice));
  EXPECT_EQ(u"c", std::u16string(choice->Item(2)));

  // Hexadecimal passwords are decoded; digest passwords start empty.
  ApplyDescriptor(u"HEXPASSWORD;P;;4;32", u"730065006300", cells, row, display, sources, true);
  EXPECT_EQ(u"sec", std::u16string(cells.GetPasswordText(row, 1)));
  ApplyDescriptor(u"MD5PASSWORD;P;;0;64", u"5EBE", cells, row, display, sources, true);
  EXPECT_EQ(u"", std::u16string(cells.GetPasswordText(row, 1)));

  // A field is cut at 4999 characters, and what lies beyond is not a field.
  const std::u16string longLabel(6000, u'x');
  ApplyDescriptor((u"STRING;" + longLabel + u";tip").c_str(), u"v", cells, row, display, sources,
                  true);
  EXPECT_EQ(kDescriptorFieldLimit, display.label.size());
  EXPECT_EQ(u"tip", display.tip);
}

TEST(RowBuilderTest, ProgramOutputAndHexText) {
  EXPECT_EQ(u"a;b;c;", ProgramOutputItems("a;b\r\nc\n"));
  EXPECT_EQ(u"\u00E9;", ProgramOutputItems("\xE9\r\n"));
  EXPECT_EQ(kProgramOutputLimit, ProgramOutputItems(std::string(9000, 'x')).size());
  EXPECT_EQ(u"H", DecodeHexText(u"4800"));
  EXPECT_EQ(u"H", DecodeHexText(u"480041"));  // odd last byte dropped
  EXPECT_EQ(u"", DecodeHexText(u"zz"));
  EXPECT_EQ(u"Big Key:", KeyLabel(u"Big_Key"));
  EXPECT_EQ(u"My Section", SectionTitle(u"My_Section"));
}

std::u16string Sample(const char* name) {
  return Utf8ToText(std::string(TEST_SOURCE_ROOT) + "/samples/" + name);
}

TEST(RowBuilderTest, BuildsTheSampleWithItsTypeDescription) {
  FixedClock clock;
  CTypedCells cells(&clock);
  FakeSources sources;
  CIniDocument settings;
  EditorOptions options;
  BuiltRows built;
  ASSERT_TRUE(BuildRows(Sample("settings.ini").c_str(), u"", settings, cells, sources, options,
                        50, built));
  EXPECT_TRUE(built.descriptorsUsed);
  // 55 options and 8 section titles.
  ASSERT_EQ(63u, built.table.size());
  ASSERT_EQ(63, cells.RowCount());
  ASSERT_EQ(63u, built.display.size());
  // Version, LastRun, then the title of [General].
  EXPECT_EQ(1, built.table[0].rowType);
  EXPECT_EQ(0, built.table[0].entryIndex);
  EXPECT_EQ(u"Product version", cells.CellText(0, 0));
  EXPECT_EQ(30, built.table[1].rowType);
  EXPECT_EQ(1, built.table[2].rowType);
  EXPECT_EQ(-1, built.table[2].entryIndex);
  EXPECT_EQ(u"General", cells.CellText(2, 1));
  EXPECT_TRUE(built.display[2].titleBackground);
  EXPECT_EQ(u"User name", cells.CellText(3, 0));
  EXPECT_EQ(2, built.table[3].entryIndex);
  // Entry indexes count key lines only and rise by one per option.
  int32_t expected = 0;
  int titles = 0;
  for (const RowTableEntry& entry : built.table) {
    if (entry.rowType == 1 && entry.entryIndex == -1) { ++titles; continue; }
    EXPECT_EQ(expected++, entry.entryIndex);
  }
  EXPECT_EQ(8, titles);
  // The last row: ReportFile, a FILESAVE row.
  EXPECT_EQ(25, built.table.back().rowType);
  EXPECT_EQ(54, built.table.back().entryIndex);
  EXPECT_EQ(u"Report file", cells.CellText(62, 0));
  // The widest key-derived label sets the width ("UpdateIntervalDays:").
  EXPECT_EQ(19 * 8, built.labelWidth);
}

TEST(RowBuilderTest, BuildsTheDetectionSample) {
  FixedClock clock;
  FakeSources sources;
  EditorOptions options;
  options.sectionTitles = 0;
  {
    CTypedCells cells(&clock);
    CIniDocument settings;
    BuiltRows built;
    ASSERT_TRUE(BuildRows(Sample("detect.ini").c_str(), u"", settings, cells, sources, options,
                          0, built));
    EXPECT_FALSE(built.descriptorsUsed);
    ASSERT_EQ(41u, built.table.size());
    EXPECT_EQ(u"Name:", cells.CellText(0, 0));
    EXPECT_EQ(0, built.table[0].rowType);
    EXPECT_EQ(11, built.table[1].rowType);   // Build=1234
    EXPECT_EQ(-1, built.display[1].icon);
    EXPECT_EQ(22, built.table[9].rowType);  // Back=#FFFFFF
    EXPECT_EQ(6, built.display[9].icon);
    EXPECT_EQ(40, built.table.back().entryIndex);
  }
  {
    // Detection off: untyped rows showing the stored text.
    options.autoDetectRowTypes = 0;
    CTypedCells cells(&clock);
    CIniDocument settings;
    BuiltRows built;
    ASSERT_TRUE(BuildRows(Sample("detect.ini").c_str(), u"", settings, cells, sources, options,
                          0, built));
    for (const RowTableEntry& entry : built.table) EXPECT_EQ(0, entry.rowType);
    EXPECT_EQ(u"1234", cells.CellText(1, 1));
    EXPECT_EQ(CellKind::Untyped, cells.GetCellKind(1, 1));
  }
  {
    CTypedCells cells(&clock);
    CIniDocument settings;
    BuiltRows built;
    EXPECT_FALSE(BuildRows(Sample("missing.ini").c_str(), u"", settings, cells, sources, options,
                           0, built));
    EXPECT_EQ(0, cells.RowCount());
  }
}

TEST(RowBuilderTest, TypeDescriptionStopsDetection) {
  // The sample's type description given for the detection sample: sections
  // it lacks and options without descriptor are plain STRING rows.
  FixedClock clock;
  CTypedCells cells(&clock);
  FakeSources sources;
  CIniDocument settings;
  EditorOptions options;
  BuiltRows built;
  ASSERT_TRUE(BuildRows(Sample("detect.ini").c_str(), Sample("settings.ITP").c_str(), settings,
                        cells, sources, options, 0, built));
  EXPECT_TRUE(built.descriptorsUsed);
  EXPECT_EQ(13, built.table[1].rowType);  // Build=1234, no descriptor anywhere
  // Name has no descriptor of its own ("UserName=" does not count).
  EXPECT_EQ(13, built.table[0].rowType);
  EXPECT_EQ(u"Name:", cells.CellText(0, 0));
  EXPECT_EQ(u"", built.display[0].tip);
  EXPECT_EQ(CellKind::Text, cells.GetCellKind(1, 1));
  EXPECT_EQ(13, built.table[3].rowType);  // [Numbers] Count=42
}

TEST(RowBuilderTest, HeaderWithoutBracketKeepsEntryIndexesInStep) {
  // "[Window" takes its name up to the ']' two lines down; the key lines it
  // passes still count, so Save writes Top's value on Top's line.
  testfiles::TempFolder folder;
  testfiles::WriteBytes(folder.Native("s.ini"), "[Window\nLeft=1\nNote=see [x]\nTop=2\n[Colors]\nBack=3\n");
  const std::u16string path = folder.File("s.ini");
  FixedClock clock;
  CTypedCells cells(&clock);
  FakeSources sources;
  CIniDocument settings;
  EditorOptions options;
  options.sectionTitles = 0;
  BuiltRows built;
  ASSERT_TRUE(BuildRows(path.c_str(), u"", settings, cells, sources, options, 0, built));
  ASSERT_EQ(2u, built.table.size());
  EXPECT_EQ(2, built.table[0].entryIndex);  // Top
  EXPECT_EQ(3, built.table[1].entryIndex);  // Back
  cells.SetCellText(0, 1, u"20");
  ASSERT_NE(0u, SaveRows(built, cells, settings, path.c_str()));
  EXPECT_EQ("[Window\nLeft=1\nNote=see [x]\nTop=20\n[Colors]\nBack=3\n",
            testfiles::ReadBytes(folder.Native("s.ini")));
}

TEST(RowBuilderTest, KeywordsAndCodes) {
  EXPECT_EQ(kRowSelectExec, KeywordRowType(u"SELECTEXEC"));
  EXPECT_EQ(-1, KeywordRowType(u"string"));
  EXPECT_EQ(-1, KeywordRowType(u""));
  EXPECT_EQ(u"STRING", std::u16string(RowTypeKeyword(kRowString)));
  EXPECT_EQ(u"FIXEDDRIVE", std::u16string(RowTypeKeyword(kRowFixedDrive)));
  EXPECT_EQ(nullptr, RowTypeKeyword(27));
  EXPECT_EQ(u"a/s.ITP", TypeDescriptionPath(u"a/s.ini", u""));
  EXPECT_EQ(u"t.ITP", TypeDescriptionPath(u"a/s.ini", u"t.ITP"));
}

}  // namespace
