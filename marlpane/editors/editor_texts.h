// Every text the editor shows of its own, each under the key a language file
// gives it by (assets/marlpane/<language>.lng), with its built-in English
// text. Placeholders such as "<File_Name>" are filled in where a text is
// shown. Texts of the editor's windows, questions, menus and editors alike:
// they stand at the lowest layer that shows any.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>

#include "common/language_file.h"

enum class EditorText {
  // The main window.
  Save,
  Cancel,
  DefaultTip,
  OptionList,  // the list's name for screen readers
  About,
  VisitWebSite,
  DamagedFile,
  SaveErrorTitle,
  SaveError,      // <File_Path>
  CloseQuestion,  // <File_Name>
  // The answers of questions and message boxes; '&' marks the access key.
  Yes,
  No,
  CancelAnswer,
  Ok,
  // The find field.
  FindLabel,
  FindCount,  // <Index>, <Count>
  NoMatch,
  // The row menu.
  EditRow,
  RevertRow,
  CopyValue,
  CopyLine,
  // The question about options another program changed too.
  ConflictTitle,
  ConflictChanged,  // <File_Name>
  ConflictBothChanged,
  ConflictOptionColumn,
  ConflictFileColumn,
  ConflictMineColumn,
  ConflictKeepMine,
  ConflictKeepFile,
  ConflictCancel,
  ConflictMore,  // <Count>
  // The about box.
  AboutTitle,
  AboutName,
  AboutVersion,  // <Version>
  AboutDistribution,
  AboutTerms,
  // Values the settings file cannot store: <Character> and its <Code>.
  Unstorable8Bit,
  Unstorable,
  UnstorableChoice8Bit,
  UnstorableChoice,
  // The editors.
  PasswordRange,     // <Min>, <Max>
  PasswordTooShort,  // <Min>
  MultiLineOk,
  MultiLineCancel,
  SupportedFiles,
  AllFiles,
  AllFolders,
  ChooseFolder,
  FolderName,
};

struct EditorTextEntry {
  EditorText id;
  const char* key;
  const char16_t* english;
};

// Every text, in the order of EditorText.
const EditorTextEntry* EditorTexts(size_t* count);

// The language the editor speaks: English until a language file is used.
extern CLanguageTexts gEditorLanguage;

std::u16string EditorTextOf(EditorText id);
// The text with its placeholders filled in.
std::u16string EditorTextOf(EditorText id, std::initializer_list<CPlaceholder> values);
// Every text one after the other: what the editor's fonts must draw.
std::u16string AllEditorTexts();
// A number for a placeholder.
std::u16string NumberText(long long number);
