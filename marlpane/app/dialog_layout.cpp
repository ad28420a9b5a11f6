#include "marlpane/app/dialog_layout.h"

#include <algorithm>
#include <cstdint>

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
constexpr int kSmallIconSide = 16;
// The sizes the icon resources are drawn at (scripts/make_marlpane_assets.py).
constexpr int kTypeIconSides[] = {16, 20, 24, 32};

}  // namespace

MainLayout ComputeMainLayout(int clientWidth, int clientHeight, int margin, int bannerWidth,
                             int bannerHeight, int dpi, int tipTextHeight) {
  const auto scaled = [dpi](int value) { return ScaleForDpi(value, dpi); };
  MainLayout layout;
  margin = scaled(margin);
  const int usable = clientWidth - margin < margin ? 0 : clientWidth - 2 * margin;
  const int tipHeight = std::max(scaled(kTipHeight), tipTextHeight);
  const int tipGrowth = tipHeight - scaled(kTipHeight);
  const int listHeightLess = scaled(kListHeightLess) + tipGrowth;
  layout.list = {margin, scaled(kListTop) + tipGrowth, usable,
                 clientHeight < listHeightLess ? 0 : clientHeight - listHeightLess};
  layout.tip = {margin, scaled(kTipTop), usable, tipHeight};
  const int unit = clientWidth / 12;
  const int buttonRise = scaled(kButtonRise);
  const int buttonTop = clientHeight < buttonRise ? 0 : clientHeight - buttonRise;
  layout.save = {3 * unit, buttonTop, 2 * unit, scaled(kButtonHeight)};
  layout.cancel = {7 * unit, buttonTop, 2 * unit, scaled(kButtonHeight)};
  layout.banner = {bannerWidth > clientWidth ? 0 : (clientWidth - bannerWidth) / 2,
                   scaled(kBannerTop), bannerWidth, bannerHeight};
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

int WidthForBanner(int windowWidth, int clientWidth, int bannerWidth, int dpi) {
  if (dpi <= kBaseDpi || clientWidth >= bannerWidth) return -1;
  return windowWidth + bannerWidth - clientWidth;
}

int AutoResizedHeight(int rows, int desktopBottom, int windowTop, int dpi) {
  const int64_t wanted =
      int64_t(rows) * ScaleForDpi(kRowHeight, dpi) + ScaleForDpi(kFrameHeight, dpi);
  const int room = desktopBottom - windowTop - ScaleForDpi(kDesktopBottomGap, dpi);
  return wanted < room ? int(wanted) : room;
}

int TypeIconSize(int dpi) {
  const int wanted = ScaleForDpi(kSmallIconSide, dpi);
  int size = kTypeIconSides[0];
  for (int side : kTypeIconSides) {
    if (side <= wanted) size = side;
  }
  return size;
}

Box ScaledBannerSize(int width, int height, int dpi) {
  const int64_t scaledWidth = int64_t(width) * (dpi > 0 ? dpi : kBaseDpi) / kBaseDpi;
  const int64_t scaledHeight = int64_t(height) * (dpi > 0 ? dpi : kBaseDpi) / kBaseDpi;
  if (width <= 0 || height <= 0 || scaledWidth > kMaxBannerSide || scaledHeight > kMaxBannerSide) {
    return {0, 0, width, height};
  }
  return {0, 0, ScaleForDpi(width, dpi), ScaleForDpi(height, dpi)};
}
