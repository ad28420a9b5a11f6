#include "marlpane/app/dialog_dpi_win.h"

#include <cstdint>
#include <memory>

#include "common/bitmap_image.h"
#include "common/dpi_scale.h"
#include "common/font_fallback_win.h"
#include "common/window_dpi_win.h"
#include "marlpane/app/dialog_layout.h"

namespace {

constexpr char kBanner2xEntry[] = "banner@2x.bmp";

int gDpi = kBaseDpi;

// The banner at twice its size, read from the archive the first time a DPI
// above 96 asks for it.
CBitmapImage gBanner2x;
bool gBanner2xTried = false;
CKeyedArchive* gArchive = nullptr;
const char16_t* gArchivePath = nullptr;

// The stretched copy the picture control shows (null: it shows the banner
// itself), and its size.
std::unique_ptr<CBitmapImage> gShownBanner;
int gShownWidth = -1;
int gShownHeight = -1;

// The controls' font at the present DPI once the DPI has changed or the
// dialog's font lacked glyphs of the editor's texts; until then they keep
// the one the dialog manager made for the template.
HFONT gDialogFont = nullptr;
// Whether gDialogFont is in another face than the template's.
bool gOtherFace = false;

const CBitmapImage* Banner2x(const CBitmapImage& banner) {
  if (!gBanner2xTried && gArchive && gArchivePath) {
    gBanner2xTried = true;
    if (!LoadFromArchive(gBanner2x, *gArchive, gArchivePath, kBanner2xEntry)) return nullptr;
  }
  const bool twice = gBanner2x.Handle() && int64_t(gBanner2x.Width()) == 2 * int64_t(banner.Width()) &&
                     int64_t(gBanner2x.Height()) == 2 * int64_t(banner.Height());
  return twice ? &gBanner2x : nullptr;
}

BOOL CALLBACK SetControlFont(HWND control, LPARAM font) {
  SendMessageW(control, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
  return TRUE;
}

HFONT PresentFont(HWND dialog) {
  return gDialogFont ? gDialogFont : reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
}

// A font of its own as described, given to the dialog and every control.
void GiveFont(HWND dialog, const LOGFONTW& description) {
  HFONT font = CreateFontIndirectW(&description);
  if (!font) return;
  SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  EnumChildWindows(dialog, SetControlFont, reinterpret_cast<LPARAM>(font));
  if (gDialogFont) DeleteObject(gDialogFont);
  gDialogFont = font;
}

// The dialog's font scaled from one DPI to the next, given to every control.
void ScaleControlFonts(HWND dialog, int oldDpi, int newDpi) {
  HFONT present = PresentFont(dialog);
  LOGFONTW font = {};
  if (!present || !GetObjectW(present, sizeof font, &font)) return;
  font.lfHeight = MulDiv(font.lfHeight, newDpi, oldDpi);
  font.lfWidth = MulDiv(font.lfWidth, newDpi, oldDpi);
  GiveFont(dialog, font);
}

}  // namespace

int MainDialogDpi() { return gDpi; }

void UseFontForTexts(HWND dialog, std::u16string_view texts) {
  HFONT present = PresentFont(dialog);
  CFontFallback fonts;
  fonts.SetBaseFont(present);
  HFONT chosen = fonts.FontFor(texts);
  LOGFONTW font = {};
  if (!chosen || chosen == present || !GetObjectW(chosen, sizeof font, &font)) return;
  GiveFont(dialog, font);
  gOtherFace = true;
}

HFONT InterfaceFont() { return gOtherFace ? gDialogFont : nullptr; }

void UseInterfaceFont(HWND window) {
  HFONT font = InterfaceFont();
  if (!font) return;
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  EnumChildWindows(window, SetControlFont, reinterpret_cast<LPARAM>(font));
}

void TakeDialogDpi(HWND dialog) {
  gDpi = WindowDpi(dialog);
  TakeOverDpiChanges(dialog);
}

void ShowBannerAtDpi(HWND dialog, int controlId, const CBitmapImage& banner,
                     CKeyedArchive& archive, const char16_t* archivePath) {
  gArchive = &archive;
  gArchivePath = archivePath;
  HWND control = GetDlgItem(dialog, controlId);
  if (!control || !banner.Handle()) return;
  // A picture is never mirrored, also in a window laid out right to left.
  SetWindowLongPtrW(control, GWL_EXSTYLE, GetWindowLongPtrW(control, GWL_EXSTYLE) & ~WS_EX_LAYOUTRTL);
  const Box size = ScaledBannerSize(banner.Width(), banner.Height(), gDpi);
  const CBitmapImage* source = gDpi > kBaseDpi ? Banner2x(banner) : nullptr;
  if (!source) source = &banner;
  std::unique_ptr<CBitmapImage> shown;
  const bool asItIs = source == &banner && size.width == banner.Width() &&
                      size.height == banner.Height();
  if (!asItIs) {
    shown = std::make_unique<CBitmapImage>();
    if (!shown->StretchFrom(*source, size.width, size.height)) shown.reset();
  }
  gShownWidth = shown ? size.width : banner.Width();
  gShownHeight = shown ? size.height : banner.Height();
  SetWindowPos(control, nullptr, 0, 0, gShownWidth, gShownHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP,
               reinterpret_cast<LPARAM>(shown ? shown->Handle() : banner.Handle()));
  // The control does not own what it is given: the copy it showed before goes.
  gShownBanner = std::move(shown);
}

int ShownBannerWidth(const CBitmapImage& banner) {
  return gShownWidth >= 0 ? gShownWidth : banner.Width();
}

int ShownBannerHeight(const CBitmapImage& banner) {
  return gShownHeight >= 0 ? gShownHeight : banner.Height();
}

int TwoLinesHeight(HWND control) {
  HDC context = GetDC(control);
  if (!context) return 0;
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  HGDIOBJ old = font ? SelectObject(context, font) : nullptr;
  TEXTMETRICW metrics = {};
  const bool measured = GetTextMetricsW(context, &metrics) != FALSE;
  if (old) SelectObject(context, old);
  ReleaseDC(control, context);
  return measured ? 2 * metrics.tmHeight : 0;
}

bool OnDialogDpiChanged(HWND dialog, int bannerId, const CBitmapImage& banner, WPARAM wParam,
                        LPARAM lParam) {
  const int newDpi = DpiOfChange(wParam);
  if (!newDpi) return false;
  const int oldDpi = gDpi;
  gDpi = newDpi;
  if (newDpi != oldDpi) ScaleControlFonts(dialog, oldDpi, newDpi);
  if (gArchive) ShowBannerAtDpi(dialog, bannerId, banner, *gArchive, gArchivePath);
  MoveToSuggestedRect(dialog, lParam);
  return true;
}
