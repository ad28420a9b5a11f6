#include "tollwren/app/about_box_win.h"

#include "common/script_charset.h"
#include "common/text16.h"
#include "tollwren/app/resource_ids.h"
#include "tollwren/app/skin_win.h"

namespace {

struct AboutText {
  const std::u16string* title;
  const std::u16string* body;
  HFONT font;
};

INT_PTR CALLBACK AboutProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* text = reinterpret_cast<AboutText*>(lParam);
      SetWindowTextW(box, AsWide(text->title->c_str()));
      const uint8_t charset = CharsetForText(*text->body);
      if (charset != kDefaultCharset) {
        text->font = CreateFontInCharset(reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)), charset);
        if (text->font) SendDlgItemMessageW(box, IDC_ABOUT_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(text->font), 0);
      }
      SetDlgItemTextW(box, IDC_ABOUT_TEXT, AsWide(text->body->c_str()));
      return TRUE;
    }
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORMSGBOX:
      return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(box, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

void ShowAboutBox(HWND owner, const std::u16string& title, const std::u16string& body) {
  AboutText text = {&title, &body, nullptr};
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutProcedure,
                  reinterpret_cast<LPARAM>(&text));
  if (text.font) DeleteObject(text.font);
}

std::u16string WithoutMnemonic(const std::u16string& text) {
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'&') {
      if (i + 1 < text.size() && text[i + 1] == u'&') out.push_back(text[++i]);
      continue;
    }
    out.push_back(text[i]);
  }
  return out;
}
