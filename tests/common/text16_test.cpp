#include "common/text16.h"

#include <gtest/gtest.h>

namespace {

struct Utf8Case {
  const char* utf8;
  std::u16string text;
};

TEST(Text16, Utf8RoundTrips) {
  const Utf8Case cases[] = {
      {"", u""},
      {"plain", u"plain"},
      {"caf\xC3\xA9", u"caf\u00E9"},
      {"\xE2\x82\xAC", u"\u20AC"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToText(c.utf8), c.text) << c.utf8;
    EXPECT_EQ(TextToUtf8(c.text), c.utf8) << c.utf8;
  }
}

TEST(Text16, InvalidUtf8BecomesReplacementCharacter) {
  EXPECT_EQ(Utf8ToText("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(Utf8ToText("\xC3"), u"\uFFFD");          // cut sequence
  EXPECT_EQ(Utf8ToText("\xC0\x80"), u"\uFFFD\uFFFD");  // overlong NUL
}

TEST(Text16, CopyTextRespectsCapacity) {
  char16_t out[4];
  EXPECT_TRUE(CopyText(out, 4, u"abc"));
  EXPECT_EQ(std::u16string(out), u"abc");
  EXPECT_FALSE(CopyText(out, 4, u"abcd"));
  EXPECT_EQ(out[0], 0);
}

}  // namespace
