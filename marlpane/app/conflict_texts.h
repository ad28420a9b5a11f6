// The texts of the question Save asks when another program changed the
// settings file and some options were changed there and in the window to
// different values. They stand together, each under a key, so that a
// language file can give them by those keys.
#pragma once

#include <cstddef>
#include <string>

enum class ConflictText {
  Title,         // the window's caption
  Changed,       // first line; <File_Name> is the settings file's name
  BothChanged,   // second line, above the options
  OptionColumn,  // the columns of the options
  FileColumn,
  MineColumn,
  KeepMine,      // the buttons; '&' marks the access key
  KeepFile,
  Cancel,
  More,          // under the options when there are more; <Count> is their number
};

struct ConflictTextEntry {
  ConflictText id;
  const char* key;
  const char16_t* text;
};

// Every text with its key, in the order of ConflictText.
const ConflictTextEntry* ConflictTexts(size_t* count);

const char16_t* ConflictTextOf(ConflictText id);

// The first line for the file at path (only its name is shown).
std::u16string ConflictChangedText(const char16_t* path);
// "and 3 more".
std::u16string MoreConflictsText(size_t count);
