#include "marlpane/document/ini_document.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/text16.h"
#include "tests/common/files_test_support.h"

namespace {

using testfiles::FolderListing;
using testfiles::ReadBytes;
using testfiles::TempFolder;
using testfiles::Utf16Bytes;
using testfiles::WriteBytes;

std::u16string Text(CIniDocument& document) { return std::u16string(document.Text(), document.Length()); }

std::u16string Widen(const std::string& bytes) {
  std::u16string text;
  for (unsigned char c : bytes) text += static_cast<char16_t>(c);
  return text;
}

// Loads bytes through a real file.
class LoadedDocument {
 public:
  explicit LoadedDocument(const std::string& bytes, bool properties = false, const char* name = "s.ini") {
    WriteBytes(folder_.Native(name), bytes);
    path_ = folder_.File(name);
    document_.SetProperties(properties);
    loaded_ = document_.Load(path_.c_str());
  }
  CIniDocument& doc() { return document_; }
  bool loaded() const { return loaded_; }
  const char16_t* path() const { return path_.c_str(); }
  std::string bytes() const { return ReadBytes(std::filesystem::path(path_)); }
  const TempFolder& folder() const { return folder_; }

 private:
  TempFolder folder_;
  std::u16string path_;
  CIniDocument document_;
  bool loaded_ = false;
};

// ---- Loading and saving byte for byte ----

struct RoundTripCase {
  const char* name;
  std::string before;
  size_t entry;
  std::u16string value;
  std::string after;
};

TEST(IniDocumentSave, ChangesOnlyTheReplacedValue) {
  const RoundTripCase cases[] = {
      {"crlf with comments and blank lines", "; c\r\n\r\n[a]\r\nx=1\r\ny=2\r\n", 1, u"20", "; c\r\n\r\n[a]\r\nx=1\r\ny=20\r\n"},
      {"lf", "[a]\nx=1\ny=2\n", 0, u"", "[a]\nx=\ny=2\n"},
      {"no final line end", "x=1\ny=2", 1, u"3", "x=1\ny=3"},
      {"trailing spaces stay outside the value", "k=v  \r\n# t  \r\n", 0, u"w", "k=w\r\n# t  \r\n"},
      {"spaces around key and '=' belong to key and value", " k = v \n", 0, u"X", " k =X\n"},
      {"line without '=' does not count", "a=1\nplain line\nb=2\n", 1, u"B", "a=1\nplain line\nb=B\n"},
      {"second '=' is part of the value", "url=a=b\n", 0, u"c", "url=c\n"},
      {"carriage return line ends", "a=1\rb=2\r", 1, u"9", "a=1\rb=9\r"},
      {"section header not an entry", "[s]\n[t]\nk=v\n", 0, u"w", "[s]\n[t]\nk=w\n"},
      {"8-bit byte E9 kept", "name=Ren\xE9\r\nold=1\r\n", 1, u"2", "name=Ren\xE9\r\nold=2\r\n"},
      {"8-bit gains no mark", "a=1", 0, u"\u00E9", "a=\xE9"},
      {"value with a line end adds a line", "a=1\nb=2\n", 0, u"x\r\nc=3", "a=x\r\nc=3\nb=2\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LoadedDocument file(c.before);
    ASSERT_TRUE(file.loaded());
    EXPECT_FALSE(file.doc().IsUnicode());
    ASSERT_TRUE(file.doc().ReplaceValue(c.entry, c.value.c_str()));
    EXPECT_EQ(file.doc().Save(file.path()), c.after.size());
    EXPECT_EQ(file.bytes(), c.after);
  }
}

struct Utf8Case {
  const char* name;
  bool properties;
  std::string before;
  TextEncoding encoding;
  size_t entry;
  std::u16string value;
  std::string after;
};

// UTF-8 is read as such, and saving one value rewrites only its bytes.
TEST(IniDocumentSave, Utf8FilesKeepEveryOtherByte) {
  const Utf8Case cases[] = {
      {"without mark", false, "j=\xE3\x83\x86\r\nplain=Dana\r\n", TextEncoding::kUtf8, 1, u"Zo\u00EB \u30C6",
       "j=\xE3\x83\x86\r\nplain=Zo\xC3\xAB \xE3\x83\x86\r\n"},
      {"mark kept", false, "\xEF\xBB\xBF[s]\nk=v\n", TextEncoding::kUtf8Marked, 0, u"\U0001F600",
       "\xEF\xBB\xBF[s]\nk=\xF0\x9F\x98\x80\n"},
      {"stray byte behind the mark kept", false, "\xEF\xBB\xBF" "a=\xFF\nb=1\n", TextEncoding::kUtf8Marked, 1,
       u"\u00EB", "\xEF\xBB\xBF" "a=\xFF\nb=\xC3\xAB\n"},
      {"a mark inside the text kept", false, "k=\xC3\xA9\xEF\xBB\xBF\nb=1", TextEncoding::kUtf8, 1, u"2",
       "k=\xC3\xA9\xEF\xBB\xBF\nb=2"},
      {"properties without escapes", true, "a=\xC3\xBC\nb=1\n", TextEncoding::kUtf8, 1, u"\u30C6",
       "a=\xC3\xBC\nb=\xE3\x83\x86\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LoadedDocument file(c.before, c.properties, c.properties ? "s.properties" : "s.ini");
    ASSERT_TRUE(file.loaded());
    EXPECT_EQ(file.doc().Encoding(), c.encoding);
    ASSERT_TRUE(file.doc().ReplaceValue(c.entry, c.value.c_str()));
    EXPECT_GT(file.doc().Save(file.path()), 0u);
    EXPECT_EQ(file.bytes(), c.after);
  }
}

TEST(IniDocumentSave, UnchangedDocumentSavesIdentically) {
  TempFolder folder;
  const std::string sample = ReadBytes(std::filesystem::path(TEST_SOURCE_ROOT) / "samples" / "settings.ini");
  ASSERT_FALSE(sample.empty());
  LoadedDocument file(sample);
  ASSERT_TRUE(file.loaded());
  EXPECT_EQ(file.doc().Save(file.path()), sample.size());
  EXPECT_EQ(file.bytes(), sample);
}

TEST(IniDocumentSave, Utf16FileKeepsItsMark) {
  const std::u16string text = u"[Fenster]\r\nTitel=Gr\u00FC\u00DFe \u20AC\r\nBreite=5\r\n";
  LoadedDocument file(Utf16Bytes(text));
  ASSERT_TRUE(file.loaded());
  EXPECT_TRUE(file.doc().IsUnicode());
  EXPECT_EQ(Text(file.doc()), text);  // the mark is not part of the text
  ASSERT_TRUE(file.doc().ReplaceValue(1, u"\u0416"));
  std::u16string changed = u"[Fenster]\r\nTitel=Gr\u00FC\u00DFe \u20AC\r\nBreite=\u0416\r\n";
  EXPECT_EQ(file.doc().Save(file.path()), changed.size());
  EXPECT_EQ(file.bytes(), Utf16Bytes(changed));
}

TEST(IniDocumentLoad, FailuresAndOddFiles) {
  {
    CIniDocument document;
    document.Parse("k=v", 3);
    TempFolder folder;
    auto missing = folder.File("missing.ini");
    EXPECT_FALSE(document.Load(missing.c_str()));
    WriteBytes(folder.Native("empty.ini"), "");
    auto empty = folder.File("empty.ini");
    EXPECT_FALSE(document.Load(empty.c_str()));
    EXPECT_EQ(Text(document), u"k=v");  // a failed load keeps the text
  }
  {
    LoadedDocument onlyMark("\xFF\xFE");
    EXPECT_TRUE(onlyMark.loaded());
    EXPECT_EQ(onlyMark.doc().Length(), 0u);
  }
  {
    LoadedDocument withNul(std::string("a=1\nb=\0\nc=3\n", 12));
    EXPECT_TRUE(withNul.loaded());
    EXPECT_EQ(Text(withNul.doc()), u"a=1\nb=");
  }
}

// A NUL ends the text; the document remembers where, and Save refuses to
// write the shortened text over the file.
TEST(IniDocumentLoad, TextStoppingAtNulIsNeverSaved) {
  struct Case {
    const char* name;
    std::string bytes;
    std::u16string text;
    uint64_t offset;  // of the NUL; 0: none
  };
  const Case cases[] = {
      {"8-bit", std::string("a=1\nb=\0\nc=3\n", 12), u"a=1\nb=", 6},
      {"NUL first", std::string("\0a=1", 4), u"", 0},
      {"UTF-16 with a dropped mark before the NUL",
       Utf16Bytes(u"k=\uFEFFv") + std::string("\0\0", 2) + Utf16Bytes(u"w=1", false), u"k=v", 10},
      {"UTF-16 without its mark reads as 8-bit", Utf16Bytes(u"k=v", false), u"k", 1},
      {"clean", "k=v\r\n", u"k=v\r\n", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoadedDocument file(c.bytes);
    ASSERT_TRUE(file.loaded());
    EXPECT_EQ(Text(file.doc()), c.text);
    const bool stops = c.bytes.find('\0') != std::string::npos;
    EXPECT_EQ(file.doc().StoppedShort(), stops);
    if (c.offset) {
      EXPECT_EQ(file.doc().StopOffset(), c.offset);
    }
    if (stops) {
      EXPECT_EQ(file.doc().Save(file.path()), 0u);
      EXPECT_EQ(file.bytes(), c.bytes);
      EXPECT_EQ(FolderListing(file.folder().path()), "s.ini");
    } else {
      EXPECT_EQ(file.doc().StopOffset(), 0u);
      EXPECT_GT(file.doc().Save(file.path()), 0u);
    }
  }
  // A parsed block says the same; a clean load afterwards clears it.
  CIniDocument document;
  document.Parse("\xFF\xFEk\0\0\0", 6);
  EXPECT_TRUE(document.StoppedShort());
  EXPECT_EQ(document.StopOffset(), 4u);
  document.Parse("k=v", 3);
  EXPECT_FALSE(document.StoppedShort());
}

// A file too large for the text is refused before anything is read: read
// in part, a save would cut it.
TEST(IniDocumentLoad, RefusesFilesLargerThanTheText) {
  TempFolder folder;
  const auto path = folder.Native("big.ini");
  WriteBytes(path, "k=v\n");
  std::filesystem::resize_file(path, (uint64_t{1} << 32) + 4);  // sparse: nothing is written
  CIniDocument document;
  document.Parse("old=1", 5);
  EXPECT_FALSE(document.Load(folder.File("big.ini").c_str()));
  EXPECT_EQ(Text(document), u"old=1");
}

TEST(IniDocumentParse, EightBitAndUtf16Blocks) {
  CIniDocument document;
  EXPECT_TRUE(document.Parse("a=\xE9\r\n", 5));
  EXPECT_EQ(Text(document), u"a=\u00E9\r\n");
  std::string utf16 = Utf16Bytes(u"k=\u20AC") + "x";  // odd byte ignored
  EXPECT_TRUE(document.Parse(utf16.data(), utf16.size()));
  EXPECT_EQ(Text(document), u"k=\u20AC");
  EXPECT_TRUE(document.Parse(nullptr, 0));
  EXPECT_EQ(document.Length(), 0u);
}

// ---- Properties mode ----

struct EscapeCase {
  const char* name;
  std::string file;
  std::u16string text;
};

TEST(IniDocumentProperties, DecodesEscapesOnLoading) {
  const EscapeCase cases[] = {
      {"latin letters", "k=\\u00FC\\u00df", u"k=\u00FC\u00DF"},
      {"above 0xFF", "k=\\u20ac!", u"k=\u20AC!"},
      {"fewer than four digits", "k=\\u41", u"k=A"},
      {"non-digits after the digits are kept", "k=\\u4Gxy", u"k=\u0004Gxy"},
      {"no digit: stays", "path=C:\\users\\x", u"path=C:\\users\\x"},
      {"at the very end", "k=\\u", u"k=\\u"},
      {"double backslash does not protect", "k=\\\\u0041", u"k=\\A"},
      {"decoded backslash is not decoded again", "k=\\u005Cu0041", u"k=\\u0041"},
      {"escaped NUL stays as written", "a=\\u0000\nb=2", u"a=\\u0000\nb=2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LoadedDocument file(c.file, true, "a.properties");
    ASSERT_TRUE(file.loaded());
    EXPECT_EQ(Text(file.doc()), c.text);
  }
}

TEST(IniDocumentProperties, SavesLatinAsBytesAndWideAsUpperCaseEscapes) {
  LoadedDocument file("a=\\u00fc\\u00df\nb=\\u20ac\nc=1\n", true, "a.properties");
  ASSERT_TRUE(file.loaded());
  ASSERT_TRUE(file.doc().ReplaceValue(2, u"\u0416\u00E9"));
  const std::string expected = "a=\xFC\xDF\nb=\\u20AC\nc=\\u0416\xE9\n";
  EXPECT_EQ(file.doc().Save(file.path()), expected.size());
  EXPECT_EQ(file.bytes(), expected);
}

TEST(IniDocumentProperties, Utf16FileStillEscapesWideCharacters) {
  LoadedDocument file(Utf16Bytes(u"k=\u20AC\u00E9\r\n"), true, "u.properties");
  ASSERT_TRUE(file.loaded());
  EXPECT_TRUE(file.doc().IsUnicode());
  const std::u16string saved = u"k=\\u20AC\u00E9\r\n";
  EXPECT_EQ(file.doc().Save(file.path()), saved.size());
  EXPECT_EQ(file.bytes(), Utf16Bytes(saved));
}

TEST(IniDocumentProperties, WithoutPropertiesModeEscapesAreText) {
  LoadedDocument file("k=\\u00FC");
  EXPECT_EQ(Text(file.doc()), u"k=\\u00FC");
}

// ---- The 8-bit encoding cannot hold every character ----

TEST(IniDocumentSave, RefusesCharactersThe8BitFileCannotStore) {
  LoadedDocument file("a=1\r\nb=2\r\n");
  ASSERT_TRUE(file.loaded());
  EXPECT_TRUE(file.doc().CanEncodeText());
  ASSERT_TRUE(file.doc().ReplaceValue(0, u"\u20AC"));
  EXPECT_FALSE(file.doc().CanEncodeText());
  EXPECT_EQ(file.doc().Save(file.path()), 0u);
  EXPECT_EQ(file.bytes(), "a=1\r\nb=2\r\n");
  EXPECT_EQ(FolderListing(file.folder().path()), "s.ini");

  ASSERT_TRUE(file.doc().ReplaceValue(0, u"\u00FF"));  // still one byte
  EXPECT_TRUE(file.doc().CanEncodeText());
  EXPECT_EQ(file.doc().Save(file.path()), 10u);
  EXPECT_EQ(file.bytes(), "a=\xFF\r\nb=2\r\n");

  file.doc().SetUnicode(true);  // a UTF-16 document stores everything
  ASSERT_TRUE(file.doc().ReplaceValue(1, u"\u20AC"));
  EXPECT_TRUE(file.doc().CanEncodeText());
}

// ---- Lookups ----

const char kLookupText[] =
    "top=0\r\n"
    "[Window]\r\n"
    "MainWindowWidth=800\r\n"
    "Width=640\r\n"
    " Height = 480\r\n"
    "Title=see [Colors] too\r\n"
    "Last=end\r\n"
    "[Colors]\r\n"
    "Back=#FF8000\r\n"
    "Count=  -42\r\n"
    "Big=99999999999\r\n"
    "Word=abc\r\n"
    "Flag=no\r\n"
    "On=Yes\r\n"
    "Empty=\r\n"
    "LongFlag=yes please!\r\n"
    "[Other]\r\n"
    "Width=3";

struct LookupCase {
  const char16_t* section;
  const char16_t* key;
  bool found;
  std::u16string value;
};

TEST(IniDocumentLookup, FindValueFollowsTheTextualRules) {
  CIniDocument document;
  document.Parse(kLookupText, sizeof kLookupText - 1);
  const LookupCase cases[] = {
      {u"Window", u"Width", true, u"800"},          // tail of MainWindowWidth comes first
      {u"Window", u"Height", false, u""},           // the key is " Height "
      {u"Window", u" Height ", true, u" 480"},
      {u"Window", u"Last", true, u"end"},           // last line before the next header
      {u"Colors", u"Back", false, u""},             // "[Colors]" inside Title's value wins
      {u"Colors", u"Last", true, u"end"},
      {u"", u"top", true, u"0"},                    // empty section: the whole text
      {u"", u"Back", true, u"#FF8000"},
      {u"Other", u"Width", true, u"3"},             // at the end of the text
      {u"Missing", u"Width", false, u""},
      {u"Window", u"", false, u""},
      {u"window", u"Width", false, u""},            // case matters
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(TextToUtf8(std::u16string(c.section) + u"/" + c.key));
    size_t start = 0, length = 0;
    EXPECT_EQ(document.FindValue(c.section, c.key, &start, &length), c.found);
    if (c.found) {
      EXPECT_EQ(std::u16string(document.Text() + start, length), c.value);
    }
  }
}

TEST(IniDocumentLookup, TypedGetters) {
  std::string text = kLookupText;
  text += "\r\n[More]\r\nHundred=" + std::string(100, '7') + "\r\nTooLong=" + std::string(101, '7') +
          "\r\nSigned=+7x\r\n";
  CIniDocument document;
  document.Parse(text.data(), text.size());

  char16_t small[4];
  EXPECT_TRUE(document.GetString(u"Other", u"Width", small, 4));
  EXPECT_EQ(std::u16string(small), u"3");
  EXPECT_FALSE(document.GetString(u"", u"Back", small, 4));  // "#FF8000" does not fit
  EXPECT_TRUE(document.GetString(u"", u"Empty", small, 1));

  struct IntCase {
    const char16_t* section;
    const char16_t* key;
    bool ok;
    int value;
  };
  const IntCase ints[] = {
      {u"Window", u"Width", true, 800},  {u"", u"Count", true, -42},  {u"", u"Word", false, 0},
      {u"", u"Empty", false, 0},         {u"More", u"Signed", true, 7}, {u"", u"Big", true, 2147483647},
      {u"More", u"Hundred", true, 2147483647}, {u"More", u"TooLong", false, 0},
  };
  for (const auto& c : ints) {
    SCOPED_TRACE(TextToUtf8(c.key));
    int value = 0;
    EXPECT_EQ(document.GetInt(c.section, c.key, &value), c.ok);
    if (c.ok) {
      EXPECT_EQ(value, c.value);
    }
  }

  struct BoolCase {
    const char16_t* key;
    bool ok;
    int value;
  };
  const BoolCase bools[] = {{u"Flag", true, 0}, {u"On", true, 1}, {u"Empty", true, 0},
                            {u"top", true, 0},  {u"LongFlag", false, 0}, {u"Back", true, 1}};
  for (const auto& c : bools) {
    SCOPED_TRACE(TextToUtf8(c.key));
    int value = -1;
    EXPECT_EQ(document.GetBool(u"", c.key, &value), c.ok);
    if (c.ok) {
      EXPECT_EQ(value, c.value);
    }
  }
}

// ---- Walking entries and sections ----

TEST(IniDocumentWalk, EntriesAndSectionsInOrder) {
  const char text[] = "\xEF; c=1\n# also\n\nk0=v0\nno equals\n[A]\r\nk1=v1\r\n\r\n[B]\nk2=\nk3=x=y";
  CIniDocument document;
  document.Parse(text, sizeof text - 1);
  char16_t key[CIniDocument::kFieldCapacity], value[CIniDocument::kFieldCapacity];
  char16_t section[CIniDocument::kFieldCapacity];

  // Without stopping, every key line.
  std::vector<std::u16string> all;
  while (document.NextEntry(key, value)) all.push_back(std::u16string(key) + u"|" + value);
  EXPECT_EQ(all, (std::vector<std::u16string>{u"\u00EF; c|1", u"k0|v0", u"k1|v1", u"k2|", u"k3|x=y"}))
      << "a line starting with another character is a key line when it has '='";
  EXPECT_FALSE(document.NextEntry(key, value));

  // Section by section.
  document.ResetCursor();
  std::vector<std::u16string> walk;
  while (true) {
    while (document.NextEntry(key, value, true)) walk.push_back(key);
    if (!document.NextSection(section)) break;
    walk.push_back(u"[" + std::u16string(section) + u"]");
  }
  EXPECT_EQ(walk, (std::vector<std::u16string>{u"\u00EF; c", u"k0", u"[A]", u"k1", u"[B]", u"k2", u"k3"}));

  EXPECT_TRUE(document.FindSection(u"A"));
  EXPECT_TRUE(document.NextEntry(key, value, true));
  EXPECT_EQ(std::u16string(key), u"k1");
  EXPECT_FALSE(document.FindSection(u"C"));
}

TEST(IniDocumentWalk, CutsLongFieldsAndRefusesLongSectionNames) {
  std::string text = "k=" + std::string(6000, 'v') + "\n[" + std::string(5000, 's') + "]\n";
  CIniDocument document;
  document.Parse(text.data(), text.size());
  char16_t key[CIniDocument::kFieldCapacity], value[CIniDocument::kFieldCapacity];
  ASSERT_TRUE(document.NextEntry(key, value));
  EXPECT_EQ(TextLength(value), 4999u);
  char16_t section[CIniDocument::kFieldCapacity];
  EXPECT_FALSE(document.NextSection(section));
}

// ---- ReplaceValue ----

TEST(IniDocumentReplace, MissingEntryFailsAndTheCursorStays) {
  CIniDocument document;
  document.Parse("a=1\nb=2\n", 8);
  char16_t key[CIniDocument::kFieldCapacity], value[CIniDocument::kFieldCapacity];
  ASSERT_TRUE(document.NextEntry(key, value));
  size_t cursor = document.Cursor();
  EXPECT_FALSE(document.ReplaceValue(2, u"x"));
  EXPECT_EQ(document.Cursor(), cursor);
  EXPECT_TRUE(document.ReplaceValue(0, u"long value"));
  EXPECT_EQ(document.Cursor(), cursor);
  EXPECT_EQ(Text(document), u"a=long value\nb=2\n");
}

// A plain model of the document's replacement: walk the key lines from the
// top each time and splice the text.
class NaiveModel {
 public:
  explicit NaiveModel(std::u16string text) : text_(std::move(text)) {}
  bool Replace(size_t entry, const std::u16string& value) {
    size_t position = 0, count = 0;
    while (position < text_.size()) {
      size_t end = position;
      while (end < text_.size() && text_[end] != u'\r' && text_[end] != u'\n') ++end;
      std::u16string line = text_.substr(position, end - position);
      size_t next = end;
      if (next < text_.size()) next += (text_[next] == u'\r' && next + 1 < text_.size() && text_[next + 1] == u'\n') ? 2 : 1;
      std::u16string tested = !line.empty() && line[0] == 0xFEFF ? line.substr(1) : line;
      size_t equals = line.find(u'=');
      if (!tested.empty() && tested[0] != u';' && tested[0] != u'#' && tested[0] != u'[' &&
          equals != std::u16string::npos) {
        if (count++ == entry) {
          text_.replace(position + equals + 1, end - position - equals - 1, value);
          return true;
        }
      }
      position = next;
    }
    return false;
  }
  const std::u16string& text() const { return text_; }

 private:
  std::u16string text_;
};

TEST(IniDocumentReplace, DeferredReplacementMatchesReplacingAtOnce) {
  std::mt19937 random(12345);
  const std::u16string values[] = {u"", u"1", u"a much longer value than before", u"=", u"[x]", u"\u20AC",
                                   u"two\nlines", u"cr\rend", u"k=v\r\nnew=line", u";"};
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    std::string text;
    const int lines = 5 + random() % 40;
    for (int i = 0; i < lines; ++i) {
      switch (random() % 6) {
        case 0: text += "[S" + std::to_string(i) + "]"; break;
        case 1: text += "; note"; break;
        case 2: text += ""; break;
        default: text += "key" + std::to_string(i) + "=value" + std::to_string(i); break;
      }
      text += (random() % 3 == 0) ? "\r\n" : (random() % 2 ? "\n" : "\r");
    }
    CIniDocument deferred, immediate;
    deferred.Parse(text.data(), text.size());
    immediate.Parse(text.data(), text.size());
    NaiveModel model(Widen(text));
    char16_t keyA[CIniDocument::kFieldCapacity], valueA[CIniDocument::kFieldCapacity];
    char16_t keyB[CIniDocument::kFieldCapacity], valueB[CIniDocument::kFieldCapacity];
    for (int step = 0; step < 60; ++step) {
      const int action = random() % 10;
      if (action < 6) {
        const size_t entry = random() % (lines + 2);
        const std::u16string& value = values[random() % 10];
        const bool done = deferred.ReplaceValue(entry, value.c_str());
        EXPECT_EQ(immediate.ReplaceValue(entry, value.c_str()), done);
        immediate.Text();  // reading applies the replacement at once
        EXPECT_EQ(model.Replace(entry, value), done);
      } else if (action < 8) {
        const bool stop = random() % 2;
        const bool a = deferred.NextEntry(keyA, valueA, stop);
        ASSERT_EQ(immediate.NextEntry(keyB, valueB, stop), a);
        if (a) {
          EXPECT_EQ(std::u16string(keyA), std::u16string(keyB));
          EXPECT_EQ(std::u16string(valueA), std::u16string(valueB));
        }
        EXPECT_EQ(deferred.Cursor(), immediate.Cursor());
      } else if (action == 8) {
        size_t s1 = 0, l1 = 0, s2 = 0, l2 = 0;
        const std::u16string key = u"key" + Utf8ToText(std::to_string(random() % lines));
        ASSERT_EQ(deferred.FindValue(u"", key.c_str(), &s1, &l1), immediate.FindValue(u"", key.c_str(), &s2, &l2));
        EXPECT_EQ(s1, s2);
        EXPECT_EQ(l1, l2);
      } else {
        deferred.ResetCursor();
        immediate.ResetCursor();
      }
    }
    EXPECT_EQ(Text(deferred), model.text());
    EXPECT_EQ(Text(immediate), model.text());
  }
}

TEST(IniDocumentReplace, EveryEntryReplacedThenSaved) {
  std::string text;
  for (int i = 0; i < 3000; ++i) {
    if (i % 50 == 0) text += "[Section" + std::to_string(i / 50) + "]\r\n";
    text += "Key" + std::to_string(i) + "=" + std::string(i % 17, 'v') + "\r\n";
  }
  LoadedDocument file(text);
  ASSERT_TRUE(file.loaded());
  std::string expected;
  for (int i = 0; i < 3000; ++i) {
    if (i % 50 == 0) expected += "[Section" + std::to_string(i / 50) + "]\r\n";
    std::string value = std::string((i * 7) % 23, 'n');
    expected += "Key" + std::to_string(i) + "=" + value + "\r\n";
    // The same entry replaced twice: the last value counts.
    ASSERT_TRUE(file.doc().ReplaceValue(i, u"first"));
    ASSERT_TRUE(file.doc().ReplaceValue(i, Widen(value).c_str()));
  }
  EXPECT_FALSE(file.doc().ReplaceValue(3000, u"x"));
  EXPECT_EQ(file.doc().Save(file.path()), expected.size());
  EXPECT_EQ(file.bytes(), expected);
}

}  // namespace
