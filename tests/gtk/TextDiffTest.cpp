// What a GTK field's edit is reported to the dialog manager as: one
// replacement of whole characters that turns the old text into the new.
#include <gtest/gtest.h>

#include "platform/gtk/text_diff.h"

namespace {

using gtkfe::DiffText;
using gtkfe::TextEdit;

struct Case {
  const char* what;
  std::string old, now;
  TextEdit edit;
};

TEST(TextDiffTest, AnEditIsOneReplacementOfWholeCharacters) {
  const Case cases[] = {
      {"typing at the end", "12.5", "12.50", {4, 4, "0"}},
      {"typing into a run of the same letter", "abbc", "abbbc", {3, 3, "b"}},
      {"Backspace in the middle", "abcd", "abd", {2, 3, ""}},
      {"a selection typed over", "hello world", "hello there", {6, 11, "there"}},
      {"a paste into an empty field", "", "Hardware", {0, 0, "Hardware"}},
      {"the field cleared", "Rent", "", {0, 4, ""}},
      {"nothing changed", "abc", "abc", {3, 3, ""}},
      {"a character sharing its lead byte", "\xC3\xA9", "\xC3\xA8", {0, 2, "\xC3\xA8"}},
      {"a character sharing its trail byte", "x\xC3\xA9y", "x\xC2\xA9y", {1, 3, "\xC2\xA9"}},
      {"a two-byte character typed before one", "\xC3\xA9", "\xC3\xA8\xC3\xA9", {0, 0, "\xC3\xA8"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TextEdit edit = DiffText(c.old, c.now);
    EXPECT_EQ(edit.from, c.edit.from);
    EXPECT_EQ(edit.to, c.edit.to);
    EXPECT_EQ(edit.inserted, c.edit.inserted);
    EXPECT_EQ(c.old.substr(0, edit.from) + edit.inserted + c.old.substr(edit.to), c.now);
  }
}

}  // namespace
