// Start-up and save of marlpane.exe on 22 000 options, timed from outside
// the editor, next to the start of an empty Win32 program:
//   editor_start_bench MARLPANE.EXE EMPTY_PROGRAM.EXE [FOLDER] [RUNS]
// The settings files (typed by a type description, and typed by detection)
// are written to FOLDER (default: the system's temporary folder). Each run
// starts the program with "/INI:" and "/NOTIFY:" and this program's window
// and measures, from the moment it asks the system to start it:
//   - the arrival of code 300 (the dialog exists);
//   - the list painted: the dialog is visible, answers messages, and
//     neither it nor its list has anything left to paint;
//   - the peak working set of the editor once painted and saved;
// then it clicks Save (BM_CLICK posted to the button) and measures the time
// until code 317. The figures are the best of the runs (the largest for the
// working set).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_support_win.h"

namespace {

constexpr UINT kNotifyMessage = WM_APP + 7;
constexpr int kSaveButton = 1005;
constexpr int kOptionList = 1002;
constexpr double kTimeLimit = 120;  // seconds for any one step

struct Notification {
  WPARAM code;
  LPARAM lParam;
  double time;
};
// The notifications of the program being timed, in order of arrival.
std::vector<Notification> gReceived;

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kNotifyMessage) {
    gReceived.push_back({wParam, lParam, Now()});
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

const Notification* Received(WPARAM code) {
  for (const Notification& n : gReceived)
    if (n.code == code) return &n;
  return nullptr;
}

// Pumps this program's messages until code has arrived; its time, or a
// negative number when the program ended first or the time ran out.
double WaitCode(WPARAM code, HANDLE process, LPARAM* lParam = nullptr) {
  const double limit = Now() + kTimeLimit;
  for (;;) {
    Pump();
    if (const Notification* n = Received(code)) {
      if (lParam) *lParam = n->lParam;
      return n->time;
    }
    if (Now() > limit || WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
      Pump();
      const Notification* n = Received(code);
      return n ? n->time : -1;
    }
    MsgWaitForMultipleObjects(1, &process, FALSE, 5, QS_ALLINPUT);
  }
}

bool NothingToPaint(HWND window) { return window && !GetUpdateRect(window, nullptr, FALSE); }

// The moment the window (and its list, when it has one) is shown, answers
// and has painted everything.
double WaitPainted(HWND window, HANDLE process) {
  const double limit = Now() + kTimeLimit;
  while (Now() < limit) {
    HWND list = GetDlgItem(window, kOptionList);
    DWORD_PTR answer = 0;
    if (IsWindowVisible(window) &&
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10, &answer) &&
        NothingToPaint(window) && (!list || NothingToPaint(list))) {
      return Now();
    }
    if (WaitForSingleObject(process, 1) == WAIT_OBJECT_0) return -1;
    Pump();
  }
  return -1;
}

double PeakWorkingSet(HANDLE process) {
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof(memory);
  if (!GetProcessMemoryInfo(process, &memory, sizeof(memory))) return 0;
  return memory.PeakWorkingSetSize / 1048576.0;
}

struct Figures {
  double started = 1e9;  // code 300
  double painted = 1e9;  // the list painted
  double save = 1e9;     // Save clicked to code 317
  double peakMb = 0;
  bool sameBytes = true;
  bool failed = false;
};

void RunOnce(const std::wstring& program, const std::wstring& settings, HWND host, Figures& best,
             const std::string* original) {
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!settings.empty()) commandLine += L" /INI:\"" + settings + L"\"";
  commandLine += L" /NOTIFY:" + std::to_wstring(reinterpret_cast<uintptr_t>(host));
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  gReceived.clear();
  const double start = Now();
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    best.failed = true;
    return;
  }
  CloseHandle(process.hThread);
  LPARAM window = 0;
  const double started = WaitCode(300, process.hProcess, &window);
  const double painted = started < 0 ? -1 : WaitPainted(reinterpret_cast<HWND>(window), process.hProcess);
  if (painted < 0) {
    best.failed = true;
  } else {
    best.started = std::min(best.started, started - start);
    best.painted = std::min(best.painted, painted - start);
  }
  HWND dialog = reinterpret_cast<HWND>(window);
  if (!best.failed && original) {
    const double click = Now();
    PostMessageW(GetDlgItem(dialog, kSaveButton), BM_CLICK, 0, 0);
    const double saved = WaitCode(317, process.hProcess);
    if (saved < 0) best.failed = true;
    else best.save = std::min(best.save, saved - click);
  } else if (dialog) {
    PostMessageW(dialog, WM_CLOSE, 0, 0);
  }
  best.peakMb = std::max(best.peakMb, PeakWorkingSet(process.hProcess));
  if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(kTimeLimit * 1000)) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    best.failed = true;
  }
  CloseHandle(process.hProcess);
  if (original && ReadBytes(settings) != *original) best.sameBytes = false;
}

void Report(const char* name, const Figures& f, const Figures* yardstick) {
  if (f.failed) {
    std::printf("%-27s FAILED\n", name);
    return;
  }
  std::printf("%-27s code 300 %5.0f ms  list painted %5.0f ms", name, f.started * 1000, f.painted * 1000);
  if (yardstick) std::printf(" (%+5.0f ms)", (f.painted - yardstick->painted) * 1000);
  if (f.save < 1e9) std::printf("  save %4.0f ms  bytes %s", f.save * 1000, f.sameBytes ? "kept" : "CHANGED");
  std::printf("  peak working set %5.1f MB\n", f.peakMb);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: editor_start_bench MARLPANE.EXE EMPTY_PROGRAM.EXE [FOLDER] [RUNS]\n");
    return 2;
  }
  const std::wstring editor = argv[1];
  const std::wstring empty = argv[2];
  const int runs = argc > 4 ? std::max(1, _wtoi(argv[4])) : 3;
  BenchFiles files;
  if (!files.Write(argc > 3 ? argv[3] : nullptr)) return 1;

  HWND host = CreateHostWindow(L"EditorStartBench", HostProcedure);

  Figures emptyProgram, typed, detected;
  for (int run = 0; run < runs; ++run) {
    RunOnce(empty, L"", host, emptyProgram, nullptr);
    RunOnce(editor, files.typedPath, host, typed, &files.typedIni);
    RunOnce(editor, files.detectPath, host, detected, &files.detectIni);
  }
  std::printf("%d options, best of %d runs, times from asking the system to start the program\n",
              kBenchOptions, runs);
  Report("empty Win32 program", emptyProgram, nullptr);
  Report("typed (type description)", typed, &emptyProgram);
  Report("detected (no description)", detected, &emptyProgram);
  DestroyWindow(host);
  files.Remove();
  return typed.failed || detected.failed || emptyProgram.failed ? 1 : 0;
}
