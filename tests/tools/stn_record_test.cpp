#include "tools/respack/stn_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "common/text16.h"

namespace {

using Bytes = std::vector<uint8_t>;

bool Build(const std::string& source, Bytes* record, std::vector<std::string>* warnings = nullptr,
           std::string* error = nullptr) {
  std::vector<std::string> ignoredWarnings;
  std::string ignoredError;
  return BuildStnRecord(reinterpret_cast<const uint8_t*>(source.data()), source.size(), record,
                        warnings ? warnings : &ignoredWarnings, error ? error : &ignoredError);
}

Bytes Utf16(const std::u16string& text, bool mark) {
  Bytes bytes;
  if (mark) bytes = {0xFF, 0xFE};
  for (char16_t c : text) {
    bytes.push_back(uint8_t(c & 0xFF));
    bytes.push_back(uint8_t(c >> 8));
  }
  return bytes;
}

Bytes Zero() { return Bytes(kStnRecordSize, 0); }

Bytes With(Bytes record, size_t offset, const Bytes& bytes) {
  std::copy(bytes.begin(), bytes.end(), record.begin() + offset);
  return record;
}

// Builds what the record prints as and expects the same bytes back.
void ExpectRoundTrip(const Bytes& record, const std::string& what) {
  ASSERT_EQ(record.size(), kStnRecordSize);
  const std::string printed = PrintStnRecord(record.data());
  Bytes rebuilt;
  std::vector<std::string> warnings;
  std::string error;
  ASSERT_TRUE(Build(printed, &rebuilt, &warnings, &error)) << what << ": " << error << "\n" << printed;
  ASSERT_EQ(rebuilt.size(), kStnRecordSize) << what;
  for (size_t i = 0; i < kStnRecordSize; ++i) {
    ASSERT_EQ(rebuilt[i], record[i]) << what << ": first difference at offset " << i << "\n" << printed;
  }
  EXPECT_EQ(PrintStnRecord(rebuilt.data()), printed) << what;
}

TEST(StnRecordLayout, EachKeyWritesItsBytesAndNothingElse) {
  struct Case {
    const char* source;
    size_t offset;
    Bytes bytes;
  };
  const Bytes english = Utf16(u"English", false);
  const Case cases[] = {
      {"[updater]\ndefault_language=English\n", 84, english},
      {"[updater]\nuse_system_language=yes\n", 10706, {1}},
      {"[updater]\nshow_language_button=on\n", 10165, {1}},
      {"[updater]\nshow_close_button=TRUE\n", 10705, {1}},
      {"[updater]\nalways_on_top=1\n", 10707, {1}},
      {"[languages]\nlanguage=English\nlanguage=\nlanguage=German\n", 164,
       Utf16(u"English\n\nGerman", false)},
      {"[languages]\nline_end=crlf\nlanguage=English\nlanguage=German\n", 164,
       Utf16(u"English\r\nGerman", false)},
      {"[title]\nshow=yes\n", 10273, {1}},
      {"[title]\ncolor=#102030\n", 10274, {0x10, 0x20, 0x30, 0}},
      {"[title]\nfont=Arial\n", 10294, Utf16(u"Arial", false)},
      {"[title]\nheight=20\n", 10374, {20, 0, 0, 0}},
      {"[title]\nitalic=yes\n", 10378, {1}},
      {"[title]\nunderline=yes\n", 10379, {1}},
      {"[title]\nbold=yes\n", 10380, {1}},
      {"[status]\nshow=yes\n", 10381, {1}},
      {"[status]\ncolor=0xABCDEF\n", 10382, {0xAB, 0xCD, 0xEF, 0}},
      {"[status]\nfont=MS Sans Serif\n", 10402, Utf16(u"MS Sans Serif", false)},
      {"[status]\nheight=-13\n", 10482, {0xF3, 0xFF, 0xFF, 0xFF}},
      {"[status]\nitalic=yes\n", 10486, {1}},
      {"[status]\nunderline=yes\n", 10487, {1}},
      {"[status]\nbold=yes\n", 10488, {1}},
      {"[news]\nshow=yes\n", 10489, {1}},
      {"[news]\ncolor=a0B0c0\n", 10490, {0xA0, 0xB0, 0xC0, 0}},
      {"[news]\nfont=Tahoma\n", 10510, Utf16(u"Tahoma", false)},
      {"[news]\nheight=2147483647\n", 10590, {0xFF, 0xFF, 0xFF, 0x7F}},
      {"[news]\nitalic=yes\n", 10594, {1}},
      {"[news]\nunderline=yes\n", 10595, {1}},
      {"[news]\nbold=yes\n", 10596, {1}},
      {"[footer]\nshow=yes\n", 10597, {1}},
      {"[footer]\nfont=Verdana\n", 10618, Utf16(u"Verdana", false)},
      {"[footer]\nheight=-2147483648\n", 10698, {0, 0, 0, 0x80}},
      {"[footer]\nitalic=yes\n", 10702, {1}},
      {"[footer]\nunderline=yes\n", 10703, {1}},
      {"[footer]\nbold=yes\n", 10704, {1}},
      {"[bytes]\n0=0102 03\n10700=FFfe\n", 0, {1, 2, 3}},
  };
  std::set<uint32_t> reached;
  for (const Case& c : cases) {
    Bytes record;
    std::string error;
    ASSERT_TRUE(Build(c.source, &record, nullptr, &error)) << c.source << error;
    Bytes expected = With(Zero(), c.offset, c.bytes);
    if (c.offset == 0) expected = With(expected, 10700, {0xFF, 0xFE});
    EXPECT_EQ(record, expected) << c.source;
    reached.insert(uint32_t(c.offset));
  }
  // A field added to the record needs a case here.
  for (size_t i = 0; i < StnFieldCount(); ++i) {
    EXPECT_EQ(reached.count(StnFieldAt(i).offset), 1u) << StnFieldAt(i).section << " " << StnFieldAt(i).key;
  }
}

TEST(StnRecordLayout, FieldsStayInsideTheRecordAndApart) {
  for (size_t i = 0; i < StnFieldCount(); ++i) {
    const StnField& a = StnFieldAt(i);
    EXPECT_LE(a.offset + a.size, kStnRecordSize) << a.key;
    for (size_t k = i + 1; k < StnFieldCount(); ++k) {
      const StnField& b = StnFieldAt(k);
      EXPECT_TRUE(a.offset + a.size <= b.offset || b.offset + b.size <= a.offset)
          << a.section << "." << a.key << " overlaps " << b.section << "." << b.key;
    }
  }
}

TEST(StnRecordSource, ReadsNamesAndValuesLeniently) {
  Bytes plain;
  ASSERT_TRUE(Build("[title]\nshow=yes\ncolor=#FF0000\nfont=Arial\n", &plain));
  const char* variants[] = {
      "; comment\r\n[Title]\r\nSHOW = Yes\r\n  Color=  #ff0000 \r\n# other comment\r\nfont =Arial\r\n",
      "\xEF\xBB\xBF[title]\nshow=true\ncolor=0xFF0000\nfont=Arial",
      "[title]\nshow=1\ncolor=FF0000\nfont=Arial\n[status]\n",
  };
  for (const char* source : variants) {
    Bytes record;
    std::string error;
    ASSERT_TRUE(Build(source, &record, nullptr, &error)) << source << error;
    EXPECT_EQ(record, plain) << source;
  }
  Bytes empty;
  ASSERT_TRUE(Build("", &empty));
  EXPECT_EQ(empty, Zero());
}

TEST(StnRecordSource, EveryEncodingGivesTheSameNonAsciiTexts) {
  const std::u16string text = u"[updater]\r\ndefault_language=Fran\u00E7ais\r\n[languages]\r\n"
                              u"language=Fran\u00E7ais\r\nlanguage=Espa\u00F1ol\r\n";
  Bytes expected = With(Zero(), 84, Utf16(u"Fran\u00E7ais", false));
  expected = With(expected, 164, Utf16(u"Fran\u00E7ais\nEspa\u00F1ol", false));
  const std::string utf8 = TextToUtf8(text);
  std::string latin1;
  for (char16_t c : text) latin1.push_back(char(c));
  const Bytes utf16 = Utf16(text, true);
  const std::string sources[] = {utf8, "\xEF\xBB\xBF" + utf8, latin1, std::string(utf16.begin(), utf16.end())};
  for (const std::string& source : sources) {
    Bytes record;
    std::string error;
    ASSERT_TRUE(Build(source, &record, nullptr, &error)) << error;
    EXPECT_EQ(record, expected);
  }
}

TEST(StnRecordSource, FaultsAreOneLineMessagesWithTheirLine) {
  struct Case {
    std::string source;
    const char* message;   // part of the expected message
  };
  const std::string longList = "[languages]\n" + [] {
    std::string lines;
    for (int i = 0; i < 300; ++i) lines += "language=Language number " + std::to_string(i) + "\n";
    return lines;
  }();
  const Case cases[] = {
      {"[titel]\nshow=yes\n", "line 1: unknown section [titel]"},
      {"[title]\ncolour=#000000\n", "line 2: unknown key 'colour' in [title]"},
      {"[footer]\ncolor=#000000\n", "line 2: unknown key 'color' in [footer]"},
      {"[title]\nshow=yes\n\nshow=no\n", "line 4: [title] show is given twice"},
      {"[title]\nshow=yes\n[title]\nSHOW=no\n", "line 4: [title] SHOW is given twice"},
      {"[title]\ncolor=red\n", "line 2: [title] color: 'red' is not a colour"},
      {"[title]\ncolor=#12345\n", "is not a colour"},
      {"[title]\ncolor=#1234567\n", "is not a colour"},
      {"[title]\ncolor=\n", "is not a colour"},
      {"[news]\nbold=maybe\n", "line 2: [news] bold: 'maybe' is neither yes nor no"},
      {"[news]\nbold=\n", "is neither yes nor no"},
      {"[status]\nheight=12px\n", "line 2: [status] height: '12px' is not a whole number"},
      {"[status]\nheight=2147483648\n", "is not a whole number"},
      {"[status]\nfont=" + std::string(40, 'f') + "\n", "has 40 characters; the field holds 39"},
      {"[updater]\ndefault_language=" + std::string(40, 'e') + "\n", "the field holds 39"},
      {longList, "the language list has"},
      {"[languages]\nline_end=cr\n", "line 2: [languages] line_end: 'cr' is neither lf nor crlf"},
      {"show=yes\n[title]\n", "line 1: key 'show' stands before any [section]"},
      {"[title]\nshow yes\n", "line 2: 'show yes' is neither a [section] nor key=value"},
      {"[title]\n  [status]\nshow=yes\n", "line 2: '[status]' is not a section header"},
      {"[title\nshow=yes\n", "line 1: '[title' is not a section header"},
      {"[bytes]\n10708=00\n", "line 2: [bytes]: '10708' is not an offset"},
      {"[bytes]\nx=00\n", "is not an offset"},
      {"[bytes]\n5=ABC\n", "line 2: [bytes] 5: 'ABC' is not a row of hexadecimal byte pairs"},
      {"[bytes]\n5=\n", "is not a row of hexadecimal"},
      {"[bytes]\n10707=0102\n", "run past the end of the record"},
      {"[bytes]\n4=0102030405\n0=0102030405\n", "line 3: [bytes] 0 overlaps the bytes at 4"},
      {std::string("[title]\nshow=yes\0\n", 18), "zero byte"},
  };
  for (const Case& c : cases) {
    Bytes record = {7};
    std::string error;
    EXPECT_FALSE(Build(c.source, &record, nullptr, &error)) << c.source;
    EXPECT_NE(error.find(c.message), std::string::npos) << "got: " << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_EQ(record, Bytes{7}) << "record touched for " << c.message;
  }
}

TEST(StnRecordSource, WarnsAboutSettingsTheUpdaterCannotUseAsMeant) {
  struct Case {
    std::string source;
    const char* warning;   // part of the expected warning, or null for none
  };
  std::string many = "[languages]\n";
  for (int i = 0; i < 101; ++i) many += "language=L" + std::to_string(i) + "\n";
  const Case cases[] = {
      {"[updater]\ndefault_language=English\n[languages]\nlanguage=English\nlanguage=German\n", nullptr},
      {"[updater]\ndefault_language=English\n", nullptr},
      {"[updater]\ndefault_language=Klingon\n[languages]\nlanguage=English\n", "is not in the language list"},
      {"[title]\nfont=" + std::string(32, 'f') + "\n", "line 2: [title] font: the updater uses only the first 31"},
      {"[languages]\nlanguage=" + std::string(36, 'l') + "\n", "are longer than an archive allows"},
      {"[languages]\nlanguage=" + std::string(40, 'l') + "\n", "is cut to 39 characters when picked"},
      {"[languages]\nlanguage=\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\n", "hold only 8-bit characters"},
      {many, "only the first 100 can be picked"},
  };
  for (const Case& c : cases) {
    Bytes record;
    std::vector<std::string> warnings;
    std::string error;
    ASSERT_TRUE(Build(c.source, &record, &warnings, &error)) << error;
    if (!c.warning) {
      EXPECT_TRUE(warnings.empty()) << c.source << warnings.front();
      continue;
    }
    bool found = false;
    for (const std::string& warning : warnings) found = found || warning.find(c.warning) != std::string::npos;
    EXPECT_TRUE(found) << c.warning;
  }
}

TEST(StnRecordRoundTrip, PrintedSourcesBuildTheSameBytes) {
  ExpectRoundTrip(Zero(), "zero record");

  Bytes named;
  ASSERT_TRUE(Build(TextToUtf8(u"[updater]\ndefault_language=Fran\u00E7ais\nuse_system_language=yes\n"
                               u"[languages]\nline_end=crlf\nlanguage=English\nlanguage=\n"
                               u"language=Fran\u00E7ais\nlanguage=\u65E5\u672C\u8A9E\nlanguage=\U0001F600\n"
                               u"[title]\nshow=yes\ncolor=#C0FFEE\nfont=\u5B8B\u4F53\nheight=-18\nbold=yes\n"
                               u"[news]\nfont=Segoe UI = Semilight; x\n"),
                    &named));
  ExpectRoundTrip(named, "non-ASCII texts");

  // What the keys cannot say: unused bytes, a switch of 2, a colour's high
  // byte, a face without terminator, blanks and controls in texts, lone
  // surrogates, a list with one stray CR, bytes behind a terminator.
  Bytes odd = named;
  odd[0] = 0x55;
  odd[10707] = 2;
  odd[10277] = 0x80;
  for (int i = 0; i < 40; ++i) odd[10402 + 2 * i] = uint8_t('a' + i % 26);
  odd = With(odd, 10510, Utf16(u" lead\ttab\x01 ", false));
  odd = With(odd, 84, Utf16(u"\xD800x\xDC00", false));
  odd = With(odd, 164, Utf16(u"English\r\nGerman\rX\nZ", false));
  odd[10618 + 20] = 0x41;
  ExpectRoundTrip(odd, "odd bytes");

  std::mt19937 random(20261207);
  for (int round = 0; round < 20; ++round) {
    Bytes record(kStnRecordSize);
    for (uint8_t& b : record) b = uint8_t(random());
    if (round % 2) {  // mostly ASCII texts with line ends, as a list might hold
      for (size_t i = 164; i < 10164; i += 2) {
        const uint32_t r = random() % 40;
        record[i] = r == 0 ? 10 : r == 1 ? 13 : r == 2 ? 0 : uint8_t('A' + r);
        record[i + 1] = 0;
      }
    }
    ExpectRoundTrip(record, "random record " + std::to_string(round));
  }
}

TEST(StnRecordRoundTrip, PrintsTheKeysOfAPlainRecordWithoutRawBytes) {
  Bytes record;
  ASSERT_TRUE(Build("[languages]\nline_end=crlf\nlanguage=English\nlanguage=German\n[status]\ncolor=#0A0B0C\n",
                    &record));
  const std::string printed = PrintStnRecord(record.data());
  EXPECT_EQ(printed.find("[bytes]"), std::string::npos) << printed;
  EXPECT_NE(printed.find("line_end=crlf\nlanguage=English\nlanguage=German\n"), std::string::npos) << printed;
  EXPECT_NE(printed.find("[status]\nshow=no\ncolor=#0A0B0C\n"), std::string::npos) << printed;
}

Bytes ReadAsset(const std::string& name) {
  std::ifstream in(std::string(TEST_SOURCE_ROOT) + "/assets/tollwren/" + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(StnDefaultAssets, TheRecordIsWhatItsSourceBuilds) {
  const Bytes source = ReadAsset("stn.ini");
  ASSERT_FALSE(source.empty());
  Bytes record;
  std::vector<std::string> warnings;
  std::string error;
  ASSERT_TRUE(BuildStnRecord(source.data(), source.size(), &record, &warnings, &error)) << error;
  EXPECT_TRUE(warnings.empty()) << warnings.front();
  EXPECT_EQ(record, ReadAsset("stn.bin")) << "rebuild assets/tollwren/stn.bin with respack stn";
}

TEST(StnDefaultAssets, TheEnglishLanguageFileGivesEveryKeyOnce) {
  const char* const keys[] = {
      "checking_website", "error_internet", "web_version_same", "web_version_older", "web_version_newer",
      "version_news", "download_start", "download_progress", "user_aborted", "error_download",
      "error_installer", "download_success", "error_no_local_pad", "error_win_version", "error_damaged_file",
      "error_signature", "skip_version", "yes", "no", "title", "footer", "about", "about_details", "visit_product_site", "abort_update",
      "minimize", "language_button", "close_button", "RTL"};
  const Bytes bytes = ReadAsset("English.lng");
  ASSERT_GE(bytes.size(), 2u);
  ASSERT_EQ(bytes[0], 0xFF);
  ASSERT_EQ(bytes[1], 0xFE);
  ASSERT_EQ(bytes.size() % 2, 0u);
  std::u16string text;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) text.push_back(char16_t(bytes[i] | (bytes[i + 1] << 8)));
  for (const char* key : keys) {
    const std::u16string pattern = Utf8ToText(key) + u"=";
    // Also a lookup that matches anywhere in the text finds the key's own
    // line first.
    const size_t at = text.find(pattern);
    ASSERT_NE(at, std::u16string::npos) << key;
    EXPECT_TRUE(at == 0 || text[at - 1] == u'\n') << key << " first matches inside another line";
    size_t lines = 0;
    for (size_t p = text.find(pattern); p != std::u16string::npos; p = text.find(pattern, p + 1)) {
      lines += (p == 0 || text[p - 1] == u'\n') ? 1 : 0;
    }
    EXPECT_EQ(lines, 1u) << key;
    const size_t end = text.find(u'\n', at);
    ASSERT_NE(end, std::u16string::npos) << key;
    const std::u16string value = text.substr(at + pattern.size(), end - at - pattern.size());
    EXPECT_FALSE(value.empty() || value == u"\r") << key;
    EXPECT_LT(value.size(), 1000u) << key;
  }
  // Every line is one of the keys.
  size_t lineCount = 0;
  for (char16_t c : text) lineCount += c == u'\n' ? 1 : 0;
  EXPECT_EQ(lineCount, std::size(keys));
}

}  // namespace
