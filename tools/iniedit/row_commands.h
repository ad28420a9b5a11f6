// The commands on the editor's rows: rows lists what the option list would
// show, check reports what the editor would quietly hide.
#pragma once

#include "tools/iniedit/tool_support.h"

struct RowCommandArguments {
  Text settings;
  Text types;        // empty: beside the settings file, extension ".ITP"
  Text optionsFile;  // an options.ini to use instead of the built-in options
  bool noDetect = false;
};

int ListRows(const RowCommandArguments& arguments);
int CheckRowsCommand(const RowCommandArguments& arguments);
