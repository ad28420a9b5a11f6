#include "common/window_lookup_win.h"

#include <cstring>
#include <vector>

#include "common/text16.h"

int StepScrollBar(HWND window, WPARAM request, int bar, int minimum, int maximum) {
  const int old = GetScrollPos(window, bar);
  int position = old;
  switch (LOWORD(request)) {
    case SB_LINEUP:  // also SB_LINELEFT
      if (position > minimum) --position;
      break;
    case SB_LINEDOWN:  // also SB_LINERIGHT
      if (position < maximum) ++position;
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      // The high word holds only 16 bits of the position: a bar whose range
      // is wider gives its whole track position through GetScrollInfo, which
      // is used when it agrees with the high word. Otherwise the high word,
      // signed for a range below zero.
      const WORD high = HIWORD(request);
      SCROLLINFO track = {};
      track.cbSize = sizeof track;
      track.fMask = SIF_TRACKPOS;
      if (GetScrollInfo(window, bar, &track) && static_cast<WORD>(track.nTrackPos) == high) {
        position = track.nTrackPos;
      } else {
        position = minimum < 0 ? static_cast<int>(static_cast<short>(high)) : static_cast<int>(high);
      }
      if (position < minimum) position = minimum;
      if (position > maximum) position = maximum;
      break;
    }
    case SB_TOP:  // also SB_LEFT
      position = minimum;
      break;
    case SB_BOTTOM:  // also SB_RIGHT
      position = maximum;
      break;
    default:
      break;
  }
  if (position != old) SetScrollPos(window, bar, position, TRUE);
  return position - old;
}

HWND FindWindowSmart(HWND hint, const char16_t* title, const char16_t* className) {
  const bool hasTitle = title && *title;
  const bool hasClass = className && *className;
  if (hint && hasClass && IsWindow(hint)) {
    std::vector<wchar_t> name(kClassNameCapacity, 0);
    if (GetClassNameW(hint, name.data(), kClassNameCapacity) > 0 &&
        TextLength(AsText(name.data())) == TextLength(className) &&
        std::memcmp(name.data(), className, TextLength(className) * sizeof(char16_t)) == 0)
      return hint;
  }
  HWND found = nullptr;
  if (hasClass && hasTitle) found = FindWindowW(AsWide(className), AsWide(title));
  if (!found && hasTitle) found = FindWindowW(nullptr, AsWide(title));
  if (!found && hasClass) found = FindWindowW(AsWide(className), nullptr);
  return found;
}

namespace {

struct Listing {
  CBlockList* list;
  bool titledOnly;
};

BOOL CALLBACK AddWindow(HWND window, LPARAM context) {
  Listing* listing = reinterpret_cast<Listing*>(context);
  if (listing->titledOnly &&
      (!IsWindowVisible(window) || GetWindowTextLengthW(window) <= 0))
    return TRUE;
  listing->list->AddCopy(&window, sizeof window);
  return TRUE;
}

bool ListWindows(CBlockList& list, bool titledOnly) {
  list.Clear();
  Listing listing = {&list, titledOnly};
  return EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&listing)) != FALSE;
}

}  // namespace

bool ListTopWindows(CBlockList& list) { return ListWindows(list, false); }

bool ListTitledWindows(CBlockList& list) { return ListWindows(list, true); }

HWND ListedWindow(CBlockList& list, uint32_t index) {
  const void* block = list.Get(index);
  if (!block || list.GetSize(index) != sizeof(HWND)) return nullptr;
  HWND window;
  std::memcpy(&window, block, sizeof window);
  return window;
}
