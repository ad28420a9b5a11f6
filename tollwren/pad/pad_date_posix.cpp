// Outside Windows there is no user locale to ask; the release date is
// written in ISO 8601 form.
#include "tollwren/pad/pad_document.h"

#include <cstdio>

std::u16string FormatReleaseDate(int32_t year, int32_t month, int32_t day) {
  if (!IsValidReleaseDate(year, month, day)) return std::u16string();
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", static_cast<int>(year), static_cast<int>(month),
                static_cast<int>(day));
  std::u16string out;
  for (const char* p = text; *p; ++p) out.push_back(static_cast<char16_t>(*p));
  return out;
}
