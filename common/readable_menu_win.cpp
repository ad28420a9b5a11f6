#include "common/readable_menu_win.h"

#include <algorithm>
#include <vector>

#include "common/font_fallback_win.h"
#include "common/text16.h"

namespace {

// The texts of the owner-drawn items: their item data points to them.
std::vector<const std::u16string*> gTexts;
CFontFallback gFonts;
HFONT gMenuFont = nullptr;

HFONT MenuFont() {
  if (!gMenuFont) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
      gMenuFont = CreateFontIndirectW(&metrics.lfMenuFont);
    }
    gFonts.SetBaseFont(gMenuFont);
  }
  return gMenuFont;
}

const std::u16string* ReadableText(ULONG_PTR data) {
  const auto* text = reinterpret_cast<const std::u16string*>(data);
  return std::find(gTexts.begin(), gTexts.end(), text) != gTexts.end() ? text : nullptr;
}

// The part before the tab and the part after it.
std::u16string Part(const std::u16string& text, bool right) {
  const size_t tab = text.find(u'\t');
  if (tab == std::u16string::npos) return right ? std::u16string() : text;
  return right ? text.substr(tab + 1) : text.substr(0, tab);
}

SIZE Extent(HDC dc, const std::u16string& text, UINT format) {
  RECT box = {};
  DrawTextW(dc, AsWide(text.c_str()), -1, &box, format | DT_CALCRECT | DT_SINGLELINE);
  return SIZE{box.right - box.left, box.bottom - box.top};
}

wchar_t Upper(wchar_t c) {
  return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}

}  // namespace

bool InsertReadableItem(HMENU menu, UINT position, UINT flags, UINT_PTR id, const std::u16string* text) {
  HDC dc = CreateCompatibleDC(nullptr);
  const bool readable = CFontFallback::MissingGlyphs(dc, MenuFont(), *text) == 0;
  DeleteDC(dc);
  if (!readable && std::find(gTexts.begin(), gTexts.end(), text) == gTexts.end()) gTexts.push_back(text);
  // An owner-drawn item keeps its text too, which screen readers read.
  MENUITEMINFOW item = {};
  item.cbSize = sizeof item;
  item.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_DATA | MIIM_ID | MIIM_STATE;
  item.fType = readable ? MFT_STRING : MFT_OWNERDRAW;
  item.fState = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
  item.wID = static_cast<UINT>(id);
  item.dwItemData = readable ? 0 : reinterpret_cast<ULONG_PTR>(text);
  item.dwTypeData = const_cast<LPWSTR>(AsWide(text->c_str()));
  return InsertMenuItemW(menu, position, TRUE, &item) != 0;
}

bool MeasureReadableItem(MEASUREITEMSTRUCT* item) {
  if (!item || item->CtlType != ODT_MENU) return false;
  const std::u16string* text = ReadableText(item->itemData);
  if (!text) return false;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, gFonts.FontFor(dc, *text));
  const SIZE left = Extent(dc, Part(*text, false), 0);
  const SIZE right = Extent(dc, Part(*text, true), 0);
  SelectObject(dc, previous);
  DeleteDC(dc);
  const int check = GetSystemMetrics(SM_CXMENUCHECK);
  item->itemWidth = static_cast<UINT>(left.cx + right.cx + 3 * check);
  item->itemHeight = static_cast<UINT>(std::max<LONG>(GetSystemMetrics(SM_CYMENU), left.cy + 6));
  return true;
}

bool DrawReadableItem(const DRAWITEMSTRUCT* item) {
  if (!item || item->CtlType != ODT_MENU) return false;
  const std::u16string* text = ReadableText(item->itemData);
  if (!text) return false;
  const bool selected = (item->itemState & ODS_SELECTED) != 0;
  FillRect(item->hDC, &item->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  const int colour = (item->itemState & ODS_GRAYED) ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
  SetTextColor(item->hDC, GetSysColor(colour));
  SetBkMode(item->hDC, TRANSPARENT);
  HGDIOBJ previous = SelectObject(item->hDC, gFonts.FontFor(item->hDC, *text));
  const int check = GetSystemMetrics(SM_CXMENUCHECK);
  RECT box = item->rcItem;
  box.left += check;
  box.right -= check;
  const UINT format = DT_SINGLELINE | DT_VCENTER |
                      ((item->itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0);
  DrawTextW(item->hDC, AsWide(Part(*text, false).c_str()), -1, &box, format | DT_LEFT);
  DrawTextW(item->hDC, AsWide(Part(*text, true).c_str()), -1, &box, format | DT_RIGHT);
  SelectObject(item->hDC, previous);
  return true;
}

LRESULT ReadableMenuChar(WPARAM wParam, LPARAM lParam) {
  const wchar_t key = Upper(static_cast<wchar_t>(LOWORD(wParam)));
  HMENU menu = reinterpret_cast<HMENU>(lParam);
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA | MIIM_FTYPE;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info) || !(info.fType & MFT_OWNERDRAW)) continue;
    const std::u16string* text = ReadableText(info.dwItemData);
    const size_t mark = text ? text->find(u'&') : std::u16string::npos;
    if (mark == std::u16string::npos || mark + 1 >= text->size()) continue;
    if (Upper(static_cast<wchar_t>((*text)[mark + 1])) == key) return MAKELRESULT(i, MNC_EXECUTE);
  }
  return 0;
}
