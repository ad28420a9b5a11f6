#include "tools/respack/command_line.h"

#include "common/text16.h"

std::vector<std::u16string> CommandArguments(int argc, char** argv) {
  std::vector<std::u16string> arguments;
  for (int i = 1; i < argc; ++i) {
    arguments.push_back(Utf8ToText(argv[i]));
  }
  return arguments;
}
