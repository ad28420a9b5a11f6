#include "marlpane/app/row_menu_win.h"

#include <cstring>

#include "common/readable_menu_win.h"
#include "marlpane/app/resource_ids.h"
#include "marlpane/editors/editor_texts.h"

WORD ShowRowMenu(HWND owner, POINT at, bool rowChanged, bool hasLine) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return 0;
  // In one place for every showing: owner-drawn items point to them.
  static const std::u16string kTexts[] = {EditorTextOf(EditorText::EditRow) + u"\tEnter",
                                          EditorTextOf(EditorText::RevertRow), EditorTextOf(EditorText::CopyValue),
                                          EditorTextOf(EditorText::CopyLine)};
  InsertReadableItem(menu, UINT(-1), 0, IDC_EDIT_ROW, &kTexts[0]);
  InsertReadableItem(menu, UINT(-1), rowChanged ? 0 : MF_GRAYED, IDC_REVERT_ROW, &kTexts[1]);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  InsertReadableItem(menu, UINT(-1), hasLine ? 0 : MF_GRAYED, IDC_COPY_VALUE, &kTexts[2]);
  InsertReadableItem(menu, UINT(-1), hasLine ? 0 : MF_GRAYED, IDC_COPY_LINE, &kTexts[3]);
  // The owner must be in front for the menu to close when the user clicks
  // elsewhere.
  SetForegroundWindow(owner);
  const UINT layout = gEditorLanguage.RightToLeft() ? TPM_LAYOUTRTL : 0;
  const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | layout, at.x,
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
