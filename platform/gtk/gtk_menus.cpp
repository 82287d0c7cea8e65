// A dialog's menu bar as a row of flat buttons, and its open popup as a box
// of them laid over the controls, both showing the dialog manager's menu state.
#include "platform/gtk/gtk_views.h"

namespace gtkfe {

void GtkFrontEnd::CreateMenuBar(WindowView* view, GtkWidget* box) {
  layer::Window* w = view->window;
  view->menuBar = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
  gtk_widget_add_css_class(view->menuBar, "win32-menubar");
  gtk_widget_set_size_request(view->menuBar, -1, view->layout.menuHeight);
  for (size_t i = 0; i < view->layout.menu.size(); ++i) {
    GtkWidget* b = gtk_button_new();
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
  while (GtkWidget* child = gtk_widget_get_first_child(view->popup)) gtk_box_remove(GTK_BOX(view->popup), child);
  bool open = bar.mode == layer::MenuBarState::Popup && bar.popup >= 0 &&
              bar.popup < static_cast<int>(w->dialog.menu->items.size()) && w->dialog.menu->items[static_cast<size_t>(bar.popup)].popup;
  gtk_widget_set_visible(view->popup, open);
  if (!open) return;
  const layer::Menu& menu = *w->dialog.menu->items[static_cast<size_t>(bar.popup)].popup;
  for (size_t i = 0; i < menu.items.size(); ++i) {
    const layer::MenuItem& item = menu.items[i];
    if (item.separator) {
      gtk_box_append(GTK_BOX(view->popup), gtk_separator_new(GTK_ORIENTATION_HORIZONTAL));
      continue;
    }
    GtkWidget* b = gtk_button_new();
    SetButtonText(b, (item.state & MF_CHECKED ? "✓ " : "    ") + item.text);
    Name(b, layer::WithoutMnemonic(item.text));
    gtk_button_set_has_frame(GTK_BUTTON(b), FALSE);
    gtk_widget_set_focusable(b, FALSE);
    gtk_widget_set_focus_on_click(b, FALSE);
    gtk_widget_set_halign(gtk_button_get_child(GTK_BUTTON(b)), GTK_ALIGN_START);
    if (item.state & MF_CHECKED)
      gtk_accessible_update_state(GTK_ACCESSIBLE(b), GTK_ACCESSIBLE_STATE_CHECKED, GTK_ACCESSIBLE_TRISTATE_TRUE, -1);
    gtk_widget_set_sensitive(b, (item.state & (MF_GRAYED | MF_DISABLED)) == 0);
    if (static_cast<int>(i) == bar.item) gtk_widget_add_css_class(b, "highlight");
    ConnectMenuButton(b, view, static_cast<int>(i), true);
    gtk_box_append(GTK_BOX(view->popup), b);
  }
  gtk_fixed_move(GTK_FIXED(view->fixed), view->popup, view->layout.menu[static_cast<size_t>(bar.popup)].rect.x, 0);
}

}  // namespace gtkfe
