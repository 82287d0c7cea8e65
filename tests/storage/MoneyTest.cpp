#include "storage/Money.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <string>

#include "storage/TextConvert.h"

namespace {

// Amounts as the fields hold them and as the statements write them: whole
// cents half away from zero, a product that only looks like a half going the
// side the amount is on, and far beyond any balance saturating.
TEST(Money, CentsAreTheAmountAsWrittenRoundedHalfAwayFromZero) {
  struct Case {
    double amount;
    int64_t cents;
  } cases[] = {
      {0, 0},           {-0.0, 0},        {12.345f, 1235},   {-12.345f, -1235}, {0.125, 13},
      {-0.125, -13},    {0.375, 38},      {1.005, 100},      {0.015, 1},        {-0.015, -1},
      {0.005, 1},       {2.675, 267},     {45000.01f, 4500001}, {131071.99f, 13107199},
      {1e6, 100000000}, {-0.004, 0},      {FLT_MAX, int64_t{1} << 62}, {-FLT_MAX, -(int64_t{1} << 62)},
      {NAN, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ToCents(c.amount), c.cents) << c.amount;
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

// A sum with a value beyond any cents stays beyond them, so it can never
// pass for a real balance; the same value taken from itself is no change.
TEST(Money, CentsAreWrittenExactlyAndSumsSaturate) {
  struct Case {
    int64_t cents;
    const char* text;
  } cases[] = {{0, "0.00"}, {5, "0.05"}, {-5, "-0.05"}, {123456789012345, "1234567890123.45"}, {-100, "-1.00"}};
  for (const Case& c : cases) {
    char text[kCentsArea];
    EXPECT_EQ(std::string(text, WriteCents(text, c.cents)), c.text);
  }
  const int64_t most = ToCents(FLT_MAX);
  EXPECT_EQ(AddCents(most, most), most);
  EXPECT_EQ(AddCents(-most, -most), -most);
  EXPECT_EQ(AddCents(most, -most), most);
  EXPECT_EQ(AddCents(12, -most), -most);
  EXPECT_EQ(AddCents(4500001, -1), 4500000);
  EXPECT_EQ(Difference(3e38f, 3e38f), 0);
  EXPECT_EQ(Difference(3e38f, 2e38f), most);
  EXPECT_EQ(Difference(45000.01f, 0.015f), 4500000);
}

}  // namespace
