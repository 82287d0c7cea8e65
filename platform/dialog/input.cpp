// Keys and clicks, handled as the Windows dialog manager handles them.
#include "platform/dialog/input.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

#include "platform/dialog/desktop.h"
#include "platform/dialog/manager.h"

namespace layer {
namespace {

bool PushButton(const Window* w) { return w && w->PushButton(); }
bool TakesText(const Window* w) { return w && (w->kind == Kind::Edit || w->kind == Kind::ComboBox); }

// The window that takes keys, or null when none may.
Window* KeyWindow() {
  Window* d = ActiveWindow();
  return d && d->Enabled() && d->Visible() && !d->dialog.ended ? d : nullptr;
}

// A top-level window that may take a click, brought to the front.
Window* ClickWindow(Window* w) {
  if (!w) return nullptr;
  Window* top = w->TopLevel();
  if (!top->Enabled() || !top->Visible() || top->dialog.ended) return nullptr;
  ActivateWindow(top);
  CloseMenu(top);
  return top;
}

int Lines(const Window* w) { return static_cast<int>(w->list.items.size()); }

void Enter(Window* d, Window* focus, unsigned modifiers) {
  if (focus && focus->Multiline() && ((focus->style & ES_WANTRETURN) || (modifiers & kCtrl))) {
    EditKey(focus, Key::Enter, modifiers);
    return;
  }
  // The focused button only while it is the default: the focus came by Tab,
  // the arrows or WM_NEXTDLGCTL. One pressed by its letter or a click is not.
  if (PushButton(focus) && focus->DefaultButton()) {
    Command(d, focus->id, BN_CLICKED, focus);
    return;
  }
  int id = DefaultId(d);
  Window* button = d->Child(id);
  if (button && !button->Enabled()) return;
  Command(d, id, BN_CLICKED, button);
}

void Escape(Window* d) {
  Window* cancel = d->Child(IDCANCEL);
  if (cancel && !cancel->Enabled()) return;
  Command(d, IDCANCEL, BN_CLICKED, cancel);
}

// The focused control's own keys; false when it leaves the key to the dialog.
bool ControlKey(Window* f, Key key, unsigned modifiers) {
  bool alt = modifiers & kAlt;
  if (f->kind == Kind::ComboBox) {
    if (key == Key::F4 || (alt && (key == Key::Down || key == Key::Up))) {
      ComboShowList(f, !f->combo.dropped);
      return true;
    }
    int page = DroppedLines(*f);
    if (f->combo.dropped) {
      int h = f->combo.highlight;
      switch (key) {
        case Key::Up: ComboMoveHighlight(f, h < 0 ? 0 : h - 1); return true;
        case Key::Down: ComboMoveHighlight(f, h + 1); return true;
        case Key::PageUp: ComboMoveHighlight(f, h - page); return true;
        case Key::PageDown: ComboMoveHighlight(f, h < 0 ? page - 1 : h + page); return true;
        case Key::Enter:
          if (h >= 0) ComboChoose(f, h);
          else ComboShowList(f, false);
          return true;
        case Key::Escape: ComboShowList(f, false); return true;
        case Key::Tab: ComboShowList(f, false); return false;
        default: break;
      }
    } else if (key == Key::Up || key == Key::Down) {
      int from = f->list.selection;
      if (from < 0) from = static_cast<int>(SendMessageA(ToHandle(f), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                         reinterpret_cast<LPARAM>(f->text.c_str())));
      int to = from < 0 ? 0 : std::clamp(from + (key == Key::Up ? -1 : 1), 0, Lines(f) - 1);
      if (Lines(f) > 0 && to != from) ComboChoose(f, to);
      return true;
    }
    if (key == Key::Tab || key == Key::Enter || key == Key::Escape) return false;
    EditKey(f, key, modifiers);
    return true;
  }
  if (f->kind == Kind::Edit) {
    if (key == Key::Tab || key == Key::Escape || key == Key::Enter) return false;
    EditKey(f, key, modifiers);
    return true;
  }
  if (f->kind == Kind::ListBox) {
    int page = std::max(1, VisibleLines(*f) - 1), caret = f->list.caret;
    int to = caret;
    switch (key) {
      case Key::Up: to = caret - 1; break;
      case Key::Down: to = caret + 1; break;
      case Key::PageUp: to = caret - page; break;
      case Key::PageDown: to = caret + page; break;
      case Key::Home: to = 0; break;
      case Key::End: to = Lines(f) - 1; break;
      case Key::Left:
      case Key::Right: return true;
      default: return false;
    }
    // While the caret's line is not selected (after every refill), the first
    // key selects that line rather than moving.
    ListMoveSelection(f, f->list.selection == caret ? to : caret);
    return true;
  }
  return false;
}

// Alt+letter, or a plain letter where the focus takes no characters.
bool DialogMnemonic(Window* d, char c) {
  int n = static_cast<int>(d->children.size());
  int start = -1;
  for (int i = 0; i < n; ++i)
    if (d->children[static_cast<size_t>(i)].get() == d->dialog.focus) start = i;
  for (int step = 1; step <= n; ++step) {
    int i = (start + step + n) % n;
    Window* c2 = d->children[static_cast<size_t>(i)].get();
    if (!CanFocus(c2) || TakesText(c2) || c2->kind == Kind::ListBox) continue;
    if (c2->kind == Kind::Static && (c2->style & SS_NOPREFIX)) continue;
    if (Mnemonic(c2->text) != c) continue;
    if (c2->kind == Kind::Button) {
      SendMessageA(ToHandle(c2), BM_CLICK, 0, 0);
    } else {
      // A label hands the focus to the next tab stop after it.
      for (int k = 1; k < n; ++k) {
        Window* next = d->children[static_cast<size_t>((i + k) % n)].get();
        if (CanFocus(next) && next->TabStop() && next->kind != Kind::Static) {
          Send(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ToHandle(next)), TRUE);
          break;
        }
      }
    }
    return true;
  }
  return false;
}

// The next line that begins with the typed character (ASCII letters in either case).
void ListLetter(Window* list, const std::string& ch) {
  auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  };
  int n = Lines(list);
  for (int step = 1; step <= n; ++step) {
    int i = (list->list.selection + step + n) % n;
    std::string_view item = list->list.items[static_cast<size_t>(i)];
    if (item.size() >= ch.size() && std::equal(ch.begin(), ch.end(), item.begin(), same)) {
      ListMoveSelection(list, i);
      return;
    }
  }
}

// The terminal hands over a character's UTF-8 bytes one at a time. They are
// held until the character is whole, so that a field never takes part of
// one; bytes that cannot make one are dropped.
std::string pending;
size_t pendingLength = 0;

std::string WholeCharacter(char c) {
  unsigned char b = static_cast<unsigned char>(c);
  if (b < 0x80) {
    pending.clear();
    return std::string(1, c);
  }
  if ((b & 0xc0) == 0x80) {
    if (pending.empty()) return "";
    pending += c;
    if (pending.size() < pendingLength) return "";
    std::string whole;
    whole.swap(pending);
    return whole;
  }
  pendingLength = (b & 0xe0) == 0xc0 ? 2 : (b & 0xf0) == 0xe0 ? 3 : (b & 0xf8) == 0xf0 ? 4 : 0;
  pending = pendingLength ? std::string(1, c) : std::string();
  return "";
}

}  // namespace

void PressKey(Key key, unsigned modifiers) {
  pending.clear();
  Window* d = KeyWindow();
  if (!d) return;
  if (key == Key::F4 && (modifiers & kAlt)) {
    CloseMenu(d);
    Send(d, WM_CLOSE, 0, 0);
    return;
  }
  if (d->dialog.menuBar.mode != MenuBarState::Closed) {
    MenuKey(d, key);
    return;
  }
  if (key == Key::F10 || key == Key::Alt) {
    if (d->dialog.menu && !d->dialog.menu->items.empty()) {
      d->dialog.menuBar.mode = MenuBarState::Bar;
      d->dialog.menuBar.popup = 0;
      d->dialog.menuBar.item = -1;
      Changed();
    }
    return;
  }
  Window* f = d->dialog.focus;
  if (f && ControlKey(f, key, modifiers)) return;
  switch (key) {
    case Key::Tab:
      Send(d, WM_NEXTDLGCTL, (modifiers & kShift) ? 1 : 0, 0);
      return;
    case Key::Enter:
      Enter(d, f, modifiers);
      return;
    case Key::Escape:
      Escape(d);
      return;
    case Key::Left:
    case Key::Up:
    case Key::Right:
    case Key::Down:
      if (f)
        if (Window* next = NextGroupItem(d, f, key == Key::Left || key == Key::Up))
          Send(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ToHandle(next)), TRUE);
      return;
    default:
      return;
  }
}

void TypeChar(char c, unsigned modifiers) {
  std::string ch = modifiers & (kAlt | kCtrl) ? (pending.clear(), std::string(1, c)) : WholeCharacter(c);
  Window* d = KeyWindow();
  if (!d || (modifiers & kCtrl) || ch.empty()) return;
  char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(ch[0])));
  bool menuOpen = d->dialog.menuBar.mode != MenuBarState::Closed;
  if (modifiers & kAlt) {
    if (menuOpen) CloseMenu(d);
    if (!DialogMnemonic(d, letter)) OpenMenuByMnemonic(d, letter);
    return;
  }
  if (menuOpen) {
    MenuChar(d, letter);
    return;
  }
  Window* f = d->dialog.focus;
  if (TakesText(f)) {
    EditReplaceSelection(f, ch);
  } else if (f && f->kind == Kind::ListBox) {
    ListLetter(f, ch);
  } else if (ch == " " && PushButton(f)) {
    SendMessageA(ToHandle(f), BM_CLICK, 0, 0);
  } else {
    DialogMnemonic(d, letter);
  }
}

void ClickControl(HWND control) {
  Window* c = FromHandle(control);
  if (!ClickWindow(c) || c->parent == nullptr || !CanFocus(c)) return;
  switch (c->kind) {
    case Kind::Button:
      SendMessageA(control, BM_CLICK, 0, 0);
      break;
    case Kind::Edit:
    case Kind::ComboBox:
      if (c->combo.dropped) ComboShowList(c, false);
      FocusControl(c, false);
      EditPlaceCaret(c, c->text.size());
      break;
    case Kind::ListBox:
      FocusControl(c, false);
      break;
    default:
      break;
  }
}

void ClickEdit(HWND edit, size_t position) {
  Window* c = FromHandle(edit);
  if (!ClickWindow(c) || !CanFocus(c) || !TakesText(c)) return;
  if (c->combo.dropped) ComboShowList(c, false);
  FocusControl(c, false);
  EditPlaceCaret(c, position);
}

void ClickListLine(HWND list, int index) {
  Window* c = FromHandle(list);
  if (!ClickWindow(c) || !CanFocus(c)) return;
  if (c->kind == Kind::ComboBox) {
    ClickComboLine(list, index);
    return;
  }
  if (c->kind != Kind::ListBox) return;
  FocusControl(c, false);
  if (index >= 0 && index < Lines(c)) ListMoveSelection(c, index);
}

void ClickComboArrow(HWND combo) {
  Window* c = FromHandle(combo);
  if (!ClickWindow(c) || !CanFocus(c) || c->kind != Kind::ComboBox) return;
  bool open = !c->combo.dropped;
  FocusControl(c, false);
  ComboShowList(c, open);
}

void ClickComboLine(HWND combo, int index) {
  Window* c = FromHandle(combo);
  if (!ClickWindow(c) || !CanFocus(c) || c->kind != Kind::ComboBox || !c->combo.dropped) return;
  ComboChoose(c, index);
}

void ListResized(HWND list, int linesBefore) {
  Window* c = FromHandle(list);
  if (!c || c->kind != Kind::ListBox) return;
  int count = Lines(c), shown = VisibleLines(*c);
  int top = c->list.topIndex + linesBefore >= count ? count - shown : c->list.topIndex;
  c->list.topIndex = std::clamp(top, 0, std::max(0, count - shown));
  Changed();
}

void Wheel(HWND list, int lines) {
  Window* c = FromHandle(list);
  if (!c || !c->Enabled()) return;
  int shown = 0;
  if (c->kind == Kind::ListBox) shown = VisibleLines(*c);
  else if (c->kind == Kind::ComboBox && c->combo.dropped) shown = DroppedLines(*c);
  else return;
  c->list.topIndex = std::clamp(c->list.topIndex + lines, 0, std::max(0, Lines(c) - shown));
  CheckList(*c);
  Changed();
}

void ClickMenuBar(HWND dialog, int popup) {
  Window* d = FromHandle(dialog);
  if (!d || d->parent || !d->dialog.menu) return;
  MenuBarState m = d->dialog.menuBar;
  if (!ClickWindow(d)) return;
  if (popup < 0 || popup >= static_cast<int>(d->dialog.menu->items.size())) return;
  if (m.mode == MenuBarState::Popup && m.popup == popup) return;  // a second click closes it
  d->dialog.menuBar.mode = MenuBarState::Popup;
  d->dialog.menuBar.popup = popup;
  d->dialog.menuBar.item = -1;
  Changed();
}

void ClickMenuItem(HWND dialog, int item) {
  Window* d = FromHandle(dialog);
  if (!d || d->dialog.menuBar.mode != MenuBarState::Popup || !d->Enabled()) return;
  ChooseMenuItem(d, d->dialog.menuBar.popup, item);
}

void ClickCloseBox(HWND dialog) {
  Window* d = FromHandle(dialog);
  if (!d || d->parent || !ClickWindow(d)) return;
  Send(d, WM_CLOSE, 0, 0);
}

void Activate(HWND topLevel) {
  Window* d = FromHandle(topLevel);
  if (d && !d->parent && d->Enabled() && d->Visible() && !d->dialog.ended) ActivateWindow(d);
}

}  // namespace layer
