// Feeds arbitrary bytes to the BMP header checks. Whatever they accept must
// describe pixel data wholly inside the buffer: the target reads every pixel
// byte so that the address sanitizer catches any that lies outside.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/bitmap_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  BmpHeader header;
  if (!ReadBmpHeader(data, size, &header)) return 0;
  if (header.width <= 0 || header.height == 0) std::abort();
  if (header.bitsPerPixel <= 8 || header.planes != 1) std::abort();
  const uint64_t rows = header.height < 0 ? -static_cast<int64_t>(header.height) : header.height;
  if (BmpRowBytes(header.width, header.bitsPerPixel) * rows != header.pixelBytes) std::abort();
  if (static_cast<uint64_t>(header.dataOffset) + header.pixelBytes > size) std::abort();
  // Touch the pixels the system would read.
  volatile uint8_t sum = 0;
  const uint8_t* pixels = data + header.dataOffset;
  for (uint32_t i = 0; i < header.pixelBytes; ++i) sum = static_cast<uint8_t>(sum + pixels[i]);
  (void)sum;
  return 0;
}
