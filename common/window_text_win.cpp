#include "common/window_text_win.h"

#include "common/text16.h"

std::u16string WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return std::u16string();
  std::u16string text(static_cast<size_t>(length) + 1, u'\0');
  const int copied = GetWindowTextW(window, AsWide(&text[0]), length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

SIZE TextSize(HWND window, HFONT font, std::u16string_view text, int wrapWidth, UINT format) {
  HDC context = GetDC(window);
  if (!context) return SIZE{};
  HGDIOBJ previous = SelectObject(context, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  RECT needed = {0, 0, wrapWidth, 0};
  DrawTextW(context, AsWide(text.data()), static_cast<int>(text.size()), &needed,
            format | DT_CALCRECT);
  SelectObject(context, previous);
  ReleaseDC(window, context);
  return SIZE{needed.right - needed.left, needed.bottom - needed.top};
}
