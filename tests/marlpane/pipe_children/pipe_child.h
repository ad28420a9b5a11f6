// Small helpers shared by the child programs that the command runner tests
// start: exact bytes to the standard handles, no text-mode translation.
#pragma once

#include <windows.h>

#include <cstring>

inline void WriteBytes(DWORD which, const void* bytes, DWORD n) {
  HANDLE h = GetStdHandle(which);
  const char* p = static_cast<const char*>(bytes);
  while (n > 0) {
    DWORD written = 0;
    if (!WriteFile(h, p, n, &written, nullptr) || written == 0) return;
    p += written;
    n -= written;
  }
}

inline void WriteText(DWORD which, const char* text) {
  WriteBytes(which, text, static_cast<DWORD>(std::strlen(text)));
}

// Writes UTF-16 text as UTF-8.
inline void WriteWide(DWORD which, const wchar_t* text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return;
  char* utf8 = new char[n];
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, n, nullptr, nullptr);
  WriteBytes(which, utf8, static_cast<DWORD>(n - 1));
  delete[] utf8;
}
