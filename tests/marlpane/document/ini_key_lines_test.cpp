#include "marlpane/document/ini_key_lines.h"

#include <gtest/gtest.h>

#include <string>

#include "common/text16.h"
#include "marlpane/document/ini_document.h"

namespace {

std::u16string Parsed(CIniDocument& document, const std::string& text) {
  document.Parse(text.data(), text.size());
  return std::u16string(document.Text(), document.Length());
}

std::string Bytes(CIniDocument& document) {
  std::string out;
  for (size_t i = 0; i < document.Length(); ++i) out += static_cast<char>(document.Text()[i]);
  return out;
}

TEST(IniKeyLines, FindsTheWholeKeyUnderItsSection) {
  struct Case {
    const char* section;
    const char* key;
    bool found;
    size_t entry;
  };
  const std::string text =
      "top=0\n[a]\nWidth=1\nMainWindowWidth=2\n; Gone=x\n[b]\n k =3\n[a]\nLate=4\n";
  const Case cases[] = {
      {"", "top", true, 0},       {"a", "Width", true, 1},  {"a", "MainWindowWidth", true, 2},
      {"b", "Width", false, 0},   {"a", "Gone", false, 0},  {"b", "k", false, 0},
      {"b", " k ", true, 3},      {"a", "Late", true, 4},   {"", "Width", false, 0},
  };
  CIniDocument document;
  Parsed(document, text);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key);
    KeyLineSpot spot;
    ASSERT_EQ(FindKeyLine(document, Utf8ToText(c.section), Utf8ToText(c.key), spot), c.found);
    if (c.found) {
      EXPECT_EQ(spot.entry, c.entry);
    }
  }
}

TEST(IniKeyLines, AddPutsTheLineAfterTheSectionsLastKey) {
  struct Case {
    const char* name;
    std::string before;
    const char* section;
    std::string after;
  };
  const Case cases[] = {
      {"before the blank lines and comments that end the section",
       "[a]\r\nx=1\r\n\r\n; about b\r\n[b]\r\ny=2\r\n", "a",
       "[a]\r\nx=1\r\nk=v\r\n\r\n; about b\r\n[b]\r\ny=2\r\n"},
      {"LF file", "[a]\nx=1\n[b]\n", "a", "[a]\nx=1\nk=v\n[b]\n"},
      {"the line end of the line it follows", "[a]\nx=1\r\n", "a", "[a]\nx=1\r\nk=v\r\n"},
      {"a section without keys: after its header", "[a]\r\n; none yet\r\n[b]\r\n", "a",
       "[a]\r\nk=v\r\n; none yet\r\n[b]\r\n"},
      {"the last line has no line end", "[a]\r\nx=1", "a", "[a]\r\nx=1\r\nk=v"},
      {"the first of two sections of that name", "[a]\nx=1\n[b]\n[a]\ny=2\n", "a",
       "[a]\nx=1\nk=v\n[b]\n[a]\ny=2\n"},
      {"before the first header", "; file\nx=1\n\n[a]\n", "", "; file\nx=1\nk=v\n\n[a]\n"},
      {"no key before the first header", "; file\n[a]\n", "", "k=v\n; file\n[a]\n"},
      {"a new section at the end", "[a]\r\nx=1\r\n", "b", "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"},
      {"a new section after a missing line end", "[a]\nx=1", "b", "[a]\nx=1\n[b]\nk=v\n"},
      {"a new section in an empty text", "", "b", "[b]\r\nk=v\r\n"},
      {"an empty text", "", "", "k=v\r\n"},
      {"CR line ends", "[a]\rx=1\r", "b", "[a]\rx=1\r[b]\rk=v\r"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CIniDocument document;
    Parsed(document, c.before);
    const AddKeyResult result = AddKeyLine(document, Utf8ToText(c.section), u"k", u"v");
    EXPECT_NE(result, AddKeyResult::Failed);
    EXPECT_EQ(Bytes(document), c.after);
    KeyLineSpot spot;
    EXPECT_TRUE(FindKeyLine(document, Utf8ToText(c.section), u"k", spot));
  }
  CIniDocument document;
  Parsed(document, "x=1\n");
  EXPECT_EQ(AddKeyLine(document, u"b", u"k", u"v", false), AddKeyResult::NoSection);
  EXPECT_EQ(Bytes(document), "x=1\n");
}

TEST(IniKeyLines, DeleteRemovesTheLineWithItsLineEnd) {
  struct Case {
    std::string before;
    const char* key;
    std::string after;
  };
  const Case cases[] = {
      {"[a]\r\nx=1\r\ny=2\r\n", "x", "[a]\r\ny=2\r\n"},
      {"[a]\r\nx=1\r\ny=2", "y", "[a]\r\nx=1\r\n"},
      {"[a]\rx=1\ry=2\r", "x", "[a]\ry=2\r"},
      {"[a]\nx=1", "x", "[a]\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before);
    CIniDocument document;
    Parsed(document, c.before);
    KeyLineSpot spot;
    ASSERT_TRUE(FindKeyLine(document, u"a", Utf8ToText(c.key), spot));
    ASSERT_TRUE(DeleteKeyLine(document, spot));
    EXPECT_EQ(Bytes(document), c.after);
  }
}

}  // namespace
