// In-place editing on a real list-view control in a real top-level window
// whose procedure offers its messages to the list first, as the editor's
// main dialog does. Keys are posted as the keyboard would deliver them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "common/text16.h"
#include "tests/marlpane/list/list_view_test_host_win.h"
#include "marlpane/list/editable_list_view.h"

namespace {

using listview_test::Host;
using listview_test::Pump;
using listview_test::SharedHost;

std::wstring WindowText(HWND window) {
  wchar_t text[5000] = L"";
  GetWindowTextW(window, text, 5000);
  return text;
}

// Counts the editors it makes and destroys; can refuse to make one.
class CountingListView : public CEditableListView {
 public:
  HWND CreateEditor(int row, int column, const RECT& cell, HWND owner,
                    const char16_t* text) override {
    ++created;
    if (refuse) return nullptr;
    return CEditableListView::CreateEditor(row, column, cell, owner, text);
  }
  bool DestroyEditor(HWND editor) override {
    if (editor) ++destroyed;
    return CEditableListView::DestroyEditor(editor);
  }
  int created = 0;
  int destroyed = 0;
  bool refuse = false;
};

class EditableListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(list_.Create(host_.Window(), 10, 10, 380, 200, false, true, true));
    host_.filtered = &list_;
    list_.AddColumn(u" Option ");
    list_.AddColumn(u" Value ", CListView::kAlignCentre);
    list_.StretchLastColumnDefault();
    const char16_t* rows[][2] = {{u"Port", u"8080"}, {u"Host", u"localhost"}, {u"Name", u"demo"}};
    for (auto& r : rows) list_.SetCellText(list_.AppendItemText(r[0]), 1, r[1]);
    list_.SetDoubleClickMode(true);
    list_.SetFixedColumn(true, 1);
    Pump();
  }
  void TearDown() override {
    if (list_.IsEditing()) list_.EndEdit();
    host_.Reset();
    DestroyWindow(list_.Window());
    Pump();
  }

  std::u16string Cell(int row, int column) {
    char16_t text[5000];
    return list_.GetCellText(row, column, text, 5000) ? text : u"<none>";
  }
  // Opens an editor and lets it paint, as it does on screen before the user
  // types.
  HWND Open(int row) {
    EXPECT_TRUE(list_.BeginEdit(row, 1));
    HWND editor = list_.EditorWindow();
    EXPECT_NE(editor, nullptr);
    UpdateWindow(editor);
    Pump();
    return editor;
  }
  void Key(HWND window, WPARAM key) {
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
    Pump();
  }
  int CommandsOf(WORD id) {
    int n = 0;
    for (const auto& c : host_.PlainCommands()) n += c.id == id;
    return n;
  }
  void SendNotify(UINT code, int row, int column) {
    NMITEMACTIVATE n = {};
    n.hdr.hwndFrom = list_.Window();
    n.hdr.idFrom = 0;
    n.hdr.code = code;
    RECT cell = {LVIR_LABEL, column, 0, 0};
    SendMessageW(list_.Window(), LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
    n.ptAction = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    n.iItem = row;
    n.iSubItem = column;
    SendMessageW(host_.Window(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
  }

  Host& host_ = SharedHost();
  CountingListView list_;
};

TEST_F(EditableListViewTest, BeginEditPlacesAnEditBoxOverTheCell) {
  ASSERT_TRUE(list_.BeginEdit(1, 1));
  HWND editor = list_.EditorWindow();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(list_.EditedRow(), 1);
  EXPECT_EQ(list_.EditedColumn(), 1);

  RECT cell = {LVIR_LABEL, 1, 0, 0};
  SendMessageW(list_.Window(), LVM_GETSUBITEMRECT, 1, reinterpret_cast<LPARAM>(&cell));
  MapWindowPoints(list_.Window(), HWND_DESKTOP, reinterpret_cast<POINT*>(&cell), 2);
  RECT placed;
  GetWindowRect(editor, &placed);
  EXPECT_EQ(placed.left, cell.left);
  EXPECT_EQ(placed.top, cell.top);
  EXPECT_EQ(placed.right, cell.right);
  EXPECT_EQ(placed.bottom, cell.bottom);

  wchar_t className[16];
  GetClassNameW(editor, className, 16);
  EXPECT_EQ(_wcsicmp(className, L"Edit"), 0);
  // The edit control draws the border itself and drops WS_BORDER from its style.
  const DWORD style = WS_POPUP | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(editor, GWL_STYLE)) & style, style);
  EXPECT_EQ(GetWindow(editor, GW_OWNER), host_.Window());
  EXPECT_EQ(WindowText(editor), L"localhost");
  EXPECT_EQ(GetFocus(), editor);
  EXPECT_FALSE(IsWindowEnabled(host_.Window()));  // the top-level window waits for the edit
  EXPECT_TRUE(IsWindowVisible(editor));
}

TEST_F(EditableListViewTest, EnterCommitsTheText) {
  HWND editor = Open(0);
  SetWindowTextW(editor, L"9090");
  Key(editor, VK_RETURN);
  EXPECT_FALSE(list_.IsEditing());
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_EQ(Cell(0, 1), u"9090");
  EXPECT_EQ(Cell(1, 1), u"localhost");
  EXPECT_TRUE(IsWindowEnabled(host_.Window()));
  EXPECT_EQ(GetFocus(), list_.Window());
  ASSERT_EQ(host_.PlainCommands().size(), 1u);  // the focus change posted nothing more
  EXPECT_EQ(host_.PlainCommands()[0].id, 1);
  EXPECT_TRUE(host_.PlainCommands()[0].handledByList);
  EXPECT_EQ(list_.destroyed, 1);
}

TEST_F(EditableListViewTest, EscapeCancels) {
  HWND editor = Open(1);
  SetWindowTextW(editor, L"changed");
  Key(editor, VK_ESCAPE);
  EXPECT_FALSE(list_.IsEditing());
  EXPECT_EQ(Cell(1, 1), u"localhost");
  EXPECT_TRUE(IsWindowEnabled(host_.Window()));
  ASSERT_EQ(host_.PlainCommands().size(), 1u);
  EXPECT_EQ(host_.PlainCommands()[0].id, 2);
  EXPECT_TRUE(host_.PlainCommands()[0].handledByList);
}

TEST_F(EditableListViewTest, LosingTheFocusCommits) {
  HWND editor = Open(2);
  SetWindowTextW(editor, L"elsewhere");
  HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 500, 400, 50, 20,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetFocus(other);
  Pump();
  EXPECT_FALSE(list_.IsEditing());
  EXPECT_EQ(Cell(2, 1), u"elsewhere");
  EXPECT_TRUE(IsWindowEnabled(host_.Window()));
  EXPECT_EQ(CommandsOf(1), 1);
  DestroyWindow(other);
}

TEST_F(EditableListViewTest, MovingTheEditorCommits) {
  HWND editor = Open(0);
  SetWindowTextW(editor, L"moved");
  RECT placed;
  GetWindowRect(editor, &placed);
  SetWindowPos(editor, nullptr, placed.left + 20, placed.top + 5, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
  EXPECT_FALSE(list_.IsEditing());
  EXPECT_EQ(Cell(0, 1), u"moved");
  ASSERT_EQ(CommandsOf(1), 1);
  EXPECT_EQ(host_.PlainCommands()[0].lParam, reinterpret_cast<LPARAM>(editor));
}

TEST_F(EditableListViewTest, CtrlASelectsAllText) {
  HWND editor = Open(1);
  SendMessageW(editor, EM_SETSEL, 2, 2);
  SendMessageW(editor, WM_CHAR, 1, 1);
  DWORD start = 9, end = 9;
  SendMessageW(editor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 9u);
  EXPECT_TRUE(list_.IsEditing());
}

TEST_F(EditableListViewTest, GuardLetsOneEditPostOneCommand) {
  HWND editor = Open(0);
  SetWindowTextW(editor, L"first");
  // Enter, then more keys and a move before the posted commit is handled.
  SendMessageW(editor, WM_CHAR, VK_RETURN, 1);
  EXPECT_TRUE(CEditableListView::EditorGuardSet());
  SendMessageW(editor, WM_CHAR, VK_ESCAPE, 1);
  SendMessageW(editor, WM_CHAR, VK_RETURN, 1);
  SetWindowPos(editor, nullptr, 0, 0, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
  EXPECT_EQ(CommandsOf(1), 1);
  EXPECT_EQ(CommandsOf(2), 0);
  EXPECT_EQ(Cell(0, 1), u"first");
  EXPECT_FALSE(list_.IsEditing());

  // The next edit box clears the guard when it paints; Escape works again.
  editor = Open(1);
  EXPECT_FALSE(CEditableListView::EditorGuardSet());
  Key(editor, VK_ESCAPE);
  EXPECT_EQ(CommandsOf(2), 1);
  EXPECT_FALSE(list_.IsEditing());
  EXPECT_EQ(host_.PlainCommands().size(), 2u);
}

TEST_F(EditableListViewTest, DoubleClickModeAndFixedColumn) {
  SendNotify(NM_CLICK, 2, 1);
  EXPECT_FALSE(list_.IsEditing());
  SendNotify(NM_DBLCLK, 2, 0);  // on the label: the value column opens
  ASSERT_TRUE(list_.IsEditing());
  EXPECT_EQ(list_.EditedRow(), 2);
  EXPECT_EQ(list_.EditedColumn(), 1);
  EXPECT_EQ(WindowText(list_.EditorWindow()), L"demo");
  list_.EndEdit();

  list_.SetDoubleClickMode(false);
  list_.SetFixedColumn(false, 1);
  SendNotify(NM_DBLCLK, 1, 0);
  EXPECT_FALSE(list_.IsEditing());
  SendNotify(NM_CLICK, 1, 0);
  ASSERT_TRUE(list_.IsEditing());
  EXPECT_EQ(list_.EditedColumn(), 0);
  EXPECT_EQ(WindowText(list_.EditorWindow()), L"Host");
  list_.EndEdit();

  list_.SetEditingEnabled(false);
  SendNotify(NM_CLICK, 1, 0);
  EXPECT_FALSE(list_.IsEditing());
}

TEST_F(EditableListViewTest, TheControlsOwnDoubleClickOpensTheEditor) {
  RECT label = {LVIR_LABEL, 0, 0, 0};
  SendMessageW(list_.Window(), LVM_GETSUBITEMRECT, 1, reinterpret_cast<LPARAM>(&label));
  const LPARAM at = MAKELPARAM((label.left + label.right) / 2, (label.top + label.bottom) / 2);
  SendMessageW(list_.Window(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  ASSERT_TRUE(list_.IsEditing());
  EXPECT_EQ(list_.EditedRow(), 1);
  EXPECT_EQ(list_.EditedColumn(), 1);
  EXPECT_EQ(WindowText(list_.EditorWindow()), L"localhost");
}

TEST_F(EditableListViewTest, CommandsReachTheListOnlyWhileEditing) {
  // The dialog's own Enter (command 1) belongs to the dialog while no edit is open...
  SendMessageW(host_.Window(), WM_COMMAND, 1, 0);
  ASSERT_EQ(host_.PlainCommands().size(), 1u);
  EXPECT_FALSE(host_.PlainCommands()[0].handledByList);
  // ...and commits the open edit while there is one.
  HWND editor = Open(0);
  SetWindowTextW(editor, L"by enter");
  SendMessageW(host_.Window(), WM_COMMAND, 1, 0);
  ASSERT_EQ(host_.PlainCommands().size(), 2u);
  EXPECT_TRUE(host_.PlainCommands()[1].handledByList);
  EXPECT_EQ(Cell(0, 1), u"by enter");
  // Other commands are left to the dialog even during an edit.
  Open(1);
  SendMessageW(host_.Window(), WM_COMMAND, 1005, 0);
  EXPECT_FALSE(host_.PlainCommands().back().handledByList);
  EXPECT_TRUE(list_.IsEditing());
}

TEST_F(EditableListViewTest, BeginEditOnAMissingRowOpensNothing) {
  EXPECT_FALSE(list_.BeginEdit(3, 1));
  EXPECT_FALSE(list_.BeginEdit(-1, 1));
  EXPECT_FALSE(list_.IsEditing());
  EXPECT_TRUE(IsWindowEnabled(host_.Window()));
  EXPECT_EQ(list_.created, 0);

  SendMessageW(list_.Window(), LVM_SETSELECTIONMARK, 0, -1);
  EXPECT_FALSE(list_.BeginEditFirstColumn());
  SendMessageW(list_.Window(), LVM_SETSELECTIONMARK, 0, 2);
  ASSERT_TRUE(list_.BeginEditFirstColumn());
  EXPECT_EQ(list_.EditedRow(), 2);
  EXPECT_EQ(list_.EditedColumn(), 1);  // the fixed column wins over column 0
}

TEST_F(EditableListViewTest, AnEditorThatCannotBeMadeEndsTheEdit) {
  list_.refuse = true;
  EXPECT_TRUE(list_.BeginEdit(0, 1));
  EXPECT_EQ(list_.created, 1);
  EXPECT_FALSE(list_.IsEditing());
  EXPECT_TRUE(IsWindowEnabled(host_.Window()));
}

TEST_F(EditableListViewTest, ANewEditCancelsTheOpenOne) {
  HWND first = Open(0);
  SetWindowTextW(first, L"abandoned");
  ASSERT_TRUE(list_.BeginEdit(1, 1));
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(list_.destroyed, 1);
  HWND second = list_.EditorWindow();
  ASSERT_NE(second, nullptr);
  Pump();
  // Nothing left over from the first edit closes the second one.
  EXPECT_TRUE(list_.IsEditing());
  EXPECT_EQ(list_.EditorWindow(), second);
  EXPECT_EQ(Cell(0, 1), u"8080");
  EXPECT_FALSE(IsWindowEnabled(host_.Window()));
  SetWindowTextW(second, L"kept");
  Key(second, VK_RETURN);
  EXPECT_EQ(Cell(1, 1), u"kept");
  EXPECT_EQ(Cell(0, 1), u"8080");
}

TEST_F(EditableListViewTest, RemovingAllItemsCancelsTheEdit) {
  Open(1);
  list_.DeleteAllItems();
  EXPECT_FALSE(list_.IsEditing());
  EXPECT_TRUE(IsWindowEnabled(host_.Window()));
  EXPECT_EQ(list_.EditedRow(), -1);
  EXPECT_EQ(list_.ItemCount(), 0);
}

}  // namespace
