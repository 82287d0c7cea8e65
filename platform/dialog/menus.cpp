// Menus: built from templates, the Win32 menu functions, and the menu bar as
// a person works it with keys and clicks.
#include "platform/dialog/desktop.h"
#include "platform/dialog/manager.h"

namespace layer {

MenuItem* FindCommand(Menu* menu, UINT id) {
  if (!menu) return nullptr;
  for (MenuItem& item : menu->items) {
    if (item.popup) {
      if (MenuItem* found = FindCommand(item.popup.get(), id)) return found;
    } else if (!item.separator && item.id == id) {
      return &item;
    }
  }
  return nullptr;
}

namespace {

MenuItem* FindItem(Menu* menu, UINT item, UINT flags) {
  if (!menu) return nullptr;
  if (flags & MF_BYPOSITION) return item < menu->items.size() ? &menu->items[item] : nullptr;
  return FindCommand(menu, item);
}

bool Selectable(const MenuItem& item) { return !item.separator; }

Menu* OpenPopup(Window* d) {
  Menu* bar = d->dialog.menu.get();
  int p = d->dialog.menuBar.popup;
  if (!bar || p < 0 || p >= static_cast<int>(bar->items.size())) return nullptr;
  return bar->items[static_cast<size_t>(p)].popup.get();
}

// The next selectable item from `from` in direction `step`, wrapping.
int NextItem(Menu* popup, int from, int step) {
  int n = static_cast<int>(popup->items.size());
  for (int k = 1; k <= n; ++k) {
    int i = ((from + k * step) % n + n) % n;
    if (Selectable(popup->items[static_cast<size_t>(i)])) return i;
  }
  return -1;
}

void Open(Window* d, int popup) {
  MenuBarState& m = d->dialog.menuBar;
  m.mode = MenuBarState::Popup;
  m.popup = popup;
  Menu* items = OpenPopup(d);
  m.item = items ? NextItem(items, -1, 1) : -1;
  Changed();
}

}  // namespace

std::unique_ptr<Menu> CreateMenuFromTemplate(const std::vector<MenuTemplateItem>& items) {
  auto menu = std::make_unique<Menu>();
  for (const MenuTemplateItem& t : items) {
    MenuItem item;
    item.text = t.text;
    item.id = t.id;
    item.separator = (t.flags & MF_SEPARATOR) != 0;
    item.state = t.flags & (MF_CHECKED | MF_GRAYED | MF_DISABLED);
    if (t.flags & MF_POPUP) item.popup = CreateMenuFromTemplate(t.items);
    menu->items.push_back(std::move(item));
  }
  return menu;
}

void CloseMenu(Window* d) {
  MenuBarState& m = d->dialog.menuBar;
  if (m.mode == MenuBarState::Closed) return;
  m = MenuBarState{};
  Changed();
}

void ChooseMenuItem(Window* d, int popup, int item) {
  Menu* bar = d->dialog.menu.get();
  if (!bar || popup < 0 || popup >= static_cast<int>(bar->items.size())) return;
  Menu* items = bar->items[static_cast<size_t>(popup)].popup.get();
  if (!items || item < 0 || item >= static_cast<int>(items->items.size())) return;
  const MenuItem& chosen = items->items[static_cast<size_t>(item)];
  if (chosen.separator || chosen.popup || (chosen.state & (MF_GRAYED | MF_DISABLED))) return;
  CloseMenu(d);
  Command(d, static_cast<int>(chosen.id), 0, nullptr);
}

bool OpenMenuByMnemonic(Window* d, char c) {
  Menu* bar = d->dialog.menu.get();
  if (!bar) return false;
  for (size_t i = 0; i < bar->items.size(); ++i)
    if (bar->items[i].popup && Mnemonic(bar->items[i].text) == c) {
      Open(d, static_cast<int>(i));
      return true;
    }
  return false;
}

void MenuKey(Window* d, Key key) {
  MenuBarState& m = d->dialog.menuBar;
  Menu* bar = d->dialog.menu.get();
  if (!bar || bar->items.empty() || key == Key::Alt || key == Key::F10) {
    CloseMenu(d);
    return;
  }
  int popups = static_cast<int>(bar->items.size());
  if (m.mode == MenuBarState::Bar) {
    switch (key) {
      case Key::Left: m.popup = (m.popup + popups - 1) % popups; break;
      case Key::Right: m.popup = (m.popup + 1) % popups; break;
      case Key::Enter:
      case Key::Down:
      case Key::Up: Open(d, m.popup); break;
      case Key::Escape: CloseMenu(d); break;
      default: break;
    }
    Changed();
    return;
  }
  Menu* popup = OpenPopup(d);
  switch (key) {
    case Key::Up:
    case Key::Down:
      if (popup) m.item = NextItem(popup, m.item < 0 && key == Key::Up ? 0 : m.item, key == Key::Up ? -1 : 1);
      break;
    case Key::Home:
      if (popup) m.item = NextItem(popup, -1, 1);
      break;
    case Key::End:
      if (popup) m.item = NextItem(popup, 0, -1);
      break;
    case Key::Left: Open(d, (m.popup + popups - 1) % popups); break;
    case Key::Right: Open(d, (m.popup + 1) % popups); break;
    case Key::Enter: ChooseMenuItem(d, m.popup, m.item); return;
    case Key::Escape:
      m.mode = MenuBarState::Bar;
      m.item = -1;
      break;
    default: break;
  }
  Changed();
}

bool MenuChar(Window* d, char c) {
  MenuBarState& m = d->dialog.menuBar;
  if (m.mode == MenuBarState::Bar) return OpenMenuByMnemonic(d, c);
  Menu* popup = OpenPopup(d);
  if (!popup) return false;
  std::vector<int> matches;
  for (size_t i = 0; i < popup->items.size(); ++i)
    if (Selectable(popup->items[i]) && Mnemonic(popup->items[i].text) == c) matches.push_back(static_cast<int>(i));
  if (matches.empty()) return false;
  if (matches.size() == 1) {
    ChooseMenuItem(d, m.popup, matches[0]);
    return true;
  }
  // Several items share the letter: the highlight moves on, nothing runs.
  int next = matches[0];
  for (int i : matches)
    if (i > m.item) {
      next = i;
      break;
    }
  m.item = next;
  Changed();
  return true;
}

}  // namespace layer

using namespace layer;

HMENU WINAPI GetMenu(HWND window) {
  Window* w = FromHandle(window);
  return w && !w->parent ? ToHandle(w->dialog.menu.get()) : nullptr;
}

HMENU WINAPI GetSubMenu(HMENU menu, int position) {
  Menu* m = FromHandle(menu);
  if (!m || position < 0 || position >= static_cast<int>(m->items.size())) return nullptr;
  return ToHandle(m->items[static_cast<size_t>(position)].popup.get());
}

DWORD WINAPI CheckMenuItem(HMENU menu, UINT item, UINT flags) {
  MenuItem* found = FindItem(FromHandle(menu), item, flags);
  if (!found) return static_cast<DWORD>(-1);
  DWORD previous = found->state & MF_CHECKED;
  found->state = (found->state & ~static_cast<UINT>(MF_CHECKED)) | (flags & MF_CHECKED);
  Changed();
  return previous;
}

UINT WINAPI GetMenuState(HMENU menu, UINT item, UINT flags) {
  MenuItem* found = FindItem(FromHandle(menu), item, flags);
  if (!found) return static_cast<UINT>(-1);
  if (found->popup) return (static_cast<UINT>(found->popup->items.size()) << 8) | MF_POPUP | (found->state & 0xFF);
  return found->state | (found->separator ? MF_SEPARATOR : 0);
}

int WINAPI GetMenuItemCount(HMENU menu) {
  Menu* m = FromHandle(menu);
  return m ? static_cast<int>(m->items.size()) : -1;
}

UINT WINAPI GetMenuItemID(HMENU menu, int position) {
  Menu* m = FromHandle(menu);
  if (!m || position < 0 || position >= static_cast<int>(m->items.size())) return static_cast<UINT>(-1);
  const MenuItem& item = m->items[static_cast<size_t>(position)];
  return item.popup ? static_cast<UINT>(-1) : item.id;
}
