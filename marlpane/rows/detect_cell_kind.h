// Choosing a cell kind from a stored value, for settings files that come
// without a type description. CTypedCells::DetectCellKind applies the choice
// to a cell; ClassifyStoredValue only makes it.
#pragma once

#include "marlpane/rows/cell_kinds.h"

// The row type codes that detection gives (the row table keeps them).
constexpr int kDetectedTextRow = 0;
constexpr int kDetectedIntegerRow = 11;
constexpr int kDetectedRealRow = 12;
constexpr int kDetectedColorRow = 22;
constexpr int kDetectedChoiceRow = 27;
constexpr int kDetectedDateRow = 30;
constexpr int kDetectedTimeRow = 31;

// Choice values are split at this character.
constexpr char16_t kDetectedChoiceDelimiter = u';';

struct StoredValueKind {
  CellKind kind = CellKind::Text;
  int rowTypeCode = kDetectedTextRow;
  int decimals = 0;  // Real: the decimals asked of SetRealKind (0 becomes 4)
};

// The tests in order, the first that matches wins:
//  1. empty: Text;
//  2. only "-0123456789" with fewer than two "-": Integer;
//  3. only "0123456789.-+" with fewer than two "-" and fewer than two ".":
//     Real with the characters after the "." as decimals (without a ".",
//     the length less one);
//  4. "#" and six hexadecimal digits: Color;
//  5. a date "YYYY-MM-DD" (10 characters, "-" at 4 and 7, digits elsewhere):
//     Date;
//  6. a time "HH:MM:SS": Time;
//  7. a list "a;b;c" that the choice list holds whole (every piece 1 to 100
//     characters, at most 100 pieces): Choice;
//  8. anything else: Text.
// A list with an empty piece (";a", "a;;b", "a;") or one the choice list
// would cut stays Text: saving it from a choice list would change it.
StoredValueKind ClassifyStoredValue(const char16_t* text);
