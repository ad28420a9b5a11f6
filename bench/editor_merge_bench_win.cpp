// Save in marlpane.exe when another program changed the settings file while
// the editor was open, against a save of the unchanged file:
//   editor_merge_bench MARLPANE.EXE [FOLDER] [RUNS]
// The typed settings file of the start-up benchmark (22 000 options, every
// row type in turn) is written to FOLDER (default: the system's temporary
// folder) and opened with "/INI:". In each run the editor starts, a double
// click (SendInput) flips one toggle row near the middle, and Save is
// clicked (BM_CLICK); every other run another option's value is rewritten
// in the file first, so that Save reads the file again and merges the row
// into it. The time runs from the click to code 317; the saved file is
// checked to hold both changes and every other byte. RUNS (default 5) runs
// of each kind, taking turns; prints the median and the best of each.
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
constexpr WPARAM kSavedCode = 317;
constexpr int kSaveButton = 1005;
constexpr int kToggleMixIndex = 25;  // TOGGLEINDEX, stored "no"
constexpr int kTextMixIndex = 1;     // STRING, which the other program rewrites

HWND gEditorWindow = nullptr;
double gSavedAt = -1;

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kNotifyMessage && wParam == kStartedCode) gEditorWindow = reinterpret_cast<HWND>(lParam);
  if (message == kNotifyMessage && wParam == kSavedCode) gSavedAt = Now();
  return DefWindowProcW(window, message, wParam, lParam);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

std::string Line(int option, const char* value) {
  return "Option_" + std::to_string(option) + "=" + value + "\r\n";
}

// One run: the seconds from clicking Save to code 317, or a negative number.
double SaveOnce(const std::wstring& editor, const BenchFiles& files, bool changedOnDisk) {
  const int middle = (kBenchOptions / 2 / kBenchMixLength) * kBenchMixLength;
  const int toggle = middle + kToggleMixIndex;
  const int text = middle + kTextMixIndex;
  const std::string mine = Replaced(files.typedIni, Line(toggle, "no"), Line(toggle, "yes"));
  const std::string theirs =
      Replaced(files.typedIni, Line(text, "A sample value of some length"), Line(text, "Another program's"));
  if (!WriteBytes(files.typedPath, files.typedIni)) return -1;

  HWND host = CreateHostWindow(L"EditorMergeBench", HostProcedure);
  gEditorWindow = nullptr;
  gSavedAt = -1;
  PROCESS_INFORMATION process = {};
  if (!StartEditor(editor, files.typedPath, host, process)) return -1;
  double result = -1;
  HWND list = nullptr;
  RECT rect = {};
  const int row = RowOfOption(toggle);
  if (WaitFor([&] { return (list = ShownOptionList(gEditorWindow)) != nullptr; }) >= 0) {
    SetForegroundWindow(gEditorWindow);
    SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
    if (WaitFor([&] { return Painted(list); }) >= 0 && RowOnScreen(process.hProcess, list, row, &rect)) {
      DoubleClick((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
      const bool flipped =
          WaitFor([&] { return CellText(process.hProcess, list, row, 1) == L"yes"; }) >= 0;
      if (flipped && (!changedOnDisk || WriteBytes(files.typedPath, theirs))) {
        const double clicked = Now();
        PostMessageW(GetDlgItem(gEditorWindow, kSaveButton), BM_CLICK, 0, 0);
        if (WaitFor([&] { return gSavedAt >= 0; }) >= 0) result = gSavedAt - clicked;
      }
    }
  }
  if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    result = -1;
  }
  CloseHandle(process.hProcess);
  DestroyWindow(host);
  const std::string expected =
      changedOnDisk ? Replaced(theirs, Line(toggle, "no"), Line(toggle, "yes")) : mine;
  if (result >= 0 && ReadBytes(files.typedPath) != expected) {
    std::printf("the saved file is not as expected (%s)\n", changedOnDisk ? "merged" : "plain");
    return -1;
  }
  return result;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: editor_merge_bench MARLPANE.EXE [FOLDER] [RUNS]\n");
    return 2;
  }
  const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 5;
  BenchFiles files;
  if (!files.Write(argc > 2 ? argv[2] : nullptr)) return 1;
  std::vector<double> plain, merged;
  for (int run = 0; run < runs; ++run) {
    for (bool changedOnDisk : {false, true}) {
      const double seconds = SaveOnce(argv[1], files, changedOnDisk);
      if (seconds < 0) {
        std::printf("FAILED (%s save, run %d)\n", changedOnDisk ? "merged" : "plain", run + 1);
        files.Remove();
        return 1;
      }
      (changedOnDisk ? merged : plain).push_back(seconds);
    }
  }
  files.Remove();
  std::printf("%d options, one toggle row changed, %d runs each, from clicking Save to code 317\n",
              kBenchOptions, runs);
  std::printf("file unchanged on disk:       median %5.1f ms  best %5.1f ms\n", Median(plain) * 1000,
              *std::min_element(plain.begin(), plain.end()) * 1000);
  std::printf("changed by another program:   median %5.1f ms  best %5.1f ms  (%+.1f ms at the median)\n",
              Median(merged) * 1000, *std::min_element(merged.begin(), merged.end()) * 1000,
              (Median(merged) - Median(plain)) * 1000);
  std::printf("goal: the merged save within 50 ms of the plain one; every byte as expected\n");
  return 0;
}
