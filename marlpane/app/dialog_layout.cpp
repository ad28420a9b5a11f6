#include "marlpane/app/dialog_layout.h"

namespace {

constexpr int kTipTop = 78;
constexpr int kTipHeight = 30;
constexpr int kListTop = 110;
constexpr int kListHeightLess = 170;  // the list leaves this much of the client height
constexpr int kButtonRise = 45;       // from the bottom to the buttons' top
constexpr int kButtonHeight = 25;
constexpr int kBannerTop = 10;
constexpr int kRowHeight = 20;
constexpr int kFrameHeight = 200;
constexpr int kDesktopBottomGap = 30;

}  // namespace

MainLayout ComputeMainLayout(int clientWidth, int clientHeight, int margin, int bannerWidth,
                             int bannerHeight) {
  MainLayout layout;
  const int usable = clientWidth - margin < margin ? 0 : clientWidth - 2 * margin;
  layout.list = {margin, kListTop, usable,
                 clientHeight < kListHeightLess ? 0 : clientHeight - kListHeightLess};
  layout.tip = {margin, kTipTop, usable, kTipHeight};
  const int unit = clientWidth / 12;
  const int buttonTop = clientHeight < kButtonRise ? 0 : clientHeight - kButtonRise;
  layout.save = {3 * unit, buttonTop, 2 * unit, kButtonHeight};
  layout.cancel = {7 * unit, buttonTop, 2 * unit, kButtonHeight};
  layout.banner = {bannerWidth > clientWidth ? 0 : (clientWidth - bannerWidth) / 2, kBannerTop,
                   bannerWidth, bannerHeight};
  return layout;
}

Box PlaceWindow(const Box& current, int x, int y, int width, int height, int desktopWidth,
                int desktopHeight) {
  Box placed = current;
  if (width >= 0) placed.width = width;
  if (height >= 0) placed.height = height;
  if (x < 0 && y < 0) {
    placed.x = (desktopWidth - placed.width) / 2;
    placed.y = (desktopHeight - placed.height) / 2;
  } else {
    if (x >= 0) placed.x = x;
    if (y >= 0) placed.y = y;
  }
  return placed;
}

int AutoResizedHeight(int rows, int desktopBottom, int windowTop) {
  const int wanted = rows * kRowHeight + kFrameHeight;
  const int room = desktopBottom - windowTop - kDesktopBottomGap;
  return wanted < room ? wanted : room;
}
