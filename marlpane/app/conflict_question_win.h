// The question Save asks when another program changed options of the
// settings file that were changed in the window too: a dialog owned by the
// window listing them (at most ten, then "and N more") with the file's
// value and the user's, and the answers "Keep my values", "Keep the file's
// values" and "Cancel".
#pragma once

#include <windows.h>

#include <string>
#include <vector>

enum class ConflictAnswer { KeepMine, KeepFile, Cancel };

struct ConflictLine {
  std::u16string label;
  std::u16string fileValue;
  std::u16string myValue;
};

// The options shown; the rest are counted.
constexpr size_t kConflictLinesShown = 10;

ConflictAnswer AskAboutConflicts(HINSTANCE instance, HWND owner, const char16_t* settingsPath,
                                 const std::vector<ConflictLine>& lines);
