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

}  // namespace
