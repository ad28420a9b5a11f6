#include "marlpane/list/cell_style_store.h"

namespace {

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void WriteU32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

const uint8_t kClearedBlock[CCellStyleStore::kRowBlockBytes] = {};

}  // namespace

bool CCellStyleStore::AppendRow() {
  const uint32_t row = colours_.Count();
  if (colours_.InsertSlot(CBlockList::kNoIndex) != row) return false;
  if (tips_.InsertSlot(row) != row) {
    colours_.Remove(row);
    return false;
  }
  return true;
}

void CCellStyleStore::RemoveRow(uint32_t row) {
  if (row >= RowCount()) return;
  colours_.Remove(row);
  tips_.Remove(row);
}

void CCellStyleStore::Clear() {
  colours_.Clear();
  tips_.Clear();
}

uint8_t* CCellStyleStore::RowBlock(uint32_t row) {
  if (row >= RowCount()) return nullptr;
  if (void* block = colours_.Get(row)) return static_cast<uint8_t*>(block);
  if (!colours_.SetCopy(row, kClearedBlock, kRowBlockBytes)) return nullptr;
  return static_cast<uint8_t*>(colours_.Get(row));
}

bool CCellStyleStore::SetCells(uint32_t row, uint32_t firstColumn, uint32_t endColumn, int fields,
                               uint32_t text, uint32_t background) {
  if (row >= RowCount() || firstColumn >= kCellColumns) return false;
  uint8_t* block = RowBlock(row);
  if (!block) return false;
  for (uint32_t c = firstColumn; c < endColumn; ++c) {
    uint8_t* record = block + c * kRecordBytes;
    if (fields & kText) WriteU32(record, text);
    if (fields & kBackground) WriteU32(record + 4, background);
  }
  return true;
}

bool CCellStyleStore::SetCellColours(uint32_t row, uint32_t column, uint32_t text,
                                     uint32_t background) {
  return SetCells(row, column, column + 1, kText | kBackground, text, background);
}

bool CCellStyleStore::SetCellTextColour(uint32_t row, uint32_t column, uint32_t text) {
  return SetCells(row, column, column + 1, kText, text, 0);
}

bool CCellStyleStore::SetCellBackground(uint32_t row, uint32_t column, uint32_t background) {
  return SetCells(row, column, column + 1, kBackground, 0, background);
}

bool CCellStyleStore::GetCellColours(uint32_t row, uint32_t column, CellColours* out) {
  if (row >= RowCount() || column >= kCellColumns) return false;
  CellColours colours{0, 0};
  if (const auto* block = static_cast<const uint8_t*>(colours_.Get(row))) {
    colours.text = ReadU32(block + column * kRecordBytes);
    colours.background = ReadU32(block + column * kRecordBytes + 4);
  }
  if (out) *out = colours;
  return true;
}

bool CCellStyleStore::SetRowColours(uint32_t row, uint32_t text, uint32_t background) {
  return SetCells(row, 0, kCellColumns, kText | kBackground, text, background);
}

bool CCellStyleStore::SetRowTextColour(uint32_t row, uint32_t text) {
  return SetCells(row, 0, kCellColumns, kText, text, 0);
}

bool CCellStyleStore::SetRowBackground(uint32_t row, uint32_t background) {
  return SetCells(row, 0, kCellColumns, kBackground, 0, background);
}

bool CCellStyleStore::SetTip(uint32_t row, const char16_t* tip) {
  if (row >= RowCount()) return false;
  if (!tip) {
    tips_.FreeBlock(row);
    return true;
  }
  return tips_.SetString(row, tip);
}

const char16_t* CCellStyleStore::GetTip(uint32_t row) {
  if (row >= RowCount()) return nullptr;
  return static_cast<const char16_t*>(tips_.Get(row));
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
