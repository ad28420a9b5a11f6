// The yardstick of the editor's start-up benchmark: a Win32 program that does
// nothing but open one window. Like the editor it posts code 300 with its
// window to the window named by "/NOTIFY:", so that it is timed the same
// way; it ends when its window is closed.
#include <windows.h>

#include <cwchar>

namespace {

LRESULT CALLBACK EmptyProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  WNDCLASSW record = {};
  record.lpfnWndProc = EmptyProcedure;
  record.hInstance = instance;
  record.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  record.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  record.lpszClassName = L"EmptyProgram";
  RegisterClassW(&record);
  HWND window = CreateWindowExW(0, record.lpszClassName, L"Empty program",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, 620,
                                400, nullptr, nullptr, instance, nullptr);
  const wchar_t* notify = std::wcsstr(commandLine, L"/NOTIFY:");
  if (notify) {
    HWND host = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::wcstoull(notify + 8, nullptr, 10)));
    PostMessageW(host, WM_APP + 7, 300, reinterpret_cast<LPARAM>(window));
  }
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
