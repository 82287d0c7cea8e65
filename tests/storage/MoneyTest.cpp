#include "storage/Money.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <optional>
#include <cstdio>
#include <string>

#include "storage/TextConvert.h"

namespace {

// Amounts as the fields hold them and as the statements write them: whole
// cents half away from zero, an amount exactly on half a cent to the even cent
// as the statement writes it, a product that only looks like a half going the
// side the amount is on, and far beyond any balance saturating.
TEST(Money, CentsAreTheAmountAsItsStatementWritesIt) {
  struct Case {
    double amount;
    int64_t cents;
  } cases[] = {
      {0, 0},           {-0.0, 0},        {12.345f, 1235},   {-12.345f, -1235}, {0.125, 12},
      {-0.125, -12},    {0.375, 38},      {0.625, 62},       {-0.875, -88},      {1.005, 100},      {0.015, 1},        {-0.015, -1},
      {0.005, 1},       {2.675, 267},     {45000.01f, 4500001}, {131071.99f, 13107199},
      {1e6, 100000000}, {-0.004, 0},      {FLT_MAX, int64_t{1} << 62}, {-FLT_MAX, -(int64_t{1} << 62)},
      {NAN, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ToCents(c.amount), c.cents) << c.amount;
  // Beyond any cents a sum stays beyond them; the same value taken from itself is no change.
  const int64_t most = ToCents(FLT_MAX);
  EXPECT_EQ(AddCents(most, -most), most);
  EXPECT_EQ(Difference(3e38f, 3e38f), 0);
}

// Below 131,072.00 every cent comes back from single precision as it went in
// and is written as those cents; the next cent beyond does not come back.
// Every cent of the top binade, where single precision is coarsest, and a
// spread below it, of both signs.
TEST(Money, SinglePrecisionKeepsEveryCentBelowTheLimitAndNotBeyond) {
  char text[kCentsArea + 1], money[kMoneyArea + 1];
  for (int64_t cents = 0; cents < kCentsLimit; cents += cents < kCentsLimit / 2 ? 7 : 1) {
    ASSERT_EQ(ToCents(FromCents(cents)), cents);
    ASSERT_EQ(ToCents(FromCents(-cents)), -cents);
    if (cents % 997 != 0) continue;
    *WriteCents(text, cents) = '\0';
    *FormatMoney(money, FromCents(cents)) = '\0';
    ASSERT_STREQ(text, money);
  }
  EXPECT_TRUE(KeepsEveryCent(kCentsLimit - 1));
  EXPECT_FALSE(KeepsEveryCent(kCentsLimit));
  EXPECT_FALSE(KeepsEveryCent(-kCentsLimit));
  EXPECT_NE(ToCents(FromCents(kCentsLimit + 1)), kCentsLimit + 1);
}

// An amount on half a cent (k/8) counts as the cents its statement text holds,
// so a balance step and the row it came from never disagree by a cent.
TEST(Money, AmountsOnHalfACentCountAsTheirStatementText) {
  char text[kCentsArea + 1], money[kMoneyArea + 1];
  for (int eighths = -800001; eighths <= 800001; eighths += 2) {
    const float amount = static_cast<float>(eighths) / 8.0f;
    *WriteCents(text, ToCents(amount)) = '\0';
    *FormatMoney(money, amount) = '\0';
    ASSERT_STREQ(text, money) << amount;
  }
}

// Amounts as a person writes them: blanks, sign, "$", thousands commas in
// groups of three, decimals rounded to the cent half away from zero; anything
// else is no amount, never its leading number. A statement's form also takes
// parentheses, a decimal comma, and refuses cents it would have to round.
TEST(Money, AmountsAreReadAsWrittenOrRefused) {
  constexpr std::optional<int64_t> kNone;
  const AmountForm entry{}, statement{.statementMarks = true, .exactCents = true},
      comma{.decimalComma = true, .statementMarks = true, .exactCents = true};
  struct Case {
    const char* text;
    AmountForm form;
    std::optional<int64_t> cents;
  } cases[] = {
      {"1,200.00", entry, 120000},       {"12,345.67", entry, 1234567},   {" 1200 ", entry, 120000},
      {"-25.50", entry, -2550},          {"+3", entry, 300},              {"$1,000", entry, 100000},
      {"-$5.5", entry, -550},            {"$ -5.5", entry, -550},         {".75", entry, 75},
      {"7.", entry, 700},                {"10.005", entry, 1001},         {"0.015", entry, 2},
      {"-12.345", entry, -1235},         {"1.2349", entry, 123},          {"1,234,567.891", entry, 123456789},
      {"0", entry, 0},                   {"12abc", entry, kNone},         {"1.2.3", entry, kNone},
      {"1e3x", entry, kNone},            {"1e3", entry, kNone},           {"", entry, kNone},
      {"  ", entry, kNone},              {"-", entry, kNone},             {"$", entry, kNone},
      {".", entry, kNone},               {"1,20.00", entry, kNone},       {"12,00", entry, kNone},
      {"1234,567", entry, kNone},        {",123", entry, kNone},          {"--5", entry, kNone},
      {"-$-5", entry, kNone},            {"(5)", entry, kNone},           {"1 000", entry, kNone},
      {"\xE2\x82\xAC" "5", entry, kNone}, {"5$", entry, kNone},          {"0x10", entry, kNone},
      {"(12.50)", statement, -1250},     {"1.230", statement, 123},       {"1.235", statement, kNone},
      {"\xC2\xA3" "2", statement, 200},    {"1.234,56", comma, 123456},     {"1,234.56", comma, kNone},
      {"1234567890123456789", entry, int64_t{1} << 62},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadAmount(c.text, c.form), c.cents) << '"' << c.text << '"';
}

}  // namespace
