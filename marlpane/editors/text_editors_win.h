// The popups for text cells: one line, and several lines with Ok and
// Cancel. Win32 only.
#pragma once

#include <string>

#include "marlpane/editors/edit_request_win.h"

// A one-line edit box over the cell holding text. On OK text becomes the
// entry (at most 4999 characters; a line break pasted into it ends it).
// True on OK.
bool EditTextValue(const EditRequest& request, std::u16string& text);

// A multi-line edit box with the buttons Ok and Cancel, at least 100 pixels
// high. text is in the list's form, each line break shown as the marker;
// the box shows real lines. The whole text opens, however long its lines
// make it, and the box takes no more than the cell holds once the breaks
// are markers again, so nothing is cut on OK. True on OK.
bool EditMultiLineValue(const EditRequest& request, std::u16string& text);

// The list's form and the edit box's form of a multi-line text: each marker
// is CR LF, and back (a lone CR or LF counts as a line break too).
std::u16string MarkersToLineBreaks(const std::u16string& text);
std::u16string LineBreaksToMarkers(const std::u16string& text);
