// The program's arguments (without the program name) as UTF-16 texts: from
// the wide command line on Windows, from UTF-8 argv elsewhere.
#pragma once

#include <string>
#include <vector>

std::vector<std::u16string> CommandArguments(int argc, char** argv);
