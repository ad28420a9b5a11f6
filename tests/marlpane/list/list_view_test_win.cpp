// The option list's classes on a real list-view control in a real top-level
// window: texts, numbers, columns, notifications, colours and tips, custom
// drawing, and bulk insertion.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "common/text16.h"
#include "tests/marlpane/list/list_view_test_host_win.h"
#include "marlpane/list/color_list_view.h"
#include "marlpane/list/list_view.h"

namespace {

using listview_test::Host;
using listview_test::Pump;
using listview_test::SharedHost;

std::u16string CellText(CListView& list, int item, int column) {
  char16_t buffer[5000];
  if (!list.GetCellText(item, column, buffer, 5000)) return u"<none>";
  return buffer;
}

class ListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host_.Window());
    ASSERT_TRUE(list_.Create(host_.Window(), 10, 10, 360, 240, true, true, true));
  }
  void TearDown() override {
    host_.Reset();
    DestroyWindow(list_.Window());
    Pump();
  }
  Host& host_ = SharedHost();
  CColorListView list_;
};

TEST_F(ListViewTest, ColumnsTakeTheirTitleWidth) {
  EXPECT_EQ(list_.AddColumn(u" Option "), 0);
  EXPECT_EQ(list_.AddColumn(u" Value ", CListView::kAlignCentre), 1);
  EXPECT_EQ(list_.ColumnCount(), 2);
  EXPECT_EQ(list_.GetColumnWidth(0), 68);
  EXPECT_EQ(list_.GetColumnWidth(1), 60);
  char16_t title[20];
  ASSERT_TRUE(list_.GetColumnTitle(1, title, 20));
  EXPECT_EQ(std::u16string(title), u" Value ");
  ASSERT_TRUE(list_.GetColumnTitle(0, title, 4));  // cut to the buffer
  EXPECT_EQ(std::u16string(title), u" Op");
  EXPECT_EQ(list_.GetColumnWidth(5), 0);
  ASSERT_TRUE(list_.SetColumnWidth(0, 120));
  EXPECT_EQ(list_.GetColumnWidth(0), 120);
  EXPECT_EQ(list_.InsertColumn(u"Third", 33, CListView::kAlignRight, -1), 2);
  EXPECT_EQ(list_.GetColumnWidth(2), 33);
}

TEST_F(ListViewTest, ItemsAndCellTextsReadBack) {
  list_.AddColumn(u"Option");
  list_.AddColumn(u"Value");
  EXPECT_EQ(list_.AppendItemText(u"Port"), 0);
  EXPECT_EQ(list_.AppendItemText(u"Host name"), 1);
  EXPECT_EQ(list_.AppendItem(u"Empty", -1, 77), 2);
  EXPECT_EQ(list_.ItemCount(), 3);
  EXPECT_TRUE(list_.SetCellText(0, 1, u"8080"));
  EXPECT_TRUE(list_.SetCell(1, 1, u"example.org \u00E9\u4E2D", -1));
  EXPECT_EQ(CellText(list_, 0, 0), u"Port");
  EXPECT_EQ(CellText(list_, 0, 1), u"8080");
  EXPECT_EQ(CellText(list_, 1, 1), u"example.org \u00E9\u4E2D");
  EXPECT_EQ(CellText(list_, 2, 1), u"");
  EXPECT_EQ(list_.GetItemData(2), 77);
  EXPECT_TRUE(list_.SetItemData(2, 1234));
  EXPECT_EQ(list_.GetItemData(2), 1234);

  // Missing cells are reported, and reads are cut to the buffer.
  char16_t small[5] = u"xxxx";
  EXPECT_FALSE(list_.GetCellText(3, 0, small, 5));
  EXPECT_EQ(small[0], 0);
  EXPECT_TRUE(list_.GetCellText(1, 0, small, 5));
  EXPECT_EQ(std::u16string(small), u"Host");
  EXPECT_FALSE(list_.SetCellText(9, 1, u"x"));

  // A 4999-character value survives the round trip.
  const std::u16string longValue(4999, u'v');
  EXPECT_TRUE(list_.SetCellText(2, 1, longValue.c_str()));
  EXPECT_EQ(CellText(list_, 2, 1), longValue);

  EXPECT_TRUE(list_.DeleteItem(0));
  EXPECT_EQ(list_.ItemCount(), 2);
  EXPECT_EQ(CellText(list_, 0, 0), u"Host name");
  EXPECT_EQ(list_.AppendItemText(u"Again"), 2);
  list_.DeleteAllItems();
  EXPECT_EQ(list_.ItemCount(), 0);
  EXPECT_EQ(SendMessageW(list_.Window(), LVM_GETITEMCOUNT, 0, 0), 0);
  EXPECT_EQ(list_.AppendItemText(u"First again"), 0);
}

TEST_F(ListViewTest, NumbersInCells) {
  list_.AddColumn(u"a");
  list_.AddColumn(u"b");
  list_.AppendItemText(u"n");
  struct IntCase {
    int value, digits;
    const char16_t* text;
  } ints[] = {{42, 0, u"42"}, {42, 5, u"00042"}, {-7, 3, u"-07"}, {123456, 2, u"123456"}};
  for (const auto& c : ints) {
    ASSERT_TRUE(list_.SetCellInteger(0, 1, c.value, c.digits));
    EXPECT_EQ(CellText(list_, 0, 1), c.text);
    EXPECT_EQ(list_.GetCellInteger(0, 1), c.value);
  }
  list_.SetCellText(0, 1, u"12abc");
  EXPECT_EQ(list_.GetCellInteger(0, 1), 12);
  list_.SetCellText(0, 1, u"none");
  EXPECT_EQ(list_.GetCellInteger(0, 1), 0);

  ASSERT_TRUE(list_.SetCellReal(0, 1, 3.25, 3, 2));
  EXPECT_EQ(CellText(list_, 0, 1), u"003.25");
  EXPECT_NEAR(list_.GetCellReal(0, 1), 3.25, 1e-6);
  ASSERT_TRUE(list_.SetCellReal(0, 1, -1.5, 0, 4));
  EXPECT_EQ(CellText(list_, 0, 1), u"-1.5000");
  EXPECT_NEAR(list_.GetCellReal(0, 1), -1.5, 1e-6);
}

TEST_F(ListViewTest, ExtendedStylesFollowTheSwitches) {
  EXPECT_EQ(list_.ExtendedStyles(), CListView::kDefaultExtendedStyles);
  auto current = [&] { return SendMessageW(list_.Window(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0); };
  EXPECT_EQ(current() & 0x23, 0x23);
  list_.ShowGridLines(false);
  EXPECT_EQ(current() & LVS_EX_GRIDLINES, 0);
  list_.InfoTips(true);
  EXPECT_NE(current() & LVS_EX_INFOTIP, 0);
  list_.HeaderDragDrop(true);
  EXPECT_NE(current() & LVS_EX_HEADERDRAGDROP, 0);
  // The stored styles follow, so setting the colours does not bring the grid back.
  list_.SetImageListsAndColours(nullptr, nullptr, RGB(1, 2, 3), RGB(1, 2, 3), RGB(4, 5, 6));
  EXPECT_EQ(current() & LVS_EX_GRIDLINES, 0);
  EXPECT_NE(current() & LVS_EX_INFOTIP, 0);
  EXPECT_EQ(SendMessageW(list_.Window(), LVM_GETTEXTCOLOR, 0, 0), RGB(4, 5, 6));
  EXPECT_EQ(SendMessageW(list_.Window(), LVM_GETTEXTBKCOLOR, 0, 0), RGB(1, 2, 3));
  EXPECT_EQ(list_.TextColour(), RGB(4, 5, 6));
  EXPECT_EQ(list_.EvenRowColour(), RGB(1, 2, 3));
}

TEST_F(ListViewTest, LastColumnStretchesToTheClientWidth) {
  list_.AddColumn(u" Option ");
  list_.AddColumn(u" Value ");
  RECT client;
  GetClientRect(list_.Window(), &client);
  list_.StretchLastColumnDefault();
  EXPECT_EQ(list_.GetColumnWidth(1), client.right - 68 - 10);
  list_.SetColumnWidth(0, client.right + 50);  // wider than the list
  list_.StretchLastColumnDefault();
  EXPECT_EQ(list_.GetColumnWidth(1), 10);
  list_.EqualColumns(20);
  RECT window;
  GetWindowRect(list_.Window(), &window);
  EXPECT_EQ(list_.GetColumnWidth(0), (window.right - window.left - 30) / 2);
  EXPECT_EQ(list_.GetColumnWidth(1), list_.GetColumnWidth(0));
}

TEST_F(ListViewTest, AttachTakesTheCountsOfTheControl) {
  list_.AddColumn(u"a");
  list_.AddColumn(u"b");
  list_.AppendItemText(u"one");
  list_.AppendItemText(u"two");
  CColorListView other;
  other.Attach(list_.Window());
  EXPECT_EQ(other.ItemCount(), 2);
  EXPECT_EQ(other.ColumnCount(), 2);
  EXPECT_TRUE(other.SetCellBackground(1, 1, RGB(9, 9, 9)));  // its items have cell records
  EXPECT_EQ(other.AppendItemText(u"three"), 2);
  EXPECT_EQ(CellText(other, 2, 0), u"three");
}

// Builds a notification of the list as the control sends it.
NMITEMACTIVATE Activation(CListView& list, UINT code, int item, int column) {
  NMITEMACTIVATE n = {};
  n.hdr.hwndFrom = list.Window();
  n.hdr.idFrom = GetDlgCtrlID(list.Window());
  n.hdr.code = code;
  RECT cell = {LVIR_LABEL, column, 0, 0};
  SendMessageW(list.Window(), LVM_GETSUBITEMRECT, item, reinterpret_cast<LPARAM>(&cell));
  n.ptAction = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
  n.iItem = item;
  n.iSubItem = column;
  return n;
}

TEST_F(ListViewTest, NotificationDecoders) {
  list_.AddColumn(u" Option ");
  list_.AddColumn(u" Value ");
  for (const char16_t* t : {u"a", u"b", u"c"}) list_.AppendItemText(t);
  int item = -1, column = -1;

  NMITEMACTIVATE click = Activation(list_, NM_DBLCLK, 2, 1);
  EXPECT_TRUE(list_.IsDoubleClick(&click.hdr, &item, &column));
  EXPECT_EQ(item, 2);
  EXPECT_EQ(column, 1);
  EXPECT_FALSE(list_.IsClick(&click.hdr, &item, &column));
  click = Activation(list_, NM_CLICK, 1, 0);
  EXPECT_TRUE(list_.IsClick(&click.hdr, &item, &column));
  EXPECT_EQ(item, 1);
  EXPECT_EQ(column, 0);
  click.hdr.code = NM_RCLICK;
  EXPECT_TRUE(list_.IsRightClick(&click.hdr, nullptr, nullptr));
  click.hdr.hwndFrom = host_.Window();  // another window's notification
  EXPECT_FALSE(list_.IsRightClick(&click.hdr, &item, &column));

  NMLISTVIEW change = {};
  change.hdr.hwndFrom = list_.Window();
  change.hdr.code = LVN_ITEMCHANGED;
  change.iItem = 2;
  change.uNewState = 0;
  EXPECT_FALSE(list_.IsItemChanged(&change.hdr, &item, &column));
  change.uNewState = LVIS_SELECTED;
  EXPECT_TRUE(list_.IsItemChanged(&change.hdr, &item, &column));
  EXPECT_EQ(item, 2);
  change.hdr.code = LVN_COLUMNCLICK;
  change.iSubItem = 1;
  EXPECT_TRUE(list_.IsColumnClick(&change.hdr, &column));
  EXPECT_EQ(column, 1);
}

TEST_F(ListViewTest, SelectingARowShowsItsTip) {
  list_.AddColumn(u" Option ");
  list_.AddColumn(u" Value ");
  list_.AppendItemText(u"with tip");
  list_.AppendItemText(u"without");
  ASSERT_TRUE(list_.SetTip(0, u"The port the server listens on"));
  HWND tipLine = CreateWindowExW(0, L"STATIC", L"old", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20,
                                 host_.Window(), nullptr, GetModuleHandleW(nullptr), nullptr);
  // The host shows the tip of the row that the control reports as selected.
  host_.onItemChanged = [&](const NMHDR* header) {
    int item = -1;
    if (list_.IsItemChanged(header, &item, nullptr)) list_.ShowTip(item, tipLine);
  };
  wchar_t text[100];
  ListView_SetItemState(list_.Window(), 0, LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED);
  GetWindowTextW(tipLine, text, 100);
  EXPECT_EQ(std::wstring(text), L"The port the server listens on");
  ListView_SetItemState(list_.Window(), 1, LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED);
  GetWindowTextW(tipLine, text, 100);
  EXPECT_EQ(std::wstring(text), L"");
  host_.onItemChanged = nullptr;
  EXPECT_EQ(list_.GetTip(5), nullptr);
  EXPECT_FALSE(list_.SetTip(5, u"x"));
  DestroyWindow(tipLine);
}

TEST_F(ListViewTest, CellColoursFollowTheirItems) {
  list_.AddColumn(u"a");
  list_.AddColumn(u"b");
  EXPECT_EQ(list_.AppendItemWithColours(u"title", RGB(140, 205, 250), RGB(1, 1, 1)), 0);
  list_.AppendItemText(u"plain");
  list_.AppendItemText(u"section");
  ASSERT_TRUE(list_.SetRowBackground(2, RGB(9, 8, 7)));
  COLORREF text = 1, back = 1;
  ASSERT_TRUE(list_.GetCellColours(0, 0, &text, &back));
  EXPECT_EQ(text, RGB(1, 1, 1));
  EXPECT_EQ(back, RGB(140, 205, 250));
  ASSERT_TRUE(list_.GetCellColours(0, 1, &text, &back));
  EXPECT_EQ(back, 0u);
  EXPECT_FALSE(list_.SetCellColours(1, 200, 1, 1));
  EXPECT_FALSE(list_.GetCellColours(3, 0, &text, &back));
  EXPECT_FALSE(list_.SetCellBackground(-1, 0, 1));

  ASSERT_TRUE(list_.SetTip(2, u"tip of the section"));
  ASSERT_TRUE(list_.DeleteItem(1));  // colours and tips move up with the items
  ASSERT_TRUE(list_.GetCellColours(1, 150, &text, &back));
  EXPECT_EQ(back, RGB(9, 8, 7));
  EXPECT_EQ(std::u16string(list_.GetTip(1)), u"tip of the section");
  list_.DeleteAllItems();
  EXPECT_FALSE(list_.GetCellColours(0, 0, &text, &back));
  EXPECT_EQ(list_.GetTip(0), nullptr);
}

// Sends one custom-draw stage through the list's message filter, as the
// control's parent receives it.
struct DrawAnswer {
  bool handled;
  LRESULT result;
  COLORREF text, background;
};
DrawAnswer Draw(CColorListView& list, HWND parent, DWORD stage, int item, int column) {
  NMLVCUSTOMDRAW draw = {};
  draw.nmcd.hdr.hwndFrom = list.Window();
  draw.nmcd.hdr.code = NM_CUSTOMDRAW;
  draw.nmcd.dwDrawStage = stage;
  draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(item);
  draw.iSubItem = column;
  draw.clrText = 0xABCDEF;
  draw.clrTextBk = 0xFEDCBA;
  LRESULT result = -1;
  const bool handled =
      list.FilterMessage(parent, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw), &result);
  return {handled, result, draw.clrText, draw.clrTextBk};
}

TEST_F(ListViewTest, CustomDrawAnswersPerSchemeAndStage) {
  const COLORREF even = RGB(255, 255, 255), odd = RGB(225, 235, 255), first = RGB(200, 220, 255);
  const COLORREF title = RGB(140, 205, 250), listText = RGB(64, 96, 128);
  list_.SetImageListsAndColours(nullptr, nullptr, even, even, listText);
  list_.SetOddRowColour(odd);
  list_.AddColumn(u"a");
  list_.AddColumn(u"b");
  for (int i = 0; i < 6; ++i) list_.AppendItemText(u"row");
  list_.SetRowBackground(3, title);  // a section title on an odd row
  list_.SetCellTextColour(4, 1, RGB(200, 0, 0));
  const DWORD subItem = CDDS_ITEMPREPAINT | CDDS_SUBITEM;

  EXPECT_EQ(Draw(list_, host_.Window(), CDDS_PREPAINT, 0, 0).result, CDRF_NOTIFYSUBITEMDRAW);
  EXPECT_EQ(Draw(list_, host_.Window(), CDDS_ITEMPREPAINT, 0, 0).result, CDRF_NOTIFYSUBITEMDRAW);
  EXPECT_EQ(Draw(list_, host_.Window(), CDDS_POSTPAINT, 0, 0).result, CDRF_DODEFAULT);
  EXPECT_EQ(Draw(list_, host_.Window(), CDDS_ITEMPOSTPAINT, 0, 0).result, CDRF_DODEFAULT);

  list_.SetColourScheme(24);
  struct Case {
    int row, column;
    COLORREF text, background;
  } scheme24[] = {
      {0, 0, listText, first}, {1, 1, listText, odd},   {2, 0, listText, even},
      {3, 0, listText, title}, {3, 1, listText, title}, {4, 1, RGB(200, 0, 0), even},
      {4, 0, listText, even},  {5, 1, listText, odd},
  };
  for (const auto& c : scheme24) {
    const DrawAnswer a = Draw(list_, host_.Window(), subItem, c.row, c.column);
    EXPECT_TRUE(a.handled);
    EXPECT_EQ(a.result, CDRF_NEWFONT) << c.row;
    EXPECT_EQ(a.text, c.text) << c.row << "," << c.column;
    EXPECT_EQ(a.background, c.background) << c.row << "," << c.column;
  }
  // 22: no first-row colour.
  list_.SetColourScheme(22);
  EXPECT_EQ(Draw(list_, host_.Window(), subItem, 0, 0).background, even);
  EXPECT_EQ(Draw(list_, host_.Window(), subItem, 1, 0).background, odd);
  // 11: own backgrounds only, own text colours ignored.
  list_.SetColourScheme(11);
  EXPECT_EQ(Draw(list_, host_.Window(), subItem, 3, 1).background, title);
  EXPECT_EQ(Draw(list_, host_.Window(), subItem, 4, 1).text, listText);
  EXPECT_EQ(Draw(list_, host_.Window(), subItem, 1, 1).background, even);
  // Unknown scheme, or an item without a record: left to the control.
  list_.SetColourScheme(25);
  DrawAnswer a = Draw(list_, host_.Window(), subItem, 1, 0);
  EXPECT_EQ(a.result, CDRF_DODEFAULT);
  EXPECT_EQ(a.background, 0xFEDCBAu);
  list_.SetColourScheme(24);
  a = Draw(list_, host_.Window(), subItem, 99, 0);
  EXPECT_EQ(a.result, CDRF_DODEFAULT);
  EXPECT_EQ(a.text, 0xABCDEFu);

  // Custom draw of another window is not the list's business.
  NMLVCUSTOMDRAW other = {};
  other.nmcd.hdr.hwndFrom = host_.Window();
  other.nmcd.hdr.code = NM_CUSTOMDRAW;
  LRESULT result = 0;
  EXPECT_FALSE(
      list_.FilterMessage(host_.Window(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&other), &result));
}

// The control itself asks for the colours while it paints: the pixels of a
// row show the scheme's colours.
TEST_F(ListViewTest, PaintedRowsShowTheSchemeColours) {
  const COLORREF even = RGB(255, 255, 255), odd = RGB(0, 0, 255), first = RGB(0, 255, 0);
  const COLORREF title = RGB(255, 0, 0);
  list_.SetImageListsAndColours(nullptr, nullptr, even, even, RGB(0, 0, 0));
  list_.ShowGridLines(false);
  list_.SetOddRowColour(odd);
  list_.SetFirstRowColour(first);
  list_.SetColourScheme(24);
  host_.filtered = &list_;
  list_.AddColumn(u"a");
  list_.AddColumn(u"b");
  for (int i = 0; i < 5; ++i) list_.AppendItemText(u"");
  list_.SetRowBackground(4, title);
  InvalidateRect(list_.Window(), nullptr, TRUE);
  UpdateWindow(list_.Window());
  Pump();

  auto pixelOfRow = [&](int row) {
    RECT cell = {LVIR_LABEL, 1, 0, 0};
    SendMessageW(list_.Window(), LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
    HDC dc = GetDC(list_.Window());
    const COLORREF pixel = GetPixel(dc, (cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    ReleaseDC(list_.Window(), dc);
    return pixel;
  };
  EXPECT_EQ(pixelOfRow(0), first);
  EXPECT_EQ(pixelOfRow(1), odd);
  EXPECT_EQ(pixelOfRow(2), even);
  EXPECT_EQ(pixelOfRow(3), odd);
  EXPECT_EQ(pixelOfRow(4), title);
  host_.filtered = nullptr;
}

// Appends rows of two cells as the editor does when it loads a settings
// file, and prints how long it took.
double InsertRows(CColorListView& list, int rows, bool bulk) {
  const auto start = std::chrono::steady_clock::now();
  if (bulk) list.BeginBulkInsert(rows);
  char16_t label[32], value[32];
  for (int i = 0; i < rows; ++i) {
    const std::u16string l = u"Option" + Utf8ToText(std::to_string(i));
    const std::u16string v = u"value " + Utf8ToText(std::to_string(i * 7));
    CopyText(label, 32, l.c_str());
    CopyText(value, 32, v.c_str());
    const int item = list.AppendItemText(label);
    list.SetCellText(item, 1, value);
  }
  if (bulk) list.EndBulkInsert();
  UpdateWindow(list.Window());
  Pump();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

TEST_F(ListViewTest, BulkInsertionOf22000Rows) {
  wchar_t rowsText[16] = L"";
  const int rows =
      GetEnvironmentVariableW(L"LIST_BENCH_ROWS", rowsText, 16) ? _wtoi(rowsText) : 22000;
  host_.filtered = &list_;
  list_.SetColourScheme(24);
  list_.AddColumn(u" Option ");
  list_.AddColumn(u" Value ");
  const double bulkMs = InsertRows(list_, rows, true);
  std::printf("[ figure   ] %d two-column rows: %.0f ms with bulk insertion\n", rows, bulkMs);
  ASSERT_EQ(list_.ItemCount(), rows);
  EXPECT_EQ(SendMessageW(list_.Window(), LVM_GETITEMCOUNT, 0, 0), rows);
  const std::u16string last = Utf8ToText(std::to_string(rows - 1));
  EXPECT_EQ(CellText(list_, rows - 1, 0), u"Option" + last);
  EXPECT_EQ(CellText(list_, rows - 1, 1), u"value " + Utf8ToText(std::to_string((rows - 1) * 7)));
  EXPECT_EQ(CellText(list_, 0, 1), u"value 0");
  // Once redrawing is back on, the list scrolls to its last row.
  SCROLLINFO scroll = {};
  scroll.cbSize = sizeof(scroll);
  scroll.fMask = SIF_RANGE | SIF_PAGE;
  ASSERT_TRUE(GetScrollInfo(list_.Window(), SB_VERT, &scroll));
  EXPECT_GE(scroll.nMax, rows - 1);
  ASSERT_TRUE(SendMessageW(list_.Window(), LVM_ENSUREVISIBLE, rows - 1, FALSE));
  RECT client, lastRow = {LVIR_BOUNDS, 0, 0, 0};
  GetClientRect(list_.Window(), &client);
  ASSERT_TRUE(
      SendMessageW(list_.Window(), LVM_GETITEMRECT, rows - 1, reinterpret_cast<LPARAM>(&lastRow)));
  EXPECT_GE(lastRow.top, client.top);
  EXPECT_LE(lastRow.bottom, client.bottom);
  EXPECT_GT(SendMessageW(list_.Window(), LVM_GETTOPINDEX, 0, 0), 0);
  list_.DeleteAllItems();
  // Without it the control updates itself after every row: a few hundred
  // rows show the difference.
  const int plainRows = rows < 300 ? rows : 300;
  const double plainMs = InsertRows(list_, plainRows, false);
  std::printf("[ figure   ] %d two-column rows: %.0f ms without (%.1f ms per row)\n", plainRows,
              plainMs, plainMs / plainRows);
  EXPECT_EQ(list_.ItemCount(), plainRows);
  host_.filtered = nullptr;
}

}  // namespace
