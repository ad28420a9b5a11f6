#include "tollwren/language/language_file_win.h"

#include "tollwren/flow/update_flow.h"

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
