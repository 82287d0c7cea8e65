// A person's actions, carried out through the input calls, so they take the
// same paths as keys and clicks from a terminal.
#include "platform/dialog/actions.h"

#include <cstdio>
#include <sstream>

#include "platform/dialog/desktop.h"
#include "platform/dialog/manager.h"

namespace layer::actions {
namespace {

Window* Dialog(HWND dialog) {
  Window* d = FromHandle(dialog);
  return d && !d->parent && !d->dialog.ended ? d : nullptr;
}

// An open dialog a person can work, or why not.
Window* Usable(HWND dialog, std::string& why) {
  Window* d = Dialog(dialog);
  if (!d) why = "no dialog is open";
  else if (!d->Enabled()) why = "the dialog \"" + d->text + "\" is disabled";
  return why.empty() ? d : nullptr;
}

// The control a person can reach, or why not.
Window* Reach(HWND dialog, int id, std::string& why) {
  Window* d = Usable(dialog, why);
  if (!d) return nullptr;
  Window* c = d->Child(id);
  if (!c) why = "no control " + std::to_string(id) + " in \"" + d->text + "\"";
  else if (!c->Visible()) why = "control " + std::to_string(id) + " is hidden";
  else if (!c->Enabled()) why = "control " + std::to_string(id) + " is disabled";
  return why.empty() ? c : nullptr;
}

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::Dialog: return "Dialog";
    case Kind::Button: return "Button";
    case Kind::Edit: return "Edit";
    case Kind::Static: return "Static";
    case Kind::ListBox: return "ListBox";
    case Kind::ComboBox: return "ComboBox";
    case Kind::GroupBox: return "GroupBox";
    default: return "Other";
  }
}

void DescribeMenu(std::ostringstream& out, const Menu& menu, const std::string& indent) {
  for (const MenuItem& item : menu.items) {
    if (item.separator) continue;
    if (item.popup) {
      out << indent << "popup " << Quote(item.text) << "\n";
      DescribeMenu(out, *item.popup, indent + "  ");
    } else {
      out << indent << "item " << item.id << " " << Quote(item.text)
          << ((item.state & MF_CHECKED) ? " checked" : " unchecked")
          << ((item.state & (MF_GRAYED | MF_DISABLED)) ? " grayed" : "") << "\n";
    }
  }
}

}  // namespace

std::string Click(HWND dialog, int id) {
  std::string why;
  if (Window* c = Reach(dialog, id, why)) ClickControl(ToHandle(c));
  return why;
}

std::string ChooseMenu(HWND dialog, int commandId) {
  std::string why;
  Window* d = Usable(dialog, why);
  if (!d) return why;
  Menu* bar = d->dialog.menu.get();
  if (!bar) return "\"" + d->text + "\" has no menu";
  for (size_t p = 0; p < bar->items.size(); ++p) {
    Menu* popup = bar->items[p].popup.get();
    if (!popup) continue;
    for (size_t i = 0; i < popup->items.size(); ++i) {
      const MenuItem& item = popup->items[i];
      if (item.separator || item.popup || item.id != static_cast<UINT>(commandId)) continue;
      if (item.state & (MF_GRAYED | MF_DISABLED)) return "menu item " + std::to_string(commandId) + " is grayed";
      ClickMenuBar(dialog, static_cast<int>(p));
      ClickMenuItem(dialog, static_cast<int>(i));
      return "";
    }
  }
  return "no menu item " + std::to_string(commandId);
}

std::string Type(HWND dialog, int id, const std::string& text) {
  std::string why;
  Window* c = Reach(dialog, id, why);
  if (!c) return why;
  if (c->kind != Kind::Edit && c->kind != Kind::ComboBox) return "control " + std::to_string(id) + " takes no text";
  ClickControl(ToHandle(c));
  EditPlaceCaret(c, c->text.size());  // the whole text selected, as a drag across it does
  c->edit.anchor = 0;
  if (text.empty() && !c->text.empty()) PressKey(Key::Delete);
  for (char ch : text) {
    if (ch == '\r') continue;
    if (ch == '\n') PressKey(Key::Enter, kCtrl);
    else TypeChar(ch);
  }
  return "";
}

std::string SetText(HWND dialog, int id, const std::string& text) {
  Window* d = Dialog(dialog);
  if (!d) return "no dialog is open";
  if (id == 0) return SetWindowTextA(dialog, text.c_str()) ? "" : "the caption was not set";
  if (!d->Child(id)) return "no control " + std::to_string(id) + " in \"" + d->text + "\"";
  SetDlgItemTextA(dialog, id, text.c_str());
  return "";
}

std::string SelectLine(HWND dialog, int id, int index) {
  std::string why;
  Window* c = Reach(dialog, id, why);
  if (!c) return why;
  if (c->kind == Kind::ComboBox) return PickItem(dialog, id, index);
  if (c->kind != Kind::ListBox) return "control " + std::to_string(id) + " is no list";
  if (index < 0 || index >= static_cast<int>(c->list.items.size()))
    return "list " + std::to_string(id) + " has no line " + std::to_string(index);
  ClickListLine(ToHandle(c), index);
  return "";
}

std::string PickItem(HWND dialog, int id, int index) {
  std::string why;
  Window* c = Reach(dialog, id, why);
  if (!c) return why;
  if (c->kind != Kind::ComboBox) return "control " + std::to_string(id) + " is no combo box";
  if (index < 0 || index >= static_cast<int>(c->list.items.size()))
    return "combo box " + std::to_string(id) + " has no item " + std::to_string(index);
  if (!c->combo.dropped) ClickComboArrow(ToHandle(c));
  ClickComboLine(ToHandle(c), index);
  return "";
}

std::string Focus(HWND dialog, int id) {
  std::string why;
  Window* c = Reach(dialog, id, why);
  if (!c) return why;
  if (c->kind == Kind::Static || c->kind == Kind::GroupBox) return "control " + std::to_string(id) + " takes no focus";
  if (c->kind == Kind::Button) {
    Activate(dialog);
    FocusControl(c, false);  // pressed and let go outside it
  } else {
    ClickControl(ToHandle(c));
  }
  return "";
}

std::string Press(HWND dialog, Key key, unsigned modifiers) {
  std::string why;
  if (Usable(dialog, why)) {
    Activate(dialog);
    PressKey(key, modifiers);
  }
  return why;
}

std::string Alt(HWND dialog, char letter) {
  std::string why;
  if (Usable(dialog, why)) {
    Activate(dialog);
    TypeChar(letter, kAlt);
  }
  return why;
}

std::string CloseBox(HWND dialog) {
  std::string why;
  if (Usable(dialog, why)) ClickCloseBox(dialog);
  return why;
}

std::string Drop(HWND dialog, const std::string& path) {
  std::string why;
  if (Usable(dialog, why) && !DropFiles(dialog, {path})) why = "the window takes no dropped files";
  return why;
}

std::string Text(HWND dialog, int id) {
  Window* d = Dialog(dialog);
  if (!d) return "";
  if (id == 0) return d->text;
  Window* c = d->Child(id);
  return c ? c->text : "";
}

bool Enabled(HWND dialog, int id) {
  Window* d = Dialog(dialog);
  Window* c = d ? (id == 0 ? d : d->Child(id)) : nullptr;
  return c && c->Enabled();
}

bool Visible(HWND dialog, int id) {
  Window* d = Dialog(dialog);
  Window* c = d ? (id == 0 ? d : d->Child(id)) : nullptr;
  return c && c->Visible();
}

int Focused(HWND dialog) {
  Window* d = Dialog(dialog);
  Window* f = d ? d->dialog.focus : nullptr;
  return f ? f->id : 0;
}

std::vector<std::string> Lines(HWND dialog, int id) {
  Window* d = Dialog(dialog);
  Window* c = d ? d->Child(id) : nullptr;
  return c ? c->list.items.Strings() : std::vector<std::string>{};
}

int Selection(HWND dialog, int id) {
  Window* d = Dialog(dialog);
  Window* c = d ? d->Child(id) : nullptr;
  return c ? c->list.selection : -1;
}

bool MenuChecked(HWND dialog, int commandId) {
  Window* d = Dialog(dialog);
  const MenuItem* item = d ? FindCommand(d->dialog.menu.get(), static_cast<UINT>(commandId)) : nullptr;
  return item && (item->state & MF_CHECKED);
}

std::string Describe(HWND dialog) {
  Window* d = Dialog(dialog);
  if (!d) return "no dialog\n";
  std::ostringstream out;
  out << "dialog " << d->dialog.templateId << " " << Quote(d->text) << (d->Enabled() ? "" : " disabled") << "\n";
  for (const auto& child : d->children) {
    const Window& c = *child;
    out << "  control " << c.id << " " << KindName(c.kind) << " " << Quote(c.text)
        << (c.Enabled() ? " enabled" : " disabled") << (c.Visible() ? " visible" : " hidden")
        << (d->dialog.focus == &c ? " focused" : "");
    if (c.kind == Kind::ListBox || c.kind == Kind::ComboBox) {
      out << " selection " << c.list.selection << " lines " << c.list.items.size() << "\n";
      for (size_t i = 0; i < c.list.items.size(); ++i) out << "    line " << i << " " << Quote(std::string(c.list.items[i])) << "\n";
    } else {
      out << "\n";
    }
  }
  if (d->dialog.menu) DescribeMenu(out, *d->dialog.menu, "  ");
  out << "end\n";
  return out.str();
}

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

}  // namespace layer::actions
