// iniedit: reads and changes the key lines of an INI or .properties file
// through the editor's own document code, so that a change touches only
// what it names, and shows and checks the rows the editor builds from a
// settings file and its type description. Arguments and output are UTF-8.
#include <cstdio>
#include <string>
#include <vector>

#include "common/text16.h"
#include "tools/iniedit/key_commands.h"
#include "tools/iniedit/row_commands.h"
#include "tools/iniedit/tool_support.h"
#include "product_version.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#endif

namespace {

const char kSummary[] =
    "usage: iniedit COMMAND ARGUMENTS\n"
    "\n"
    "  list FILE                     every key line: entry, section, key, value\n"
    "  get FILE SECTION KEY          the value of KEY in SECTION (\"\" = before the first section)\n"
    "  set FILE SECTION KEY VALUE    replaces that value and saves the file\n"
    "  add FILE SECTION KEY VALUE    adds KEY=VALUE after the last key line of SECTION\n"
    "                                (and [SECTION] at the end of the file when it has none)\n"
    "  del FILE SECTION KEY          removes the key line\n"
    "  rows SETTINGS [TYPES] [--no-detect] [--options OPTIONS.INI]\n"
    "                                the editor's rows: row, entry, row type, cell kind,\n"
    "                                label, value as shown, tip\n"
    "  check SETTINGS [TYPES] [--no-detect] [--options OPTIONS.INI]\n"
    "                                what the editor would quietly hide, one FILE:LINE: line\n"
    "                                each; exit status 1 when there is anything\n"
    "  --help                        this summary\n"
    "  --version                     the version\n"
    "\n"
    "Output is tab-separated UTF-8. set, add and del change no other byte of the file and\n"
    "keep its encoding and line ends; a .properties file keeps its \\uXXXX escapes. TYPES is\n"
    "by default SETTINGS with the extension .ITP. Exit status: 0 done, 1 failed (the file\n"
    "is left as it was), 2 wrong arguments.\n";

int Usage() {
  std::fputs(kSummary, stderr);
  return kWrongArguments;
}

int RowCommand(bool check, const std::vector<Text>& args) {
  RowCommandArguments arguments;
  std::vector<Text> files;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == u"--no-detect") {
      arguments.noDetect = true;
    } else if (args[i] == u"--options" && i + 1 < args.size()) {
      arguments.optionsFile = args[++i];
    } else if (args[i].size() > 1 && args[i].compare(0, 2, u"--") == 0) {
      return Usage();
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.empty() || files.size() > 2) return Usage();
  arguments.settings = files[0];
  if (files.size() == 2) arguments.types = files[1];
  return check ? CheckRowsCommand(arguments) : ListRows(arguments);
}

int Run(const std::vector<Text>& args) {
  if (args.size() == 1 && (args[0] == u"--help" || args[0] == u"-h" || args[0] == u"help")) {
    std::fputs(kSummary, stdout);
    return kDone;
  }
  if (args.size() == 1 && args[0] == u"--version") {
    std::puts("iniedit " PRODUCT_VERSION_TEXT);
    return kDone;
  }
  if (args.size() < 2) return Usage();
  const Text& command = args[0];
  const size_t count = args.size() - 1;
  if (command == u"list" && count == 1) return ListKeys(args[1]);
  if (command == u"get" && count == 3) return GetKey(args[1], args[2], args[3]);
  if (command == u"set" && count == 4) return SetKey(args[1], args[2], args[3], args[4]);
  if (command == u"add" && count == 4) return AddKey(args[1], args[2], args[3], args[4]);
  if (command == u"del" && count == 3) return DeleteKey(args[1], args[2], args[3]);
  if (command == u"rows" || command == u"check") return RowCommand(command == u"check", args);
  return Usage();
}

}  // namespace

#ifdef _WIN32
int main() {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return Usage();
  std::vector<Text> args;
  for (int i = 1; i < count; ++i) args.emplace_back(AsText(wide[i]));
  LocalFree(wide);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  return Run(args);
}
#else
int main(int argc, char** argv) {
  std::vector<Text> args;
  for (int i = 1; i < argc; ++i) args.push_back(Utf8ToText(argv[i]));
  return Run(args);
}
#endif
