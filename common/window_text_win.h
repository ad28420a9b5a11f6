// A window's text, and the room a text takes in a font. Win32 only.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The whole text of a window (a control's text).
std::u16string WindowText(HWND window);

// The size of text in font as DrawTextW lays it out with format (DT_CALCRECT
// added) in window's drawing context: wrapped at wrapWidth with
// DT_WORDBREAK, on one line with DT_SINGLELINE.
SIZE TextSize(HWND window, HFONT font, std::u16string_view text, int wrapWidth, UINT format);
