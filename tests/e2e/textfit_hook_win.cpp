// winprobe_textfit.dll: measures a control's text inside the control's own
// process, where the font the control reports (WM_GETFONT) is valid.
// winprobe installs TextFitHook on the control's thread and sends the
// registered message "winprobe.textfit" to each control, with its own
// process id as wParam; the hook writes one line per control into the
// shared memory "winprobe-textfit-<pid>":
//   id visible width height textwidth textheight fontheight
// (the text wrapped at the control's width as a static control draws it).
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

constexpr DWORD kResultBytes = 256;

void Measure(HWND control, char* out) {
  int length = GetWindowTextLengthW(control);
  wchar_t* text = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, (length + 2) * sizeof(wchar_t)));
  if (!text) return;
  length = GetWindowTextW(control, text, length + 1);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  RECT client = {};
  GetClientRect(control, &client);
  UINT format = DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS;
  if (GetWindowLongW(control, GWL_STYLE) & SS_NOPREFIX) format |= DT_NOPREFIX;
  if (GetWindowLongW(control, GWL_EXSTYLE) & WS_EX_RTLREADING) format |= DT_RTLREADING;
  HDC context = GetDC(control);
  HGDIOBJ previous = SelectObject(context, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
  TEXTMETRICW metrics = {};
  GetTextMetricsW(context, &metrics);
  RECT measured = {0, 0, client.right, 0};
  if (length > 0) DrawTextW(context, text, length, &measured, format);
  SelectObject(context, previous);
  ReleaseDC(control, context);
  HeapFree(GetProcessHeap(), 0, text);
  std::snprintf(out, kResultBytes, "%d\t%d\t%ld\t%ld\t%ld\t%ld\t%ld", GetDlgCtrlID(control),
                IsWindowVisible(control) ? 1 : 0, client.right, client.bottom, measured.right - measured.left,
                measured.bottom - measured.top, metrics.tmHeight);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK TextFitHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT request = RegisterWindowMessageW(L"winprobe.textfit");
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && message && message->message == request) {
    wchar_t name[64];
    swprintf(name, 64, L"winprobe-textfit-%lu", static_cast<unsigned long>(message->wParam));
    HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
    if (mapping) {
      char* view = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kResultBytes));
      if (view) {
        Measure(message->hwnd, view);
        UnmapViewOfFile(view);
      }
      CloseHandle(mapping);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
