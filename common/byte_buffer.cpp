#include "common/byte_buffer.h"

#include <cstdlib>

CByteBuffer::~CByteBuffer() { Release(); }

uint8_t* CByteBuffer::Allocate(uint32_t n) {
  if (data_ && n == size_) return data_;
  Release();
  if (n == 0) return nullptr;
  data_ = static_cast<uint8_t*>(std::malloc(n));
  size_ = data_ ? n : 0;
  return data_;
}

void CByteBuffer::Release() {
  std::free(data_);
  data_ = nullptr;
  size_ = 0;
}
