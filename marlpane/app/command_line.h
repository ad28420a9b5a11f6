// The editor's command line:
//   marlpane.exe [/INI:path] [/PROPERTIES:path] [/ITP:path] [/NOTIFY:hwnd] [/NODETECT]
//   marlpane.exe path
// Switches are found by a case-sensitive search anywhere in the line; only
// the first occurrence of each counts. A path value is either quoted (up to
// the next double quote) or runs to the next space. The bare path is taken
// only when the line holds no '/' at all.
#pragma once

#include <cstddef>
#include <string>

#include "marlpane/app/editor_options.h"
#include "marlpane/app/editor_state.h"

// Applies the command line to the state, in this order: bare argument,
// "/PROPERTIES:", "/INI:" (so it wins over "/PROPERTIES:"), "/ITP:",
// "/NOTIFY:", "/NODETECT" (which also switches the option
// autoDetectRowTypes off). A path value of more than 4999 characters leaves
// its path empty rather than cut, so a different file is never edited.
void ApplyCommandLine(const char16_t* commandLine, EditorState& state, EditorOptions& options);

// The first argument after the program name, split as the system's own
// argument splitter does (double quotes group, backslashes escape a double
// quote). False when there is none.
bool FirstArgument(const char16_t* commandLine, std::u16string& argument);
