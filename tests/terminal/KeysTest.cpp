// Raw terminal keys turned into the dialog manager's keys.
#include <gtest/gtest.h>

#include <curses.h>

#include <deque>

#include "platform/terminal/keys.h"

namespace {

using layer::Key;
using term::Action;
using term::RawKey;

RawKey Char(int c) { return RawKey{false, c}; }
RawKey Code(int c) { return RawKey{true, c}; }

// Translates `first`, with `following` as what arrives right after it.
std::vector<Action> Keys(RawKey first, std::deque<RawKey> following = {}, term::ExtendedKeys extended = {}) {
  auto next = [&following]() -> std::optional<RawKey> {
    if (following.empty()) return std::nullopt;
    RawKey k = following.front();
    following.pop_front();
    return k;
  };
  return term::Translate(first, next, extended);
}

void ExpectKey(const Action& a, Key key, unsigned modifiers = 0) {
  EXPECT_EQ(a.type, Action::Key);
  EXPECT_EQ(a.key, key);
  EXPECT_EQ(a.modifiers, modifiers);
}

TEST(Keys, EscapeAloneOrFollowedAtOnceByAnotherKey) {
  std::vector<Action> a = Keys(Char(27));
  ASSERT_EQ(a.size(), 1u);
  ExpectKey(a[0], Key::Escape);

  a = Keys(Char(27), {Char('n')});  // Alt+N as terminals send it
  ASSERT_EQ(a.size(), 1u);
  EXPECT_EQ(a[0].type, Action::Char);
  EXPECT_EQ(a[0].ch, 'n');
  EXPECT_EQ(a[0].modifiers, layer::kAlt);

  a = Keys(Char(27), {Code(KEY_DOWN)});
  ASSERT_EQ(a.size(), 1u);
  ExpectKey(a[0], Key::Down, layer::kAlt);

  a = Keys(Char(27), {Code(KEY_F(4))});
  ASSERT_EQ(a.size(), 1u);
  ExpectKey(a[0], Key::F4, layer::kAlt);

  // Keys that take no Alt come through as two keys.
  for (int second : {27, int{'\t'}, int{'\r'}}) {
    a = Keys(Char(27), {Char(second)});
    ASSERT_EQ(a.size(), 2u) << second;
    ExpectKey(a[0], Key::Escape);
    ExpectKey(a[1], second == 27 ? Key::Escape : second == '\t' ? Key::Tab : Key::Enter);
  }
  a = Keys(Char(27), {Code(KEY_RESIZE)});
  ASSERT_EQ(a.size(), 2u);
  ExpectKey(a[0], Key::Escape);
  EXPECT_EQ(a[1].type, Action::Redraw);
}

TEST(Keys, FunctionKeysAndControlCodes) {
  ExpectKey(Keys(Code(KEY_BTAB))[0], Key::Tab, layer::kShift);
  ExpectKey(Keys(Code(KEY_NPAGE))[0], Key::PageDown);
  ExpectKey(Keys(Code(KEY_SHOME))[0], Key::Home, layer::kShift);
  ExpectKey(Keys(Code(KEY_DC))[0], Key::Delete);
  ExpectKey(Keys(Code(KEY_F(10)))[0], Key::F10);
  ExpectKey(Keys(Code(KEY_F(4)))[0], Key::F4);
  ExpectKey(Keys(Code(KEY_F(52)))[0], Key::F4, layer::kAlt);
  ExpectKey(Keys(Char(127))[0], Key::Backspace);
  ExpectKey(Keys(Char(8))[0], Key::Backspace);
  ExpectKey(Keys(Code(KEY_BACKSPACE))[0], Key::Backspace);
  ExpectKey(Keys(Char('\r'))[0], Key::Enter);
  EXPECT_EQ(Keys(Code(KEY_F(6)))[0].type, Action::NextWindow);
  EXPECT_EQ(Keys(Char(3))[0].type, Action::Quit);
  EXPECT_EQ(Keys(Code(KEY_MOUSE))[0].type, Action::Mouse);
  EXPECT_TRUE(Keys(Char(2)).empty()) << "Ctrl+B means nothing";
  EXPECT_TRUE(Keys(Code(KEY_F(9))).empty());

  // Alt+Down as one sequence: the code ncurses gave the terminal's "kDN3".
  term::ExtendedKeys extended{600, 601};
  ExpectKey(Keys(Code(600), {}, extended)[0], Key::Down, layer::kAlt);
  ExpectKey(Keys(Code(601), {}, extended)[0], Key::Up, layer::kAlt);
  EXPECT_TRUE(Keys(Code(600)).empty()) << "unknown without the terminal's table";
}

TEST(Keys, CharactersArriveAsTheirUtf8Bytes) {
  std::vector<Action> a = Keys(Char(0xe9));  // é
  ASSERT_EQ(a.size(), 2u);
  EXPECT_EQ(static_cast<unsigned char>(a[0].ch), 0xc3);
  EXPECT_EQ(static_cast<unsigned char>(a[1].ch), 0xa9);
  EXPECT_EQ(a[0].modifiers, 0u);

  a = Keys(Char(0x20ac));  // €
  ASSERT_EQ(a.size(), 3u);
  EXPECT_EQ(std::string({a[0].ch, a[1].ch, a[2].ch}), "\xe2\x82\xac");

  a = Keys(Char('7'));
  ASSERT_EQ(a.size(), 1u);
  EXPECT_EQ(a[0].type, Action::Char);
  EXPECT_EQ(a[0].ch, '7');
  EXPECT_EQ(a[0].modifiers, 0u);
}

}  // namespace
