// iniedit: lists, reads and changes the key lines of an INI or .properties
// file through the editor's own document code, so a change touches only the
// value's characters.
//
//   iniedit list FILE                     entry<TAB>section<TAB>key<TAB>value per key line
//   iniedit get FILE SECTION KEY          the value of KEY in SECTION ("" = before any section)
//   iniedit set FILE SECTION KEY VALUE    replaces that value and saves the file
//
// Arguments and output are UTF-8.
#include <cstdio>
#include <string>
#include <vector>

#include "common/plain_file.h"
#include "common/text16.h"
#include "marlpane/document/ini_document.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#endif

namespace {

using Text = std::u16string;

void Print(FILE* stream, const std::string& utf8) {
  fwrite(utf8.data(), 1, utf8.size(), stream);
}

int Fail(const std::string& message) {
  Print(stderr, "iniedit: " + message + "\n");
  return 1;
}

int Usage() {
  Print(stderr,
        "usage: iniedit list FILE\n"
        "       iniedit get FILE SECTION KEY\n"
        "       iniedit set FILE SECTION KEY VALUE\n");
  return 2;
}

bool EndsWithNoCase(const Text& text, const Text& suffix) {
  if (text.size() < suffix.size()) return false;
  for (size_t i = 0; i < suffix.size(); ++i) {
    char16_t a = text[text.size() - suffix.size() + i];
    char16_t b = suffix[i];
    if (a >= u'A' && a <= u'Z') a = static_cast<char16_t>(a - u'A' + u'a');
    if (a != b) return false;
  }
  return true;
}

struct KeyLine {
  size_t entry;
  Text section;
  Text key;
  Text value;
};

// Reads the header line at the cursor ("[name]..."): the name runs to the
// first ']' on the line (or the line end); the cursor moves to the next line.
Text TakeHeaderLine(CIniDocument& document) {
  const char16_t* text = document.Text();
  const size_t length = document.Length();
  size_t at = document.Cursor();
  if (at < length && text[at] == 0xFEFF) ++at;
  if (at < length && text[at] == u'[') ++at;
  size_t end = at;
  while (end < length && text[end] != u']' && text[end] != u'\r' && text[end] != u'\n') ++end;
  Text name(text + at, end - at);
  while (end < length && text[end] != u'\r' && text[end] != u'\n') ++end;
  if (end < length) end += (text[end] == u'\r' && end + 1 < length && text[end + 1] == u'\n') ? 2 : 1;
  document.SetCursor(end);
  return name;
}

// Every key line with its section, in file order.
std::vector<KeyLine> KeyLines(CIniDocument& document) {
  std::vector<KeyLine> lines;
  const size_t capacity = document.Length() + 1;
  std::vector<char16_t> key(capacity), value(capacity);
  Text section;
  document.ResetCursor();
  while (true) {
    while (document.NextEntry(key.data(), value.data(), true, capacity, capacity)) {
      lines.push_back({lines.size(), section, key.data(), value.data()});
    }
    if (document.Cursor() >= document.Length()) break;
    section = TakeHeaderLine(document);
  }
  return lines;
}

// Loads path; an existing empty file is an empty document.
int LoadDocument(CIniDocument& document, const Text& path, const std::string& shown) {
  document.SetProperties(EndsWithNoCase(path, u".properties"));
  CPlainFile probe;
  if (!probe.OpenRead(path.c_str())) return Fail("cannot open " + shown + " (missing or unreadable)");
  bool empty = probe.Size() == 0;
  probe.Close();
  if (empty) {
    document.Parse("", 0);
    return 0;
  }
  if (!document.Load(path.c_str())) return Fail("cannot read " + shown);
  return 0;
}

const KeyLine* FindKeyLine(const std::vector<KeyLine>& lines, const Text& section, const Text& key) {
  for (const KeyLine& line : lines) {
    if (line.section == section && line.key == key) return &line;
  }
  return nullptr;
}

std::string Describe(const Text& section, const Text& key) {
  std::string where = section.empty() ? "before the first section" : "in section [" + TextToUtf8(section) + "]";
  return "no key \"" + TextToUtf8(key) + "\" " + where;
}

int Run(const std::vector<Text>& args) {
  if (args.size() < 2) return Usage();
  const Text& command = args[0];
  const Text& path = args[1];
  const std::string shown = TextToUtf8(path);
  CIniDocument document;

  if (command == u"list" && args.size() == 2) {
    if (int failed = LoadDocument(document, path, shown)) return failed;
    std::string out;
    for (const KeyLine& line : KeyLines(document)) {
      out += std::to_string(line.entry) + "\t" + TextToUtf8(line.section) + "\t" + TextToUtf8(line.key) + "\t" +
             TextToUtf8(line.value) + "\n";
    }
    Print(stdout, out);
    return 0;
  }
  if (command == u"get" && args.size() == 4) {
    if (int failed = LoadDocument(document, path, shown)) return failed;
    std::vector<KeyLine> lines = KeyLines(document);
    const KeyLine* line = FindKeyLine(lines, args[2], args[3]);
    if (!line) return Fail(Describe(args[2], args[3]) + " of " + shown);
    Print(stdout, TextToUtf8(line->value) + "\n");
    return 0;
  }
  if (command == u"set" && args.size() == 5) {
    if (int failed = LoadDocument(document, path, shown)) return failed;
    std::vector<KeyLine> lines = KeyLines(document);
    const KeyLine* line = FindKeyLine(lines, args[2], args[3]);
    if (!line) return Fail(Describe(args[2], args[3]) + " of " + shown);
    if (!document.ReplaceValue(line->entry, args[4].c_str())) return Fail("cannot replace the value in " + shown);
    if (!document.CanEncodeText()) return Fail("the value holds characters the file's 8-bit encoding cannot store");
    if (document.Save(path.c_str()) == 0) return Fail("cannot write " + shown);
    return 0;
  }
  return Usage();
}

}  // namespace

#ifdef _WIN32
int main() {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return Usage();
  std::vector<Text> args;
  for (int i = 1; i < count; ++i) args.emplace_back(AsText(wide[i]));
  LocalFree(wide);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  return Run(args);
}
#else
int main(int argc, char** argv) {
  std::vector<Text> args;
  for (int i = 1; i < argc; ++i) args.push_back(Utf8ToText(argv[i]));
  return Run(args);
}
#endif
