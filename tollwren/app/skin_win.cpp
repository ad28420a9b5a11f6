#include "tollwren/app/skin_win.h"

#include "common/archive.h"
#include "common/dpi_scale.h"
#include "common/script_charset.h"
#include "common/text16.h"
#include "common/window_text_win.h"
#include "tollwren/app/skin_layout.h"
#include "tollwren/language/language_text.h"
#include "tollwren/flow/update_flow.h"

namespace {

constexpr int kDefaultFontHeight = 16;
constexpr char16_t kDefaultFace[] = u"sans";
constexpr int kTitleTop = 20;
constexpr int kFooterMargin = 6;

std::unique_ptr<CBitmapImage> LoadEntry(CKeyedArchive& archive, const char16_t* archivePath, const char* entry) {
  auto image = std::make_unique<CBitmapImage>();
  if (!LoadFromArchive(*image, archive, archivePath, entry)) return nullptr;
  return image;
}

// Scaled images larger than this on a side are not made: the image as held
// is shown instead.
constexpr int kLargestScaledSide = 8192;

// The image at dpi: null at 96 DPI, when there is none, or when it cannot
// be made (the caller shows the image as held). Above 100 % a twice-as-large
// version is the source when it is exactly twice the size.
std::unique_ptr<CBitmapImage> ScaledImage(const CBitmapImage* image, const CBitmapImage* twice, int dpi) {
  if (!image || dpi == kBaseDpi) return nullptr;
  const int width = ScaleForDpi(image->Width(), dpi);
  const int height = ScaleForDpi(image->Height(), dpi);
  if (width <= 0 || height <= 0 || width > kLargestScaledSide || height > kLargestScaledSide) return nullptr;
  const bool useTwice = dpi > kBaseDpi && twice && twice->Width() == 2 * image->Width() &&
                        twice->Height() == 2 * image->Height();
  auto scaled = std::make_unique<CBitmapImage>();
  if (!scaled->StretchFrom(useTwice ? *twice : *image, width, height)) return nullptr;
  return scaled;
}

void SetUpFont(CFontSpec& font, CTextStyle& style, uint8_t charset, int dpi) {
  font.italic = style.italic ? 1 : 0;
  font.underline = style.underline ? 1 : 0;
  font.weight = style.bold ? FW_BOLD : FW_NORMAL;
  font.charset = charset;
  if (style.face.empty()) style.face = kDefaultFace;
  if (style.height == 0) style.height = kDefaultFontHeight;
  font.Create(style.face.c_str(), ScaleForDpi(style.height, dpi));
}

// What a static control shows of its text: the size of the text wrapped at
// wrapWidth in the control's font, drawn as the control draws it.
CTextExtent MeasureStatic(HWND control, HFONT font, int wrapWidth) {
  if (!control || !IsWindowVisible(control)) return {};
  const std::u16string text = WindowText(control);
  if (text.empty()) return {};
  UINT format = DT_WORDBREAK | DT_EXPANDTABS;
  if (GetWindowLongW(control, GWL_STYLE) & SS_NOPREFIX) format |= DT_NOPREFIX;
  if (GetWindowLongW(control, GWL_EXSTYLE) & WS_EX_RTLREADING) format |= DT_RTLREADING;
  const SIZE size = TextSize(control, font, text, wrapWidth, format);
  return {size.cx, size.cy};
}

void Place(HWND dialog, int id, const CControlRect& rect) {
  HWND control = GetDlgItem(dialog, id);
  if (!control) return;
  SetWindowPos(control, nullptr, rect.x, rect.y, rect.width, rect.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void DrawCentred(HDC context, HFONT font, COLORREF color, int x, int y, const std::u16string& text) {
  SetTextColor(context, color);
  HGDIOBJ previous = SelectObject(context, font);
  TextOutW(context, x, y, AsWide(text.c_str()), static_cast<int>(text.size()));
  SelectObject(context, previous);
}

}  // namespace

HFONT CreateFontInCharset(HFONT font, uint8_t charset) {
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTW description = {};
  if (!GetObjectW(font, sizeof description, &description)) return nullptr;
  return CreateFontInCharset(description, charset);
}

HFONT CreateFontInCharset(LOGFONTW description, uint8_t charset) {
  description.lfCharSet = charset;
  HFONT created = CreateFontIndirectW(&description);
  // A face without the script keeps its own character set, and a bitmap
  // face (the dialog's) may claim the set without drawing its letters: then
  // any outline face of the script will do.
  HDC screen = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(screen, created);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(screen, &metrics);
  const bool hasScript = GetTextCharset(screen) == charset &&
                         (metrics.tmPitchAndFamily & (TMPF_TRUETYPE | TMPF_VECTOR)) != 0;
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  if (created && !hasScript) {
    DeleteObject(created);
    description.lfFaceName[0] = 0;
    description.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    created = CreateFontIndirectW(&description);
  }
  return created;
}

CSkin::~CSkin() {
  if (brush_) DeleteObject(brush_);
  if (buttonFont_) DeleteObject(buttonFont_);
}

void CSkin::SetDpi(int dpi) {
  if (dpi <= 0) dpi = kBaseDpi;
  if (dpi == dpi_) return;
  dpi_ = dpi;
  ScaleImages();
  ScaleFlag();
}

void CSkin::LoadImages(CKeyedArchive& archive, const char16_t* archivePath) {
  close_ = LoadEntry(archive, archivePath, "bmc");
  background_ = LoadEntry(archive, archivePath, "bmk");
  // Only worth reading when they would be drawn.
  close2x_ = dpi_ > kBaseDpi && close_ ? LoadEntry(archive, archivePath, "bmc@2x") : nullptr;
  background2x_ = dpi_ > kBaseDpi && background_ ? LoadEntry(archive, archivePath, "bmk@2x") : nullptr;
  ScaleImages();
}

void CSkin::ScaleImages() {
  closeAtDpi_ = ScaledImage(close_.get(), close2x_.get(), dpi_);
  backgroundAtDpi_ = ScaledImage(background_.get(), background2x_.get(), dpi_);
  if (brush_) DeleteObject(brush_);
  const CBitmapImage* background = Background();
  brush_ = background ? CreatePatternBrush(background->Handle()) : nullptr;
}

void CSkin::LoadFlag(CKeyedArchive& archive, const char16_t* archivePath, const std::u16string& language) {
  flag_ = LoadEntry(archive, archivePath, LanguageEntryName(language, ".bmp").c_str());
  ScaleFlag();
}

void CSkin::ScaleFlag() { flagAtDpi_ = ScaledImage(flag_.get(), nullptr, dpi_); }

void CSkin::CreateFonts(HWND dialog, CUpdaterSettings& settings, uint8_t charset) {
  SetUpFont(titleFont_, settings.title, charset, dpi_);
  SetUpFont(statusFont_, settings.status, charset, dpi_);
  SetUpFont(newsFont_, settings.news, charset, dpi_);
  SetUpFont(footerFont_, settings.footer, charset, dpi_);
  SendDlgItemMessageW(dialog, kStatusLineId, WM_SETFONT, reinterpret_cast<WPARAM>(statusFont_.Handle()), TRUE);
  SendDlgItemMessageW(dialog, kNewsLineId, WM_SETFONT, reinterpret_cast<WPARAM>(newsFont_.Handle()), TRUE);

  // The choice buttons keep the dialog's face; in another character set
  // their captions would otherwise show empty boxes.
  HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  if (dialogFontDpi_ == 0) {
    if (!dialogFont || !GetObjectW(dialogFont, sizeof dialogFont_, &dialogFont_)) {
      GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof dialogFont_, &dialogFont_);
    }
    dialogFontDpi_ = dpi_;
  }
  HFONT buttonFont = nullptr;
  if (dpi_ != dialogFontDpi_) {
    LOGFONTW scaled = dialogFont_;
    scaled.lfHeight = MulDiv(scaled.lfHeight, dpi_, dialogFontDpi_);
    buttonFont = CreateFontInCharset(scaled, charset == kDefaultCharset ? scaled.lfCharSet : charset);
  } else if (charset != kDefaultCharset) {
    buttonFont = CreateFontInCharset(dialogFont, charset);
  }
  for (int id : kChoiceButtonIds) {
    SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont ? buttonFont : dialogFont),
                        TRUE);
  }
  if (buttonFont_) DeleteObject(buttonFont_);
  buttonFont_ = buttonFont;
}

void CSkin::Paint(HWND dialog, const CUpdaterSettings& settings, const std::u16string& title,
                  const std::u16string& footer) {
  PAINTSTRUCT paint;
  HDC context = BeginPaint(dialog, &paint);
  if (!context) return;
  RECT client;
  GetClientRect(dialog, &client);
  if (const CBitmapImage* background = Background()) {
    HDC memory = CreateCompatibleDC(context);
    HGDIOBJ previous = SelectObject(memory, background->Handle());
    BitBlt(context, 0, 0, background->Width(), background->Height(), memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
  }
  SetBkMode(context, TRANSPARENT);
  SetTextAlign(context, TA_CENTER | TA_TOP);
  if (!title.empty()) {
    DrawCentred(context, titleFont_.Handle(), settings.title.color, client.right / 2, ScaleForDpi(kTitleTop, dpi_),
                title);
  }
  if (!footer.empty()) {
    // The record gives the footer no colour of its own: it takes the status
    // line's, one line high at the bottom edge.
    HGDIOBJ previous = SelectObject(context, footerFont_.Handle());
    TEXTMETRICW metrics = {};
    GetTextMetricsW(context, &metrics);
    SelectObject(context, previous);
    DrawCentred(context, footerFont_.Handle(), settings.status.color, client.right / 2,
                client.bottom - metrics.tmHeight - ScaleForDpi(kFooterMargin, dpi_), footer);
  }
  EndPaint(dialog, &paint);
}

HBRUSH CSkin::ColorStatic(HWND dialog, HDC context, HWND control, const CUpdaterSettings& settings) {
  SetBkMode(context, TRANSPARENT);
  const int id = GetDlgCtrlID(control);
  if (id == kStatusLineId) SetTextColor(context, settings.status.color);
  if (id == kNewsLineId) SetTextColor(context, settings.news.color);
  POINT origin = {0, 0};
  MapWindowPoints(control, dialog, &origin, 1);
  SetBrushOrgEx(context, -origin.x, -origin.y, nullptr);
  return brush_;
}

bool CSkin::DrawItem(const DRAWITEMSTRUCT& item) {
  const CBitmapImage* image = nullptr;
  if (item.CtlID == static_cast<UINT>(kCloseButtonId)) {
    image = Close();
  } else if (item.CtlID == static_cast<UINT>(kLanguageButtonId)) {
    image = Flag();
  } else {
    return false;
  }
  if (!image) return true;
  HDC memory = CreateCompatibleDC(item.hDC);
  HGDIOBJ previous = SelectObject(memory, image->Handle());
  BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right - item.rcItem.left,
         item.rcItem.bottom - item.rcItem.top, memory, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
  return true;
}

void CSkin::LayOut(HWND dialog, bool closeShown) {
  constexpr UINT kKeep = SWP_NOZORDER | SWP_NOACTIVATE;
  const CBitmapImage* background = Background();
  if (background) {
    RECT window, client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    const int width = background->Width() + (window.right - window.left) - client.right;
    const int height = background->Height() + (window.bottom - window.top) - client.bottom;
    SetWindowPos(dialog, nullptr, 0, 0, width, height, kKeep | SWP_NOMOVE);
  }
  RECT client;
  GetClientRect(dialog, &client);
  const CBitmapImage* close = Close();
  const CBitmapImage* flag = Flag();
  CSkinLayout layout = LayOutSkin(client.right, closeShown, close ? close->Width() : 0, close ? close->Height() : 0,
                                  flag ? flag->Width() : 0, flag ? flag->Height() : 0, dpi_);
  HWND status = GetDlgItem(dialog, kStatusLineId);
  HWND news = GetDlgItem(dialog, kNewsLineId);
  MakeRoomForTexts(
      layout, client.right, client.bottom, dpi_,
      [&](int width) { return MeasureStatic(status, statusFont_.Handle(), width); },
      [&](int width) { return MeasureStatic(news, newsFont_.Handle(), width); });
  Place(dialog, kStatusLineId, layout.status);
  Place(dialog, kNewsLineId, layout.news);
  if (closeShown) Place(dialog, kCloseButtonId, layout.close);
  Place(dialog, kLanguageButtonId, layout.language);
  for (int i = 0; i < 3; ++i) Place(dialog, kChoiceButtonIds[i], layout.choices[i]);
  Place(dialog, kProgressBarId, layout.progress);
}
