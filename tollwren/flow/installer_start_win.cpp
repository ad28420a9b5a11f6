// The start of the downloaded and verified installer. Windows only.
#include "tollwren/flow/update_flow.h"

#include <shellapi.h>

#include "common/text16.h"
#include "tollwren/flow/download_file_win.h"
#include "tollwren/pad/pad_document.h"

void CUpdateFlow::StartInstaller() {
  // The installer is held open without write or delete sharing from the
  // check until it has been started.
  const std::u16string path = installer_ ? installer_->Path() : std::u16string();
  // An unattended run gives the installer the switches that keep it quiet.
  const std::u16string& arguments = silentMode && !pad_.installerSilentArguments.empty()
                                        ? pad_.installerSilentArguments
                                        : pad_.installerArguments;
  const HINSTANCE started =
      path.empty() ? nullptr
                   : ShellExecuteW(nullptr, nullptr, AsWide(path.c_str()),
                                   arguments.empty() ? nullptr : AsWide(arguments.c_str()), nullptr, SW_SHOW);
  if (installer_) installer_->Release();
  installer_.reset();
  if (reinterpret_cast<INT_PTR>(started) <= 32) {
    ShowStatus(u"error_installer");
    Notify(kCodeFailed);
    outcome_ = kOutcomeFailed;
    return;
  }
  Notify(kCodeInstallerStarted);
  ShowStatus(u"download_success");
  pad_.SaveLocalFile(padFilePath.c_str());
  closing = true;
}
