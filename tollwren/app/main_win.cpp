// tollwren.exe: the updater that ships beside a product's pad.xml.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "common/text16.h"
#include "tollwren/app/updater_dialog_win.h"

namespace {

constexpr DWORD kOwnPathLimit = 5000;
// How long the end of the program waits for a worker that is still running
// before the process ends it.
constexpr DWORD kWorkerGraceMs = 1000;

CUpdaterDialog gDialog;

std::u16string OwnPath() {
  std::vector<wchar_t> path(kOwnPathLimit + 1);
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), kOwnPathLimit);
  if (length == 0 || length >= kOwnPathLimit) return std::u16string();
  return std::u16string(AsText(path.data()), length);
}

// pad.xml in the program's folder (leading quotes skipped, cut after the
// last backslash, which stays).
std::u16string PadPathBeside(const std::u16string& program) {
  size_t start = 0;
  while (start < program.size() && program[start] == u'"') ++start;
  const size_t slash = program.rfind(u'\\');
  const std::u16string folder = slash == std::u16string::npos || slash < start
                                    ? std::u16string()
                                    : program.substr(start, slash + 1 - start);
  return folder + u"pad.xml";
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const std::u16string program = OwnPath();
  InitCommonControls();
  HWND dialog = gDialog.Create(instance, program, PadPathBeside(program));
  if (!dialog) return -1;

  MSG message = {};
  BOOL got;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
    if (got == -1) continue;
    if (!IsDialogMessageW(dialog, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  const int code = static_cast<int>(message.wParam);
  DestroyWindow(dialog);
  // A worker still in a transfer or a wait ends with the process, before
  // the objects it uses are destroyed.
  if (!gDialog.Flow().WaitForWorker(kWorkerGraceMs)) ExitProcess(static_cast<UINT>(code));
  return code;
}
