// notifyhost: starts a tool with "/NOTIFY:" and the handle of its own window,
// and prints every notification the tool posts to that window, with the
// time since the start. It is also the example of the protocol for a
// program that ships one of the tools:
//
//   1. Create a window (here a hidden top-level window) and pass its handle,
//      in decimal, as "/NOTIFY:<handle>" on the tool's command line.
//   2. The tool posts (never sends) WM_APP+7 (the settings editor) or
//      WM_APP+6 (the updater) to it, the event code in wParam. Code 300
//      carries the tool's main window in lParam; the other codes carry 0.
//   3. The last code is 390, just before the tool's window closes.
//
// Usage: notifyhost [--no-switch] PROGRAM [ARGUMENTS...]
// An argument that holds "{NOTIFY}" gets the handle in its place; without
// one, "/NOTIFY:<handle>" is appended. --no-switch passes no handle at all
// (the tool is then only started and waited for). Output lines, UTF-8:
//
//   0.000 started pid 32 window 65630
//   0.412 editor 300 lparam 131170
//   3.080 editor 317 lparam 0
//   3.081 editor 390 lparam 0
//   3.200 exit 0
//
// The exit status is the tool's own.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

constexpr UINT kUpdaterMessage = WM_APP + 6;
constexpr UINT kEditorMessage = WM_APP + 7;

LARGE_INTEGER gStart;
LARGE_INTEGER gFrequency;

double Seconds() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart - gStart.QuadPart) / static_cast<double>(gFrequency.QuadPart);
}

void PrintLine(const char* format, unsigned long long a, unsigned long long b = 0) {
  std::printf("%.3f ", Seconds());
  std::printf(format, a, b);
  std::printf("\n");
  std::fflush(stdout);
}

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kEditorMessage || message == kUpdaterMessage) {
    PrintLine(message == kEditorMessage ? "editor %llu lparam %llu" : "updater %llu lparam %llu",
              static_cast<unsigned long long>(wParam), static_cast<unsigned long long>(lParam));
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// One argument as the system's argument splitter reads it back.
std::wstring Quote(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

int Usage() {
  std::fprintf(stderr, "usage: notifyhost [--no-switch] PROGRAM [ARGUMENTS...]\n");
  return 2;
}

}  // namespace

int main() {
  QueryPerformanceFrequency(&gFrequency);
  QueryPerformanceCounter(&gStart);
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments) return Usage();
  int first = 1;
  bool passHandle = true;
  if (first < count && std::wstring(arguments[first]) == L"--no-switch") {
    passHandle = false;
    ++first;
  }
  if (first >= count) return Usage();

  WNDCLASSW record = {};
  record.lpfnWndProc = HostProcedure;
  record.hInstance = GetModuleHandleW(nullptr);
  record.lpszClassName = L"NotifyHostWindow";
  RegisterClassW(&record);
  HWND window = CreateWindowExW(0, record.lpszClassName, L"notifyhost", WS_OVERLAPPED, 0, 0, 0, 0,
                                nullptr, nullptr, record.hInstance, nullptr);
  if (!window) {
    std::fprintf(stderr, "notifyhost: cannot create the host window\n");
    return 1;
  }
  const std::wstring handle = std::to_wstring(reinterpret_cast<uintptr_t>(window));

  std::wstring commandLine;
  bool placed = false;
  for (int i = first; i < count; ++i) {
    std::wstring argument = arguments[i];
    const size_t at = argument.find(L"{NOTIFY}");
    if (at != std::wstring::npos && passHandle) {
      argument.replace(at, 8, handle);
      placed = true;
    }
    if (!commandLine.empty()) commandLine += L' ';
    commandLine += Quote(argument);
  }
  if (passHandle && !placed) commandLine += L" /NOTIFY:" + handle;

  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "notifyhost: cannot start the program (error %lu)\n", GetLastError());
    return 1;
  }
  CloseHandle(process.hThread);
  PrintLine("started pid %llu window %llu", process.dwProcessId,
            static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));

  MSG message;
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, INFINITE, QS_ALLINPUT);
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    if (woke == WAIT_OBJECT_0) break;
  }
  // Whatever the tool posted just before it ended is still in the queue.
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hProcess);
  PrintLine("exit %llu", exitCode);
  DestroyWindow(window);
  return static_cast<int>(exitCode);
}
