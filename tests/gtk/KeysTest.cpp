// Which keys the dialog manager takes from the desktop and which stay with
// the focused GTK field.
#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>

#include "platform/gtk/keys.h"

namespace {

using gtkfe::Focus;
using gtkfe::KeyAction;
using layer::Key;

struct Case {
  const char* what;
  unsigned keyval;
  char32_t ch;
  unsigned modifiers;
  Focus focus;
  KeyAction::Type type;
  Key key;                 // for Key
  unsigned outModifiers;   // for Key and Char
};

TEST(KeysTest, DialogKeysGoToTheDialogManagerAndTypingStaysInTheField) {
  const Case cases[] = {
      {"Tab in a field", GDK_KEY_Tab, 0, 0, Focus::Field, KeyAction::Key, Key::Tab, 0},
      {"Shift+Tab arrives as ISO_Left_Tab", GDK_KEY_ISO_Left_Tab, 0, layer::kShift, Focus::Field, KeyAction::Key, Key::Tab, layer::kShift},
      {"Enter in a field is the default button", GDK_KEY_Return, 0, 0, Focus::Field, KeyAction::Key, Key::Enter, 0},
      {"keypad Enter too", GDK_KEY_KP_Enter, 0, 0, Focus::Combo, KeyAction::Key, Key::Enter, 0},
      {"Esc", GDK_KEY_Escape, 0, 0, Focus::Field, KeyAction::Key, Key::Escape, 0},
      {"F10 opens the menu bar", GDK_KEY_F10, 0, 0, Focus::Field, KeyAction::Key, Key::F10, 0},
      {"Alt+Down opens the payee list", GDK_KEY_Down, 0, layer::kAlt, Focus::Combo, KeyAction::Key, Key::Down, layer::kAlt},
      {"Down in the list", GDK_KEY_Down, 0, 0, Focus::List, KeyAction::Key, Key::Down, 0},
      {"Page Down in the list", GDK_KEY_Page_Down, 0, 0, Focus::List, KeyAction::Key, Key::PageDown, 0},
      {"Home in the list", GDK_KEY_Home, 0, 0, Focus::List, KeyAction::Key, Key::Home, 0},
      {"Alt+N is a mnemonic, also in a field", GDK_KEY_n, U'n', layer::kAlt, Focus::Field, KeyAction::Char, Key::Tab, layer::kAlt},
      {"a letter on a button is a mnemonic", GDK_KEY_n, U'n', 0, Focus::Other, KeyAction::Char, Key::Tab, 0},
      {"space on a button presses it", GDK_KEY_space, U' ', 0, Focus::Other, KeyAction::Char, Key::Tab, 0},
      {"Left in a field moves GTK's caret", GDK_KEY_Left, 0, 0, Focus::Field, KeyAction::Native, Key::Tab, 0},
      {"Shift+Home selects in the field", GDK_KEY_Home, 0, layer::kShift, Focus::Combo, KeyAction::Native, Key::Tab, 0},
      {"BackSpace edits the field", GDK_KEY_BackSpace, 0, 0, Focus::Field, KeyAction::Native, Key::Tab, 0},
      {"a letter in a field goes through the input method", GDK_KEY_a, U'a', 0, Focus::Field, KeyAction::Native, Key::Tab, 0},
      {"a dead key's result too", GDK_KEY_eacute, U'é', 0, Focus::Combo, KeyAction::Native, Key::Tab, 0},
      {"Ctrl+V pastes in the field", GDK_KEY_v, U'v', layer::kCtrl, Focus::Field, KeyAction::Native, Key::Tab, 0},
      {"Ctrl+V on a button does nothing", GDK_KEY_v, U'v', layer::kCtrl, Focus::Other, KeyAction::None, Key::Tab, 0},
      {"Down in a note field moves between its lines", GDK_KEY_Down, 0, 0, Focus::MultilineField, KeyAction::Native, Key::Tab, 0},
      {"Left on a button moves in its group", GDK_KEY_Left, 0, 0, Focus::Other, KeyAction::Key, Key::Left, 0},
  };
  for (const Case& c : cases) {
    KeyAction a = gtkfe::Route(c.keyval, c.ch, c.modifiers, c.focus);
    EXPECT_EQ(a.type, c.type) << c.what;
    if (a.type == KeyAction::Key) {
      EXPECT_EQ(a.key, c.key) << c.what;
      EXPECT_EQ(a.modifiers, c.outModifiers) << c.what;
    }
    if (a.type == KeyAction::Char) {
      EXPECT_EQ(a.ch, c.ch) << c.what;
      EXPECT_EQ(a.modifiers, c.outModifiers) << c.what;
    }
  }
}

}  // namespace
