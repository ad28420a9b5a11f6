// The popups that pick from a drop-down list: the items of a choice cell,
// and the top-level windows for a window cell. The list drops down at once;
// picking an item (a click, Enter, or its first letter typed) commits,
// Escape discards, and a click elsewhere commits the item moved to by the
// arrow keys. Win32 only.
#pragma once

#include "marlpane/editors/edit_request_win.h"
#include "marlpane/rows/cell_kinds.h"

// Shows the items before the first empty slot (at most 100), sorted when the
// block says so, with the chosen slot selected. On OK *slot is the slot of
// the picked item (0 when none is picked). True on OK.
bool EditChoiceValue(const EditRequest& request, const ChoiceBlock& block, int* slot);

// Lists the top-level windows (only visible ones with a title when the
// block says so) by title, with the window the block names selected. On OK
// the block holds the picked window, its title and class name (at most 100
// characters each); nothing changes when no window is picked. True on OK.
bool EditWindowValue(const EditRequest& request, WindowBlock& block);
