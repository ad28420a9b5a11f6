#include "common/bitmap_image.h"

#include "common/archive.h"
#include "common/byte_buffer.h"
#include "common/png_image_win.h"
#include "common/text16.h"

CBitmapImage::~CBitmapImage() {
  if (bitmap_) DeleteObject(bitmap_);
}

void CBitmapImage::TakeOver(HBITMAP bitmap) {
  if (bitmap_) DeleteObject(bitmap_);
  bitmap_ = bitmap;
  description_ = {};
  GetObjectW(bitmap_, sizeof description_, &description_);
  width_ = description_.bmWidth;
  height_ = description_.bmHeight;
}

bool CBitmapImage::LoadFromBmpBytes(const uint8_t* bytes, size_t length) {
  BmpHeader header;
  if (!ReadBmpHeader(bytes, length, &header)) return false;

  // A fresh header with only the copied fields, and one all-zero colour.
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = header.width;
  info.bmiHeader.biHeight = header.height;
  info.bmiHeader.biPlanes = header.planes;
  info.bmiHeader.biBitCount = header.bitsPerPixel;
  info.bmiHeader.biCompression = BI_RGB;
  // The size the pixels really take, never the stored one, so the system is
  // never told of more bytes than were checked.
  info.bmiHeader.biSizeImage = header.pixelBytes;

  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT, bytes + header.dataOffset,
                                  &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (!bitmap) return false;
  TakeOver(bitmap);
  return true;
}

bool CBitmapImage::LoadFromPngBytes(const uint8_t* bytes, size_t length) {
  DecodedImage image;
  if (!DecodePng(bytes, length, &image)) return false;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = LONG(image.width);
  info.bmiHeader.biHeight = -LONG(image.height);  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = DWORD(image.pixels.size());

  HDC screen = GetDC(nullptr);
  HBITMAP bitmap =
      CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT, image.pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (!bitmap) return false;
  TakeOver(bitmap);
  return true;
}

bool CBitmapImage::LoadFromImageBytes(const uint8_t* bytes, size_t length) {
  return IsPngImage(bytes, length) ? LoadFromPngBytes(bytes, length) : LoadFromBmpBytes(bytes, length);
}

bool CBitmapImage::LoadFromFile(const char16_t* path) {
  if (!path || !*path) return false;
  HANDLE loaded = LoadImageW(nullptr, AsWide(path), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
  if (!loaded) return false;
  TakeOver(static_cast<HBITMAP>(loaded));
  return true;
}

bool CBitmapImage::StretchFrom(const CBitmapImage& source, int width, int height) {
  if (!source.bitmap_ || width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HBITMAP stretched = CreateCompatibleBitmap(screen, width, height);
  bool drawn = false;
  if (stretched) {
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    HGDIOBJ oldFrom = SelectObject(from, source.bitmap_);
    HGDIOBJ oldTo = SelectObject(to, stretched);
    SetStretchBltMode(to, HALFTONE);
    SetBrushOrgEx(to, 0, 0, nullptr);  // HALFTONE needs it after the mode is set
    drawn = StretchBlt(to, 0, 0, width, height, from, 0, 0, source.width_, source.height_, SRCCOPY) != FALSE;
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
  }
  ReleaseDC(nullptr, screen);
  if (!drawn) {
    if (stretched) DeleteObject(stretched);
    return false;
  }
  TakeOver(stretched);
  return true;
}

bool CBitmapImage::FitControl(HWND dialog, int controlId) const {
  HWND control = GetDlgItem(dialog, controlId);
  if (!control) return false;
  return SetWindowPos(control, nullptr, 0, 0, width_, height_,
                      SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

bool CBitmapImage::ShowInControl(HWND dialog, int controlId) const {
  if (!GetDlgItem(dialog, controlId)) return false;
  SendDlgItemMessageW(dialog, controlId, STM_SETIMAGE, IMAGE_BITMAP,
                      reinterpret_cast<LPARAM>(bitmap_));
  return true;
}

bool LoadFromArchive(CBitmapImage& bitmap, CKeyedArchive& archive, const char16_t* archivePath,
                     const char* entryName) {
  const uint32_t size = archive.GetEntrySize(archivePath, entryName);
  if (size == 0) return false;
  CByteBuffer buffer;
  uint8_t* bytes = buffer.Allocate(size);
  if (!bytes) return false;
  if (archive.ReadEntry(archivePath, entryName, bytes, size) != size) return false;
  return bitmap.LoadFromImageBytes(bytes, size);
}
