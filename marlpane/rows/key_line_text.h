// The settings text as it was loaded and, for every row, where its key line
// ended in it. Rows read their key as written, and the comment lines that
// the file's author put above a key line serve as the row's tip. Both are
// worked out only when asked for, so that loading pays for one copy of the
// text and nothing per row beyond a position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A tip taken from comments holds at most this many comment lines.
constexpr size_t kCommentTipLines = 10;

class CKeyLineText {
 public:
  // Keeps a copy of text. In properties mode "#" and "!" start a comment,
  // else ";" and "#".
  void Take(const char16_t* text, size_t length, bool properties);
  // The next row: its key line ends where the line after it starts (next);
  // a row without a key line (a section title) passes kNoLine.
  static constexpr uint32_t kNoLine = 0xFFFFFFFFu;
  void AddRow(size_t next);
  void Clear();

  size_t RowCount() const { return lineNext_.size(); }
  // The whole text as loaded.
  std::u16string_view Text() const { return text_; }
  // The key as written (spaces around it included); empty for a row without
  // a key line.
  std::u16string_view Key(size_t row) const;
  // The value as written: everything after the first '=' to the line end.
  std::u16string_view Value(size_t row) const;
  // The comment lines right above the row's key line, going up until a key
  // line, a section header, a blank line or the top of the text, at most
  // kCommentTipLines of them (the nearest ones): each without its leading
  // blanks, its marker and one space after the marker, joined by CR LF.
  std::u16string CommentTip(size_t row) const;

 private:
  size_t LineStart(size_t row) const;
  std::u16string_view KeyLine(size_t row) const;  // without its line end

  std::u16string text_;
  bool properties_ = false;
  std::vector<uint32_t> lineNext_;
};

// The text without the spaces and tabs at either end.
std::u16string_view TrimBlanks(std::u16string_view text);
