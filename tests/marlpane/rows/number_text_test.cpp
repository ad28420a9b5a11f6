#include "marlpane/rows/number_text.h"

#include <gtest/gtest.h>

#include <string>

#include "common/text16.h"

namespace {

TEST(NumberText, WholeNumbersReadLikePercent20d) {
  struct Case {
    const char16_t* text;
    size_t width;
    bool ok;
    int32_t value;
  } cases[] = {
      {u"42", 20, true, 42},
      {u"  -42x", 20, true, -42},
      {u"\t+7", 20, true, 7},
      {u"", 20, false, 0},
      {u"-", 20, false, 0},
      {u"+ 5", 20, false, 0},
      {u"abc", 20, false, 0},
      {u"12345", 3, true, 123},
      {u"-12345", 3, true, -12},       // the sign counts in the width
      {u"2147483647", 0, true, 2147483647},
      {u"2147483648", 0, true, 2147483647},
      {u"-2147483648", 0, true, -2147483647 - 1},
      {u"-2147483649", 0, true, -2147483647 - 1},
      {u"000000000000000000000000000001", 0, true, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(TextToUtf8(c.text));
    int32_t value = -99;
    EXPECT_EQ(ReadWholeNumber(c.text, c.width, &value), c.ok);
    EXPECT_EQ(value, c.ok ? c.value : -99);
  }
  EXPECT_FALSE(ReadWholeNumber(nullptr, 20, nullptr));
}

TEST(NumberText, RealNumbersReadLikePercentF) {
  struct Case {
    const char16_t* text;
    size_t width;
    bool ok;
    float value;
  } cases[] = {
      {u"1.5", 0, true, 1.5f},
      {u" -0.25", 0, true, -0.25f},
      {u".5", 0, true, 0.5f},
      {u"5.", 0, true, 5.0f},
      {u"2e3", 0, true, 2000.0f},
      {u"2E-1", 0, true, 0.2f},
      {u"2e", 0, true, 2.0f},
      {u"2e+", 0, true, 2.0f},
      {u"1.25", 3, true, 1.2f},
      {u".", 0, false, 0},
      {u"-", 0, false, 0},
      {u"e5", 0, false, 0},
      {u"nan", 0, false, 0},
      {u"0x10", 0, true, 0.0f},  // no hexadecimal reals
      {u"1e39", 0, false, 0},
      {u"-1e39", 0, false, 0},
      {u"1e-50", 0, true, 0.0f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(TextToUtf8(c.text));
    float value = -99;
    EXPECT_EQ(ReadRealNumber(c.text, c.width, &value), c.ok);
    EXPECT_FLOAT_EQ(value, c.ok ? c.value : -99);
  }
}

TEST(NumberText, FormatsPadWithLeadingZeros) {
  char16_t out[600];
  struct WholeCase { int32_t value; unsigned digits; const char16_t* text; } wholes[] = {
      {7, 0, u"7"}, {7, 3, u"007"}, {-7, 3, u"-07"}, {1234, 2, u"1234"},
      {-2147483647 - 1, 0, u"-2147483648"},
  };
  for (const auto& c : wholes) {
    FormatWholeNumber(c.value, c.digits, out, 600);
    EXPECT_EQ(std::u16string(out), c.text);
  }
  struct RealCase { float value; unsigned intDigits, decimals; const char16_t* text; } reals[] = {
      {0.5f, 1, 2, u"0.50"}, {1.5f, 0, 4, u"1.5000"}, {2.5f, 3, 1, u"002.5"},
      {-0.5f, 2, 2, u"-0.50"}, {-0.5f, 3, 2, u"-00.50"}, {100.0f, 0, 1, u"100.0"},
  };
  for (const auto& c : reals) {
    FormatRealNumber(c.value, c.intDigits, c.decimals, out, 600);
    EXPECT_EQ(std::u16string(out), c.text);
  }
  // The largest requests still fit and are cut only by the caller's buffer.
  EXPECT_EQ(FormatRealNumber(3.4e38f, 255, 255, out, 600), 511u);
  EXPECT_EQ(FormatRealNumber(-3.4e38f, 0, 255, out, 20), 19u);
}

}  // namespace
