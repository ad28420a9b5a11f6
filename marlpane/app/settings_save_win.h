// Saving the settings file while other programs may write it too. The
// file's fingerprint is taken when the rows are loaded; Save compares it
// with the file on disk. Unchanged, the changed rows go into the loaded
// document and it is written. Changed, the file is read again and only the
// rows changed in the window are written into it, key by key, asking the
// user about options that both changed to different values. A file another
// program holds without sharing is waited for a moment.
#pragma once

#include <windows.h>

#include <vector>

#include "marlpane/document/file_fingerprint.h"

class CIniDocument;
class CTypedCells;
struct BuiltRows;

enum class SaveResult { Saved, Failed, Cancelled };

// How long Save waits for a file held without sharing before it fails.
constexpr DWORD kBusyFileWaitMs = 2000;

class CSettingsFile {
 public:
  CSettingsFile() = default;
  virtual ~CSettingsFile() = default;

  // Call right before the rows are loaded from path. Taken first, the
  // fingerprint can only be older than the text loaded, so a change in
  // between is merged rather than overwritten.
  void BeforeLoad(const char16_t* path);
  // True when the file can be read and differs from what was loaded.
  bool ChangedOnDisk(const char16_t* path) const;

  // Writes the changed rows (their values as the rows' save forms give
  // them) to path; loaded is the document the rows were built from. Failed
  // leaves the file as it is; Cancelled when the user chose not to save.
  SaveResult Save(HWND owner, const char16_t* path, CIniDocument& loaded, const BuiltRows& rows,
                  const CTypedCells& cells, const std::vector<int>& changedRows);

 private:
  SaveResult Merge(HWND owner, const char16_t* path, bool properties, const BuiltRows& rows,
                   const CTypedCells& cells, const std::vector<int>& changedRows);

  FileFingerprint loaded_;
};
