// The default host on Windows: the local clock and the lookup of real
// top-level windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/text16.h"
#include "marlpane/rows/typed_cells.h"

namespace {

class OwnWindow {
 public:
  OwnWindow(const wchar_t* className, const wchar_t* title) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    window_ = CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                              nullptr, wc.hInstance, nullptr);
  }
  ~OwnWindow() {
    if (window_) DestroyWindow(window_);
  }
  HWND Get() const { return window_; }

 private:
  HWND window_ = nullptr;
};

uintptr_t Handle(HWND window) { return reinterpret_cast<uintptr_t>(window); }

TEST(TypedCellsWin, WindowCellsShowTheCurrentTitleOfTheWindowFound) {
  OwnWindow target(L"TypedCellsWinTarget", L"Current title 51c2");
  ASSERT_NE(target.Get(), nullptr);
  CTypedCells cells;
  cells.AppendRow();
  ASSERT_TRUE(cells.SetWindowKind(0, 1, true, false));

  // The stored handle still names a window of the stored class.
  ASSERT_TRUE(cells.SetWindow(0, 1, Handle(target.Get()), u"Old title", u"TypedCellsWinTarget"));
  EXPECT_EQ(cells.CellText(0, 1), u"Current title 51c2");

  // A stale handle: found again by class and title, by title, by class.
  cells.SetCellText(0, 1, u"");
  cells.SetWindow(0, 1, 1, u"Current title 51c2", u"NoSuchClass51c2");
  EXPECT_EQ(cells.CellText(0, 1), u"Current title 51c2");
  cells.SetCellText(0, 1, u"");
  cells.SetWindow(0, 1, 0, u"Renamed", u"TypedCellsWinTarget");
  EXPECT_EQ(cells.CellText(0, 1), u"Current title 51c2");

  // Nothing found: the cell keeps its text.
  cells.SetCellText(0, 1, u"kept");
  cells.SetWindow(0, 1, 0, u"No such title 51c2", u"NoSuchClass51c2");
  EXPECT_EQ(cells.CellText(0, 1), u"kept");
}

TEST(TypedCellsWin, DateAndTimeKindsStartAtTheLocalTime) {
  CTypedCells cells;
  cells.AppendRow();
  SYSTEMTIME before;
  GetLocalTime(&before);
  ASSERT_TRUE(cells.SetDateKind(0, 1, {}, {}));
  ASSERT_TRUE(cells.SetTimeKind(0, 2, {}, {}));
  SYSTEMTIME after;
  GetLocalTime(&after);
  const DateTimeFields& date = cells.GetDateTimeBlock(0, 1)->current;
  EXPECT_TRUE(date.year == before.wYear || date.year == after.wYear);
  EXPECT_TRUE(date.day == before.wDay || date.day == after.wDay);
  const DateTimeFields& time = cells.GetDateTimeBlock(0, 2)->current;
  EXPECT_TRUE(time.hour == before.wHour || time.hour == after.wHour);
  EXPECT_EQ(time.year, 2001);
}

}  // namespace
