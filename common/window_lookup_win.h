// Scroll-bar stepping and finding other programs' top-level windows.
#pragma once

#include <windows.h>

#include "common/block_list.h"

// Moves the bar's position for a WM_HSCROLL / WM_VSCROLL request (wParam):
// line steps never pass minimum or maximum, the thumb takes its position
// from the high word of request (the whole of it from the bar's track
// position when the range is wider than 16 bits), top/left takes minimum
// and bottom/right maximum; anything else keeps the position. Returns
// new - old position.
int StepScrollBar(HWND window, WPARAM request, int bar, int minimum, int maximum);

// The hint, when it is a live window of exactly that class; otherwise the
// first top-level window found by class and title, by title alone, by class
// alone. A null or empty title or class is not used as the only criterion
// (it would match an arbitrary window). Null when none is found.
constexpr int kClassNameCapacity = 5000;
HWND FindWindowSmart(HWND hint, const char16_t* title, const char16_t* className);

// Clears list and fills it with the handle (one HWND per block) of every
// top-level window, in the system's order. True when the enumeration ran.
bool ListTopWindows(CBlockList& list);
// As ListTopWindows, keeping only visible windows with a non-empty title.
bool ListTitledWindows(CBlockList& list);
// The handle stored at index of such a list, or null.
HWND ListedWindow(CBlockList& list, uint32_t index);
