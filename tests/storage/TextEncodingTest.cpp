// Old Windows-1252 text told apart from UTF-8 and converted.
#include "storage/TextEncoding.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace std::string_literals;

TEST(TextEncoding, OnlyWellFormedUtf8CountsAsUtf8) {
  struct Case {
    std::string text;
    bool utf8;
  } cases[] = {
      {"", true},
      {"Rent", true},
      {"Caf\xC3\xA9 Zo\xC3\xAB", true},
      {"\xE2\x82\xAC 5", true},               // euro sign
      {"\xE6\x9D\xB1\xE4\xBA\xAC", true},     // Tokyo
      {"\xF0\x9F\x92\xB0", true},             // four bytes
      {"Caf\xE9", false},                     // Windows-1252 e-acute
      {"Caf\xE9 au lait", false},             // a lead byte without continuation
      {"Caf\xC3", false},                     // cut short at the end
      {"\xC0\xAF", false},                    // overlong
      {"\xED\xA0\x80", false},                // a surrogate
      {"\xF4\x90\x80\x80", false},            // past U+10FFFF
      {"\x93quoted\x94", false},              // Windows-1252 curly quotes
      {"a\0b"s, false},                       // NUL is no text
  };
  for (const Case& c : cases) EXPECT_EQ(IsUtf8(c.text), c.utf8) << c.text;
}

TEST(TextEncoding, EveryWindows1252ByteBecomesItsOwnCharacter) {
  EXPECT_EQ(Windows1252ToUtf8("Caf\xE9 Zo\xEB"), "Caf\xC3\xA9 Zo\xC3\xAB");
  EXPECT_EQ(Windows1252ToUtf8("\x80"), "\xE2\x82\xAC");        // euro sign
  EXPECT_EQ(Windows1252ToUtf8("\x8A\x9F"), "\xC5\xA0\xC5\xB8");  // S caron, Y diaeresis
  EXPECT_EQ(Windows1252ToUtf8("\x93x\x94"), "\xE2\x80\x9Cx\xE2\x80\x9D");
  EXPECT_EQ(Windows1252ToUtf8("\x81\x9D"), "\xC2\x81\xC2\x9D");  // unassigned: the same control
  EXPECT_EQ(Windows1252ToUtf8("\xA0\xFF"), "\xC2\xA0\xC3\xBF");
  EXPECT_EQ(Latin1ToUtf8("\x80\xE9"), "\xC2\x80\xC3\xA9");
  // Nothing is lost: 255 bytes, 255 different valid characters.
  std::set<std::string> seen;
  for (int byte = 1; byte < 256; ++byte) {
    std::string converted = Windows1252ToUtf8(std::string(1, static_cast<char>(byte)));
    EXPECT_TRUE(IsUtf8(converted)) << byte;
    seen.insert(converted);
  }
  EXPECT_EQ(seen.size(), 255u);
}

TEST(TextEncoding, StoredTextConvertsOnlyWhatIsNotUtf8) {
  char field[11];
  CopyStoredText(field, nullptr, 10);
  EXPECT_STREQ(field, "");
  CopyStoredText(field, "Caf\xE9", 10);
  EXPECT_STREQ(field, "Caf\xC3\xA9");
  // Valid UTF-8 is never touched, even where it could be read as Windows-1252.
  CopyStoredText(field, "Caf\xC3\xA9", 10);
  EXPECT_STREQ(field, "Caf\xC3\xA9");
  // Converted, the text is longer: cut at the limit before a whole character.
  CopyStoredText(field, "\xE9\xE9\xE9\xE9\xE9\xE9", 10);
  EXPECT_STREQ(field, "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");
  CopyStoredText(field, "123456789\xE9", 10);
  EXPECT_STREQ(field, "123456789");
}

// A name normaliser that drops other characters makes "Café" and "Caf" one
// payee; one that keeps a no-break space misses "Check Number" from Excel.
TEST(TextEncoding, NamesCompareByWordsKeepingEveryCharacter) {
  struct Case {
    std::string text;
    std::string name;
  } cases[] = {
      {"  Check-Number ", "check number"},
      {"Check\xC2\xA0Number", "check number"},
      {"Caf\xC3\xA9 Z\xC3\x96", "caf\xC3\xA9 z\xC3\x96"},  // only ASCII letters are lowered
      {"Caf", "caf"},
      {"AT&T #1042", "at t 1042"},
      {"\xE6\x9D\xB1\xE4\xBA\xAC", "\xE6\x9D\xB1\xE4\xBA\xAC"},
      {"--", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(NormalizedName(c.text), c.name) << c.text;
}

// Compares that follow the C locale would fold bytes of UTF-8 characters in
// a Latin-1 locale, and a byte-order mark left in place hides a header.
TEST(TextEncoding, CaseIsIgnoredForAsciiLettersOnly) {
  struct Case {
    std::string a, b;
    bool equal, starts, contains;
  } cases[] = {
      {"Windows-1252", "WINDOWS-1252", true, true, true},
      {"!type:Bank extra", "!Type:Bank", false, true, true},
      {"<ofx><stmttrn>", "<STMTTRN>", false, false, true},
      {"\xC3\xA9", "\xC3\x89", false, false, false},  // e-acute and E-acute stay apart
      {"Payee", "Payees", false, false, false},
      {"", "", true, true, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EqualsNoCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
    EXPECT_EQ(StartsWithNoCase(c.a, c.b), c.starts) << c.a << " / " << c.b;
    EXPECT_EQ(ContainsNoCase(c.a, c.b), c.contains) << c.a << " / " << c.b;
  }
  EXPECT_EQ(LowerAscii("Posted \xC3\x89"), "posted \xC3\x89");
  EXPECT_EQ(SkipByteOrderMark("\xEF\xBB\xBF!Type:Bank"), "!Type:Bank");
  EXPECT_EQ(SkipByteOrderMark("\xEF\xBB!Type"), "\xEF\xBB!Type");
}

// Each length of UTF-8, up to the four bytes of U+10FFFF.
TEST(TextEncoding, CodePointsBecomeWellFormedUtf8) {
  const std::pair<uint32_t, std::string> cases[] = {
      {0x41, "A"}, {0xE9, "\xC3\xA9"}, {0x20AC, "\xE2\x82\xAC"}, {0x1F4B0, "\xF0\x9F\x92\xB0"},
      {0x10FFFF, "\xF4\x8F\xBF\xBF"}};
  for (const auto& [code, text] : cases) {
    std::string out;
    AppendUtf8(out, code);
    EXPECT_EQ(out, text) << code;
    EXPECT_TRUE(IsUtf8(out));
  }
}
