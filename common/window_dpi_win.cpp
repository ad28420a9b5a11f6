#include "window_dpi_win.h"

namespace {

constexpr int kLowestDpi = 48;
constexpr int kHighestDpi = 960;

template <class Function>
Function User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                : nullptr;
}

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

int WindowDpi(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
  if (window && getDpiForWindow) {
    const UINT dpi = getDpiForWindow(window);
    if (dpi > 0) return int(dpi);
  }
  return SystemDpi();
}

int DpiOfChange(WPARAM wParam) {
  const int dpi = HIWORD(wParam);
  return dpi >= kLowestDpi && dpi <= kHighestDpi ? dpi : 0;
}

void MoveToSuggestedRect(HWND window, LPARAM suggested) {
  RECT rect = {};
  SIZE_T copied = 0;
  if (!suggested ||
      !ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<const void*>(suggested), &rect,
                         sizeof rect, &copied) ||
      copied != sizeof rect || rect.right <= rect.left || rect.bottom <= rect.top) {
    return;
  }
  SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void TakeOverDpiChanges(HWND dialog) {
  using Function = BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS, DIALOG_DPI_CHANGE_BEHAVIORS);
  static const auto setBehavior = User32Function<Function>("SetDialogDpiChangeBehavior");
  if (setBehavior) setBehavior(dialog, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
}
