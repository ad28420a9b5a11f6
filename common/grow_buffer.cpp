#include "common/grow_buffer.h"

#include <cstdlib>
#include <cstring>

CGrowBuffer::~CGrowBuffer() { Clear(); }

void CGrowBuffer::Clear() {
  std::free(data_);
  data_ = nullptr;
  allocated_ = 0;
  length_ = 0;
  used_ = 0;
  cursor_ = 0;
}

int CGrowBuffer::Reserve(size_t n) {
  if (n == 0) {
    std::free(data_);
    data_ = nullptr;
    allocated_ = 0;
    length_ = 0;
    used_ = 0;
    return 1;
  }
  uint8_t* grown;
  if (data_) {
    grown = static_cast<uint8_t*>(std::realloc(data_, n));
    if (!grown) return 0;
    if (n > allocated_) std::memset(grown + allocated_, 0, n - allocated_);
  } else {
    // calloc hands out fresh pages already zeroed, without touching them.
    grown = static_cast<uint8_t*>(std::calloc(n, 1));
    if (!grown) return 0;
  }
  data_ = grown;
  allocated_ = n;
  if (length_ > n) length_ = n;
  if (used_ > n) used_ = n;
  return 1;
}

bool CGrowBuffer::EnsureRoom(size_t needed) {
  if (needed <= allocated_) return true;
  // The slack grows with the buffer so that a long run of appends costs
  // linear time, never less than the fixed slack.
  size_t slack = needed / 4 > slack_ ? needed / 4 : slack_;
  if (needed > static_cast<size_t>(-1) - slack) return false;
  return Reserve(needed + slack) != 0;
}

bool CGrowBuffer::SetLength(size_t n) {
  if (n > length_) {
    if (!EnsureRoom(n)) return false;
    // Bytes that were never in use are still zero from the allocation.
    if (used_ > length_) std::memset(data_ + length_, 0, (n < used_ ? n : used_) - length_);
  } else if (n < length_ && cursor_ > n) {
    size_t removed = length_ - n;
    cursor_ = cursor_ > removed ? cursor_ - removed : 0;
  }
  length_ = n;
  if (length_ > used_) used_ = length_;
  return true;
}

uint8_t* CGrowBuffer::Insert(size_t position, size_t n, const void* source) {
  if (position > length_) return nullptr;
  if (n > static_cast<size_t>(-1) - length_) return nullptr;
  if (n == 0) {
    cursor_ = position;
    return data_ ? data_ + position : nullptr;
  }
  if (!EnsureRoom(length_ + n)) return nullptr;
  std::memmove(data_ + position + n, data_ + position, length_ - position);
  if (source) {
    std::memcpy(data_ + position, source, n);
  } else {
    std::memset(data_ + position, 0, n);
  }
  length_ += n;
  if (length_ > used_) used_ = length_;
  cursor_ = position + n;
  return data_ + position;
}

void CGrowBuffer::Erase(size_t position, size_t n) {
  if (position >= length_) return;
  if (n > length_ - position) n = length_ - position;
  std::memmove(data_ + position, data_ + position + n, length_ - position - n);
  length_ -= n;
  if (cursor_ > position) cursor_ = cursor_ - position > n ? cursor_ - n : position;
}

void CGrowBuffer::Assign(const void* source, size_t n) {
  if (!source || n > length_) return;
  if (n) std::memcpy(data_, source, n);
  cursor_ = n;
}

void CGrowBuffer::CopyOut(void* destination, size_t n, size_t offset) {
  if (!destination || offset > length_ || n > length_ - offset) return;
  if (n) std::memcpy(destination, data_ + offset, n);
  cursor_ = offset + n;
}

void CGrowBuffer::Swap(CGrowBuffer& other) {
  auto swap = [](auto& a, auto& b) {
    auto t = a;
    a = b;
    b = t;
  };
  swap(cursor_, other.cursor_);
  swap(slack_, other.slack_);
  swap(data_, other.data_);
  swap(allocated_, other.allocated_);
  swap(length_, other.length_);
  swap(used_, other.used_);
}

uint16_t CGrowBuffer::GetElement16(size_t index) const {
  if (index >= length_ / 2) return 0;
  return static_cast<uint16_t>(data_[2 * index] | (data_[2 * index + 1] << 8));
}

void CGrowBuffer::SetElement16(size_t index, uint16_t value) {
  if (index >= length_ / 2) return;
  data_[2 * index] = static_cast<uint8_t>(value & 0xFF);
  data_[2 * index + 1] = static_cast<uint8_t>(value >> 8);
}
