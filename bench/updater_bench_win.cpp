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
//   updater_bench check RUNS TOLLWREN...
//     starts each updater in turn, RUNS times, and prints for each the time
//     from CreateProcess to code 312 (a newer version found) and from code
//     311 (checking the web) to 312, best and median; each copy is ended at
//     312 without an answer.
//   updater_bench hash SIZE [RUNS]
//     hashes SIZE bytes with the platform's SHA-256 (CNG, as the updater
//     does while a download arrives, in pieces of 64 KB) and prints the best
//     time: the share of a download that goes to its digest.
#include <windows.h>
#include <bcrypt.h>
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

// What the host window has heard from the updater it started.
struct Download {
  bool answer = true;  // answer the question with the first choice
  HWND dialog = nullptr;
  double checking = 0;
  double asked = 0;
  double downloading = 0;
  double downloaded = 0;
  bool ended = false;
};
Download gDownload;

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kNotifyMessage) {
    switch (wParam) {
      case 300: gDownload.dialog = reinterpret_cast<HWND>(lParam); break;
      case 311: gDownload.checking = Now(); break;
      case 312:
      case 313:
        gDownload.asked = Now();
        if (gDownload.answer) PostMessageW(gDownload.dialog, WM_COMMAND, kFirstChoiceId, 0);
        break;
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

HWND CreateHostWindow() {
  WNDCLASSW hostClass = {};
  hostClass.lpfnWndProc = HostProcedure;
  hostClass.hInstance = GetModuleHandleW(nullptr);
  hostClass.lpszClassName = L"UpdaterBenchHost";
  RegisterClassW(&hostClass);
  return CreateWindowW(L"UpdaterBenchHost", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

bool StartNotifying(const std::wstring& program, HWND host, PROCESS_INFORMATION* process) {
  wchar_t notify[40];
  std::swprintf(notify, 40, L" /NOTIFY:%llu", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(host)));
  return Start(L"\"" + program + L"\"" + notify, process);
}

void End(PROCESS_INFORMATION& process) {
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
}

std::wstring Text(HWND window) {
  wchar_t text[1000] = {};
  GetWindowTextW(window, text, 1000);
  return text;
}

int DownloadBench(const std::wstring& program) {
  HWND host = CreateHostWindow();
  PROCESS_INFORMATION process = {};
  if (!StartNotifying(program, host, &process)) return 1;

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
  // The downloaded bytes are no program: starting them fails, and the
  // updater would show that for 7 s before it ends.
  End(process);
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

struct CheckTimes {
  std::vector<double> toAsked;        // CreateProcess to 312
  std::vector<double> checkToAsked;   // 311 to 312
};

void PrintBestAndMedian(const char* what, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  std::printf("%s best %.1f ms, median %.1f ms", what, times.front() * 1000, times[times.size() / 2] * 1000);
}

int CheckBench(int runs, const std::vector<std::wstring>& programs) {
  HWND host = CreateHostWindow();
  std::vector<CheckTimes> times(programs.size());
  for (int run = 0; run < runs; ++run) {
    for (size_t i = 0; i < programs.size(); ++i) {
      gDownload = Download();
      gDownload.answer = false;
      PROCESS_INFORMATION process = {};
      const double start = Now();
      if (!StartNotifying(programs[i], host, &process)) return 1;
      const double deadline = start + 60;
      while (gDownload.asked == 0 && !gDownload.ended && Now() < deadline) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        if (gDownload.asked == 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
      }
      End(process);
      if (gDownload.asked == 0 || gDownload.checking == 0) {
        std::printf("%ls, run %d: no question within 60 s\n", programs[i].c_str(), run + 1);
        return 1;
      }
      times[i].toAsked.push_back(gDownload.asked - start);
      times[i].checkToAsked.push_back(gDownload.asked - gDownload.checking);
    }
  }
  for (size_t i = 0; i < programs.size(); ++i) {
    std::printf("%ls: ", programs[i].c_str());
    PrintBestAndMedian("start to 312", times[i].toAsked);
    PrintBestAndMedian("; 311 to 312", times[i].checkToAsked);
    std::printf(" (%d runs)\n", runs);
  }
  return 0;
}

int HashBench(double size, int runs) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) < 0) return 1;
  std::vector<UCHAR> piece(64 * 1024);
  for (size_t i = 0; i < piece.size(); ++i) piece[i] = static_cast<UCHAR>(i % 251);
  double best = 0;
  for (int run = 0; run < runs; ++run) {
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) < 0) return 1;
    UCHAR digest[32];
    const double start = Now();
    for (double done = 0; done < size; done += piece.size()) {
      const ULONG take = static_cast<ULONG>(std::min<double>(piece.size(), size - done));
      BCryptHashData(hash, piece.data(), take, 0);
    }
    BCryptFinishHash(hash, digest, sizeof digest, 0);
    const double seconds = Now() - start;
    BCryptDestroyHash(hash);
    if (run == 0 || seconds < best) best = seconds;
  }
  BCryptCloseAlgorithmProvider(algorithm, 0);
  std::printf("sha256: best %.3f s, %.0f MB/s over %d runs\n", best, size / best / 1e6, runs);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  QueryPerformanceFrequency(&gFrequency);
  if (argc >= 3 && std::wstring(argv[1]) == L"start") return StartBench(argv[2], argc > 3 ? _wtoi(argv[3]) : 5);
  if (argc >= 3 && std::wstring(argv[1]) == L"download") return DownloadBench(argv[2]);
  if (argc >= 4 && std::wstring(argv[1]) == L"check" && _wtoi(argv[2]) > 0)
    return CheckBench(_wtoi(argv[2]), std::vector<std::wstring>(argv + 3, argv + argc));
  if (argc >= 3 && std::wstring(argv[1]) == L"hash") return HashBench(_wtof(argv[2]), argc > 3 ? _wtoi(argv[3]) : 3);
  std::fprintf(stderr,
               "usage: updater_bench start PROGRAM [RUNS] | download TOLLWREN | check RUNS TOLLWREN... | hash SIZE [RUNS]\n");
  return 2;
}
