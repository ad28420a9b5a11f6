#include "marlpane/app/settings_save_win.h"

#include <string>
#include <utility>

#include "marlpane/app/conflict_question_win.h"
#include "marlpane/app/editor_state.h"
#include "marlpane/document/ini_document.h"
#include "marlpane/document/ini_merge.h"
#include "marlpane/rows/cell_kinds.h"
#include "marlpane/rows/row_builder.h"
#include "marlpane/rows/row_saver.h"
#include "marlpane/rows/typed_cells.h"

namespace {

constexpr DWORD kBusyRetryMs = 50;

bool Busy(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION; }

// The file's fingerprint, waiting while another program holds it without
// sharing (each try fails at once with a sharing or lock violation).
bool ReadFingerprintWaiting(const char16_t* path, FileFingerprint& out) {
  const DWORD start = GetTickCount();
  while (!ReadFingerprint(path, out)) {
    if (!Busy(GetLastError()) || GetTickCount() - start >= kBusyFileWaitMs) return false;
    Sleep(kBusyRetryMs);
  }
  return true;
}

ConflictLine LineOf(const BuiltRows& rows, const CTypedCells& cells, int row, const KeyConflict& conflict,
                    const KeyEdit& edit) {
  ConflictLine line;
  line.label = rows.display[static_cast<size_t>(row)].label;
  // Passwords are never shown, not even the one in the file.
  const bool secret = cells.GetCellKind(row, 1) == CellKind::Password;
  line.fileValue = secret ? kPasswordMask : conflict.fileValue;
  line.myValue = secret ? kPasswordMask : edit.value;
  return line;
}

}  // namespace

void CSettingsFile::BeforeLoad(const char16_t* path) { ReadFingerprint(path, loaded_); }

bool CSettingsFile::ChangedOnDisk(const char16_t* path) const {
  FileFingerprint now;
  return ReadFingerprint(path, now) && now != loaded_;
}

SaveResult CSettingsFile::Save(HWND owner, const char16_t* path, CIniDocument& loaded,
                               const BuiltRows& rows, const CTypedCells& cells,
                               const std::vector<int>& changedRows) {
  HCURSOR cursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  FileFingerprint now;
  const bool readable = ReadFingerprintWaiting(path, now);
  SetCursor(cursor);
  if (!readable) return SaveResult::Failed;
  if (now == loaded_) {
    return SaveRows(rows, cells, loaded, path, &changedRows) ? SaveResult::Saved : SaveResult::Failed;
  }
  return Merge(owner, path, loaded.IsProperties(), rows, cells, changedRows);
}

SaveResult CSettingsFile::Merge(HWND owner, const char16_t* path, bool properties,
                                const BuiltRows& rows, const CTypedCells& cells,
                                const std::vector<int>& changedRows) {
  // A file that cannot be read again, or now holds a NUL byte, is not
  // written: the edits stay in the window.
  CIniDocument file;
  file.SetProperties(properties);
  if (!file.Load(path) || file.StoppedShort()) return SaveResult::Failed;
  std::vector<KeyEdit> edits;
  std::vector<int> editRows;
  if (!RowKeyEdits(rows, cells, changedRows, edits, editRows)) return SaveResult::Failed;
  CKeyMerge merge(file, std::move(edits));
  bool keepMine = true;
  if (!merge.Conflicts().empty()) {
    std::vector<ConflictLine> lines;
    for (const KeyConflict& conflict : merge.Conflicts()) {
      const int row = editRows[conflict.edit];
      lines.push_back(LineOf(rows, cells, row, conflict, merge.Edit(conflict.edit)));
    }
    switch (AskAboutConflicts(static_cast<HINSTANCE>(gEditorState.instance), owner, path, lines)) {
      case ConflictAnswer::KeepMine: break;
      case ConflictAnswer::KeepFile: keepMine = false; break;
      case ConflictAnswer::Cancel: return SaveResult::Cancelled;
    }
  }
  if (!merge.Apply(keepMine) || !file.Save(path)) return SaveResult::Failed;
  return SaveResult::Saved;
}
