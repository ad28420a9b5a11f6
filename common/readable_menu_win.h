// Menu items in every script: an item whose text the system's menu font has
// no glyphs for is drawn by its window (owner-drawn) in a font of the menu
// font's size whose face has them (common/font_fallback_win.h), and keeps
// its text for screen readers; every other item stays the system's own. The window hands WM_MEASUREITEM,
// WM_DRAWITEM and WM_MENUCHAR to the functions below. Win32 only.
#pragma once

#include <windows.h>

#include <string>

// Inserts a string item at position (by position; -1: at the end). text
// ('&' marks the access key, a tab starts the part shown at the right end)
// must outlive the menu; a menu shown again gives the same texts (kept in
// one place), which are remembered once.
bool InsertReadableItem(HMENU menu, UINT position, UINT flags, UINT_PTR id, const std::u16string* text);

// True (with the item measured or drawn) for an item made above.
bool MeasureReadableItem(MEASUREITEMSTRUCT* item);
bool DrawReadableItem(const DRAWITEMSTRUCT* item);
// WM_MENUCHAR: the item of menu whose access key is the character, to be
// chosen (MNC_EXECUTE); 0 (the system's answer) when none is.
LRESULT ReadableMenuChar(WPARAM wParam, LPARAM lParam);
