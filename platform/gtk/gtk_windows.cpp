// Each top-level window of the dialog manager as a GTK window: made when it is
// first shown, kept in step with it, destroyed when it ends.
#include <algorithm>

#include "platform/dialog/desktop.h"
#include "platform/gtk/gtk_views.h"

namespace gtkfe {

using layer::Kind;
using layer::Window;

WindowView* GtkFrontEnd::Create(Window* w) {
  auto holder = std::make_unique<WindowView>();
  WindowView* view = holder.get();
  views_[w->serial] = std::move(holder);
  view->window = w;
  view->ref = WindowRef::Of(w);
  view->layout = LayOut(*w, metrics_, Measure());
  // A screen reader reads an alert's text as it appears, as Windows' do a
  // message box's; the account dialog is a dialog, the register a window.
  GtkAccessibleRole role = w->dialog.messageBox ? GTK_ACCESSIBLE_ROLE_ALERT_DIALOG
                           : w->dialog.owner    ? GTK_ACCESSIBLE_ROLE_DIALOG
                                                : GTK_ACCESSIBLE_ROLE_WINDOW;
  GtkWidget* window = GTK_WIDGET(g_object_new(GTK_TYPE_WINDOW, "accessible-role", role, nullptr));
  view->gtkWindow = window;
  if (w->dialog.messageBox)
    for (const auto& child : w->children)
      if (child->kind == Kind::Static && layer::StockIconOf(*child) == layer::StockIcon::None)
        gtk_accessible_update_property(GTK_ACCESSIBLE(window), GTK_ACCESSIBLE_PROPERTY_DESCRIPTION, child->text.c_str(), -1);
  gtk_widget_add_css_class(window, "win32-dialog");
  gtk_window_set_title(GTK_WINDOW(window), w->text.c_str());
  gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
  if (!options_.iconName.empty()) gtk_window_set_icon_name(GTK_WINDOW(window), options_.iconName.c_str());
  // A window without an owner still stays above the one it was opened
  // from; it is modal when the dialog manager made it so (an owner, or a
  // message box, which is modal to every window of the program).
  Window* owner = w->dialog.owner;
  bool modal = owner != nullptr || w->dialog.messageBox;
  if (!owner)
    for (Window* other : layer::TopLevelWindows())
      if (other != w && ViewOf(other)) owner = other;
  if (WindowView* ownerView = ViewOf(owner)) {
    gtk_window_set_transient_for(GTK_WINDOW(window), GTK_WINDOW(ownerView->gtkWindow));
    gtk_window_set_modal(GTK_WINDOW(window), modal);
  }
  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_window_set_child(GTK_WINDOW(window), box);
  if (w->dialog.menu) CreateMenuBar(view, box);
  view->fixed = gtk_fixed_new();
  gtk_widget_set_size_request(view->fixed, view->layout.clientWidth, view->layout.clientHeight);
  gtk_box_append(GTK_BOX(box), view->fixed);
  for (const PlacedControl& p : view->layout.controls) {
    auto c = std::make_unique<ControlView>();
    c->control = const_cast<Window*>(p.control);
    c->ref = WindowRef::Of(c->control);
    c->placed = p;
    CreateControl(view, c.get());
    view->controls.push_back(std::move(c));
  }
  // Open lists and menus lie over the controls: added last, drawn last.
  for (auto& c : view->controls)
    if (c->drop) gtk_fixed_put(GTK_FIXED(view->fixed), c->drop, c->dropRect.x, c->dropRect.y);
  if (w->dialog.menu) {
    view->popup = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_widget_add_css_class(view->popup, "win32-popup");
    gtk_fixed_put(GTK_FIXED(view->fixed), view->popup, 0, 0);
    gtk_widget_set_visible(view->popup, FALSE);
  }
  Labels(view);
  ConnectWindow(view);
  ConnectDrop(view);
  gtk_window_present(GTK_WINDOW(window));
  return view;
}

// Screen readers name a field by the label beside it or above it, as they
// do on Windows; a list by the headings over it.
void GtkFrontEnd::Labels(WindowView* view) {
  for (auto& c : view->controls) {
    Kind kind = c->control->kind;
    if (kind != Kind::Edit && kind != Kind::ComboBox && kind != Kind::ListBox) continue;
    const PixelRect& r = c->placed.rect;
    std::string beside, above;
    int besideGap = 1 << 30, aboveGap = 1 << 30;
    std::vector<const PlacedControl*> headings;
    for (const PlacedControl& p : view->layout.controls) {
      if (p.control->kind != Kind::Static || p.label.empty()) continue;
      const PixelRect& s = p.rect;
      bool sameRow = s.y < r.Bottom() && r.y < s.Bottom();
      bool sameColumn = s.x < r.Right() && r.x < s.Right();
      if (sameRow && s.Right() <= r.x + 2 && r.x - s.Right() < besideGap) {
        besideGap = r.x - s.Right();
        beside = p.label;
      }
      if (sameColumn && s.Bottom() <= r.y + 2 && r.y - s.Bottom() < aboveGap) {
        aboveGap = r.y - s.Bottom();
        above = p.label;
      }
      if (sameColumn && s.Bottom() <= r.y + 2) headings.push_back(&p);
    }
    std::string label = !beside.empty() ? beside : above;
    if (kind == Kind::ListBox) {
      int row = aboveGap;
      label.clear();
      for (const PlacedControl* p : headings)
        if (r.y - p->rect.Bottom() == row) label += (label.empty() ? "" : ", ") + p->label;
    }
    c->shownLabel = label;
    for (GtkWidget* target : {c->widget, c->text, c->area})
      if (target && GTK_IS_ACCESSIBLE(target))
        gtk_accessible_update_property(GTK_ACCESSIBLE(target), GTK_ACCESSIBLE_PROPERTY_LABEL, label.c_str(), -1);
  }
}

void GtkFrontEnd::Update(WindowView* view) {
  Window* w = view->window;
  if (g_strcmp0(gtk_window_get_title(GTK_WINDOW(view->gtkWindow)), w->text.c_str()) != 0)
    gtk_window_set_title(GTK_WINDOW(view->gtkWindow), w->text.c_str());
  for (auto& c : view->controls) UpdateControl(c.get());
  UpdateMenu(view);
  if (w == layer::ActiveWindow()) {
    Window* focus = layer::FocusOf(w);
    GtkWidget* target = nullptr;
    for (auto& c : view->controls)
      if (c->control == focus) target = c->text ? c->text : c->area ? c->area : c->widget;
    GtkWidget* now = gtk_window_get_focus(GTK_WINDOW(view->gtkWindow));
    bool inside = false;
    for (GtkWidget* at = now; at && target; at = gtk_widget_get_parent(at)) inside = inside || at == target;
    if (target && !inside) {
      gtk_widget_set_focusable(target, TRUE);
      gtk_widget_grab_focus(target);
    }
    // Only where the dialog manager put the focus does GTK keep it.
    if (!target && now) gtk_window_set_focus(GTK_WINDOW(view->gtkWindow), nullptr);
    for (auto& c : view->controls)
      if (c->text && c->control == focus && GTK_IS_EDITABLE(c->text)) PushSelection(c.get(), true);
  }
}

}  // namespace gtkfe
