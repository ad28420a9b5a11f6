// The default host's clock and window lookup outside Windows: the local
// clock of the C library, and no windows to find.
#include <ctime>

#include "marlpane/rows/typed_cells.h"

void CTypedCellsHost::LocalNow(DateTimeFields& now) {
  const std::time_t seconds = std::time(nullptr);
  std::tm local{};
  localtime_r(&seconds, &local);
  now = DateTimeFields();
  now.year = static_cast<uint16_t>(local.tm_year + 1900);
  now.month = static_cast<uint16_t>(local.tm_mon + 1);
  now.dayOfWeek = static_cast<uint16_t>(local.tm_wday);
  now.day = static_cast<uint16_t>(local.tm_mday);
  now.hour = static_cast<uint16_t>(local.tm_hour);
  now.minute = static_cast<uint16_t>(local.tm_min);
  now.second = static_cast<uint16_t>(local.tm_sec);
}

uintptr_t CTypedCellsHost::LookUpWindow(uintptr_t, const char16_t*, const char16_t*,
                                        char16_t* title, size_t capacity) {
  if (title && capacity > 0) title[0] = 0;
  return 0;
}
