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
