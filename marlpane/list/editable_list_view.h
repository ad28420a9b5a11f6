// A colour list view whose cells can be edited in place, one at a time: a
// click or double-click (or a request of the owner) opens an editor window
// exactly over the cell and disables the top-level window until the edit
// ends. Enter or a loss of focus commits, Escape cancels. The default editor
// is a bordered one-line edit box; derived classes supply other editors by
// overriding CreateEditor and DestroyEditor. Win32 only.
//
// The editor talks to the list through its owner: it posts WM_COMMAND 1
// (commit) or 2 (cancel) to the list's parent window, whose procedure hands
// every message to FilterMessage first.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "marlpane/list/color_list_view.h"

class CEditableListView : public CColorListView {
 public:
  static constexpr int kEditTextCapacity = 5000;  // 4999 characters and the terminator
  static constexpr WORD kCommitCommand = 1;
  static constexpr WORD kCancelCommand = 2;
  // WS_POPUP | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL
  static constexpr DWORD kEditBoxStyle = 0x90810080;

  CEditableListView() = default;
  // Closes an open editor and enables the top-level window again.
  ~CEditableListView() override;

  // Also cancels an open edit and forgets the edited cell.
  void DeleteAllItems() override;
  // WM_NOTIFY from this list: OnListNotify; WM_COMMAND: OnEditorCommand.
  // When they handle it, *result = 1 and true. WM_NOTIFY from other windows
  // is refused at once; everything else goes to the colour list's filter.
  bool FilterMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                     LRESULT* result) override;

  // A click (or, in double-click mode, a double click) of this list on a
  // cell begins editing it. False for other notifications, with editing off,
  // or when no edit began.
  virtual bool OnListNotify(const NMHDR* header);
  // Commands of the open editor: 1 copies the editor's text into the edited
  // cell and ends the edit, 2 ends it. False while no editor is open and for
  // other commands.
  virtual bool OnEditorCommand(WPARAM wParam, LPARAM lParam);
  // Edits the selected row (the selection mark); false without one.
  virtual bool BeginEditAtSelection(int column);
  virtual bool BeginEditFirstColumn() { return BeginEditAtSelection(0); }
  // Opens the editor over the cell (in the fixed column when that is set).
  // An open edit is cancelled first. False, with nothing opened, when the
  // cell does not exist; true otherwise, also when no editor could be made
  // (the edit has then already ended).
  virtual bool BeginEdit(int row, int column);
  // Enables the top-level window and the list again, focuses the list and
  // destroys the editor. Returns true.
  virtual bool EndEdit();
  // Makes the editor window over cell (screen coordinates), owned by owner
  // and holding text; null when it cannot be made.
  virtual HWND CreateEditor(int row, int column, const RECT& cell, HWND owner,
                            const char16_t* text);
  // Undoes CreateEditor: restores the window procedure and destroys the
  // window (nothing for null). Returns true.
  virtual bool DestroyEditor(HWND editor);

  void SetEditingEnabled(bool on) { editingEnabled_ = on ? 1 : 0; }
  // On: a double click opens the editor; off: a single click does.
  void SetDoubleClickMode(bool on) { doubleClickMode_ = on ? 1 : 0; }
  // While on, every edit goes to column whatever column was asked for.
  void SetFixedColumn(bool on, int column) {
    fixedColumnOn_ = on ? 1 : 0;
    fixedColumn_ = column;
  }
  bool IsEditing() const { return editor_ != nullptr; }
  HWND EditorWindow() const { return editor_; }
  int EditedRow() const { return editedRow_; }
  int EditedColumn() const { return editedColumn_; }

  // The guard shared by every default edit box of the program: set when an
  // edit box has posted its commit or cancel, cleared when one paints. It
  // lets one edit post at most one command.
  static bool EditorGuardSet();

 protected:
  // Replaces the editor's window procedure with the default edit box's one
  // (Enter, Escape, Ctrl+A, focus loss and moves), keeping the old one in
  // the editor's GWLP_USERDATA and here. Derived editors built on an edit
  // box may reuse it; DestroyEditor undoes it.
  bool SubclassEditor(HWND editor);
  static LRESULT CALLBACK EditorProcedure(HWND editor, UINT message, WPARAM wParam,
                                          LPARAM lParam);

  int editingEnabled_ = 1;
  int doubleClickMode_ = 0;
  int fixedColumnOn_ = 0;
  int fixedColumn_ = 0;
  int editedRow_ = -1;
  int editedColumn_ = -1;
  WNDPROC editorOldProcedure_ = nullptr;
  HWND editor_ = nullptr;
};
