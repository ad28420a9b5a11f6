// What helps the user find, review and keep changes in the main dialog:
// the find field, the change history with undo, redo and revert, the row
// menu with its copy entries, and the question before changes are thrown
// away. The dialog hands it its commands and notifications first.
#pragma once

#include <windows.h>

#include <vector>

#include "marlpane/app/close_question_win.h"
#include "marlpane/app/find_field_win.h"
#include "marlpane/rows/change_history.h"

class CTypedListView;
struct BuiltRows;

class CEditorReview {
 public:
  CEditorReview() = default;
  virtual ~CEditorReview() = default;

  // After the rows are built: tracks their changes and takes the keys.
  void Start(HWND dialog, CTypedListView& list, const BuiltRows& rows);
  // When the dialog ends: gives the keys back.
  void Stop();

  // After the rows were built again: a fresh history on them.
  void Restart();

  std::vector<int> ChangedRows() const { return history_.ChangedRows(); }
  bool AnyChanged() const { return history_.AnyChanged(); }
  // Before the window closes by Escape, the close box or Alt+F4: with
  // changed rows, asks whether to save them.
  CloseAnswer AskBeforeClosing(const char16_t* settingsPath, const char16_t* caption);
  // The find field follows the tip line when the dialog is laid out again.
  void FollowLayout() { find_.FitToTipLine(); }

  // WM_COMMAND of the keys, the row menu and the find field; false for any
  // other command.
  bool OnCommand(WPARAM wParam);
  // NM_RCLICK of the option list opens the row menu; false for anything else.
  bool OnNotify(const NMHDR* header);

 private:
  void Find(int from, int step);
  void FindNext(int step);
  void ShowRowMenu(bool atMouse);
  void RowCommand(WORD command, int row);
  void Undo(bool redo);

  HWND dialog_ = nullptr;
  CTypedListView* list_ = nullptr;
  const BuiltRows* rows_ = nullptr;
  CChangeHistory history_;
  CFindField find_;
};
