// Message boxes in the editor's language. Win32 only.
#pragma once

#include <windows.h>

#include <string>

// A message box as MessageBoxW shows one, owned by owner (MB_OK or
// MB_YESNOCANCEL, with MB_ICONQUESTION or MB_ICONEXCLAMATION), its buttons
// named in the editor's language, its texts in a font that has their
// glyphs, laid out and read right to left for a right-to-left language.
// Returns the button chosen: IDOK, IDYES, IDNO or IDCANCEL (Escape and the
// close box answer as Cancel, or as OK when that is the only button).
int EditorMessageBox(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type);
