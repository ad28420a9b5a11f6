// The start of the downloaded and verified installer. Windows only.
#include "tollwren/flow/update_flow.h"

#include <shellapi.h>

#include <vector>

#include "common/text16.h"
#include "tollwren/flow/download_file_win.h"
#include "tollwren/flow/flow_rules.h"
#include "tollwren/pad/pad_document.h"

namespace {

// The longest the updater holds a package or archive for msiexec or
// Explorer before it ends.
constexpr DWORD kInstallerHoldMs = 15 * 60 * 1000;
// ERROR_ELEVATION_REQUIRED, which not every SDK names.
constexpr DWORD kElevationRequired = 740;

std::u16string SystemFolder(UINT (WINAPI* folder)(LPWSTR, UINT)) {
  wchar_t path[MAX_PATH + 1] = {};
  const UINT length = folder(path, MAX_PATH);
  return length == 0 || length > MAX_PATH ? std::u16string() : std::u16string(AsText(path), length);
}

// Starts the command; the process handle, or null.
HANDLE StartProcess(const CInstallerCommand& command, const std::u16string& path, const std::u16string& arguments) {
  if (command.application.empty()) return nullptr;
  const std::u16string folder = path.substr(0, path.rfind(u'\\') + 1);
  std::vector<wchar_t> line(command.commandLine.begin(), command.commandLine.end());
  line.push_back(0);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (CreateProcessW(AsWide(command.application.c_str()), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     folder.empty() ? nullptr : AsWide(folder.c_str()), &startup, &process)) {
    CloseHandle(process.hThread);
    return process.hProcess;
  }
  // A program that asks for an administrator, started by an updater that
  // is none: the system's elevation prompt, on the same full path. An
  // updater that is one already starts it above without the shell.
  if (GetLastError() != kElevationRequired || command.holdUntilEnd) return nullptr;
  SHELLEXECUTEINFOW shell = {};
  shell.cbSize = sizeof shell;
  shell.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
  shell.lpVerb = L"runas";
  shell.lpFile = AsWide(path.c_str());
  shell.lpParameters = arguments.empty() ? nullptr : AsWide(arguments.c_str());
  shell.lpDirectory = folder.empty() ? nullptr : AsWide(folder.c_str());
  shell.nShow = SW_SHOW;
  return ShellExecuteExW(&shell) ? shell.hProcess : nullptr;
}

}  // namespace

void CUpdateFlow::StartInstaller() {
  // Held open without write or delete sharing since the check.
  const std::shared_ptr<CDownloadFile> installer = std::move(installer_);
  const std::u16string path = installer ? installer->Path() : std::u16string();
  // What was checked is what starts: hashed again right before the start.
  if (installer && expectDigest_ && !installer->HasDigest(expectedDigest_)) {
    installer->Release();
    DeleteFileW(AsWide(path.c_str()));
    Refuse();
    return;
  }
  // An unattended run gives the installer the switches that keep it quiet.
  const std::u16string& arguments = silentMode && !pad_.installerSilentArguments.empty()
                                        ? pad_.installerSilentArguments
                                        : pad_.installerArguments;
  const CInstallerCommand command =
      InstallerCommand(path, arguments, SystemFolder(GetSystemDirectoryW), SystemFolder(GetSystemWindowsDirectoryW));
  const HANDLE process = path.empty() ? nullptr : StartProcess(command, path, arguments);
  if (!process || !command.holdUntilEnd) {
    if (installer) installer->Release();
  }
  if (!process) {
    ShowStatus(u"error_installer");
    Notify(kCodeFailed);
    outcome_ = kOutcomeFailed;
    return;
  }
  Notify(kCodeInstallerStarted);
  ShowStatus(u"download_success");
  pad_.SaveLocalFile(padFilePath.c_str());
  if (command.holdUntilEnd) {
    // Nothing more to say: the window goes, the file stays held.
    if (dialog) ShowWindow(dialog, SW_HIDE);
    WaitForSingleObject(process, kInstallerHoldMs);
    installer->Release();
  }
  CloseHandle(process);
  closing = true;
}
