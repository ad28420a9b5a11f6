// What a screen reader learns of a two-column list-view control's rows
// through Active Accessibility: each row (child id 1 + its index) is named
// by its first column and valued by its second (a row with an empty first
// column, such as a section title, is named by its second and has no value).
// Everything else (roles, states, selection, places) is the system's own
// proxy of the control's. Win32 only.
#pragma once

#include <windows.h>

// Answers WM_GETOBJECT of the list from now on (the window is subclassed
// until it is destroyed). False when the subclass could not be set.
bool NameListRowsForScreenReaders(HWND list);
