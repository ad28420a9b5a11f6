#include "marlpane/rows/typed_cells.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text16.h"

namespace {

// Records what the cells report and answers with a fixed clock and one
// known window.
class RecordingHost : public CTypedCellsHost {
 public:
  struct TextChange {
    int row, column;
    std::u16string text;
  };
  std::vector<TextChange> texts;
  std::vector<CellKind> kinds;
  uint32_t lastTextColour = 0xDEAD, lastBackColour = 0xDEAD;
  DateTimeFields now;
  uintptr_t liveWindow = 0x1234;
  std::u16string liveTitle = u"Live title";
  std::u16string liveClass = u"LiveClass";

  RecordingHost() {
    now.year = 2026; now.month = 12; now.dayOfWeek = 1; now.day = 7;
    now.hour = 9; now.minute = 51; now.second = 13; now.milliseconds = 250;
  }
  void CellTextChanged(int row, int column, const char16_t* text) override {
    texts.push_back({row, column, text});
  }
  void CellColoursChanged(int, int, uint32_t textColour, uint32_t backColour) override {
    lastTextColour = textColour;
    lastBackColour = backColour;
  }
  void CellKindSet(int, int, CellKind kind) override { kinds.push_back(kind); }
  void LocalNow(DateTimeFields& out) override { out = now; }
  uintptr_t LookUpWindow(uintptr_t hint, const char16_t* title, const char16_t* className,
                         char16_t* out, size_t capacity) override {
    const bool byHint = hint == liveWindow && liveClass == className;
    const bool byTitle = liveTitle == title;
    const bool byClass = liveClass == className;
    if (!byHint && !byTitle && !byClass) return 0;
    CopyText(out, capacity, liveTitle.c_str());
    return liveWindow;
  }
};

class TypedCellsTest : public ::testing::Test {
 protected:
  RecordingHost host;
  CTypedCells cells{&host};
  void SetUp() override {
    for (int i = 0; i < 3; ++i) cells.AppendRow();
  }
  std::u16string Text(int row = 0, int column = 1) const { return cells.CellText(row, column); }
};

DateTimeFields Fields(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  DateTimeFields f;
  f.year = static_cast<uint16_t>(year);
  f.month = static_cast<uint16_t>(month);
  f.day = static_cast<uint16_t>(day);
  f.hour = static_cast<uint16_t>(hour);
  f.minute = static_cast<uint16_t>(minute);
  f.second = static_cast<uint16_t>(second);
  return f;
}

// ---- addressing and rows ---------------------------------------------------

TEST_F(TypedCellsTest, CellsOutsideTheRowsOrColumnsFailAndReadAsUntyped) {
  struct Case { int row, column; bool exists; } cases[] = {
      {0, 0, true}, {0, 199, true}, {2, 1, true},
      {0, 200, false}, {0, -1, false}, {3, 1, false}, {-1, 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.row << "," << c.column);
    EXPECT_EQ(cells.SetTextKind(c.row, c.column), c.exists);
    EXPECT_EQ(cells.SetCellText(c.row, c.column, u"x"), c.exists);
    EXPECT_EQ(cells.SetIntegerKind(c.row, c.column, 0, 0, 0), c.exists);
    EXPECT_EQ(cells.GetCellKind(c.row, c.column), c.exists ? CellKind::Integer : CellKind::Untyped);
    char16_t out[8] = u"junk";
    EXPECT_EQ(cells.GetCellText(c.row, c.column, out, 8), c.exists);
    EXPECT_EQ(std::u16string(out), c.exists ? u"x" : u"");
    EXPECT_EQ(cells.DetectCellKind(c.row, c.column, u"12"), c.exists ? 11 : -1);
  }
}

TEST_F(TypedCellsTest, CellNeverTypedReadsUntypedWithEmptyText) {
  EXPECT_EQ(cells.GetCellKind(1, 5), CellKind::Untyped);
  char16_t out[4] = u"abc";
  EXPECT_TRUE(cells.GetCellText(1, 5, out, 4));
  EXPECT_EQ(out[0], 0);
  uint32_t text = 7, back = 7;
  EXPECT_TRUE(cells.GetCellColours(1, 5, &text, &back));
  EXPECT_EQ(text, 0u);
  EXPECT_EQ(back, 0u);
  EXPECT_FALSE(cells.GetCellColours(1, 200, &text, &back));
}

TEST_F(TypedCellsTest, RowsInsertedAndDeletedCarryTheirCells) {
  cells.SetTextKind(0, 1);
  cells.SetCellText(0, 1, u"first");
  cells.SetIntegerKind(1, 1, 0, 0, 0);
  cells.SetCellText(1, 1, u"second");
  IntegerBlock* block = cells.GetIntegerBlock(1, 1);

  ASSERT_TRUE(cells.InsertRow(0));
  EXPECT_EQ(cells.RowCount(), 4);
  EXPECT_EQ(cells.GetCellKind(0, 1), CellKind::Untyped);
  EXPECT_EQ(Text(1), u"first");
  EXPECT_EQ(Text(2), u"second");
  EXPECT_EQ(cells.GetIntegerBlock(2, 1), block);  // blocks keep their address

  ASSERT_TRUE(cells.DeleteRow(1));
  EXPECT_EQ(Text(1), u"second");
  EXPECT_EQ(cells.GetCellKind(1, 1), CellKind::Integer);
  EXPECT_FALSE(cells.DeleteRow(3));
  EXPECT_FALSE(cells.InsertRow(5));
  EXPECT_TRUE(cells.InsertRow(cells.RowCount()));  // appending is inserting at the end

  cells.DeleteAllRows();
  EXPECT_EQ(cells.RowCount(), 0);
  EXPECT_EQ(cells.GetCellKind(0, 1), CellKind::Untyped);
  EXPECT_FALSE(cells.SetTextKind(0, 1));
}

TEST_F(TypedCellsTest, CellTextIsCutTo4999Characters) {
  const std::u16string longText(6000, u'a');
  ASSERT_TRUE(cells.SetCellText(0, 1, longText.c_str()));
  EXPECT_EQ(Text().size(), kCellTextCapacity - 1);
  char16_t small[5];
  EXPECT_TRUE(cells.GetCellText(0, 1, small, 5));
  EXPECT_EQ(std::u16string(small), u"aaaa");
  EXPECT_TRUE(cells.SetCellText(0, 1, nullptr));
  EXPECT_EQ(Text(), u"");
}

TEST_F(TypedCellsTest, HostHearsOfTextsKindsAndColours) {
  cells.SetColorKind(0, 1);
  cells.SetColorText(0, 1, u"#102030");
  ASSERT_FALSE(host.texts.empty());
  EXPECT_EQ(host.texts.back().row, 0);
  EXPECT_EQ(host.texts.back().column, 1);
  EXPECT_EQ(host.texts.back().text, u"#102030");
  EXPECT_EQ(host.kinds, std::vector<CellKind>{CellKind::Color});
  EXPECT_EQ(host.lastBackColour, 0x00302010u);
  EXPECT_EQ(host.lastTextColour, kWhite);
}

// ---- block ownership -----------------------------------------------------

TEST_F(TypedCellsTest, RetypingToTheSameLayoutOverwritesTheBlockInPlace) {
  ASSERT_TRUE(cells.SetOpenFileKind(0, 1, u"*.txt;*.log"));
  FilterBlock* filter = cells.GetFilterBlock(0, 1);
  ASSERT_NE(filter, nullptr);
  ASSERT_TRUE(cells.SetSaveFileKind(0, 1, u"*.ini"));
  EXPECT_EQ(cells.GetFilterBlock(0, 1), filter);
  EXPECT_EQ(std::u16string(filter->filter), u"*.ini");
  EXPECT_EQ(cells.GetCellKind(0, 1), CellKind::SaveFile);

  cells.SetDateKind(1, 1, Fields(2000, 1, 1), DateTimeFields());
  DateTimeBlock* times = cells.GetDateTimeBlock(1, 1);
  cells.SetTimeKind(1, 1, DateTimeFields(), DateTimeFields());
  EXPECT_EQ(cells.GetDateTimeBlock(1, 1), times);
  EXPECT_EQ(times->min.year, 0);  // the old bound is gone

  cells.SetChoiceKind(2, 1, false);
  cells.FillChoices(2, 1, u"a;b", u';');
  cells.SelectChoiceByIndex(2, 1, 1);
  ChoiceBlock* choice = cells.GetChoiceBlock(2, 1);
  cells.SetChoiceKind(2, 1, true);
  EXPECT_EQ(cells.GetChoiceBlock(2, 1), choice);
  EXPECT_EQ(choice->Item(0)[0], 0);
  EXPECT_EQ(choice->current, 0);
  EXPECT_EQ(choice->sorted, 1);
}

TEST_F(TypedCellsTest, RetypingToAnotherLayoutReplacesTheBlock) {
  cells.SetIntegerKind(0, 1, 1, 10, 3);
  ASSERT_NE(cells.GetIntegerBlock(0, 1), nullptr);
  cells.SetRealKind(0, 1, 0, 0, 0, 0);
  EXPECT_EQ(cells.GetIntegerBlock(0, 1), nullptr);
  ASSERT_NE(cells.GetRealBlock(0, 1), nullptr);
  EXPECT_EQ(cells.GetRealBlock(0, 1)->decimals, 4);
  cells.SetIntegerKind(0, 1, 0, 0, 0);
  EXPECT_EQ(cells.GetRealBlock(0, 1), nullptr);
  EXPECT_EQ(cells.GetIntegerBlock(0, 1)->min, 0);  // a fresh block, not the first one's values
}

TEST_F(TypedCellsTest, KindsWithoutABlockReleaseIt) {
  using Setter = bool (CTypedCells::*)(int, int);
  const Setter plainKinds[] = {&CTypedCells::SetReadOnly, &CTypedCells::SetColorKind,
                               &CTypedCells::SetFolderKind, &CTypedCells::SetTextKind,
                               &CTypedCells::SetMultiLineKind};
  for (Setter set : plainKinds) {
    cells.SetPasswordKind(0, 1, 1, 8, u"secret");
    ASSERT_NE(cells.GetPasswordBlock(0, 1), nullptr);
    ASSERT_TRUE((cells.*set)(0, 1));
    EXPECT_EQ(cells.GetPasswordBlock(0, 1), nullptr);
    EXPECT_EQ(cells.GetPasswordText(0, 1), nullptr);
  }
  // A block kind set again afterwards starts from scratch.
  cells.SetPasswordKind(0, 1, 0, 0, nullptr);
  EXPECT_EQ(std::u16string(cells.GetPasswordText(0, 1)), u"");
}

// ---- operations of one kind on a cell of another ---------------------------

TEST_F(TypedCellsTest, KindOperationsOnAnotherKindFailAndChangeNothing) {
  const CellKind others[] = {CellKind::Untyped, CellKind::Text, CellKind::ReadOnly};
  for (CellKind kind : others) {
    SCOPED_TRACE(static_cast<int>(kind));
    CTypedCells c(&host);
    c.AppendRow();
    if (kind == CellKind::Text) c.SetTextKind(0, 1);
    if (kind == CellKind::ReadOnly) c.SetReadOnly(0, 1);
    c.SetCellText(0, 1, u"keep");
    char16_t out[16];
    FontBlock font;
    uintptr_t window = 0;
    EXPECT_FALSE(c.SetColor(0, 1, 0x123456));
    EXPECT_FALSE(c.SetColorText(0, 1, u"#123456"));
    EXPECT_FALSE(c.FillChoices(0, 1, u"a;b", u';'));
    EXPECT_FALSE(c.SelectChoiceByText(0, 1, u""));
    EXPECT_FALSE(c.SelectChoiceByIndex(0, 1, 0));
    EXPECT_FALSE(c.SelectChoiceByPrefix(0, 1, u"a"));
    EXPECT_EQ(c.GetChoiceText(0, 1, out, 16), -1);
    EXPECT_EQ(c.GetChoiceIndex(0, 1), 0);
    EXPECT_EQ(c.GetChoiceItems(0, 1), nullptr);
    EXPECT_EQ(c.GetPasswordText(0, 1), nullptr);
    EXPECT_FALSE(c.SetPasswordText(0, 1, u"x"));
    EXPECT_FALSE(c.LoadIntegerValue(0, 1));
    EXPECT_FALSE(c.SetIntegerValue(0, 1, 5));
    EXPECT_FALSE(c.EnterIntegerText(0, 1, u"5"));
    EXPECT_FALSE(c.ApplyIntegerValue(0, 1));
    EXPECT_FALSE(c.LoadRealValue(0, 1));
    EXPECT_FALSE(c.SetRealValue(0, 1, 5));
    EXPECT_FALSE(c.EnterRealText(0, 1, u"5"));
    EXPECT_FALSE(c.ApplyRealValue(0, 1));
    EXPECT_FALSE(c.SetToggleState(0, 1, true));
    EXPECT_FALSE(c.GetToggleState(0, 1));
    EXPECT_FALSE(c.FlipToggle(0, 1));
    EXPECT_FALSE(c.SetDateText(0, 1, u"2012-05-31"));
    EXPECT_FALSE(c.SetDateValue(0, 1, Fields(2012, 5, 31)));
    EXPECT_FALSE(c.SetTimeText(0, 1, u"12:30:00"));
    EXPECT_FALSE(c.SetTimeValue(0, 1, Fields(0, 0, 0, 1, 2, 3)));
    EXPECT_FALSE(c.SetMultiLineText(0, 1, u"a\nb"));
    EXPECT_FALSE(c.GetMultiLineText(0, 1, out, 16));
    EXPECT_FALSE(c.SetFont(0, 1, u"Arial", 10, false, false, false, false));
    EXPECT_FALSE(c.GetFont(0, 1, font));
    EXPECT_FALSE(c.SetWindow(0, 1, 0x1234, u"Live title", u"LiveClass"));
    EXPECT_FALSE(c.GetWindow(0, 1, &window, out, 16, out, 16));
    EXPECT_EQ(c.CellText(0, 1), u"keep");
    EXPECT_EQ(c.GetCellKind(0, 1), kind);
  }
}

TEST_F(TypedCellsTest, DateOperationsRefuseATimeCellAndTheOtherWayRound) {
  cells.SetDateKind(0, 1, {}, {});
  cells.SetTimeKind(1, 1, {}, {});
  EXPECT_FALSE(cells.SetTimeText(0, 1, u"12:30:00"));
  EXPECT_FALSE(cells.SetDateText(1, 1, u"2012-05-31"));
  EXPECT_TRUE(cells.SetDateText(0, 1, u"2012-05-31"));
  EXPECT_TRUE(cells.SetTimeText(1, 1, u"12:30:00"));
}

// ---- whole numbers and reals -----------------------------------------------

TEST_F(TypedCellsTest, IntegerEntriesAreClampedAndPrintedWithTheirDigits) {
  struct Case {
    int min, max, digits;
    const char16_t* loaded;   // cell text before the editor opens
    const char16_t* entered;  // the editor's text
    const char16_t* shown;
  } cases[] = {
      {1, 10, 3, u"5", u"42", u"010"},
      {1, 10, 3, u"5", u"abc", u"005"},      // keeps the loaded value
      {1, 10, 3, u"x", u"abc", u"001"},      // value 0, raised to min
      {0, 0, 0, u"0", u"123456", u"123456"},  // no bounds: nothing clamped
      {0, 0, 0, u"0", u"-7", u"-7"},
      {0, 0, 4, u"0", u"-7", u"-007"},        // the sign counts in the width
      {-5, 5, 0, u"0", u"99", u"5"},
      {-5, 5, 0, u"0", u"-99", u"-5"},
      {10, 1, 0, u"0", u"5", u"1"},           // min above max: max wins
      {0, 0, 0, u"0", u"  +12abc", u"12"},
      {0, 0, 0, u"0", u"99999999999", u"2147483647"},
      {0, 0, 0, u"0", u"-99999999999", u"-2147483648"},
      {0, 0, 0, u"0", u"123456789012345678901234", u"2147483647"},
      {0, 100, 0, u"0", u"0", u"0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(TextToUtf8(c.entered));
    ASSERT_TRUE(cells.SetIntegerKind(0, 1, c.min, c.max, c.digits));
    cells.SetCellText(0, 1, c.loaded);
    cells.LoadIntegerValue(0, 1);
    ASSERT_TRUE(cells.EnterIntegerText(0, 1, c.entered));
    EXPECT_EQ(Text(), c.shown);
  }
}

TEST_F(TypedCellsTest, IntegerValueLoadsFromTheCellText) {
  cells.SetIntegerKind(0, 1, 0, 0, 0);
  cells.SetCellText(0, 1, u" -42 rest");
  EXPECT_TRUE(cells.LoadIntegerValue(0, 1));
  EXPECT_EQ(cells.GetIntegerBlock(0, 1)->value, -42);
  cells.SetCellText(0, 1, u"none");
  EXPECT_FALSE(cells.LoadIntegerValue(0, 1));
  EXPECT_EQ(cells.GetIntegerBlock(0, 1)->value, -42);
  // Only the first 49 characters are read.
  cells.SetCellText(0, 1, (std::u16string(49, u' ') + u"7").c_str());
  EXPECT_FALSE(cells.LoadIntegerValue(0, 1));
  EXPECT_TRUE(cells.SetIntegerValue(0, 1, 8));
  EXPECT_EQ(Text(), u"8");
  cells.GetIntegerBlock(0, 1)->value = 9;  // what an editor does
  EXPECT_TRUE(cells.ApplyIntegerValue(0, 1));
  EXPECT_EQ(Text(), u"9");
}

TEST_F(TypedCellsTest, IntegerDigitsAreKeptToAByte) {
  cells.SetIntegerKind(0, 1, 0, 0, 300);
  EXPECT_EQ(cells.GetIntegerBlock(0, 1)->digits, 255);
  cells.SetIntegerValue(0, 1, 1);
  EXPECT_EQ(Text().size(), 255u);
  cells.SetIntegerKind(0, 1, 0, 0, -3);
  EXPECT_EQ(cells.GetIntegerBlock(0, 1)->digits, 0);
}

TEST_F(TypedCellsTest, RealEntriesAreClampedAndPrintedWithTheirDecimals) {
  struct Case {
    float min, max;
    int intDigits, decimals;
    const char16_t* entered;
    const char16_t* shown;
  } cases[] = {
      {0, 0, 1, 2, u"0.5", u"0.50"},
      {0, 0, 0, 0, u"1.5", u"1.5000"},      // decimals 0 stored as 4
      {0, 0, 3, 1, u"2.26", u"002.3"},      // at least 3 + 1 + 1 characters
      {0, 0, 0, 2, u"-0.5", u"-0.50"},
      {0.5f, 2.5f, 0, 2, u"7", u"2.50"},
      {0.5f, 2.5f, 0, 2, u"0.1", u"0.50"},
      {0.0000001f, -0.0000001f, 0, 1, u"-100", u"-100.0"},  // bounds near 0 count as absent
      {-1, 0, 0, 1, u"3", u"0.0"},          // min -1 makes bounds present; max 0 applies
      {0, 0, 0, 2, u"1e2", u"100.00"},
      {0, 0, 0, 2, u"12ergs", u"12.00"},
      {0, 0, 0, 2, u"nonsense", u"12.00"},  // keeps the value before
      {0, 0, 0, 2, u"1e999", u"12.00"},     // beyond a float: does not read
      {0, 0, 0, 2, u"inf", u"12.00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(TextToUtf8(c.entered));
    ASSERT_TRUE(cells.SetRealKind(0, 1, c.min, c.max, c.intDigits, c.decimals));
    cells.SetCellText(0, 1, u"12");
    cells.LoadRealValue(0, 1);
    ASSERT_TRUE(cells.EnterRealText(0, 1, c.entered));
    EXPECT_EQ(Text(), c.shown);
  }
}

TEST_F(TypedCellsTest, RealValueLoadsFromTheCellText) {
  cells.SetRealKind(0, 1, 0, 0, 0, 3);
  cells.SetCellText(0, 1, u"+3.25");
  EXPECT_TRUE(cells.LoadRealValue(0, 1));
  EXPECT_FLOAT_EQ(cells.GetRealBlock(0, 1)->value, 3.25f);
  cells.SetCellText(0, 1, u".");
  EXPECT_FALSE(cells.LoadRealValue(0, 1));
  EXPECT_FLOAT_EQ(cells.GetRealBlock(0, 1)->value, 3.25f);
  EXPECT_TRUE(cells.ApplyRealValue(0, 1));
  EXPECT_EQ(Text(), u"3.250");
  EXPECT_TRUE(cells.SetRealValue(0, 1, -1.0f));
  EXPECT_EQ(Text(), u"-1.000");
}

// ---- colours -----------------------------------------------------------------

TEST_F(TypedCellsTest, ColourTextsShowAsHashRrggbbAndColourTheCell) {
  struct Case {
    const char16_t* text;
    const char16_t* shown;
    uint32_t background, textColour;
  } cases[] = {
      {u"#A0b0C0", u"#A0B0C0", 0x00C0B0A0, kAlmostBlack},
      {u"0xFF8000", u"#FF8000", 0x000080FF, kAlmostBlack},
      {u"FF8000", u"#FF8000", 0x000080FF, kAlmostBlack},
      {u"#000000", u"#000000", kAlmostBlack, kWhite},
      {u"#FFFFFF", u"#FFFFFF", 0x00FFFFFF, kAlmostBlack},
      {u"#7F7F7F", u"#7F7F7F", 0x007F7F7F, kWhite},       // 381: dark
      {u"#807F7F", u"#807F7F", 0x007F7F80, kAlmostBlack}, // 382: light
      {u"0XFF8000", u"#000000", kAlmostBlack, kWhite},    // capital X reads only the 0
      {u"red", u"#000000", kAlmostBlack, kWhite},         // not hexadecimal: black
      {u"blue", u"#00000B", 0x000B0000, kWhite},          // read as far as it is hexadecimal
      {u"", u"#000000", kAlmostBlack, kWhite},
      {u"#FFFFFFFF", u"#FFFFFF", 0x00FFFFFF, kAlmostBlack},  // extra byte dropped
      {u"#010203", u"#010203", 0x00030201, kWhite},
  };
  cells.SetColorKind(0, 1);
  for (const auto& c : cases) {
    SCOPED_TRACE(TextToUtf8(c.text));
    ASSERT_TRUE(cells.SetColorText(0, 1, c.text));
    EXPECT_EQ(Text(), c.shown);
    uint32_t text = 0, back = 0;
    cells.GetCellColours(0, 1, &text, &back);
    EXPECT_EQ(back, c.background);
    EXPECT_EQ(text, c.textColour);
  }
  EXPECT_TRUE(cells.SetColor(0, 1, 0x00563412));
  EXPECT_EQ(Text(), u"#123456");
}

// ---- choices -------------------------------------------------------------

std::vector<std::u16string> Items(const ChoiceBlock* block) {
  std::vector<std::u16string> items;
  for (size_t i = 0; i < kChoiceSlotCount; ++i) items.emplace_back(block->Item(i));
  while (!items.empty() && items.back().empty()) items.pop_back();
  return items;
}

TEST_F(TypedCellsTest, FillChoicesPutsEachPieceInItsSlot) {
  using Slots = std::vector<std::u16string>;
  struct Case {
    const char16_t* text;
    char16_t delimiter;
    Slots slots;
    size_t visible;
  } cases[] = {
      {u"a;b;c", u';', {u"a", u"b", u"c"}, 3},
      {u"a;;b", u';', {u"a", u"", u"b"}, 1},
      {u";a", u';', {u"", u"a"}, 0},
      {u"x;y;", u';', {u"x", u"y"}, 2},
      {u"x|y;z", u'|', {u"x", u"y;z"}, 2},
      {u"", u';', {}, 0},
      {u"solo", u';', {u"solo"}, 1},
  };
  cells.SetChoiceKind(0, 1, false);
  for (const auto& c : cases) {
    SCOPED_TRACE(TextToUtf8(c.text));
    cells.FillChoices(0, 1, u"old;items;here", u';');
    ASSERT_TRUE(cells.FillChoices(0, 1, c.text, c.delimiter));
    const ChoiceBlock* block = cells.GetChoiceItems(0, 1);
    EXPECT_EQ(Items(block), c.slots);
    EXPECT_EQ(VisibleChoiceCount(*block), c.visible);
  }
}

TEST_F(TypedCellsTest, FillChoicesTakesAtMost100PiecesOf100Characters) {
  std::u16string text;
  for (int i = 0; i < 120; ++i) text += u"i" + Utf8ToText(std::to_string(i)) + u";";
  text = std::u16string(150, u'L') + u";" + text;
  cells.SetChoiceKind(0, 1, false);
  cells.FillChoices(0, 1, text.c_str(), u';');
  const ChoiceBlock* block = cells.GetChoiceItems(0, 1);
  EXPECT_EQ(VisibleChoiceCount(*block), 100u);
  EXPECT_EQ(std::u16string(block->Item(0)), std::u16string(100, u'L'));
  EXPECT_EQ(std::u16string(block->Item(1)), u"i0");
  EXPECT_EQ(std::u16string(block->Item(99)), u"i98");
}

TEST_F(TypedCellsTest, SelectingChoicesSetsIndexAndCellText) {
  cells.SetChoiceKind(0, 1, true);
  cells.FillChoices(0, 1, u"red;green;;blue", u';');
  EXPECT_TRUE(cells.SelectChoiceByText(0, 1, u"green"));
  EXPECT_EQ(cells.GetChoiceIndex(0, 1), 1);
  EXPECT_EQ(Text(), u"green");

  EXPECT_FALSE(cells.SelectChoiceByText(0, 1, u"Green"));  // case matters
  EXPECT_FALSE(cells.SelectChoiceByText(0, 1, u"purple"));
  EXPECT_EQ(cells.GetChoiceIndex(0, 1), 1);
  EXPECT_EQ(Text(), u"green");

  // The hidden item behind the empty slot can still be chosen by its text;
  // an empty text chooses the first empty slot.
  EXPECT_TRUE(cells.SelectChoiceByText(0, 1, u"blue"));
  EXPECT_EQ(cells.GetChoiceIndex(0, 1), 3);
  EXPECT_TRUE(cells.SelectChoiceByText(0, 1, u""));
  EXPECT_EQ(cells.GetChoiceIndex(0, 1), 2);
  EXPECT_EQ(Text(), u"");

  EXPECT_TRUE(cells.SelectChoiceByIndex(0, 1, 0));
  char16_t out[kChoiceItemCapacity];
  EXPECT_EQ(cells.GetChoiceText(0, 1, out, kChoiceItemCapacity), 0);
  EXPECT_EQ(std::u16string(out), u"red");
  EXPECT_TRUE(cells.SelectChoiceByIndex(0, 1, 99));
  EXPECT_EQ(Text(), u"");
  EXPECT_FALSE(cells.SelectChoiceByIndex(0, 1, 100));
  EXPECT_FALSE(cells.SelectChoiceByIndex(0, 1, -1));
  EXPECT_EQ(cells.GetChoiceIndex(0, 1), 99);
  char16_t tiny[3];
  cells.SelectChoiceByIndex(0, 1, 1);
  EXPECT_EQ(cells.GetChoiceText(0, 1, tiny, 3), 1);
  EXPECT_EQ(std::u16string(tiny), u"gr");
}

TEST_F(TypedCellsTest, SelectChoiceByPrefixTakesTheLongestCommonBeginning) {
  struct Case {
    const char16_t* items;
    const char16_t* text;
    int index;
  } cases[] = {
      {u"C: [System];D: (CD)", u"D:\\data", 1},
      {u"C: [System];D: (CD)", u"Q:", 0},
      {u"C: [System];D: (CD)", u"", 0},
      {u"ab;abc;abcd", u"abcx", 1},
      {u"abc;abd", u"ab", 0},  // equally good: the first wins
      {u"a;;zz", u"zz", 0},    // only the visible items count
      {u"", u"x", 0},
  };
  cells.SetChoiceKind(0, 1, false);
  for (const auto& c : cases) {
    SCOPED_TRACE(TextToUtf8(c.text));
    cells.FillChoices(0, 1, c.items, u';');
    cells.SelectChoiceByIndex(0, 1, 1);
    ASSERT_TRUE(cells.SelectChoiceByPrefix(0, 1, c.text));
    EXPECT_EQ(cells.GetChoiceIndex(0, 1), c.index);
    EXPECT_EQ(Text(), std::u16string(cells.GetChoiceItems(0, 1)->Item(c.index)));
  }
}

// ---- passwords, toggles --------------------------------------------------------

TEST_F(TypedCellsTest, PasswordCellsShowStarsWhateverThePassword) {
  ASSERT_TRUE(cells.SetPasswordKind(0, 1, 4, 8, u""));
  EXPECT_EQ(Text(), u"******");
  EXPECT_EQ(cells.GetPasswordBlock(0, 1)->minLength, 4);
  EXPECT_EQ(cells.GetPasswordBlock(0, 1)->maxLength, 8);
  EXPECT_TRUE(cells.SetPasswordText(0, 1, u"open sesame"));
  EXPECT_EQ(std::u16string(cells.GetPasswordText(0, 1)), u"open sesame");
  EXPECT_EQ(Text(), u"******");
  const std::u16string longText(6000, u'p');
  cells.SetPasswordText(0, 1, longText.c_str());
  EXPECT_EQ(TextLength(cells.GetPasswordText(0, 1)), 5000u);
}

TEST_F(TypedCellsTest, TogglesShowTheLabelOfTheirState) {
  struct Case {
    const char16_t* offLabel;
    const char16_t* onLabel;
    const char16_t* shownOn;
    const char16_t* shownOff;
  } cases[] = {
      {u"Off", u"On", u"On", u"Off"},
      {nullptr, nullptr, u"Yes", u"No"},
      {u"", u"", u"", u""},  // empty labels stay empty
      {u"Off", nullptr, u"Yes", u"Off"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(cells.SetToggleKind(0, 1, c.offLabel, c.onLabel));
    EXPECT_FALSE(cells.GetToggleState(0, 1));
    ASSERT_TRUE(cells.SetToggleState(0, 1, true));
    EXPECT_TRUE(cells.GetToggleState(0, 1));
    EXPECT_EQ(Text(), c.shownOn);
    ASSERT_TRUE(cells.FlipToggle(0, 1));  // a double-click
    EXPECT_FALSE(cells.GetToggleState(0, 1));
    EXPECT_EQ(Text(), c.shownOff);
    cells.FlipToggle(0, 1);
    EXPECT_EQ(Text(), c.shownOn);
  }
}

TEST(FlagText, EmptyOrZeroFalseNoOffMeanNo) {
  struct Case { const char16_t* text; bool yes; } cases[] = {
      {nullptr, false}, {u"", false}, {u"0", false}, {u"false", false}, {u"False", false},
      {u"no", false}, {u"No", false}, {u"n", false}, {u"1", true}, {u"yes", true},
      {u"x", true}, {u"true", true}, {u" 0", true}, {u"on", true},
      // "off" is no, so that a toggle saved as "off" loads back off.
      {u"off", false}, {u"OFF", false}, {u"Off", false}, {u"of", true}, {u"offline", true},
  };
  for (const auto& c : cases) EXPECT_EQ(FlagTextIsYes(c.text), c.yes) << TextToUtf8(c.text ? c.text : u"(null)");
}

// ---- dates and times -----------------------------------------------------------

TEST_F(TypedCellsTest, DateKindStartsAtNowAndTakesTenCharacterTexts) {
  ASSERT_TRUE(cells.SetDateKind(0, 1, Fields(2000, 1, 1), Fields(0, 0, 0)));
  DateTimeBlock* block = cells.GetDateTimeBlock(0, 1);
  EXPECT_EQ(block->current.year, 2026);
  EXPECT_EQ(block->current.hour, 9);
  EXPECT_EQ(block->min.year, 2000);
  EXPECT_FALSE(HasDateBound(block->max));

  EXPECT_TRUE(cells.SetDateText(0, 1, u"2012-05-31"));
  EXPECT_EQ(Text(), u"2012-05-31");
  EXPECT_EQ(block->current.year, 2012);
  EXPECT_EQ(block->current.month, 5);
  EXPECT_EQ(block->current.day, 31);
  EXPECT_EQ(block->current.hour, 0);  // a zeroed record, not the old value

  for (const char16_t* bad : {u"2012-5-30", u"2012-05-310", u"", u"abcdefghij"}) {
    EXPECT_FALSE(cells.SetDateText(0, 1, bad)) << TextToUtf8(bad);
    EXPECT_EQ(Text(), u"2012-05-31");
    EXPECT_EQ(block->current.year, 2012);
  }
  EXPECT_TRUE(cells.SetDateValue(0, 1, Fields(987, 1, 2, 3, 4, 5)));
  EXPECT_EQ(Text(), u" 987-01-02");
  EXPECT_EQ(block->current.hour, 3);
}

TEST_F(TypedCellsTest, TimeValuesCarryTheDate20010201) {
  ASSERT_TRUE(cells.SetTimeKind(0, 1, Fields(0, 0, 0, 8), Fields(0, 0, 0, 17, 30)));
  DateTimeBlock* block = cells.GetDateTimeBlock(0, 1);
  EXPECT_EQ(block->current.hour, 9);
  EXPECT_EQ(block->current.minute, 51);
  EXPECT_EQ(block->current.year, 2001);
  EXPECT_EQ(block->current.month, 2);
  EXPECT_EQ(block->current.day, 1);
  EXPECT_TRUE(HasTimeBound(block->min));
  EXPECT_TRUE(HasTimeBound(block->max));

  EXPECT_TRUE(cells.SetTimeText(0, 1, u"07:05:09"));
  EXPECT_EQ(Text(), u"07:05:09");
  EXPECT_EQ(block->current.hour, 7);
  EXPECT_EQ(block->current.minute, 5);
  EXPECT_EQ(block->current.second, 9);
  EXPECT_EQ(block->current.year, 2001);

  EXPECT_FALSE(cells.SetTimeText(0, 1, u"7:05:09"));
  EXPECT_EQ(Text(), u"07:05:09");
  EXPECT_TRUE(cells.SetTimeValue(0, 1, Fields(2026, 12, 7, 23, 59, 58)));
  EXPECT_EQ(Text(), u"23:59:58");
  EXPECT_EQ(block->current.year, 2001);
  EXPECT_EQ(block->current.day, 1);
}

// ---- multi-line, fonts, windows ------------------------------------------------

TEST_F(TypedCellsTest, MultiLineTextShowsLineBreaksAsMarkers) {
  ASSERT_TRUE(cells.SetMultiLineKind(0, 1));
  ASSERT_TRUE(cells.SetMultiLineText(0, 1, u"a\nb\n\nc"));
  EXPECT_EQ(Text(), u"a\u00ABb\u00AB\u00ABc");
  char16_t out[16];
  ASSERT_TRUE(cells.GetMultiLineText(0, 1, out, 16));
  EXPECT_EQ(std::u16string(out), u"a\nb\n\nc");
  cells.SetCellText(0, 1, u"x\u00ABy");  // as an editor leaves it
  ASSERT_TRUE(cells.GetMultiLineText(0, 1, out, 3));
  EXPECT_EQ(std::u16string(out), u"x\n");
}

TEST_F(TypedCellsTest, FontsShowFaceAndSize) {
  ASSERT_TRUE(cells.SetFontKind(0, 1, 6, 72));
  FontBlock font;
  ASSERT_TRUE(cells.GetFont(0, 1, font));
  EXPECT_EQ(font.face[0], 0);
  EXPECT_EQ(font.sizeMin, 6);
  EXPECT_EQ(font.sizeMax, 72);

  ASSERT_TRUE(cells.SetFont(0, 1, u"Arial", 12, true, false, true, false));
  EXPECT_EQ(Text(), u"Arial, 12");
  ASSERT_TRUE(cells.GetFont(0, 1, font));
  EXPECT_EQ(std::u16string(font.face), u"Arial");
  EXPECT_EQ(font.size, 12);
  EXPECT_EQ(font.bold, 1);
  EXPECT_EQ(font.italic, 0);
  EXPECT_EQ(font.underline, 1);
  EXPECT_EQ(font.strikeOut, 0);
  EXPECT_EQ(font.sizeMax, 72);

  const std::u16string longFace(40, u'F');
  cells.SetFont(0, 1, longFace.c_str(), -3, false, false, false, true);
  EXPECT_EQ(Text(), std::u16string(31, u'F') + u", -3");
}

TEST_F(TypedCellsTest, WindowsShowTheTitleOfTheWindowFound) {
  ASSERT_TRUE(cells.SetWindowKind(0, 1, true, true));
  const WindowBlock* block = cells.GetWindowBlock(0, 1);
  EXPECT_EQ(block->window, 0u);
  EXPECT_EQ(block->visibleTitledOnly, 1);
  EXPECT_EQ(block->sorted, 1);

  cells.SetCellText(0, 1, u"before");
  ASSERT_TRUE(cells.SetWindow(0, 1, 0x999, u"Gone", u"NoSuchClass"));
  EXPECT_EQ(Text(), u"before");  // nothing found: the cell keeps its text
  EXPECT_EQ(block->window, 0x999u);

  ASSERT_TRUE(cells.SetWindow(0, 1, 0x1234, u"Old title", u"LiveClass"));
  EXPECT_EQ(Text(), u"Live title");
  uintptr_t window = 0;
  char16_t title[kWindowTextCapacity], className[kWindowTextCapacity];
  ASSERT_TRUE(cells.GetWindow(0, 1, &window, title, kWindowTextCapacity, className,
                              kWindowTextCapacity));
  EXPECT_EQ(window, 0x1234u);
  EXPECT_EQ(std::u16string(title), u"Old title");  // the stored values, not the live ones
  EXPECT_EQ(std::u16string(className), u"LiveClass");

  const std::u16string longTitle(150, u't');
  cells.SetWindow(0, 1, 0, longTitle.c_str(), nullptr);
  EXPECT_EQ(TextLength(block->title), 100u);
  EXPECT_EQ(block->className[0], 0);
}

}  // namespace
