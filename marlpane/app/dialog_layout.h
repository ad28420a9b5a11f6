// Where the main dialog's window goes and where its controls go inside it:
// pure arithmetic on sizes, so that it builds and is tested natively.
//
// Every figure below is given at 96 DPI; at another DPI it is scaled by
// DPI / 96 (ScaleForDpi), so that at 96 every number stays as it is.
#pragma once

#include "common/dpi_scale.h"

struct Box {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The controls of the main dialog in client coordinates.
struct MainLayout {
  Box list;    // option list
  Box tip;     // tip line
  Box save;    // "&Save"
  Box cancel;  // "&Cancel"
  Box banner;
};

// The layout for a client area of clientWidth x clientHeight with the side
// margin M: the list at (M, 110), as wide as the client less both margins
// (0 when the client is narrower than 2M) and 170 pixels less high than the
// client (0 when lower); the tip line at (M, 78), 30 high; the buttons at
// 3/12 and 7/12 of the width, 45 pixels above the bottom, each 2/12 wide
// and 25 high; the banner centred 10 pixels below the top (at 0 when wider
// than the client). The margin is a figure at 96 DPI, the banner's size
// the size it is shown at.
// tipTextHeight is what two lines of the tip line's font need: when the
// tip line's 30 pixels are less, the tip line grows to it and the list
// starts lower by as much.
MainLayout ComputeMainLayout(int clientWidth, int clientHeight, int margin, int bannerWidth,
                             int bannerHeight, int dpi = kBaseDpi, int tipTextHeight = 0);

// The window's placement as the options ask for it. Negative width or
// height keep the current one; X and Y both negative centre the window on
// the desktop; otherwise a negative X or Y keeps the current one.
Box PlaceWindow(const Box& current, int x, int y, int width, int height, int desktopWidth,
                int desktopHeight);

// The window's width when the options give none: above 96 DPI as wide as
// a client that holds the whole banner needs (the dialog's own size follows
// its font, which need not grow as the DPI does); otherwise, and at 96 DPI,
// the width it has (-1, as the options say).
int WidthForBanner(int windowWidth, int clientWidth, int bannerWidth, int dpi);

// The height that shows every row: 20 pixels a row and 200 for the rest,
// but no lower than 30 pixels above the desktop's bottom edge.
int AutoResizedHeight(int rows, int desktopBottom, int windowTop, int dpi = kBaseDpi);

// The side of the row type icons at a DPI: the largest of 16, 20, 24 and 32
// pixels that is no larger than 16 pixels scaled (16 at 96 DPI, 20 at 120,
// 24 at 144, 32 at 192 and above).
int TypeIconSize(int dpi);

// The size a banner of width x height is shown at: scaled by DPI / 96, or
// as it is when that would pass kMaxBannerSide pixels on a side (a picture
// that large is no banner; it is not worth a second copy).
constexpr int kMaxBannerSide = 8192;
Box ScaledBannerSize(int width, int height, int dpi);
