// Prints its command line in brackets and its current folder, each on a
// line of its own, as UTF-8.
#include "pipe_child.h"

int main() {
  WriteText(STD_OUTPUT_HANDLE, "[");
  WriteWide(STD_OUTPUT_HANDLE, GetCommandLineW());
  WriteText(STD_OUTPUT_HANDLE, "]\r\n");
  wchar_t folder[MAX_PATH * 2];
  if (GetCurrentDirectoryW(MAX_PATH * 2, folder)) WriteWide(STD_OUTPUT_HANDLE, folder);
  WriteText(STD_OUTPUT_HANDLE, "\r\n");
  return 0;
}
