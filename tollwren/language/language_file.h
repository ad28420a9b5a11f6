// The language document in use: which language is chosen at startup, and
// loading a language file from the program's appended archive. The raw file
// is kept so that the PAD placeholders can be filled in again once the
// remote PAD document has been read. Safe to use from the dialog thread and
// the update worker at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "tollwren/language/language_text.h"

class CKeyedArchive;
class CPadDocument;

// The language at startup: the system's language when useSystemLanguage is
// set and the system named one, else the default language of the settings
// record; cut to kLanguageNameLimit characters.
std::u16string ChooseInitialLanguage(bool useSystemLanguage, std::u16string_view systemLanguage,
                                     std::u16string_view defaultLanguage);

class CLanguageFile {
 public:
  virtual ~CLanguageFile() = default;

  // Reads the archive entry "<name>.lng" and makes it the language document,
  // with the PAD placeholders filled from pad. False (the current document
  // stays) when the entry is missing, empty or fails its checksum.
  bool Load(CKeyedArchive& archive, const char16_t* archivePath, std::u16string_view name,
            const CPadDocument& pad, std::u16string_view padFilePath);
  // The same from the bytes of a language file (UTF-16LE).
  void LoadBytes(const uint8_t* bytes, size_t size, std::u16string_view name, const CPadDocument& pad,
                 std::u16string_view padFilePath);
  // A language picked from the menu (command 200 + index): line index of the
  // language list names it (cut to kLanguageNameLimit characters; without
  // such a line the current name stays), then Load. pickedName receives the
  // name, also when its file is missing, for the flag image.
  bool Pick(CKeyedArchive& archive, const char16_t* archivePath, std::u16string_view languageList, size_t index,
            const CPadDocument& pad, std::u16string_view padFilePath, std::u16string& pickedName);
  // The same from the decoded text.
  void LoadText(std::u16string text, std::u16string_view name, const CPadDocument& pad,
                std::u16string_view padFilePath);
  // Fills the PAD placeholders of the loaded file again, from pad's current
  // values. False when no file is loaded.
  bool Refill(const CPadDocument& pad, std::u16string_view padFilePath);

  bool IsLoaded() const;
  std::u16string Name() const;
  bool LookUp(std::u16string_view key, std::u16string& value) const;
  // The rendered message of key (empty when missing).
  std::u16string Render(std::u16string_view key, CDownloadFigures& figures) const;
  // A choice button caption for key; empty when missing.
  std::u16string Caption(std::u16string_view key) const;
  bool RightToLeft() const;

 private:
  mutable std::mutex lock_;
  std::u16string name_;
  std::u16string source_;  // the file's text before the placeholders
  CLanguageText text_;
};
