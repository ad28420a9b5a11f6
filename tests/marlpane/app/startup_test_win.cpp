#include "marlpane/app/startup_win.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text16.h"
#include "marlpane/app/command_line.h"
#include "tests/common/files_test_support.h"

namespace {

// A hidden window that records the editor notifications it receives.
class Receiver {
 public:
  struct Notice {
    WPARAM code;
    LPARAM lParam;
  };

  Receiver() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &Receiver::Procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"StartupTestReceiver";
    RegisterClassW(&wc);
    window_ = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Receiver() {
    if (window_) DestroyWindow(window_);
  }
  HWND window() const { return window_; }
  void Destroy() {
    DestroyWindow(window_);
    window_ = nullptr;
  }

  // Dispatches everything queued for this thread, then hands over what came.
  std::vector<Notice> Take() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    std::vector<Notice> taken;
    taken.swap(notices_);
    return taken;
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Receiver*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == kEditorNotifyMessage) {
      self->notices_.push_back({wParam, lParam});
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  HWND window_ = nullptr;
  std::vector<Notice> notices_;
};

// Restores the process-wide notification window after each test.
class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = gEditorState.notifyWindow; }
  void TearDown() override { gEditorState.notifyWindow = saved_; }
  uintptr_t saved_ = 0;
};

TEST_F(StartupTest, NotificationsReachTheWindowNamedOnTheCommandLine) {
  Receiver receiver;
  Receiver editor;  // stands in for the editor's main window
  ASSERT_NE(receiver.window(), nullptr);
  ASSERT_EQ(kEditorNotifyMessage, 0x8007u);

  // Without a window nothing is posted.
  gEditorState.notifyWindow = 0;
  PostNotification(kNotifyStarted, 1);
  EXPECT_TRUE(receiver.Take().empty());

  EditorOptions options;
  const std::u16string line =
      u"marlpane.exe /NOTIFY:" +
      Utf8ToText(std::to_string(reinterpret_cast<uintptr_t>(receiver.window()))) + u" /NODETECT";
  ApplyCommandLine(line.c_str(), gEditorState, options);
  ASSERT_EQ(gEditorState.notifyWindow, reinterpret_cast<uintptr_t>(receiver.window()));

  const LPARAM mainWindow = reinterpret_cast<LPARAM>(editor.window());
  PostNotification(kNotifyStarted, mainWindow);
  PostNotification(kNotifySaved);
  PostNotification(kNotifyCancelled);
  PostNotification(kNotifyClosing);
  const std::vector<Receiver::Notice> notices = receiver.Take();
  ASSERT_EQ(notices.size(), 4u);
  const WPARAM codes[] = {300, 317, 319, 390};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(notices[i].code, codes[i]);
    EXPECT_EQ(notices[i].lParam, i == 0 ? mainWindow : 0);
  }
}

TEST_F(StartupTest, PostingToAGoneWindowIsHarmless) {
  Receiver receiver;
  gEditorState.notifyWindow = reinterpret_cast<uintptr_t>(receiver.window());
  receiver.Destroy();
  PostNotification(kNotifyClosing);
  EXPECT_TRUE(receiver.Take().empty());
}

TEST_F(StartupTest, ChooseSettingsFileFindsThePropertiesFile) {
  testfiles::TempFolder folder;
  testfiles::WriteBytes(folder.Native("app.properties"), "a=1\n");
  EditorState state;
  CopyText(state.settingsPath, kPathCapacity, folder.File("app.ini").c_str());
  ChooseSettingsFile(state);
  EXPECT_EQ(std::u16string(state.settingsPath), folder.File("app.properties"));
  EXPECT_TRUE(SettingsAreProperties(state));
}

// The portable splitter agrees with the system's on the bare argument.
TEST(FirstArgumentTest, MatchesCommandLineToArgv) {
  const char16_t* lines[] = {
      u"\"C:\\a b\\prog.exe\" \"C:\\My Files\\a.ini\"",
      u"\"C:\\a b\\prog.exe\"x y",
      u"prog.exe \t arg1 arg2",
      u"prog.exe a\"b c\"d e",
      u"prog.exe C:\\dir\\ x",
      u"prog.exe a\\\\\"b c\"",
      u"prog.exe a\\\\\\\"b c",
      u"prog.exe \"a\"\"\"b c",
      u"prog.exe \"a\"\"b c",
      u"prog.exe \"\"",
  };
  for (const char16_t* line : lines) {
    SCOPED_TRACE(TextToUtf8(line));
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(AsWide(line), &count);
    ASSERT_NE(arguments, nullptr);
    std::u16string ours;
    ASSERT_EQ(FirstArgument(line, ours), count >= 2);
    if (count >= 2) {
      EXPECT_EQ(ours, std::u16string(AsText(arguments[1])));
    }
    LocalFree(arguments);
  }
}

}  // namespace
