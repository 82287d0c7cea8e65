// A person's keys as the terminal reports them, turned into what they ask
// of the dialog manager.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "platform/dialog/input.h"

namespace term {

struct Action {
  enum Type {
    None,
    Key,          // layer::PressKey(key, modifiers)
    Char,         // layer::TypeChar(ch, modifiers): one byte of a character's UTF-8 text
    NextWindow,   // F6: the next open window becomes active
    Quit,         // Ctrl+C: the program closes as its main window's close box would
    Redraw,       // the screen changed size, or Ctrl+L
    Mouse,        // read the event with getmouse()
  } type = None;
  layer::Key key = layer::Key::Tab;
  unsigned modifiers = 0;
  char ch = 0;
};

// What get_wch() returned: a function key code or a character.
struct RawKey {
  bool function = false;
  int value = 0;
};

// Codes ncurses assigns to keys that terminfo names as extended capabilities
// (Alt+Down is "kDN3"); -1 when the terminal has none.
struct ExtendedKeys {
  int altDown = -1;
  int altUp = -1;
};

// Terminals send Alt+x as Escape followed by x. After an Escape, `next`
// returns the key that follows at once, or nothing after a short wait (a
// plain Escape).
std::vector<Action> Translate(RawKey key, const std::function<std::optional<RawKey>()>& next,
                              const ExtendedKeys& extended);

}  // namespace term
