// The main dialog at the DPI of the monitor it is on: the DPI its layout is
// computed at, the banner shown at that scale, the fonts of its controls
// when the DPI changes (WM_DPICHANGED). Win32 only.
#pragma once

#include <windows.h>

#include <string_view>

class CBitmapImage;
class CKeyedArchive;

// The DPI the dialog is drawn at: the window's own from TakeDialogDpi on,
// then the one of every WM_DPICHANGED.
int MainDialogDpi();

// At WM_INITDIALOG, before anything is sized: records the window's DPI and
// leaves DPI changes to OnDialogDpiChanged (no scaling of the dialog by the
// system's dialog manager on top of it).
void TakeDialogDpi(HWND dialog);

// Shows the banner in its picture control at its size times DPI / 96,
// stretched with halftone. Above 96 DPI the archive entry "banner@2x.bmp"
// is the source when it loads and is exactly twice the banner's size;
// anything else in that entry is ignored. A banner too large to scale, or
// a copy the system refuses, is shown as it is.
void ShowBannerAtDpi(HWND dialog, int controlId, const CBitmapImage& banner,
                     CKeyedArchive& archive, const char16_t* archivePath);

// The size the banner is shown at (its own size before ShowBannerAtDpi).
int ShownBannerWidth(const CBitmapImage& banner);
int ShownBannerHeight(const CBitmapImage& banner);

// The dialog's font when it has a glyph for every character of texts (the
// editor's own texts in its language), else a font of its size and style in
// a face that has them (common/font_fallback_win.h), given to the dialog and
// every control and followed through DPI changes. The font is kept for the
// editor's other windows: InterfaceFont.
void UseFontForTexts(HWND dialog, std::u16string_view texts);
// That font when the dialog's own lacked glyphs; null when it has them all.
HFONT InterfaceFont();
// Gives window and every child of it the interface font, when there is one.
void UseInterfaceFont(HWND window);

// What two lines of a control's font need, in pixels.
int TwoLinesHeight(HWND control);

// WM_DPICHANGED: takes the new DPI from wParam, gives every control of the
// dialog its font at that DPI, shows the banner again at the new scale and
// moves the window to the rectangle the system suggests. A DPI outside 48
// to 960 is ignored (false); a rectangle that cannot be read leaves the
// window where it is.
bool OnDialogDpiChanged(HWND dialog, int bannerId, const CBitmapImage& banner, WPARAM wParam,
                        LPARAM lParam);
