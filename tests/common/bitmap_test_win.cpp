#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "bmp_builder.h"
#include "common/archive.h"
#include "common/bitmap_image.h"
#include "common/icon_list_win.h"
#include "common/text16.h"
#include "plain_archive_for_tests.h"

namespace {

constexpr int kPictureId = 1007;

// A parent window holding one static picture control of the given id.
class PictureHost {
 public:
  PictureHost() {
    parent_ = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    picture_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BITMAP, 7, 9, 5, 5,
                               parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPictureId)),
                               GetModuleHandleW(nullptr), nullptr);
  }
  ~PictureHost() { DestroyWindow(parent_); }
  HWND Parent() const { return parent_; }
  HWND Picture() const { return picture_; }

 private:
  HWND parent_;
  HWND picture_;
};

class TempFiles {
 public:
  TempFiles() {
    folder_ = std::filesystem::temp_directory_path() /
              ("bitmap_test_" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(folder_);
  }
  ~TempFiles() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  std::u16string Path(const char* name) const { return (folder_ / name).u16string(); }

 private:
  std::filesystem::path folder_;
};

// The colour of one pixel of a bitmap, read back through a memory DC.
COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, bitmap);
  COLORREF colour = GetPixel(memory, x, y);
  SelectObject(memory, old);
  DeleteDC(memory);
  return colour;
}

TEST(BitmapImageWin, LoadsTrueColourImagesAndFitsTheControl) {
  CBitmapImage image;
  EXPECT_EQ(image.Width(), 0);
  EXPECT_EQ(image.Handle(), nullptr);

  const auto banner = MakeBmp({100, 20, 24});
  ASSERT_TRUE(image.LoadFromBmpBytes(banner.data(), banner.size()));
  EXPECT_EQ(image.Width(), 100);
  EXPECT_EQ(image.Height(), 20);
  EXPECT_EQ(image.Description().bmWidth, 100);
  ASSERT_NE(image.Handle(), nullptr);

  PictureHost host;
  EXPECT_TRUE(image.FitControl(host.Parent(), kPictureId));
  RECT r;
  GetWindowRect(host.Picture(), &r);
  EXPECT_EQ(r.right - r.left, 100);
  EXPECT_EQ(r.bottom - r.top, 20);
  POINT topLeft = {r.left, r.top};
  ScreenToClient(host.Parent(), &topLeft);
  EXPECT_EQ(topLeft.x, 7);  // not moved
  EXPECT_EQ(topLeft.y, 9);

  EXPECT_TRUE(image.ShowInControl(host.Parent(), kPictureId));
  EXPECT_EQ(reinterpret_cast<HBITMAP>(SendMessageW(host.Picture(), STM_GETIMAGE, IMAGE_BITMAP, 0)),
            image.Handle());
  EXPECT_FALSE(image.FitControl(host.Parent(), 4242));
  EXPECT_FALSE(image.ShowInControl(host.Parent(), 4242));
}

TEST(BitmapImageWin, PixelsKeepTheirColoursAndRowOrder) {
  // 2 x 2, 32 bits, blue-green-red-unused per pixel.
  for (int32_t height : {2, -2}) {
    auto bytes = MakeBmp({2, height, 32});
    const uint8_t pixels[16] = {0x00, 0x00, 0xFF, 0,  0x00, 0xFF, 0x00, 0,   // first row
                                0xFF, 0x00, 0x00, 0,  0x10, 0x20, 0x30, 0};  // second row
    std::copy(pixels, pixels + 16, bytes.begin() + 54);
    CBitmapImage image;
    ASSERT_TRUE(image.LoadFromBmpBytes(bytes.data(), bytes.size())) << height;
    // Bottom-up images store the bottom row first, top-down the top row.
    const int firstRowY = height > 0 ? 1 : 0;
    EXPECT_EQ(PixelOf(image.Handle(), 0, firstRowY), RGB(0xFF, 0, 0)) << height;
    EXPECT_EQ(PixelOf(image.Handle(), 1, firstRowY), RGB(0, 0xFF, 0)) << height;
    EXPECT_EQ(PixelOf(image.Handle(), 0, 1 - firstRowY), RGB(0, 0, 0xFF)) << height;
    EXPECT_EQ(PixelOf(image.Handle(), 1, 1 - firstRowY), RGB(0x30, 0x20, 0x10)) << height;
    EXPECT_EQ(image.Height(), 2);
  }
}

TEST(BitmapImageWin, RefusedImagesLeaveTheObjectUnchanged) {
  CBitmapImage image;
  const auto first = MakeBmp({8, 6, 24});
  ASSERT_TRUE(image.LoadFromBmpBytes(first.data(), first.size()));
  const HBITMAP handle = image.Handle();

  auto truncated = MakeBmp({64, 64, 32});
  truncated.resize(truncated.size() - 1);
  auto hostileOffset = MakeBmp({4, 4, 24});
  PutLe(hostileOffset, 10, 0x7FFFFFF0u, 4);
  auto swapped = MakeBmp({4, 4, 24});
  swapped[0] = 'M';
  swapped[1] = 'B';
  const auto rle = MakeBmp({4, 4, 8, 1, 1, 1024});
  const auto palette = MakeBmp({4, 4, 8, 1, 0, 1024});
  struct Case {
    const char* what;
    const std::vector<uint8_t>* bytes;
    size_t length;
  } cases[] = {
      {"37 bytes", &first, 37},       {"truncated pixels", &truncated, truncated.size()},
      {"hostile offset", &hostileOffset, hostileOffset.size()},
      {"MB", &swapped, swapped.size()}, {"RLE8", &rle, rle.size()},
      {"palette", &palette, palette.size()},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(image.LoadFromBmpBytes(c.bytes->data(), c.length)) << c.what;
    EXPECT_EQ(image.Handle(), handle) << c.what;
    EXPECT_EQ(image.Width(), 8) << c.what;
    EXPECT_EQ(image.Height(), 6) << c.what;
  }
  EXPECT_FALSE(image.LoadFromBmpBytes(nullptr, 100));
  EXPECT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_BITMAP));
}

TEST(BitmapImageWin, ASecondLoadReplacesAndDeletesTheFirstBitmap) {
  CBitmapImage image;
  const auto first = MakeBmp({8, 6, 24});
  const auto second = MakeBmp({3, 5, 32});
  ASSERT_TRUE(image.LoadFromBmpBytes(first.data(), first.size()));
  const HBITMAP old = image.Handle();
  ASSERT_TRUE(image.LoadFromBmpBytes(second.data(), second.size()));
  EXPECT_NE(image.Handle(), old);
  EXPECT_EQ(GetObjectType(old), 0u);  // deleted
  EXPECT_EQ(image.Width(), 3);
  EXPECT_EQ(image.Height(), 5);
}

TEST(BitmapImageWin, LoadFromFile) {
  TempFiles files;
  const std::u16string path = files.Path("picture.bmp");
  ASSERT_TRUE(WriteBytesToFile(path, MakeBmp({12, 7, 24})));
  // A palette image on disk is fine: the system loads it with its colours.
  const std::u16string palettePath = files.Path("palette.bmp");
  ASSERT_TRUE(WriteBytesToFile(palettePath, MakeBmp({6, 6, 8, 1, 0, 1024})));

  CBitmapImage image;
  ASSERT_TRUE(image.LoadFromFile(path.c_str()));
  EXPECT_EQ(image.Width(), 12);
  EXPECT_EQ(image.Height(), 7);
  const HBITMAP handle = image.Handle();

  // A failed load reports failure and keeps the earlier bitmap.
  EXPECT_FALSE(image.LoadFromFile(files.Path("missing.bmp").c_str()));
  EXPECT_FALSE(image.LoadFromFile(nullptr));
  EXPECT_EQ(image.Handle(), handle);
  EXPECT_EQ(image.Width(), 12);

  ASSERT_TRUE(image.LoadFromFile(palettePath.c_str()));
  EXPECT_EQ(image.Width(), 6);
  EXPECT_EQ(GetObjectType(handle), 0u);
}

// The updater's default background, a PNG file.
std::vector<uint8_t> BackgroundPng() {
  std::ifstream in(std::string(TEST_SOURCE_ROOT) + "/assets/tollwren/bmk.png", std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(BitmapImageWin, LoadFromArchive) {
  TempFiles files;
  const std::u16string path = files.Path("program.exe");
  auto damaged = MakeBmp({4, 4, 24});
  PutLe(damaged, 22, 400, 4);  // far more rows than there are bytes
  const std::vector<uint8_t> png = BackgroundPng();
  ASSERT_GT(png.size(), 1000u);
  ASSERT_TRUE(WriteBytesToFile(
      path, MakePlainArchive({{"settings", std::vector<uint8_t>(84, 1)},
                              {"banner.bmp", MakeBmp({100, 20, 24})},
                              {"bmk", damaged},
                              {"flag.bmp", MakeBmp({16, 11, 32})},
                              {"bmk.png", png},
                              {"cut.png", std::vector<uint8_t>(png.begin(), png.begin() + png.size() / 2)},
                              {"signature.png", std::vector<uint8_t>(png.begin(), png.begin() + 8)}})));
  CKeyedArchive archive;
  CBitmapImage image;
  ASSERT_TRUE(LoadFromArchive(image, archive, path.c_str(), "banner.bmp"));
  EXPECT_EQ(image.Width(), 100);
  EXPECT_EQ(image.Height(), 20);
  const HBITMAP handle = image.Handle();

  struct Case {
    const char* what;
    std::u16string archivePath;
    const char* entry;
  } cases[] = {
      {"absent entry", path, "bmc"},
      {"damaged image", path, "bmk"},
      {"not an image", path, "settings"},
      {"wrong case", path, "Banner.bmp"},
      {"empty name", path, ""},
      {"missing file", files.Path("nothing.exe"), "banner.bmp"},
      {"PNG cut short", path, "cut.png"},
      {"PNG signature alone", path, "signature.png"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(LoadFromArchive(image, archive, c.archivePath.c_str(), c.entry)) << c.what;
    EXPECT_EQ(image.Handle(), handle) << c.what;
    EXPECT_EQ(image.Width(), 100) << c.what;
  }
  ASSERT_TRUE(LoadFromArchive(image, archive, path.c_str(), "flag.bmp"));
  EXPECT_EQ(image.Width(), 16);
  EXPECT_EQ(image.Height(), 11);

  // A PNG entry: its size, its top row at the top, its colours in order.
  ASSERT_TRUE(LoadFromArchive(image, archive, path.c_str(), "bmk.png"));
  EXPECT_EQ(image.Width(), 600);
  EXPECT_EQ(image.Height(), 300);
  EXPECT_EQ(PixelOf(image.Handle(), 10, 10), RGB(42, 87, 137));
  EXPECT_EQ(PixelOf(image.Handle(), 10, 290), RGB(214, 224, 236));
}

TEST(IconListWin, CreatesAndCollectsIcons) {
  CIconList icons;
  EXPECT_EQ(icons.AddIcon(nullptr, 32512), 0);  // no list yet
  ASSERT_TRUE(icons.CreateSquare(16));
  EXPECT_EQ(icons.IconWidth(), 16);
  EXPECT_EQ(icons.IconHeight(), 16);
  int cx = 0, cy = 0;
  ImageList_GetIconSize(icons.Handle(), &cx, &cy);
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(cy, 16);

  // The system's own application icon, then an id that no resource has.
  EXPECT_EQ(icons.AddIcon(nullptr, 32512), 1);
  EXPECT_EQ(icons.AddIcon(nullptr, 32512), 1);
  EXPECT_EQ(icons.AddIcon(GetModuleHandleW(nullptr), 31999), 0);
  EXPECT_EQ(icons.Count(), 2);

  // Creating again replaces the list.
  ASSERT_TRUE(icons.Create(32, 24, ILC_COLOR32 | ILC_MASK));
  EXPECT_EQ(icons.Count(), 0);
  EXPECT_EQ(icons.IconWidth(), 32);
  EXPECT_EQ(icons.AddIcon(nullptr, 32512), 1);
  EXPECT_EQ(icons.Count(), 1);
}

}  // namespace
