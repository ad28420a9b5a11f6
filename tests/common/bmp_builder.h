// Builds BMP file images in memory for tests: a 14-byte file header, a
// 40-byte info header, then padded pixel rows filled with a pattern.
#pragma once

#include <cstdint>
#include <vector>

struct BmpShape {
  int32_t width = 4;
  int32_t height = 3;
  uint16_t bitsPerPixel = 24;
  uint16_t planes = 1;
  uint32_t compression = 0;
  uint32_t colourTableBytes = 0;  // inserted between the headers and the pixels
};

inline void PutLe(std::vector<uint8_t>& bytes, size_t at, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

inline std::vector<uint8_t> MakeBmp(const BmpShape& shape) {
  const uint32_t columns = static_cast<uint32_t>(shape.width < 0 ? -shape.width : shape.width);
  const uint32_t row = ((columns * shape.bitsPerPixel + 31) / 32) * 4;
  const uint32_t rows = static_cast<uint32_t>(shape.height < 0 ? -shape.height : shape.height);
  const uint32_t offset = 54 + shape.colourTableBytes;
  std::vector<uint8_t> bytes(offset + row * rows, 0);
  bytes[0] = 'B';
  bytes[1] = 'M';
  PutLe(bytes, 2, static_cast<uint32_t>(bytes.size()), 4);
  PutLe(bytes, 10, offset, 4);
  PutLe(bytes, 14, 40, 4);
  PutLe(bytes, 18, static_cast<uint32_t>(shape.width), 4);
  PutLe(bytes, 22, static_cast<uint32_t>(shape.height), 4);
  PutLe(bytes, 26, shape.planes, 2);
  PutLe(bytes, 28, shape.bitsPerPixel, 2);
  PutLe(bytes, 30, shape.compression, 4);
  PutLe(bytes, 34, row * rows, 4);
  for (size_t i = offset; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
  return bytes;
}
