// The language menu: one item per line of the language list (command 200 +
// line index, empty lines counted but not shown) with the language's flag
// as its check-mark image, shown at the cursor.
#pragma once

#include <windows.h>

#include <string_view>

class CKeyedArchive;

constexpr int kLanguageCommandCount = 100;  // commands 200 to 299

// Returns when the menu has closed; a chosen item arrives as WM_COMMAND.
void ShowLanguageMenu(HWND dialog, CKeyedArchive& archive, const char16_t* archivePath,
                      std::u16string_view languageList);

// Brings dialog to the front, tracks menu at the cursor and lets the menu's
// command reach the dialog.
void TrackMenuAtCursor(HWND dialog, HMENU menu);
