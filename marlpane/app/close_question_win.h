// The question asked when the window is closed with changed rows: "Save
// changes to <file name>?" with Yes, No and Cancel, in a message box owned
// by the window.
#pragma once

#include <windows.h>

enum class CloseAnswer { Save, Discard, Stay };

CloseAnswer AskToSaveChanges(HWND owner, const char16_t* settingsPath, const char16_t* caption);
