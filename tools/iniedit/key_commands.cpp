#include "tools/iniedit/key_commands.h"

#include <string_view>

#include "common/text16.h"
#include "marlpane/document/ini_document.h"
#include "marlpane/document/ini_key_lines.h"
#include "marlpane/document/ini_lines.h"

namespace {

std::string Where(const Text& section) {
  return section.empty() ? "before the first section" : "in section [" + Escaped(section) + "]";
}

std::string NoKey(const Text& path, const Text& section, const Text& key) {
  return "no key \"" + Escaped(key) + "\" " + Where(section) + " of " + Escaped(path);
}

// Loads path for a change of the key line of key in section: the checks of
// the arguments, the document, and the key line when it is there.
int LoadForChange(CIniDocument& document, const Text& path, const Text& section, const Text& key,
                  KeyLineSpot& spot, bool& found) {
  if (int bad = CheckSection(section)) return bad;
  if (int bad = CheckKey(key)) return bad;
  if (int failed = LoadDocument(document, path, LoadFor::Writing)) return failed;
  found = FindKeyLine(document, section, key, spot);
  return kDone;
}

// A key that add can write so that it reads back as the same key line.
int CheckNewKey(const Text& key) {
  if (key.find(u'=') != Text::npos) return Fail("a key cannot hold '='");
  const size_t first = !key.empty() && key[0] == 0xFEFF ? 1 : 0;
  if (first < key.size() && (key[first] == u';' || key[first] == u'#' || key[first] == u'[')) {
    return Fail("a key cannot start with ';', '#' or '[': the line would not be a key line");
  }
  return kDone;
}

}  // namespace

int ListKeys(const Text& path) {
  CIniDocument document;
  if (int failed = LoadDocument(document, path, LoadFor::Reading)) return failed;
  const char16_t* text = document.Text();
  std::u16string_view section;
  size_t entry = 0;
  COutput out;
  for (CIniLines lines(text, document.Length()); lines.Next();) {
    const IniLine& line = lines.Line();
    if (line.kind == IniLineKind::Section) {
      section = std::u16string_view(text + line.nameStart, line.nameLength);
    } else if (line.kind == IniLineKind::Key) {
      out << std::to_string(entry++) << "\t" << section << "\t"
          << std::u16string_view(text + line.nameStart, line.nameLength) << "\t"
          << std::u16string_view(text + line.valueStart, line.valueLength) << "\n";
    }
  }
  return kDone;
}

int GetKey(const Text& path, const Text& section, const Text& key) {
  if (int bad = CheckSection(section)) return bad;
  if (int bad = CheckKey(key)) return bad;
  CIniDocument document;
  if (int failed = LoadDocument(document, path, LoadFor::Reading)) return failed;
  KeyLineSpot spot;
  if (!FindKeyLine(document, section, key, spot)) return Fail(NoKey(path, section, key));
  COutput out;
  out << std::u16string_view(document.Text() + spot.line.valueStart, spot.line.valueLength) << "\n";
  return kDone;
}

int SetKey(const Text& path, const Text& section, const Text& key, const Text& value) {
  if (int bad = CheckValue(value)) return bad;
  CIniDocument document;
  KeyLineSpot spot;
  bool found = false;
  if (int failed = LoadForChange(document, path, section, key, spot, found)) return failed;
  if (!found) return Fail(NoKey(path, section, key));
  if (!document.ReplaceValue(spot.entry, value.c_str())) return Fail("cannot replace the value in " + Escaped(path));
  return SaveDocument(document, path, "the value holds characters");
}

int AddKey(const Text& path, const Text& section, const Text& key, const Text& value) {
  if (int bad = CheckValue(value)) return bad;
  if (int bad = CheckNewKey(key)) return bad;
  if (section.find(u']') != Text::npos) return Fail("a section name cannot hold ']'");
  CIniDocument document;
  KeyLineSpot spot;
  bool found = false;
  if (int failed = LoadForChange(document, path, section, key, spot, found)) return failed;
  if (found) {
    return Fail("key \"" + Escaped(key) + "\" is already " + Where(section) + " of " + Escaped(path) +
                ": use set to change it");
  }
  // A properties file has no sections of its own: a new one is a mistake.
  switch (AddKeyLine(document, section, key, value, !document.IsProperties())) {
    case AddKeyResult::Added:
    case AddKeyResult::AddedWithSection:
      break;
    case AddKeyResult::NoSection:
      return Fail("no section [" + Escaped(section) + "] in the .properties file " + Escaped(path) +
                  ": add its keys with an empty SECTION");
    case AddKeyResult::Failed:
      return Fail("cannot add the line to " + Escaped(path));
  }
  return SaveDocument(document, path, "the key or value holds characters");
}

int DeleteKey(const Text& path, const Text& section, const Text& key) {
  CIniDocument document;
  KeyLineSpot spot;
  bool found = false;
  if (int failed = LoadForChange(document, path, section, key, spot, found)) return failed;
  if (!found) return Fail(NoKey(path, section, key));
  if (!DeleteKeyLine(document, spot)) return Fail("cannot remove the line from " + Escaped(path));
  return SaveDocument(document, path, "the file holds characters");
}
