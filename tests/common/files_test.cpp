#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/plain_file.h"
#include "common/text16.h"
#include "tests/common/files_test_support.h"

namespace {

using testfiles::FolderListing;
using testfiles::ReadBytes;
using testfiles::TempFolder;
using testfiles::Utf16Bytes;
using testfiles::WriteBytes;

// ---- CPlainFile ----

TEST(PlainFile, OpenReadSeekAndTell) {
  TempFolder folder;
  WriteBytes(folder.Native("data.bin"), "0123456789");
  CPlainFile file;
  EXPECT_EQ(file.OpenRead(nullptr), 0);
  EXPECT_EQ(file.OpenRead(u""), 0);
  EXPECT_EQ(file.OpenRead(folder.File("missing.bin").c_str()), 0);
  EXPECT_EQ(file.Close(), 1);  // nothing open

  ASSERT_EQ(file.OpenRead(folder.File("data.bin").c_str()), 1);
  EXPECT_EQ(file.Size(), 10u);
  char buffer[8] = {};
  EXPECT_EQ(file.SeekFromEnd(3), 7u);
  EXPECT_EQ(file.Read(buffer, 8), 3u);
  EXPECT_EQ(std::string(buffer, 3), "789");
  EXPECT_EQ(file.SeekTo(2), 2u);
  EXPECT_EQ(file.SeekBy(3), 5u);
  EXPECT_EQ(file.Tell(), 5u);
  EXPECT_EQ(file.Read(buffer, 0), 0u);
  EXPECT_EQ(file.Write("x", 1), 0u);  // opened for reading only
  EXPECT_EQ(file.Close(), 1);
  EXPECT_EQ(file.Read(buffer, 1), 0u);
  EXPECT_EQ(file.Tell(), CPlainFile::kSeekFailed);
}

TEST(PlainFile, OpenWriteTruncatesAndOpenNewRefusesExisting) {
  TempFolder folder;
  auto path = folder.File("out.bin");
  WriteBytes(folder.Native("out.bin"), "old content");
  CPlainFile file;
  ASSERT_EQ(file.OpenWrite(path.c_str()), 1);
  EXPECT_EQ(file.Write("new", 3), 3u);
  file.Close();
  EXPECT_EQ(ReadBytes(folder.Native("out.bin")), "new");
  EXPECT_EQ(file.OpenNew(path.c_str()), 0);
  EXPECT_EQ(file.OpenNew(folder.File("fresh.bin").c_str()), 1);
}

TEST(PlainFile, FolderIsNotAFile) {
  TempFolder folder;
  EXPECT_FALSE(FileExists(folder.path().u16string().c_str()));
  EXPECT_FALSE(FileExists(folder.File("none").c_str()));
  WriteBytes(folder.Native("here"), "");
  EXPECT_TRUE(FileExists(folder.File("here").c_str()));
}

// ---- CTextFile ----

struct ReadCase {
  const char* name;
  std::string bytes;
  bool skipCR;
  uint32_t n;
  int result;
  std::u16string text;
};

TEST(TextFile, ReadCharsDecodesAndDrops) {
  const std::string big8(70000, 'a');
  const ReadCase cases[] = {
      {"crlf skipped", "A\r\nB", true, 10, 3, u"A\nB"},
      {"crlf kept", "A\r\nB", false, 10, 4, u"A\r\nB"},
      {"empty file", "", true, 10, -1, u""},
      {"one character", "Z", true, 10, 1, u"Z"},
      {"only carriage returns", "\r\r\r", true, 10, -1, u""},
      {"stops after n", "ABCDEF", true, 4, 4, u"ABCD"},
      {"byte value kept", "\xE9\xFF", true, 10, 2, u"\u00E9\u00FF"},
      {"utf16 mark dropped", Utf16Bytes(u"A\u20ACB"), true, 10, 3, u"A\u20ACB"},
      {"utf16 mark inside dropped", Utf16Bytes(u"A\uFEFFB\r\n"), true, 10, 3, u"AB\n"},
      {"utf16 only mark", Utf16Bytes(u""), true, 10, -1, u""},
      {"utf16 odd last byte", Utf16Bytes(u"AB") + "C", true, 10, 2, u"AB"},
      {"8-bit FF FE is not a mark when short", "\xFF", true, 10, 1, u"\u00FF"},
      {"larger than one block", big8, true, 70000, 70000, std::u16string(70000, u'a')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    WriteBytes(folder.Native("t.txt"), c.bytes);
    CTextFile file;
    file.SetSkipCR(c.skipCR);
    ASSERT_EQ(file.OpenRead(folder.File("t.txt").c_str()), 1);
    std::u16string out(c.n + 1, u'#');
    int got = file.ReadChars(&out[0], c.n);
    EXPECT_EQ(got, c.result);
    if (got >= 0) {
      EXPECT_EQ(out.substr(0, got), c.text);
      EXPECT_EQ(out[got], 0);
    } else {
      EXPECT_EQ(out[0], u'#');  // nothing written
    }
  }
}

TEST(TextFile, ReadingInPiecesLeavesThePositionBehindTheLastCharacter) {
  // Character by character the reader would stop right behind the n-th
  // stored character, dropped ones included; the block reader must too.
  struct Case {
    std::string bytes;
    bool unicode;
    bool skipCR;
  };
  std::u16string text = u"ab\r\ncd\r\r\ref\r\n";
  for (int i = 0; i < 3000; ++i) text += (i % 7 == 0) ? u'\r' : static_cast<char16_t>(u'a' + i % 26);
  const std::string eightBit(text.begin(), text.end());
  const Case cases[] = {{eightBit, false, true}, {Utf16Bytes(text), true, true}, {eightBit, false, false},
                        {Utf16Bytes(text), true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.unicode ? "utf16" : "8-bit") + (c.skipCR ? " without CR" : " with CR"));
    std::u16string expected;
    std::vector<size_t> origin;  // index in text of each expected character
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == u'\r' && c.skipCR) continue;
      expected += text[i];
      origin.push_back(i);
    }
    TempFolder folder;
    WriteBytes(folder.Native("t.txt"), c.bytes);
    CTextFile file;
    file.SetSkipCR(c.skipCR);
    ASSERT_EQ(file.OpenRead(folder.File("t.txt").c_str()), 1);
    EXPECT_EQ(file.IsUnicode(), c.unicode);
    EXPECT_EQ(file.LengthInCharacters(), c.unicode ? text.size() + 1 : text.size());
    std::u16string collected;
    const uint32_t pieces[] = {1, 2, 3, 5, 8, 13, 21, 34, 55, 89, 144, 233, 377, 610, 987, 5000};
    for (uint32_t n : pieces) {
      std::u16string out(n + 1, 0);
      int got = file.ReadChars(&out[0], n);
      if (got < 0) break;
      collected += out.substr(0, got);
      const uint32_t unit = c.unicode ? 2 : 1;
      EXPECT_EQ(file.Tell(), (origin[collected.size() - 1] + 1) * unit + (c.unicode ? 2 : 0)) << "after " << n;
      // The next character still in the file follows the ones stored.
      if (static_cast<uint32_t>(got) == n && collected.size() < expected.size()) {
        uint32_t position = file.Tell();
        std::u16string one(2, 0);
        ASSERT_EQ(file.ReadChars(&one[0], 1), 1);
        EXPECT_EQ(one[0], expected[collected.size()]);
        file.SeekTo(position);
      }
    }
    EXPECT_EQ(collected, expected);
  }
}

TEST(TextFile, MarkIsNotSkippedOnOpening) {
  TempFolder folder;
  WriteBytes(folder.Native("u.txt"), Utf16Bytes(u"Hi"));
  CTextFile file;
  ASSERT_EQ(file.OpenRead(folder.File("u.txt").c_str()), 1);
  EXPECT_TRUE(file.IsUnicode());
  EXPECT_EQ(file.Tell(), 0u);
  // The updater's reader keeps the mark as the first character.
  file.SetDropByteOrderMark(false);
  char16_t out[8];
  ASSERT_EQ(file.ReadChars(out, 7), 3);
  EXPECT_EQ(std::u16string(out), u"\uFEFFHi");
}

// ---- WriteTextFile ----

struct WriteCase {
  const char* name;
  TextEncoding encoding;
  std::u16string text;
  std::string bytes;
};

template <class Text>
Text Repeated(const Text& piece, size_t times) {
  Text out;
  for (size_t i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(WriteTextFile, WritesExactBytes) {
  const WriteCase cases[] = {
      {"8-bit", TextEncoding::kBytes, u"a=1\r\nb=\u00E9\n", "a=1\r\nb=\xE9\n"},
      {"8-bit keeps the low byte", TextEncoding::kBytes, u"\u20AC\u0141", "\xAC\x41"},
      {"utf16 with mark", TextEncoding::kUtf16, u"k=\u20AC", Utf16Bytes(u"k=\u20AC")},
      {"utf8 with mark", TextEncoding::kUtf8Marked, u"k=\u20AC", "\xEF\xBB\xBFk=\xE2\x82\xAC"},
      {"long text crosses blocks", TextEncoding::kBytes, std::u16string(150000, u'x'), std::string(150000, 'x')},
      {"utf8 pairs across blocks", TextEncoding::kUtf8, u"x" + Repeated<std::u16string>(u"\U0001F600", 20000),
       "x" + Repeated<std::string>("\xF0\x9F\x98\x80", 20000)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    auto path = folder.File("out.txt");
    EXPECT_EQ(WriteTextFile(path.c_str(), c.encoding, c.text.c_str(), c.text.size()), c.text.size());
    EXPECT_EQ(ReadBytes(folder.Native("out.txt")), c.bytes);
    EXPECT_EQ(FolderListing(folder.path()), "out.txt");  // no temporary file left
  }
}

TEST(WriteTextFile, ReplacesAnExistingFileWholly) {
  TempFolder folder;
  WriteBytes(folder.Native("s.ini"), std::string(5000, 'o'));
  auto path = folder.File("s.ini");
  EXPECT_EQ(WriteTextFile(path.c_str(), false, u"short"), 5u);
  EXPECT_EQ(ReadBytes(folder.Native("s.ini")), "short");
  EXPECT_EQ(FolderListing(folder.path()), "s.ini");
}

TEST(WriteTextFile, EmptyTextCountsNothing) {
  TempFolder folder;
  auto path = folder.File("e.txt");
  EXPECT_EQ(WriteTextFile(path.c_str(), true, u""), 0u);
  EXPECT_EQ(ReadBytes(folder.Native("e.txt")), "\xFF\xFE");
}

TEST(WriteTextFile, CreatesOneMissingFolderLevel) {
  TempFolder folder;
  auto oneLevel = folder.File("new") + u"/x.ini";
  EXPECT_EQ(WriteTextFile(oneLevel.c_str(), false, u"a=1"), 3u);
  EXPECT_EQ(ReadBytes(folder.Native("new") / "x.ini"), "a=1");
  auto twoLevels = folder.File("a") + u"/b/x.ini";
  EXPECT_EQ(WriteTextFile(twoLevels.c_str(), false, u"a=1"), 0u);
  EXPECT_FALSE(std::filesystem::exists(folder.Native("a") / "b"));
}

TEST(WriteTextFile, FailedReplaceKeepsTheTargetAndRemovesTheTemporary) {
  TempFolder folder;
  // The target is a folder: the finished temporary file cannot take its place.
  std::filesystem::create_directory(folder.Native("taken"));
  WriteBytes(folder.Native("taken") / "inside", "keep");
  auto path = folder.File("taken");
  EXPECT_EQ(WriteTextFile(path.c_str(), false, u"data"), 0u);
  EXPECT_TRUE(std::filesystem::is_directory(folder.Native("taken")));
  EXPECT_EQ(ReadBytes(folder.Native("taken") / "inside"), "keep");
  EXPECT_EQ(FolderListing(folder.path()), "taken");
}

TEST(WriteTextFile, LeftoverTemporaryDoesNotBlockSaving) {
  TempFolder folder;
  WriteBytes(folder.Native("s.ini.~save"), "stale");
  auto path = folder.File("s.ini");
  EXPECT_EQ(WriteTextFile(path.c_str(), false, u"a=1"), 3u);
  EXPECT_EQ(ReadBytes(folder.Native("s.ini")), "a=1");
  EXPECT_EQ(ReadBytes(folder.Native("s.ini.~save")), "stale");
}

// ---- FindFile ----

TEST(FindFile, NameInCurrentFolderComesBackUnchanged) {
  TempFolder folder;
  auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.path());
  WriteBytes(folder.Native("local.cfg"), "x");
  char16_t out[kPathCapacity];
  EXPECT_NE(FindFile(u"local.cfg", out, kPathCapacity), 0u);
  EXPECT_EQ(std::u16string(out), u"local.cfg");
  // A result as long as the capacity does not fit.
  EXPECT_EQ(FindFile(u"local.cfg", out, 9), 0u);
  EXPECT_NE(FindFile(u"local.cfg", out, 10), 0u);
  EXPECT_EQ(FindFile(u"no-such-file-anywhere.cfg", out, kPathCapacity), 0u);
  EXPECT_EQ(FindFile(u"", out, kPathCapacity), 0u);
  std::filesystem::current_path(previous);
}

TEST(FindFile, FindsFileBesideTheProgram) {
  char16_t own[kPathCapacity];
  ASSERT_NE(GetProgramPath(own, kPathCapacity), 0u);
  std::filesystem::path program(std::u16string{own});
  const std::string name = "beside-" + std::to_string(std::random_device{}()) + ".cfg";
  auto beside = program.parent_path() / name;
  WriteBytes(beside, "x");
  TempFolder elsewhere;
  auto previous = std::filesystem::current_path();
  std::filesystem::current_path(elsewhere.path());
  char16_t out[kPathCapacity];
  std::u16string wanted = Utf8ToText(name);
  EXPECT_NE(FindFile(wanted.c_str(), out, kPathCapacity), 0u);
  EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::path(std::u16string{out}), beside));
  std::filesystem::current_path(previous);
  std::filesystem::remove(beside);
}

}  // namespace
