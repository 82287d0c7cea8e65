#include "storage/TextBuffer.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <string>

TEST(TextBuffer, StartsWithoutTextAndGrowsWithSlack) {
  TextBuffer text;
  EXPECT_EQ(text.Text(), nullptr);
  EXPECT_EQ(text.Length(), 0);
  text.Append("").Append(nullptr);
  EXPECT_EQ(text.Text(), nullptr);

  text.Append("abc");
  EXPECT_STREQ(text.Text(), "abc");
  EXPECT_EQ(text.Capacity(), 44);
  const char* block = text.Text();
  text.Append("de");
  EXPECT_EQ(text.Text(), block);
  EXPECT_EQ(text.Capacity(), 44);
  text.Assign(nullptr);
  EXPECT_STREQ(text.Text(), "abcde");

  TextBuffer empty;
  empty.Assign("");
  ASSERT_NE(empty.Text(), nullptr);
  EXPECT_STREQ(empty.Text(), "");
  EXPECT_EQ(empty.Capacity(), 41);
}

TEST(TextBuffer, AppendsItsOwnText) {
  TextBuffer text;
  text.Assign("it's");
  text.Append(text.Text());
  EXPECT_STREQ(text.Text(), "it'sit's");
  text.AppendQuoted(text.Text());
  EXPECT_STREQ(text.Text(), "it'sit'sit''sit''s");
}

TEST(TextBuffer, QuotingDoublesEverySingleQuote) {
  TextBuffer text;
  text.Assign("'").AppendQuoted("O'Brien").AppendQuoted("").AppendQuoted(nullptr).AppendQuoted("''").Append("'");
  EXPECT_STREQ(text.Text(), "'O''Brien'''''");
}

TEST(TextBuffer, FormatsIntegers) {
  TextBuffer text;
  text.AssignInt(-5);
  EXPECT_STREQ(text.Text(), "-5");
  text.AppendInt(INT32_MAX).AppendInt(INT32_MIN);
  EXPECT_STREQ(text.Text(), "-52147483647-2147483648");
}

TEST(TextBuffer, FormatsRealsAtItsPrecision) {
  TextBuffer text;
  text.AssignReal(1.5f);
  EXPECT_STREQ(text.Text(), "1.500000");  // precision 0 means six decimals
  text.SetPrecision(2);
  text.AssignReal(0.1f);
  text.Append(" ").AppendReal(-3).Append(" ").AppendReal(12.345f).Append(" ").AppendReal(10000000.37f);
  EXPECT_STREQ(text.Text(), "0.10 -3.00 12.35 10000000.00");
  text.SetPrecision(-3);
  EXPECT_EQ(text.Precision(), 0);
}

TEST(TextBuffer, KeepsRealsTooLongForTheNumberAreaWhole) {
  TextBuffer text;
  text.SetPrecision(2);
  text.Assign("x=").AppendReal(-FLT_MAX);
  EXPECT_STREQ(text.Text(), "x=-340282346638528859811704183484516925440.00");
  text.SetPrecision(0);
  text.AssignReal(1e32f);
  EXPECT_EQ(std::string(text.Text()), "100000003318135351409612647563264.000000");
}

// A row's borrowed table name must never be written through to its table's.
TEST(TextBuffer, WritingABorrowedTextLeavesTheLenderAlone) {
  struct Case {
    const char* name;
    void (*write)(TextBuffer&);
    const char* expected;
  };
  const Case cases[] = {
      {"append", [](TextBuffer& t) { t.Append("s"); }, "QLedgers"},
      {"assign", [](TextBuffer& t) { t.Assign("x"); }, "x"},
      {"quote own text", [](TextBuffer& t) { t.AppendQuoted(t.Text()); }, "QLedgerQLedger"},
      {"number", [](TextBuffer& t) { t.AppendInt(7); }, "QLedger7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TextBuffer lender;
    lender.Assign("QLedger");
    {
      TextBuffer borrower;
      borrower.Borrow(lender.Text());
      EXPECT_EQ(borrower.Text(), lender.Text());
      c.write(borrower);
      EXPECT_STREQ(borrower.Text(), c.expected);
      EXPECT_NE(borrower.Text(), lender.Text());
    }  // the borrower frees only its own copy
    EXPECT_STREQ(lender.Text(), "QLedger");
  }
}

// The decimals live in the text's block: setting them must not invent a text,
// and growing or copying a borrowed text must keep them.
TEST(TextBuffer, PrecisionSurvivesItsBlockChanging) {
  struct Case {
    const char* name;
    void (*before)(TextBuffer&);
    const char* expected;
  };
  static const char lent[] = "QLedger";
  const Case cases[] = {
      {"nothing stored", [](TextBuffer&) {}, "1.50"},
      {"grown far", [](TextBuffer& t) { t.Assign(std::string(500, 'x').c_str()).Assign(""); }, "1.50"},
      {"borrowed", [](TextBuffer& t) { t.Borrow(lent); }, "QLedger1.50"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TextBuffer text;
    c.before(text);
    const bool hadText = text.Text() != nullptr;
    text.SetPrecision(2);
    EXPECT_EQ(text.Text() != nullptr, hadText);
    EXPECT_EQ(text.Precision(), 2);
    text.Append(std::string(200, 'y').c_str());  // grows the block
    text.Assign(c.expected[0] == 'Q' ? "QLedger" : "");
    text.AppendReal(1.5f);
    EXPECT_STREQ(text.Text(), c.expected);
    EXPECT_STREQ(lent, "QLedger");
  }
}
