#include "marlpane/rows/key_line_text.h"

#include <gtest/gtest.h>

#include <string>

#include "common/text16.h"
#include "marlpane/document/ini_document.h"
#include "marlpane/rows/row_builder.h"
#include "marlpane/rows/row_saver.h"
#include "marlpane/rows/typed_cells.h"
#include "tests/common/files_test_support.h"

namespace {

using testfiles::ReadBytes;
using testfiles::TempFolder;
using testfiles::WriteBytes;

struct Built {
  TempFolder folder;
  CTypedCells cells;
  CIniDocument settings;
  BuiltRows rows;
  std::u16string path;

  Built(const std::string& name, const std::string& text, bool detect = true) {
    path = folder.File(name);
    WriteBytes(folder.Native(name), text);
    EditorOptions options;
    options.sectionTitles = 0;
    options.autoDetectRowTypes = detect ? 1 : 0;
    CRowSources sources;
    EXPECT_TRUE(BuildRows(path.c_str(), u"", settings, cells, sources, options, 0, rows));
  }
  std::string Tip(int row) { return TextToUtf8(RowTip(rows, static_cast<size_t>(row))); }
};

// In the style of a large commented server configuration.
const char kServerConfig[] =
    "listen = 80\r\n"
    "; The folder that holds the pages.\r\n"
    ";   Relative paths start at the program's folder.\r\n"
    "root = /srv/www\r\n"
    "\r\n"
    "# Separated by a blank line: not this key's comment.\r\n"
    "\r\n"
    "timeout = 30 ; seconds\r\n"
    "[limits]\r\n"
    "; Most requests at once.\r\n"
    ";max_requests = 100\r\n"
    "max_requests = 250\r\n"
    "\t;  indented comment\r\n"
    "memory_limit = 128M\r\n";

TEST(CommentTipsTest, TheCommentLinesRightAboveAKeyLine) {
  Built built("server.ini", kServerConfig, false);
  ASSERT_EQ(5u, built.rows.table.size());
  const char* expected[] = {
      "",  // a key at the top of the file
      "The folder that holds the pages.\r\n  Relative paths start at the program's folder.",
      "",  // a blank line between comment and key
      "Most requests at once.\r\nmax_requests = 100",  // a commented-out key counts
      " indented comment",
  };
  for (int row = 0; row < 5; ++row) EXPECT_EQ(expected[row], built.Tip(row)) << row;
  // The inline comment stays part of the value.
  EXPECT_EQ(u"30 ; seconds", built.cells.CellText(2, 1));
}

TEST(CommentTipsTest, PropertiesAndLimits) {
  std::string text;
  for (int i = 0; i < 12; ++i) text += "# line " + std::to_string(i) + "\n";
  text += "! bang\nkey=v\n";
  Built built("app.properties", text);
  std::string expected;
  for (int i = 3; i < 12; ++i) expected += "line " + std::to_string(i) + "\r\n";
  EXPECT_EQ(expected + "bang", built.Tip(0));  // the nearest ten lines
  Built ini("app.ini", "! not a comment here\nkey=v\n");
  EXPECT_EQ("", ini.Tip(0));
}

TEST(KeyValueLayoutTest, BlanksAroundKeysAndValuesAreLayout) {
  Built built("php.ini",
              "[PHP]\r\nmemory_limit = 128M\r\nmax_input_time\t=\t60 \r\nprecision  =  14\r\n");
  EXPECT_EQ(u"memory limit:", built.cells.CellText(0, 0));
  EXPECT_EQ(u"128M", built.cells.CellText(0, 1));
  EXPECT_EQ(CellKind::Integer, built.cells.GetCellKind(1, 1));
  EXPECT_EQ(CellKind::Integer, built.cells.GetCellKind(2, 1));
  EXPECT_EQ(u"memory_limit ", std::u16string(built.rows.lines.Key(0)));

  built.cells.SetCellText(0, 1, u"256M");
  built.cells.SetIntegerValue(1, 1, 90);
  ASSERT_NE(0u, SaveRows(built.rows, built.cells, built.settings, built.path.c_str()));
  EXPECT_EQ("[PHP]\r\nmemory_limit = 256M\r\nmax_input_time\t=\t90 \r\nprecision  =  14\r\n",
            ReadBytes(built.folder.Native("php.ini")));
}

TEST(KeyValueLayoutTest, DescriptorsOfKeysWrittenWithBlanks) {
  TempFolder folder;
  WriteBytes(folder.Native("a.ini"), "[S]\r\nSize = 5\r\nName = x\r\n");
  WriteBytes(folder.Native("a.ITP"), "[S]\r\nSize=INTEGER;Size;;1;9\r\nName =STRING;As written\r\n");
  CTypedCells cells;
  CIniDocument settings;
  BuiltRows rows;
  CRowSources sources;
  EditorOptions options;
  options.sectionTitles = 0;
  ASSERT_TRUE(BuildRows(folder.File("a.ini").c_str(), u"", settings, cells, sources, options, 0, rows));
  EXPECT_EQ(CellKind::Integer, cells.GetCellKind(0, 1));
  EXPECT_EQ(u"Size", cells.CellText(0, 0));
  EXPECT_EQ(u"As written", cells.CellText(1, 0));
}

}  // namespace
