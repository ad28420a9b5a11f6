#include "marlpane/app/conflict_question_win.h"

#include <commctrl.h>

#include "common/text16.h"
#include "marlpane/app/dialog_dpi_win.h"
#include "marlpane/app/editor_state.h"
#include "marlpane/app/resource_ids.h"
#include "marlpane/editors/editor_texts.h"

namespace {

struct Question {
  const char16_t* settingsPath;
  const std::vector<ConflictLine>* lines;
};

void SetText(HWND box, int id, EditorText text) {
  SetDlgItemTextW(box, id, AsWide(EditorTextOf(text).c_str()));
}

void FillList(HWND list, const std::vector<ConflictLine>& lines) {
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  RECT client = {};
  GetClientRect(list, &client);
  const int width = client.right - client.left - GetSystemMetrics(SM_CXVSCROLL);
  const EditorText columns[] = {EditorText::ConflictOptionColumn, EditorText::ConflictFileColumn,
                                EditorText::ConflictMineColumn};
  for (int i = 0; i < 3; ++i) {
    const std::u16string name = EditorTextOf(columns[i]);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = i == 0 ? width * 2 / 5 : width * 3 / 10;
    column.pszText = const_cast<wchar_t*>(AsWide(name.c_str()));
    ListView_InsertColumn(list, i, &column);
  }
  for (size_t row = 0; row < lines.size() && row < kConflictLinesShown; ++row) {
    const ConflictLine& line = lines[row];
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(row);
    item.pszText = const_cast<wchar_t*>(AsWide(line.label.c_str()));
    const int at = ListView_InsertItem(list, &item);
    ListView_SetItemText(list, at, 1, const_cast<wchar_t*>(AsWide(line.fileValue.c_str())));
    ListView_SetItemText(list, at, 2, const_cast<wchar_t*>(AsWide(line.myValue.c_str())));
  }
}

void Prepare(HWND box, const Question& question) {
  SetWindowTextW(box, AsWide(EditorTextOf(EditorText::ConflictTitle).c_str()));
  std::u16string text = EditorTextOf(EditorText::ConflictChanged, {{u"<File_Name>", FileNameOf(question.settingsPath)}});
  text += u"\r\n";
  text += EditorTextOf(EditorText::ConflictBothChanged);
  SetDlgItemTextW(box, IDC_CONFLICT_TEXT, AsWide(text.c_str()));
  FillList(GetDlgItem(box, IDC_CONFLICT_LIST), *question.lines);
  const size_t count = question.lines->size();
  if (count > kConflictLinesShown) {
    const std::u16string more = EditorTextOf(
        EditorText::ConflictMore, {{u"<Count>", NumberText(static_cast<long long>(count - kConflictLinesShown))}});
    SetDlgItemTextW(box, IDC_CONFLICT_MORE, AsWide(more.c_str()));
  } else {
    ShowWindow(GetDlgItem(box, IDC_CONFLICT_MORE), SW_HIDE);
  }
  SetText(box, IDC_KEEP_MINE, EditorText::ConflictKeepMine);
  SetText(box, IDC_KEEP_FILE, EditorText::ConflictKeepFile);
  SetText(box, IDCANCEL, EditorText::ConflictCancel);
}

INT_PTR CALLBACK QuestionProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Prepare(box, *reinterpret_cast<const Question*>(lParam));
      UseInterfaceFont(box);
      // The focus on the buttons, so that their letters answer (the list
      // would take them for itself).
      SetFocus(GetDlgItem(box, IDC_KEEP_MINE));
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_KEEP_MINE:
        case IDC_KEEP_FILE:
        case IDCANCEL:
          EndDialog(box, LOWORD(wParam));
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

}  // namespace

ConflictAnswer AskAboutConflicts(HINSTANCE instance, HWND owner, const char16_t* settingsPath,
                                 const std::vector<ConflictLine>& lines) {
  Question question{settingsPath, &lines};
  switch (DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_CONFLICT_QUESTION), owner,
                          QuestionProcedure, reinterpret_cast<LPARAM>(&question))) {
    case IDC_KEEP_MINE: return ConflictAnswer::KeepMine;
    case IDC_KEEP_FILE: return ConflictAnswer::KeepFile;
    default: return ConflictAnswer::Cancel;
  }
}
