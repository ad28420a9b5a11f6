#include "common/text_buffer.h"

#include <cstring>

namespace {
const char16_t kEmptyText[1] = {0};
constexpr size_t kUnit = sizeof(char16_t);
constexpr size_t kMaxCharacters = (static_cast<size_t>(-1) / kUnit) - 2;
}  // namespace

const char16_t* CTextBuffer::Text() const {
  const uint8_t* data = storage_.At(0);
  return data && storage_.Length() ? reinterpret_cast<const char16_t*>(data) : kEmptyText;
}

char16_t* CTextBuffer::Data() {
  uint8_t* data = storage_.At(0);
  return data && storage_.Length() ? reinterpret_cast<char16_t*>(data) : nullptr;
}

bool CTextBuffer::Reserve(size_t characters) {
  if (characters > kMaxCharacters) return false;
  size_t bytes = (characters + 1) * kUnit;
  if (storage_.Allocated() >= bytes) return true;
  return storage_.Reserve(bytes) != 0;
}

bool CTextBuffer::SetLength(size_t characters) {
  if (characters > kMaxCharacters) return false;
  if (!storage_.SetLength((characters + 1) * kUnit)) return false;
  length_ = characters;
  reinterpret_cast<char16_t*>(storage_.At(0))[characters] = 0;
  return true;
}

void CTextBuffer::CutAtNul() {
  const char16_t* text = Text();
  for (size_t i = 0; i < length_; ++i) {
    if (text[i] == 0) {
      SetLength(i);
      return;
    }
  }
}

void CTextBuffer::Clear() {
  storage_.Clear();
  length_ = 0;
}

bool CTextBuffer::Assign(const char16_t* text, size_t n) {
  if (n && !text) return false;
  if (!Reserve(n)) return false;
  if (!SetLength(n)) return false;
  if (n) std::memcpy(Data(), text, n * kUnit);
  return true;
}

bool CTextBuffer::Assign(const char16_t* text) {
  size_t n = 0;
  while (text && text[n]) ++n;
  return Assign(text, n);
}

bool CTextBuffer::Append(const char16_t* text, size_t n) { return Insert(length_, text, n); }

bool CTextBuffer::Insert(size_t position, const char16_t* text, size_t n) {
  if (position > length_ || (n && !text)) return false;
  if (n == 0) return true;
  if (n > kMaxCharacters - length_) return false;
  if (storage_.Length() == 0 && !SetLength(0)) return false;  // first use: the terminator
  if (!storage_.Insert(position * kUnit, n * kUnit, text)) return false;
  length_ += n;
  return true;
}

void CTextBuffer::Erase(size_t position, size_t n) {
  if (position >= length_) return;
  if (n > length_ - position) n = length_ - position;
  storage_.Erase(position * kUnit, n * kUnit);
  length_ -= n;
}

bool CTextBuffer::Replace(size_t position, size_t n, const char16_t* text, size_t textLength) {
  if (position > length_) return false;
  if (n > length_ - position) n = length_ - position;
  if (textLength && !text) return false;
  if (textLength == n) {
    if (n) std::memcpy(Data() + position, text, n * kUnit);
    return true;
  }
  if (textLength > n) {
    // Grow first so that a failure leaves the text as it was.
    if (!Reserve(length_ + textLength - n)) return false;
    if (!Insert(position + n, text + n, textLength - n)) return false;
    if (n) std::memcpy(Data() + position, text, n * kUnit);
    return true;
  }
  if (textLength) std::memcpy(Data() + position, text, textLength * kUnit);
  Erase(position + textLength, n - textLength);
  return true;
}

size_t CTextBuffer::Find(const char16_t* what, size_t n, size_t from) const {
  if (!what || n == 0 || from > length_ || n > length_ - from) return kNotFound;
  const char16_t* text = Text();
  const size_t last = length_ - n;
  for (size_t i = from; i <= last; ++i) {
    if (text[i] != what[0]) continue;
    if (std::memcmp(text + i + 1, what + 1, (n - 1) * kUnit) == 0) return i;
  }
  return kNotFound;
}

size_t CTextBuffer::Find(char16_t c, size_t from) const {
  const char16_t* text = Text();
  for (size_t i = from; i < length_; ++i) {
    if (text[i] == c) return i;
  }
  return kNotFound;
}

void CTextBuffer::SwapText(CTextBuffer& other) {
  size_t cursor = storage_.Cursor();
  size_t otherCursor = other.storage_.Cursor();
  storage_.Swap(other.storage_);
  storage_.SetCursor(cursor);
  other.storage_.SetCursor(otherCursor);
  size_t length = length_;
  length_ = other.length_;
  other.length_ = length;
}
