// The standard file, folder, font and colour choosers. Each returns whether
// the user confirmed; a cancelled chooser leaves the caller's values as they
// were.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// The choosers' own words: the filter names, the folder picker's title and
// the name it offers to confirm. English until a program gives its own.
struct ChooserWords {
  std::u16string supportedFiles = u"Supported Files";
  std::u16string allFiles = u"All Files";
  std::u16string allFolders = u"All Folders";
  std::u16string chooseFolder = u"Choose Folder";
  std::u16string folderName = u"[Folders]";
};
void SetChooserWords(const ChooserWords& words);

// patterns: a list such as "*.ini;*.txt" offered as "Supported Files" before
// "All Files" (*.*) (or their words); null or empty offers only the latter. file holds the
// initial name and receives the chosen path (capacity in characters).
bool ChooseOpenFile(HWND owner, const char16_t* patterns, const char16_t* initialFolder,
                    char16_t* file, size_t capacity);
// As ChooseOpenFile; a confirmed name without extension gains the extension
// of the first pattern.
bool ChooseSaveFile(HWND owner, const char16_t* patterns, const char16_t* initialFolder,
                    char16_t* file, size_t capacity);

// The open-file chooser used as a folder picker: the user opens a folder and
// confirms the placeholder name; out receives the folder (no trailing
// backslash), cut to capacity - 1 characters.
constexpr size_t kChooseFolderBuffer = 260;
bool ChooseFolder(HWND owner, const char16_t* initialFolder, char16_t* out, size_t capacity);

// Face names hold at most 31 characters (a buffer of 32).
constexpr size_t kFaceNameCapacity = 32;
// Every output is optional (null). maximumSize > 0 limits the sizes offered
// to minimumSize..maximumSize. size is in points; the style outputs are 0/1.
bool ChooseFontDialog(HWND owner, int minimumSize, int maximumSize, char16_t* faceName,
                      int* size, int* bold, int* italic, int* underline, int* strikeout);

// colour: a COLORREF (0x00BBGGRR), the initial value and the result.
bool ChooseColourDialog(HWND owner, COLORREF* colour);
