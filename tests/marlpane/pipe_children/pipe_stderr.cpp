// Writes one line to standard output, one to standard error, and another to
// standard output.
#include "pipe_child.h"

int main() {
  WriteText(STD_OUTPUT_HANDLE, "out one\r\n");
  WriteText(STD_ERROR_HANDLE, "err two\r\n");
  WriteText(STD_OUTPUT_HANDLE, "out three\r\n");
  return 0;
}
