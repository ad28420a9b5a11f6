// Where the main dialog puts its window and its controls.
#include <gtest/gtest.h>

#include "marlpane/app/dialog_layout.h"

namespace {

void ExpectBox(const Box& box, int x, int y, int width, int height) {
  EXPECT_EQ(x, box.x);
  EXPECT_EQ(y, box.y);
  EXPECT_EQ(width, box.width);
  EXPECT_EQ(height, box.height);
}

TEST(DialogLayoutTest, ControlsFollowTheClientSize) {
  const MainLayout layout = ComputeMainLayout(600, 400, 35, 560, 64);
  ExpectBox(layout.list, 35, 110, 530, 230);
  ExpectBox(layout.tip, 35, 78, 530, 30);
  ExpectBox(layout.save, 150, 355, 100, 25);
  ExpectBox(layout.cancel, 350, 355, 100, 25);
  ExpectBox(layout.banner, 20, 10, 560, 64);
}

TEST(DialogLayoutTest, SmallClientsGiveEmptyListsAndButtonsAtTheTop) {
  struct Case {
    int width, height, margin;
    int listWidth, listHeight, buttonTop, bannerX;
  };
  const Case cases[] = {
      {69, 300, 35, 0, 130, 255, 0},    // narrower than both margins
      {70, 300, 35, 0, 130, 255, 0},    // exactly both margins
      {71, 169, 35, 1, 0, 124, 0},      // lower than 170: no list
      {300, 170, 35, 230, 0, 125, 0},
      {300, 45, 35, 230, 0, 0, 0},      // buttons 45 above the bottom reach the top
      {300, 44, 35, 230, 0, 0, 0},      // and stay there below it
      {300, 10, 0, 300, 0, 0, 0},
      {700, 300, 35, 630, 130, 255, 50},
  };
  for (const Case& c : cases) {
    const MainLayout layout = ComputeMainLayout(c.width, c.height, c.margin, 600, 64);
    EXPECT_EQ(c.listWidth, layout.list.width) << c.width << "x" << c.height;
    EXPECT_EQ(c.listHeight, layout.list.height) << c.width << "x" << c.height;
    EXPECT_EQ(c.buttonTop, layout.save.y) << c.width << "x" << c.height;
    EXPECT_EQ(c.bannerX, layout.banner.x) << c.width << "x" << c.height;
  }
}

TEST(DialogLayoutTest, PlacementKeepsCentresOrMovesByTheOptions) {
  const Box current{100, 50, 620, 420};
  ExpectBox(PlaceWindow(current, -1, -1, -1, -1, 1280, 1024), 330, 302, 620, 420);
  ExpectBox(PlaceWindow(current, -1, -1, 500, 300, 1280, 1024), 390, 362, 500, 300);
  // One of X and Y given: no centring, the other edge stays.
  ExpectBox(PlaceWindow(current, -1, 100, -1, -1, 1280, 1024), 100, 100, 620, 420);
  ExpectBox(PlaceWindow(current, 40, -1, 800, -1, 1280, 1024), 40, 50, 800, 420);
  ExpectBox(PlaceWindow(current, 0, 0, 0, 0, 1280, 1024), 0, 0, 0, 0);
}

TEST(DialogLayoutTest, AutoResizeShowsEveryRowButStaysOnTheDesktop) {
  EXPECT_EQ(400, AutoResizedHeight(10, 1024, 312));
  EXPECT_EQ(200, AutoResizedHeight(0, 1024, 312));
  EXPECT_EQ(682, AutoResizedHeight(63, 1024, 312));   // 1460 wanted
  EXPECT_EQ(-20, AutoResizedHeight(10, 1024, 1014));  // a window below the desktop
}

// Every figure is one at 96 DPI scaled as MulDiv rounds: 35, 78, 110, 30,
// 170, 45, 25 and 10 at 120, 144 and 192 DPI, on a client of 900 x 600.
TEST(DialogLayoutTest, FiguresScaleWithTheDpi) {
  struct Case {
    int dpi;
    Box list, tip, save, cancel;
    int bannerTop;
  };
  const Case cases[] = {
      {96, {35, 110, 830, 430}, {35, 78, 830, 30}, {225, 555, 150, 25}, {525, 555, 150, 25}, 10},
      {120, {44, 138, 812, 387}, {44, 98, 812, 38}, {225, 544, 150, 31}, {525, 544, 150, 31}, 13},
      {144, {53, 165, 794, 345}, {53, 117, 794, 45}, {225, 532, 150, 38}, {525, 532, 150, 38}, 15},
      {192, {70, 220, 760, 260}, {70, 156, 760, 60}, {225, 510, 150, 50}, {525, 510, 150, 50}, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dpi);
    const MainLayout layout = ComputeMainLayout(900, 600, 35, 400, 80, c.dpi);
    ExpectBox(layout.list, c.list.x, c.list.y, c.list.width, c.list.height);
    ExpectBox(layout.tip, c.tip.x, c.tip.y, c.tip.width, c.tip.height);
    ExpectBox(layout.save, c.save.x, c.save.y, c.save.width, c.save.height);
    ExpectBox(layout.cancel, c.cancel.x, c.cancel.y, c.cancel.width, c.cancel.height);
    ExpectBox(layout.banner, 250, c.bannerTop, 400, 80);
  }
}

// A tip font whose two lines need more than the tip line's height grows the
// tip line; the list starts lower and is shorter by as much.
TEST(DialogLayoutTest, TheTipLineHoldsTwoLinesOfItsFont) {
  const MainLayout fits = ComputeMainLayout(900, 600, 35, 400, 80, 144, 44);
  ExpectBox(fits.tip, 53, 117, 794, 45);
  ExpectBox(fits.list, 53, 165, 794, 345);
  const MainLayout grown = ComputeMainLayout(900, 600, 35, 400, 80, 144, 52);
  ExpectBox(grown.tip, 53, 117, 794, 52);
  ExpectBox(grown.list, 53, 172, 794, 338);
  // In a low client the list keeps no height rather than a negative one.
  EXPECT_EQ(0, ComputeMainLayout(900, 260, 35, 400, 80, 144, 52).list.height);
}

TEST(DialogLayoutTest, AutoResizeIconsAndBannerFollowTheDpi) {
  struct Case {
    int dpi, height, iconSize, bannerWidth, bannerHeight;
  };
  // Ten rows at 20 pixels and 200 for the rest, the desktop's bottom far
  // below; the 600 x 64 banner.
  const Case cases[] = {
      {96, 400, 16, 600, 64},  {110, 459, 16, 688, 73}, {120, 500, 20, 750, 80},
      {144, 600, 24, 900, 96}, {168, 700, 24, 1050, 112}, {192, 800, 32, 1200, 128},
      {288, 1200, 32, 1800, 192},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dpi);
    EXPECT_EQ(c.height, AutoResizedHeight(10, 4000, 100, c.dpi));
    EXPECT_EQ(c.iconSize, TypeIconSize(c.dpi));
    const Box banner = ScaledBannerSize(600, 64, c.dpi);
    EXPECT_EQ(c.bannerWidth, banner.width);
    EXPECT_EQ(c.bannerHeight, banner.height);
  }
  // The gap to the desktop's bottom scales too: 45 pixels at 144 DPI.
  EXPECT_EQ(555, AutoResizedHeight(10, 1000, 400, 144));
  // Above 96 DPI a window without a width of its own grows to hold the
  // banner; at 96 DPI it keeps its width.
  EXPECT_EQ(1216, WidthForBanner(916, 900, 1200, 192));
  EXPECT_EQ(-1, WidthForBanner(1216, 1200, 1200, 192));
  EXPECT_EQ(-1, WidthForBanner(500, 484, 600, 96));
  // A banner that scaled would pass 8192 pixels is shown as it is.
  const Box huge = ScaledBannerSize(6000, 64, 144);
  EXPECT_EQ(6000, huge.width);
  EXPECT_EQ(64, huge.height);
}

}  // namespace
