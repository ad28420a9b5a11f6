// SYSTEMTIME overloads of the date and time text operations.
#pragma once

#include <windows.h>

#include "common/date_text.h"

inline DateTimeFields ToDateTimeFields(const SYSTEMTIME& t) {
  DateTimeFields f;
  f.year = t.wYear; f.month = t.wMonth; f.dayOfWeek = t.wDayOfWeek; f.day = t.wDay;
  f.hour = t.wHour; f.minute = t.wMinute; f.second = t.wSecond; f.milliseconds = t.wMilliseconds;
  return f;
}

inline void StoreDateTimeFields(const DateTimeFields& f, SYSTEMTIME& t) {
  t.wYear = f.year; t.wMonth = f.month; t.wDayOfWeek = f.dayOfWeek; t.wDay = f.day;
  t.wHour = f.hour; t.wMinute = f.minute; t.wSecond = f.second; t.wMilliseconds = f.milliseconds;
}

inline size_t FormatDate(const SYSTEMTIME& time, char16_t* out, size_t capacity) {
  return FormatDate(ToDateTimeFields(time), out, capacity);
}
inline size_t FormatTime(const SYSTEMTIME& time, char16_t* out, size_t capacity) {
  return FormatTime(ToDateTimeFields(time), out, capacity);
}
inline bool ParseDate(const char16_t* text, SYSTEMTIME& time) {
  DateTimeFields f = ToDateTimeFields(time);
  if (!ParseDate(text, f)) return false;
  StoreDateTimeFields(f, time);
  return true;
}
inline bool ParseTime(const char16_t* text, SYSTEMTIME& time) {
  DateTimeFields f = ToDateTimeFields(time);
  if (!ParseTime(text, f)) return false;
  StoreDateTimeFields(f, time);
  return true;
}
