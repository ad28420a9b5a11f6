#include "marlpane/app/conflict_question_win.h"

#include <commctrl.h>

#include "common/text16.h"
#include "marlpane/app/conflict_texts.h"
#include "marlpane/app/resource_ids.h"

namespace {

struct Question {
  const char16_t* settingsPath;
  const std::vector<ConflictLine>* lines;
};

void SetText(HWND box, int id, ConflictText text) {
  SetDlgItemTextW(box, id, AsWide(ConflictTextOf(text)));
}

void FillList(HWND list, const std::vector<ConflictLine>& lines) {
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  RECT client = {};
  GetClientRect(list, &client);
  const int width = client.right - client.left - GetSystemMetrics(SM_CXVSCROLL);
  const ConflictText columns[] = {ConflictText::OptionColumn, ConflictText::FileColumn,
                                  ConflictText::MineColumn};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = i == 0 ? width * 2 / 5 : width * 3 / 10;
    column.pszText = const_cast<wchar_t*>(AsWide(ConflictTextOf(columns[i])));
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
  SetWindowTextW(box, AsWide(ConflictTextOf(ConflictText::Title)));
  std::u16string text = ConflictChangedText(question.settingsPath);
  text += u"\r\n";
  text += ConflictTextOf(ConflictText::BothChanged);
  SetDlgItemTextW(box, IDC_CONFLICT_TEXT, AsWide(text.c_str()));
  FillList(GetDlgItem(box, IDC_CONFLICT_LIST), *question.lines);
  const size_t count = question.lines->size();
  if (count > kConflictLinesShown) {
    SetDlgItemTextW(box, IDC_CONFLICT_MORE, AsWide(MoreConflictsText(count - kConflictLinesShown).c_str()));
  } else {
    ShowWindow(GetDlgItem(box, IDC_CONFLICT_MORE), SW_HIDE);
  }
  SetText(box, IDC_KEEP_MINE, ConflictText::KeepMine);
  SetText(box, IDC_KEEP_FILE, ConflictText::KeepFile);
  SetText(box, IDCANCEL, ConflictText::Cancel);
}

INT_PTR CALLBACK QuestionProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Prepare(box, *reinterpret_cast<const Question*>(lParam));
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
