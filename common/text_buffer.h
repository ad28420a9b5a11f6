// A growable UTF-16 text with a read cursor, stored in a CGrowBuffer. The
// text is always NUL-terminated; its length counts the characters before
// that terminator. The cursor is a plain character index owned by the
// reader: edits do not move it.
#pragma once

#include <cstddef>

#include "common/grow_buffer.h"

class CTextBuffer {
 public:
  static constexpr size_t kNotFound = static_cast<size_t>(-1);

  CTextBuffer() = default;
  virtual ~CTextBuffer() = default;
  CTextBuffer(const CTextBuffer&) = delete;
  CTextBuffer& operator=(const CTextBuffer&) = delete;

  size_t Length() const { return length_; }
  bool Empty() const { return length_ == 0; }
  // The text, terminated; never null.
  const char16_t* Text() const;
  // Writable characters (Length() of them plus the terminator); null when
  // nothing was ever stored.
  char16_t* Data();
  char16_t At(size_t index) const { return index < length_ ? Text()[index] : 0; }

  // Makes room for `characters` characters plus the terminator.
  bool Reserve(size_t characters);
  // Sets the length (new characters are zero: the caller fills them) and
  // writes the terminator.
  bool SetLength(size_t characters);
  // Cuts the text at its first NUL character, if any.
  void CutAtNul();
  void Clear();

  bool Assign(const char16_t* text, size_t n);
  bool Assign(const char16_t* text);
  bool Append(const char16_t* text, size_t n);
  bool Append(char16_t c) { return Append(&c, 1); }
  bool Insert(size_t position, const char16_t* text, size_t n);
  void Erase(size_t position, size_t n);
  // Replaces n characters at position with the given text.
  bool Replace(size_t position, size_t n, const char16_t* text, size_t textLength);

  // Position of the first occurrence of what (n characters) at or after
  // from, or kNotFound.
  size_t Find(const char16_t* what, size_t n, size_t from = 0) const;
  size_t Find(char16_t c, size_t from = 0) const;

  size_t Cursor() const { return cursor_; }
  void SetCursor(size_t cursor) { cursor_ = cursor; }

  // Exchanges text (not cursors) with other.
  void SwapText(CTextBuffer& other);

 private:
  CGrowBuffer storage_;
  size_t length_ = 0;
  size_t cursor_ = 0;
};
