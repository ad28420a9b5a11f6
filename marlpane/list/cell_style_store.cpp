#include "marlpane/list/cell_style_store.h"

#include <cstring>
#include <new>

bool CCellStyleStore::AppendRow() {
  try {
    rows_.emplace_back();
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void CCellStyleStore::RemoveRow(uint32_t row) {
  if (row < RowCount()) rows_.erase(rows_.begin() + row);
}

void CCellStyleStore::Clear() {
  rows_.clear();
  rows_.shrink_to_fit();
}

void CCellStyleStore::Assign(CellColours& record, int fields, uint32_t text, uint32_t background) {
  if (fields & kText) record.text = text;
  if (fields & kBackground) record.background = background;
}

bool CCellStyleStore::SetCellColours(uint32_t row, uint32_t column, uint32_t text,
                                     uint32_t background) {
  if (row >= RowCount() || column >= kCellColumns) return false;
  RowStyle& style = rows_[row];
  if (column >= style.cells.size()) {
    try {
      style.cells.resize(column + 1, style.whole);
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  style.cells[column] = CellColours{text, background};
  return true;
}

bool CCellStyleStore::SetCellTextColour(uint32_t row, uint32_t column, uint32_t text) {
  CellColours colours;
  return GetCellColours(row, column, &colours) &&
         SetCellColours(row, column, text, colours.background);
}

bool CCellStyleStore::SetCellBackground(uint32_t row, uint32_t column, uint32_t background) {
  CellColours colours;
  return GetCellColours(row, column, &colours) &&
         SetCellColours(row, column, colours.text, background);
}

bool CCellStyleStore::GetCellColours(uint32_t row, uint32_t column, CellColours* out) const {
  if (row >= RowCount() || column >= kCellColumns) return false;
  const RowStyle& style = rows_[row];
  if (out) *out = column < style.cells.size() ? style.cells[column] : style.whole;
  return true;
}

bool CCellStyleStore::SetRowColours(uint32_t row, uint32_t text, uint32_t background) {
  if (row >= RowCount()) return false;
  RowStyle& style = rows_[row];
  Assign(style.whole, kText | kBackground, text, background);
  style.cells.clear();
  style.cells.shrink_to_fit();
  return true;
}

bool CCellStyleStore::SetRowTextColour(uint32_t row, uint32_t text) {
  if (row >= RowCount()) return false;
  RowStyle& style = rows_[row];
  Assign(style.whole, kText, text, 0);
  for (CellColours& record : style.cells) Assign(record, kText, text, 0);
  return true;
}

bool CCellStyleStore::SetRowBackground(uint32_t row, uint32_t background) {
  if (row >= RowCount()) return false;
  RowStyle& style = rows_[row];
  Assign(style.whole, kBackground, 0, background);
  for (CellColours& record : style.cells) Assign(record, kBackground, 0, background);
  return true;
}

bool CCellStyleStore::SetTip(uint32_t row, const char16_t* tip) {
  if (row >= RowCount()) return false;
  if (!tip) {
    rows_[row].tip.reset();
    return true;
  }
  size_t length = 0;
  while (tip[length]) ++length;
  std::unique_ptr<char16_t[]> copy(new (std::nothrow) char16_t[length + 1]);
  if (!copy) return false;
  std::memcpy(copy.get(), tip, (length + 1) * sizeof(char16_t));
  rows_[row].tip = std::move(copy);
  return true;
}

const char16_t* CCellStyleStore::GetTip(uint32_t row) const {
  return row < RowCount() ? rows_[row].tip.get() : nullptr;
}

bool IsColourScheme(uint32_t scheme) {
  const uint32_t tens = scheme / 10, units = scheme % 10;
  return tens <= 2 && units >= 1 && units <= 4;
}

CellPaint ResolveCellPaint(uint32_t scheme, uint32_t row, const CellColours* cell,
                           const RowPalette& palette) {
  if (!cell || !IsColourScheme(scheme)) return CellPaint{true, 0, 0};
  const uint32_t tens = scheme / 10, units = scheme % 10;
  CellPaint paint{false, palette.listText, palette.listBackground};
  if ((tens == 0 || tens == 2) && cell->text != 0) paint.text = cell->text;
  if ((tens == 1 || tens == 2) && cell->background != 0) {
    paint.background = cell->background;
    return paint;
  }
  const bool odd = (row & 1) != 0;
  switch (units) {
    case 2:
      if (odd) paint.background = palette.oddRow;
      break;
    case 3:
      if (row == 0) paint.background = palette.firstRow;
      break;
    case 4:
      if (row == 0)
        paint.background = palette.firstRow;
      else if (odd)
        paint.background = palette.oddRow;
      break;
    default:
      break;
  }
  return paint;
}

int StretchedLastColumnWidth(int clientWidth, int otherColumnsWidth, int minimum) {
  int width = clientWidth - otherColumnsWidth;
  if (width > 10) width -= 10;
  return width < minimum ? minimum : width;
}
