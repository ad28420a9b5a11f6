// Language files as both programs read them: keys at line starts, the
// delivered language of a Windows language id, texts over English ones.
#include "common/language_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

TEST(LanguageLookUp, KeysAtLineStartsOnly) {
  const std::u16string text =
      u"\uFEFFtitle=Update\r\ninfo=About it\nno=Later\nyes=Now\nempty=\nlast=end";
  struct Case {
    std::u16string key;
    bool found;
    std::u16string value;
  };
  const Case cases[] = {
      {u"title", true, u"Update"},   // after the byte-order mark, CR removed
      {u"no", true, u"Later"},       // not the end of "info"
      {u"yes", true, u"Now"},
      {u"empty", true, u""},
      {u"last", true, u"end"},       // the last line has no line break
      {u"Title", false, u""},        // case matters
      {u"titl", false, u""},
      {u"", false, u""},
      {u"missing", false, u""},
  };
  for (const auto& c : cases) {
    std::u16string value = u"old";
    EXPECT_EQ(LookUpLanguageValue(text, c.key, kLanguageValueLimit, value), c.found) << Narrow(c.key);
    EXPECT_EQ(value, c.found ? c.value : u"old") << Narrow(c.key);
  }
  // First occurrence wins; a value of more than the limit is missing.
  std::u16string value;
  EXPECT_TRUE(LookUpLanguageValue(u"a=1\na=2", u"a", 10, value));
  EXPECT_EQ(value, u"1");
  const std::u16string longText = u"k=" + std::u16string(kLanguageValueLimit + 1, u'x');
  EXPECT_FALSE(LookUpLanguageValue(longText, u"k", kLanguageValueLimit, value));
  EXPECT_TRUE(LookUpLanguageValue(longText.substr(0, longText.size() - 1), u"k", kLanguageValueLimit, value));
}

TEST(LanguageFile, DeliveredLanguageOfALanguageId) {
  const struct {
    uint16_t id;
    std::u16string_view name;
  } cases[] = {
      {0x0409, u"English"}, {0x0809, u"English"},  {0x0407, u"German"},  {0x0C0A, u"Spanish"},
      {0x0416, u"Portuguese"}, {0x0411, u"Japanese"}, {0x0401, u"Arabic"}, {0x3C01, u"Arabic"},
      {0x0804, u"Chinese (Simplified)"}, {0x1004, u"Chinese (Simplified)"},
      {0x0404, u""},  // Taiwan and Hong Kong write the traditional script
      {0x0C04, u""},  {0x041F, u""},  {0x0000, u""},
  };
  for (const auto& c : cases) EXPECT_EQ(LanguageNameOfLanguageId(c.id), c.name) << std::hex << c.id;
}

TEST(LanguageFile, TextsFallBackToEnglishPerKey) {
  CLanguageTexts texts;
  EXPECT_EQ(texts.Text("save", u"&Save"), u"&Save");  // no file: English
  texts.Use(u"save=&Speichern\nempty=\nlines=a\\nb &amp;&nbsp;c\nlong=" +
            std::u16string(kLanguageValueLimit + 1, u'x'));
  const struct {
    const char* key;
    std::u16string text;
  } cases[] = {
      {"save", u"&Speichern"},
      {"missing", u"English"},
      {"empty", u"English"},  // never an empty button
      {"long", u"English"},
      {"lines", u"a\r\nb & c"},
      {"Save", u"English"},  // keys are exact
  };
  for (const auto& c : cases) EXPECT_EQ(texts.Text(c.key, u"English"), c.text) << c.key;
  EXPECT_EQ(texts.Text("lines", u"as\nin English"), u"a\nb & c");  // its line breaks
  EXPECT_FALSE(texts.RightToLeft());
  texts.Use(u"RTL=1\nlines=a\\nb");
  EXPECT_TRUE(texts.RightToLeft());
  EXPECT_EQ(texts.Text("lines", u""), u"\u202Ba\u202C\r\n\u202Bb\u202C");  // each line embedded right to left
  EXPECT_EQ(texts.Text("save", u"&Save"), u"&Save");  // English stays as it is
}

}  // namespace
