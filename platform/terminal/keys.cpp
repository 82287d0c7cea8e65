#include "platform/terminal/keys.h"

#include <curses.h>

#include "platform/text/utf8.h"

namespace term {

namespace {

using layer::Key;

Action KeyAction(Key key, unsigned modifiers = 0) {
  Action a;
  a.type = Action::Key;
  a.key = key;
  a.modifiers = modifiers;
  return a;
}

Action Simple(Action::Type type) {
  Action a;
  a.type = type;
  return a;
}

Action FunctionKey(int code, const ExtendedKeys& extended) {
  using layer::kShift;
  if (code == extended.altDown && code >= 0) return KeyAction(Key::Down, layer::kAlt);
  if (code == extended.altUp && code >= 0) return KeyAction(Key::Up, layer::kAlt);
  switch (code) {
    case KEY_BTAB: return KeyAction(Key::Tab, kShift);
    case KEY_LEFT: return KeyAction(Key::Left);
    case KEY_RIGHT: return KeyAction(Key::Right);
    case KEY_UP: return KeyAction(Key::Up);
    case KEY_DOWN: return KeyAction(Key::Down);
    case KEY_HOME: return KeyAction(Key::Home);
    case KEY_END: return KeyAction(Key::End);
    case KEY_PPAGE: return KeyAction(Key::PageUp);
    case KEY_NPAGE: return KeyAction(Key::PageDown);
    case KEY_SLEFT: return KeyAction(Key::Left, kShift);
    case KEY_SRIGHT: return KeyAction(Key::Right, kShift);
    case KEY_SR: return KeyAction(Key::Up, kShift);
    case KEY_SF: return KeyAction(Key::Down, kShift);
    case KEY_SHOME: return KeyAction(Key::Home, kShift);
    case KEY_SEND: return KeyAction(Key::End, kShift);
    case KEY_BACKSPACE: return KeyAction(Key::Backspace);
    case KEY_DC: return KeyAction(Key::Delete);
    case KEY_ENTER: return KeyAction(Key::Enter);
    case KEY_F(4): return KeyAction(Key::F4);
    case KEY_F(10): return KeyAction(Key::F10);
    case KEY_F(6): return Simple(Action::NextWindow);
    case KEY_F(52): return KeyAction(Key::F4, layer::kAlt);  // Alt+F4 in xterm's terms
    case KEY_MOUSE: return Simple(Action::Mouse);
    case KEY_RESIZE: return Simple(Action::Redraw);
    default: return Action{};
  }
}

// Ordinary characters: control codes that mean a key, the rest as UTF-8 bytes.
std::vector<Action> Character(int value, unsigned modifiers) {
  switch (value) {
    case '\t': return {KeyAction(Key::Tab, modifiers)};
    case '\r':
    case '\n': return {KeyAction(Key::Enter, modifiers)};
    case 8:
    case 127: return {KeyAction(Key::Backspace, modifiers)};
    case 27: return {KeyAction(Key::Escape)};
    case 3: return {Simple(Action::Quit)};
    case 12: return {Simple(Action::Redraw)};
    default: break;
  }
  if (value < 0x20 || (value >= 0x80 && value < 0xa0) || value > 0x10ffff) return {};
  char32_t ch = static_cast<char32_t>(value);
  std::string bytes = text::Encode(std::u32string_view(&ch, 1));
  int count = static_cast<int>(bytes.size());
  std::vector<Action> actions;
  for (int i = 0; i < count; ++i) {
    Action a;
    a.type = Action::Char;
    a.ch = static_cast<char>(bytes[i]);
    a.modifiers = count == 1 ? modifiers : 0;
    actions.push_back(a);
  }
  return actions;
}

}  // namespace

std::vector<Action> Translate(RawKey key, const std::function<std::optional<RawKey>()>& next,
                              const ExtendedKeys& extended) {
  if (key.function) {
    Action a = FunctionKey(key.value, extended);
    if (a.type == Action::None) return {};
    return {a};
  }
  if (key.value != 27) return Character(key.value, 0);
  std::optional<RawKey> follow = next();
  if (!follow) return {KeyAction(Key::Escape)};
  if (follow->function) {
    Action a = FunctionKey(follow->value, extended);
    if (a.type == Action::Key) {
      a.modifiers |= layer::kAlt;
      return {a};
    }
    // Escape, then a key that takes no Alt.
    std::vector<Action> actions{KeyAction(Key::Escape)};
    if (a.type != Action::None) actions.push_back(a);
    return actions;
  }
  if (follow->value >= 0x20 && follow->value != 127) return Character(follow->value, layer::kAlt);
  // Escape followed by Escape, Tab, Enter...: two keys.
  std::vector<Action> actions{KeyAction(Key::Escape)};
  for (const Action& a : Character(follow->value, 0)) actions.push_back(a);
  return actions;
}

}  // namespace term
