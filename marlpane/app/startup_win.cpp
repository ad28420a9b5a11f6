#include "marlpane/app/startup_win.h"

#include <commctrl.h>

#include <string>

#include "common/choosers_win.h"
#include "common/language_file_win.h"
#include "common/program_keys.h"
#include "common/shell_win.h"
#include "common/text16.h"
#include "marlpane/app/command_line.h"
#include "marlpane/app/editor_options.h"
#include "marlpane/editors/editor_texts.h"

namespace {

// The language named by the option when the archive delivers it, else the
// user's interface language when delivered, else the archive's English
// file (a distributor may have changed its texts), else the built-in texts.
void ChooseLanguage(const EditorState& state, const char16_t* optionLanguage) {
  std::u16string text;
  for (const std::u16string& name :
       {std::u16string(optionLanguage), InterfaceLanguageName(), std::u16string(u"English")}) {
    if (!name.empty() && ReadLanguageEntry(gEditorArchive, state.programPath, name, text)) break;
  }
  gEditorLanguage.Use(std::move(text));
  // Every window made from now on is laid out right to left.
  if (gEditorLanguage.RightToLeft()) SetProcessDefaultLayout(LAYOUT_RTL);
  ChooserWords words;
  words.supportedFiles = EditorTextOf(EditorText::SupportedFiles);
  words.allFiles = EditorTextOf(EditorText::AllFiles);
  words.allFolders = EditorTextOf(EditorText::AllFolders);
  words.chooseFolder = EditorTextOf(EditorText::ChooseFolder);
  words.folderName = EditorTextOf(EditorText::FolderName);
  SetChooserWords(words);
}

}  // namespace

void StartEditor(HINSTANCE instance) {
  EditorState& state = gEditorState;
  state.instance = instance;
  char16_t path[kPathCapacity];
  if (GetProgramPath(path, kPathCapacity) == 0) path[0] = 0;
  SetProgramPath(state, path);
  gEditorArchive.SetKey(kMarlpaneArchiveKey, kProgramKeyLength);
  ReadEditorOptions(gEditorArchive, state.programPath, gEditorOptions);
  ChooseLanguage(state, gEditorOptions.language);
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
