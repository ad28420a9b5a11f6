// The program's own folder, existence checks without access rights, the web
// page opener and posting the quit message.
#pragma once

#include <windows.h>

#include <cstddef>

// The folder of the program's executable file, with its trailing backslash.
// Returns the length, or 0 (out empty) when it cannot be found or does not
// fit capacity.
constexpr size_t kOwnPathMaxLength = 4094;
size_t OwnFolder(char16_t* out, size_t capacity);

// True when the path can be opened without any access right (so also files
// the caller may not read), shared for reading.
bool FileExistsNoAccess(const char16_t* path);

// Opens the address with the system's handler of web addresses (the user's
// browser for http and https). True when it started. Only web addresses
// (IsWebAddress) are opened.
bool OpenWebPage(const char16_t* address, HWND owner = nullptr);

// Posts WM_QUIT with code as wParam to window, when one is given. Always true.
bool PostQuit(HWND window, WPARAM code);
