#include "common/bitmap_image.h"

namespace {

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t Read32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

constexpr uint32_t kUncompressed = 0;

}  // namespace

uint64_t BmpRowBytes(int32_t width, uint16_t bitsPerPixel) {
  if (width <= 0) return 0;
  return (static_cast<uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
}

bool ReadBmpHeader(const uint8_t* bytes, size_t length, BmpHeader* header) {
  if (!bytes || length < kBmpMinimumLength) return false;
  if (bytes[0] != 'B' || bytes[1] != 'M') return false;
  if (Read32(bytes + 30) != kUncompressed) return false;

  BmpHeader h;
  h.dataOffset = Read32(bytes + 10);
  h.width = static_cast<int32_t>(Read32(bytes + 18));
  h.height = static_cast<int32_t>(Read32(bytes + 22));
  h.planes = Read16(bytes + 26);
  h.bitsPerPixel = Read16(bytes + 28);
  h.imageSize = Read32(bytes + 34);

  if (h.planes != 1) return false;
  if (h.bitsPerPixel != 16 && h.bitsPerPixel != 24 && h.bitsPerPixel != 32) return false;
  if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) return false;

  // The system reads padded rows times the height from the data offset: all
  // of it must lie inside the buffer.
  const uint64_t rows = h.height < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(h.height))
                                     : static_cast<uint64_t>(h.height);
  const uint64_t pixelBytes = BmpRowBytes(h.width, h.bitsPerPixel) * rows;
  if (h.dataOffset > length || pixelBytes > length - h.dataOffset) return false;
  h.pixelBytes = static_cast<uint32_t>(pixelBytes);

  if (header) *header = h;
  return true;
}

bool IsPngImage(const uint8_t* bytes, size_t length) {
  static const uint8_t kSignature[kPngSignatureLength] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (!bytes || length < kPngSignatureLength) return false;
  for (size_t i = 0; i < kPngSignatureLength; ++i) {
    if (bytes[i] != kSignature[i]) return false;
  }
  return true;
}
