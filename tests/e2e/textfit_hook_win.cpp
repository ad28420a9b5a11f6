// winprobe_textfit.dll: measures a control's text inside the control's own
// process, where the font the control reports (WM_GETFONT) is valid.
// winprobe installs TextFitHook on the control's thread and sends the
// registered message "winprobe.textfit" to each control, with its own
// process id as wParam; the hook writes one line per control into the
// shared memory "winprobe-textfit-<pid>":
//   id visible width height textwidth textheight fontheight
// (the text wrapped at the control's width as a static control draws it).
//
// winprobe glyphs installs TextFitHook and GlyphHook (WH_CALLWNDPROCRET) on
// a list-view control's thread and sends it "winprobe.glyphs": the list is
// painted at once, and after its parent has answered each cell's custom-draw
// notification the font then selected into the drawing context (the one
// the control draws the cell in) is asked for a glyph of every character of
// the cell's text. One line per cell into "winprobe-glyphs-<pid>":
//   row column face missing text
//
// winprobe menu sends "winprobe.menu" to an open menu's window (#32768):
// the hook writes the text of each of its items, one per line, into
// "winprobe-menu-<pid>" (menus, like fonts, are read only in their process).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
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

constexpr DWORD kGlyphBytes = 64 * 1024;

// While the list paints for winprobe glyphs: the list and where its cells go.
HWND gGlyphList = nullptr;
char* gGlyphOut = nullptr;
size_t gGlyphUsed = 0;

void AppendUtf8(const wchar_t* text, int length, char* out, size_t room) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, length, out, static_cast<int>(room) - 1, nullptr, nullptr);
  out[n > 0 ? n : 0] = 0;
}

void RecordCell(const NMLVCUSTOMDRAW* draw) {
  wchar_t text[1024] = {};
  LVITEMW item = {};
  item.iSubItem = draw->iSubItem;
  item.pszText = text;
  item.cchTextMax = 1024;
  const int length = static_cast<int>(SendMessageW(gGlyphList, LVM_GETITEMTEXTW, draw->nmcd.dwItemSpec,
                                                   reinterpret_cast<LPARAM>(&item)));
  WORD glyphs[1024] = {};
  int missing = 0;
  if (length > 0 &&
      GetGlyphIndicesW(draw->nmcd.hdc, text, length, glyphs, GGI_MARK_NONEXISTING_GLYPHS) != GDI_ERROR) {
    for (int i = 0; i < length; ++i) {
      const bool judged = text[i] >= 0x20 && (text[i] < 0xD800 || text[i] > 0xDFFF);
      missing += judged && glyphs[i] == 0xFFFF;
    }
  }
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(draw->nmcd.hdc, LF_FACESIZE, face);
  char line[3200];
  char faceUtf8[100];
  char textUtf8[3100];
  AppendUtf8(face, -1, faceUtf8, sizeof faceUtf8);
  AppendUtf8(text, length, textUtf8, sizeof textUtf8);
  const int n = std::snprintf(line, sizeof line, "%d\t%d\t%s\t%d\t%s\n", static_cast<int>(draw->nmcd.dwItemSpec),
                              draw->iSubItem, faceUtf8, missing, textUtf8);
  if (n > 0 && gGlyphUsed + static_cast<size_t>(n) < kGlyphBytes) {
    std::memcpy(gGlyphOut + gGlyphUsed, line, static_cast<size_t>(n) + 1);
    gGlyphUsed += static_cast<size_t>(n);
  }
}

void PaintForGlyphs(HWND list, DWORD pid) {
  wchar_t name[64];
  swprintf(name, 64, L"winprobe-glyphs-%lu", static_cast<unsigned long>(pid));
  HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
  if (!mapping) return;
  gGlyphOut = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kGlyphBytes));
  if (gGlyphOut) {
    gGlyphOut[0] = 0;
    gGlyphUsed = 0;
    gGlyphList = list;
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    gGlyphList = nullptr;
    UnmapViewOfFile(gGlyphOut);
    gGlyphOut = nullptr;
  }
  CloseHandle(mapping);
}

void WriteMenu(HWND window, DWORD pid) {
  wchar_t name[64];
  swprintf(name, 64, L"winprobe-menu-%lu", static_cast<unsigned long>(pid));
  HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
  if (!mapping) return;
  char* out = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kGlyphBytes));
  if (out) {
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
    size_t used = 0;
    out[0] = 0;
    for (int i = 0; menu && i < GetMenuItemCount(menu) && used + 1024 < kGlyphBytes; ++i) {
      // The item's text also when its window draws it.
      wchar_t text[256] = {};
      MENUITEMINFOW item = {};
      item.cbSize = sizeof item;
      item.fMask = MIIM_STRING;
      item.dwTypeData = text;
      item.cch = 256;
      AppendUtf8(text, GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item) ? -1 : 0, out + used, 1000);
      used += std::strlen(out + used);
      out[used++] = '\n';
      out[used] = 0;
    }
    UnmapViewOfFile(out);
  }
  CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK GlyphHook(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && message && gGlyphOut && message->message == WM_NOTIFY) {
    const auto* draw = reinterpret_cast<const NMLVCUSTOMDRAW*>(message->lParam);
    if (draw && draw->nmcd.hdr.hwndFrom == gGlyphList && draw->nmcd.hdr.code == NM_CUSTOMDRAW &&
        draw->nmcd.dwDrawStage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
      RecordCell(draw);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK TextFitHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT request = RegisterWindowMessageW(L"winprobe.textfit");
  static const UINT glyphs = RegisterWindowMessageW(L"winprobe.glyphs");
  static const UINT menu = RegisterWindowMessageW(L"winprobe.menu");
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && message && message->message == menu) {
    WriteMenu(message->hwnd, static_cast<DWORD>(message->wParam));
  }
  if (code == HC_ACTION && message && message->message == glyphs) {
    PaintForGlyphs(message->hwnd, static_cast<DWORD>(message->wParam));
  }
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
