// respack: brands a copy of a program with its appended archive, and lists
// or extracts the entries of a branded copy; builds and prints the updater's
// settings record.
#include "tools/respack/command_line.h"
#include "tools/respack/respack_commands.h"

int main(int argc, char** argv) {
  return RunRespack(CommandArguments(argc, argv));
}
