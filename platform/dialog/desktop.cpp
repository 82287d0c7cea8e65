// Live windows, the top-level list, focus, and the Win32 window functions.
#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "platform/dialog/desktop.h"
#include "platform/dialog/frontend.h"
#include "platform/dialog/manager.h"

namespace layer {
namespace {

std::unordered_set<Window*>& LiveWindows() {
  static std::unordered_set<Window*> live;
  return live;
}

std::unordered_set<Menu*>& LiveMenus() {
  static std::unordered_set<Menu*> live;
  return live;
}

std::vector<Window*> topLevels;
Window* active = nullptr;
FrontEnd* frontEnd = nullptr;

int IndexOf(Window* dialog, Window* control) {
  for (size_t i = 0; i < dialog->children.size(); ++i)
    if (dialog->children[i].get() == control) return static_cast<int>(i);
  return -1;
}

bool Focusable(const Window* c) {
  return CanFocus(c) && c->kind != Kind::Static && c->kind != Kind::GroupBox;
}

}  // namespace

void Register(Window* w) {
  LiveWindows().insert(w);
  for (auto& c : w->children) Register(c.get());
  if (w->dialog.menu) RegisterMenu(w->dialog.menu.get());
}

void Unregister(Window* w) {
  LiveWindows().erase(w);
  for (auto& c : w->children) Unregister(c.get());
  if (w->dialog.menu) UnregisterMenu(w->dialog.menu.get());
}

void RegisterMenu(Menu* m) {
  LiveMenus().insert(m);
  for (auto& item : m->items)
    if (item.popup) RegisterMenu(item.popup.get());
}

void UnregisterMenu(Menu* m) {
  LiveMenus().erase(m);
  for (auto& item : m->items)
    if (item.popup) UnregisterMenu(item.popup.get());
}

Window* FromHandle(HWND hwnd) {
  Window* w = reinterpret_cast<Window*>(hwnd);
  return w && LiveWindows().count(w) ? w : nullptr;
}

Menu* FromHandle(HMENU hmenu) {
  Menu* m = reinterpret_cast<Menu*>(hmenu);
  return m && LiveMenus().count(m) ? m : nullptr;
}

void InstallFrontEnd(FrontEnd* f) { frontEnd = f; }
FrontEnd* InstalledFrontEnd() { return frontEnd; }

void Changed() {
  if (frontEnd) frontEnd->Changed();
}

LRESULT CopyText(const std::string& text, WPARAM size, LPARAM buffer) {
  char* out = reinterpret_cast<char*>(buffer);
  if (size == 0 || out == nullptr) return 0;
  size_t n = text::CharStart(text, std::min<size_t>(text.size(), size - 1));  // no half character at the end
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
  return static_cast<LRESULT>(n);
}

// ---- top-level windows

const std::vector<Window*>& TopLevelWindows() { return topLevels; }
Window* ActiveWindow() { return active; }

Window* FocusOf(Window* topLevel) { return topLevel ? topLevel->dialog.focus : nullptr; }

void AddTopLevel(Window* w) { topLevels.push_back(w); }

void RemoveTopLevel(Window* w) {
  topLevels.erase(std::remove(topLevels.begin(), topLevels.end(), w), topLevels.end());
  if (active == w) {
    active = nullptr;
    ActivateNext();
  }
  Changed();
}

void ActivateWindow(Window* w) {
  if (active == w && !topLevels.empty() && topLevels.back() == w) return;
  if (active && active != w) CloseMenu(active);
  topLevels.erase(std::remove(topLevels.begin(), topLevels.end(), w), topLevels.end());
  topLevels.push_back(w);
  active = w;
  Changed();
}

void ActivateNext() {
  Window* next = nullptr;
  for (auto it = topLevels.rbegin(); it != topLevels.rend() && !next; ++it)
    if ((*it)->Visible() && (*it)->Enabled()) next = *it;
  for (auto it = topLevels.rbegin(); it != topLevels.rend() && !next; ++it)
    if ((*it)->Visible()) next = *it;
  if (next) ActivateWindow(next);
  else active = nullptr;
  Changed();
}

// ---- focus

bool CanFocus(const Window* c) { return c && c->Visible() && c->Enabled(); }

Window* NextTabItem(Window* dialog, Window* from, bool previous) {
  int n = static_cast<int>(dialog->children.size());
  if (n == 0) return nullptr;
  int start = from ? IndexOf(dialog, from) : (previous ? 0 : n - 1);
  if (start < 0) start = previous ? 0 : n - 1;
  for (int step = 1; step <= n; ++step) {
    int i = ((start + (previous ? -step : step)) % n + n) % n;
    Window* c = dialog->children[static_cast<size_t>(i)].get();
    if (Focusable(c) && c->TabStop()) return c;
  }
  return nullptr;
}

Window* NextGroupItem(Window* dialog, Window* from, bool previous) {
  int at = IndexOf(dialog, from);
  if (at < 0) return nullptr;
  int first = at;
  while (first > 0 && !(dialog->children[static_cast<size_t>(first)]->style & WS_GROUP)) --first;
  int last = at + 1;
  int n = static_cast<int>(dialog->children.size());
  while (last < n && !(dialog->children[static_cast<size_t>(last)]->style & WS_GROUP)) ++last;
  int size = last - first;
  for (int step = 1; step < size; ++step) {
    int i = first + (((at - first) + (previous ? -step : step)) % size + size) % size;
    Window* c = dialog->children[static_cast<size_t>(i)].get();
    if (Focusable(c)) return c;
  }
  return nullptr;
}

void FocusControl(Window* control, bool byDialog) {
  Window* top = control->TopLevel();
  Window* old = top->dialog.focus;
  if (old != control) {
    top->dialog.focus = control;
    if (old && old->kind == Kind::ComboBox && old->combo.dropped) ComboShowList(old, false);
  }
  if (byDialog && (control->kind == Kind::Edit || control->kind == Kind::ComboBox)) {
    EditPlaceCaret(control, control->text.size());
    control->edit.anchor = 0;
  }
  Changed();
}

void LeaveControl(Window* control) {
  if (control->kind == Kind::ComboBox && control->combo.dropped) ComboShowList(control, false);
  Window* top = control->TopLevel();
  if (top == control) return;
  if (top->dialog.focus != control) return;
  Window* next = NextTabItem(top, control, false);
  if (next && next != control) {
    FocusControl(next, true);
  } else {
    top->dialog.focus = nullptr;
    Changed();
  }
}

}  // namespace layer

using namespace layer;

HWND WINAPI GetDlgItem(HWND dialog, int id) {
  Window* d = FromHandle(dialog);
  return d ? ToHandle(d->Child(id)) : nullptr;
}

int WINAPI GetDlgCtrlID(HWND window) {
  Window* w = FromHandle(window);
  return w && w->parent ? w->id : 0;
}

HWND WINAPI GetParent(HWND window) {
  Window* w = FromHandle(window);
  if (!w) return nullptr;
  return ToHandle(w->parent ? w->parent : w->dialog.owner);
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Send(FromHandle(window), message, wParam, lParam);
}

LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageA(GetDlgItem(dialog, id), message, wParam, lParam);
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
  Window* w = FromHandle(window);
  return w ? static_cast<BOOL>(Send(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text))) : FALSE;
}

int WINAPI GetWindowTextA(HWND window, LPSTR buffer, int size) {
  Window* w = FromHandle(window);
  if (!w || size <= 0) return 0;
  return static_cast<int>(Send(w, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int WINAPI GetWindowTextLengthA(HWND window) {
  return static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) { return SetWindowTextA(GetDlgItem(dialog, id), text); }

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) {
    if (buffer && size > 0) buffer[0] = '\0';
    return 0;
  }
  return static_cast<UINT>(GetWindowTextA(item, buffer, size));
}

BOOL WINAPI EnableWindow(HWND window, BOOL enable) {
  Window* w = FromHandle(window);
  if (!w) return FALSE;
  BOOL wasDisabled = !w->Enabled();
  if (enable) {
    w->style &= ~static_cast<DWORD>(WS_DISABLED);
  } else if (!wasDisabled) {
    w->style |= WS_DISABLED;
    if (w->parent) LeaveControl(w);
    else if (w == ActiveWindow()) CloseMenu(w);
  }
  Changed();
  return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND window) {
  Window* w = FromHandle(window);
  return w && w->Enabled();
}

BOOL WINAPI ShowWindow(HWND window, int command) {
  Window* w = FromHandle(window);
  if (!w) return FALSE;
  BOOL wasVisible = w->Visible();
  if (command == SW_HIDE) {
    if (wasVisible) {
      w->style &= ~static_cast<DWORD>(WS_VISIBLE);
      // A hidden control keeps the focus (unlike a disabled one): Tab goes on from it.
      if (w->kind == Kind::ComboBox && w->combo.dropped) ComboShowList(w, false);
      if (!w->parent && w == ActiveWindow()) ActivateNext();
    }
  } else {
    w->style |= WS_VISIBLE;
    if (!w->parent && command != 8 /* SW_SHOWNA */ && w->Enabled()) ActivateWindow(w);
  }
  Changed();
  return wasVisible;
}

BOOL WINAPI IsWindowVisible(HWND window) {
  for (Window* w = FromHandle(window); w; w = w->parent)
    if (!w->Visible()) return FALSE;
  return FromHandle(window) != nullptr;
}

BOOL WINAPI IsWindow(HWND window) { return FromHandle(window) != nullptr; }

HWND WINAPI GetFocus() { return ToHandle(FocusOf(ActiveWindow())); }

HWND WINAPI SetFocus(HWND window) {
  HWND previous = GetFocus();
  Window* w = FromHandle(window);
  if (!window) {
    if (ActiveWindow()) ActiveWindow()->dialog.focus = nullptr;
    Changed();
    return previous;
  }
  if (!w || !w->Enabled() || !w->Visible()) return nullptr;
  Window* top = w->TopLevel();
  if (w != top) FocusControl(w, false);
  if (top->Visible() && top->Enabled() && top != ActiveWindow()) ActivateWindow(top);
  return previous;
}
