#include "marlpane/app/about_box_win.h"

#include "common/text16.h"
#include "marlpane/app/dialog_dpi_win.h"
#include "marlpane/app/resource_ids.h"
#include "marlpane/editors/editor_texts.h"

namespace {

void SetTexts(HWND box) {
  SetWindowTextW(box, AsWide(EditorTextOf(EditorText::AboutTitle).c_str()));
  const struct {
    int id;
    std::u16string text;
  } texts[] = {
      {IDC_ABOUT_NAME, EditorTextOf(EditorText::AboutName)},
      {IDC_ABOUT_VERSION, EditorTextOf(EditorText::AboutVersion, {{u"<Version>", u"" MARLPANE_VERSION_TEXT}})},
      {IDC_ABOUT_DISTRIBUTION, EditorTextOf(EditorText::AboutDistribution)},
      {IDC_ABOUT_TERMS, EditorTextOf(EditorText::AboutTerms)},
      {IDOK, EditorTextOf(EditorText::Ok)},
  };
  for (const auto& text : texts) SetDlgItemTextW(box, text.id, AsWide(text.text.c_str()));
}

INT_PTR CALLBACK AboutBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetTexts(box);
      UseInterfaceFont(box);
      return TRUE;
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

void ShowAboutBox(HINSTANCE instance, HWND owner) {
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT_BOX), owner, AboutBoxProcedure, 0);
}
