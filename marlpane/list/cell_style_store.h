// Per-cell colours and per-row tips of the option list, and the rules that
// turn them into the colours a cell is drawn with. Portable: the list view
// keeps one store beside its control and asks it while the control paints.
#pragma once

#include <cstdint>

#include "common/block_list.h"
#include "marlpane/rows/cell_kinds.h"

// Cells are addressed by column 0 to 199; larger column indexes are refused.
constexpr uint32_t kCellColumns = static_cast<uint32_t>(kCellColumnCount);

// A cell's own colours (0x00BBGGRR); 0 means the cell has none of its own.
struct CellColours {
  uint32_t text;
  uint32_t background;
};

// One row per list item, in item order. Each row holds 200 cell colour
// records and an optional tip text. A row's record block is only allocated
// when one of its cells gets a colour; until then every cell reads as
// uncoloured, exactly as a cleared block would.
class CCellStyleStore {
 public:
  static constexpr uint32_t kRecordBytes = 8;  // text colour, background colour
  static constexpr uint32_t kRowBlockBytes = kCellColumns * kRecordBytes;

  CCellStyleStore() = default;
  virtual ~CCellStyleStore() = default;
  CCellStyleStore(const CCellStyleStore&) = delete;
  CCellStyleStore& operator=(const CCellStyleStore&) = delete;

  uint32_t RowCount() const { return colours_.Count(); }

  // Appends a row without colours or tip. False when out of memory (the
  // store is then unchanged).
  bool AppendRow();
  // Removes a row with its colours and tip; later rows move up by one.
  void RemoveRow(uint32_t row);
  void Clear();

  // Cell operations: false for a row that does not exist or a column above
  // 199.
  bool SetCellColours(uint32_t row, uint32_t column, uint32_t text, uint32_t background);
  bool SetCellTextColour(uint32_t row, uint32_t column, uint32_t text);
  bool SetCellBackground(uint32_t row, uint32_t column, uint32_t background);
  bool GetCellColours(uint32_t row, uint32_t column, CellColours* out);

  // The same for all 200 cells of a row.
  bool SetRowColours(uint32_t row, uint32_t text, uint32_t background);
  bool SetRowTextColour(uint32_t row, uint32_t text);
  bool SetRowBackground(uint32_t row, uint32_t background);

  // Stores a copy of the tip, or removes it for null. False for a row that
  // does not exist and when out of memory.
  bool SetTip(uint32_t row, const char16_t* tip);
  // The row's tip, null when it has none.
  const char16_t* GetTip(uint32_t row);

 private:
  enum Field { kText = 1, kBackground = 2 };
  // The row's record block, allocated (cleared) on first use; null when the
  // row does not exist or memory ran out.
  uint8_t* RowBlock(uint32_t row);
  bool SetCells(uint32_t row, uint32_t firstColumn, uint32_t endColumn, int fields,
                uint32_t text, uint32_t background);

  CBlockList colours_;  // one slot per row: null or kRowBlockBytes bytes
  CBlockList tips_;     // one slot per row: null or a terminated text
};

// The colours used to paint rows that have none of their own.
struct RowPalette {
  uint32_t listText;        // the list's text colour
  uint32_t listBackground;  // the list's text background (even rows)
  uint32_t oddRow;
  uint32_t firstRow;
};

// What custom drawing does with one cell.
struct CellPaint {
  bool useDefault;  // leave the cell to the control
  uint32_t text;
  uint32_t background;
};

// Colour schemes are 10 × tens + units. Tens: 0 own text colours, 1 own
// backgrounds, 2 both. Units: 1 no automatic row colour, 2 odd rows, 3 the
// first row, 4 the first row and odd rows. 1-4, 11-14 and 21-24 exist.
bool IsColourScheme(uint32_t scheme);

// The colours of cell (row, column) under the scheme. cell is null when the
// row has no colour record; that, or an unknown scheme, leaves the cell to
// the control. Otherwise every field is filled: cells that get no colour
// from the scheme get the list's own colours, so that a colour given to one
// cell never carries over to the next cell drawn.
CellPaint ResolveCellPaint(uint32_t scheme, uint32_t row, const CellColours* cell,
                           const RowPalette& palette);

// Width for the last column when it stretches over the client width left by
// the other columns: 10 pixels less when more than 10 remain (room for the
// list's frame), never less than minimum.
int StretchedLastColumnWidth(int clientWidth, int otherColumnsWidth, int minimum);
