// The find field: a label, an edit box and the count of matching rows,
// shown in the place of the tip line (the tip line's own rectangle, taken
// from the window each time, so the other controls never move) and hidden
// again with the tip line brought back.
#pragma once

#include <windows.h>

#include <string>

#include "marlpane/rows/row_finder.h"

class CFindField {
 public:
  CFindField() = default;
  virtual ~CFindField() = default;

  // Shows the field over the tip line (made the first time), gives it the
  // focus and selects its text.
  void Open(HWND dialog, int tipLineId);
  // Hides the field and shows the tip line again.
  void Close();
  bool IsOpen() const { return open_; }
  std::u16string Text() const;
  // Follows the tip line after the dialog's layout moved it.
  void FitToTipLine();
  // "3 of 17", "no match", or nothing for an empty field.
  void ShowResult(const FindResult& result);

 private:
  HWND dialog_ = nullptr;
  HWND tipLine_ = nullptr;
  HWND label_ = nullptr;  // "Find:", the box's name
  HWND edit_ = nullptr;
  HWND count_ = nullptr;
  bool open_ = false;
};
