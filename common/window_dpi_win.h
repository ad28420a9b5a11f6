// The DPI a window is drawn at.
#pragma once

#include <windows.h>

// The DPI of the monitor the window is on when the process is aware of it
// (GetDpiForWindow, Windows 10 1607 and later); otherwise the system DPI of
// the window's screen. A null window gives the system DPI.
int WindowDpi(HWND window);

// The suggested window rectangle of a WM_DPICHANGED message, applied.
void MoveToSuggestedRect(HWND window, LPARAM suggested);
