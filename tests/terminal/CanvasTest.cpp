// Text on the character grid: labels, wrapping, wide characters, looks.
#include <gtest/gtest.h>

#include <clocale>

#include "platform/terminal/canvas.h"
#include "platform/terminal/layout.h"
#include "platform/terminal/palette.h"
#include "platform/terminal/render.h"

namespace {

using term::Style;

TEST(Text, LabelsDropTheirMnemonicMarker) {
  term::Label label = term::MakeLabel("&&Save &As");
  EXPECT_EQ(text::Encode(label.text), "&Save As");
  EXPECT_EQ(label.mnemonic, 6);
  EXPECT_EQ(term::MakeLabel("Re&port..").mnemonic, 2);
  EXPECT_EQ(term::MakeLabel("Plain").mnemonic, -1);
  EXPECT_EQ(text::Encode(term::MakeLabel("A&").text), "A&");
  // The mnemonic counts characters, not bytes.
  EXPECT_EQ(term::MakeLabel("\xc3\xa9t\xc3\xa9 &x").mnemonic, 4);
}

TEST(Text, WrapBreaksAtBlanksAndCutsWordsLongerThanALine) {
  auto wrap = [](const char* text, int width) {
    std::vector<std::string> out;
    for (const std::u32string& line : text::Wrap(text::Decode(text), width)) out.push_back(text::Encode(line));
    return out;
  };
  EXPECT_EQ(wrap("one two three", 7), (std::vector<std::string>{"one two", "three"}));
  EXPECT_EQ(wrap("abcdefghij", 4), (std::vector<std::string>{"abcd", "efgh", "ij"}));
  EXPECT_EQ(wrap("first\n\nthird", 10), (std::vector<std::string>{"first", "", "third"}));
  EXPECT_EQ(wrap("", 5), (std::vector<std::string>{""}));
}

TEST(Text, MalformedUtf8ShowsReplacementCharacters) {
  std::u32string chars = text::Decode("a\xff" "b\xc3");
  EXPECT_EQ(chars, (std::u32string{U'a', U'\uFFFD', U'b', U'\uFFFD'}));
  EXPECT_EQ(text::Encode(text::Decode("\xe2\x82\xac \xf0\x9f\x98\x80")), "\xe2\x82\xac \xf0\x9f\x98\x80");
}

TEST(Canvas, WideCharactersTakeTwoCellsAndOverwritingHalfClearsThem) {
  std::setlocale(LC_CTYPE, "C.UTF-8");
  term::Canvas canvas(1, 8);
  EXPECT_EQ(canvas.Text(0, 1, "日本", Style::Body, 8), 4);
  EXPECT_EQ(canvas.Row(0), " 日本   ");
  EXPECT_TRUE(canvas.At(0, 2).tail);
  // Not enough room for a whole wide character: it is left out.
  EXPECT_EQ(canvas.Text(0, 5, "日本", Style::Body, 3), 2);
  canvas.Put(0, 2, U'x', Style::Body);
  EXPECT_EQ(canvas.Row(0), "  x本日 ");
  std::setlocale(LC_CTYPE, "C");
}

TEST(Palette, FocusDisabledStateAndSelectionShowWithAndWithoutColours) {
  auto same = [](const term::Look& a, const term::Look& b) {
    return a.foreground == b.foreground && a.background == b.background && a.bold == b.bold &&
           a.reverse == b.reverse && a.underline == b.underline && a.dim == b.dim;
  };
  const std::pair<Style, Style> distinct[] = {
      {Style::Field, Style::FieldFocused},      {Style::Button, Style::ButtonFocused},
      {Style::Button, Style::Disabled},         {Style::Field, Style::Disabled},
      {Style::ListArea, Style::Selected},       {Style::ListArea, Style::SelectedFocused},
      {Style::FieldFocused, Style::TextSelected}, {Style::TitleActive, Style::TitleInactive},
      {Style::MenuBar, Style::MenuHighlight},   {Style::Body, Style::Shadow}};
  for (int colours : {0, 8, 256})
    for (auto [a, b] : distinct)
      EXPECT_FALSE(same(term::LookOf(a, colours), term::LookOf(b, colours)))
          << colours << " colours: styles " << static_cast<int>(a) << " and " << static_cast<int>(b);
}

}  // namespace
