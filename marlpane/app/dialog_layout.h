// Where the main dialog's window goes and where its controls go inside it:
// pure arithmetic on sizes, so that it builds and is tested natively.
#pragma once

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
// than the client).
MainLayout ComputeMainLayout(int clientWidth, int clientHeight, int margin, int bannerWidth,
                             int bannerHeight);

// The window's placement as the options ask for it. Negative width or
// height keep the current one; X and Y both negative centre the window on
// the desktop; otherwise a negative X or Y keeps the current one.
Box PlaceWindow(const Box& current, int x, int y, int width, int height, int desktopWidth,
                int desktopHeight);

// The height that shows every row: 20 pixels a row and 200 for the rest,
// but no lower than 30 pixels above the desktop's bottom edge.
int AutoResizedHeight(int rows, int desktopBottom, int windowTop);
