#include "marlpane/editors/value_texts.h"

#include <gtest/gtest.h>

namespace {

struct RefusalCase {
  TextEncoding encoding;
  std::u16string value;
  size_t at;
  std::u16string status;
  std::u16string message;
};

TEST(ValueTexts, NameTheCharacterAndItsCode) {
  const RefusalCase cases[] = {
      {TextEncoding::kBytes, u"Zo\u00EB \u30C6", 4, u"This 8-bit file can't store \"\u30C6\" (Esc discards)",
       u"The settings file is stored as 8-bit text and can't store \"\u30C6\" (U+30C6).\n\nThe value stays as it was."},
      {TextEncoding::kBytes, u"a\U0001F600", 1, u"This 8-bit file can't store \"\U0001F600\" (Esc discards)",
       u"The settings file is stored as 8-bit text and can't store \"\U0001F600\" (U+1F600).\n\nThe value stays as it was."},
      {TextEncoding::kUtf8, u"\xD800", 0, u"This file can't store \"U+D800\" (Esc discards)",
       u"The settings file can't store \"U+D800\" (U+D800).\n\nThe value stays as it was."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UnstorableStatus(c.encoding, c.value, c.at), c.status);
    EXPECT_EQ(UnstorableChoiceMessage(c.encoding, c.value, c.at), c.message);
  }
}

}  // namespace
