// Prints N bytes (the first argument; 6000 without one) in one write, the
// byte at offset i being 'A' + i % 26, and then ends.
#include "pipe_child.h"

#include <cstdlib>

int main(int argc, char** argv) {
  long n = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 6000;
  if (n <= 0) return 0;
  char* bytes = new char[n];
  for (long i = 0; i < n; ++i) bytes[i] = static_cast<char>('A' + i % 26);
  WriteBytes(STD_OUTPUT_HANDLE, bytes, static_cast<DWORD>(n));
  delete[] bytes;
  return 0;
}
