// What the option list gives an editor: the cell, its rectangle on the
// screen, the window that owns the editor, the cell's text and the row's
// label, the fonts to show texts in, and the rule for values the settings
// file cannot store.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class CFontFallback;

// Why a value cannot be kept (the message the editor shows), or an empty
// text when it can.
using ValueRefusal = std::function<std::u16string(const std::u16string& value)>;

struct EditRequest {
  int row = 0;
  int column = 0;
  RECT cell = {};       // the label part of the cell, screen coordinates
  HWND owner = nullptr; // the list's parent (the main dialog)
  const char16_t* text = u"";  // at most 4999 characters
  std::u16string name;         // the row's label: the popup's name for screen readers
  CFontFallback* fonts = nullptr;  // null: the stock GUI font for every text
  ValueRefusal refusal;            // null: every value is kept
};

inline int CellWidth(const EditRequest& request) {
  return request.cell.right - request.cell.left;
}
inline int CellHeight(const EditRequest& request) {
  return request.cell.bottom - request.cell.top;
}
