#include "tollwren/app/skin_layout.h"

#include <algorithm>

namespace {

constexpr int kMargin = 10;
constexpr int kStatusTop = 85;
constexpr int kStatusHeight = 65;
constexpr int kChoiceTop = 150;
constexpr int kChoiceHeight = 30;
constexpr int kNewsTop = 190;
constexpr int kNewsHeight = 70;
// Kept free between the status text and the buttons below it.
constexpr int kTextGap = 10;

// A text line widened for a word that does not wrap, centred.
void Widen(CControlRect& line, int wanted, int clientWidth, int margin) {
  const int widest = std::max(line.width, clientWidth - 2 * margin);
  line.width = std::min(wanted, widest);
  line.x = (clientWidth - line.width) / 2;
}

CTextExtent FitWidth(CControlRect& line, int clientWidth, int margin, const CTextMeasure& measure) {
  CTextExtent extent = measure(line.width);
  if (extent.width > line.width) {
    Widen(line, extent.width, clientWidth, margin);
    extent = measure(line.width);
  }
  return extent;
}

}  // namespace

CSkinLayout LayOutSkin(int w, bool closeShown, int closeWidth, int closeHeight, int flagWidth, int flagHeight,
                       int dpi) {
  auto s = [dpi](int value) { return ScaleForDpi(value, dpi); };
  CSkinLayout layout;
  layout.status = {w / 4, s(kStatusTop), 2 * (w / 4), s(kStatusHeight)};
  const int newsWidth = std::min(w - s(2 * kMargin), s(kNewsLineMaxWidth));
  layout.news = {(w - newsWidth) / 2, s(kNewsTop), newsWidth, s(kNewsHeight)};
  int right = w;
  if (closeShown) {
    layout.close = {w - (closeWidth + s(kMargin)), s(kMargin), closeWidth, closeHeight};
    right = layout.close.x;
  }
  layout.language = {right - flagWidth - s(kMargin), s(kMargin), flagWidth, flagHeight};
  const int a = w / 12;
  for (int i = 0; i < 3; ++i) layout.choices[i] = {(3 + 2 * i) * a, s(kChoiceTop), 2 * a, s(kChoiceHeight)};
  layout.progress = {2 * a, s(kChoiceTop), 8 * a, s(kChoiceHeight)};
  return layout;
}

void MakeRoomForTexts(CSkinLayout& layout, int clientWidth, int clientHeight, int dpi,
                      const CTextMeasure& measureStatus, const CTextMeasure& measureNews) {
  const int margin = ScaleForDpi(kMargin, dpi);
  CControlRect& status = layout.status;
  const CTextExtent statusText = FitWidth(status, clientWidth, margin, measureStatus);
  const int statusRoom = statusText.height + ScaleForDpi(kTextGap, dpi);
  if (statusRoom > status.height) status.height = statusRoom;

  // The buttons and the bar share one row under the status line.
  const int rowHeight = layout.progress.height;
  const int lowestRow = std::max(layout.progress.y, clientHeight - margin - rowHeight);
  const int rowTop = std::min(std::max(layout.progress.y, status.Bottom()), lowestRow);
  for (CControlRect& choice : layout.choices) choice.y = rowTop;
  layout.progress.y = rowTop;
  if (status.Bottom() > rowTop) status.height = std::max(0, rowTop - status.y);

  CControlRect& news = layout.news;
  const int gap = news.y - (ScaleForDpi(kChoiceTop, dpi) + rowHeight);
  news.y = std::max(news.y, rowTop + rowHeight + gap);
  const CTextExtent newsText = FitWidth(news, clientWidth, margin, measureNews);
  news.height = std::max(news.height, newsText.height);
  news.height = std::max(0, std::min(news.height, clientHeight - news.y));
}
