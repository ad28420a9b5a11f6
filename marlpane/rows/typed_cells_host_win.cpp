// The default host's clock and window lookup on Windows.
#include <windows.h>

#include "common/date_text_win.h"
#include "common/text16.h"
#include "common/window_lookup_win.h"
#include "marlpane/rows/typed_cells.h"

void CTypedCellsHost::LocalNow(DateTimeFields& now) {
  SYSTEMTIME local;
  GetLocalTime(&local);
  now = ToDateTimeFields(local);
}

uintptr_t CTypedCellsHost::LookUpWindow(uintptr_t hint, const char16_t* windowTitle,
                                        const char16_t* className, char16_t* title,
                                        size_t capacity) {
  if (title && capacity > 0) title[0] = 0;
  HWND found = FindWindowSmart(reinterpret_cast<HWND>(hint), windowTitle, className);
  if (!found) return 0;
  if (title && capacity > 0) {
    const int limit = capacity > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(capacity);
    if (GetWindowTextW(found, AsWide(title), limit) <= 0) title[0] = 0;
  }
  return reinterpret_cast<uintptr_t>(found);
}
