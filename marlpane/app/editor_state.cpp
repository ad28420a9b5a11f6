#include "marlpane/app/editor_state.h"

#include "common/path_text.h"
#include "common/text16.h"

EditorState gEditorState;
CKeyedArchive gEditorArchive;

void SetProgramPath(EditorState& state, const char16_t* programPath) {
  state.programPath[0] = 0;
  state.programFolder[0] = 0;
  state.settingsPath[0] = 0;
  if (!programPath || !CopyText(state.programPath, kPathCapacity, programPath)) return;
  const char16_t* start = state.programPath;
  while (*start == u'"') ++start;
  size_t folderLength = 0;
  for (size_t i = 0; start[i]; ++i)
    if (start[i] == u'\\') folderLength = i + 1;
  for (size_t i = 0; i < folderLength; ++i) state.programFolder[i] = start[i];
  state.programFolder[folderLength] = 0;
  const size_t nameLength = TextLength(kDefaultSettingsName);
  if (folderLength + nameLength >= kPathCapacity) return;
  for (size_t i = 0; i < folderLength; ++i) state.settingsPath[i] = start[i];
  CopyText(state.settingsPath + folderLength, kPathCapacity - folderLength, kDefaultSettingsName);
}

const char16_t* FileNameOf(const char16_t* path) {
  const char16_t* name = path ? path : u"";
  for (const char16_t* c = name; *c; ++c) {
    if (*c == u'\\' || *c == u'/' || *c == u':') name = c + 1;
  }
  return name;
}

bool IsPropertiesPath(const char16_t* path) {
  return path && EndsWithNoCase(path, u".properties");
}

void PickSettingsFile(char16_t* path, size_t capacity, bool (*exists)(const char16_t*)) {
  // An empty path (a name that was too long) stays empty: ".INI" alone
  // would name some other file in the current folder.
  if (!path || !*path || !exists || exists(path)) return;
  ReplaceExtension(u".INI", path, capacity);
  if (exists(path)) return;
  ReplaceExtension(u".properties", path, capacity);
}
