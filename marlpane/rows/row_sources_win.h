// The system side of the row building: the drive list of the DRIVE row
// types and the program run of SELECTEXEC rows.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "marlpane/rows/row_builder.h"

// The drive list: each root without its trailing backslash, a note by drive
// type (" (Removable)", " [label]" for fixed drives with a volume label,
// " (Network)", " (CD)", " (RAM-Disk)"), then ";". Only drives of
// driveType, every drive for kAllDrives.
std::u16string BuildDriveList(int driveType);

// Sources for one load: each drive list is asked of the system once.
class CSystemRowSources : public CRowSources {
 public:
  // timeLimitMs: how long a SELECTEXEC program may run before it is stopped.
  explicit CSystemRowSources(uint32_t timeLimitMs = 10000) : timeLimitMs_(timeLimitMs) {}
  std::u16string DriveList(int driveType) override;
  // Resolves program with FindFile and runs it through the command runner.
  std::string ProgramOutput(const std::u16string& program,
                            const std::u16string& arguments) override;

 private:
  uint32_t timeLimitMs_;
  std::map<int, std::u16string> driveLists_;
};
