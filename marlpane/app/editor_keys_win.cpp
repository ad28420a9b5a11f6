#include "marlpane/app/editor_keys_win.h"

#include "marlpane/app/resource_ids.h"

namespace {

HHOOK gKeyHook = nullptr;
HWND gKeyDialog = nullptr;

bool Down(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// The command of a key press, 0 for a key that is not the editor's own.
WORD KeyCommand(WPARAM key, bool inFindField) {
  const bool control = Down(VK_CONTROL);
  const bool shift = Down(VK_SHIFT);
  const bool alt = Down(VK_MENU);
  if (alt) return 0;
  if (control) {
    switch (key) {
      case 'F': return IDC_FIND_OPEN;
      case 'S': return IDC_SAVE;
      case 'Z': return inFindField ? 0 : IDC_UNDO;
      case 'Y': return inFindField ? 0 : IDC_REDO;
      default: return 0;
    }
  }
  switch (key) {
    case VK_F3: return shift ? IDC_FIND_PREVIOUS : IDC_FIND_NEXT;
    case VK_F2: return inFindField ? 0 : IDC_EDIT_ROW;
    case VK_APPS: return IDC_ROW_MENU;
    case VK_F10: return shift ? IDC_ROW_MENU : 0;
    case VK_RETURN:
      if (!inFindField) return 0;
      return shift ? IDC_FIND_PREVIOUS : IDC_FIND_NEXT;
    case VK_ESCAPE: return inFindField ? IDC_FIND_CLOSE : 0;
    default: return 0;
  }
}

LRESULT CALLBACK FilterKeys(int code, WPARAM wParam, LPARAM lParam) {
  auto* message = reinterpret_cast<MSG*>(lParam);
  if (code >= 0 && message && gKeyDialog && IsWindowEnabled(gKeyDialog) &&
      (message->message == WM_KEYDOWN || message->message == WM_SYSKEYDOWN ||
       message->message == WM_KEYUP || message->message == WM_SYSKEYUP) &&
      GetAncestor(message->hwnd, GA_ROOT) == gKeyDialog) {
    const bool inFindField = GetDlgCtrlID(message->hwnd) == IDC_FIND_FIELD;
    const WORD command = KeyCommand(message->wParam, inFindField);
    if (command) {
      // The release of a key taken here goes nowhere either, so that the
      // system makes no context menu or menu-bar move of its own from it.
      if (message->message == WM_KEYDOWN || message->message == WM_SYSKEYDOWN) {
        PostMessageW(gKeyDialog, WM_COMMAND, command, 0);
      }
      return TRUE;
    }
  }
  return CallNextHookEx(gKeyHook, code, wParam, lParam);
}

}  // namespace

void InstallEditorKeys(HWND dialog) {
  RemoveEditorKeys();
  gKeyDialog = dialog;
  gKeyHook = SetWindowsHookExW(WH_MSGFILTER, FilterKeys, nullptr, GetCurrentThreadId());
}

void RemoveEditorKeys() {
  if (gKeyHook) UnhookWindowsHookEx(gKeyHook);
  gKeyHook = nullptr;
  gKeyDialog = nullptr;
}
