#include "tollwren/app/skin_layout.h"

CSkinLayout LayOutSkin(int w, bool closeShown, int closeWidth, int closeHeight, int flagWidth, int flagHeight) {
  CSkinLayout layout;
  layout.status = {w / 4, 85, 2 * (w / 4), 65};
  int newsWidth = w - 20;
  if (newsWidth > kNewsLineMaxWidth) newsWidth = kNewsLineMaxWidth;
  layout.news = {(w - newsWidth) / 2, 190, newsWidth, 70};
  int right = w;
  if (closeShown) {
    layout.close = {w - (closeWidth + 10), 10, closeWidth, closeHeight};
    right = w - (closeWidth + 10);
  }
  layout.language = {right - flagWidth - 10, 10, flagWidth, flagHeight};
  const int a = w / 12;
  for (int i = 0; i < 3; ++i) layout.choices[i] = {(3 + 2 * i) * a, 150, 2 * a, 30};
  layout.progress = {2 * a, 150, 8 * a, 30};
  return layout;
}
