#include "common/shell_win.h"

#include <shellapi.h>

#include "common/text16.h"
#include "common/web_address.h"

size_t OwnFolder(char16_t* out, size_t capacity) {
  if (!out || capacity == 0) return 0;
  out[0] = 0;
  wchar_t path[kOwnPathMaxLength + 1] = {};
  DWORD n = GetModuleFileNameW(nullptr, path, kOwnPathMaxLength);
  if (n == 0 || n >= kOwnPathMaxLength) return 0;
  const char16_t* start = AsText(path);
  while (*start == u'"') ++start;
  const char16_t* slash = nullptr;
  for (const char16_t* p = start; *p; ++p)
    if (*p == u'\\') slash = p;
  const size_t length = slash ? static_cast<size_t>(slash - start) + 1 : 0;
  if (length >= capacity) return 0;
  for (size_t i = 0; i < length; ++i) out[i] = start[i];
  out[length] = 0;
  return length;
}

bool FileExistsNoAccess(const char16_t* path) {
  if (!path || !*path) return false;
  HANDLE h = CreateFileW(AsWide(path), 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

bool OpenWebPage(const char16_t* address, HWND owner) {
  // Anything else handed to the shell could start a program. The address's
  // own handler is asked, never a program found by its bare name, which the
  // current folder could supply.
  if (!address || !IsWebAddress(address)) return false;
  // ShellExecuteW reports success with a value above 32.
  return reinterpret_cast<INT_PTR>(
             ShellExecuteW(owner, L"open", AsWide(address), nullptr, nullptr, SW_SHOWNORMAL)) > 32;
}

bool PostQuit(HWND window, WPARAM code) {
  if (window) PostMessageW(window, WM_QUIT, code, 0);
  return true;
}
