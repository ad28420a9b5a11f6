// The lines of an INI text, one after the other, each with its kind and the
// positions of its parts. The document walks its key lines with this, and
// tools that edit whole lines use it to find where a line starts and ends.
#pragma once

#include <cstddef>

enum class IniLineKind {
  Empty,    // no characters (an initial U+FEFF aside)
  Comment,  // starts with ';' or '#'
  Section,  // starts with '['
  Key,      // any other line holding '='
  Other,    // any other line
};

// Positions are character indexes into the text. A line ends at CR, LF,
// CR LF or the end of the text; an initial U+FEFF is ignored when telling
// the kind, but belongs to the line (and to the key of a key line).
struct IniLine {
  IniLineKind kind = IniLineKind::Empty;
  size_t start = 0;  // first character
  size_t end = 0;    // its line end, or the end of the text
  size_t next = 0;   // the start of the next line (end when there is no line end)
  size_t number = 0;  // 1-based line number (set by CIniLines)
  // Key line: the key (everything before the first '='). Section line: the
  // name, from after '[' up to the first ']' or the line end.
  size_t nameStart = 0;
  size_t nameLength = 0;
  bool closed = false;  // Section line: the name ends at ']'
  // Key line: everything after the first '=' up to the line end.
  size_t valueStart = 0;
  size_t valueLength = 0;

  size_t LineEndLength() const { return next - end; }
};

// Reads the line that starts at `start` of text (length characters) into
// line (all but its number). False when start is at or past the end of the
// text.
bool ReadIniLine(const char16_t* text, size_t length, size_t start, IniLine& line);

// Walks a text line by line:  for (CIniLines lines(t, n); lines.Next(); ) lines.Line()...
class CIniLines {
 public:
  CIniLines(const char16_t* text, size_t length) : text_(text), length_(length) {}
  bool Next() {
    if (!ReadIniLine(text_, length_, position_, line_)) return false;
    position_ = line_.next;
    line_.number = ++number_;
    return true;
  }
  const IniLine& Line() const { return line_; }

 private:
  const char16_t* text_;
  size_t length_;
  size_t position_ = 0;
  size_t number_ = 0;
  IniLine line_;
};

// The key lines among the lines that start at or after from and before to
// (from must be the start of a line).
size_t CountKeyLines(const char16_t* text, size_t length, size_t from, size_t to);
