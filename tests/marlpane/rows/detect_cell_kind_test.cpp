#include "marlpane/rows/detect_cell_kind.h"

#include <gtest/gtest.h>

#include <string>

#include "common/text16.h"
#include "marlpane/rows/typed_cells.h"
#include "tests/marlpane/rows/fixed_clock.h"

namespace {

using celltest::FixedClock;

struct Detection {
  const char16_t* stored;
  int code;
  CellKind kind;
  const char16_t* shown;
};

// Values as they stand in real settings files.
const Detection kDetections[] = {
    // empty
    {u"", 0, CellKind::Text, u""},
    // whole numbers
    {u"12", 11, CellKind::Integer, u"12"},
    {u"-5", 11, CellKind::Integer, u"-5"},
    {u"0", 11, CellKind::Integer, u"0"},
    {u"007", 11, CellKind::Integer, u"007"},
    {u"8080", 11, CellKind::Integer, u"8080"},
    {u"-", 11, CellKind::Integer, u"-"},
    {u"99999999999999", 11, CellKind::Integer, u"99999999999999"},  // shown as stored
    // reals
    {u"1.5", 12, CellKind::Real, u"1.5"},
    {u"+3", 12, CellKind::Real, u"+3"},
    {u"+12", 12, CellKind::Real, u"+12"},
    {u".", 12, CellKind::Real, u"."},
    {u"-0.25", 12, CellKind::Real, u"-0.25"},
    {u"3.", 12, CellKind::Real, u"3."},
    {u"1.0E5", 0, CellKind::Text, u"1.0E5"},
    {u"1.2.3", 0, CellKind::Text, u"1.2.3"},
    {u"--", 0, CellKind::Text, u"--"},
    {u"1,5", 0, CellKind::Text, u"1,5"},
    // colours
    {u"#A0b0C0", 22, CellKind::Color, u"#A0B0C0"},
    {u"#000000", 22, CellKind::Color, u"#000000"},
    {u"#ffffff", 22, CellKind::Color, u"#FFFFFF"},
    {u"#12345", 0, CellKind::Text, u"#12345"},
    {u"#1234567", 0, CellKind::Text, u"#1234567"},
    {u"#12345G", 0, CellKind::Text, u"#12345G"},
    {u"0xFF8000", 0, CellKind::Text, u"0xFF8000"},  // only the "#" form is detected
    {u"FF8000", 0, CellKind::Text, u"FF8000"},
    // dates
    {u"2012-05-31", 30, CellKind::Date, u"2012-05-31"},
    {u"1999-12-01", 30, CellKind::Date, u"1999-12-01"},
    {u"2012-5-31", 0, CellKind::Text, u"2012-5-31"},
    {u"2012/05/31", 0, CellKind::Text, u"2012/05/31"},
    {u"2012-0--31", 0, CellKind::Text, u"2012-0--31"},  // shaped like a date, reads as none
    {u"31-05-2012", 0, CellKind::Text, u"31-05-2012"},
    {u"22-2-05-31", 0, CellKind::Text, u"22-2-05-31"},  // reads as a date, shows otherwise
    // times
    {u"12:30:00", 31, CellKind::Time, u"12:30:00"},
    {u"07:05:09", 31, CellKind::Time, u"07:05:09"},
    {u"7:05:09", 0, CellKind::Text, u"7:05:09"},
    {u"12:30", 0, CellKind::Text, u"12:30"},
    {u"12:3::00", 0, CellKind::Text, u"12:3::00"},
    {u"12:34:5:", 0, CellKind::Text, u"12:34:5:"},    // reads as a time, shows otherwise
    // lists
    {u"a;b", 27, CellKind::Choice, u"a"},
    {u"low;medium;high", 27, CellKind::Choice, u"low"},
    {u"C:\\Tools;D:\\Bin", 27, CellKind::Choice, u"C:\\Tools"},
    {u"a;;b", 0, CellKind::Text, u"a;;b"},
    {u";a", 0, CellKind::Text, u";a"},
    {u"x;y;", 0, CellKind::Text, u"x;y;"},
    {u";", 0, CellKind::Text, u";"},
    // flags, paths and plain text
    {u"true", 0, CellKind::Text, u"true"},
    {u"yes", 0, CellKind::Text, u"yes"},
    {u"C:\\Program Files\\App\\app.exe", 0, CellKind::Text, u"C:\\Program Files\\App\\app.exe"},
    {u"/usr/local/share", 0, CellKind::Text, u"/usr/local/share"},
    {u"Hello, world", 0, CellKind::Text, u"Hello, world"},
    {u"http://example.com:8080/x", 0, CellKind::Text, u"http://example.com:8080/x"},
    {u"1 000", 0, CellKind::Text, u"1 000"},
    {u" 12", 0, CellKind::Text, u" 12"},
};

TEST(DetectCellKind, ValuesOfRealSettingsFiles) {
  FixedClock clock;
  CTypedCells cells(&clock);
  for (const auto& d : kDetections) {
    SCOPED_TRACE(TextToUtf8(d.stored));
    const int row = cells.AppendRow();
    EXPECT_EQ(ClassifyStoredValue(d.stored).rowTypeCode, d.code);
    EXPECT_EQ(cells.DetectCellKind(row, 1, d.stored), d.code);
    EXPECT_EQ(cells.GetCellKind(row, 1), d.kind);
    EXPECT_EQ(cells.CellText(row, 1), d.shown);
  }
}

TEST(DetectCellKind, RealDecimalsComeFromTheDigitsAfterThePoint) {
  struct Case { const char16_t* stored; int decimals; } cases[] = {
      {u"1.5", 1}, {u"+3", 1}, {u"+12", 2}, {u".", 4}, {u"3.", 4}, {u"-0.125", 3},
      {u"+-", 1}, {u"0.0000001", 7},
  };
  CTypedCells cells;
  for (const auto& c : cases) {
    SCOPED_TRACE(TextToUtf8(c.stored));
    const int row = cells.AppendRow();
    ASSERT_EQ(cells.DetectCellKind(row, 1, c.stored), 12);
    const RealBlock* block = cells.GetRealBlock(row, 1);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->decimals, c.decimals);
    EXPECT_EQ(block->intDigits, 0);
    EXPECT_FALSE(HasBounds(*block));
  }
  const std::u16string manyDecimals = u"1." + std::u16string(300, u'5');
  EXPECT_EQ(ClassifyStoredValue(manyDecimals.c_str()).decimals, 255);
}

TEST(DetectCellKind, DetectedNumbersHaveNoBoundsAndReadBack) {
  CTypedCells cells;
  cells.AppendRow();
  ASSERT_EQ(cells.DetectCellKind(0, 1, u"-40"), 11);
  const IntegerBlock* block = cells.GetIntegerBlock(0, 1);
  EXPECT_FALSE(HasBounds(*block));
  EXPECT_EQ(block->digits, 0);
  ASSERT_TRUE(cells.LoadIntegerValue(0, 1));
  EXPECT_EQ(block->value, -40);
}

TEST(DetectCellKind, DatesAndTimesBecomeTheValueOfTheirCell) {
  FixedClock clock;
  CTypedCells cells(&clock);
  cells.AppendRow();
  cells.AppendRow();
  ASSERT_EQ(cells.DetectCellKind(0, 1, u"2012-05-31"), 30);
  const DateTimeBlock* date = cells.GetDateTimeBlock(0, 1);
  EXPECT_EQ(date->current.year, 2012);
  EXPECT_EQ(date->current.month, 5);
  EXPECT_EQ(date->current.day, 31);
  EXPECT_FALSE(HasDateBound(date->min));
  EXPECT_FALSE(HasDateBound(date->max));

  // The time editor opens at the stored time, not at the time of loading.
  ASSERT_EQ(cells.DetectCellKind(1, 1, u"12:30:00"), 31);
  const DateTimeBlock* time = cells.GetDateTimeBlock(1, 1);
  EXPECT_EQ(time->current.hour, 12);
  EXPECT_EQ(time->current.minute, 30);
  EXPECT_EQ(time->current.second, 0);
  EXPECT_EQ(time->current.year, 2001);
  EXPECT_FALSE(HasTimeBound(time->min));
}

TEST(DetectCellKind, ListsBecomeSortedChoicesOfTheirPieces) {
  CTypedCells cells;
  cells.AppendRow();
  ASSERT_EQ(cells.DetectCellKind(0, 1, u"low;medium;high"), 27);
  const ChoiceBlock* block = cells.GetChoiceItems(0, 1);
  EXPECT_EQ(block->sorted, 1);
  EXPECT_EQ(block->current, 0);
  EXPECT_EQ(VisibleChoiceCount(*block), 3u);
  EXPECT_EQ(std::u16string(block->Item(2)), u"high");
}

TEST(DetectCellKind, ListsTheChoiceSlotsCannotHoldStayText) {
  std::u16string hundred, hundredOne;
  for (int i = 0; i < 100; ++i) hundred += (i ? u";" : u"") + std::u16string(1, u'a');
  hundredOne = hundred + u";b";
  EXPECT_EQ(ClassifyStoredValue(hundred.c_str()).rowTypeCode, 27);
  EXPECT_EQ(ClassifyStoredValue(hundredOne.c_str()).rowTypeCode, 0);
  const std::u16string longPiece = std::u16string(100, u'x') + u";y";
  const std::u16string tooLongPiece = std::u16string(101, u'x') + u";y";
  EXPECT_EQ(ClassifyStoredValue(longPiece.c_str()).rowTypeCode, 27);
  EXPECT_EQ(ClassifyStoredValue(tooLongPiece.c_str()).rowTypeCode, 0);
}

TEST(DetectCellKind, DetectingAgainRetypesTheCell) {
  CTypedCells cells;
  cells.AppendRow();
  cells.DetectCellKind(0, 1, u"a;b");
  ASSERT_NE(cells.GetChoiceItems(0, 1), nullptr);
  EXPECT_EQ(cells.DetectCellKind(0, 1, u"plain"), 0);
  EXPECT_EQ(cells.GetCellKind(0, 1), CellKind::Text);
  EXPECT_EQ(cells.GetChoiceItems(0, 1), nullptr);
  EXPECT_EQ(cells.DetectCellKind(0, 1, nullptr), 0);
  EXPECT_EQ(cells.CellText(0, 1), u"");
}

TEST(DetectCellKind, ColoursGetTheirCellColours) {
  CTypedCells cells;
  cells.AppendRow();
  ASSERT_EQ(cells.DetectCellKind(0, 1, u"#000000"), 22);
  uint32_t text = 0, back = 0;
  cells.GetCellColours(0, 1, &text, &back);
  EXPECT_EQ(back, kAlmostBlack);
  EXPECT_EQ(text, kWhite);
}

}  // namespace
