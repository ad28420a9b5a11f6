// winprobe: what another program's windows show, for tests that drive a
// program from outside (they click and type through the X server and read
// back here what a person would see).
//
//   winprobe top PID          the process's top-level windows
//   winprobe find TEXT        the top-level windows whose title holds TEXT
//   winprobe tree HWND        the window and all its descendants
//   winprobe list HWND        the rows of a list-view control
//   winprobe kill PID         ends the process (a test that gave up on it)
//   winprobe client HWND      the window's client area: left top width height
//                             (screen coordinates)
//   winprobe columns HWND     the column widths of a list-view control, one a line
//   winprobe itemrects HWND   each row of a list-view control: row left top width
//                             height (screen coordinates of the whole row)
//   winprobe style HWND       the window's style and extended style, in hex
//   winprobe textfit HWND     each child window with a text, measured as a
//                             static control draws it with the font it has
//                             (WM_GETFONT): id visible width height textwidth
//                             textheight fontheight (the text wrapped at the
//                             control's width; client pixels)
//   winprobe glyphs HWND      each cell of a list-view control in view, as it
//                             is drawn: row column face missing text (the
//                             face of the font the cell is drawn in, and how
//                             many characters of its text that font has no
//                             glyph for: GetGlyphIndicesW)
//   winprobe menu HWND        the items' texts of the open menu whose window
//                             (#32768) that is, one per line
//   winprobe type TEXT        types TEXT into the focused window through
//                             SendInput, one character each (KEYEVENTF_UNICODE):
//                             for characters the X keyboard has no key for
//   winprobe textinfont HWND FACE POINTS DPI
//                             the control's text measured in the font FACE:
//                             font line height, wrapped height, width
//   winprobe dpichanged HWND DPI LEFT TOP WIDTH HEIGHT
//                             sends WM_DPICHANGED with that suggested rectangle
//   winprobe acc HWND [ROWS]  what a screen reader learns of the window through
//                             Active Accessibility (AccessibleObjectFromWindow,
//                             its client object): child role name value, the
//                             window itself as child 0, then the children 1
//                             to ROWS (without ROWS as many as it reports)
//   winprobe hold PATH MS     opens the file without sharing, prints "held PID"
//                             and keeps it open for MS milliseconds (or until
//                             killed), as a program writing it does
//
// One line per window, tab-separated, UTF-8:
//   top/tree: hwnd parent id visible enabled left top width height class text
//             (screen coordinates; the text as WM_GETTEXT gives it)
//   list:     row selected column0 image1 column1 [column2 ...] (image1:
//             the value column's image, -1 for none; texts with CR, LF and
//             TAB written as \r, \n and \t)
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

std::wstring Escaped(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text) {
    if (c == L'\r') out += L"\\r";
    else if (c == L'\n') out += L"\\n";
    else if (c == L'\t') out += L"\\t";
    else if (c == L'\\') out += L"\\\\";
    else out += c;
  }
  return out;
}

std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return L"";
  std::vector<wchar_t> text(length + 2);
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 2000, &copied);
  return std::wstring(text.data());
}

void PrintWindow(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  wchar_t className[256] = {};
  GetClassNameW(window, className, 256);
  std::wstring line = std::to_wstring(reinterpret_cast<uintptr_t>(window)) + L"\t" +
                      std::to_wstring(reinterpret_cast<uintptr_t>(GetAncestor(window, GA_PARENT))) + L"\t" +
                      std::to_wstring(GetDlgCtrlID(window)) + L"\t" +
                      (IsWindowVisible(window) ? L"1" : L"0") + L"\t" +
                      (IsWindowEnabled(window) ? L"1" : L"0") + L"\t" + std::to_wstring(r.left) + L"\t" +
                      std::to_wstring(r.top) + L"\t" + std::to_wstring(r.right - r.left) + L"\t" +
                      std::to_wstring(r.bottom - r.top) + L"\t" + className + L"\t" +
                      Escaped(TextOf(window));
  std::printf("%s\n", Utf8(line).c_str());
}

BOOL CALLBACK PrintChild(HWND window, LPARAM) {
  PrintWindow(window);
  return TRUE;
}

// Top-level windows of one process, or whose title holds a text.
struct TopSearch {
  DWORD pid;
  std::wstring title;
};

BOOL CALLBACK PrintTop(HWND window, LPARAM parameter) {
  const auto* search = reinterpret_cast<TopSearch*>(parameter);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  const bool match = search->title.empty() ? pid == search->pid
                                           : TextOf(window).find(search->title) != std::wstring::npos;
  if (match) PrintWindow(window);
  return TRUE;
}

// Reads the list's rows through a buffer in the list's own process.
int PrintList(HWND list) {
  DWORD pid = 0;
  GetWindowThreadProcessId(list, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return 1;
  constexpr size_t kTextChars = 5000;
  const size_t size = sizeof(LVITEMW) + kTextChars * sizeof(wchar_t);
  auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
  if (!remote) return 1;
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  const int headerColumns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  const int columns = headerColumns > 2 ? headerColumns : 2;
  for (int row = 0; row < rows; ++row) {
    std::wstring line = std::to_wstring(row);
    const UINT state = static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED));
    line += (state & LVIS_SELECTED) ? L"\t1" : L"\t0";
    for (int column = 0; column < columns; ++column) {
      LVITEMW item = {};
      item.mask = LVIF_TEXT | LVIF_IMAGE;
      item.iItem = row;
      item.iSubItem = column;
      item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
      item.cchTextMax = kTextChars;
      item.iImage = -1;
      WriteProcessMemory(process, remote, &item, sizeof(item), nullptr);
      SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote));
      std::vector<wchar_t> text(kTextChars);
      ReadProcessMemory(process, remote, &item, sizeof(item), nullptr);
      ReadProcessMemory(process, remote + sizeof(LVITEMW), text.data(), kTextChars * sizeof(wchar_t), nullptr);
      text.back() = 0;
      // The value column's type icon stands before its text.
      if (column == 1) line += L"\t" + std::to_wstring(item.iImage);
      line += L"\t" + Escaped(text.data());
    }
    std::printf("%s\n", Utf8(line).c_str());
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return 0;
}

int PrintClient(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  std::printf("%ld\t%ld\t%ld\t%ld\n", origin.x, origin.y, client.right - client.left,
              client.bottom - client.top);
  return 0;
}

int PrintColumns(HWND list) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  const int columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  for (int column = 0; column < columns; ++column)
    std::printf("%d\n", static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0)));
  return 0;
}

int PrintItemRects(HWND list) {
  DWORD pid = 0;
  GetWindowThreadProcessId(list, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return 1;
  auto* remote = static_cast<RECT*>(VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE));
  if (!remote) return 1;
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) {
    RECT r = {};
    r.left = LVIR_BOUNDS;
    WriteProcessMemory(process, remote, &r, sizeof(r), nullptr);
    SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, remote, &r, sizeof(r), nullptr);
    MapWindowPoints(list, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
    std::printf("%d\t%ld\t%ld\t%ld\t%ld\n", row, r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return 0;
}

// Font handles belong to their process (under Wine too): the text is
// measured inside the control's process by winprobe_textfit.dll, hooked into
// the control's thread, which answers through shared memory.
struct TextFitProbe {
  UINT request;
  char* result;
};

BOOL CALLBACK PrintTextFit(HWND control, LPARAM parameter) {
  const auto* probe = reinterpret_cast<const TextFitProbe*>(parameter);
  if (TextOf(control).empty()) return TRUE;
  probe->result[0] = 0;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(control, probe->request, GetCurrentProcessId(), 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  if (probe->result[0]) std::printf("%s\n", probe->result);
  return TRUE;
}

// The hook library beside winprobe.exe, with the export named.
HOOKPROC HookFunction(const char* name) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dll(path, length);
  dll = dll.substr(0, dll.rfind(L'\\') + 1) + L"winprobe_textfit.dll";
  HMODULE module = LoadLibraryW(dll.c_str());
  auto hook = module ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
  if (!hook) std::fprintf(stderr, "winprobe: cannot load %ls\n", dll.c_str());
  return hook;
}

HMODULE HookModule(HOOKPROC hook) {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(hook)), &module);
  return module;
}

int PrintTextFits(HWND window) {
  HOOKPROC hook = HookFunction("TextFitHook");
  if (!hook) return 1;
  HMODULE module = HookModule(hook);
  const std::wstring name = L"winprobe-textfit-" + std::to_wstring(GetCurrentProcessId());
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 256, name.c_str());
  char* result = mapping ? static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 256)) : nullptr;
  HHOOK installed = result ? SetWindowsHookExW(WH_CALLWNDPROC, hook, module, GetWindowThreadProcessId(window, nullptr))
                           : nullptr;
  if (installed) {
    TextFitProbe probe{RegisterWindowMessageW(L"winprobe.textfit"), result};
    EnumChildWindows(window, PrintTextFit, reinterpret_cast<LPARAM>(&probe));
    UnhookWindowsHookEx(installed);
  }
  if (result) UnmapViewOfFile(result);
  if (mapping) CloseHandle(mapping);
  return installed ? 0 : 1;
}

// winprobe glyphs HWND and menu HWND: the window asked with the registered
// message "winprobe.<what>" through the library's hooks on its thread (for
// glyphs also the one that sees the list's cells drawn), which write the
// answer into shared memory.
int PrintAnswerInProcess(HWND window, const wchar_t* what, bool cells) {
  HOOKPROC request = HookFunction("TextFitHook");
  HOOKPROC record = cells ? HookFunction("GlyphHook") : nullptr;
  if (!request || (cells && !record)) return 1;
  HMODULE module = HookModule(request);
  constexpr DWORD kBytes = 64 * 1024;
  const std::wstring name = L"winprobe-" + std::wstring(what) + L"-" + std::to_wstring(GetCurrentProcessId());
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBytes, name.c_str());
  char* result = mapping ? static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kBytes)) : nullptr;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  HHOOK sent = result ? SetWindowsHookExW(WH_CALLWNDPROC, request, module, thread) : nullptr;
  HHOOK answered = sent && cells ? SetWindowsHookExW(WH_CALLWNDPROCRET, record, module, thread) : nullptr;
  const bool hooked = sent && (!cells || answered);
  if (hooked) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, RegisterWindowMessageW((L"winprobe." + std::wstring(what)).c_str()),
                        GetCurrentProcessId(), 0, SMTO_ABORTIFHUNG, 10000, &ignored);
    result[kBytes - 1] = 0;
    std::fputs(result, stdout);
  }
  if (answered) UnhookWindowsHookEx(answered);
  if (sent) UnhookWindowsHookEx(sent);
  if (result) UnmapViewOfFile(result);
  if (mapping) CloseHandle(mapping);
  return hooked ? 0 : 1;
}

// winprobe textinfont HWND FACE POINTS DPI: what the control's text needs in
// the font FACE of POINTS points at DPI (the font handle of another process
// cannot be read here), one line: the font's line height (tmHeight), the
// height of the control's text wrapped at its client width as a static
// control wraps it, and the width that text takes.
int PrintTextInFont(HWND control, const wchar_t* face, int points, int dpi) {
  LOGFONTW description = {};
  description.lfHeight = -MulDiv(points, dpi, 72);
  description.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(description.lfFaceName, face, LF_FACESIZE);
  HFONT font = CreateFontIndirectW(&description);
  HDC context = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(context, font);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(context, &metrics);
  RECT client = {};
  GetClientRect(control, &client);
  RECT needed = {0, 0, client.right - client.left, 0};
  const std::wstring text = TextOf(control);
  if (!text.empty()) {
    DrawTextW(context, text.c_str(), -1, &needed,
              DT_CALCRECT | DT_WORDBREAK | DT_CENTER | DT_EXPANDTABS | DT_NOPREFIX);
  }
  SelectObject(context, old);
  DeleteDC(context);
  DeleteObject(font);
  std::printf("%ld\t%ld\t%ld\n", static_cast<long>(metrics.tmHeight),
              static_cast<long>(needed.bottom - needed.top), static_cast<long>(needed.right - needed.left));
  return 0;
}

// winprobe dpichanged HWND DPI LEFT TOP WIDTH HEIGHT: sends the window
// WM_DPICHANGED as the system does when it moves to a monitor of another
// DPI, the suggested rectangle in a buffer of the window's own process.
int SendDpiChanged(HWND window, int dpi, const RECT& suggested) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return 1;
  auto* remote = static_cast<RECT*>(VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE));
  if (!remote) {
    CloseHandle(process);
    return 1;
  }
  WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr);
  DWORD_PTR answer = 0;
  const bool sent = SendMessageTimeoutW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                                        reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 10000,
                                        &answer) != 0;
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return sent ? 0 : 1;
}

int TypeText(const std::wstring& text) {
  std::vector<INPUT> inputs;
  for (wchar_t c : text) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = c;
    input.ki.dwFlags = KEYEVENTF_UNICODE;
    inputs.push_back(input);
    input.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  return sent == inputs.size() ? 0 : 1;
}

// The clipboard's Unicode text, escaped as the list texts are; nothing when
// it holds none.
int PrintClipboard() {
  if (!OpenClipboard(nullptr)) return 1;
  std::wstring text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  std::printf("%s\n", Utf8(Escaped(text)).c_str());
  return 0;
}

std::wstring Answer(HRESULT result, BSTR text) {
  std::wstring out = SUCCEEDED(result) && text ? std::wstring(text, SysStringLen(text)) : std::wstring();
  SysFreeString(text);
  return Escaped(out);
}

int PrintAccessible(HWND window, long rows) {
  CoInitialize(nullptr);
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&object))) || !object) {
    std::fprintf(stderr, "winprobe: no accessible object\n");
    return 1;
  }
  long count = rows;
  if (count < 0 && FAILED(object->get_accChildCount(&count))) count = 0;
  for (long child = 0; child <= count; ++child) {
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = child;
    BSTR name = nullptr;
    BSTR value = nullptr;
    VARIANT role;
    VariantInit(&role);
    const HRESULT named = object->get_accName(id, &name);
    const HRESULT valued = object->get_accValue(id, &value);
    const long roleId = SUCCEEDED(object->get_accRole(id, &role)) && role.vt == VT_I4 ? role.lVal : -1;
    VariantClear(&role);
    const std::wstring line = std::to_wstring(child) + L"\t" + std::to_wstring(roleId) + L"\t" +
                              Answer(named, name) + L"\t" + Answer(valued, value);
    std::printf("%s\n", Utf8(line).c_str());
  }
  object->Release();
  CoUninitialize();
  return 0;
}

int Usage() {
  std::fprintf(stderr, "usage: winprobe top PID | find TEXT | tree HWND | list HWND | kill PID | "
                       "client HWND | columns HWND | itemrects HWND | style HWND | textfit HWND | glyphs HWND | menu HWND | "
                       "textinfont HWND FACE POINTS DPI | dpichanged HWND DPI LEFT TOP WIDTH HEIGHT | "
                       "post HWND MESSAGE WPARAM LPARAM | type TEXT | hold PATH MS | clipboard | acc HWND [ROWS]\n");
  return 2;
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments || count < 2) return Usage();
  const std::wstring command = arguments[1];
  if (command == L"clipboard" && count == 2) return PrintClipboard();
  if (count < 3) return Usage();
  if (command == L"type" && count == 3) return TypeText(arguments[2]);
  if (command == L"post" && count == 6) {
    // Any program may post any message: the tests post what a stranger would.
    HWND target = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::wcstoull(arguments[2], nullptr, 10)));
    const UINT message = static_cast<UINT>(std::wcstoul(arguments[3], nullptr, 10));
    const WPARAM wParam = static_cast<WPARAM>(std::wcstoull(arguments[4], nullptr, 10));
    const LPARAM lParam = static_cast<LPARAM>(std::wcstoull(arguments[5], nullptr, 10));
    return PostMessageW(target, message, wParam, lParam) ? 0 : 1;
  }
  if (command == L"hold" && count == 4) {
    HANDLE file = CreateFileW(arguments[2], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    std::printf("held %lu\n", GetCurrentProcessId());
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(std::wcstoul(arguments[3], nullptr, 10)));
    CloseHandle(file);
    return 0;
  }
  if (command == L"textinfont" && count == 6) {
    HWND control = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::wcstoull(arguments[2], nullptr, 10)));
    return PrintTextInFont(control, arguments[3], static_cast<int>(std::wcstol(arguments[4], nullptr, 10)),
                        static_cast<int>(std::wcstol(arguments[5], nullptr, 10)));
  }
  if (command == L"dpichanged" && count == 8) {
    HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::wcstoull(arguments[2], nullptr, 10)));
    const auto number = [&](int i) { return static_cast<int>(std::wcstol(arguments[i], nullptr, 10)); };
    const RECT suggested = {number(4), number(5), number(4) + number(6), number(5) + number(7)};
    return SendDpiChanged(window, number(3), suggested);
  }
  if (command == L"acc" && (count == 3 || count == 4)) {
    HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::wcstoull(arguments[2], nullptr, 10)));
    return PrintAccessible(window, count == 4 ? std::wcstol(arguments[3], nullptr, 10) : -1);
  }
  if (count != 3) return Usage();
  const unsigned long long number = std::wcstoull(arguments[2], nullptr, 10);
  if (command == L"top" || command == L"find") {
    TopSearch search{static_cast<DWORD>(number), command == L"find" ? arguments[2] : L""};
    EnumWindows(PrintTop, reinterpret_cast<LPARAM>(&search));
    return 0;
  }
  if (command == L"kill") {
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(number));
    const bool ended = process && TerminateProcess(process, 1);
    if (process) CloseHandle(process);
    return ended ? 0 : 1;
  }
  HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(number));
  if (!IsWindow(window)) {
    std::fprintf(stderr, "winprobe: no window %llu\n", number);
    return 1;
  }
  if (command == L"tree") {
    PrintWindow(window);
    EnumChildWindows(window, PrintChild, 0);
    return 0;
  }
  if (command == L"list") return PrintList(window);
  if (command == L"client") return PrintClient(window);
  if (command == L"columns") return PrintColumns(window);
  if (command == L"itemrects") return PrintItemRects(window);
  if (command == L"textfit") {
    return PrintTextFits(window);
  }
  if (command == L"glyphs") return PrintAnswerInProcess(window, L"glyphs", true);
  if (command == L"menu") return PrintAnswerInProcess(window, L"menu", false);
  if (command == L"style") {
    std::printf("%08lx %08lx\n", static_cast<unsigned long>(GetWindowLongPtrW(window, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    return 0;
  }
  return Usage();
}
