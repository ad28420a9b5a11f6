// Opens a settings file of 22 000 options into the option list (a real
// list control in a visible window) and saves it unchanged, the way the
// editor's dialog does, and prints the times.
//   option_list_bench [FOLDER] [RUNS]
// Two files are written to FOLDER (default: the system's temporary folder):
// one with a type description that types every option (a mix of every row
// type but SELECTEXEC, whose program run is timed on its own), and one
// without, whose rows are typed by detection. For each: the time to build
// the rows, the time until the list has painted them, the time of an
// unchanged save, whether the saved file kept every byte, and the peak
// memory of the process.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_support_win.h"
#include "common/text16.h"
#include "marlpane/document/ini_document.h"
#include "marlpane/rows/row_saver.h"
#include "marlpane/rows/row_sources_win.h"
#include "marlpane/list/typed_list_view.h"

namespace {

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

CTypedListView* gList = nullptr;

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (gList && gList->FilterMessage(window, message, wParam, lParam, &result)) return result;
  return DefWindowProcW(window, message, wParam, lParam);
}

struct Figures {
  double rowsOnly = 1e9;  // BuildRows into cells without a list
  double build = 1e9;  // LoadRows
  double shown = 1e9;  // LoadRows and the first paint
  double save = 1e9;
  bool sameBytes = false;
  int rows = 0;
};

Figures Measure(HWND host, const std::wstring& path, const std::string& original, int runs) {
  Figures best;
  for (int run = 0; run < runs; ++run) {
    CTypedCells cells;
    CSystemRowSources sources;
    EditorOptions options;
    options.sectionTitles = 0;
    CIniDocument settings;
    BuiltRows built;
    const double start = Now();
    BuildRows(AsText(path.c_str()), u"", settings, cells, sources, options, 0, built);
    best.rowsOnly = std::min(best.rowsOnly, Now() - start);
  }
  for (int run = 0; run < runs; ++run) {
    CTypedListView list;
    gList = &list;
    list.Create(host, 0, 0, 780, 560, true, true, true);
    list.AddColumn(u" Option ");
    list.AddColumn(u" Value ");
    CSystemRowSources sources;
    EditorOptions options;
    options.sectionTitles = 0;  // 22 000 options fill the row table
    CIniDocument settings;
    BuiltRows built;
    const double start = Now();
    const bool loaded = list.LoadRows(AsText(path.c_str()), u"", settings, sources, options, built);
    const double afterLoad = Now();
    UpdateWindow(list.Window());
    Pump();
    const double afterPaint = Now();
    if (!loaded) {
      std::printf("cannot load %ls\n", path.c_str());
      std::exit(1);
    }
    const double saveStart = Now();
    const uint32_t saved = SaveRows(built, list.Cells(), settings, AsText(path.c_str()));
    const double saveEnd = Now();
    best.rows = list.ItemCount();
    best.build = std::min(best.build, afterLoad - start);
    best.shown = std::min(best.shown, afterPaint - start);
    best.save = std::min(best.save, saveEnd - saveStart);
    best.sameBytes = saved != 0 && ReadBytes(path) == original;
    gList = nullptr;
    DestroyWindow(list.Window());
    Pump();
  }
  return best;
}

void Report(const char* name, const Figures& f) {
  std::printf("%-26s rows %5d  cells only %4.0f ms  in the list %4.0f ms  shown %4.0f ms  "
              "save %3.0f ms  bytes %s\n", name, f.rows, f.rowsOnly * 1000, f.build * 1000,
              f.shown * 1000, f.save * 1000,
              f.sameBytes ? "kept" : "CHANGED");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 2 ? _wtoi(argv[2]) : 3;
  BenchFiles files;
  if (!files.Write(argc > 1 ? argv[1] : nullptr)) return 1;

  WNDCLASSW wc = {};
  wc.lpfnWndProc = HostProcedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"OptionListBench";
  RegisterClassW(&wc);
  HWND host = CreateWindowExW(0, wc.lpszClassName, L"Option list benchmark",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 800, 600, nullptr,
                              nullptr, wc.hInstance, nullptr);
  UpdateWindow(host);
  Pump();

  std::printf("%d options, best of %d runs (list control with %d items, drawing held back while "
              "inserting)\n", kBenchOptions, runs, kBenchOptions);
  Report("typed (type description)", Measure(host, files.typedPath, files.typedIni, runs));
  Report("detected (no description)", Measure(host, files.detectPath, files.detectIni, runs));

  // A SELECTEXEC row runs its program at load, one run per row.
  CSystemRowSources sources;
  const double start = Now();
  const std::string output = sources.ProgramOutput(u"cmd.exe", u"/c echo Office&echo Lobby");
  std::printf("one SELECTEXEC program run (cmd.exe): %.0f ms, %zu bytes\n", (Now() - start) * 1000,
              output.size());

  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
  std::printf("peak working set %.1f MB (files of %.1f and %.1f MB)\n",
              memory.PeakWorkingSetSize / 1048576.0, files.typedIni.size() / 1048576.0,
              files.detectIni.size() / 1048576.0);
  DestroyWindow(host);
  files.Remove();
  return 0;
}
