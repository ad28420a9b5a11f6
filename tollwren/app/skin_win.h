// The updater window's look: the background image (which also sets the
// window's size) with the pattern brush that paints the static controls
// over it, the close button and flag images of the two owner-drawn
// buttons, the four fonts of the settings record, and the layout.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "common/bitmap_image.h"
#include "tollwren/app/font_spec_win.h"
#include "tollwren/app/updater_settings.h"

class CKeyedArchive;

// Ids of the skinned dialog's own controls.
constexpr int kLanguageButtonId = 1017;
constexpr int kCloseButtonId = IDCANCEL;

class CSkin {
 public:
  CSkin() = default;
  virtual ~CSkin();
  CSkin(const CSkin&) = delete;
  CSkin& operator=(const CSkin&) = delete;

  // The close button image ("bmc") and the background image ("bmk") with
  // its pattern brush. Either may be missing.
  void LoadImages(CKeyedArchive& archive, const char16_t* archivePath);
  // The flag image "<language>.bmp"; without one the language button shows
  // nothing.
  void LoadFlag(CKeyedArchive& archive, const char16_t* archivePath, const std::u16string& language);

  // Creates the title, status, news and footer fonts from the record with
  // the character set of the language's script, writing the defaults
  // (face "sans", height 16) back into the record; gives the status and news
  // fonts to their lines and the choice buttons the dialog's font in that
  // character set.
  void CreateFonts(HWND dialog, CUpdaterSettings& settings, uint8_t charset);

  // WM_PAINT: the background at (0, 0), the title centred at y 20 and the
  // footer centred near the bottom.
  void Paint(HWND dialog, const CUpdaterSettings& settings, const std::u16string& title,
             const std::u16string& footer);
  // WM_CTLCOLORSTATIC: transparent text in the line's colour over the part
  // of the background that lies behind the control.
  HBRUSH ColorStatic(HWND dialog, HDC context, HWND control, const CUpdaterSettings& settings);
  // WM_DRAWITEM of the close and language buttons; false for other items.
  bool DrawItem(const DRAWITEMSTRUCT& item);
  // Sizes the window to the background and places every control.
  void LayOut(HWND dialog, bool closeShown);

  bool HasBackground() const { return background_ != nullptr; }
  const CBitmapImage* Flag() const { return flag_.get(); }

 private:
  std::unique_ptr<CBitmapImage> background_;
  std::unique_ptr<CBitmapImage> close_;
  std::unique_ptr<CBitmapImage> flag_;
  HBRUSH brush_ = nullptr;
  HFONT buttonFont_ = nullptr;
  CFontSpec titleFont_;
  CFontSpec statusFont_;
  CFontSpec newsFont_;
  CFontSpec footerFont_;
};

// A copy of font (the dialog's when null) in another character set; null
// when it cannot be made. The caller deletes it.
HFONT CreateFontInCharset(HFONT font, uint8_t charset);
