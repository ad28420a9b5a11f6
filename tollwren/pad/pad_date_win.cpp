// The release date in the user's short date format.
#include "tollwren/pad/pad_document.h"

#include <windows.h>

#include "common/text16.h"

std::u16string FormatReleaseDate(int32_t year, int32_t month, int32_t day) {
  if (!IsValidReleaseDate(year, month, day)) return std::u16string();
  SYSTEMTIME date = {};
  date.wYear = static_cast<WORD>(year);
  date.wMonth = static_cast<WORD>(month);
  date.wDay = static_cast<WORD>(day);
  // Day of the week (Sakamoto's method), for formats that name the day.
  static const int kMonthOffset[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  int y = year - (month < 3 ? 1 : 0);
  date.wDayOfWeek = static_cast<WORD>((y + y / 4 - y / 100 + y / 400 + kMonthOffset[month - 1] + day) % 7);
  wchar_t text[kReleaseDateLimit + 1] = {};
  if (GetDateFormatW(LOCALE_USER_DEFAULT, 0, &date, nullptr, text, kReleaseDateLimit + 1) <= 0) {
    return std::u16string();
  }
  return std::u16string(AsText(text));
}
