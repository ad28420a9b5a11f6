#include "tollwren/language/language_file_win.h"

#include "common/text16.h"
#include "tollwren/language/language_text.h"
#include "tollwren/flow/update_flow.h"

std::u16string SystemLanguageName() {
  wchar_t name[kLanguageNameLimit + 1] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, name, kLanguageNameLimit + 1) <= 0) {
    return std::u16string();
  }
  return std::u16string(AsText(name));
}

void ApplyReadingOrder(HWND dialog, bool rightToLeft) {
  static const int kControls[] = {kStatusLineId, kNewsLineId, kChoiceButtonIds[0], kChoiceButtonIds[1],
                                  kChoiceButtonIds[2]};
  for (int id : kControls) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) continue;
    LONG_PTR style = GetWindowLongPtrW(control, GWL_EXSTYLE);
    style = rightToLeft ? (style | WS_EX_RTLREADING) : (style & ~static_cast<LONG_PTR>(WS_EX_RTLREADING));
    SetWindowLongPtrW(control, GWL_EXSTYLE, style);
  }
}
