// Measures the running updater from outside its process:
//   updater_bench start PROGRAM [RUNS]
//     the time from CreateProcess to the program's first window shown and
//     painted (its pixels on the screen are no longer the empty screen's),
//     best and median of RUNS; the program is ended after each run.
//   updater_bench download TOLLWREN
//     starts the updater with "/NOTIFY:" pointing here, answers its question
//     with the first choice, and prints the time from code 315 to 317, the
//     bytes the status line reported at the end and the longest time in which
//     the status text or the progress bar did not move.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr UINT kNotifyMessage = WM_APP + 6;
constexpr int kStatusLineId = 1008;
constexpr int kProgressBarId = 1016;
constexpr int kFirstChoiceId = 1013;

LARGE_INTEGER gFrequency;

double Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(gFrequency.QuadPart);
}

struct Search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindShown(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == search->pid && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

bool Start(const std::wstring& commandLine, PROCESS_INFORMATION* process) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(0);
  return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, process) != 0;
}

// Seconds until the program's window is on the screen with its own pixels;
// negative on time-out.
double TimeToPainted(const std::wstring& program) {
  HDC screen = GetDC(nullptr);
  PROCESS_INFORMATION process = {};
  const double start = Now();
  if (!Start(L"\"" + program + L"\"", &process)) return -1;
  double painted = -1;
  Search search = {process.dwProcessId, nullptr};
  while (Now() - start < 30) {
    if (!search.found) EnumWindows(FindShown, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      RECT r;
      GetWindowRect(search.found, &r);
      // The empty screen under Xvfb is black; both windows paint other colours there.
      if (GetPixel(screen, r.left + 10, r.top + 10) != RGB(0, 0, 0)) {
        painted = Now() - start;
        break;
      }
    }
    Sleep(1);
  }
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  ReleaseDC(nullptr, screen);
  return painted;
}

int StartBench(const std::wstring& program, int runs) {
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    const double t = TimeToPainted(program);
    if (t < 0) {
      std::printf("run %d: no painted window within 30 s\n", run + 1);
      return 1;
    }
    times.push_back(t);
    // The screen must be empty again before the next run.
    Sleep(300);
  }
  std::sort(times.begin(), times.end());
  std::printf("painted: best %.0f ms, median %.0f ms over %d runs\n", times.front() * 1000,
              times[times.size() / 2] * 1000, runs);
  return 0;
}

struct Download {
  HWND dialog = nullptr;
  double downloading = 0;
  double downloaded = 0;
  bool ended = false;
};
Download gDownload;

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kNotifyMessage) {
    switch (wParam) {
      case 300: gDownload.dialog = reinterpret_cast<HWND>(lParam); break;
      case 312:
      case 313: PostMessageW(gDownload.dialog, WM_COMMAND, kFirstChoiceId, 0); break;
      case 315: gDownload.downloading = Now(); break;
      case 317: gDownload.downloaded = Now(); break;
      case 370:
      case 380:
      case 390: gDownload.ended = true; break;
      default: break;
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

std::wstring Text(HWND window) {
  wchar_t text[1000] = {};
  GetWindowTextW(window, text, 1000);
  return text;
}

int DownloadBench(const std::wstring& program) {
  WNDCLASSW hostClass = {};
  hostClass.lpfnWndProc = HostProcedure;
  hostClass.hInstance = GetModuleHandleW(nullptr);
  hostClass.lpszClassName = L"UpdaterBenchHost";
  RegisterClassW(&hostClass);
  HWND host = CreateWindowW(L"UpdaterBenchHost", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  PROCESS_INFORMATION process = {};
  wchar_t notify[40];
  std::swprintf(notify, 40, L" /NOTIFY:%llu", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(host)));
  if (!Start(L"\"" + program + L"\"" + notify, &process)) return 1;

  std::wstring lastText;
  LRESULT lastPosition = -1;
  double lastMove = 0;
  double longestStill = 0;
  int moves = 0;
  const double deadline = Now() + 600;
  while (!gDownload.ended && Now() < deadline) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    if (gDownload.downloading > 0 && gDownload.downloaded == 0) {
      HWND status = GetDlgItem(gDownload.dialog, kStatusLineId);
      const std::wstring text = Text(status);
      const LRESULT position = SendDlgItemMessageW(gDownload.dialog, kProgressBarId, PBM_GETPOS, 0, 0);
      const double now = Now();
      if (lastMove == 0) lastMove = gDownload.downloading;
      if (text != lastText || position != lastPosition) {
        // Both must move: count a step when the text changed and the bar
        // did not go back.
        if (text != lastText && lastText.size()) ++moves;
        longestStill = std::max(longestStill, now - lastMove);
        lastMove = now;
        lastText = text;
        lastPosition = position;
      }
    }
    Sleep(20);
  }
  if (gDownload.downloaded > 0) longestStill = std::max(longestStill, gDownload.downloaded - lastMove);
  WaitForSingleObject(process.hProcess, 30000);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  if (gDownload.downloaded <= 0) {
    std::printf("the download did not finish\n");
    return 1;
  }
  const double seconds = gDownload.downloaded - gDownload.downloading;
  std::printf("download: %.3f s from code 315 to 317\n", seconds);
  std::printf("status: %d changes, last \"%ls\"\n", moves, lastText.c_str());
  std::printf("longest time without a move of the status or the bar: %.0f ms (last bar position %d)\n",
              longestStill * 1000, static_cast<int>(lastPosition));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  QueryPerformanceFrequency(&gFrequency);
  if (argc >= 3 && std::wstring(argv[1]) == L"start") return StartBench(argv[2], argc > 3 ? _wtoi(argv[3]) : 5);
  if (argc >= 3 && std::wstring(argv[1]) == L"download") return DownloadBench(argv[2]);
  std::fprintf(stderr, "usage: updater_bench start PROGRAM [RUNS] | download TOLLWREN\n");
  return 2;
}
