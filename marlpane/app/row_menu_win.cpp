#include "marlpane/app/row_menu_win.h"

#include <cstring>

#include "marlpane/app/resource_ids.h"

WORD ShowRowMenu(HWND owner, POINT at, bool rowChanged, bool hasLine) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return 0;
  AppendMenuW(menu, MF_STRING, IDC_EDIT_ROW, L"&Edit\tEnter");
  AppendMenuW(menu, MF_STRING | (rowChanged ? 0 : MF_GRAYED), IDC_REVERT_ROW,
              L"&Undo changes to this row");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING | (hasLine ? 0 : MF_GRAYED), IDC_COPY_VALUE, L"Copy &value");
  AppendMenuW(menu, MF_STRING | (hasLine ? 0 : MF_GRAYED), IDC_COPY_LINE, L"Copy &line");
  // The owner must be in front for the menu to close when the user clicks
  // elsewhere.
  SetForegroundWindow(owner);
  const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, at.x,
                                    at.y, 0, owner, nullptr);
  DestroyMenu(menu);
  return static_cast<WORD>(chosen);
}

bool CopyToClipboard(HWND owner, const std::u16string& text) {
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(char16_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  bool put = false;
  if (memory) {
    if (void* target = GlobalLock(memory)) {
      std::memcpy(target, text.c_str(), bytes);
      GlobalUnlock(memory);
      put = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    }
    if (!put) GlobalFree(memory);
  }
  CloseClipboard();
  return put;
}
