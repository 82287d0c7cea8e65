// GDK key values routed to the dialog manager or left to the GTK widget.
#include "platform/gtk/keys.h"

#include <gdk/gdkkeysyms.h>

namespace gtkfe {
namespace {

KeyAction Dialog(layer::Key key, unsigned modifiers) {
  KeyAction a;
  a.type = KeyAction::Key;
  a.key = key;
  a.modifiers = modifiers;
  return a;
}

bool TakesText(Focus f) { return f == Focus::Field || f == Focus::MultilineField || f == Focus::Combo; }

}  // namespace

KeyAction Route(unsigned keyval, char32_t ch, unsigned modifiers, Focus focus) {
  using layer::Key;
  bool alt = modifiers & layer::kAlt, ctrl = modifiers & layer::kCtrl;
  switch (keyval) {
    case GDK_KEY_Tab:
    case GDK_KEY_KP_Tab:
      return Dialog(Key::Tab, modifiers);
    case GDK_KEY_ISO_Left_Tab:
      return Dialog(Key::Tab, modifiers | layer::kShift);
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
      return Dialog(Key::Enter, modifiers);
    case GDK_KEY_Escape:
      return Dialog(Key::Escape, modifiers);
    case GDK_KEY_F10:
      return Dialog(Key::F10, modifiers);
    case GDK_KEY_F4:
      return Dialog(Key::F4, modifiers);
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up:
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down: {
      Key key = keyval == GDK_KEY_Up || keyval == GDK_KEY_KP_Up ? Key::Up : Key::Down;
      if (focus == Focus::MultilineField && !alt) return {};
      return Dialog(key, modifiers);
    }
    case GDK_KEY_Page_Up:
    case GDK_KEY_KP_Page_Up:
    case GDK_KEY_Page_Down:
    case GDK_KEY_KP_Page_Down: {
      Key key = keyval == GDK_KEY_Page_Up || keyval == GDK_KEY_KP_Page_Up ? Key::PageUp : Key::PageDown;
      if (focus == Focus::MultilineField) return {};
      return Dialog(key, modifiers);
    }
    case GDK_KEY_Left:
    case GDK_KEY_KP_Left:
    case GDK_KEY_Right:
    case GDK_KEY_KP_Right:
    case GDK_KEY_Home:
    case GDK_KEY_KP_Home:
    case GDK_KEY_End:
    case GDK_KEY_KP_End:
    case GDK_KEY_BackSpace:
    case GDK_KEY_Delete:
    case GDK_KEY_KP_Delete: {
      if (TakesText(focus)) return {};
      Key key = Key::Delete;
      switch (keyval) {
        case GDK_KEY_Left: case GDK_KEY_KP_Left: key = Key::Left; break;
        case GDK_KEY_Right: case GDK_KEY_KP_Right: key = Key::Right; break;
        case GDK_KEY_Home: case GDK_KEY_KP_Home: key = Key::Home; break;
        case GDK_KEY_End: case GDK_KEY_KP_End: key = Key::End; break;
        case GDK_KEY_BackSpace: key = Key::Backspace; break;
        default: break;
      }
      return Dialog(key, modifiers);
    }
    default:
      break;
  }
  if (ch == 0 || ch < 0x20 || ch == 0x7f) return {};
  if (alt) {
    KeyAction a;
    a.type = KeyAction::Char;
    a.ch = ch;
    a.modifiers = layer::kAlt;
    return a;
  }
  // Ctrl+C, Ctrl+V and the rest belong to the field; elsewhere they mean nothing.
  if (ctrl) return TakesText(focus) ? KeyAction{} : KeyAction{KeyAction::None};
  if (TakesText(focus)) return {};
  KeyAction a;
  a.type = KeyAction::Char;
  a.ch = ch;
  return a;
}

}  // namespace gtkfe
