// A visible top-level window that plays the editor's main dialog for the
// list view tests: it offers every message to the list's filter first and
// records the commands it receives.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "marlpane/list/color_list_view.h"

namespace listview_test {

inline void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

class Host {
 public:
  struct Command {
    WORD id;
    WORD code;  // the notification code of a control's command, 0 for plain commands
    LPARAM lParam;
    bool handledByList;
  };

  Host() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &Host::Procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"ListViewTestHost";
    RegisterClassW(&wc);
    window_ =
        CreateWindowExW(0, wc.lpszClassName, L"List view test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        50, 50, 420, 320, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    SetForegroundWindow(window_);
    UpdateWindow(window_);
    Pump();
  }
  ~Host() {
    filtered = nullptr;
    DestroyWindow(window_);
    Pump();
  }
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  HWND Window() const { return window_; }

  // Clean state for the next test: enabled, active, nothing recorded.
  void Reset() {
    filtered = nullptr;
    onItemChanged = nullptr;
    commands.clear();
    EnableWindow(window_, TRUE);
    SetForegroundWindow(window_);
    SetActiveWindow(window_);
    SetFocus(window_);
    Pump();
  }

  CColorListView* filtered = nullptr;  // the list whose filter sees messages first
  std::function<void(const NMHDR*)> onItemChanged;
  std::vector<Command> commands;

  // The plain commands received (the edit box's own notifications left out).
  std::vector<Command> PlainCommands() const {
    std::vector<Command> plain;
    for (const auto& c : commands)
      if (c.code == 0) plain.push_back(c);
    return plain;
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Host*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    const bool handled =
        self->filtered && self->filtered->FilterMessage(window, message, wParam, lParam, &result);
    if (message == WM_COMMAND)
      self->commands.push_back({LOWORD(wParam), HIWORD(wParam), lParam, handled});
    if (handled) return result;
    if (message == WM_NOTIFY && self->onItemChanged &&
        reinterpret_cast<const NMHDR*>(lParam)->code == LVN_ITEMCHANGED)
      self->onItemChanged(reinterpret_cast<const NMHDR*>(lParam));
    return DefWindowProcW(window, message, wParam, lParam);
  }

  HWND window_ = nullptr;
};

// One host for the whole test program: hiding or destroying a top-level
// window costs Wine about two seconds.
inline Host& SharedHost() {
  static Host* host = new Host;
  host->Reset();
  return *host;
}

}  // namespace listview_test
