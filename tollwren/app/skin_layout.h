// Where the skinned window's controls go, from the width of its client area
// and the sizes of the button images. Client pixels throughout.
#pragma once

struct CControlRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct CSkinLayout {
  CControlRect status;
  CControlRect news;
  CControlRect close;      // only meaningful with the close button shown
  CControlRect language;
  CControlRect choices[3];
  CControlRect progress;
};

constexpr int kNewsLineMaxWidth = 480;

// closeShown: the close button is enabled; its image and the flag image
// give those buttons their sizes.
CSkinLayout LayOutSkin(int clientWidth, bool closeShown, int closeWidth, int closeHeight, int flagWidth,
                       int flagHeight);
