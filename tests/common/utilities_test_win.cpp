#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/utilities.h"
#include "common/text16.h"
#include "dialog_robot_win.h"
#include "temp_folder_win.h"

namespace {

constexpr size_t kPathCapacity = 5000;

std::wstring W(const char16_t* text) { return AsWide(text); }

// A fresh folder per test, removed with its files.
struct TempFolder : wintest::TempFolder {
  TempFolder() : wintest::TempFolder(L"utilities_test") {}
};


// A top-level test window of its own class.
class TestWindow {
 public:
  TestWindow(const wchar_t* className, const wchar_t* title, DWORD style = WS_OVERLAPPEDWINDOW) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    window_ = CreateWindowExW(0, className, title, style, 10, 10, 200, 100, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  }
  ~TestWindow() { DestroyWindow(window_); }
  HWND Get() const { return window_; }

 private:
  HWND window_;
};

TEST(ShellWin, OwnFolderIsTheExecutablesFolder) {
  char16_t folder[kPathCapacity];
  const size_t n = OwnFolder(folder, kPathCapacity);
  ASSERT_GT(n, 0u);
  EXPECT_EQ(folder[n - 1], u'\\');
  wchar_t module[MAX_PATH];
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  EXPECT_EQ(std::wstring(module).substr(0, n), W(folder));
  EXPECT_EQ(std::wstring(module).find(L'\\', n), std::wstring::npos);

  char16_t tiny[3];
  EXPECT_EQ(OwnFolder(tiny, 3), 0u);
  EXPECT_EQ(tiny[0], 0);
}

TEST(ShellWin, FileExistsNoAccess) {
  TempFolder folder;
  folder.Write(L"present.txt");
  struct Case {
    std::wstring path;
    bool exists;
  } cases[] = {
      {folder.File(L"present.txt"), true},
      {folder.File(L"absent.txt"), false},
      {folder.File(L"nofolder\\x.txt"), false},
      {L"", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FileExistsNoAccess(AsText(c.path.c_str())), c.exists) << c.path.size();
  EXPECT_FALSE(FileExistsNoAccess(nullptr));

  // Held open without sharing for writing: a no-access open still succeeds.
  HANDLE held = CreateFileW(folder.File(L"present.txt").c_str(), GENERIC_READ, FILE_SHARE_READ,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_TRUE(FileExistsNoAccess(AsText(folder.File(L"present.txt").c_str())));
  CloseHandle(held);
}

TEST(ShellWin, PostQuitPostsTheCodeToTheWindow) {
  TestWindow window(L"UtilitiesQuitTest", L"quit");
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
  EXPECT_TRUE(PostQuit(window.Get(), 42));
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 42u);
  EXPECT_TRUE(PostQuit(nullptr, 7));
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(ShellWin, OpenWebPageRefusesWhatIsNoWebAddress) {
  EXPECT_FALSE(OpenWebPage(nullptr));
  EXPECT_FALSE(OpenWebPage(u""));
  // A program named by a PAD file is never started.
  EXPECT_FALSE(OpenWebPage(u"C:\\Windows\\System32\\calc.exe"));
  EXPECT_FALSE(OpenWebPage(u"\\\\server\\share\\tool.exe"));
}

TEST(WindowLookupWin, StepScrollBar) {
  TestWindow window(L"UtilitiesScrollTest", L"scroll", WS_OVERLAPPEDWINDOW | WS_HSCROLL);
  struct Case {
    int minimum, maximum, start;
    WPARAM request;
    int change, end;
  } cases[] = {
      {0, 10, 10, SB_LINEDOWN, 0, 10},  // at the maximum
      {0, 10, 5, SB_LINEDOWN, 1, 6},
      {0, 10, 0, SB_LINEUP, 0, 0},      // at the minimum
      {0, 10, 5, SB_LINEUP, -1, 4},
      {0, 10, 5, SB_TOP, -5, 0},
      {0, 10, 5, SB_BOTTOM, 5, 10},
      {0, 10, 2, MAKEWPARAM(SB_THUMBTRACK, 8), 6, 8},
      {0, 10, 2, MAKEWPARAM(SB_THUMBPOSITION, 3), 1, 3},
      {-10, 10, 0, MAKEWPARAM(SB_THUMBTRACK, static_cast<WORD>(-4)), -4, -4},
      {-10, 10, -10, SB_LINEUP, 0, -10},
      {0, 10, 5, SB_PAGEDOWN, 0, 5},
      {0, 10, 5, SB_ENDSCROLL, 0, 5},
  };
  for (const auto& c : cases) {
    SetScrollRange(window.Get(), SB_HORZ, c.minimum, c.maximum, FALSE);
    SetScrollPos(window.Get(), SB_HORZ, c.start, FALSE);
    ASSERT_EQ(GetScrollPos(window.Get(), SB_HORZ), c.start);
    EXPECT_EQ(StepScrollBar(window.Get(), c.request, SB_HORZ, c.minimum, c.maximum), c.change)
        << "request " << c.request << " from " << c.start;
    EXPECT_EQ(GetScrollPos(window.Get(), SB_HORZ), c.end) << "request " << c.request;
  }
}

TEST(WindowLookupWin, FindWindowSmart) {
  TestWindow first(L"UtilitiesFindA", L"Shared Title 7f3a");
  TestWindow second(L"UtilitiesFindB", L"Shared Title 7f3a");
  TestWindow classOnly(L"UtilitiesFindC", L"Other Title 7f3a");
  ASSERT_TRUE(first.Get() && second.Get() && classOnly.Get());

  // A hint of the right class wins even though both share the title.
  EXPECT_EQ(FindWindowSmart(second.Get(), u"Shared Title 7f3a", u"UtilitiesFindB"), second.Get());
  // A hint of another class is ignored: class and title find the right one.
  EXPECT_EQ(FindWindowSmart(first.Get(), u"Shared Title 7f3a", u"UtilitiesFindB"), second.Get());
  // Class prefix is not enough for the hint.
  EXPECT_EQ(FindWindowSmart(second.Get(), u"nothing", u"UtilitiesFind"), nullptr);
  // Title alone, then class alone.
  EXPECT_EQ(FindWindowSmart(nullptr, u"Other Title 7f3a", u"NoSuchClass"), classOnly.Get());
  EXPECT_EQ(FindWindowSmart(nullptr, u"No such title", u"UtilitiesFindC"), classOnly.Get());
  // A dead hint falls back to the search.
  HWND dead;
  {
    TestWindow gone(L"UtilitiesFindC", L"gone");
    dead = gone.Get();
  }
  EXPECT_EQ(FindWindowSmart(dead, u"No such title", u"UtilitiesFindC"), classOnly.Get());
  // Nothing to look for finds nothing, rather than any window at all.
  EXPECT_EQ(FindWindowSmart(nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(FindWindowSmart(nullptr, u"", u""), nullptr);
  EXPECT_EQ(FindWindowSmart(nullptr, u"No such title", u"NoSuchClass"), nullptr);
}

TEST(WindowLookupWin, ListsOfTopLevelWindows) {
  TestWindow shown(L"UtilitiesListShown", L"Shown 7f3a", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  TestWindow hidden(L"UtilitiesListHidden", L"Hidden 7f3a");
  TestWindow untitled(L"UtilitiesListUntitled", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  auto contains = [](CBlockList& list, HWND window) {
    for (uint32_t i = 0; i < list.Count(); ++i)
      if (ListedWindow(list, i) == window) return true;
    return false;
  };
  CBlockList list;
  list.AddCopy("stale", 5);
  ASSERT_TRUE(ListTopWindows(list));
  EXPECT_TRUE(contains(list, shown.Get()));
  EXPECT_TRUE(contains(list, hidden.Get()));
  EXPECT_TRUE(contains(list, untitled.Get()));
  for (uint32_t i = 0; i < list.Count(); ++i) EXPECT_EQ(list.GetSize(i), sizeof(HWND));

  ASSERT_TRUE(ListTitledWindows(list));
  EXPECT_TRUE(contains(list, shown.Get()));
  EXPECT_FALSE(contains(list, hidden.Get()));
  EXPECT_FALSE(contains(list, untitled.Get()));
  EXPECT_EQ(ListedWindow(list, list.Count()), nullptr);
}

TEST(ChoosersWin, SaveFileAddsTheFirstPatternsExtension) {
  TempFolder folder;
  char16_t file[kPathCapacity] = {};
  {
    DialogRobot robot(DialogRobot::Answer::Ok, L"config");
    ASSERT_TRUE(ChooseSaveFile(nullptr, u"*.ini;*.txt", AsText(folder.Path().c_str()), file,
                               kPathCapacity));
  }
  std::wstring chosen = W(file);
  ASSERT_GE(chosen.size(), 10u);
  EXPECT_EQ(chosen.substr(chosen.size() - 10), L"config.ini");
}

TEST(ChoosersWin, SaveFileKeepsATypedExtension) {
  TempFolder folder;
  char16_t file[kPathCapacity] = {};
  {
    DialogRobot robot(DialogRobot::Answer::Ok, L"notes.txt");
    ASSERT_TRUE(ChooseSaveFile(nullptr, u"*.ini;*.txt", AsText(folder.Path().c_str()), file,
                               kPathCapacity));
  }
  std::wstring chosen = W(file);
  ASSERT_GE(chosen.size(), 9u);
  EXPECT_EQ(chosen.substr(chosen.size() - 9), L"notes.txt");
}

TEST(ChoosersWin, OpenFileReturnsTheChosenFileAndCancelKeepsTheBuffer) {
  TempFolder folder;
  folder.Write(L"pick.ini");
  char16_t file[kPathCapacity] = {};
  {
    DialogRobot robot(DialogRobot::Answer::Ok, L"pick.ini");
    ASSERT_TRUE(ChooseOpenFile(nullptr, u"*.ini", AsText(folder.Path().c_str()), file,
                               kPathCapacity));
  }
  EXPECT_EQ(_wcsicmp(AsWide(file), folder.File(L"pick.ini").c_str()), 0) << W(file).size();

  char16_t kept[kPathCapacity] = u"kept.ini";
  {
    DialogRobot robot(DialogRobot::Answer::Cancel);
    EXPECT_FALSE(ChooseOpenFile(nullptr, nullptr, AsText(folder.Path().c_str()), kept,
                                kPathCapacity));
  }
  EXPECT_EQ(W(kept), L"kept.ini");
}

TEST(ChoosersWin, FolderIsTheOpenedFolder) {
  TempFolder folder;
  char16_t out[kPathCapacity] = u"unchanged";
  {
    DialogRobot robot(DialogRobot::Answer::Ok);
    ASSERT_TRUE(ChooseFolder(nullptr, AsText(folder.Path().c_str()), out, kPathCapacity));
  }
  EXPECT_EQ(_wcsicmp(AsWide(out), folder.Path().c_str()), 0) << W(out).size();
}

TEST(ChoosersWin, ColourConfirmedAndCancelled) {
  COLORREF colour = RGB(12, 34, 56);
  {
    DialogRobot robot(DialogRobot::Answer::Ok);
    ASSERT_TRUE(ChooseColourDialog(nullptr, &colour));
  }
  EXPECT_EQ(colour, RGB(12, 34, 56));
  {
    DialogRobot robot(DialogRobot::Answer::Cancel);
    EXPECT_FALSE(ChooseColourDialog(nullptr, &colour));
  }
  EXPECT_EQ(colour, RGB(12, 34, 56));
}

int CALLBACK NoteFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM found) {
  auto* faces = reinterpret_cast<std::vector<std::wstring>*>(found);
  if (type & TRUETYPE_FONTTYPE) faces->push_back(font->lfFaceName);
  return 1;
}

// A TrueType face installed on this system, preferring one with every style.
std::wstring InstalledFace() {
  std::vector<std::wstring> faces;
  LOGFONTW any = {};
  any.lfCharSet = DEFAULT_CHARSET;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &any, NoteFace, reinterpret_cast<LPARAM>(&faces), 0);
  ReleaseDC(nullptr, screen);
  for (const wchar_t* preferred : {L"Tahoma", L"DejaVu Sans", L"Arial"})
    for (const auto& face : faces)
      if (face == preferred) return face;
  return faces.empty() ? L"" : faces.front();
}

TEST(ChoosersWin, FontRoundTripsItsPresets) {
  const std::wstring installed = InstalledFace();
  ASSERT_FALSE(installed.empty());
  char16_t face[kFaceNameCapacity] = {};
  CopyText(face, kFaceNameCapacity, AsText(installed.c_str()));
  int size = 12, bold = 1, italic = 1, underline = 0, strikeout = 1;
  {
    DialogRobot robot(DialogRobot::Answer::Ok);
    ASSERT_TRUE(ChooseFontDialog(nullptr, 8, 20, face, &size, &bold, &italic, &underline,
                                 &strikeout));
  }
  EXPECT_EQ(W(face), installed);
  EXPECT_EQ(size, 12);
  EXPECT_EQ(bold, 1);
  EXPECT_EQ(italic, 1);
  // Underline and strikeout come back as the chooser (which offers no
  // effects) reports them: only their range is certain.
  EXPECT_TRUE(underline == 0 || underline == 1);
  EXPECT_TRUE(strikeout == 0 || strikeout == 1);

  int cancelledSize = 30;
  {
    DialogRobot robot(DialogRobot::Answer::Cancel);
    EXPECT_FALSE(ChooseFontDialog(nullptr, 0, 0, nullptr, &cancelledSize, nullptr, nullptr,
                                  nullptr, nullptr));
  }
  EXPECT_EQ(cancelledSize, 30);
}

}  // namespace
