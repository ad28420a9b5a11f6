// Drives the system's modal dialogs from inside their own message loop: a
// thread timer looks for this thread's enabled dialog window every few
// milliseconds, answers a question box with Yes, or fills the file name and
// presses OK (or Cancel). Gives up with Cancel after a few seconds.
#pragma once

#include <windows.h>

#include <string>

class DialogRobot {
 public:
  enum class Answer { Ok, Cancel };

  DialogRobot(Answer answer, std::wstring fileName = L"") {
    current_ = this;
    answer_ = answer;
    fileName_ = std::move(fileName);
    timer_ = SetTimer(nullptr, 0, 100, &DialogRobot::Tick);
  }
  ~DialogRobot() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  int Presses() const { return presses_; }

 private:
  static BOOL CALLBACK PickDialog(HWND window, LPARAM found) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (std::wstring(name) == L"#32770" && IsWindowVisible(window) && IsWindowEnabled(window))
      *reinterpret_cast<HWND*>(found) = window;
    return TRUE;
  }

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    DialogRobot* self = current_;
    if (!self) return;
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &DialogRobot::PickDialog,
                      reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    ++self->ticks_;
    if (self->ticks_ > 60) {
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      return;
    }
    if (self->ticks_ < 3) return;  // let the dialog finish initialising
    if (GetDlgItem(dialog, IDYES)) {
      PostMessageW(dialog, WM_COMMAND, IDYES, 0);
      ++self->presses_;
      return;
    }
    if (self->answer_ == Answer::Cancel) {
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      ++self->presses_;
      return;
    }
    if (!self->fileName_.empty()) {
      const int kFileNameCombo = 0x47C, kFileNameEdit = 0x480;
      SetDlgItemTextW(dialog, kFileNameCombo, self->fileName_.c_str());
      SetDlgItemTextW(dialog, kFileNameEdit, self->fileName_.c_str());
    }
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    ++self->presses_;
  }

  static inline DialogRobot* current_ = nullptr;
  Answer answer_;
  std::wstring fileName_;
  UINT_PTR timer_ = 0;
  int ticks_ = 0;
  int presses_ = 0;
};
