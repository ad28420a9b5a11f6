// All small utilities at once: path and extension texts, hexadecimal and
// colour text, command-line switch values, date and time text, and on
// Windows the program folder, choosers, web page, scroll bars and window
// lookup.
#pragma once

#include "common/date_text.h"
#include "common/hex_text.h"
#include "common/path_text.h"
#include "common/switch_text.h"

#ifdef _WIN32
#include "common/choosers_win.h"
#include "common/date_text_win.h"
#include "common/shell_win.h"
#include "common/window_lookup_win.h"
#endif
