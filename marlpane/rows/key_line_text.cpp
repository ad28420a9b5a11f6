#include "marlpane/rows/key_line_text.h"

#include <algorithm>

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool IsLineEnd(char16_t c) { return c == u'\r' || c == u'\n'; }

// The start of the line that ends just before position end (its line end
// excluded).
size_t StartOfLine(const std::u16string& text, size_t end) {
  while (end > 0 && !IsLineEnd(text[end - 1])) --end;
  return end;
}

// Steps from the start of a line back over the line end before it (LF,
// CR LF or CR) to the end of the line above; false at the top of the text.
bool LineAbove(const std::u16string& text, size_t start, size_t* end) {
  if (start == 0) return false;
  size_t at = start;
  if (text[at - 1] == u'\n') --at;
  if (at > 0 && text[at - 1] == u'\r') --at;
  *end = at;
  return true;
}

}  // namespace

std::u16string_view TrimBlanks(std::u16string_view text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

void CKeyLineText::Take(const char16_t* text, size_t length, bool properties) {
  text_.assign(text ? text : u"", text ? length : 0);
  properties_ = properties;
  lineNext_.clear();
}

void CKeyLineText::AddRow(size_t next) {
  lineNext_.push_back(next > text_.size() ? kNoLine : static_cast<uint32_t>(next));
}

void CKeyLineText::Clear() {
  text_.clear();
  lineNext_.clear();
}

size_t CKeyLineText::LineStart(size_t row) const {
  if (row >= lineNext_.size() || lineNext_[row] == kNoLine) return std::u16string::npos;
  size_t end = lineNext_[row];
  // Back over the key line's own line end.
  if (end > 0 && text_[end - 1] == u'\n') --end;
  if (end > 0 && text_[end - 1] == u'\r') --end;
  return StartOfLine(text_, end);
}

std::u16string_view CKeyLineText::KeyLine(size_t row) const {
  const size_t start = LineStart(row);
  if (start == std::u16string::npos) return {};
  size_t end = start;
  while (end < text_.size() && !IsLineEnd(text_[end])) ++end;
  return std::u16string_view(text_.data() + start, end - start);
}

std::u16string_view CKeyLineText::Key(size_t row) const {
  std::u16string_view line = KeyLine(row);
  line = line.substr(0, std::min(line.find(u'='), line.size()));
  if (!line.empty() && line[0] == u'\uFEFF') line.remove_prefix(1);
  return line;
}

std::u16string_view CKeyLineText::Value(size_t row) const {
  const std::u16string_view line = KeyLine(row);
  const size_t equals = line.find(u'=');
  return equals == std::u16string_view::npos ? std::u16string_view() : line.substr(equals + 1);
}

std::u16string CKeyLineText::CommentTip(size_t row) const {
  size_t start = LineStart(row);
  if (start == std::u16string::npos) return {};
  std::vector<std::u16string_view> lines;  // nearest first
  size_t end = 0;
  while (lines.size() < kCommentTipLines && LineAbove(text_, start, &end)) {
    start = StartOfLine(text_, end);
    std::u16string_view line(text_.data() + start, end - start);
    if (!line.empty() && line[0] == u'\uFEFF') line.remove_prefix(1);
    size_t first = 0;
    while (first < line.size() && IsBlank(line[first])) ++first;
    if (first == line.size()) break;  // a blank line
    const char16_t marker = line[first];
    const bool comment = marker == u'#' || (properties_ ? marker == u'!' : marker == u';');
    if (!comment) break;  // a key line, a section header or any other line
    line.remove_prefix(first + 1);
    if (!line.empty() && line[0] == u' ') line.remove_prefix(1);
    lines.push_back(line);
  }
  std::u16string tip;
  for (size_t i = lines.size(); i-- > 0;) {
    tip.append(lines[i]);
    if (i > 0) tip += u"\r\n";
  }
  return tip;
}
