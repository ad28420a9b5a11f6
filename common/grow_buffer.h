// A growable byte array with slack and a cursor that follows its byte when
// bytes are inserted or erased before it. Newly allocated bytes are zero.
#pragma once

#include <cstddef>
#include <cstdint>

class CGrowBuffer {
 public:
  static constexpr size_t kGrowthSlack = 128;

  CGrowBuffer() = default;
  virtual ~CGrowBuffer();
  CGrowBuffer(const CGrowBuffer&) = delete;
  CGrowBuffer& operator=(const CGrowBuffer&) = delete;

  // Reallocates to exactly n bytes (new bytes zeroed); length becomes
  // min(length, n). 0 when out of memory (content untouched).
  int Reserve(size_t n);
  // True when the length is now n. Growing beyond the free space reserves
  // n plus slack; shrinking pulls a cursor beyond the new end back.
  bool SetLength(size_t n);
  // Inserts n bytes from source (null: zeros) at position and returns their
  // address (null on failure); the cursor ends behind them.
  uint8_t* Insert(size_t position, size_t n, const void* source);
  void Erase(size_t position, size_t n);
  // Copies n bytes to the start (the length must already allow it); cursor := n.
  void Assign(const void* source, size_t n);
  // Copies n bytes from offset out; cursor := offset + n.
  void CopyOut(void* destination, size_t n, size_t offset);
  // Frees the data; length, size and cursor become 0.
  void Clear();
  // Exchanges content and state with other.
  void Swap(CGrowBuffer& other);

  uint8_t* At(size_t offset) { return data_ ? data_ + offset : nullptr; }
  const uint8_t* At(size_t offset) const { return data_ ? data_ + offset : nullptr; }
  size_t Length() const { return length_; }
  size_t Count(size_t elementSize) const { return elementSize ? length_ / elementSize : 0; }
  size_t Allocated() const { return allocated_; }
  size_t FreeSpace() const { return allocated_ - length_; }
  uint8_t GetByte(size_t offset) const { return offset < length_ ? data_[offset] : 0; }
  void SetByte(size_t offset, uint8_t value) { if (offset < length_) data_[offset] = value; }
  uint16_t GetElement16(size_t index) const;
  void SetElement16(size_t index, uint16_t value);

  size_t Cursor() const { return cursor_; }
  void SetCursor(size_t cursor) { cursor_ = cursor; }
  size_t GrowthSlack() const { return slack_; }
  void SetGrowthSlack(size_t slack) { slack_ = slack; }

 private:
  // Grows so that at least `needed` bytes fit, with slack.
  bool EnsureRoom(size_t needed);

  size_t cursor_ = 0;
  size_t slack_ = kGrowthSlack;
  uint8_t* data_ = nullptr;
  size_t allocated_ = 0;
  size_t length_ = 0;
  size_t used_ = 0;  // highest length since allocation: bytes beyond are zero
};
