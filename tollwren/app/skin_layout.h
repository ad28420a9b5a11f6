// Where the skinned window's controls go, from the width of its client area,
// the sizes of the button images and the display's DPI. Client pixels
// throughout; every figure below is a figure at 96 DPI, scaled.
#pragma once

#include <functional>

#include "common/dpi_scale.h"

struct CControlRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  int Bottom() const { return y + height; }
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
// give those buttons their sizes (already at the window's DPI).
CSkinLayout LayOutSkin(int clientWidth, bool closeShown, int closeWidth, int closeHeight, int flagWidth,
                       int flagHeight, int dpi = kBaseDpi);

// The width and height a text takes when it is wrapped at a given width (a
// word longer than the width makes it wider).
struct CTextExtent {
  int width = 0;
  int height = 0;
};
using CTextMeasure = std::function<CTextExtent(int wrapWidth)>;

// Makes room for the status and news texts in a laid-out skin: a status
// text with a word too long for its line gets a wider line (at most the
// client width less the margins), a text that would come closer than 10
// pixels (at 96 DPI) to the buttons below it a taller line,
// and the choice buttons and progress bar, then the news line, move down as
// far as it takes, but never out of the client area (a text that cannot
// fit even then is cut). With texts that fit nothing moves.
void MakeRoomForTexts(CSkinLayout& layout, int clientWidth, int clientHeight, int dpi,
                      const CTextMeasure& measureStatus, const CTextMeasure& measureNews);
