// The editor's only window: the banner, the tip line, the option list with
// one row per option of the settings file, and the buttons Save and Cancel.
// Run modally from the resource dialog IDD_MAIN_DIALOG. Win32 only.
#pragma once

#include <windows.h>

// The address that the system menu's "&Visit Web Site" opens.
constexpr char16_t kProductWebPage[] = u"http://www.marlpane.example/";

// Runs the main dialog (no owner) and returns its result: 0 once it closed.
INT_PTR RunMainDialog(HINSTANCE instance);

INT_PTR CALLBACK MainDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
