// The updater's language document: a language file (common/language_file.h)
// whose values are message templates. PAD placeholders ("<Program_Name>", ...) are filled
// into the whole document when it is loaded; download placeholders
// ("<File_Downloaded_K>", ...) each time a message is rendered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/language_file.h"

class CPadDocument;

constexpr size_t kRenderedTextLimit = 999;    // rendered messages are cut here
constexpr int kFirstLanguageCommand = 200;

// Download figures shown by the download placeholders.
struct CDownloadFigures {
  uint32_t bytesReceived = 0;
  // The announced size of the download; while it is 0 the file size of the
  // PAD document stands in for it and is stored here when a total is shown.
  uint32_t bytesExpected = 0;
  int32_t fileSize = 0;          // File_Size_Bytes
  std::u16string url;            // "<File_Download_URL>"
  std::u16string fileName;       // "<Download_File_Name>"
  std::u16string filePath;       // "<Download_File_Local>"
};

// A message template with the download placeholders filled in (a backslash
// followed by n or N becomes CR LF), cut to kRenderedTextLimit characters.
std::u16string RenderDownloadText(std::u16string_view value, CDownloadFigures& figures);

// A choice button caption: a backslash followed by a lower-case n becomes LF.
std::u16string ButtonCaption(std::u16string_view value);

// Line index (from 0, empty lines counted) of a newline-separated list of
// language names, cut to kLanguageNameLimit characters; CR dropped. False
// when the list has no such line.
bool LanguageListLine(std::u16string_view list, size_t index, std::u16string& name);

class CLanguageText {
 public:
  virtual ~CLanguageText() = default;

  // Replaces the document with a language file (UTF-16LE bytes; the size
  // fixes the length, a zero character ends it early), fills in the PAD
  // placeholders from pad (padFilePath is the local pad.xml) and decodes
  // "&nbsp;" and "&amp;".
  void Load(const uint8_t* bytes, size_t size, const CPadDocument& pad, std::u16string_view padFilePath);
  // The same from text already decoded.
  void LoadText(std::u16string_view text, const CPadDocument& pad, std::u16string_view padFilePath);

  bool IsLoaded() const { return loaded_; }
  const std::u16string& Text() const { return text_; }

  bool LookUp(std::u16string_view key, std::u16string& value) const;
  // The rendered message of key; empty when the key is missing.
  std::u16string Render(std::u16string_view key, CDownloadFigures& figures) const;
  // Right-to-left reading order: an "RTL" value that is present, not empty
  // and does not start with "0".
  bool RightToLeft() const;

 private:
  std::u16string text_;
  bool loaded_ = false;
};
