// What the iniedit commands share: messages, buffered output, checks of
// the arguments and the loading and saving of documents with their errors.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

class CIniDocument;

using Text = std::u16string;

// Exit codes.
constexpr int kDone = 0;
constexpr int kFailed = 1;  // the file is left as it was
constexpr int kWrongArguments = 2;

// "iniedit: message" on standard error; Fail returns kFailed.
int Fail(const std::string& message);
void Warn(const std::string& message);

// UTF-8 with control characters written out (a line break as \n, a tab as
// \t, others as \xHH), so that a name or value stays on one line.
std::string Escaped(std::u16string_view text);

// Standard output, written in large blocks.
class COutput {
 public:
  COutput() = default;
  ~COutput() { Flush(); }
  COutput(const COutput&) = delete;
  COutput& operator=(const COutput&) = delete;

  COutput& operator<<(std::string_view utf8);
  COutput& operator<<(std::u16string_view text);  // as UTF-8
  void Flush();

 private:
  std::string buffer_;
};

// kDone when an argument naming a section, key or value holds no line
// break (and a key is not empty); else the message and kFailed.
int CheckSection(const Text& section);
int CheckKey(const Text& key);
int CheckValue(const Text& value);

enum class LoadFor { Reading, Writing };

// Opens a settings file (properties mode for a ".properties" name). An
// empty file gives an empty 8-bit document. A file whose text stops at a
// NUL byte is refused for writing and read with a warning.
int LoadDocument(CIniDocument& document, const Text& path, LoadFor purpose);

// The checks of LoadDocument without reading the text: kDone with the size
// in *size, or the message and kFailed.
int ProbeFile(const Text& path, uint64_t* size);

// Warns (reading) when the loaded document's text stopped at a NUL byte;
// for writing, says so and returns kFailed.
int ReportStop(const CIniDocument& document, const Text& path, LoadFor purpose);

// Saves the document to path; encodingProblem names what the 8-bit
// encoding could not store.
int SaveDocument(CIniDocument& document, const Text& path, const std::string& encodingProblem);
