// An exact-size heap block of bytes (archive entries are read into one).
#pragma once

#include <cstddef>
#include <cstdint>

class CByteBuffer {
 public:
  CByteBuffer() = default;
  virtual ~CByteBuffer();
  CByteBuffer(const CByteBuffer&) = delete;
  CByteBuffer& operator=(const CByteBuffer&) = delete;

  // A block of exactly n bytes. Asking again for the current size returns the
  // same block with its content; otherwise the old block is freed first.
  // n = 0 (or no memory) gives null and leaves the buffer empty.
  uint8_t* Allocate(uint32_t n);
  void Release();

  uint8_t* Data() { return data_; }
  const uint8_t* Data() const { return data_; }
  uint32_t Size() const { return size_; }

 private:
  uint32_t size_ = 0;
  uint8_t* data_ = nullptr;
};
