// The DPI a window is drawn at, and the changes of it.
#pragma once

#include <windows.h>

// The DPI of the monitor the window is on when the process is aware of it
// (GetDpiForWindow, Windows 10 1607 and later); otherwise the system DPI of
// the window's screen. A null window gives the system DPI.
int WindowDpi(HWND window);

// The new DPI a WM_DPICHANGED brings; 0 for one outside 50 % to 1000 %
// (48 to 960 DPI), which any program could send and which is ignored.
int DpiOfChange(WPARAM wParam);

// Moves the window to the suggested rectangle of a WM_DPICHANGED. Any
// program can send the message: the rectangle is copied without trusting
// its address, and taken only when it has a size.
void MoveToSuggestedRect(HWND window, LPARAM suggested);

// Switches off the dialog manager's own scaling on a DPI change where there
// is one (Windows 10 1703 and later): the program scales its fonts and
// controls itself.
void TakeOverDpiChanges(HWND dialog);
