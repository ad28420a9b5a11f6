// The popup for password cells: a masked edit box and a status line with
// the length rules. The maximum limits typing; the minimum is checked on OK,
// which refuses a shorter entry with a message and keeps the popup open
// until the entry is long enough or Escape discards it. Win32 only.
#pragma once

#include "marlpane/editors/edit_request_win.h"
#include "marlpane/rows/cell_kinds.h"

// Opens the editor on block.text; on OK block.text is the entry (at most
// 5000 characters, as the block holds). The lengths count UTF-16 code units. True on OK.
bool EditPasswordValue(const EditRequest& request, PasswordBlock& block);
