// The folder of its own that a download goes to when it cannot go beside
// the updater: under TEMP, which under a scheduled run as SYSTEM is a
// folder where ordinary users may create files, so the folder is made so
// that nobody else can plant anything in it (a library next to an installer
// that runs as SYSTEM) and nobody can guess its name. Windows only.
#pragma once

#include <windows.h>

#include <string>

// The folder named by the TEMP environment variable; empty when unset.
std::u16string TempFolder();

class CPrivateFolder {
 public:
  CPrivateFolder() = default;
  // Keeps the folder: the installer started from it may still run.
  virtual ~CPrivateFolder();
  CPrivateFolder(const CPrivateFolder&) = delete;
  CPrivateFolder& operator=(const CPrivateFolder&) = delete;

  // Creates a folder under parent named "tollwren-" and 32 hexadecimal
  // digits from the system's random generator, whose access list admits
  // only the current user, SYSTEM and Administrators and inherits nothing
  // from parent; the current user owns it. Never takes a folder that exists
  // already. Held open without delete sharing until Remove or the end.
  bool Create(const std::u16string& parent);
  const std::u16string& Path() const { return path_; }
  // Removes the folder, when it is empty (a download that came to nothing).
  void Remove();

 private:
  std::u16string path_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Removes the folders of earlier runs under parent, with what is in them
// (the installer they started), except those still in use: a folder stays
// while its installer runs and goes at a later start. Only folders of our
// name that the current user owns and that are no links are touched.
void RemoveFoldersLeftBehind(const std::u16string& parent);
