// The option list on a real list-view control in a real window: the
// samples loaded into it, value operations showing in the control, the
// default editor by kind, and Save writing the edits back.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/common/files_test_support.h"
#include "common/text16.h"
#include "tests/marlpane/list/list_view_test_host_win.h"
#include "marlpane/document/ini_document.h"
#include "marlpane/rows/password_digest.h"
#include "marlpane/rows/row_saver.h"
#include "marlpane/rows/row_sources_win.h"
#include "marlpane/list/typed_list_view.h"

namespace {

using listview_test::Host;
using listview_test::Pump;
using listview_test::SharedHost;

std::string Sample(const char* name) { return std::string(TEST_SOURCE_ROOT) + "/samples/" + name; }

class TypedListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(list_.Create(host_.Window(), 10, 10, 380, 250, true, true, true));
    host_.filtered = &list_;
    list_.AddColumn(u" Option ");
    list_.AddColumn(u" Value ");
    list_.SetDoubleClickMode(true);
    list_.SetFixedColumn(true, 1);
  }
  void TearDown() override {
    if (list_.IsEditing()) list_.EndEdit();
    host_.Reset();
    DestroyWindow(list_.Window());
    Pump();
  }

  // What the control itself holds, not the cells.
  std::u16string Shown(int row, int column) {
    char16_t text[5000];
    return list_.CListView::GetCellText(row, column, text, 5000) ? text : u"<none>";
  }
  int ShownImage(int row, int column) {
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iSubItem = column;
    item.iImage = -7;
    SendMessageW(list_.Window(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
  }
  bool Load(const std::string& settingsFile) {
    path_ = Utf8ToText(settingsFile);
    return list_.LoadRows(path_.c_str(), u"", settings_, sources_, options_, built_);
  }

  Host& host_ = SharedHost();
  CTypedListView list_;
  CSystemRowSources sources_{5000};
  EditorOptions options_;
  CIniDocument settings_;
  BuiltRows built_;
  std::u16string path_;
};

TEST_F(TypedListViewTest, TheSampleShowsEveryRowAsTheCellsHoldIt) {
  testfiles::TempFolder folder;
  std::filesystem::copy_file(Sample("settings.ini"), folder.Native("settings.ini"));
  std::filesystem::copy_file(Sample("settings.ITP"), folder.Native("settings.ITP"));
  ASSERT_TRUE(Load(folder.Native("settings.ini").string()));
  ASSERT_EQ(63, list_.ItemCount());
  const CTypedCells& cells = list_.Cells();
  ASSERT_EQ(63, cells.RowCount());
  for (int row = 0; row < 63; ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(TextToUtf8(built_.display[static_cast<size_t>(row)].label), TextToUtf8(Shown(row, 0)));
    EXPECT_EQ(TextToUtf8(cells.CellText(row, 1)), TextToUtf8(Shown(row, 1)));
    const int icon = built_.display[static_cast<size_t>(row)].icon;
    if (icon >= 0) {
      EXPECT_EQ(icon, ShownImage(row, 1));
    }
  }
  auto rowOf = [&](const char16_t* label) {
    for (int row = 0; row < 63; ++row)
      if (cells.CellText(row, 0) == label) return row;
    return -1;
  };
  // A few rows by what Part of the table they stand for.
  EXPECT_EQ(u"Tahoma, 10", Shown(rowOf(u"Font"), 1));
  EXPECT_EQ(u"******", Shown(rowOf(u"Password"), 1));
  EXPECT_EQ(u"Welcome back!\u00ABHave a good day.", Shown(rowOf(u"Welcome text"), 1));
  EXPECT_EQ(u"Product Ltd.\u00ABAll rights reserved", Shown(rowOf(u"Footer"), 1));
  EXPECT_EQ(u"Dark", Shown(rowOf(u"Theme"), 1));
  EXPECT_EQ(u"Reports", Shown(rowOf(u"Start page"), 1));
  EXPECT_EQ(u"Classic", Shown(rowOf(u"Skin"), 1));
  EXPECT_EQ(u"2026-11-30", Shown(rowOf(u"Last run"), 1));
  // The program run at load gave the printer items.
  const int printer = rowOf(u"Printer");
  ASSERT_GE(printer, 0);
  const ChoiceBlock* items = cells.GetChoiceItems(printer, 1);
  ASSERT_NE(nullptr, items);
  EXPECT_EQ(u"Office", std::u16string(items->Item(0)));
  EXPECT_EQ(u"Lab", std::u16string(items->Item(2)));
  // The widest label sets column 0.
  EXPECT_EQ(built_.labelWidth, list_.GetColumnWidth(0));
  // Title rows carry the section title colour.
  COLORREF text = 0, background = 0;
  ASSERT_TRUE(list_.GetCellColours(2, 1, &text, &background));
  EXPECT_EQ(options_.listSectionTitleColor, background);
  // Tips: the one of "Check for updates" spans two lines.
  const char16_t* tip = list_.GetTip(rowOf(u"Check for updates"));
  ASSERT_NE(nullptr, tip);
  EXPECT_EQ(u"Look for a new version at start\r\nNeeds a network connection", std::u16string(tip));
}

TEST_F(TypedListViewTest, TheDetectionSampleLoadsAndSavesUnchanged) {
  testfiles::TempFolder folder;
  std::filesystem::copy_file(Sample("detect.ini"), folder.Native("detect.ini"));
  ASSERT_TRUE(Load(folder.Native("detect.ini").string()));
  const CTypedCells& cells = list_.Cells();
  ASSERT_EQ(static_cast<int>(built_.table.size()), list_.ItemCount());
  for (int row = 0; row < list_.ItemCount(); ++row) {
    EXPECT_EQ(TextToUtf8(cells.CellText(row, 1)), TextToUtf8(Shown(row, 1))) << row;
  }
  EXPECT_FALSE(built_.descriptorsUsed);
  ASSERT_NE(0u, SaveRows(built_, cells, settings_, path_.c_str()));
  // Untouched rows keep their bytes, the colour in lower case too.
  EXPECT_EQ(testfiles::ReadBytes(Sample("detect.ini")), testfiles::ReadBytes(folder.Native("detect.ini")));
}

TEST_F(TypedListViewTest, ValueOperationsShowAtOnceAndSaveTheirForms) {
  testfiles::TempFolder folder;
  const std::string ini =
      "[S]\r\nName=Dana\r\nOn=yes\r\nColour=#102030\r\nHex=4800\r\nSeen=0;T;C\r\nKeep=1\r\n";
  const std::string types =
      "[S]\r\nName=STRING\r\nOn=TOGGLEINDEX;;;Off;On\r\nColour=COLOR\r\nHex=STRINGHEX\r\n"
      "Seen=WINDOW\r\nKeep=READONLY\r\n";
  testfiles::WriteBytes(folder.Native("app.ini"), ini);
  testfiles::WriteBytes(folder.Native("app.ITP"), types);
  options_.sectionTitles = 0;
  ASSERT_TRUE(Load(folder.Native("app.ini").string()));
  ASSERT_EQ(6, list_.ItemCount());

  // Unedited: every byte stays.
  ASSERT_NE(0u, SaveRows(built_, list_.Cells(), settings_, path_.c_str()));
  EXPECT_EQ(ini, testfiles::ReadBytes(folder.Native("app.ini")));

  CTypedCells& cells = list_.Cells();
  cells.SetCellText(0, 1, u"Robin");
  EXPECT_EQ(u"Robin", Shown(0, 1));
  cells.FlipToggle(1, 1);
  EXPECT_EQ(u"Off", Shown(1, 1));
  cells.SetColor(2, 1, RGB(0, 0, 0));
  EXPECT_EQ(u"#000000", Shown(2, 1));
  COLORREF text = 0, background = 0;
  list_.GetCellColours(2, 1, &text, &background);
  EXPECT_EQ(RGB(255, 255, 255), text);
  EXPECT_EQ(RGB(1, 0, 0), background);
  list_.SetCellText(3, 1, u"Hi");  // through the list: the cells hold it
  EXPECT_EQ(u"Hi", cells.CellText(3, 1));
  cells.SetWindow(4, 1, reinterpret_cast<uintptr_t>(host_.Window()), u"List view test",
                  u"ListViewTestHost");
  EXPECT_EQ(u"List view test", Shown(4, 1));
  cells.SetCellText(5, 1, u"2");
  ASSERT_NE(0u, SaveRows(built_, cells, settings_, path_.c_str()));
  const std::string handle = std::to_string(reinterpret_cast<uintptr_t>(host_.Window()));
  EXPECT_EQ("[S]\r\nName=Robin\r\nOn=no\r\nColour=#000000\r\nHex=48006900\r\nSeen=" + handle +
                ";List view test;ListViewTestHost\r\nKeep=1\r\n",
            testfiles::ReadBytes(folder.Native("app.ini")));
}

// Runs action on the focused control of the next popup editor once it is
// open: the editors run their own modal loop inside BeginEdit.
void WhenPopupOpens(std::function<void(HWND focus)> action) {
  static std::function<void(HWND)> pending;
  pending = std::move(action);
  SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR timer, DWORD) {
    HWND focus = GetFocus();
    wchar_t name[64] = {};
    GetClassNameW(GetAncestor(focus, GA_ROOT), name, 64);
    if (!pending || std::wstring(name).rfind(L"CGenericWindow-", 0) != 0) return;
    KillTimer(nullptr, timer);
    auto run = std::move(pending);
    pending = nullptr;
    run(focus);
  });
}

TEST_F(TypedListViewTest, EditorsOpenByKind) {
  testfiles::TempFolder folder;
  testfiles::WriteBytes(folder.Native("app.ini"), "[S]\nA=text\nB=yes\nC=fixed\nD=4\n");
  testfiles::WriteBytes(folder.Native("app.ITP"),
                        "[S]\nA=STRING\nB=TOGGLEINDEX;;;Off;On\nC=READONLY\nD=INTEGER;;;1;9\n");
  options_.sectionTitles = 0;
  ASSERT_TRUE(Load(folder.Native("app.ini").string()));
  // Text rows: the text popup, modal; its commit lands in the cells, Escape
  // leaves them as they were.
  WhenPopupOpens([](HWND edit) {
    SetWindowTextW(edit, L"typed");
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
  });
  ASSERT_TRUE(list_.BeginEdit(0, 1));
  EXPECT_FALSE(list_.IsEditing());
  EXPECT_EQ(u"typed", list_.Cells().CellText(0, 1));
  EXPECT_EQ(u"typed", Shown(0, 1));
  EXPECT_TRUE(list_.Cells().CellEdited(0, 1));
  EXPECT_TRUE(IsWindowEnabled(host_.Window()));
  // A number popup: a cancelled entry changes nothing, a committed one is
  // clamped to the bounds.
  list_.Cells().ForgetEdits();
  WhenPopupOpens([](HWND edit) {
    SetWindowTextW(edit, L"7");
    PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 1);
  });
  ASSERT_TRUE(list_.BeginEdit(3, 1));
  EXPECT_EQ(u"4", Shown(3, 1));
  EXPECT_FALSE(list_.Cells().CellEdited(3, 1));
  WhenPopupOpens([](HWND edit) {
    SetWindowTextW(edit, L"42");
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
  });
  ASSERT_TRUE(list_.BeginEdit(3, 1));
  EXPECT_EQ(u"9", Shown(3, 1));
  // A toggle flips without an editor.
  EXPECT_TRUE(list_.BeginEdit(1, 1));
  EXPECT_FALSE(list_.IsEditing());
  EXPECT_EQ(u"Off", Shown(1, 1));
  // Read-only rows open nothing.
  EXPECT_TRUE(list_.BeginEdit(2, 1));
  EXPECT_FALSE(list_.IsEditing());
  EXPECT_EQ(u"fixed", Shown(2, 1));
  // Untyped cells (a row no type was given) edit in the list's own box,
  // which stays open.
  const int untyped = list_.AppendItem(u"Extra", -1, 0);
  list_.Cells().SetCellText(untyped, 1, u"4");
  EXPECT_TRUE(list_.BeginEdit(untyped, 1));
  EXPECT_TRUE(list_.IsEditing());
  list_.EndEdit();
  EXPECT_TRUE(IsWindowEnabled(host_.Window()));
}

TEST_F(TypedListViewTest, RowsStayInStepWithTheCells) {
  const int a = list_.AppendItem(u"one", -1, 0);
  const int b = list_.AppendItemText(u"two");
  EXPECT_EQ(2, list_.Cells().RowCount());
  EXPECT_EQ(u"two", list_.Cells().CellText(b, 0));
  list_.Cells().SetTextKind(b, 1);
  ASSERT_TRUE(list_.DeleteItem(a));
  EXPECT_EQ(1, list_.Cells().RowCount());
  EXPECT_EQ(CellKind::Text, list_.Cells().GetCellKind(0, 1));
  list_.DeleteAllItems();
  EXPECT_EQ(0, list_.Cells().RowCount());
  // A file that cannot be loaded leaves the list empty.
  EXPECT_FALSE(Load(Sample("missing.ini")));
  EXPECT_EQ(0, list_.ItemCount());
  EXPECT_EQ(0, list_.Cells().RowCount());
}

TEST(PasswordDigestTest, PublishedVectorsAndUtf8Bytes) {
  struct Case { int32_t rowType; const char16_t* password; const char16_t* digest; };
  const Case cases[] = {
      {154, u"abc", u"900150983cd24fb0d6963f7d28e17f72"},
      {150, u"abc", u"a9993e364706816aba3e25717850c26c9cd0d89d"},
      {151, u"abc", u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {152, u"abc",
       u"cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed8086072ba1e7cc2358baeca1"
       u"34c825a7"},
      {153, u"abc",
       u"ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23"
       u"a3feebbd454d4423643ce80e2a9ac94fa54ca49f"},
      {154, u"", u"d41d8cd98f00b204e9800998ecf8427e"},
      {150, u"", u"da39a3ee5e6b4b0d3255bfef95601890afd80709"},
      {151, u"", u"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      // Non-ASCII characters are hashed as their UTF-8 bytes.
      {154, u"p\u00e4ssw\u00f6rd \u20ac", u"ef3fb7c474b0972dcb2757c6e8f8270b"},
      {151, u"p\u00e4ssw\u00f6rd \u20ac",
       u"e8e68ca52f7c1be9accd28a9e464b76cfe4a7671bc3c2a102609385f2513a1e2"},
  };
  for (const Case& c : cases) {
    std::u16string digest;
    ASSERT_TRUE(PasswordDigest(c.rowType, c.password, digest)) << c.rowType;
    EXPECT_EQ(TextToUtf8(c.digest), TextToUtf8(digest)) << c.rowType;
  }
  std::u16string digest = u"x";
  EXPECT_FALSE(PasswordDigest(28, u"abc", digest));
  EXPECT_TRUE(digest.empty());
}

TEST(PasswordDigestTest, AConfirmedPasswordIsSavedAsItsDigest) {
  testfiles::TempFolder folder;
  testfiles::WriteBytes(folder.Native("app.ini"), "[S]\nP=old\nQ=kept\n");
  testfiles::WriteBytes(folder.Native("app.ITP"), "[S]\nP=SHA256PASSWORD\nQ=MD5PASSWORD\n");
  CTypedCells cells;
  CIniDocument settings;
  CRowSources sources;
  EditorOptions options;
  options.sectionTitles = 0;
  BuiltRows built;
  const std::u16string path = folder.File("app.ini");
  ASSERT_TRUE(BuildRows(path.c_str(), u"", settings, cells, sources, options, 0, built));
  EXPECT_EQ(u"", std::u16string(cells.GetPasswordText(0, 1)));
  cells.SetPasswordText(0, 1, u"abc");
  ASSERT_NE(0u, SaveRows(built, cells, settings, path.c_str()));
  EXPECT_EQ("[S]\nP=ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\nQ=kept\n",
            testfiles::ReadBytes(folder.Native("app.ini")));
}

}  // namespace
