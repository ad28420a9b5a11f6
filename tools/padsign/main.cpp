// padsign: the publisher's signing tool for updater releases (keys, signed
// PAD files, checks). Arguments are UTF-8 (on Windows converted from the
// wide command line).
#include <string>
#include <vector>

#include "tools/padsign/padsign_commands.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include "common/text16.h"

int main() {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; wide && i < count; ++i) arguments.push_back(TextToUtf8(AsText(wide[i])));
  if (wide) LocalFree(wide);
  return RunPadsign(arguments);
}
#else
int main(int argc, char** argv) {
  return RunPadsign(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
