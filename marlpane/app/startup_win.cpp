#include "marlpane/app/startup_win.h"

#include <commctrl.h>

#include "common/program_keys.h"
#include "common/shell_win.h"
#include "common/text16.h"
#include "marlpane/app/command_line.h"
#include "marlpane/app/editor_options.h"

void StartEditor(HINSTANCE instance) {
  EditorState& state = gEditorState;
  state.instance = instance;
  char16_t path[kPathCapacity];
  if (GetProgramPath(path, kPathCapacity) == 0) path[0] = 0;
  SetProgramPath(state, path);
  gEditorArchive.SetKey(kMarlpaneArchiveKey, kProgramKeyLength);
  ReadEditorOptions(gEditorArchive, state.programPath, gEditorOptions);
  ApplyCommandLine(AsText(GetCommandLineW()), state, gEditorOptions);
  InitCommonControls();
}

void ChooseSettingsFile(EditorState& state) {
  PickSettingsFile(state.settingsPath, kPathCapacity, FileExistsNoAccess);
}

void PostNotification(WPARAM code, LPARAM lParam) {
  if (gEditorState.notifyWindow == 0) return;
  PostMessageW(reinterpret_cast<HWND>(gEditorState.notifyWindow), kEditorNotifyMessage, code,
               lParam);
}
