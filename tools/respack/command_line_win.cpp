#include "tools/respack/command_line.h"

#include <windows.h>
#include <shellapi.h>

#include "common/text16.h"

std::vector<std::u16string> CommandArguments(int, char**) {
  std::vector<std::u16string> arguments;
  int count = 0;
  wchar_t** list = CommandLineToArgvW(GetCommandLineW(), &count);
  if (list == nullptr) {
    return arguments;
  }
  for (int i = 1; i < count; ++i) {
    arguments.push_back(AsText(list[i]));
  }
  LocalFree(list);
  return arguments;
}
