// Arbitrary stored values through kind detection and the text setters of
// every kind. Checks that detected lists give their text back when joined,
// that numbers, texts and times are shown as stored, and that no operation
// reads or writes outside its buffers.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "marlpane/rows/detect_cell_kind.h"
#include "marlpane/rows/typed_cells.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::u16string JoinedChoices(const ChoiceBlock& block) {
  std::u16string joined = block.Item(block.current);
  for (size_t i = 0; i < VisibleChoiceCount(block); ++i) {
    if (i == block.current) continue;
    joined += u';';
    joined += block.Item(i);
  }
  return joined;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text;
  for (size_t i = 0; i + 1 < size; i += 2) {
    const char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (c == 0) continue;
    text.push_back(c);
  }
  const char16_t* value = text.c_str();
  const bool fits = text.size() < kCellTextCapacity;

  CTypedCells cells;
  cells.AppendRow();
  const int code = cells.DetectCellKind(0, 1, value);
  const CellKind kind = cells.GetCellKind(0, 1);
  Check(code == static_cast<int>(kind) || (code == 0 && kind == CellKind::Text));
  Check(cells.CellText(0, 1).size() < kCellTextCapacity);
  switch (kind) {
    case CellKind::Integer:
    case CellKind::Real:
    case CellKind::Time:
    case CellKind::Date:
    case CellKind::Text:
      if (fits) Check(cells.CellText(0, 1) == text);
      break;
    case CellKind::Choice:
      Check(JoinedChoices(*cells.GetChoiceItems(0, 1)) == text);
      break;
    default:
      break;
  }

  // Every kind's text operations with the same value.
  cells.SetIntegerKind(0, 2, -100, 100, data[0] % 12);
  cells.EnterIntegerText(0, 2, value);
  cells.SetCellText(0, 2, value);
  cells.LoadIntegerValue(0, 2);
  cells.ApplyIntegerValue(0, 2);
  const IntegerBlock* integer = cells.GetIntegerBlock(0, 2);
  Check(integer->value >= -100 && integer->value <= 100);

  cells.SetRealKind(0, 3, -5.5f, 5.5f, size > 0 ? data[0] : 0, size > 1 ? data[1] : 0);
  cells.EnterRealText(0, 3, value);
  cells.SetCellText(0, 3, value);
  cells.LoadRealValue(0, 3);
  cells.ApplyRealValue(0, 3);
  const RealBlock* real = cells.GetRealBlock(0, 3);
  Check(real->value >= -5.5f && real->value <= 5.5f);

  cells.SetColorKind(0, 4);
  cells.SetColorText(0, 4, value);
  Check(cells.CellText(0, 4).size() == 7 && cells.CellText(0, 4)[0] == u'#');

  cells.SetDateKind(0, 5, {}, {});
  cells.SetDateText(0, 5, value);
  cells.SetTimeKind(0, 6, {}, {});
  cells.SetTimeText(0, 6, value);

  cells.SetChoiceKind(0, 7, false);
  cells.FillChoices(0, 7, value, text.empty() ? u';' : text[0]);
  cells.SelectChoiceByPrefix(0, 7, value);
  cells.SelectChoiceByText(0, 7, value);
  char16_t chosen[kChoiceItemCapacity];
  Check(cells.GetChoiceText(0, 7, chosen, kChoiceItemCapacity) < static_cast<int>(kChoiceSlotCount));

  cells.SetMultiLineKind(0, 8);
  cells.SetMultiLineText(0, 8, value);
  std::u16string back(kCellTextCapacity, u'\0');
  cells.GetMultiLineText(0, 8, back.data(), back.size());
  back.resize(std::char_traits<char16_t>::length(back.c_str()));
  if (fits && text.find(kLineBreakMarker) == std::u16string::npos) Check(back == text);

  cells.SetToggleKind(0, 9, value, value);
  cells.FlipToggle(0, 9);
  cells.SetPasswordKind(0, 10, 0, 0, value);
  cells.SetFontKind(0, 11, 0, 0);
  cells.SetFont(0, 11, value, static_cast<int32_t>(size), true, false, true, false);
  cells.SetWindowKind(0, 12, true, true);
  cells.SetWindow(0, 12, 0, value, value);
  cells.SetOpenFileKind(0, 13, value);
  return 0;
}
