// What the option list gives an editor: the cell, its rectangle on the
// screen, the window that owns the editor and the cell's text.
#pragma once

#include <windows.h>

struct EditRequest {
  int row = 0;
  int column = 0;
  RECT cell = {};       // the label part of the cell, screen coordinates
  HWND owner = nullptr; // the list's parent (the main dialog)
  const char16_t* text = u"";  // at most 4999 characters
};

inline int CellWidth(const EditRequest& request) {
  return request.cell.right - request.cell.left;
}
inline int CellHeight(const EditRequest& request) {
  return request.cell.bottom - request.cell.top;
}
