// The Windows side of the language document: the reading order of the
// dialog's text controls.
#pragma once

#include <windows.h>

// Sets or clears WS_EX_RTLREADING on the status line, the news line and the
// three choice buttons of dialog, keeping every other extended style bit.
void ApplyReadingOrder(HWND dialog, bool rightToLeft);
