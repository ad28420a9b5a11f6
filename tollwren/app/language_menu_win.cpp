#include "tollwren/app/language_menu_win.h"

#include <memory>
#include <string>
#include <vector>

#include "common/archive.h"
#include "common/bitmap_image.h"
#include "common/menu_builder_win.h"
#include "tollwren/language/language_text.h"

namespace {

// The flag scaled into the menu's check-mark box (the menu shows a
// check-mark image at that size and would cut a larger one off), keeping
// its proportions, on the menu's background.
HBITMAP CheckMarkImage(const CBitmapImage& flag) {
  const int width = GetSystemMetrics(SM_CXMENUCHECK);
  const int height = GetSystemMetrics(SM_CYMENUCHECK);
  if (width <= 0 || height <= 0 || flag.Width() <= 0 || flag.Height() <= 0) return nullptr;
  int drawWidth = width;
  int drawHeight = flag.Height() * width / flag.Width();
  if (drawHeight > height) {
    drawHeight = height;
    drawWidth = flag.Width() * height / flag.Height();
  }
  HDC screen = GetDC(nullptr);
  HBITMAP image = CreateCompatibleBitmap(screen, width, height);
  HDC target = CreateCompatibleDC(screen);
  HDC source = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HGDIOBJ oldTarget = SelectObject(target, image);
  HGDIOBJ oldSource = SelectObject(source, flag.Handle());
  RECT all = {0, 0, width, height};
  FillRect(target, &all, GetSysColorBrush(COLOR_MENU));
  SetStretchBltMode(target, HALFTONE);
  StretchBlt(target, (width - drawWidth) / 2, (height - drawHeight) / 2, drawWidth, drawHeight, source, 0, 0,
             flag.Width(), flag.Height(), SRCCOPY);
  SelectObject(source, oldSource);
  SelectObject(target, oldTarget);
  DeleteDC(source);
  DeleteDC(target);
  return image;
}

}  // namespace

void TrackMenuAtCursor(HWND dialog, HMENU menu) {
  POINT cursor;
  GetCursorPos(&cursor);
  SetForegroundWindow(dialog);
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, dialog, nullptr);
  PostMessageW(dialog, WM_NULL, 0, 0);
}

void ShowLanguageMenu(HWND dialog, CKeyedArchive& archive, const char16_t* archivePath,
                      std::u16string_view languageList) {
  CMenuBuilder menu;
  if (!menu.EnsurePopupMenu()) return;
  std::vector<HBITMAP> images;
  std::u16string name;
  UINT position = 0;
  for (size_t i = 0; i < kLanguageCommandCount && LanguageListLine(languageList, i, name); ++i) {
    if (name.empty()) continue;
    HBITMAP image = nullptr;
    CBitmapImage flag;
    if (LoadFromArchive(flag, archive, archivePath, LanguageEntryName(name, ".bmp").c_str())) {
      image = CheckMarkImage(flag);
      if (image) images.push_back(image);
    }
    if (menu.InsertItem(kFirstLanguageCommand + static_cast<UINT>(i), position, name.c_str(), true, false, false,
                        true, nullptr, image, false)) {
      ++position;
    }
  }
  if (position > 0) TrackMenuAtCursor(dialog, menu.Menu());
  menu.Reset();
  for (HBITMAP image : images) DeleteObject(image);
}
