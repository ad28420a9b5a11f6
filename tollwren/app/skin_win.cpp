#include "tollwren/app/skin_win.h"

#include "common/archive.h"
#include "common/text16.h"
#include "tollwren/app/script_charset.h"
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

void SetUpFont(CFontSpec& font, CTextStyle& style, uint8_t charset) {
  font.italic = style.italic ? 1 : 0;
  font.underline = style.underline ? 1 : 0;
  font.weight = style.bold ? FW_BOLD : FW_NORMAL;
  font.charset = charset;
  if (style.face.empty()) style.face = kDefaultFace;
  if (style.height == 0) style.height = kDefaultFontHeight;
  font.Create(style.face.c_str(), style.height);
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

void CSkin::LoadImages(CKeyedArchive& archive, const char16_t* archivePath) {
  close_ = LoadEntry(archive, archivePath, "bmc");
  background_ = LoadEntry(archive, archivePath, "bmk");
  if (brush_) DeleteObject(brush_);
  brush_ = background_ ? CreatePatternBrush(background_->Handle()) : nullptr;
}

void CSkin::LoadFlag(CKeyedArchive& archive, const char16_t* archivePath, const std::u16string& language) {
  flag_ = LoadEntry(archive, archivePath, LanguageEntryName(language, ".bmp").c_str());
}

void CSkin::CreateFonts(HWND dialog, CUpdaterSettings& settings, uint8_t charset) {
  SetUpFont(titleFont_, settings.title, charset);
  SetUpFont(statusFont_, settings.status, charset);
  SetUpFont(newsFont_, settings.news, charset);
  SetUpFont(footerFont_, settings.footer, charset);
  SendDlgItemMessageW(dialog, kStatusLineId, WM_SETFONT, reinterpret_cast<WPARAM>(statusFont_.Handle()), TRUE);
  SendDlgItemMessageW(dialog, kNewsLineId, WM_SETFONT, reinterpret_cast<WPARAM>(newsFont_.Handle()), TRUE);

  // The choice buttons keep the dialog's face; in another character set
  // their captions would otherwise show empty boxes.
  HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  HFONT buttonFont = charset == kDefaultCharset ? nullptr : CreateFontInCharset(dialogFont, charset);
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
  if (background_) {
    HDC memory = CreateCompatibleDC(context);
    HGDIOBJ previous = SelectObject(memory, background_->Handle());
    BitBlt(context, 0, 0, background_->Width(), background_->Height(), memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
  }
  SetBkMode(context, TRANSPARENT);
  SetTextAlign(context, TA_CENTER | TA_TOP);
  if (!title.empty()) DrawCentred(context, titleFont_.Handle(), settings.title.color, client.right / 2, kTitleTop, title);
  if (!footer.empty()) {
    // The record gives the footer no colour of its own: it takes the status
    // line's, one line high at the bottom edge.
    HGDIOBJ previous = SelectObject(context, footerFont_.Handle());
    TEXTMETRICW metrics = {};
    GetTextMetricsW(context, &metrics);
    SelectObject(context, previous);
    DrawCentred(context, footerFont_.Handle(), settings.status.color, client.right / 2,
                client.bottom - metrics.tmHeight - kFooterMargin, footer);
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
    image = close_.get();
  } else if (item.CtlID == static_cast<UINT>(kLanguageButtonId)) {
    image = flag_.get();
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
  if (background_) {
    RECT window, client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    const int width = background_->Width() + (window.right - window.left) - client.right;
    const int height = background_->Height() + (window.bottom - window.top) - client.bottom;
    SetWindowPos(dialog, nullptr, 0, 0, width, height, kKeep | SWP_NOMOVE);
  }
  RECT client;
  GetClientRect(dialog, &client);
  const CSkinLayout layout = LayOutSkin(client.right, closeShown, close_ ? close_->Width() : 0,
                                        close_ ? close_->Height() : 0, flag_ ? flag_->Width() : 0,
                                        flag_ ? flag_->Height() : 0);
  Place(dialog, kStatusLineId, layout.status);
  Place(dialog, kNewsLineId, layout.news);
  if (closeShown) Place(dialog, kCloseButtonId, layout.close);
  Place(dialog, kLanguageButtonId, layout.language);
  for (int i = 0; i < 3; ++i) Place(dialog, kChoiceButtonIds[i], layout.choices[i]);
  Place(dialog, kProgressBarId, layout.progress);
}
