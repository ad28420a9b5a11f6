#include "tollwren/pad/version_number.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct VersionCase {
  std::u16string text;
  uint32_t number;
};

TEST(VersionNumber, MajorTimesTenThousandPlusMinor) {
  const VersionCase cases[] = {
      {u"2.14", 20014},
      {u"2,14 beta", 20014},
      {u"3", 30003},            // a missing minor repeats the major
      {u"", 0},
      {u"1.2.3", 10002},        // the third part is ignored
      {u"2.10.48.85", 20010},
      {u" 1.0.0", 10000},       // leading separators are skipped
      {u"..  ,2 . 5", 20005},   // runs of separators count as one
      {u"2.5.1", 20005},
      {u"2.10", 20010},
      {u"2.9", 20009},
      {u"0.9.3.2", 9},
      {u"2.x", 20002},          // an invalid minor repeats the major
      {u"2.-1", 20002},         // a token with "-" is no number
      {u"-2.5", 5},             // no major: 0, minor still taken
      {u"beta", 0},
      {u"v2.1", 1},
      {u"2b.1", 1},
      {u"+2.+3", 20003},
      {u"\n1.2\n", 10001},      // "2\n" is not wholly a number
      {u"1.99999", 109999},
      {u"2147483647.0", UINT32_MAX},  // held at the largest number
      {u"99999999999.1", 1},    // a major beyond 32 bits is no number
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VersionNumber(c.text.c_str()), c.number) << std::string(c.text.begin(), c.text.end());
  }
  EXPECT_EQ(VersionNumber(nullptr), 0u);
}

TEST(VersionNumber, ComparesNumbersOnly) {
  struct CompareCase {
    const char16_t* local;
    const char16_t* remote;
    VersionCompare expected;
  };
  const CompareCase cases[] = {
      {u"2.5", u"2.5.1", VersionCompare::kSame},
      {u"2.10", u"2.9", VersionCompare::kRemoteOlder},
      {u"3", u"3.1", VersionCompare::kRemoteOlder},  // 30003 against 30001
      {u"1.0", u"1.1", VersionCompare::kRemoteNewer},
      {u"1.0", u"", VersionCompare::kNoRemoteVersion},
      {u"", u"beta", VersionCompare::kNoRemoteVersion},
      {u"", u"0.1", VersionCompare::kRemoteNewer},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompareVersions(VersionNumber(c.local), VersionNumber(c.remote)), c.expected);
  }
}

TEST(VersionTexts, SignedCopiesCompareEveryNumber) {
  struct CompareCase {
    const char16_t* local;
    const char16_t* remote;
    VersionCompare expected;
  };
  const CompareCase cases[] = {
      {u"1.2.3", u"1.2.4", VersionCompare::kRemoteNewer},
      {u"2.10", u"2.9", VersionCompare::kRemoteOlder},
      {u"3.2", u"3.2-beta", VersionCompare::kRemoteOlder},  // a pre-release is older than its release
      {u"3.2", u"3.0rc1", VersionCompare::kRemoteOlder},
      {u"3.2-beta", u"3.2", VersionCompare::kRemoteNewer},
      {u"3.2-beta9", u"3.2-beta10", VersionCompare::kRemoteNewer},
      {u"3.2-beta", u"3.2 RC", VersionCompare::kRemoteNewer},
      {u"3.2-1", u"3.2-a", VersionCompare::kRemoteNewer},    // a number before a word
      {u"3", u"3.0", VersionCompare::kSame},
      {u" 1.0.0", u"1.0\n", VersionCompare::kSame},        // blanks around the text
      {u"", u"0.1", VersionCompare::kRemoteNewer},           // no local version
      {u"2.0", u"v2.1", VersionCompare::kNoRemoteVersion},
      {u"2.0", u"2.1<File_Info>", VersionCompare::kNoRemoteVersion},
      {u"2.0", u"2.1\r", VersionCompare::kNoRemoteVersion},
      {u"2.0", u"1234567890.1", VersionCompare::kNoRemoteVersion},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompareVersionTexts(VersionRule::kAllNumbers, c.local, c.remote), c.expected)
        << std::string(c.remote, c.remote + std::char_traits<char16_t>::length(c.remote));
  }
  // A copy that trusts the network keeps major x 10000 + minor, with its aliases.
  EXPECT_EQ(CompareVersionTexts(VersionRule::kMajorMinor, u"3.2", u"3.2-beta"), VersionCompare::kRemoteNewer);
  EXPECT_EQ(CompareVersionTexts(VersionRule::kMajorMinor, u"1.2.3", u"1.2.4"), VersionCompare::kSame);
}

TEST(WholeNumber, AcceptsOnlyPlainDecimals) {
  struct NumberCase {
    const char16_t* text;
    bool ok;
    int32_t value;
  };
  const NumberCase cases[] = {
      {u"0", true, 0},          {u"266752", true, 266752}, {u" 42", true, 42},
      {u"+7", true, 7},         {u"2147483647", true, INT32_MAX},
      {u"2147483648", false, 0}, {u"-1", false, 0},      {u"1-", false, 0},
      {u"266,752", false, 0},   {u"12 ", false, 0},       {u"", false, 0},
      {u" ", false, 0},         {u"+", false, 0},         {u"0x10", false, 0},
  };
  for (const auto& c : cases) {
    int32_t value = -99;
    EXPECT_EQ(ParseWholeNumber(c.text, value), c.ok) << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text));
    EXPECT_EQ(value, c.ok ? c.value : -99);
  }
  int32_t value = 0;
  EXPECT_FALSE(ParseWholeNumber(nullptr, value));
}

}  // namespace
