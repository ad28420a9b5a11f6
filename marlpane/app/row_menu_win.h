// The context menu of a row: "Edit", "Undo changes to this row" (greyed
// while the row is unchanged), "Copy value" and "Copy line"; and putting a
// text on the clipboard for the copy entries.
#pragma once

#include <windows.h>

#include <string>

// Shows the menu at the screen point and returns the chosen command
// (IDC_EDIT_ROW, IDC_REVERT_ROW, IDC_COPY_VALUE, IDC_COPY_LINE), 0 for none.
WORD ShowRowMenu(HWND owner, POINT at, bool rowChanged, bool hasLine);

// Puts text on the clipboard as Unicode text; false when the clipboard
// could not be had.
bool CopyToClipboard(HWND owner, const std::u16string& text);
