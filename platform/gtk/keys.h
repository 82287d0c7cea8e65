// Which keys the dialog manager takes and which the focused GTK widget keeps.
// The dialog manager gives Tab, Enter, Esc, the arrows and paging keys,
// Alt+letter and F10 the meaning Windows gives them; an entry field keeps its
// caret keys, Backspace and Delete, the clipboard keys and every character
// (so input methods, dead keys and compose work as on the desktop).
#pragma once

#include <cstdint>

#include "platform/dialog/input.h"

namespace gtkfe {

// What has the focus, as far as keys go.
enum class Focus { Other, Field, MultilineField, Combo, List };

struct KeyAction {
  enum Type { Native, Key, Char, None } type = Native;
  layer::Key key = layer::Key::Tab;
  unsigned modifiers = 0;
  char32_t ch = 0;  // for Char
};

// `keyval` is a GDK key value, `ch` its character (0 for none), the
// modifiers as the dialog manager counts them.
KeyAction Route(unsigned keyval, char32_t ch, unsigned modifiers, Focus focus);

}  // namespace gtkfe
