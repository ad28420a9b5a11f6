#include "marlpane/rows/detect_cell_kind.h"

#include <string>
#include <string_view>

#include "common/path_text.h"
#include "common/text16.h"
#include "marlpane/rows/typed_cells.h"

namespace {

bool ConsistsOf(const char16_t* text, size_t length, const char16_t* set) {
  for (size_t i = 0; i < length; ++i) {
    const char16_t* s = set;
    while (*s && *s != text[i]) ++s;
    if (!*s) return false;
  }
  return true;
}

bool IsHexColourText(const char16_t* text, size_t length) {
  return length == 7 && text[0] == u'#' && ConsistsOf(text + 1, 6, u"abcdefABCDEF1234567890");
}

// True when the value formatted again gives the stored text: "22-2-05-31"
// reads as a date but would show as " 22-02-05".
bool ShowsAsStored(const char16_t* text, size_t length, const DateTimeFields& value,
                   size_t (*format)(const DateTimeFields&, char16_t*, size_t)) {
  char16_t shown[kDateTextCapacity];
  return format(value, shown, kDateTextCapacity) == length &&
         std::u16string_view(shown, length) == std::u16string_view(text, length);
}

bool IsDateText(const char16_t* text, size_t length) {
  if (length != 10 || text[4] != u'-' || text[7] != u'-') return false;
  if (!ConsistsOf(text, length, u"-0123456789")) return false;
  DateTimeFields value;
  return ParseDate(text, value) && ShowsAsStored(text, length, value, FormatDate);
}

bool IsTimeText(const char16_t* text, size_t length) {
  if (length != 8 || text[2] != u':' || text[5] != u':') return false;
  if (!ConsistsOf(text, length, u"0123456789:")) return false;
  DateTimeFields value;
  return ParseTime(text, value) && ShowsAsStored(text, length, value, FormatTime);
}

// True when every piece between the delimiters fits a choice slot whole and
// none is empty, so the chosen item followed by the others gives the text back.
bool IsWholeChoiceList(const char16_t* text, size_t length) {
  if (!CountChar(text, kDetectedChoiceDelimiter)) return false;
  size_t pieces = 0;
  size_t pieceLength = 0;
  for (size_t i = 0; i <= length; ++i) {
    if (i == length || text[i] == kDetectedChoiceDelimiter) {
      if (pieceLength == 0 || pieceLength >= kChoiceItemCapacity) return false;
      if (++pieces > kChoiceSlotCount) return false;
      pieceLength = 0;
    } else {
      ++pieceLength;
    }
  }
  return true;
}

}  // namespace

StoredValueKind ClassifyStoredValue(const char16_t* text) {
  StoredValueKind result;
  const size_t length = TextLength(text);
  if (length == 0) return result;
  const size_t minus = CountChar(text, u'-');
  if (minus < 2 && ConsistsOf(text, length, u"-0123456789")) {
    result.kind = CellKind::Integer;
    result.rowTypeCode = kDetectedIntegerRow;
    return result;
  }
  if (minus < 2 && CountChar(text, u'.') < 2 && ConsistsOf(text, length, u"0123456789.-+")) {
    result.kind = CellKind::Real;
    result.rowTypeCode = kDetectedRealRow;
    size_t point = 0;
    while (point < length && text[point] != u'.') ++point;
    const size_t decimals = point < length ? length - point - 1 : length - 1;
    result.decimals = decimals > 255 ? 255 : static_cast<int>(decimals);
    return result;
  }
  if (IsHexColourText(text, length)) {
    result.kind = CellKind::Color;
    result.rowTypeCode = kDetectedColorRow;
  } else if (IsDateText(text, length)) {
    result.kind = CellKind::Date;
    result.rowTypeCode = kDetectedDateRow;
  } else if (IsTimeText(text, length)) {
    result.kind = CellKind::Time;
    result.rowTypeCode = kDetectedTimeRow;
  } else if (IsWholeChoiceList(text, length)) {
    result.kind = CellKind::Choice;
    result.rowTypeCode = kDetectedChoiceRow;
  }
  return result;
}

int CTypedCells::DetectCellKind(int row, int column, const char16_t* stored) {
  if (!CellAt(row, column)) return -1;
  const char16_t* text = stored ? stored : u"";
  const StoredValueKind detected = ClassifyStoredValue(text);
  const DateTimeFields noBound;
  switch (detected.kind) {
    case CellKind::Integer:
      SetIntegerKind(row, column, 0, 0, 0);
      SetCellText(row, column, text);
      break;
    case CellKind::Real:
      SetRealKind(row, column, 0, 0, 0, detected.decimals);
      SetCellText(row, column, text);
      break;
    case CellKind::Color:
      SetColorKind(row, column);
      SetColorText(row, column, text);
      break;
    case CellKind::Date:
      SetDateKind(row, column, noBound, noBound);
      SetDateText(row, column, text);
      break;
    case CellKind::Time:
      // The stored time becomes the value, so that its editor opens at it.
      SetTimeKind(row, column, noBound, noBound);
      SetTimeText(row, column, text);
      SetCellText(row, column, text);
      break;
    case CellKind::Choice: {
      SetChoiceKind(row, column, true);
      FillChoices(row, column, text, kDetectedChoiceDelimiter);
      std::u16string first(text);
      first.resize(first.find(kDetectedChoiceDelimiter));
      SetCellText(row, column, first.c_str());
      break;
    }
    default:
      SetTextKind(row, column);
      SetCellText(row, column, text);
      break;
  }
  return detected.rowTypeCode;
}
