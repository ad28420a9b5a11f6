// Prints one line and then never ends.
#include "pipe_child.h"

int main() {
  WriteText(STD_OUTPUT_HANDLE, "started\r\n");
  for (;;) Sleep(1000);
}
