#include "tools/iniedit/row_commands.h"

#include <memory>
#include <new>
#include <vector>

#include "common/plain_file.h"
#include "common/text16.h"
#include "marlpane/app/editor_options.h"
#include "marlpane/document/ini_document.h"
#include "marlpane/rows/row_builder.h"
#include "marlpane/rows/row_check.h"
#include "marlpane/rows/typed_cells.h"

#ifdef _WIN32
#include "marlpane/rows/row_sources_win.h"
#endif

namespace {

// iniedit.exe fills drive, window and program rows from the system, as the
// editor does; elsewhere they stay empty and are marked.
#ifdef _WIN32
using Sources = CSystemRowSources;
constexpr bool kSystemSources = true;
#else
using Sources = CRowSources;
constexpr bool kSystemSources = false;
#endif
constexpr char kFilledOnWindows[] = "(filled on Windows)";

const char* CellKindName(CellKind kind) {
  switch (kind) {
    case CellKind::Untyped: return "Untyped";
    case CellKind::ReadOnly: return "ReadOnly";
    case CellKind::Integer: return "Integer";
    case CellKind::Real: return "Real";
    case CellKind::Text: return "Text";
    case CellKind::Color: return "Color";
    case CellKind::Font: return "Font";
    case CellKind::OpenFile: return "OpenFile";
    case CellKind::SaveFile: return "SaveFile";
    case CellKind::Folder: return "Folder";
    case CellKind::Choice: return "Choice";
    case CellKind::Password: return "Password";
    case CellKind::Toggle: return "Toggle";
    case CellKind::Date: return "Date";
    case CellKind::Time: return "Time";
    case CellKind::MultiLine: return "MultiLine";
    case CellKind::Window: return "Window";
  }
  return "Untyped";
}

int ReadOptionsFile(const Text& path, EditorOptions& options) {
  uint64_t size = 0;
  if (int failed = ProbeFile(path, &size)) return failed;
  std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[size ? size : 1]);
  CPlainFile file;
  if (!bytes || !file.OpenRead(path.c_str()) || file.Read(bytes.get(), static_cast<uint32_t>(size)) != size) {
    return Fail("cannot read " + Escaped(path));
  }
  ApplyEditorOptionsText(bytes.get(), static_cast<size_t>(size), options);
  return kDone;
}

// The checks both commands make before building: the files can be read,
// the options are in. *empty: the settings file is empty (no rows).
int Prepare(const RowCommandArguments& arguments, EditorOptions& options, bool* empty) {
  uint64_t size = 0;
  if (int failed = ProbeFile(arguments.settings, &size)) return failed;
  *empty = size == 0;
  uint64_t typesSize = 0;
  if (!arguments.types.empty()) {
    if (int failed = ProbeFile(arguments.types, &typesSize)) return failed;
  }
  if (!arguments.optionsFile.empty()) {
    if (int failed = ReadOptionsFile(arguments.optionsFile, options)) return failed;
  }
  if (arguments.noDetect) options.autoDetectRowTypes = 0;
  return kDone;
}

// Warns when the type description's text stops at a NUL byte.
bool ReportTypesStop(const RowCommandArguments& arguments) {
  const Text path = TypeDescriptionPath(arguments.settings.c_str(), arguments.types.c_str());
  CIniDocument types;
  if (path.empty() || !types.Load(path.c_str())) return false;
  ReportStop(types, path, LoadFor::Reading);
  return types.StoppedShort();
}

std::string RowTypeName(const BuiltRows& built, const CTypedCells& cells, const EditorOptions& options,
                        size_t row) {
  const RowTableEntry& entry = built.table[row];
  if (entry.entryIndex < 0) return "section";
  if (built.descriptorsUsed) {
    const char16_t* keyword = RowTypeKeyword(entry.rowType);
    return keyword ? TextToUtf8(keyword) : std::to_string(entry.rowType);
  }
  if (options.autoDetectRowTypes) return std::string("detected:") + CellKindName(cells.GetCellKind(static_cast<int>(row), 1));
  return "untyped";
}

}  // namespace

int ListRows(const RowCommandArguments& arguments) {
  EditorOptions options;
  bool empty = false;
  if (int failed = Prepare(arguments, options, &empty)) return failed;
  if (empty) return kDone;
  CIniDocument settings;
  CTypedCells cells;
  Sources sources;
  BuiltRows built;
  if (!BuildRows(arguments.settings.c_str(), arguments.types.c_str(), settings, cells, sources, options, 0,
                 built)) {
    return Fail("cannot read " + Escaped(arguments.settings));
  }
  ReportStop(settings, arguments.settings, LoadFor::Reading);
  ReportTypesStop(arguments);

  COutput out;
  for (size_t row = 0; row < built.table.size(); ++row) {
    const int r = static_cast<int>(row);
    const RowTableEntry& entry = built.table[row];
    const bool marked = !kSystemSources && entry.entryIndex >= 0 && built.descriptorsUsed &&
                        RowFilledBySystem(entry.rowType);
    out << std::to_string(row) << "\t" << std::to_string(entry.entryIndex) << "\t"
        << RowTypeName(built, cells, options, row) << "\t" << CellKindName(cells.GetCellKind(r, 1)) << "\t"
        << Escaped(built.display[row].label) << "\t"
        << (marked ? std::string(kFilledOnWindows) : Escaped(cells.CellText(r, 1))) << "\t"
        << Escaped(RowTip(built, row)) << "\n";
  }
  return kDone;
}

int CheckRowsCommand(const RowCommandArguments& arguments) {
  EditorOptions options;
  bool empty = false;
  if (int failed = Prepare(arguments, options, &empty)) return failed;
  if (empty) return kDone;
  CIniDocument settings;
  CIniDocument types;
  Sources sources;
  std::vector<RowProblem> problems;
  if (!CheckRows(arguments.settings.c_str(), arguments.types.c_str(), settings, types, sources, options,
                 kSystemSources, problems)) {
    return Fail("cannot read " + Escaped(arguments.settings));
  }
  ReportStop(settings, arguments.settings, LoadFor::Reading);
  const bool typesStopped = ReportTypesStop(arguments);

  const std::string settingsName = Escaped(arguments.settings);
  const std::string typesName = Escaped(TypeDescriptionPath(arguments.settings.c_str(), arguments.types.c_str()));
  COutput out;
  for (const RowProblem& problem : problems) {
    out << (problem.inTypes ? typesName : settingsName) << ":" << std::to_string(problem.line) << ": "
        << Escaped(problem.text) << "\n";
  }
  return problems.empty() && !settings.StoppedShort() && !typesStopped ? kDone : kFailed;
}
