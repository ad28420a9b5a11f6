// Bitmaps from BMP or PNG file images (archive entries) and from files on
// disk.
//
// The header checks are portable; the bitmap itself is a Win32 device-
// dependent bitmap owned by CBitmapImage. PNG images are decoded by the
// platform (common/png_image_win.h) into the same kind of bitmap.
#pragma once

#include <cstddef>
#include <cstdint>

// The fields of a BMP file image that the bitmap is built from (offsets from
// the start of the file, little-endian):
//   0 "BM"  10 pixel data offset  18 width  22 height (negative: top-down)
//   26 planes  28 bits per pixel  30 compression (0 only)  34 image size
constexpr size_t kBmpMinimumLength = 38;

struct BmpHeader {
  uint32_t dataOffset = 0;
  int32_t width = 0;
  int32_t height = 0;
  uint16_t planes = 0;
  uint16_t bitsPerPixel = 0;
  uint32_t imageSize = 0;   // as stored (may be 0 for uncompressed images)
  uint32_t pixelBytes = 0;  // what the pixels really need: padded rows x rows
};

// Bytes per pixel row, padded to 4 bytes.
uint64_t BmpRowBytes(int32_t width, uint16_t bitsPerPixel);

// Checks a BMP file image and reads its header. Accepts only uncompressed
// images of one plane with 16, 24 or 32 bits per pixel (palette images are
// refused: their colour table is never passed on), a positive width, a
// non-zero height, and pixel data that lies wholly inside the buffer.
bool ReadBmpHeader(const uint8_t* bytes, size_t length, BmpHeader* header);

// Every PNG file starts with these 8 bytes.
constexpr size_t kPngSignatureLength = 8;
// True when bytes start with the PNG signature (whatever follows it).
bool IsPngImage(const uint8_t* bytes, size_t length);

#ifdef _WIN32
#include <windows.h>

class CKeyedArchive;

class CBitmapImage {
 public:
  CBitmapImage() = default;
  CBitmapImage(const CBitmapImage&) = delete;
  CBitmapImage& operator=(const CBitmapImage&) = delete;

  // Loads a bitmap file from disk. True when this load gave a bitmap; a
  // failed load keeps the earlier bitmap.
  virtual bool LoadFromFile(const char16_t* path);
  virtual ~CBitmapImage();

  // Builds the bitmap from a BMP file image in memory (see ReadBmpHeader).
  // False, with the object unchanged, when the image is refused or the
  // system cannot create the bitmap.
  bool LoadFromBmpBytes(const uint8_t* bytes, size_t length);
  // Builds the bitmap from a PNG file image in memory. False, with the
  // object unchanged, when it cannot be decoded or the system cannot create
  // the bitmap.
  bool LoadFromPngBytes(const uint8_t* bytes, size_t length);
  // A PNG image (told by its signature) as LoadFromPngBytes, anything else
  // as LoadFromBmpBytes.
  bool LoadFromImageBytes(const uint8_t* bytes, size_t length);

  // This object becomes a copy of source stretched to width x height with
  // high-quality stretching (HALFTONE). False, with the object unchanged,
  // when source is empty, a size is not positive or the system cannot make
  // a bitmap that large.
  bool StretchFrom(const CBitmapImage& source, int width, int height);

  // Resizes the control to the bitmap's size (no move, no Z-order change).
  bool FitControl(HWND dialog, int controlId) const;
  // Shows the bitmap in a static picture control; the object keeps the handle.
  bool ShowInControl(HWND dialog, int controlId) const;

  int Width() const { return width_; }
  int Height() const { return height_; }
  HBITMAP Handle() const { return bitmap_; }
  const BITMAP& Description() const { return description_; }

 private:
  void TakeOver(HBITMAP bitmap);

  int32_t width_ = 0;
  int32_t height_ = 0;
  HBITMAP bitmap_ = nullptr;
  BITMAP description_ = {};
};

// Reads the archive entry into an exact-size buffer and loads it with
// LoadFromImageBytes (a BMP or a PNG image). True only when every step
// succeeded; the bitmap is untouched otherwise.
bool LoadFromArchive(CBitmapImage& bitmap, CKeyedArchive& archive, const char16_t* archivePath,
                     const char* entryName);
#endif
