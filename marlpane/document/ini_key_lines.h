// Key lines named the way a script names them: by the name of a section
// header line (an empty name: the lines before the first header) and the
// whole key. Finding, adding and deleting such lines changes no other
// character of the document.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "marlpane/document/ini_lines.h"

class CIniDocument;

struct KeyLineSpot {
  size_t entry = 0;  // the entry index of the key line
  IniLine line;
};

// The first key line whose key is key under a header named section; every
// header of that name counts.
bool FindKeyLine(CIniDocument& document, std::u16string_view section, std::u16string_view key,
                 KeyLineSpot& spot);

enum class AddKeyResult { Added, AddedWithSection, NoSection, Failed };

// Puts the line key=value after the last key line of the first part named
// section (before the blank lines and comments that end it), or right after
// the header when the part has none. A line end of the file's own style goes
// with it: the one of the line it follows, else the file's first, else
// CR LF. When there is no such section, appends "[section]" and the line at
// the end of the text (after a line end when the text does not end with
// one), unless createSection is false (NoSection). The caller makes sure
// the key is not there yet.
AddKeyResult AddKeyLine(CIniDocument& document, std::u16string_view section, std::u16string_view key,
                        std::u16string_view value, bool createSection = true);

// A key line by name, and which of the key lines of that name it is (0:
// the first), so that a key written twice under one section is told apart.
struct KeyName {
  std::u16string section;
  std::u16string key;
  size_t occurrence = 0;
};

// The names of the key lines with those entry indexes, in their order, in
// two walks over the text. False when the text has no such entry.
bool NameEntries(const char16_t* text, size_t length, const std::vector<size_t>& entries,
                 std::vector<KeyName>& names);

// Finds every named key line in one walk: found[i] tells whether names[i]
// is there, and spots[i] where.
void FindKeyLines(CIniDocument& document, const std::vector<KeyName>& names,
                  std::vector<KeyLineSpot>& spots, std::vector<bool>& found);

// Removes the key line, its line end included.
bool DeleteKeyLine(CIniDocument& document, const KeyLineSpot& spot);
