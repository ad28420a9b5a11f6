#include <gtest/gtest.h>

#include <string>

#include "bmp_builder.h"
#include "common/bitmap_image.h"

namespace {

TEST(BmpHeader, AcceptsUncompressedTrueColourImages) {
  struct Case {
    BmpShape shape;
    uint32_t pixelBytes;
  } cases[] = {
      {{100, 20, 24}, 300 * 20},
      {{1, 1, 24}, 4},            // 3 bytes padded to 4
      {{3, 2, 24}, 12 * 2},       // 9 bytes padded to 12
      {{5, -4, 32}, 20 * 4},      // top-down
      {{3, 3, 16}, 8 * 3},        // 6 bytes padded to 8
  };
  for (const auto& c : cases) {
    const auto bytes = MakeBmp(c.shape);
    BmpHeader header;
    ASSERT_TRUE(ReadBmpHeader(bytes.data(), bytes.size(), &header)) << c.shape.width;
    EXPECT_EQ(header.width, c.shape.width);
    EXPECT_EQ(header.height, c.shape.height);
    EXPECT_EQ(header.bitsPerPixel, c.shape.bitsPerPixel);
    EXPECT_EQ(header.dataOffset, 54u);
    EXPECT_EQ(header.pixelBytes, c.pixelBytes);
  }
}

TEST(BmpHeader, RefusesWhatCannotBeShownFaithfully) {
  struct Case {
    const char* what;
    BmpShape shape;
  } cases[] = {
      {"RLE8", {4, 4, 8, 1, 1, 1024}},
      {"bit fields", {4, 4, 32, 1, 3}},
      {"palette 8", {4, 4, 8, 1, 0, 1024}},
      {"palette 4", {4, 4, 4, 1, 0, 64}},
      {"monochrome", {8, 8, 1, 1, 0, 8}},
      {"odd depth", {4, 4, 12}},
      {"two planes", {4, 4, 24, 2}},
      {"zero width", {0, 4, 24}},
      {"negative width", {-4, 4, 24}},
      {"zero height", {4, 0, 24}},
  };
  for (const auto& c : cases) {
    const auto bytes = MakeBmp(c.shape);
    EXPECT_FALSE(ReadBmpHeader(bytes.data(), bytes.size(), nullptr)) << c.what;
  }
}

TEST(BmpHeader, RefusesShortAndForeignBuffers) {
  auto bytes = MakeBmp({});
  EXPECT_FALSE(ReadBmpHeader(nullptr, 100, nullptr));
  EXPECT_FALSE(ReadBmpHeader(bytes.data(), 37, nullptr));
  auto swapped = bytes;
  swapped[0] = 'M';
  swapped[1] = 'B';
  EXPECT_FALSE(ReadBmpHeader(swapped.data(), swapped.size(), nullptr));
  EXPECT_TRUE(ReadBmpHeader(bytes.data(), bytes.size(), nullptr));
}

TEST(BmpHeader, PixelDataMustLieInsideTheBuffer) {
  const auto good = MakeBmp({10, 10, 24});  // 54 + 32 * 10 bytes
  // One byte short of the last row.
  EXPECT_FALSE(ReadBmpHeader(good.data(), good.size() - 1, nullptr));
  EXPECT_TRUE(ReadBmpHeader(good.data(), good.size(), nullptr));

  struct Case {
    const char* what;
    size_t at;
    uint32_t value;
  } cases[] = {
      {"offset past the end", 10, 0xFFFFFFF0u},
      {"offset pushes rows out", 10, 55},
      {"height larger than the data", 22, 11},
      {"huge top-down height", 22, 0x80000001u},
      {"most negative height", 22, 0x80000000u},
      {"width larger than the data", 18, 0x7FFFFFFFu},
  };
  for (const auto& c : cases) {
    auto bytes = good;
    PutLe(bytes, c.at, c.value, 4);
    EXPECT_FALSE(ReadBmpHeader(bytes.data(), bytes.size(), nullptr)) << c.what;
  }

  // The stored image size plays no part: pixels are checked by rows.
  auto lying = good;
  PutLe(lying, 34, 0xFFFFFFFFu, 4);
  BmpHeader header;
  ASSERT_TRUE(ReadBmpHeader(lying.data(), lying.size(), &header));
  EXPECT_EQ(header.pixelBytes, 320u);
  EXPECT_EQ(header.imageSize, 0xFFFFFFFFu);
}

}  // namespace
