// Small rules of the update flow that need no window: the progress bar
// position, where a download is written and how it is started.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Position of the progress bar: received x 100 / expected in 64 bits, 0 while
// nothing is expected, never above 100 (a server may send more than it
// announced).
int ProgressPercent(uint32_t received, uint32_t expected);

// folder followed by name, with exactly one backslash between them (folder
// may or may not end in one). Empty when name is empty: a download never
// writes to a folder's own path.
std::u16string JoinPath(std::u16string_view folder, std::u16string_view name);

// Whether a download may be written under this name and started: it ends in
// ".exe", ".msi" or ".zip" (any letter case) and its part before the first
// dot is none of the device names of Windows (CON, PRN, AUX, NUL, COM1 to
// COM9, LPT1 to LPT9, any case), which name a device whatever follows them.
bool IsInstallerFileName(std::u16string_view name);

// The name of a download folder of its own: "tollwren-" and the random
// bytes in lower-case hexadecimal.
constexpr size_t kPrivateFolderRandomBytes = 16;
std::u16string PrivateFolderName(const uint8_t (&random)[kPrivateFolderRandomBytes]);
// Whether name is one PrivateFolderName gives.
bool IsPrivateFolderName(std::u16string_view name);

// How a downloaded installer is started, never through a file association
// (which the user's own registry may redirect): a program by its full path,
// a package (".msi") by the installer service's msiexec.exe of the system
// folder, an archive (".zip") by explorer.exe of the Windows folder, each
// with its full path in quotes. The PAD's arguments follow a program's or
// the package's own switches; an archive takes none.
struct CInstallerCommand {
  std::u16string application;  // empty for a name of another ending
  std::u16string commandLine;
  // msiexec and Explorer open the file after they started: it is held
  // until they end. A started program has its file mapped already.
  bool holdUntilEnd = false;
};
CInstallerCommand InstallerCommand(std::u16string_view path, std::u16string_view arguments,
                                   std::u16string_view systemFolder, std::u16string_view windowsFolder);
