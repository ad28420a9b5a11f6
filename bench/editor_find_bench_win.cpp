// Find by typing in marlpane.exe on 22 000 options, timed from outside the
// editor with real input:
//   editor_find_bench MARLPANE.EXE [FOLDER] [RUNS]
// The detection file of the start-up benchmark is written to FOLDER (default:
// the system's temporary folder) and opened with "/INI:". RUNS times
// (default 5): the first row is selected, Ctrl+F opens the find field, and
// the name of an option near the end of the list is typed one key at a time
// through SendInput; each key is timed until the field holds the text so far
// (the editor has then searched), the selection has moved to the found row
// and the list, the field and its count have painted. Prints the median and
// the slowest key.
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
constexpr int kFindField = 1021;
constexpr int kFindCount = 1022;
constexpr int kSoughtOption = 20987;    // near the end of the 22 000 rows the list holds

HWND gEditorWindow = nullptr;  // from code 300

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kNotifyMessage && wParam == kStartedCode) gEditorWindow = reinterpret_cast<HWND>(lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

// WM_GETTEXT itself: GetWindowText gives another program's edit box's
// title, not its text.
std::wstring TextOf(HWND window) {
  wchar_t text[256] = {};
  SendMessageW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
  return text;
}

void PressKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (auto key = keys.end(); key != keys.begin();) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *--key;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void TypeCharacter(wchar_t c) {
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
  inputs[0].ki.wScan = inputs[1].ki.wScan = c;
  inputs[0].ki.dwFlags = KEYEVENTF_UNICODE;
  inputs[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
  SendInput(2, inputs, sizeof(INPUT));
}

int Selected(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: editor_find_bench MARLPANE.EXE [FOLDER] [RUNS]\n");
    return 2;
  }
  const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 5;
  BenchFiles files;
  if (!files.Write(argc > 2 ? argv[2] : nullptr)) return 1;
  HWND host = CreateHostWindow(L"EditorFindBench", HostProcedure);
  PROCESS_INFORMATION process = {};
  if (!StartEditor(argv[1], files.detectPath, host, process)) return 1;
  HWND list = nullptr;
  if (WaitFor([&] { return (list = ShownOptionList(gEditorWindow)) != nullptr; }) < 0) {
    std::printf("the editor did not show its list\n");
    TerminateProcess(process.hProcess, 1);
    return 1;
  }
  SetForegroundWindow(gEditorWindow);
  SetFocus(list);
  const std::wstring sought = L"option_" + std::to_wstring(kSoughtOption);
  const int soughtRow = RowOfOption(kSoughtOption);
  std::vector<double> keys;
  bool failed = false;
  for (int run = 0; run < runs && !failed; ++run) {
    // From the first row, with an empty field.
    PressKeys({VK_HOME});
    if (WaitFor([&] { return Selected(list) == 0; }) < 0) failed = true;
    PressKeys({VK_CONTROL, 'F'});
    HWND field = nullptr, count = nullptr;
    if (WaitFor([&] {
          return (field = GetDlgItem(gEditorWindow, kFindField)) && IsWindowVisible(field);
        }) < 0) {
      failed = true;
      break;
    }
    count = GetDlgItem(gEditorWindow, kFindCount);
    PressKeys({VK_DELETE});
    WaitFor([&] { return TextOf(field).empty(); });
    for (size_t typed = 1; typed <= sought.size() && !failed; ++typed) {
      const std::wstring text = sought.substr(0, typed);
      const double pressed = Now();
      TypeCharacter(sought[typed - 1]);
      const double done = WaitFor([&] {
        return TextOf(field) == text && !TextOf(count).empty() && Selected(list) >= 0 &&
               Painted(list) && Painted(field) && Painted(count) && Painted(gEditorWindow);
      });
      if (done < 0) failed = true;
      else keys.push_back(done - pressed);
    }
    if (Selected(list) != soughtRow) {
      std::printf("the found row is %d, not %d (field \"%ls\", count \"%ls\")\n", Selected(list),
                  soughtRow, TextOf(field).c_str(), TextOf(count).c_str());
      failed = true;
    }
    PressKeys({VK_ESCAPE});
    WaitFor([&] { return !IsWindowVisible(field); });
  }
  if (failed || keys.empty()) {
    std::printf("FAILED\n");
  } else {
    std::sort(keys.begin(), keys.end());
    std::printf("%d rows, \"%ls\" typed %d times, %zu keys, times from the key going in\n",
                static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)), sought.c_str(), runs,
                keys.size());
    std::printf("find per key: median %.1f ms, worst %.1f ms (goal: median within 30 ms)\n",
                keys[keys.size() / 2] * 1000, keys.back() * 1000);
  }
  PostMessageW(gEditorWindow, WM_COMMAND, 1006, 0);  // Cancel: nothing changed, nothing asked
  if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hProcess);
  DestroyWindow(host);
  files.Remove();
  return failed ? 1 : 0;
}
