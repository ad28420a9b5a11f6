// The updater window's look: the background image (which also sets the
// window's size) with the pattern brush that paints the static controls
// over it, the close button and flag images of the two owner-drawn
// buttons, the four fonts of the settings record, and the layout.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "common/bitmap_image.h"
#include "common/dpi_scale.h"
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

  // The DPI the window is drawn at (96 until set): the images shown are
  // made again at the new scale. Fonts and layout follow with CreateFonts
  // and LayOut.
  void SetDpi(int dpi);
  int Dpi() const { return dpi_; }

  // The close button image ("bmc") and the background image ("bmk") with
  // its pattern brush, and their optional twice-as-large versions "bmc@2x"
  // and "bmk@2x", drawn instead above 100 %. Any may be missing.
  void LoadImages(CKeyedArchive& archive, const char16_t* archivePath);
  // The flag image "<language>.bmp"; without one the language button shows
  // nothing.
  void LoadFlag(CKeyedArchive& archive, const char16_t* archivePath, const std::u16string& language);

  // Creates the title, status, news and footer fonts from the record with
  // the character set of the language's script, at the skin's DPI, writing
  // the defaults (face "sans", height 16) back into the record; gives the
  // status and news fonts to their lines and the choice buttons the
  // dialog's font in that character set and at that DPI.
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
  // Sizes the window to the background and places every control, with room
  // for the texts the status and news lines show now.
  void LayOut(HWND dialog, bool closeShown);

  bool HasBackground() const { return background_ != nullptr; }
  const CBitmapImage* Flag() const { return Shown(flag_, flagAtDpi_); }

 private:
  static const CBitmapImage* Shown(const std::unique_ptr<CBitmapImage>& image,
                                   const std::unique_ptr<CBitmapImage>& atDpi) {
    return atDpi ? atDpi.get() : image.get();
  }
  const CBitmapImage* Background() const { return Shown(background_, backgroundAtDpi_); }
  const CBitmapImage* Close() const { return Shown(close_, closeAtDpi_); }
  void ScaleImages();
  void ScaleFlag();

  int dpi_ = kBaseDpi;
  // As the archive holds them...
  std::unique_ptr<CBitmapImage> background_;
  std::unique_ptr<CBitmapImage> background2x_;
  std::unique_ptr<CBitmapImage> close_;
  std::unique_ptr<CBitmapImage> close2x_;
  std::unique_ptr<CBitmapImage> flag_;
  // ... and at the DPI when it is not 96 (null: the image as held).
  std::unique_ptr<CBitmapImage> backgroundAtDpi_;
  std::unique_ptr<CBitmapImage> closeAtDpi_;
  std::unique_ptr<CBitmapImage> flagAtDpi_;
  HBRUSH brush_ = nullptr;
  HFONT buttonFont_ = nullptr;
  // The dialog's own font as it was made, and the DPI it was made for: the
  // choice buttons' font at another DPI is scaled from it.
  LOGFONTW dialogFont_ = {};
  int dialogFontDpi_ = 0;
  CFontSpec titleFont_;
  CFontSpec statusFont_;
  CFontSpec newsFont_;
  CFontSpec footerFont_;
};

// A copy of font (the dialog's when null) in another character set; null
// when it cannot be made. The caller deletes it.
HFONT CreateFontInCharset(HFONT font, uint8_t charset);
// The same for a font description, with its height as given.
HFONT CreateFontInCharset(LOGFONTW description, uint8_t charset);
