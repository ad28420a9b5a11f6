#include "marlpane/rows/row_sources_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/text16.h"
#include "marlpane/rows/typed_cells.h"

namespace {

std::u16string ChildPath(const char16_t* name) {
  wchar_t path[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  std::u16string text(AsText(path), n);
  return text.substr(0, text.find_last_of(u'\\') + 1) + u"" PIPE_CHILDREN_FOLDER u"\\" + name +
         u".exe";
}

TEST(RowSourcesTest, DriveListsFollowTheFilter) {
  const std::u16string all = BuildDriveList(kAllDrives);
  ASSERT_FALSE(all.empty());
  EXPECT_EQ(u';', all.back());
  EXPECT_EQ(u':', all[1]);  // "C:" without the backslash
  // Every filtered list is a part of the whole list.
  for (int type : {kRemovableDrives, kFixedDrives, kRemoteDrives, kCdromDrives, kRamDrives}) {
    const std::u16string some = BuildDriveList(type);
    size_t start = 0;
    for (size_t end; (end = some.find(u';', start)) != std::u16string::npos; start = end + 1) {
      EXPECT_NE(std::u16string::npos, all.find(some.substr(start, end - start + 1)));
    }
  }
}

TEST(RowSourcesTest, SelectExecRowGetsTheProgramOutput) {
  CSystemRowSources sources;
  CTypedCells cells;
  const int row = cells.AppendRow();
  RowDisplay display;
  const std::u16string descriptor = u"SELECTEXEC;P;;0;" + ChildPath(u"pipe_items") + u";";
  EXPECT_EQ(kRowSelectExec,
            ApplyDescriptor(descriptor.c_str(), u"gamma", cells, row, display, sources, true));
  const ChoiceBlock* items = cells.GetChoiceItems(row, 1);
  ASSERT_NE(nullptr, items);
  EXPECT_EQ(4u, VisibleChoiceCount(*items));
  EXPECT_EQ(u"delta", std::u16string(items->Item(3)));
  EXPECT_EQ(u"gamma", cells.CellText(row, 1));
  // A program that cannot be found gives no items.
  EXPECT_EQ(kRowSelectExec, ApplyDescriptor(u"SELECTEXEC;P;;0;no such program.exe;", u"x", cells,
                                            row, display, sources, true));
  EXPECT_EQ(0u, VisibleChoiceCount(*cells.GetChoiceItems(row, 1)));
}

}  // namespace
