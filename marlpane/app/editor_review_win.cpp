#include "marlpane/app/editor_review_win.h"

#include <string>

#include "marlpane/app/editor_keys_win.h"
#include "marlpane/app/resource_ids.h"
#include "marlpane/app/row_menu_win.h"
#include "marlpane/list/typed_list_view.h"
#include "marlpane/rows/row_builder.h"
#include "marlpane/rows/row_finder.h"

void CEditorReview::Start(HWND dialog, CTypedListView& list, const BuiltRows& rows) {
  dialog_ = dialog;
  list_ = &list;
  rows_ = &rows;
  history_.Attach(&rows, &list.Cells());
  list.TrackChanges(&history_, &rows);
  // A row found while the focus is in the find field shows as selected.
  const HWND control = list.Window();
  SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | LVS_SHOWSELALWAYS);
  InstallEditorKeys(dialog);
}

void CEditorReview::Restart() {
  if (!list_) return;
  history_.Attach(rows_, &list_->Cells());
  list_->TrackChanges(&history_, rows_);
}

void CEditorReview::Stop() {
  RemoveEditorKeys();
}

CloseAnswer CEditorReview::AskBeforeClosing(const char16_t* settingsPath, const char16_t* caption) {
  if (!history_.AnyChanged()) return CloseAnswer::Discard;
  return AskToSaveChanges(dialog_, settingsPath, caption);
}

bool CEditorReview::OnCommand(WPARAM wParam) {
  if (!list_) return false;
  const WORD command = LOWORD(wParam);
  switch (command) {
    case IDC_FIND_OPEN:
      find_.Open(dialog_, IDC_TIP_LINE);
      return true;
    case IDC_FIND_NEXT:
    case IDC_FIND_PREVIOUS:
      if (!find_.IsOpen()) find_.Open(dialog_, IDC_TIP_LINE);
      FindNext(command == IDC_FIND_NEXT ? 1 : -1);
      return true;
    case IDC_FIND_CLOSE: {
      find_.Close();
      SetFocus(list_->Window());
      // The tip line shows the selected row's tip again.
      list_->ShowTip(list_->SelectedRow(), GetDlgItem(dialog_, IDC_TIP_LINE));
      return true;
    }
    case IDC_FIND_FIELD:
      if (HIWORD(wParam) == EN_CHANGE && find_.IsOpen()) Find(list_->SelectedRow(), 1);
      return true;
    case IDC_UNDO:
    case IDC_REDO:
      Undo(command == IDC_REDO);
      return true;
    case IDC_ROW_MENU:
      ShowRowMenu(false);
      return true;
    case IDC_EDIT_ROW:
    case IDC_REVERT_ROW:
    case IDC_COPY_VALUE:
    case IDC_COPY_LINE:
      RowCommand(command, list_->SelectedRow());
      return true;
    default:
      return false;
  }
}

bool CEditorReview::OnNotify(const NMHDR* header) {
  if (!list_ || !header || header->hwndFrom != list_->Window() || header->code != NM_RCLICK) {
    return false;
  }
  const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
  if (click->iItem < 0) return false;
  list_->SelectRow(click->iItem);
  ShowRowMenu(true);
  return true;
}

void CEditorReview::Find(int from, int step) {
  const CTypedCells& cells = list_->Cells();
  CRowFinder finder(list_->ItemCount(), [this, &cells](int row, RowTexts& out) {
    out.label = cells.CellTextView(row, 0);
    out.key = rows_->lines.Key(static_cast<size_t>(row));
    out.value = cells.CellTextView(row, 1);
    const char16_t* tip = list_->GetTip(row);
    out.tip = tip ? std::u16string_view(tip) : std::u16string_view();
  });
  const std::u16string text = find_.Text();
  const FindResult result = finder.Find(text, from, step);
  if (result.row >= 0) list_->SelectRow(result.row);
  find_.ShowResult(result);
}

void CEditorReview::FindNext(int step) {
  const int count = list_->ItemCount();
  if (count <= 0) return;
  int from = list_->SelectedRow() + step;
  if (from >= count) from = 0;
  if (from < 0) from = count - 1;
  Find(from, step);
}

void CEditorReview::Undo(bool redo) {
  if (list_->IsEditing()) return;
  const int row = redo ? history_.Redo() : history_.Undo();
  if (row < 0) return;
  list_->ShowRowChange(row);
  list_->SelectRow(row);
}

void CEditorReview::ShowRowMenu(bool atMouse) {
  const int row = list_->SelectedRow();
  if (row < 0 || list_->IsEditing()) return;
  POINT at = {};
  if (atMouse) {
    GetCursorPos(&at);
  } else {
    // Under the row's label, as the menu key shows it.
    RECT item = {};
    ListView_GetItemRect(list_->Window(), row, &item, LVIR_LABEL);
    at.x = item.left + (item.right - item.left) / 2;
    at.y = item.bottom;
    ClientToScreen(list_->Window(), &at);
  }
  const bool hasLine = !rows_->lines.Key(static_cast<size_t>(row)).empty() ||
                       !rows_->lines.Value(static_cast<size_t>(row)).empty();
  const WORD command = ::ShowRowMenu(dialog_, at, history_.IsChanged(row), hasLine);
  if (command) RowCommand(command, row);
}

void CEditorReview::RowCommand(WORD command, int row) {
  if (row < 0 || list_->IsEditing()) return;
  switch (command) {
    case IDC_EDIT_ROW:
      list_->SelectRow(row);
      list_->BeginEditFirstColumn();
      break;
    case IDC_REVERT_ROW:
      if (history_.RevertRow(row)) list_->ShowRowChange(row);
      break;
    case IDC_COPY_VALUE:
      CopyToClipboard(dialog_, history_.ValueText(row));
      break;
    case IDC_COPY_LINE:
      CopyToClipboard(dialog_, history_.LineText(row));
      break;
    default:
      break;
  }
}
