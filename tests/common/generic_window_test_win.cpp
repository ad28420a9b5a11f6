// The generic window and the menu builder with real windows and menus.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/generic_window_win.h"
#include "common/menu_builder_win.h"
#include "common/text16.h"

namespace {

bool OwnClassExists(const char16_t* name) {
  WNDCLASSEXW found = {};
  found.cbSize = sizeof(found);
  return GetClassInfoExW(GetModuleHandleW(nullptr), AsWide(name), &found) != 0;
}

LRESULT CALLBACK PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

// Counts the clicks that reach a window's own procedure.
int gClicksSeen = 0;
LRESULT CALLBACK CountingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN) ++gClicksSeen;
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND PlainWindow(const wchar_t* className, WNDPROC procedure, HWND parent = nullptr) {
  WNDCLASSW record = {};
  record.lpfnWndProc = procedure;
  record.hInstance = GetModuleHandleW(nullptr);
  record.lpszClassName = className;
  RegisterClassW(&record);
  return CreateWindowExW(0, className, L"", parent ? WS_CHILD : WS_OVERLAPPED, 0, 0, 50, 50,
                         parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

bool PeekPosted(HWND window, UINT message, MSG* out) {
  return PeekMessageW(out, window, message, message, PM_REMOVE) != 0;
}

TEST(GenericWindow, EachObjectGetsItsOwnClassAndUnregistersOnlyThat) {
  CGenericWindow first, second;
  ASSERT_TRUE(first.Create(u"one", nullptr, WS_POPUP, 0, 0, 40, 40, nullptr, PlainProcedure));
  ASSERT_TRUE(second.Create(u"two", nullptr, WS_POPUP, 0, 0, 40, 40, nullptr, PlainProcedure));
  const std::u16string firstClass = first.ClassName();
  const std::u16string secondClass = second.ClassName();
  EXPECT_EQ(firstClass.rfind(u"CGenericWindow-", 0), 0u);
  EXPECT_NE(firstClass, secondClass);
  EXPECT_FALSE(first.Create(u"again", nullptr, WS_POPUP, 0, 0, 40, 40, nullptr, PlainProcedure))
      << "a live window is never replaced";

  ASSERT_TRUE(first.DestroyOwnWindow());
  EXPECT_FALSE(OwnClassExists(firstClass.c_str()));
  EXPECT_TRUE(OwnClassExists(secondClass.c_str()));
  EXPECT_FALSE(first.DestroyOwnWindow());
}

TEST(GenericWindow, SystemClassIsUsedAsItIs) {
  CGenericWindow label;
  ASSERT_TRUE(label.Create(u"STATIC", u"text", nullptr, WS_POPUP, 0, 0, 40, 40, nullptr, nullptr));
  wchar_t name[32] = {};
  GetClassNameW(label.Window(), name, 32);
  EXPECT_EQ(std::wstring(name), L"Static");
  EXPECT_TRUE(label.DestroyOwnWindow());
  EXPECT_TRUE(OwnClassExists(u"STATIC")) << "a system class is never unregistered";
}

TEST(GenericWindow, ChildControlsCarryTheirStylesAndLeaveTheOwnClass) {
  CGenericWindow popup;
  ASSERT_TRUE(popup.Create(u"popup", nullptr, WS_POPUP, 0, 0, 200, 200, nullptr));
  const std::u16string own = popup.ClassName();
  struct {
    HWND child;
    DWORD style;
  } const cases[] = {
      {popup.CreateButton(u"b", 0, 0, 10, 10), CGenericWindow::kButtonStyle},
      {popup.CreateEdit(u"e", 0, 0, 10, 10), CGenericWindow::kEditStyle},
      {popup.CreateMultiLineEdit(u"m", 0, 0, 10, 10), CGenericWindow::kMultiLineEditStyle},
      {popup.CreateDropDownList(u"", 0, 0, 10, 100), CGenericWindow::kDropDownListStyle},
      {popup.CreateHorizontalScrollBar(u"", 0, 0, 10, 10), CGenericWindow::kHorizontalBarStyle},
      {popup.CreateStaticText(u"s", 0, 0, 10, 10), CGenericWindow::kStaticTextStyle},
  };
  for (const auto& c : cases) {
    ASSERT_NE(c.child, nullptr);
    EXPECT_EQ(GetParent(c.child), popup.Window());
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(c.child, GWL_STYLE)) & c.style, c.style);
  }
  EXPECT_EQ(own, popup.ClassName());
  EXPECT_TRUE(popup.DestroyOwnWindow());
  EXPECT_FALSE(OwnClassExists(own.c_str()));
}

TEST(GenericWindow, MessageLoopEndsWithTheQuitCode) {
  CGenericWindow popup;
  ASSERT_TRUE(popup.Create(u"popup", nullptr, WS_POPUP, 0, 0, 40, 40, nullptr));
  PostQuitMessage(7);
  EXPECT_EQ(popup.RunMessageLoop(), 7u);
  // The default procedure quits the loop when the window goes.
  DestroyWindow(popup.Window());
  EXPECT_EQ(popup.RunMessageLoop(), 0u);
}

TEST(GenericWindow, AttachRefusesAWindowOfAnotherObject) {
  HWND window = PlainWindow(L"GenericWindowTestPlain", PlainProcedure);
  CGenericWindow first, second;
  ASSERT_TRUE(first.Attach(window));
  EXPECT_FALSE(second.Attach(window));
  EXPECT_FALSE(second.Detach());
  EXPECT_FALSE(first.Attach(window)) << "the object holds a window already";
  ASSERT_TRUE(first.Detach());
  EXPECT_EQ(GetWindowLongPtrW(window, GWLP_USERDATA), 0);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)), &PlainProcedure);
  {
    CGenericWindow attached;
    ASSERT_TRUE(attached.Attach(window));
  }
  EXPECT_TRUE(IsWindow(window)) << "an attached window outlives its object";
  EXPECT_EQ(GetWindowLongPtrW(window, GWLP_USERDATA), 0);
  DestroyWindow(window);
}

TEST(GenericWindow, DragMoveTakesTheClickAndForwardsItToTheParent) {
  HWND parent = PlainWindow(L"GenericWindowTestParent", PlainProcedure);
  HWND window = PlainWindow(L"GenericWindowTestCounting", CountingProcedure, parent);
  CGenericWindow attached;
  ASSERT_TRUE(attached.Attach(window));
  MSG posted;
  while (PeekMessageW(&posted, nullptr, 0, 0, PM_REMOVE)) {}

  gClicksSeen = 0;
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
  EXPECT_EQ(gClicksSeen, 1);
  EXPECT_TRUE(PeekPosted(parent, WM_LBUTTONDOWN, &posted));
  EXPECT_EQ(posted.lParam, MAKELPARAM(3, 4));

  attached.SetDragMove(true);
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_EQ(gClicksSeen, 1) << "with drag-move the click does not reach the window";
  EXPECT_TRUE(PeekPosted(window, WM_SYSCOMMAND, &posted));
  EXPECT_EQ(posted.wParam, CGenericWindow::kMoveByCaption);

  attached.SetMouseForward(false);
  SendMessageW(window, WM_RBUTTONUP, 0, 0);
  EXPECT_FALSE(PeekPosted(parent, WM_RBUTTONUP, &posted));
  attached.Detach();
  DestroyWindow(parent);
}

TEST(MenuBuilder, SystemMenuItemsGoOnTopAndTheMenuStays) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  HMENU system = nullptr;
  {
    CMenuBuilder builder;
    ASSERT_TRUE(builder.AttachSystemMenu(window));
    system = builder.Menu();
    EXPECT_TRUE(builder.AppendItem(1008, u"&About"));
    EXPECT_TRUE(builder.AppendItem(1009, u"&Visit Web Site"));
    EXPECT_TRUE(builder.AppendSeparator());
    EXPECT_FALSE(builder.Owned());
  }
  ASSERT_TRUE(IsMenu(system));
  EXPECT_EQ(GetMenuItemID(system, 0), 1008u);
  EXPECT_EQ(GetMenuItemID(system, 1), 1009u);
  MENUITEMINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfoW(system, 2, TRUE, &info));
  EXPECT_TRUE(info.fType & MFT_SEPARATOR);
  EXPECT_GT(GetMenuItemCount(system), 3);
  DestroyWindow(window);
}

TEST(MenuBuilder, ItemStatesAndCheckMarks) {
  CMenuBuilder builder;
  ASSERT_TRUE(builder.EnsurePopupMenu());
  HBITMAP flag = CreateBitmap(4, 4, 1, 32, nullptr);
  ASSERT_TRUE(builder.InsertItem(200, 0, u"English", true, false, false, false, nullptr, flag, false));
  ASSERT_TRUE(builder.InsertItem(201, 1, u"Off", false, false, true, false, nullptr, nullptr, false));
  MENUITEMINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STATE | MIIM_CHECKMARKS;
  ASSERT_TRUE(GetMenuItemInfoW(builder.Menu(), 200, FALSE, &info));
  EXPECT_EQ(info.hbmpUnchecked, flag);
  EXPECT_FALSE(info.fState & MFS_CHECKED);
  ASSERT_TRUE(GetMenuItemInfoW(builder.Menu(), 201, FALSE, &info));
  EXPECT_TRUE(info.fState & MFS_DISABLED);
  EXPECT_TRUE(info.fState & MFS_DEFAULT);
  HMENU menu = builder.Menu();
  builder.Reset();
  EXPECT_FALSE(IsMenu(menu)) << "an owned menu is destroyed";
  DeleteObject(flag);
}

}  // namespace
