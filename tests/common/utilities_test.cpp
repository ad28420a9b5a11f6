#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/date_text.h"
#include "common/dpi_scale.h"
#include "common/hex_text.h"
#include "common/path_text.h"
#include "common/switch_text.h"
#include "common/text16.h"
#include "common/web_address.h"

namespace {

// A writable copy of a text with room for growth.
std::vector<char16_t> Buffer(const std::u16string& text, size_t capacity = 0) {
  std::vector<char16_t> buffer(text.begin(), text.end());
  buffer.resize(capacity ? capacity : text.size() + 1, 0);
  return buffer;
}

std::u16string Str(const char16_t* text) { return text ? std::u16string(text) : u"<null>"; }

TEST(PathText, Comparisons) {
  struct Case {
    const char16_t* text;
    const char16_t* probe;
    bool starts, ends, endsNoCase;
  } cases[] = {
      {u"settings.ini", u"settings", true, false, false},
      {u"settings.ini", u".ini", false, true, true},
      {u"settings.ini", u".INI", false, false, true},
      {u"C:\\\u00C9T\u00C9.TXT", u"\u00E9t\u00E9.txt", false, false, true},
      {u"ab", u"abc", false, false, false},
      {u"abc", u"", true, true, true},
      {nullptr, u"a", false, false, false},
      {u"a", nullptr, false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(TextToUtf8(Str(c.text) + u" / " + Str(c.probe)));
    EXPECT_EQ(StartsWith(c.text, c.probe), c.starts);
    EXPECT_EQ(EndsWith(c.text, c.probe), c.ends);
    EXPECT_EQ(EndsWithNoCase(c.text, c.probe), c.endsNoCase);
  }
}

TEST(PathText, CharactersAndPrefixes) {
  auto b = Buffer(u"key=value=more");
  char16_t* cut = CutAtChar(b.data(), u'=');
  ASSERT_EQ(cut, b.data() + 3);
  EXPECT_EQ(std::u16string(b.data()), u"key");
  EXPECT_EQ(CutAtChar(b.data(), u'#'), nullptr);
  EXPECT_EQ(CutAtChar(nullptr, u'#'), nullptr);

  EXPECT_EQ(CountChar(u"a;b;;c", u';'), 3u);
  EXPECT_EQ(CountChar(nullptr, u';'), 0u);
  EXPECT_EQ(CommonPrefixLength(u"Options", u"Optional"), 6u);
  EXPECT_EQ(CommonPrefixLength(u"same", u"same"), 4u);
  EXPECT_EQ(CommonPrefixLength(u"", u"x"), 0u);
  EXPECT_EQ(CommonPrefixLength(nullptr, u"x"), 0u);
}

TEST(PathText, ReplaceAllNeverRescansReplacements) {
  struct Case {
    const char16_t* text;
    const char16_t* find;
    const char16_t* replacement;
    const char16_t* expected;
  } cases[] = {
      {u"First\\nSecond", u"\\n", u"\r\n", u"First\r\nSecond"},
      {u"aaa", u"a", u"aa", u"aaaaaa"},       // growth is not rescanned
      {u"abab", u"ab", u"b", u"bb"},          // a shrinking match is not re-formed
      {u"xx", u"x", u"", u""},
      {u"none here", u"zz", u"q", u"none here"},
      {u"", u"a", u"b", u""},
      {u"\\n\\n", u"\\n", u"\r\n", u"\r\n\r\n"},
  };
  for (const auto& c : cases) {
    auto b = Buffer(c.text, 64);
    EXPECT_TRUE(ReplaceAll(b.data(), b.size(), c.find, c.replacement));
    EXPECT_EQ(std::u16string(b.data()), c.expected) << TextToUtf8(c.text);
  }
}

TEST(PathText, ReplaceAllCutsAtCapacityAndRefusesEmptyFind) {
  auto b = Buffer(u"a-b-c", 8);
  EXPECT_FALSE(ReplaceAll(b.data(), 8, u"-", u"###"));
  EXPECT_EQ(std::u16string(b.data()), u"a###b##");  // 7 characters and the terminator
  auto same = Buffer(u"abc");
  EXPECT_FALSE(ReplaceAll(same.data(), same.size(), u"", u"x"));
  EXPECT_FALSE(ReplaceAll(same.data(), same.size(), nullptr, u"x"));
  EXPECT_EQ(std::u16string(same.data()), u"abc");
}

TEST(PathText, FolderAndFileNameParts) {
  struct Case {
    const char16_t* path;
    const char16_t* folderStripped;
    const char16_t* fileNameStripped;
  } cases[] = {
      {u"C:\\Program Files\\App\\settings.ini", u"settings.ini", u"C:\\Program Files\\App"},
      {u"settings.ini", u"settings.ini", u""},
      {u"C:\\dir\\", u"", u"C:\\dir"},
      {u"\"C:\\a b\\app.exe\"", u"app.exe\"", u"\"C:\\a b\""},
      {u"\"quoted-no-slash\"", u"\"quoted-no-slash\"", u""},
      {u"", u"", u""},
  };
  for (const auto& c : cases) {
    auto a = Buffer(c.path);
    StripFolder(a.data());
    EXPECT_EQ(std::u16string(a.data()), c.folderStripped) << TextToUtf8(c.path);
    auto b = Buffer(c.path);
    StripFileName(b.data());
    EXPECT_EQ(std::u16string(b.data()), c.fileNameStripped) << TextToUtf8(c.path);
  }
}

TEST(PathText, Extensions) {
  struct Case {
    const char16_t* path;
    bool has;
    const char16_t* stripped;
  } cases[] = {
      {u"app.conf", true, u"app"},
      {u"C:\\my.dir\\config", false, u"C:\\my.dir\\config"},
      {u"C:\\my.dir\\config.ini", true, u"C:\\my.dir\\config"},
      {u"archive.tar.gz", true, u"archive.tar"},
      {u"trailing.", false, u"trailing"},
      {u".hidden", true, u""},
      {u"plain", false, u"plain"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HasExtension(c.path), c.has) << TextToUtf8(c.path);
    auto b = Buffer(c.path);
    StripExtension(b.data());
    EXPECT_EQ(std::u16string(b.data()), c.stripped) << TextToUtf8(c.path);
  }
  EXPECT_FALSE(HasExtension(nullptr));
}

TEST(PathText, KeepExtension) {
  auto pattern = Buffer(u"*.ini");
  EXPECT_EQ(KeepExtension(pattern.data()), pattern.data());
  EXPECT_EQ(std::u16string(pattern.data()), u".ini");
  auto dotted = Buffer(u"a.b.txt");
  KeepExtension(dotted.data());
  EXPECT_EQ(std::u16string(dotted.data()), u".txt");
  auto none = Buffer(u"noext");
  EXPECT_EQ(KeepExtension(none.data()), nullptr);
  EXPECT_EQ(std::u16string(none.data()), u"noext");
  EXPECT_EQ(KeepExtension(nullptr), nullptr);
}

TEST(PathText, ReplaceExtension) {
  struct Case {
    const char16_t* extension;
    const char16_t* path;
    const char16_t* expected;
  } cases[] = {
      {u".INI", u"C:\\app\\settings.ini", u"C:\\app\\settings.ini"},  // already, ignoring case
      {u".INI", u"C:\\app\\app.conf", u"C:\\app\\app.INI"},
      {u".INI", u"C:\\v1.2\\config", u"C:\\v1.2\\config.INI"},        // folder dot untouched
      {u"ITP", u"settings.ini", u"settings.ITP"},                      // dot added
      {u".txt", u"name.", u"name.txt"},
  };
  for (const auto& c : cases) {
    auto b = Buffer(c.path, 64);
    EXPECT_TRUE(ReplaceExtension(c.extension, b.data(), b.size()));
    EXPECT_EQ(std::u16string(b.data()), c.expected) << TextToUtf8(c.path);
  }
}

TEST(PathText, ReplaceExtensionThatDoesNotFitLeavesThePath) {
  auto b = Buffer(u"abc.x", 8);
  EXPECT_FALSE(ReplaceExtension(u".long", b.data(), 8));  // "abc.long" needs 9
  EXPECT_EQ(std::u16string(b.data()), u"abc.x");
  EXPECT_TRUE(ReplaceExtension(u".lon", b.data(), 8));     // exactly 7 + terminator
  EXPECT_EQ(std::u16string(b.data()), u"abc.lon");
  EXPECT_FALSE(ReplaceExtension(u".ini", nullptr, 8));
}

TEST(HexText, DigitValues) {
  struct Case {
    char16_t c;
    unsigned value;
  } cases[] = {{u'0', 0}, {u'9', 9}, {u'a', 10}, {u'f', 15}, {u'z', 35},
               {u'A', 10}, {u'Z', 35}, {u'#', 0x23}, {0x1234, 0x34}};
  for (const auto& c : cases) EXPECT_EQ(HexDigitValue(c.c), c.value) << int(c.c);
}

TEST(HexText, HexToBytesPairsFromTheRight) {
  struct Case {
    const char16_t* text;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {u"1A2B3C4D", {0x1A, 0x2B, 0x3C, 0x4D}},
      {u"abc", {0x0A, 0xBC}},
      {u"4800", {0x48, 0x00}},
      {u"f", {0x0F}},
      {u"12xy34", {0x12}},  // only the leading run counts
      {u"", {}},
      {u"zz", {}},
  };
  for (const auto& c : cases) {
    uint8_t out[8] = {};
    size_t n = HexToBytes(c.text, out, sizeof out);
    EXPECT_EQ(std::vector<uint8_t>(out, out + n), c.bytes) << TextToUtf8(c.text);
  }
}

TEST(HexText, HexToBytesKeepsToCapacity) {
  uint8_t out[3] = {0xEE, 0xEE, 0xEE};
  EXPECT_EQ(HexToBytes(u"0102030405", out, 2), 2u);  // the first four digits
  EXPECT_EQ(out[0], 0x01);
  EXPECT_EQ(out[1], 0x02);
  EXPECT_EQ(out[2], 0xEE);
  EXPECT_EQ(HexToBytes(u"123", out, 1), 1u);          // "12"
  EXPECT_EQ(out[0], 0x12);
}

TEST(HexText, BytesAndDwordsToText) {
  char16_t text[kDwordHexCapacity];
  EXPECT_EQ(DwordToHex(0x1A2B3C4D, text, kDwordHexCapacity), 8u);
  EXPECT_EQ(std::u16string(text), u"1A2B3C4D");
  uint8_t back[4];
  ASSERT_EQ(HexToBytes(text, back, 4), 4u);
  EXPECT_EQ(back[0], 0x1A);
  EXPECT_EQ(back[3], 0x4D);
  DwordToHex(0x00FF8000, text, kDwordHexCapacity);
  EXPECT_EQ(std::u16string(text), u"00FF8000");

  const uint8_t bytes[] = {0x01, 0xAB, 0xF0};
  char16_t small[6];
  EXPECT_EQ(BytesToHex(bytes, 3, small, sizeof small / sizeof small[0]), 4u);  // whole bytes only
  EXPECT_EQ(std::u16string(small), u"F0AB");
  char16_t big[16];
  BytesToHex(bytes, 3, big, 16);
  EXPECT_EQ(std::u16string(big), u"F0AB01");
}

TEST(HexText, ParseColour) {
  struct Case {
    const char16_t* text;
    uint32_t colour;
  } cases[] = {
      {u"#FF8000", 0x000080FF}, {u"0xFF8000", 0x000080FF}, {u"FF8000", 0x000080FF},
      {u"0XFF8000", 0},          // capital X: only the leading 0 is read
      {u"#FF0000", 0x000000FF}, {u"0x0000ff", 0x00FF0000}, {u"G00000", 0},
      {u"", 0},                  {u"#", 0},                 {u"102030", 0x00302010},
      {u"ff", 0x00FF0000},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseColour(c.text), c.colour) << TextToUtf8(c.text);
  EXPECT_EQ(ParseColour(nullptr), 0u);
}

TEST(SwitchText, Values) {
  const char16_t* line =
      u"app.exe /INI:\"C:\\my files\\a.ini\" /ITP:C:\\x.itp /NOTIFY:1234 /EMPTY: /Q:\"open";
  struct Case {
    const char16_t* name;
    bool found;
    const char16_t* value;
  } cases[] = {
      {u"/INI:", true, u"C:\\my files\\a.ini"},
      {u"/ITP:", true, u"C:\\x.itp"},
      {u"/NOTIFY:", true, u"1234"},
      {u"/EMPTY:", true, u""},
      {u"/Q:", true, u"open"},        // unterminated quote runs to the end
      {u"/ini:", false, u"untouched"},  // case-sensitive
      {u"/NONE:", false, u"untouched"},
  };
  for (const auto& c : cases) {
    auto out = Buffer(u"untouched", 64);
    EXPECT_EQ(GetSwitchText(line, c.name, out.data(), out.size()), c.found) << TextToUtf8(c.name);
    EXPECT_EQ(std::u16string(out.data()), c.value) << TextToUtf8(c.name);
  }
}

TEST(SwitchText, LongValuesAreCutAtTheCallersCapacity) {
  std::u16string line = u"x /INI:" + std::u16string(300, u'p') + u" /NODETECT";
  char16_t out[16];
  EXPECT_TRUE(GetSwitchText(line.c_str(), u"/INI:", out, 16));
  EXPECT_EQ(std::u16string(out), std::u16string(15, u'p'));
  EXPECT_EQ(GetSwitchUntil(line.c_str(), u"/INI:", u" ", out, 16), 15u);
  EXPECT_EQ(std::u16string(out), std::u16string(15, u'p'));
}

TEST(SwitchText, UntilStopCharacters) {
  char16_t out[32];
  EXPECT_EQ(GetSwitchUntil(u"a /NOTIFY:77\tnext", u"/NOTIFY:", u" \t\r", out, 32), 2u);
  EXPECT_EQ(std::u16string(out), u"77");
  EXPECT_EQ(GetSwitchUntil(u"a /NOTIFY:77", u"/NOTIFY:", nullptr, out, 32), 2u);
  EXPECT_EQ(GetSwitchUntil(u"a /NOTIFY: 77", u"/NOTIFY:", u" ", out, 32), 0u);
  EXPECT_EQ(GetSwitchUntil(u"a b c", u"/NOTIFY:", u" ", out, 32), 0u);
}

TEST(SwitchText, Numbers) {
  const char16_t* stops = u" \t\r";
  struct Case {
    std::u16string line;
    bool ok;
    uint32_t value;
  } cases[] = {
      {u"x /NOTIFY:1234 /HIDE", true, 1234},
      {u"x /NOTIFY:0", true, 0},
      {u"x /NOTIFY:4294967295", true, 4294967295u},
      {u"x /NOTIFY:4294967296", false, 0},    // does not fit 32 bits
      {u"x /NOTIFY:-5", false, 0},
      {u"x /NOTIFY:12a", false, 0},
      {u"x /NOTIFY: 12", false, 0},           // stop character right after the switch
      {u"x /HIDE", false, 0},
      {u"x /NOTIFY:" + std::u16string(99, u'0'), true, 0},
      {u"x /NOTIFY:" + std::u16string(100, u'0') + u"7", false, 0},  // too long to hold
  };
  for (const auto& c : cases) {
    uint32_t value = 99;
    EXPECT_EQ(GetSwitchNumber(c.line.c_str(), u"/NOTIFY:", stops, &value), c.ok)
        << TextToUtf8(c.line);
    EXPECT_EQ(value, c.ok ? c.value : 99u) << TextToUtf8(c.line);
  }
}

TEST(SwitchText, ParseUnsignedDecimal) {
  struct Case {
    const char16_t* text;
    bool ok;
    uint32_t value;
  } cases[] = {
      {u"", true, 0},      {u"0", true, 0},       {u"42", true, 42},   {u"+7", true, 7},
      {u"  9", true, 9},   {u"-5", false, 0},     {u"5-", false, 0},   {u"12a", false, 0},
      {u" ", false, 0},    {u"+", false, 0},      {u"1 2", false, 0},
      {u"99999999999", false, 0},
  };
  for (const auto& c : cases) {
    uint32_t value = 1000;
    EXPECT_EQ(ParseUnsignedDecimal(c.text, &value), c.ok) << TextToUtf8(c.text);
    EXPECT_EQ(value, c.ok ? c.value : 1000u) << TextToUtf8(c.text);
  }
  EXPECT_FALSE(ParseUnsignedDecimal(nullptr, nullptr));
  EXPECT_TRUE(ParseUnsignedDecimal(u"5", nullptr));
}

TEST(DateText, FormatPadsAsThePatternsSay) {
  DateTimeFields t;
  t.year = 2012; t.month = 5; t.day = 30; t.hour = 7; t.minute = 5; t.second = 9;
  char16_t text[kDateTextCapacity];
  EXPECT_EQ(FormatDate(t, text, kDateTextCapacity), 10u);
  EXPECT_EQ(std::u16string(text), u"2012-05-30");
  EXPECT_EQ(FormatTime(t, text, kDateTextCapacity), 8u);
  EXPECT_EQ(std::u16string(text), u"07:05:09");
  t.year = 12;
  FormatDate(t, text, kDateTextCapacity);
  EXPECT_EQ(std::u16string(text), u"  12-05-30");
  t.year = 65535; t.month = 65535; t.day = 65535;
  FormatDate(t, text, kDateTextCapacity);
  EXPECT_EQ(std::u16string(text), u"65535-65535-65535");
  char16_t small[5];
  EXPECT_EQ(FormatTime(t, small, 5), 4u);
  EXPECT_EQ(std::u16string(small), u"07:0");
}

TEST(DateText, ParseDate) {
  struct Case {
    const char16_t* text;
    bool ok;
    uint16_t year, month, day;
  } cases[] = {
      {u"2012-05-30", true, 2012, 5, 30},
      {u"2012-5-30", false, 0, 0, 0},     // 9 characters
      {u"2012-05-300", false, 0, 0, 0},   // 11 characters
      {u"2012/05/30", false, 0, 0, 0},
      {u"  12-05-30", true, 12, 5, 30},
      {u"2012-13-99", true, 2012, 13, 99},  // no range check
      {u"abcd-ef-gh", false, 0, 0, 0},
      {u"-012-05-30", false, 0, 0, 0},
  };
  for (const auto& c : cases) {
    DateTimeFields t;
    t.hour = 11; t.minute = 12; t.second = 13; t.year = 1;
    EXPECT_EQ(ParseDate(c.text, t), c.ok) << TextToUtf8(c.text);
    if (c.ok) {
      EXPECT_EQ(t.year, c.year);
      EXPECT_EQ(t.month, c.month);
      EXPECT_EQ(t.day, c.day);
    } else {
      EXPECT_EQ(t.year, 1) << "nothing is stored on failure";
    }
    EXPECT_EQ(t.hour, 11);
    EXPECT_EQ(t.second, 13);
  }
  DateTimeFields t;
  EXPECT_FALSE(ParseDate(nullptr, t));
}

TEST(DateText, ParseTime) {
  struct Case {
    const char16_t* text;
    bool ok;
    uint16_t hour, minute, second;
  } cases[] = {
      {u"07:05:09", true, 7, 5, 9},
      {u"7:05:09", false, 0, 0, 0},
      {u"23:59:60", true, 23, 59, 60},
      {u"07-05-09", false, 0, 0, 0},
      {u" 7: 5: 9", true, 7, 5, 9},
  };
  for (const auto& c : cases) {
    DateTimeFields t;
    t.year = 2001; t.month = 2; t.day = 1;
    EXPECT_EQ(ParseTime(c.text, t), c.ok) << TextToUtf8(c.text);
    if (c.ok) {
      EXPECT_EQ(t.hour, c.hour);
      EXPECT_EQ(t.minute, c.minute);
      EXPECT_EQ(t.second, c.second);
    }
    EXPECT_EQ(t.year, 2001);
    EXPECT_EQ(t.day, 1);
  }
}

TEST(WebAddress, OnlyHttpAndHttpsAsOneAddress) {
  struct Case {
    const char16_t* text;
    bool web;
  } cases[] = {
      {u"http://example.com", true},
      {u"HTTPS://example.com/notes/?a=1&b=2#top", true},
      {u"https://example.com:8443/x", true},
      {u"", false},
      {u"http://", false},
      {u"https:///etc/passwd", false},
      {u"example.com", false},
      {u"ftp://example.com/", false},
      {u"file:///C:/Windows/notepad.exe", false},
      {u"C:\\Windows\\System32\\calc.exe", false},
      {u"\\\\server\\share\\setup.exe", false},
      {u"javascript:alert(1)", false},
      {u" http://example.com", false},
      {u"http://example.com\" -extoff", false},
      {u"http://example.com x.exe", false},
      {u"http://example.com\r\nC:\\x.exe", false},
      {u"http://example.com\t", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsWebAddress(c.text), c.web) << TextToUtf8(c.text);
}

}  // namespace

namespace {

TEST(DpiScale, RoundsAsMulDivAndKeepsEveryFigureAt96) {
  struct Case {
    int value, dpi, expected;
  } cases[] = {
      {110, 96, 110}, {170, 96, 170}, {7, 0, 7},       {110, 144, 165}, {25, 144, 38},
      {45, 120, 56},  {1, 144, 2},    {3, 120, 4},     {30, 192, 60},   {-5, 144, -8},
      {-3, 120, -4},  {0, 192, 0},    {2147483647 / 2, 192, 2147483646},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScaleForDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
  }
}

}  // namespace
