// Date and time texts "YYYY-MM-DD" and "HH:MM:SS" on a record laid out like
// the system's SYSTEMTIME (see date_text_win.h for the Windows overloads).
#pragma once

#include <cstddef>
#include <cstdint>

struct DateTimeFields {
  uint16_t year = 0;
  uint16_t month = 0;
  uint16_t dayOfWeek = 0;
  uint16_t day = 0;
  uint16_t hour = 0;
  uint16_t minute = 0;
  uint16_t second = 0;
  uint16_t milliseconds = 0;
};

// Enough for the longest text either pattern can make from 16-bit fields.
constexpr size_t kDateTextCapacity = 20;

// "%4d-%02d-%02d" of year, month, day; "%02d:%02d:%02d" of hour, minute,
// second. The text is cut to capacity - 1 characters. Return its length.
size_t FormatDate(const DateTimeFields& time, char16_t* out, size_t capacity);
size_t FormatTime(const DateTimeFields& time, char16_t* out, size_t capacity);

// Read a text of exactly 10 (date) or 8 (time) characters with the patterns
// above (each number: leading spaces, then up to its field width of digits;
// no range check). On success only year, month and day (or hour, minute and
// second) are stored; on failure nothing is.
bool ParseDate(const char16_t* text, DateTimeFields& time);
bool ParseTime(const char16_t* text, DateTimeFields& time);
