// Per-cell colours and per-row tips of the option list, and the rules that
// turn them into the colours a cell is drawn with. Portable: the list view
// keeps one store beside its control and asks it while the control paints.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "marlpane/rows/cell_kinds.h"

// Cells are addressed by column 0 to 199; larger column indexes are refused.
constexpr uint32_t kCellColumns = static_cast<uint32_t>(kCellColumnCount);

// A cell's own colours (0x00BBGGRR); 0 means the cell has none of its own.
struct CellColours {
  uint32_t text;
  uint32_t background;
};

// One row per list item, in item order. Each row holds a colour record for
// each of the 200 cells and an optional tip text. A row keeps only what
// differs from an uncoloured row: the colours that its row-wide setters gave
// every cell, and records for its cells up to the highest one given colours
// of its own; every other cell reads as the row-wide colours (0 for none).
// The rows themselves live in one array that grows by doubling, so that
// filling a list of 22 000 rows leaves no trail of freed slot arrays behind.
class CCellStyleStore {
 public:
  CCellStyleStore() = default;
  virtual ~CCellStyleStore() = default;
  CCellStyleStore(const CCellStyleStore&) = delete;
  CCellStyleStore& operator=(const CCellStyleStore&) = delete;

  uint32_t RowCount() const { return static_cast<uint32_t>(rows_.size()); }

  // Appends a row without colours or tip. False when out of memory (the
  // store is then unchanged).
  bool AppendRow();
  // Removes a row with its colours and tip; later rows move up by one.
  void RemoveRow(uint32_t row);
  void Clear();

  // Cell operations: false for a row that does not exist or a column above
  // 199, and when out of memory.
  bool SetCellColours(uint32_t row, uint32_t column, uint32_t text, uint32_t background);
  bool SetCellTextColour(uint32_t row, uint32_t column, uint32_t text);
  bool SetCellBackground(uint32_t row, uint32_t column, uint32_t background);
  bool GetCellColours(uint32_t row, uint32_t column, CellColours* out) const;

  // The same for all 200 cells of a row.
  bool SetRowColours(uint32_t row, uint32_t text, uint32_t background);
  bool SetRowTextColour(uint32_t row, uint32_t text);
  bool SetRowBackground(uint32_t row, uint32_t background);

  // Stores a copy of the tip, or removes it for null. False for a row that
  // does not exist and when out of memory.
  bool SetTip(uint32_t row, const char16_t* tip);
  // The row's tip, null when it has none.
  const char16_t* GetTip(uint32_t row) const;

 private:
  enum Field { kText = 1, kBackground = 2 };
  struct RowStyle {
    CellColours whole{0, 0};          // every cell without a record of its own
    std::vector<CellColours> cells;   // records of columns 0 to size - 1
    std::unique_ptr<char16_t[]> tip;  // null: no tip
  };
  static void Assign(CellColours& record, int fields, uint32_t text, uint32_t background);

  std::vector<RowStyle> rows_;
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
