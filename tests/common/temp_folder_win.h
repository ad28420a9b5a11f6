// A fresh folder under the system's temporary folder for Windows tests: its
// name is the prefix, the process id and a counter joined by the separator.
// Removed with its files when the object goes away.
#pragma once

#include <windows.h>

#include <string>

namespace wintest {

class TempFolder {
 public:
  explicit TempFolder(const std::wstring& prefix, wchar_t separator = L'_') {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    path_ = std::wstring(base) + prefix + separator + std::to_wstring(GetCurrentProcessId()) +
            separator + std::to_wstring(counter_++);
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempFolder() {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path_ + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do DeleteFileW((path_ + L"\\" + data.cFileName).c_str());
      while (FindNextFileW(find, &data));
      FindClose(find);
    }
    RemoveDirectoryW(path_.c_str());
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& Path() const { return path_; }
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }
  // An empty file in the folder.
  void Write(const std::wstring& name) const {
    HANDLE file =
        CreateFileW(File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }

 private:
  static inline int counter_ = 0;
  std::wstring path_;
};

}  // namespace wintest
