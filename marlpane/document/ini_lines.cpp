#include "marlpane/document/ini_lines.h"

namespace {
constexpr char16_t kCR = 13;
constexpr char16_t kLF = 10;
constexpr char16_t kMark = 0xFEFF;
}  // namespace

bool ReadIniLine(const char16_t* text, size_t length, size_t start, IniLine& line) {
  if (!text || start >= length) return false;
  line.start = start;
  line.nameStart = line.nameLength = line.valueStart = line.valueLength = 0;
  line.closed = false;

  // One pass finds the line end and the first '='.
  size_t equals = length;
  size_t end = start;
  for (; end < length; ++end) {
    const char16_t c = text[end];
    if (c == kCR || c == kLF) break;
    if (c == u'=' && equals == length) equals = end;
  }
  line.end = end;
  size_t next = end;
  if (next < length) next += (text[next] == kCR && next + 1 < length && text[next + 1] == kLF) ? 2 : 1;
  line.next = next;

  size_t first = start;
  if (first < end && text[first] == kMark) ++first;
  if (first == end) {
    line.kind = IniLineKind::Empty;
  } else if (text[first] == u';' || text[first] == u'#') {
    line.kind = IniLineKind::Comment;
  } else if (text[first] == u'[') {
    line.kind = IniLineKind::Section;
    size_t close = first + 1;
    while (close < end && text[close] != u']') ++close;
    line.nameStart = first + 1;
    line.nameLength = close - first - 1;
    line.closed = close < end;
  } else if (equals < end) {
    line.kind = IniLineKind::Key;
    line.nameStart = start;
    line.nameLength = equals - start;
    line.valueStart = equals + 1;
    line.valueLength = end - equals - 1;
  } else {
    line.kind = IniLineKind::Other;
  }
  return true;
}

size_t CountKeyLines(const char16_t* text, size_t length, size_t from, size_t to) {
  size_t count = 0;
  IniLine line;
  for (size_t at = from; at < to && ReadIniLine(text, length, at, line); at = line.next) {
    if (line.kind == IniLineKind::Key) ++count;
  }
  return count;
}
