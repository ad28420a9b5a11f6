// The Windows side of the language document: the system's language name and
// the reading order of the dialog's text controls.
#pragma once

#include <windows.h>

#include <string>

// The English name of the user's language (LOCALE_SENGLANGUAGE), empty when
// the system does not give one.
std::u16string SystemLanguageName();

// Sets or clears WS_EX_RTLREADING on the status line, the news line and the
// three choice buttons of dialog, keeping every other extended style bit.
void ApplyReadingOrder(HWND dialog, bool rightToLeft);
