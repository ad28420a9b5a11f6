// The about box of the system menu's "&About": the program's name and
// version, how the copy is distributed and the terms it is used under.
#pragma once

#include <windows.h>

// Runs the about box modally over owner.
void ShowAboutBox(HINSTANCE instance, HWND owner);
