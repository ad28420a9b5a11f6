// Checking a settings file and its type description for what the editor
// would quietly make of them: descriptors it cannot read, options without a
// descriptor and descriptors without an option, values a row cannot show,
// texts it cuts, rows it leaves out, and values an unchanged Save would
// rewrite. The rows are built with the editor's own row building.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "marlpane/app/editor_options.h"

class CIniDocument;
class CRowSources;

struct RowProblem {
  bool inTypes = false;  // in the type description, else in the settings file
  size_t line = 0;       // 1-based
  std::u16string text;
};

// True for the row types whose value cell the system fills (drives,
// windows, a program's output).
bool RowFilledBySystem(int32_t rowTypeCode);

// Builds the rows of settingsPath into settings (see BuildRows) and loads
// the type description into types, then lists every problem, settings file
// first, each file by line. systemSources says whether sources give the
// system's drives and program output, so that rows filled from them can be
// checked. False when the settings file cannot be loaded.
bool CheckRows(const char16_t* settingsPath, const char16_t* typesPath, CIniDocument& settings,
               CIniDocument& types, CRowSources& sources, const EditorOptions& options,
               bool systemSources, std::vector<RowProblem>& problems);
