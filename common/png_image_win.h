// PNG images decoded by the platform's Windows Imaging Component (WIC): no
// image decoder of our own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The largest image decoded, in pixels (64 MB of pixels); a PNG header may
// claim any size, and the pixels are held in memory whole.
constexpr uint64_t kPngPixelLimit = 16u * 1024 * 1024;

struct DecodedImage {
  uint32_t width = 0;
  uint32_t height = 0;
  // 4 bytes a pixel, blue, green, red and one unused byte, top row first.
  // Transparency is dropped: a 32-bit bitmap's alpha is not shown either.
  std::vector<uint8_t> pixels;
};

// Decodes a PNG file image held in memory. False, with image untouched, for
// anything WIC cannot decode whole (damaged, cut short, not PNG) and for
// images above kPngPixelLimit. Initialises COM on the calling thread for the
// call when it is not initialised yet.
bool DecodePng(const uint8_t* bytes, size_t length, DecodedImage* image);
