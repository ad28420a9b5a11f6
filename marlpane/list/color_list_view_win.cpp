#include "marlpane/list/color_list_view.h"

#include "common/text16.h"

void CColorListView::Attach(HWND list) {
  CListView::Attach(list);
  styles_.Clear();
  for (uint32_t i = 0; i < itemCount_; ++i) styles_.AppendRow();
}

void CColorListView::DeleteAllItems() {
  CListView::DeleteAllItems();
  styles_.Clear();
}

void CColorListView::SetImageListsAndColours(HIMAGELIST small, HIMAGELIST normal,
                                             COLORREF background, COLORREF textBackground,
                                             COLORREF text) {
  CListView::SetImageListsAndColours(small, normal, background, textBackground, text);
  textColour_ = text;
  evenRowColour_ = background;
}

int CColorListView::AppendItem(const char16_t* text, int image, LPARAM data) {
  // The store row comes first: the control may paint the new item at once.
  if (!styles_.AppendRow()) return -1;
  const int index = CListView::AppendItem(text, image, data);
  if (index < 0 || static_cast<uint32_t>(index) + 1 != styles_.RowCount()) {
    styles_.RemoveRow(styles_.RowCount() - 1);
    if (index >= 0) CListView::DeleteItem(index);
    return -1;
  }
  return index;
}

bool CColorListView::DeleteItem(int item) {
  if (!CListView::DeleteItem(item)) return false;
  styles_.RemoveRow(static_cast<uint32_t>(item));
  return true;
}

int CColorListView::AppendItemWithColours(const char16_t* text, COLORREF background,
                                          COLORREF textColour) {
  const int index = AppendItem(text, -1, 0);
  if (index >= 0 && (background || textColour))
    styles_.SetCellColours(static_cast<uint32_t>(index), 0, textColour, background);
  return index;
}

bool CColorListView::FilterMessage(HWND, UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
  return FilterCustomDraw(message, lParam, result);
}

bool CColorListView::FilterCustomDraw(UINT message, LPARAM lParam, LRESULT* result) {
  if (message != WM_NOTIFY || !list_) return false;
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (!header || header->hwndFrom != list_ || header->code != NM_CUSTOMDRAW) return false;
  const LRESULT answer = CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
  if (result) *result = answer;
  return true;
}

namespace {
bool ValidCell(int item, int column) { return item >= 0 && column >= 0; }
}  // namespace

bool CColorListView::SetCellColours(int item, int column, COLORREF text, COLORREF background) {
  return ValidCell(item, column) && styles_.SetCellColours(item, column, text, background);
}

bool CColorListView::SetCellTextColour(int item, int column, COLORREF text) {
  return ValidCell(item, column) && styles_.SetCellTextColour(item, column, text);
}

bool CColorListView::SetCellBackground(int item, int column, COLORREF background) {
  return ValidCell(item, column) && styles_.SetCellBackground(item, column, background);
}

bool CColorListView::GetCellColours(int item, int column, COLORREF* text, COLORREF* background) {
  CellColours colours{0, 0};
  if (!ValidCell(item, column) || !styles_.GetCellColours(item, column, &colours)) return false;
  if (text) *text = colours.text;
  if (background) *background = colours.background;
  return true;
}

bool CColorListView::SetRowColours(int item, COLORREF text, COLORREF background) {
  return item >= 0 && styles_.SetRowColours(item, text, background);
}

bool CColorListView::SetRowTextColour(int item, COLORREF text) {
  return item >= 0 && styles_.SetRowTextColour(item, text);
}

bool CColorListView::SetRowBackground(int item, COLORREF background) {
  return item >= 0 && styles_.SetRowBackground(item, background);
}

bool CColorListView::SetTip(int item, const char16_t* tip) {
  return item >= 0 && styles_.SetTip(item, tip);
}

const char16_t* CColorListView::GetTip(int item) {
  return item >= 0 ? styles_.GetTip(item) : nullptr;
}

void CColorListView::ShowTip(int item, HWND window) {
  const char16_t* tip = GetTip(item);
  SetWindowTextW(window, AsWide(tip ? tip : u""));
}

LRESULT CColorListView::CustomDraw(NMLVCUSTOMDRAW* draw) {
  if (!draw) return CDRF_DODEFAULT;
  const DWORD stage = draw->nmcd.dwDrawStage;
  if (stage == CDDS_PREPAINT || stage == CDDS_ITEMPREPAINT) return CDRF_NOTIFYSUBITEMDRAW;
  if (stage != (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) return CDRF_DODEFAULT;

  const DWORD_PTR row = draw->nmcd.dwItemSpec;
  CellColours colours{0, 0};
  const bool hasRecord = draw->iSubItem >= 0 && row <= 0xFFFFFFFFu &&
                         styles_.GetCellColours(static_cast<uint32_t>(row),
                                                static_cast<uint32_t>(draw->iSubItem), &colours);
  // Rows left to the scheme show the list's own colours, set explicitly:
  // the control hands the colours of one cell on to the next.
  RowPalette palette;
  palette.listText = list_ ? static_cast<COLORREF>(SendMessageW(list_, LVM_GETTEXTCOLOR, 0, 0))
                           : textColour_;
  palette.listBackground =
      list_ ? static_cast<COLORREF>(SendMessageW(list_, LVM_GETTEXTBKCOLOR, 0, 0))
            : evenRowColour_;
  palette.oddRow = oddRowColour_;
  palette.firstRow = firstRowColour_;
  const CellPaint paint = ResolveCellPaint(colourScheme_, static_cast<uint32_t>(row),
                                           hasRecord ? &colours : nullptr, palette);
  if (paint.useDefault) return CDRF_DODEFAULT;
  draw->clrText = paint.text;
  draw->clrTextBk = paint.background;
  return CDRF_NEWFONT;
}
