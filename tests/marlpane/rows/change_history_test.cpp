#include "marlpane/rows/change_history.h"

#include <gtest/gtest.h>

#include <string>

#include "marlpane/document/ini_document.h"
#include "marlpane/rows/row_builder.h"
#include "marlpane/rows/row_finder.h"
#include "marlpane/rows/row_saver.h"
#include "tests/common/files_test_support.h"

namespace {

using testfiles::ReadBytes;
using testfiles::TempFolder;
using testfiles::WriteBytes;

const char kSettings[] =
    "[S]\r\nName = old\r\nCount=5\r\nMode=b\r\nFooter=a|b\r\nBack=0xC0C0C0\r\n";
const char kTypes[] =
    "[S]\r\nName=STRING\r\nCount=INTEGER;;;0;99\r\nMode=SELECTSTRING;;;0;a;b;c\r\n"
    "Footer=MULTILINE;;;|\r\nBack=COLOR\r\n";

struct Session {
  TempFolder folder;
  CTypedCells cells;
  CIniDocument settings;
  BuiltRows rows;
  CChangeHistory history;
  std::u16string path = folder.File("s.ini");

  Session() {
    WriteBytes(folder.Native("s.ini"), kSettings);
    WriteBytes(folder.Native("s.ITP"), kTypes);
    EditorOptions options;
    options.sectionTitles = 0;
    CRowSources sources;
    EXPECT_TRUE(BuildRows(path.c_str(), u"", settings, cells, sources, options, 0, rows));
    history.Attach(&rows, &cells);
  }
  template <class Edit>
  bool Change(int row, Edit edit) {
    history.BeginChange(row);
    edit();
    return history.EndChange();
  }
  std::string Save() {
    const std::vector<int> changed = history.ChangedRows();
    EXPECT_NE(0u, SaveRows(rows, cells, settings, path.c_str(), &changed));
    return ReadBytes(folder.Native("s.ini"));
  }
};

TEST(ChangeHistoryTest, UndoAndRedoThroughEditsOfThreeKinds) {
  Session s;
  EXPECT_TRUE(s.Change(0, [&] { s.cells.SetCellText(0, 1, u"new"); }));
  EXPECT_TRUE(s.Change(1, [&] { s.cells.SetIntegerValue(1, 1, 42); }));
  EXPECT_TRUE(s.Change(2, [&] { s.cells.SelectChoiceByIndex(2, 1, 2); }));
  EXPECT_FALSE(s.Change(0, [] {}));  // an edit that changes nothing is no step
  EXPECT_EQ((std::vector<int>{0, 1, 2}), s.history.ChangedRows());

  for (int row : {2, 1, 0}) EXPECT_EQ(row, s.history.Undo());
  EXPECT_EQ(-1, s.history.Undo());
  EXPECT_FALSE(s.history.AnyChanged());
  EXPECT_EQ(u"old", s.cells.CellText(0, 1));
  EXPECT_EQ(u"5", s.cells.CellText(1, 1));
  EXPECT_EQ(u"b", s.cells.CellText(2, 1));

  for (int row : {0, 1, 2}) EXPECT_EQ(row, s.history.Redo());
  EXPECT_EQ(-1, s.history.Redo());
  EXPECT_EQ("[S]\r\nName = new\r\nCount=42\r\nMode=c\r\nFooter=a|b\r\nBack=0xC0C0C0\r\n", s.Save());
}

TEST(ChangeHistoryTest, MarksFollowTheValueNotTheEdits) {
  Session s;
  s.Change(0, [&] { s.cells.SetCellText(0, 1, u"x"); });
  EXPECT_TRUE(s.history.IsChanged(0));
  s.Change(0, [&] { s.cells.SetCellText(0, 1, u"old"); });  // typed back
  EXPECT_FALSE(s.history.IsChanged(0));
  // A colour picked again is the same value though written otherwise.
  s.Change(4, [&] { s.cells.SetColor(4, 1, 0x00C0C0C0); });
  EXPECT_FALSE(s.history.IsChanged(4));
  // An undo step after the undone ones drops them.
  EXPECT_EQ(0, s.history.Undo());  // back to "x"
  EXPECT_TRUE(s.history.IsChanged(0));
  s.Change(1, [&] { s.cells.SetIntegerValue(1, 1, 7); });
  EXPECT_EQ(-1, s.history.Redo());
  EXPECT_EQ("[S]\r\nName = x\r\nCount=7\r\nMode=b\r\nFooter=a|b\r\nBack=0xC0C0C0\r\n", s.Save());
}

TEST(ChangeHistoryTest, RevertCopyAndSeparators) {
  Session s;
  s.Change(0, [&] { s.cells.SetCellText(0, 1, u"changed"); });
  s.Change(3, [&] { s.cells.SetMultiLineText(3, 1, u"one\ntwo\nthree"); });
  EXPECT_EQ(u"Name = changed", s.history.LineText(0));
  EXPECT_EQ(u"one|two|three", s.history.ValueText(3));
  EXPECT_EQ(u"Back=0xC0C0C0", s.history.LineText(4));
  EXPECT_EQ(u"0xC0C0C0", s.history.ValueText(4));

  EXPECT_FALSE(s.history.RevertRow(1));
  EXPECT_TRUE(s.history.RevertRow(0));
  EXPECT_FALSE(s.history.IsChanged(0));
  EXPECT_EQ(0, s.history.Undo());  // the revert is a step of its own
  EXPECT_TRUE(s.history.IsChanged(0));
  s.history.Redo();
  EXPECT_EQ("[S]\r\nName = old\r\nCount=5\r\nMode=b\r\nFooter=one|two|three\r\nBack=0xC0C0C0\r\n",
            s.Save());
}

TEST(RowFinderTest, FindsWrapsAndCounts) {
  const char16_t* texts[][4] = {
      {u"Alpha:", u"alpha", u"1", u""},     {u"Beta:", u"beta", u"memory", u""},
      {u"Gamma:", u"gamma", u"2", u"Uses MEMORY"}, {u"Memory limit:", u"memory_limit", u"", u""},
      {u"\u00c9t\u00e9:", u"ete", u"", u""},
  };
  CRowFinder finder(5, [&](int row, RowTexts& out) {
    out = RowTexts{texts[row][0], texts[row][1], texts[row][2], texts[row][3]};
  });
  struct Case {
    const char16_t* needle;
    int from, step, row, ordinal, matches;
  } cases[] = {
      {u"memory", 0, 1, 1, 1, 3},   {u"memory", 2, 1, 2, 2, 3},  {u"MEMORY", 4, 1, 1, 1, 3},
      {u"memory", 0, -1, 3, 3, 3},  {u"memory_l", 0, 1, 3, 1, 1}, {u"zzz", 2, 1, -1, 0, 0},
      {u"", 0, 1, -1, 0, 0},        {u"\u00e9T\u00c9", 0, 1, 4, 1, 1},
  };
  for (const Case& c : cases) {
    const FindResult result = finder.Find(c.needle, c.from, c.step);
    EXPECT_EQ(c.row, result.row);
    EXPECT_EQ(c.ordinal, result.ordinal);
    EXPECT_EQ(c.matches, result.matches);
  }
}

}  // namespace
