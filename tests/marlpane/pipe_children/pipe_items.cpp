// Prints a few choice items, lines ended by CR LF, one line holding two
// items separated by ';'.
#include "pipe_child.h"

int main() {
  WriteText(STD_OUTPUT_HANDLE, "alpha;beta\r\ngamma\r\ndelta\r\n");
  return 0;
}
