#include "common/text_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const uint8_t* Bytes(const std::string& text) { return reinterpret_cast<const uint8_t*>(text.data()); }

struct DetectCase {
  const char* name;
  std::string bytes;
  TextEncoding encoding;
  std::u16string text;  // UTF-8 only: the text after the mark
};

// UTF-8 text decodes and encodes back to exactly its bytes.
TEST(TextEncoding, DetectsAndRoundTripsEveryByte) {
  const DetectCase cases[] = {
      {"ASCII", "a=1\r\n", TextEncoding::kBytes, u""},
      {"Latin-1", "n=Ren\xE9", TextEncoding::kBytes, u""},
      {"UTF-16LE mark", std::string("\xFF\xFEk\0", 4), TextEncoding::kUtf16, u""},
      {"UTF-8 without mark", "k=\xE3\x83\x86 Zo\xC3\xAB", TextEncoding::kUtf8, u"k=\u30C6 Zo\u00EB"},
      {"UTF-8 four bytes", "\xF0\x9F\x98\x80", TextEncoding::kUtf8, u"\U0001F600"},
      {"UTF-8 mark, ASCII after it", "\xEF\xBB\xBFk=v", TextEncoding::kUtf8Marked, u"k=v"},
      {"UTF-8 mark keeps a stray byte", "\xEF\xBB\xBF" "a\xFF\xE3\x83", TextEncoding::kUtf8Marked,
       u"a\xDCFF\xDCE3\xDC83"},
      {"cut sequence at the end", "k=\xE3\x83", TextEncoding::kBytes, u""},
      {"overlong form", "k=\xC0\xAF", TextEncoding::kBytes, u""},
      {"encoded surrogate", "k=\xED\xA0\x80", TextEncoding::kBytes, u""},
      {"beyond U+10FFFF", "k=\xF4\x90\x80\x80", TextEncoding::kBytes, u""},
      {"continuation byte alone", "k=\x80", TextEncoding::kBytes, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DetectTextEncoding(Bytes(c.bytes), c.bytes.size()), c.encoding);
    if (!IsUtf8(c.encoding)) continue;
    const size_t mark = EncodingMarkLength(c.encoding);
    std::u16string text(c.bytes.size(), u'\0');
    text.resize(DecodeUtf8(Bytes(c.bytes) + mark, c.bytes.size() - mark, &text[0]));
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(FirstUnstorable(c.encoding, text.data(), text.size()), text.size());
    std::vector<uint8_t> out(c.bytes.size() + 4);
    size_t done = 0;
    out.resize(EncodeUtf8(text.data(), text.size(), &done, out.data(), out.size()));
    EXPECT_EQ(done, text.size());
    EXPECT_EQ(std::string(out.begin(), out.end()), c.bytes.substr(mark));
  }
}

struct StoreCase {
  const char* name;
  TextEncoding encoding;
  std::u16string text;
  size_t first;  // the first character not stored; the length when all are
};

TEST(TextEncoding, FindsTheFirstCharacterAnEncodingCannotStore) {
  const StoreCase cases[] = {
      {"8-bit stores up to 0xFF", TextEncoding::kBytes, u"Zo\u00EB \u30C6", 4},
      {"UTF-8 stores a pair", TextEncoding::kUtf8, u"\U0001F600", 2},
      {"UTF-8 refuses an unpaired surrogate", TextEncoding::kUtf8Marked, u"a\xD800" u"b", 1},
      {"UTF-16 stores everything", TextEncoding::kUtf16, u"a\xD800", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FirstUnstorable(c.encoding, c.text.data(), c.text.size()), c.first);
  }
}

}  // namespace
