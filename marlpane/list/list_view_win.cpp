#include "marlpane/list/list_view.h"

#include <cstdio>
#include <cstdlib>

#include "common/text16.h"
#include "marlpane/list/cell_style_store.h"
#include "marlpane/rows/number_text.h"

namespace {

int ClampDigits(int digits) { return digits < 0 ? 0 : digits > 40 ? 40 : digits; }

}  // namespace

CListView::CListView() {
  INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&init);
}

CListView::~CListView() = default;

void CListView::Attach(HWND list) {
  list_ = list;
  itemCount_ = 0;
  columnCount_ = 0;
  if (!list_) return;
  const LRESULT items = SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0);
  itemCount_ = items > 0 ? static_cast<uint32_t>(items) : 0;
  HWND header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
  const LRESULT columns = header ? SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) : 0;
  columnCount_ = columns > 0 ? static_cast<uint32_t>(columns) : 0;
}

bool CListView::Create(HWND parent, int x, int y, int width, int height, bool header,
                       bool singleSelection, bool noSortHeader) {
  DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT;
  if (!header) style |= LVS_NOCOLUMNHEADER;
  if (singleSelection) style |= LVS_SINGLESEL;
  if (noSortHeader) style |= LVS_NOSORTHEADER;
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", style, x, y, width, height, parent, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (!list) return false;
  Attach(list);
  SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extendedStyles_);
  return true;
}

void CListView::DeleteAllItems() {
  if (list_) SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
  itemCount_ = 0;
}

void CListView::SetImageListsMergeStyles(HIMAGELIST small, HIMAGELIST normal) {
  DeleteAllItems();
  if (!list_) return;
  if (small) SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(small));
  if (normal) SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(normal));
  const DWORD current = static_cast<DWORD>(SendMessageW(list_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  extendedStyles_ |= current;
  SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extendedStyles_);
}

void CListView::SetImageListsAndColours(HIMAGELIST small, HIMAGELIST normal, COLORREF background,
                                        COLORREF textBackground, COLORREF text) {
  DeleteAllItems();
  if (!list_) return;
  if (small) SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(small));
  if (normal) SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(normal));
  SendMessageW(list_, LVM_SETBKCOLOR, 0, background);
  SendMessageW(list_, LVM_SETTEXTBKCOLOR, 0, textBackground);
  SendMessageW(list_, LVM_SETTEXTCOLOR, 0, text);
  SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extendedStyles_);
}

void CListView::SetSmallImageList(HIMAGELIST small) {
  if (list_) SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(small));
}

int CListView::AddColumn(const char16_t* title, int alignment, int image) {
  const int width = static_cast<int>(TextLength(title)) * characterWidth_ + 4;
  return InsertColumn(title, width, alignment, image);
}

int CListView::InsertColumn(const char16_t* title, int width, int alignment, int image) {
  if (!list_) return -1;
  LVCOLUMNW column = {};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  column.fmt = alignment == kAlignCentre ? LVCFMT_CENTER
               : alignment == kAlignRight ? LVCFMT_RIGHT
                                          : LVCFMT_LEFT;
  if (image >= 0) {
    column.mask |= LVCF_IMAGE;
    column.fmt |= LVCFMT_IMAGE;
    if (alignment == kAlignRight) column.fmt |= LVCFMT_BITMAP_ON_RIGHT;
    column.iImage = image;
  }
  column.cx = width;
  column.pszText = const_cast<wchar_t*>(AsWide(title ? title : u""));
  column.iSubItem = static_cast<int>(columnCount_);
  const LRESULT index = SendMessageW(list_, LVM_INSERTCOLUMNW, columnCount_,
                                     reinterpret_cast<LPARAM>(&column));
  if (index < 0) return -1;
  ++columnCount_;
  return static_cast<int>(index);
}

int CListView::AppendItem(const char16_t* text, int image, LPARAM data) {
  if (!list_) return -1;
  LVITEMW item = {};
  item.mask = LVIF_PARAM;
  item.iItem = static_cast<int>(itemCount_);
  item.lParam = data;
  if (text) {
    item.mask |= LVIF_TEXT;
    item.pszText = const_cast<wchar_t*>(AsWide(text));
  }
  if (image >= 0) {
    item.mask |= LVIF_IMAGE;
    item.iImage = image;
  }
  const LRESULT index = SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  if (index < 0) return -1;
  ++itemCount_;
  return static_cast<int>(index);
}

bool CListView::SetItemData(int item, LPARAM data) {
  if (!list_) return false;
  LVITEMW lv = {};
  lv.mask = LVIF_PARAM;
  lv.iItem = item;
  lv.lParam = data;
  return SendMessageW(list_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&lv)) != 0;
}

LPARAM CListView::GetItemData(int item) {
  if (!list_) return 0;
  LVITEMW lv = {};
  lv.mask = LVIF_PARAM;
  lv.iItem = item;
  if (!SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&lv))) return 0;
  return lv.lParam;
}

bool CListView::DeleteItem(int item) {
  if (!list_ || item < 0) return false;
  if (!SendMessageW(list_, LVM_DELETEITEM, item, 0)) return false;
  if (itemCount_ > 0) --itemCount_;
  Redraw();
  return true;
}

bool CListView::DeleteSelectedItem() {
  const int mark = GetSelectionMark();
  return mark >= 0 && DeleteItem(mark);
}

bool CListView::SetCellImage(int item, int column, int image) {
  return SetCell(item, column, nullptr, image);
}

bool CListView::SetCellText(int item, int column, const char16_t* text) {
  if (!list_ || item < 0 || column < 0) return false;
  LVITEMW lv = {};
  lv.iSubItem = column;
  lv.pszText = const_cast<wchar_t*>(AsWide(text ? text : u""));
  return SendMessageW(list_, LVM_SETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lv)) != 0;
}

bool CListView::SetCell(int item, int column, const char16_t* text, int image) {
  if (!list_ || item < 0 || column < 0) return false;
  LVITEMW lv = {};
  lv.iItem = item;
  lv.iSubItem = column;
  if (text) {
    lv.mask |= LVIF_TEXT;
    lv.pszText = const_cast<wchar_t*>(AsWide(text));
  }
  if (image >= 0) {
    lv.mask |= LVIF_IMAGE;
    lv.iImage = image;
  }
  if (!lv.mask) return true;
  return SendMessageW(list_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&lv)) != 0;
}

bool CListView::GetCellText(int item, int column, char16_t* buffer, int capacity) {
  if (!buffer || capacity <= 0) return false;
  buffer[0] = 0;
  if (!list_ || item < 0 || column < 0) return false;
  LVITEMW lv = {};
  lv.mask = LVIF_TEXT;
  lv.iItem = item;
  lv.iSubItem = column;
  lv.pszText = AsWide(buffer);
  lv.cchTextMax = capacity;
  if (!SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&lv))) return false;
  // The control may answer with a pointer to its own copy instead.
  if (lv.pszText != AsWide(buffer)) {
    int i = 0;
    for (; lv.pszText && lv.pszText[i] && i + 1 < capacity; ++i)
      buffer[i] = static_cast<char16_t>(lv.pszText[i]);
    buffer[i] = 0;
  }
  buffer[capacity - 1] = 0;
  return true;
}

bool CListView::SetCellInteger(int item, int column, int value, int digits) {
  char16_t text[64];
  FormatWholeNumber(value, static_cast<unsigned>(ClampDigits(digits)), text, 64);
  return SetCellText(item, column, text);
}

int CListView::GetCellInteger(int item, int column) {
  char16_t text[kNumberTextCapacity];
  if (!GetCellText(item, column, text, kNumberTextCapacity)) return 0;
  int32_t value = 0;
  return ReadWholeNumber(text, 20, &value) ? value : 0;
}

bool CListView::SetCellReal(int item, int column, double value, int intDigits, int decimals) {
  const int places = ClampDigits(decimals);
  const int width = ClampDigits(intDigits) + places + 1;
  char format[24], ascii[400];
  std::snprintf(format, sizeof format, "%%0%d.%df", width, places);
  std::snprintf(ascii, sizeof ascii, format, value);
  char16_t text[400];
  WidenAscii(ascii, text, 400);
  return SetCellText(item, column, text);
}

double CListView::GetCellReal(int item, int column) {
  char16_t text[kNumberTextCapacity];
  if (!GetCellText(item, column, text, kNumberTextCapacity)) return 0;
  float value = 0;
  return ReadRealNumber(text, 0, &value) ? value : 0;
}

bool CListView::GetColumnTitle(int column, char16_t* buffer, int capacity) {
  if (!buffer || capacity <= 0) return false;
  buffer[0] = 0;
  if (!list_) return false;
  LVCOLUMNW lc = {};
  lc.mask = LVCF_TEXT;
  lc.pszText = AsWide(buffer);
  lc.cchTextMax = capacity;
  const bool ok = SendMessageW(list_, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&lc)) != 0;
  buffer[capacity - 1] = 0;
  return ok;
}

int CListView::GetColumnWidth(int column) {
  if (!list_) return 0;
  LVCOLUMNW lc = {};
  lc.mask = LVCF_WIDTH;
  if (!SendMessageW(list_, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&lc))) return 0;
  return lc.cx;
}

bool CListView::SetColumnWidth(int column, int width) {
  if (!list_) return false;
  return SendMessageW(list_, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0)) != 0;
}

void CListView::Redraw() {
  if (list_) RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE);
}

void CListView::SetExtendedStyle(DWORD style, bool on) {
  extendedStyles_ = on ? (extendedStyles_ | style) : (extendedStyles_ & ~style);
  if (list_) SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, style, on ? style : 0);
}

void CListView::ShowGridLines(bool on) { SetExtendedStyle(LVS_EX_GRIDLINES, on); }
void CListView::FlatScrollBars(bool on) { SetExtendedStyle(LVS_EX_FLATSB, on); }
void CListView::HeaderDragDrop(bool on) { SetExtendedStyle(LVS_EX_HEADERDRAGDROP, on); }
void CListView::InfoTips(bool on) { SetExtendedStyle(LVS_EX_INFOTIP, on); }

int CListView::GetSelectionMark() {
  if (!list_) return -1;
  return static_cast<int>(SendMessageW(list_, LVM_GETSELECTIONMARK, 0, 0));
}

bool CListView::IsColumnClick(const NMHDR* header, int* column) {
  if (!list_ || !header || header->hwndFrom != list_ || header->code != LVN_COLUMNCLICK)
    return false;
  if (column) *column = reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem;
  return true;
}

bool CListView::IsItemActivation(const NMHDR* header, UINT code, int* item, int* column) {
  if (!list_ || !header || header->hwndFrom != list_ || header->code != code) return false;
  const auto* activation = reinterpret_cast<const NMITEMACTIVATE*>(header);
  // Where the click landed, asked of the control: the notification's own
  // item fields are not filled for a click beside the first column by every
  // version of the control.
  LVHITTESTINFO hit = {};
  hit.pt = activation->ptAction;
  SendMessageW(list_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if (item) *item = hit.iItem;
  if (column) *column = hit.iItem >= 0 ? hit.iSubItem : activation->iSubItem;
  return true;
}

bool CListView::IsClick(const NMHDR* header, int* item, int* column) {
  return IsItemActivation(header, NM_CLICK, item, column);
}

bool CListView::IsRightClick(const NMHDR* header, int* item, int* column) {
  return IsItemActivation(header, NM_RCLICK, item, column);
}

bool CListView::IsDoubleClick(const NMHDR* header, int* item, int* column) {
  return IsItemActivation(header, NM_DBLCLK, item, column);
}

bool CListView::IsItemChanged(const NMHDR* header, int* item, int* column) {
  if (!list_ || !header || header->hwndFrom != list_ || header->code != LVN_ITEMCHANGED)
    return false;
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
  if (change->uNewState == 0) return false;
  if (item) *item = change->iItem;
  if (column) *column = change->iSubItem;
  return true;
}

void CListView::FitLastColumnToItem() {
  if (!list_ || columnCount_ == 0) return;
  const int last = static_cast<int>(columnCount_) - 1;
  RECT cell = {};
  cell.top = last;
  cell.left = LVIR_BOUNDS;
  int width = 0;
  if (SendMessageW(list_, LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&cell)))
    width = cell.right - cell.left;
  SetColumnWidth(last, width < 10 ? 10 : width);
}

void CListView::EqualColumns(int minimum) {
  if (!list_ || columnCount_ == 0) return;
  RECT window = {};
  GetWindowRect(list_, &window);
  int width = (window.right - window.left - 30) / static_cast<int>(columnCount_);
  if (width < minimum) width = minimum;
  for (uint32_t c = 0; c < columnCount_; ++c) SetColumnWidth(static_cast<int>(c), width);
}

void CListView::StretchLastColumn(int minimum) {
  if (!list_ || columnCount_ == 0) return;
  RECT client = {};
  GetClientRect(list_, &client);
  const int last = static_cast<int>(columnCount_) - 1;
  int others = 0;
  for (int c = 0; c < last; ++c) others += GetColumnWidth(c);
  SetColumnWidth(last, StretchedLastColumnWidth(client.right - client.left, others, minimum));
}

void CListView::BeginBulkInsert(int expectedItems) {
  if (!list_) return;
  if (bulkDepth_++ == 0) SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  if (expectedItems > 0) {
    // Pre-sizes the control's item array; LVSICF_NOINVALIDATEALL keeps the
    // rows already shown.
    SendMessageW(list_, LVM_SETITEMCOUNT, itemCount_ + static_cast<uint32_t>(expectedItems),
                 LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  }
}

void CListView::EndBulkInsert() {
  if (!list_ || bulkDepth_ == 0) return;
  if (--bulkDepth_ > 0) return;
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}
