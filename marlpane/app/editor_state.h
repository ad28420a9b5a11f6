// The editor's process-wide state: its own path and folder, the settings
// and type description paths, the notification window, and the archive
// reader of its own executable. One instance lives for the whole run; the
// startup fills it, the main dialog works on it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/archive.h"
#include "common/plain_file.h"

struct EditorState {
  // Instance handle of the program (HINSTANCE on Windows).
  void* instance = nullptr;
  // Main dialog window (HWND): 0 until the dialog is initialised, 0 again
  // once it has ended.
  uintptr_t mainWindow = 0;
  // The executable's own full path; the appended archive is read from it.
  char16_t programPath[kPathCapacity] = {};
  // programPath up to and including its last backslash.
  char16_t programFolder[kPathCapacity] = {};
  // The file to edit. Empty when the path named on the command line was too
  // long for the buffer: then nothing is loaded.
  char16_t settingsPath[kPathCapacity] = {};
  // Empty unless "/ITP:" gives one; the row builder derives the default.
  char16_t typeDescriptionPath[kPathCapacity] = {};
  // Window (HWND) that receives the notifications; 0 for none.
  uintptr_t notifyWindow = 0;
  // "/NODETECT" was given: no automatic detection of row types.
  bool noDetect = false;
};

extern EditorState gEditorState;
extern CKeyedArchive gEditorArchive;

constexpr char16_t kDefaultSettingsName[] = u"settings.ini";

// Takes the program's own path: fills programPath and programFolder (leading
// double quotes skipped) and sets the settings path to the folder +
// "settings.ini". A path that does not fit leaves all three empty.
void SetProgramPath(EditorState& state, const char16_t* programPath);

// The file name part of path (after its last '\\', '/' or ':'), as the
// editor's questions name the settings file.
const char16_t* FileNameOf(const char16_t* path);

// True when path ends with ".properties", in any case: such a file is read
// as a properties file instead of an INI file.
bool IsPropertiesPath(const char16_t* path);
inline bool SettingsAreProperties(const EditorState& state) {
  return IsPropertiesPath(state.settingsPath);
}

// Picks the settings file among its three names: the path as given, else
// with the extension ".INI", else ".properties" (an extension the path
// already has, in any case, is kept). The path keeps the last name tried,
// whether or not that file exists. An empty path stays empty. exists tells
// whether a file is there.
void PickSettingsFile(char16_t* path, size_t capacity, bool (*exists)(const char16_t*));
