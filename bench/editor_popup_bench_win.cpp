// The in-place editors of marlpane.exe on a list of 22 000 options, timed
// from outside the editor with real input:
//   editor_popup_bench MARLPANE.EXE [FOLDER] [RUNS]
// The typed settings file of the start-up benchmark (every row type in turn)
// is written to FOLDER (default: the system's temporary folder) and opened
// with "/INI:". For one row of each popup kind near the middle of the list,
// RUNS times (default 5): the row is scrolled into view, a double click on
// its label goes in through SendInput, and the time is taken until the
// popup is on the screen with nothing left to paint; then Escape goes in the
// same way and the time is taken until the popup is gone and the main
// window and its list have painted what it covered. Prints the median and
// the slowest of the runs for each kind.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_support_win.h"

namespace {

constexpr UINT kNotifyMessage = WM_APP + 7;
constexpr WPARAM kStartedCode = 300;

// The popup kinds and the place of a row of theirs in the benchmark files' mix.
struct PopupKind {
  const char* name;
  int mixIndex;
};
const PopupKind kKinds[] = {
    {"text", 1},     {"password", 4},  {"integer", 10}, {"real", 11},  {"choice", 12},
    {"window", 16},  {"multi-line", 20}, {"date", 26},  {"time", 27},
};

HWND gEditorWindow = nullptr;  // from code 300

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kNotifyMessage && wParam == kStartedCode) gEditorWindow = reinterpret_cast<HWND>(lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

BOOL CALLBACK ChildPainted(HWND child, LPARAM allPainted) {
  if (IsWindowVisible(child) && !Painted(child)) *reinterpret_cast<bool*>(allPainted) = false;
  return TRUE;
}

// The popup editor of the editor's thread when it is shown and painted.
struct PopupSearch {
  HWND found;
};
BOOL CALLBACK FindPopup(HWND window, LPARAM context) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (!IsWindowVisible(window) || std::wstring(name).rfind(L"CGenericWindow-", 0) != 0) return TRUE;
  reinterpret_cast<PopupSearch*>(context)->found = window;
  return FALSE;
}
HWND OpenPopup(DWORD thread) {
  PopupSearch search{nullptr};
  EnumThreadWindows(thread, FindPopup, reinterpret_cast<LPARAM>(&search));
  return search.found;
}
bool PopupPainted(DWORD thread) {
  HWND popup = OpenPopup(thread);
  if (!popup || !Painted(popup)) return false;
  bool all = true;
  EnumChildWindows(popup, ChildPainted, reinterpret_cast<LPARAM>(&all));
  return all;
}

void PressKey(WORD key) {
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = inputs[1].ki.wVk = key;
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, inputs, sizeof(INPUT));
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? -1 : values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: editor_popup_bench MARLPANE.EXE [FOLDER] [RUNS]\n");
    return 2;
  }
  const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 5;
  BenchFiles files;
  if (!files.Write(argc > 2 ? argv[2] : nullptr)) return 1;
  HWND host = CreateHostWindow(L"EditorPopupBench", HostProcedure);

  PROCESS_INFORMATION process = {};
  if (!StartEditor(argv[1], files.typedPath, host, process)) return 1;
  int failures = 0;
  HWND list = nullptr;
  if (WaitFor([&] { return (list = ShownOptionList(gEditorWindow)) != nullptr; }) < 0) {
    std::printf("the editor did not show its list\n");
    TerminateProcess(process.hProcess, 1);
    return 1;
  }
  const DWORD thread = GetWindowThreadProcessId(gEditorWindow, nullptr);
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  SetForegroundWindow(gEditorWindow);
  std::printf("%d rows in the list, %d runs per kind, times from the input going in\n", rows, runs);
  std::printf("%-11s %22s %26s\n", "popup", "shown (median, worst)", "list repainted (median, worst)");

  for (const PopupKind& kind : kKinds) {
    const int option = (kBenchOptions / 2 / kBenchMixLength) * kBenchMixLength + kind.mixIndex;
    const int row = RowOfOption(option);
    std::vector<double> shown, repainted;
    for (int run = 0; run < runs; ++run) {
      SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
      RECT rect = {};
      if (WaitFor([&] { return Painted(list); }) < 0 || !RowOnScreen(process.hProcess, list, row, &rect)) {
        break;
      }
      const double clicked = Now();
      DoubleClick((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
      const double open = WaitFor([&] { return PopupPainted(thread); });
      if (open < 0) break;
      shown.push_back(open - clicked);
      const double pressed = Now();
      PressKey(VK_ESCAPE);
      const double closed = WaitFor([&] {
        return !OpenPopup(thread) && IsWindowEnabled(gEditorWindow) && Painted(gEditorWindow) &&
               Painted(list);
      });
      if (closed < 0) break;
      repainted.push_back(closed - pressed);
    }
    if (static_cast<int>(shown.size()) < runs || static_cast<int>(repainted.size()) < runs) {
      std::printf("%-11s FAILED (row %d)\n", kind.name, row);
      ++failures;
      continue;
    }
    std::printf("%-11s %9.1f ms %7.1f ms %13.1f ms %7.1f ms\n", kind.name, Median(shown) * 1000,
                *std::max_element(shown.begin(), shown.end()) * 1000, Median(repainted) * 1000,
                *std::max_element(repainted.begin(), repainted.end()) * 1000);
  }
  std::printf("goal: each popup shown, and the list repainted after it, within 100 ms\n");

  PostMessageW(gEditorWindow, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hProcess);
  DestroyWindow(host);
  files.Remove();
  return failures ? 1 : 0;
}
