#include "marlpane/list/editable_list_view.h"

#include <memory>

#include "common/text16.h"

namespace {

// Set once an edit box has posted its commit or cancel, cleared when an
// edit box paints: a focus change or move caused by ending the edit must not
// post a second command.
bool gEditorGuard = false;

void PostEditorCommand(HWND editor, WORD command, LPARAM lParam) {
  PostMessageW(GetParent(editor), WM_COMMAND, command, lParam);
  gEditorGuard = true;
}

}  // namespace

bool CEditableListView::EditorGuardSet() { return gEditorGuard; }

CEditableListView::~CEditableListView() {
  if (!editor_) return;
  // A derived class has closed its own editors by now; what is left is an
  // edit box of this class.
  if (list_ && IsWindow(list_)) EnableWindow(GetAncestor(list_, GA_ROOT), TRUE);
  CEditableListView::DestroyEditor(editor_);
  editor_ = nullptr;
}

void CEditableListView::DeleteAllItems() {
  if (editor_) OnEditorCommand(kCancelCommand, reinterpret_cast<LPARAM>(editor_));
  CColorListView::DeleteAllItems();
  editedRow_ = -1;
  editedColumn_ = -1;
}

bool CEditableListView::FilterMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT* result) {
  bool handled = false;
  if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!list_ || !header || header->hwndFrom != list_) return false;
    handled = OnListNotify(header);
  } else if (message == WM_COMMAND) {
    handled = OnEditorCommand(wParam, lParam);
  }
  if (handled) {
    if (result) *result = 1;
    return true;
  }
  return CColorListView::FilterMessage(window, message, wParam, lParam, result);
}

bool CEditableListView::OnListNotify(const NMHDR* header) {
  if (!editingEnabled_) return false;
  int item = -1, column = 0;
  const bool activated = doubleClickMode_ ? IsDoubleClick(header, &item, &column)
                                          : IsClick(header, &item, &column);
  if (!activated) return false;
  return BeginEdit(item, column);
}

bool CEditableListView::OnEditorCommand(WPARAM wParam, LPARAM) {
  if (!editor_) return false;
  switch (LOWORD(wParam)) {
    case kCommitCommand: {
      auto text = std::make_unique<wchar_t[]>(kEditTextCapacity);
      text[0] = 0;
      GetWindowTextW(editor_, text.get(), kEditTextCapacity);
      SetCellText(editedRow_, editedColumn_, AsText(text.get()));
      EndEdit();
      return true;
    }
    case kCancelCommand:
      EndEdit();
      return true;
    default:
      return false;
  }
}

bool CEditableListView::BeginEditAtSelection(int column) {
  const int row = GetSelectionMark();
  if (row < 0) return false;
  return BeginEdit(row, column);
}

bool CEditableListView::BeginEdit(int row, int column) {
  if (editor_) OnEditorCommand(kCancelCommand, reinterpret_cast<LPARAM>(editor_));
  if (fixedColumnOn_) column = fixedColumn_;
  if (!list_ || row < 0 || column < 0) return false;

  auto text = std::make_unique<char16_t[]>(kEditTextCapacity);
  if (!GetCellText(row, column, text.get(), kEditTextCapacity)) return false;
  HWND owner = GetParent(list_);

  RECT cell = {};
  cell.top = column;
  cell.left = LVIR_LABEL;
  if (!SendMessageW(list_, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell))) return false;
  POINT corner = {cell.left, cell.top};
  MapWindowPoints(list_, HWND_DESKTOP, &corner, 1);
  OffsetRect(&cell, corner.x - cell.left, corner.y - cell.top);

  editedRow_ = row;
  editedColumn_ = column;
  EnableWindow(GetAncestor(list_, GA_ROOT), FALSE);
  editor_ = CreateEditor(row, column, cell, owner, text.get());
  if (editor_)
    SetFocus(editor_);
  else
    EndEdit();
  return true;
}

bool CEditableListView::EndEdit() {
  if (list_) {
    // Whatever the focus change below makes the editor do, this edit has
    // ended: it must not post another commit or cancel.
    if (editor_) gEditorGuard = true;
    EnableWindow(GetAncestor(list_, GA_ROOT), TRUE);
    EnableWindow(list_, TRUE);
    SetFocus(list_);
  }
  if (editor_) {
    HWND editor = editor_;
    editor_ = nullptr;
    DestroyEditor(editor);
  }
  return true;
}

HWND CEditableListView::CreateEditor(int, int, const RECT& cell, HWND owner,
                                     const char16_t* text) {
  HWND edit = CreateWindowExW(0, L"EDIT", AsWide(text ? text : u""), kEditBoxStyle, cell.left,
                              cell.top, cell.right - cell.left, cell.bottom - cell.top, owner,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!edit) return nullptr;
  SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(-2), -1);
  SubclassEditor(edit);
  return edit;
}

bool CEditableListView::DestroyEditor(HWND editor) {
  if (!editor) return true;
  if (editorOldProcedure_ && IsWindow(editor)) {
    SetWindowLongPtrW(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editorOldProcedure_));
    SetWindowLongPtrW(editor, GWLP_USERDATA, 0);
  }
  editorOldProcedure_ = nullptr;
  if (IsWindow(editor)) DestroyWindow(editor);
  return true;
}

bool CEditableListView::SubclassEditor(HWND editor) {
  if (!editor) return false;
  const LONG_PTR old = GetWindowLongPtrW(editor, GWLP_WNDPROC);
  if (!old) return false;
  editorOldProcedure_ = reinterpret_cast<WNDPROC>(old);
  SetWindowLongPtrW(editor, GWLP_USERDATA, old);
  SetWindowLongPtrW(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditorProcedure));
  return true;
}

LRESULT CALLBACK CEditableListView::EditorProcedure(HWND editor, UINT message, WPARAM wParam,
                                                    LPARAM lParam) {
  if (!IsWindow(editor)) return 0;
  if (message == WM_PAINT) gEditorGuard = false;
  if (!gEditorGuard) {
    switch (message) {
      case WM_KILLFOCUS:
        PostEditorCommand(editor, kCommitCommand, 0);
        break;
      case WM_WINDOWPOSCHANGING:
        PostEditorCommand(editor, kCommitCommand, reinterpret_cast<LPARAM>(editor));
        break;
      case WM_CHAR:
        if (wParam == 1)
          SendMessageW(editor, EM_SETSEL, 0, -1);
        else if (wParam == VK_RETURN)
          PostEditorCommand(editor, kCommitCommand, 0);
        else if (wParam == VK_ESCAPE)
          PostEditorCommand(editor, kCancelCommand, 0);
        break;
      default:
        break;
    }
  }
  const auto old = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(editor, GWLP_USERDATA));
  return old ? CallWindowProcW(old, editor, message, wParam, lParam) : 0;
}
