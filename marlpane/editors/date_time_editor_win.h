// The popups for date and time cells: a date and time picker (short date,
// or time format) within the block's bounds. Leaving the popup commits,
// except into the picker's own drop-down calendar. Win32 only.
#pragma once

#include "marlpane/editors/edit_request_win.h"
#include "marlpane/rows/cell_kinds.h"

// Opens the picker at block.current; on OK block.current is the picked
// value (for a time, on the time cells' day 2001-02-01). True on OK.
bool EditDateValue(const EditRequest& request, DateTimeBlock& block);
bool EditTimeValue(const EditRequest& request, DateTimeBlock& block);
