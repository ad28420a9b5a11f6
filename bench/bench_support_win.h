// What the editor benchmarks share: a clock, file bytes, and the settings
// files they open: 22 000 options in sections of 50, once with a type
// description that gives them every row type in turn (SELECTEXEC aside: its
// program would run once per row) and once without, typed by detection.
// Every value stands in the form Save writes, so that an unchanged save
// keeps every byte.
#pragma once

#include <windows.h>

#include <string>

constexpr int kBenchOptions = 22000;
constexpr int kBenchOptionsPerSection = 50;
// The row types of the typed file come in this order, then again.
constexpr int kBenchMixLength = 30;

// The list row of a benchmark option, a section title standing before each
// section's options.
inline int RowOfOption(int option) { return option + option / kBenchOptionsPerSection + 1; }

// The typed settings file with its type description and the detection file,
// written into one folder.
struct BenchFiles {
  std::string typedIni, typesText, detectIni;
  std::wstring folder, typedPath, typesPath, detectPath;
  // Writes the files into folder (null or empty: the system's temporary
  // folder) as bench_typed.ini, bench_typed.ITP and bench_detect.ini. False,
  // with a line printed, when one cannot be written.
  bool Write(const wchar_t* folderName);
  void Remove() const;
};

bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);

// An invisible window of a new class with that procedure: the window a
// benchmark names on "/NOTIFY:".
HWND CreateHostWindow(const wchar_t* className, WNDPROC procedure);

// Seconds of the performance counter.
double Now();

// Polls condition, pumping this program's messages, until it holds: the
// moment it held, or a negative number after limit seconds.
template <class Condition>
double WaitFor(Condition condition, double limit = 60) {
  const double end = Now() + limit;
  while (Now() < end) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    if (condition()) return Now();
    Sleep(0);
  }
  return -1;
}

// The window has nothing left to paint.
inline bool Painted(HWND window) { return window && !GetUpdateRect(window, nullptr, FALSE); }

// The editor's option list (control 1002) once the editor window is shown
// and neither has anything left to paint; null until then.
inline HWND ShownOptionList(HWND editor) {
  HWND list = editor ? GetDlgItem(editor, 1002) : nullptr;
  return list && IsWindowVisible(editor) && Painted(editor) && Painted(list) ? list : nullptr;
}

// The row's label rectangle on the screen, read through the editor's memory.
bool RowOnScreen(HANDLE process, HWND list, int row, RECT* out);
// The text of a cell of the editor's list, read through its memory.
std::wstring CellText(HANDLE process, HWND list, int row, int column);
// A double click at a point of the screen, through SendInput.
void DoubleClick(int x, int y);

// Starts the editor on settings ("/INI:") with host as its notification
// window; false, with a line printed, when it cannot be started. The
// process's thread handle is closed.
bool StartEditor(const std::wstring& editor, const std::wstring& settings, HWND host,
                 PROCESS_INFORMATION& process);
