#include "marlpane/rows/row_sources_win.h"

#include <windows.h>

#include <memory>

#include "common/plain_file.h"
#include "common/text16.h"
#include "marlpane/rows/process_pipe.h"

namespace {
constexpr DWORD kDriveStringsCapacity = 5000;
constexpr size_t kProgramPathCapacity = 5000;
}  // namespace

std::u16string BuildDriveList(int driveType) {
  std::unique_ptr<wchar_t[]> roots(new wchar_t[kDriveStringsCapacity + 1]());
  const DWORD length = GetLogicalDriveStringsW(kDriveStringsCapacity, roots.get());
  std::u16string list;
  if (length == 0 || length > kDriveStringsCapacity) return list;
  for (const wchar_t* root = roots.get(); *root; root += wcslen(root) + 1) {
    const UINT type = GetDriveTypeW(root);
    if (driveType != kAllDrives && static_cast<UINT>(driveType) != type) continue;
    std::u16string name = AsText(root);
    if (!name.empty() && name.back() == u'\\') name.pop_back();
    list += name;
    switch (type) {
      case DRIVE_REMOVABLE: list += u" (Removable)"; break;
      case DRIVE_FIXED: {
        wchar_t label[MAX_PATH + 1] = {};
        if (GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr,
                                  0) &&
            label[0]) {
          list += u" [";
          list += AsText(label);
          list += u"]";
        }
        break;
      }
      case DRIVE_REMOTE: list += u" (Network)"; break;
      case DRIVE_CDROM: list += u" (CD)"; break;
      case DRIVE_RAMDISK: list += u" (RAM-Disk)"; break;
      default: break;
    }
    list += u";";
  }
  return list;
}

std::u16string CSystemRowSources::DriveList(int driveType) {
  // Asking the system costs milliseconds per drive; the drives do not change
  // while one file loads.
  const auto known = driveLists_.find(driveType);
  if (known != driveLists_.end()) return known->second;
  return driveLists_[driveType] = BuildDriveList(driveType);
}

std::string CSystemRowSources::ProgramOutput(const std::u16string& program,
                                             const std::u16string& arguments) {
  std::unique_ptr<char16_t[]> path(new char16_t[kProgramPathCapacity]());
  if (program.empty() || FindFile(program.c_str(), path.get(), kProgramPathCapacity) == 0) {
    return {};
  }
  CProcessPipe pipe;
  pipe.SetTimeLimit(timeLimitMs_);
  if (!pipe.Start(path.get(), arguments.c_str(), nullptr)) return {};
  std::string output(kProgramOutputLimit, '\0');
  const uint32_t count = pipe.ReadOutput(&output[0], static_cast<uint32_t>(output.size()));
  pipe.Stop();
  output.resize(count);
  return output;
}
