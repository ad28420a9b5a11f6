// Cell kinds of the option list and the parameter block each kind carries.
// The kind numbers are fixed: several row type codes reuse them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/date_text.h"

enum class CellKind : int32_t {
  Untyped = 0,
  ReadOnly = 1,
  Integer = 11,
  Real = 12,
  Text = 13,
  Color = 22,
  Font = 23,
  OpenFile = 24,
  SaveFile = 25,
  Folder = 26,
  Choice = 27,
  Password = 28,
  Toggle = 29,
  Date = 30,
  Time = 31,
  MultiLine = 33,
  Window = 34,
};

// Every row has cells for the columns 0 to 199; a larger index fails.
constexpr int kCellColumnCount = 200;

// A cell text holds at most 4999 characters (plus the terminator).
constexpr size_t kCellTextCapacity = 5000;

// Number texts are read from at most this many characters of a cell text.
constexpr size_t kNumberReadCapacity = 50;

// In the list a line break inside a multi-line value shows as this marker.
constexpr char16_t kLineBreakMarker = u'\u00AB';

// What a password cell always shows.
constexpr char16_t kPasswordMask[] = u"******";

// Colour cells: the almost-black colour stands in for black wherever 0 would
// mean "the list's default colour"; texts on dark colours are white.
constexpr uint32_t kAlmostBlack = 0x00000001;  // red 1, green 0, blue 0
constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr unsigned kDarkColourSumLimit = 382;  // red + green + blue below it: dark

// Times carry this date so that values and bounds compare on one day.
constexpr uint16_t kTimeDateYear = 2001;
constexpr uint16_t kTimeDateMonth = 2;
constexpr uint16_t kTimeDateDay = 1;

struct IntegerBlock {
  int32_t value = 0;
  int32_t min = 0;
  int32_t max = 0;
  uint8_t digits = 0;  // least digits shown, with leading zeros; 0 = none
};

// Real bounds count as absent when both lie strictly inside this distance of 0.
constexpr float kRealBoundEpsilon = 0.000001f;
// A requested decimal count of 0 is stored as this.
constexpr uint8_t kDefaultRealDecimals = 4;

struct RealBlock {
  float value = 0;
  float min = 0;
  float max = 0;
  uint8_t intDigits = 0;
  uint8_t decimals = kDefaultRealDecimals;
};

constexpr size_t kFilterCapacity = 100;  // 99 characters and the terminator

struct FilterBlock {
  char16_t filter[kFilterCapacity] = {};
};

constexpr size_t kChoiceSlotCount = 100;
constexpr size_t kChoiceItemLimit = 100;  // characters of one item
constexpr size_t kChoiceItemCapacity = kChoiceItemLimit + 1;  // with the terminator
// Slots 0 to 99 of at most 100 characters each; the slots after the last
// one stored are empty. The visible list of items ends at the first empty
// slot. Only the slots in use take memory: a file can hold thousands of
// choice rows.
struct ChoiceBlock {
  uint16_t current = 0;
  std::vector<std::u16string> items;
  uint8_t sorted = 0;  // only how the drop-down shows them; indexes are slots

  const char16_t* Item(size_t slot) const {
    return slot < items.size() ? items[slot].c_str() : u"";
  }
};

constexpr size_t kPasswordLimit = 5000;  // characters
struct PasswordBlock {
  int32_t minLength = 0;  // 0: no limit on that side
  int32_t maxLength = 0;
  std::u16string text;
};

constexpr size_t kToggleLabelLimit = 5000;  // characters
struct ToggleBlock {
  uint8_t on = 0;
  std::u16string offLabel;
  std::u16string onLabel;
};

// Each record is laid out like the system's SYSTEMTIME. A date bound is
// absent when its year is 0; a time bound when hour, minute and second are 0.
static_assert(sizeof(DateTimeFields) == 16, "DateTimeFields mirrors SYSTEMTIME");
struct DateTimeBlock {
  DateTimeFields current;
  DateTimeFields min;
  DateTimeFields max;
};

inline bool HasDateBound(const DateTimeFields& bound) { return bound.year != 0; }
inline bool HasTimeBound(const DateTimeFields& bound) {
  return bound.hour != 0 || bound.minute != 0 || bound.second != 0;
}

constexpr size_t kFontFaceCapacity = 32;  // 31 characters and the terminator

struct FontBlock {
  char16_t face[kFontFaceCapacity] = {};
  int32_t size = 0;  // points
  int32_t sizeMin = 0;
  int32_t sizeMax = 0;  // 0: the chooser does not limit the sizes
  uint8_t bold = 0;
  uint8_t italic = 0;
  uint8_t underline = 0;
  uint8_t strikeOut = 0;
};

constexpr size_t kWindowTextCapacity = 101;  // 100 characters and the terminator

struct WindowBlock {
  uintptr_t window = 0;  // window handle
  char16_t title[kWindowTextCapacity] = {};
  char16_t className[kWindowTextCapacity] = {};
  uint8_t visibleTitledOnly = 0;
  uint8_t sorted = 0;
};

inline bool HasBounds(const IntegerBlock& block) { return block.min != 0 || block.max != 0; }
inline bool HasBounds(const RealBlock& block) {
  auto nearZero = [](float v) { return v > -kRealBoundEpsilon && v < kRealBoundEpsilon; };
  return !(nearZero(block.min) && nearZero(block.max));
}

// The number of items before the first empty slot.
inline size_t VisibleChoiceCount(const ChoiceBlock& block) {
  size_t n = 0;
  while (n < block.items.size() && !block.items[n].empty()) ++n;
  return n;
}

// Flag text: no when empty or starting with 0, F, N, f or n; yes otherwise.
// The word "off" (in any case) is no as well: it would otherwise read as yes
// and a toggle saved as "off" would load back switched on.
inline bool FlagTextIsYes(const char16_t* text) {
  if (!text || !text[0]) return false;
  switch (text[0]) {
    case u'0': case u'F': case u'N': case u'f': case u'n': return false;
    case u'O': case u'o':
      return !((text[1] == u'F' || text[1] == u'f') && (text[2] == u'F' || text[2] == u'f') &&
               text[3] == 0);
    default: return true;
  }
}
