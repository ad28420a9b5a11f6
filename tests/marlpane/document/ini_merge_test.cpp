#include "marlpane/document/ini_merge.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text16.h"
#include "marlpane/document/ini_document.h"

namespace {

std::string Bytes(CIniDocument& document) {
  std::string out;
  for (size_t i = 0; i < document.Length(); ++i) out += static_cast<char>(document.Text()[i]);
  return out;
}

struct Edit {
  size_t entry;  // in the loaded text
  const char* value;
};

// The edits of entries of loaded, named and valued as the editor does.
std::vector<KeyEdit> EditsOf(const std::string& loaded, const std::vector<Edit>& changes) {
  CIniDocument document;
  document.Parse(loaded.data(), loaded.size());
  std::vector<size_t> entries;
  for (const Edit& change : changes) entries.push_back(change.entry);
  std::vector<KeyName> names;
  EXPECT_TRUE(NameEntries(document.Text(), document.Length(), entries, names));
  std::vector<KeyEdit> edits;
  for (size_t i = 0; i < changes.size(); ++i) {
    std::u16string value;
    document.EntryValue(changes[i].entry, value);
    edits.push_back({names[i], value, Utf8ToText(changes[i].value)});
  }
  return edits;
}

TEST(IniMerge, WritesTheEditsIntoTheFileAsItIsNow) {
  struct Case {
    const char* name;
    std::string loaded;
    std::string now;
    std::vector<Edit> edits;
    std::string conflicts;  // the file's values of the conflicting edits, joined by '|'
    std::string mine;       // the result keeping my values
    std::string theirs;     // keeping the file's values
  };
  const Case cases[] = {
      {"the other program's added, changed and removed keys stay",
       "[a]\r\nx=1\r\ny=2\r\nz=3\r\n[b]\r\nw=4\r\n", "[a]\r\nx=1\r\ny=20\r\n[b]\r\nw=4\r\nn=5\r\n",
       {{0, "10"}}, "", "[a]\r\nx=10\r\ny=20\r\n[b]\r\nw=4\r\nn=5\r\n", ""},
      {"a key the other program removed comes back where add puts it, as written",
       "[a]\nx=1\n k = 2 \n[b]\nw=4\n", "[a]\nx=1\n[b]\nw=4\n", {{1, "7"}}, "",
       "[a]\nx=1\n k = 7 \n[b]\nw=4\n", ""},
      {"with its section", "top=0\r\n[a]\r\nx=1\r\n", "top=0\r\n", {{1, "2"}}, "",
       "top=0\r\n[a]\r\nx=2\r\n", ""},
      {"both changed a key to different values", "[a]\nx=1\ny=2\n", "[a]\nx=5\ny=2\n",
       {{0, "9"}, {1, "8"}}, "5", "[a]\nx=9\ny=8\n", "[a]\nx=5\ny=8\n"},
      {"both changed it to the same value: no question", "[a]\nx=1\n", "[a]\nx=9\n", {{0, "9"}},
       "", "[a]\nx=9\n", ""},
      {"the value goes between the file's blanks now", "k=1\n", "k=  1\t\n", {{0, "2"}}, "",
       "k=  2\t\n", ""},
      {"the second of two equal keys is the second", "[a]\nk=1\nk=2\n", "[a]\nj=0\nk=1\nk=2\n",
       {{1, "3"}}, "", "[a]\nj=0\nk=1\nk=3\n", ""},
      {"a section named twice counts as one", "[a]\nk=1\n[b]\n[a]\nk=2\n", "[a]\nk=1\n[b]\n[a]\nk=2\n",
       {{1, "3"}}, "", "[a]\nk=1\n[b]\n[a]\nk=3\n", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool keepMine : {true, false}) {
      CIniDocument file;
      file.Parse(c.now.data(), c.now.size());
      CKeyMerge merge(file, EditsOf(c.loaded, c.edits));
      std::string conflicts;
      for (const KeyConflict& conflict : merge.Conflicts()) {
        conflicts += (conflicts.empty() ? "" : "|") + TextToUtf8(conflict.fileValue);
      }
      EXPECT_EQ(conflicts, c.conflicts);
      ASSERT_TRUE(merge.Apply(keepMine));
      EXPECT_EQ(Bytes(file), keepMine || c.theirs.empty() ? c.mine : c.theirs);
    }
  }
}

}  // namespace
