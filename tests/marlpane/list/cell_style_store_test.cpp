#include "marlpane/list/cell_style_store.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr uint32_t kRed = 0x0000FFu, kGreen = 0x00FF00u, kBlue = 0xFF0000u, kGrey = 0x808080u;

CellColours ColoursOf(CCellStyleStore& store, uint32_t row, uint32_t column) {
  CellColours c{0xDEAD, 0xBEEF};
  EXPECT_TRUE(store.GetCellColours(row, column, &c));
  return c;
}

TEST(CellStyleStore, NewRowsAreUncolouredWithoutTip) {
  CCellStyleStore store;
  ASSERT_TRUE(store.AppendRow());
  ASSERT_TRUE(store.AppendRow());
  EXPECT_EQ(store.RowCount(), 2u);
  for (uint32_t column : {0u, 1u, 199u}) {
    const CellColours c = ColoursOf(store, 1, column);
    EXPECT_EQ(c.text, 0u);
    EXPECT_EQ(c.background, 0u);
  }
  EXPECT_EQ(store.GetTip(0), nullptr);
}

TEST(CellStyleStore, RefusesMissingRowsAndColumnsAbove199) {
  CCellStyleStore store;
  CellColours c;
  EXPECT_FALSE(store.GetCellColours(0, 0, &c));
  EXPECT_FALSE(store.SetCellColours(0, 0, kRed, kBlue));
  EXPECT_FALSE(store.SetTip(0, u"x"));
  ASSERT_TRUE(store.AppendRow());
  EXPECT_TRUE(store.SetCellColours(0, 199, kRed, kBlue));
  EXPECT_FALSE(store.SetCellColours(0, 200, kRed, kBlue));
  EXPECT_FALSE(store.SetCellTextColour(0, 200, kRed));
  EXPECT_FALSE(store.SetCellBackground(0, 0xFFFFFFFFu, kRed));
  EXPECT_FALSE(store.GetCellColours(0, 200, &c));
  EXPECT_FALSE(store.GetCellColours(1, 0, &c));
  EXPECT_FALSE(store.SetRowColours(1, kRed, kBlue));
}

TEST(CellStyleStore, CellAndRowSettersTouchOnlyTheirFields) {
  CCellStyleStore store;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(store.AppendRow());

  ASSERT_TRUE(store.SetCellColours(1, 1, kRed, kBlue));
  ASSERT_TRUE(store.SetCellTextColour(1, 1, kGreen));
  EXPECT_EQ(ColoursOf(store, 1, 1).text, kGreen);
  EXPECT_EQ(ColoursOf(store, 1, 1).background, kBlue);
  ASSERT_TRUE(store.SetCellBackground(1, 1, kGrey));
  EXPECT_EQ(ColoursOf(store, 1, 1).text, kGreen);
  EXPECT_EQ(ColoursOf(store, 1, 1).background, kGrey);
  EXPECT_EQ(ColoursOf(store, 1, 0).text, 0u);  // neighbours untouched
  EXPECT_EQ(ColoursOf(store, 0, 1).background, 0u);
  EXPECT_EQ(ColoursOf(store, 2, 1).background, 0u);

  ASSERT_TRUE(store.SetRowBackground(2, kBlue));
  for (uint32_t column : {0u, 100u, 199u}) {
    EXPECT_EQ(ColoursOf(store, 2, column).background, kBlue);
    EXPECT_EQ(ColoursOf(store, 2, column).text, 0u);
  }
  ASSERT_TRUE(store.SetRowTextColour(2, kRed));
  EXPECT_EQ(ColoursOf(store, 2, 150).text, kRed);
  EXPECT_EQ(ColoursOf(store, 2, 150).background, kBlue);
  ASSERT_TRUE(store.SetRowColours(0, kGreen, kGrey));
  EXPECT_EQ(ColoursOf(store, 0, 199).text, kGreen);
  EXPECT_EQ(ColoursOf(store, 0, 199).background, kGrey);
}

TEST(CellStyleStore, TipsAreCopiedReplacedAndRemoved) {
  CCellStyleStore store;
  ASSERT_TRUE(store.AppendRow());
  ASSERT_TRUE(store.AppendRow());
  std::u16string tip = u"Port of the server";
  ASSERT_TRUE(store.SetTip(1, tip.c_str()));
  tip[0] = u'X';  // the store holds its own copy
  EXPECT_EQ(std::u16string(store.GetTip(1)), u"Port of the server");
  ASSERT_TRUE(store.SetTip(1, u""));
  EXPECT_EQ(std::u16string(store.GetTip(1)), u"");
  ASSERT_TRUE(store.SetTip(1, u"second"));
  EXPECT_EQ(std::u16string(store.GetTip(1)), u"second");
  EXPECT_TRUE(store.SetTip(1, nullptr));
  EXPECT_EQ(store.GetTip(1), nullptr);
  EXPECT_EQ(store.GetTip(0), nullptr);
}

TEST(CellStyleStore, RemovingARowMovesLaterRowsUp) {
  CCellStyleStore store;
  for (uint32_t i = 0; i < 4; ++i) {
    ASSERT_TRUE(store.AppendRow());
    ASSERT_TRUE(store.SetCellBackground(i, 0, 0x100 + i));
    const std::u16string tip = u"tip " + std::u16string(1, char16_t(u'0' + i));
    ASSERT_TRUE(store.SetTip(i, tip.c_str()));
  }
  store.RemoveRow(1);
  ASSERT_EQ(store.RowCount(), 3u);
  EXPECT_EQ(ColoursOf(store, 1, 0).background, 0x102u);
  EXPECT_EQ(std::u16string(store.GetTip(1)), u"tip 2");
  EXPECT_EQ(std::u16string(store.GetTip(2)), u"tip 3");
  store.RemoveRow(7);  // no such row: nothing happens
  EXPECT_EQ(store.RowCount(), 3u);
  // A row without any colour or tip removed between coloured ones.
  ASSERT_TRUE(store.AppendRow());
  ASSERT_TRUE(store.AppendRow());
  ASSERT_TRUE(store.SetTip(4, u"last"));
  store.RemoveRow(3);
  EXPECT_EQ(std::u16string(store.GetTip(3)), u"last");
  store.Clear();
  EXPECT_EQ(store.RowCount(), 0u);
  CellColours c;
  EXPECT_FALSE(store.GetCellColours(0, 0, &c));
}

TEST(CellStyleStore, ManyRowsKeepTheirOwnColours) {
  CCellStyleStore store;
  for (uint32_t i = 0; i < 22000; ++i) ASSERT_TRUE(store.AppendRow());
  ASSERT_TRUE(store.SetRowBackground(21999, kBlue));
  ASSERT_TRUE(store.SetCellTextColour(12345, 1, kRed));
  EXPECT_EQ(ColoursOf(store, 21999, 1).background, kBlue);
  EXPECT_EQ(ColoursOf(store, 12345, 1).text, kRed);
  EXPECT_EQ(ColoursOf(store, 12344, 1).text, 0u);
}

TEST(ColourScheme, OnlyTheNineSchemesExist) {
  for (uint32_t s = 0; s < 40; ++s) {
    const bool expected = (s >= 1 && s <= 4) || (s >= 11 && s <= 14) || (s >= 21 && s <= 24);
    EXPECT_EQ(IsColourScheme(s), expected) << s;
  }
  EXPECT_FALSE(IsColourScheme(255));
}

// Palette: list text, list (even row) background, odd row, first row.
const RowPalette kPalette{0x000001u, 0xFFFFFFu, 0xFFEBE1u, 0xFFDCC8u};
constexpr uint32_t kText = 0x111111u, kBack = 0x222222u;

TEST(ColourScheme, CellsAreColouredByScheme) {
  const CellColours none{0, 0}, own{kText, kBack}, ownText{kText, 0}, ownBack{0, kBack};
  struct Case {
    uint32_t scheme;
    uint32_t row;
    CellColours cell;
    uint32_t text, background;
  } cases[] = {
      // The editor's scheme 24: own colours first, then first row, odd, even.
      {24, 0, none, kPalette.listText, kPalette.firstRow},
      {24, 1, none, kPalette.listText, kPalette.oddRow},
      {24, 2, none, kPalette.listText, kPalette.listBackground},
      {24, 3, none, kPalette.listText, kPalette.oddRow},
      {24, 4, none, kPalette.listText, kPalette.listBackground},
      {24, 0, own, kText, kBack},  // a section title keeps its colour on any row
      {24, 1, ownBack, kPalette.listText, kBack},
      {24, 2, ownBack, kPalette.listText, kBack},
      {24, 3, ownText, kText, kPalette.oddRow},
      // 22, the construction default: odd rows only, no first-row colour.
      {22, 0, none, kPalette.listText, kPalette.listBackground},
      {22, 1, none, kPalette.listText, kPalette.oddRow},
      {22, 1, own, kText, kBack},
      // 23: first row only.
      {23, 0, none, kPalette.listText, kPalette.firstRow},
      {23, 1, none, kPalette.listText, kPalette.listBackground},
      // 21: no automatic colours.
      {21, 1, none, kPalette.listText, kPalette.listBackground},
      {21, 1, own, kText, kBack},
      // Tens 1: own backgrounds only, own text colours ignored.
      {11, 1, own, kPalette.listText, kBack},
      {11, 1, ownText, kPalette.listText, kPalette.listBackground},
      {12, 1, ownText, kPalette.listText, kPalette.oddRow},
      {14, 0, ownText, kPalette.listText, kPalette.firstRow},
      // Tens 0: own text colours only, own backgrounds ignored.
      {4, 1, own, kText, kPalette.oddRow},
      {4, 0, own, kText, kPalette.firstRow},
      {2, 2, ownBack, kPalette.listText, kPalette.listBackground},
      {1, 3, own, kText, kPalette.listBackground},
      {3, 0, ownBack, kPalette.listText, kPalette.firstRow},
  };
  for (const auto& c : cases) {
    const CellPaint paint = ResolveCellPaint(c.scheme, c.row, &c.cell, kPalette);
    EXPECT_FALSE(paint.useDefault) << c.scheme << " row " << c.row;
    EXPECT_EQ(paint.text, c.text) << c.scheme << " row " << c.row;
    EXPECT_EQ(paint.background, c.background) << c.scheme << " row " << c.row;
  }
}

TEST(ColourScheme, NoRecordOrUnknownSchemeLeavesTheCellToTheControl) {
  const CellColours own{kText, kBack};
  EXPECT_TRUE(ResolveCellPaint(24, 1, nullptr, kPalette).useDefault);
  for (uint32_t scheme : {0u, 5u, 10u, 15u, 20u, 25u, 30u, 34u})
    EXPECT_TRUE(ResolveCellPaint(scheme, 1, &own, kPalette).useDefault) << scheme;
}

TEST(StretchLastColumn, FillsTheRestLessTenAndKeepsTheMinimum) {
  struct Case {
    int client, others, minimum, expected;
  } cases[] = {
      {400, 68, 10, 322}, {400, 385, 10, 10}, {400, 390, 10, 10},
      {400, 389, 10, 10}, {400, 389, 0, 1},   {400, 500, 10, 10},
      {400, 500, 0, 0},   {400, 0, 10, 390},  {400, 300, 150, 150},
  };
  for (const auto& c : cases)
    EXPECT_EQ(StretchedLastColumnWidth(c.client, c.others, c.minimum), c.expected)
        << c.client << " " << c.others << " " << c.minimum;
}

}  // namespace
