// The popups for whole and real numbers: an edit box and, when the number
// has bounds, a scroll bar under it that steps through whole numbers
// between them. Win32 only.
#pragma once

#include "marlpane/editors/edit_request_win.h"
#include "marlpane/rows/cell_kinds.h"

// block.value is the starting value; on OK it holds the entry read with
// "%20d" (a text that is no number keeps the value) or the bar's position.
// Bounds are not applied here. True on OK.
bool EditIntegerValue(const EditRequest& request, IntegerBlock& block);

// As EditIntegerValue for reals: the box shows "%.4f", the entry is read
// with "%20f"; the bar runs over the whole numbers within the bounds.
bool EditRealValue(const EditRequest& request, RealBlock& block);

// The whole numbers a real's scroll bar runs over: the smallest one not
// below min and the largest one not above max.
void RealBarRange(const RealBlock& block, int* lo, int* hi);
// value rounded half away from zero.
int RoundHalfAway(float value);
