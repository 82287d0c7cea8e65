// A dialog's menu bar as a row of flat buttons, and its open popup as a box
// of them laid over the controls, both showing the dialog manager's menu state.
#include <cctype>

#include "platform/gtk/gtk_views.h"

namespace gtkfe {

namespace {

// A menu bar's title or a popup's item, as a screen reader takes it: its
// role, and the key its underlined letter stands for.
GtkWidget* NewMenuButton(GtkAccessibleRole role, const std::string& text, bool onBar) {
  GtkWidget* b = GTK_WIDGET(g_object_new(GTK_TYPE_BUTTON, "accessible-role", role, nullptr));
  char letter = layer::Mnemonic(text);
  if (letter) {
    std::string keys = onBar ? std::string("Alt+") : std::string();
    keys += static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    gtk_accessible_update_property(GTK_ACCESSIBLE(b), GTK_ACCESSIBLE_PROPERTY_KEY_SHORTCUTS, keys.c_str(), -1);
  }
  return b;
}

void BuildPopup(WindowView* view, int popup) {
  layer::Window* w = view->window;
  const layer::Menu& menu = *w->dialog.menu->items[static_cast<size_t>(popup)].popup;
  Name(view->popup, layer::WithoutMnemonic(w->dialog.menu->items[static_cast<size_t>(popup)].text));
  for (size_t i = 0; i < menu.items.size(); ++i) {
    const layer::MenuItem& item = menu.items[i];
    if (item.separator) {
      gtk_box_append(GTK_BOX(view->popup), gtk_separator_new(GTK_ORIENTATION_HORIZONTAL));
      view->popupItems.push_back(nullptr);
      continue;
    }
    GtkWidget* b = NewMenuButton(item.state & MF_CHECKED ? GTK_ACCESSIBLE_ROLE_MENU_ITEM_CHECKBOX : GTK_ACCESSIBLE_ROLE_MENU_ITEM,
                                 item.text, false);
    SetButtonText(b, (item.state & MF_CHECKED ? "✓ " : "    ") + item.text);
    Name(b, layer::WithoutMnemonic(item.text));
    gtk_button_set_has_frame(GTK_BUTTON(b), FALSE);
    gtk_widget_set_focusable(b, FALSE);
    gtk_widget_set_focus_on_click(b, FALSE);
    gtk_widget_set_halign(gtk_button_get_child(GTK_BUTTON(b)), GTK_ALIGN_START);
    if (item.state & MF_CHECKED)
      gtk_accessible_update_state(GTK_ACCESSIBLE(b), GTK_ACCESSIBLE_STATE_CHECKED, GTK_ACCESSIBLE_TRISTATE_TRUE, -1);
    gtk_widget_set_sensitive(b, (item.state & (MF_GRAYED | MF_DISABLED)) == 0);
    ConnectMenuButton(b, view, static_cast<int>(i), true);
    gtk_box_append(GTK_BOX(view->popup), b);
    view->popupItems.push_back(b);
  }
}

// Kept in the tree, unseen and untouchable, for half a second: long enough
// for a screen reader to take the focus moving out of it.
void RetirePopup(GtkWidget* popup) {
  gtk_widget_set_opacity(popup, 0);
  gtk_widget_set_can_target(popup, FALSE);
  g_timeout_add(500, +[](gpointer data) -> gboolean {
    auto* retired = static_cast<GtkWidget*>(data);
    if (GtkWidget* parent = gtk_widget_get_parent(retired)) gtk_fixed_remove(GTK_FIXED(parent), retired);
    g_object_unref(retired);
    return G_SOURCE_REMOVE;
  }, g_object_ref(popup));
}

// What an open popup's items were built from: its position, and each item's
// text and state.
std::string PopupSignature(int popup, const layer::Menu& menu) {
  std::string signature = std::to_string(popup);
  for (const layer::MenuItem& item : menu.items)
    signature += '\n' + std::to_string(item.separator ? -1 : static_cast<int>(item.state)) + ' ' + item.text;
  return signature;
}

}  // namespace

void NewPopup(WindowView* view) {
  view->popup = GTK_WIDGET(g_object_new(GTK_TYPE_BOX, "orientation", GTK_ORIENTATION_VERTICAL, "accessible-role",
                                        GTK_ACCESSIBLE_ROLE_MENU, nullptr));
  gtk_widget_add_css_class(view->popup, "win32-popup");
  gtk_fixed_put(GTK_FIXED(view->fixed), view->popup, 0, 0);
  gtk_widget_set_visible(view->popup, FALSE);
}

void GtkFrontEnd::CreateMenuBar(WindowView* view, GtkWidget* box) {
  layer::Window* w = view->window;
  view->menuBar = GTK_WIDGET(g_object_new(GTK_TYPE_BOX, "orientation", GTK_ORIENTATION_HORIZONTAL, "accessible-role",
                                          GTK_ACCESSIBLE_ROLE_MENU_BAR, nullptr));
  gtk_widget_add_css_class(view->menuBar, "win32-menubar");
  Name(view->menuBar, "Application");  // as Windows names a menu bar
  gtk_widget_set_size_request(view->menuBar, -1, view->layout.menuHeight);
  for (size_t i = 0; i < view->layout.menu.size(); ++i) {
    GtkWidget* b = NewMenuButton(GTK_ACCESSIBLE_ROLE_MENU, w->dialog.menu->items[i].text, true);
    SetButtonText(b, w->dialog.menu->items[i].text);
    gtk_button_set_has_frame(GTK_BUTTON(b), FALSE);
    gtk_widget_set_focusable(b, FALSE);
    gtk_widget_set_focus_on_click(b, FALSE);
    ConnectMenuButton(b, view, static_cast<int>(i), false);
    gtk_box_append(GTK_BOX(view->menuBar), b);
    view->menuButtons.push_back(b);
  }
  gtk_box_append(GTK_BOX(box), view->menuBar);
}

void GtkFrontEnd::UpdateMenu(WindowView* view) {
  if (!view->menuBar) return;
  layer::Window* w = view->window;
  const layer::MenuBarState& bar = w->dialog.menuBar;
  for (size_t i = 0; i < view->menuButtons.size(); ++i) {
    bool lit = bar.mode != layer::MenuBarState::Closed && bar.popup == static_cast<int>(i);
    if (lit) gtk_widget_add_css_class(view->menuButtons[i], "highlight");
    else gtk_widget_remove_css_class(view->menuButtons[i], "highlight");
  }
  bool open = bar.mode == layer::MenuBarState::Popup && bar.popup >= 0 &&
              bar.popup < static_cast<int>(w->dialog.menu->items.size()) && w->dialog.menu->items[static_cast<size_t>(bar.popup)].popup;
  // Built again only when its items change, so moving the highlight keeps
  // the same objects and a screen reader hears each item once.
  std::string built = open ? PopupSignature(bar.popup, *w->dialog.menu->items[static_cast<size_t>(bar.popup)].popup) : "";
  if (built != view->popupBuilt) {
    // Left or Right to another menu builds it in a new popup, so a screen
    // reader that follows the focus from the old menu's item to the new one's
    // names the new menu, as on Windows. The old popup stays, unseen, until
    // it has; a menu that closes is simply emptied.
    if (open && !view->popupBuilt.empty()) {
      RetirePopup(view->popup);
      NewPopup(view);
    }
    while (GtkWidget* child = gtk_widget_get_first_child(view->popup)) gtk_box_remove(GTK_BOX(view->popup), child);
    view->popupBuilt = built;
    view->popupItems.clear();
    if (open) BuildPopup(view, bar.popup);
  }
  gtk_widget_set_visible(view->popup, open);
  if (!open) return;
  for (size_t i = 0; i < view->popupItems.size(); ++i) {
    if (!view->popupItems[i]) continue;
    if (static_cast<int>(i) == bar.item) gtk_widget_add_css_class(view->popupItems[i], "highlight");
    else gtk_widget_remove_css_class(view->popupItems[i], "highlight");
  }
  gtk_fixed_move(GTK_FIXED(view->fixed), view->popup, view->layout.menu[static_cast<size_t>(bar.popup)].rect.x, 0);
}

GtkWidget* GtkFrontEnd::LitMenuWidget(WindowView* view) {
  const layer::MenuBarState& bar = view->window->dialog.menuBar;
  if (!view->menuBar || bar.mode == layer::MenuBarState::Closed) return nullptr;
  // A grayed item cannot hold the focus; its menu's title does.
  if (bar.mode == layer::MenuBarState::Popup && bar.item >= 0 && bar.item < static_cast<int>(view->popupItems.size()) &&
      view->popupItems[static_cast<size_t>(bar.item)] && gtk_widget_is_sensitive(view->popupItems[static_cast<size_t>(bar.item)]))
    return view->popupItems[static_cast<size_t>(bar.item)];
  if (bar.popup >= 0 && bar.popup < static_cast<int>(view->menuButtons.size()))
    return view->menuButtons[static_cast<size_t>(bar.popup)];
  return nullptr;
}

}  // namespace gtkfe
