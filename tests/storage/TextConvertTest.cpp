#include "storage/TextConvert.h"

#include "storage/Money.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "storage/TextBuffer.h"

TEST(TextConvert, IntegersAreDecimalAndSaturate) {
  EXPECT_EQ(TextToInt(nullptr), 0);
  EXPECT_EQ(TextToInt(""), 0);
  EXPECT_EQ(TextToInt("abc"), 0);
  EXPECT_EQ(TextToInt(" \t\n42abc"), 42);
  EXPECT_EQ(TextToInt("+7"), 7);
  EXPECT_EQ(TextToInt("-13.9"), -13);
  EXPECT_EQ(TextToInt("- 5"), 0);
  EXPECT_EQ(TextToInt("0x10"), 0);
  EXPECT_EQ(TextToInt("2147483647"), INT32_MAX);
  EXPECT_EQ(TextToInt("2147483648"), INT32_MAX);
  EXPECT_EQ(TextToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(TextToInt("-99999999999999999999999"), INT32_MIN);
}

TEST(TextConvert, RealsAreDecimalOnly) {
  EXPECT_EQ(TextToDouble(nullptr), 0);
  EXPECT_EQ(TextToDouble("  -2.25e2x"), -225);
  EXPECT_EQ(TextToDouble(".5"), 0.5);
  EXPECT_EQ(TextToDouble("5."), 5);
  EXPECT_EQ(TextToDouble("1e"), 1);
  EXPECT_EQ(TextToDouble("1e+"), 1);
  EXPECT_EQ(TextToDouble("1,5"), 1);
  EXPECT_EQ(TextToDouble("."), 0);
  for (const char* text : {"inf", "-infinity", "nan", "0x1p3", "e5"}) EXPECT_EQ(TextToDouble(text), 0) << text;
  EXPECT_FALSE(std::signbit(TextToDouble("-0")));
  EXPECT_FALSE(std::signbit(TextToReal("-1e-60")));
}

// Taken as the largest float, 1e39 swallowed every other amount in the balance.
TEST(TextConvert, RealsBeyondSinglePrecisionAreNoNumber) {
  for (const char* text : {"1e39", "-1e39", "3.5e38", "1e400", "-1e400", "340282356779733661637539395458142568448"}) {
    EXPECT_EQ(TextToDouble(text), 0) << text;
    EXPECT_EQ(TextToReal(text), 0) << text;
  }
  EXPECT_EQ(TextToDouble("1e-400"), 0);
  EXPECT_EQ(TextToDouble("0.000000000000000000000000000000000000000000000000000000000000000001e-300"), 0);
  EXPECT_EQ(TextToReal("3.4028234e38"), FLT_MAX);
  EXPECT_EQ(TextToDouble("340282356340282356779733661637539395458"), FLT_MAX);  // rounds to it
  EXPECT_EQ(TextToReal("-340282356779733661637539395458142568447"), -FLT_MAX);
  EXPECT_EQ(TextToReal("10000000.37"), 10000000.0f);
  EXPECT_EQ(TextToReal("0.1"), 0.1f);
}

TEST(TextConvert, CopyCutsBeforeAWholeCharacter) {
  char field[6];
  CopyText(field, nullptr, 5);
  EXPECT_STREQ(field, "");
  CopyText(field, "abcde", 5);
  EXPECT_STREQ(field, "abcde");
  CopyText(field, "abcdefgh", 5);
  EXPECT_STREQ(field, "abcde");
  CopyText(field, "abc\xC3\xA9z", 5);  // é fits exactly
  EXPECT_STREQ(field, "abc\xC3\xA9");
  CopyText(field, "abcd\xC3\xA9", 5);  // é would be cut in half
  EXPECT_STREQ(field, "abcd");
  CopyText(field, "a\xF0\x9F\x92\xB0", 3);  // a four-byte character
  EXPECT_STREQ(field, "a");
  CopyText(field, "abcd\xA3\xA3", 5);  // not UTF-8: cut at the limit
  EXPECT_STREQ(field, "abcd\xA3");
}

// Numbers go into SQL: they must not follow a locale whose decimal point is a comma.
TEST(TextConvert, IgnoresTheLocaleDecimalPoint) {
#ifdef _WIN32
  const char* german = "German_Germany.1252";
#else
  setenv("LOCPATH", CHECKBOOK_TEST_LOCALES, 1);
  const char* german = "de_DE.UTF-8";
#endif
  if (!std::setlocale(LC_ALL, german)) GTEST_SKIP() << "no German locale here";
  ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");
  TextBuffer text;
  text.SetPrecision(2);
  text.AppendReal(1.5f);
  double parsed = TextToDouble("2.75");
  std::setlocale(LC_ALL, "C");
  EXPECT_STREQ(text.Text(), "1.50");
  EXPECT_EQ(parsed, 2.75);
}

// The quick money formatter must write what printf("%.2f") writes: ties
// rounded half to even, the sign of a negative amount that rounds to 0.00,
// the largest floats whole.
TEST(TextConvert, MoneyIsWrittenAsPrintfWritesIt) {
  auto printed = [](float amount) {
    char expected[400];
    std::snprintf(expected, sizeof expected, "%.2f", static_cast<double>(amount));
    return std::string(expected);
  };
  auto formatted = [](float amount) {
    char area[kMoneyArea];
    return std::string(area, FormatMoney(area, amount));
  };
  for (float amount : {0.0f, -0.0f, 0.125f, 0.375f, 2.5f, 0.005f, 1.005f, -0.001f, -0.005f, 12.5f, 1234.567f,
                       -12.3f, 45.2f, 99999.995f, 1e13f, 9.9e12f, 1e15f, -1e20f, FLT_MAX, -FLT_MAX, FLT_MIN,
                       1e-45f}) {
    EXPECT_EQ(formatted(amount), printed(amount)) << amount;
  }
  // A third of the cents up to 10,000.00 as typed, and a spread of bit patterns.
  for (int cents = 0; cents <= 1000000; cents += 3) {
    float amount = static_cast<float>(cents) / 100;
    ASSERT_EQ(formatted(amount), printed(amount)) << cents;
  }
  for (uint32_t bits = 0; bits < 0xFF000000u; bits += 0x00010001u) {
    float amount;
    std::memcpy(&amount, &bits, sizeof amount);
    if (std::isnan(amount)) continue;
    ASSERT_EQ(formatted(amount), printed(amount)) << bits;
  }
}

// Short decimals take a quick path; it must give the very double that a full
// correctly rounded parse gives, at the edge of 15 and 16 digits too.
TEST(TextConvert, QuickDecimalsParseAsTheFullParse) {
  auto full = [](const std::string& text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value > FLT_MAX ? FLT_MAX : value;
  };
  std::vector<std::string> texts = {"0.1", "0.3", "00012.50", "125.64", "999999999999999", "9999999999999999",
                                    "0.000000000000001", "1234567890.12345", "1234567890.123456", "7.", ".07"};
  uint64_t state = 12345;
  for (int i = 0; i < 200000; ++i) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    int digits = 1 + static_cast<int>(state >> 60);  // 1 to 16
    std::string text = std::to_string(state >> 4).substr(0, static_cast<size_t>(digits));
    text.insert(static_cast<size_t>((state >> 20) % (text.size() + 1)), 1, '.');
    texts.push_back(text);
  }
  for (const std::string& text : texts) {
    ASSERT_EQ(TextToDouble(text.c_str()), full(text)) << text;
    ASSERT_EQ(TextToDouble(("-" + text).c_str()), full(text) == 0 ? 0 : -full(text)) << text;
  }
}
