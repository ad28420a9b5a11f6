// Reads its standard input to the end, then prints how many bytes came.
#include "pipe_child.h"

#include <cstdio>

int main() {
  char buffer[512];
  unsigned long total = 0;
  DWORD got = 0;
  while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof(buffer), &got, nullptr) && got > 0)
    total += got;
  char line[64];
  std::snprintf(line, sizeof(line), "input ended after %lu bytes\r\n", total);
  WriteText(STD_OUTPUT_HANDLE, line);
  return 0;
}
