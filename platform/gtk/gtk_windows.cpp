// Each top-level window of the dialog manager as a GTK window: made when it is
// first shown, kept in step with it, destroyed when it ends.
#include <algorithm>

#include "platform/dialog/desktop.h"
#include "platform/dialog/input.h"
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
  view->base = LayOut(*w, metrics_, Measure());
  // At the template's size until the window's first size comes (Resize).
  view->layout = view->base;
  bool resizable = Resizable(view->base);
  PixelRect opening{0, 0, view->base.clientWidth, view->base.clientHeight};
  if (resizable) {
    PixelRect room = WorkArea();
    // Less the menu bar and a window manager's title bar (about two lines).
    opening = OpeningClient(view->base, room.width, room.height - 3 * view->base.menuHeight);
  }
  // A screen reader reads an alert's text as it appears, as Windows' do a
  // message box's; the account dialog is a dialog, the register a window.
  GtkAccessibleRole role = w->dialog.messageBox ? GTK_ACCESSIBLE_ROLE_ALERT_DIALOG
                           : w->dialog.owner    ? GTK_ACCESSIBLE_ROLE_DIALOG
                                                : GTK_ACCESSIBLE_ROLE_WINDOW;
  GtkWidget* window = GTK_WIDGET(g_object_new(GTK_TYPE_WINDOW, "accessible-role", role, nullptr));
  view->gtkWindow = window;
  SetWindowIdentity(window, options_.applicationId);
  if (w->dialog.messageBox)
    for (const auto& child : w->children)
      if (child->kind == Kind::Static && layer::StockIconOf(*child) == layer::StockIcon::None)
        gtk_accessible_update_property(GTK_ACCESSIBLE(window), GTK_ACCESSIBLE_PROPERTY_DESCRIPTION, child->text.c_str(), -1);
  gtk_widget_add_css_class(window, "win32-dialog");
  gtk_window_set_title(GTK_WINDOW(window), w->text.c_str());
  // The register resizes; the account dialog and message boxes keep their size.
  gtk_window_set_resizable(GTK_WINDOW(window), resizable);
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
  // Plain panels to a screen reader, which would otherwise name them by GTK's classes.
  view->fixed = GTK_WIDGET(g_object_new(GTK_TYPE_FIXED, "accessible-role", GTK_ACCESSIBLE_ROLE_GENERIC, nullptr));
  if (resizable) {
    // The fixed lies over an area that takes the window's size and reports
    // it, at least the smallest usable one.
    PixelRect smallest = SmallestClient(view->base);
    GtkWidget* overlay = GTK_WIDGET(g_object_new(GTK_TYPE_OVERLAY, "accessible-role", GTK_ACCESSIBLE_ROLE_GENERIC, nullptr));
    GtkWidget* sizer = GTK_WIDGET(g_object_new(GTK_TYPE_DRAWING_AREA, "accessible-role", GTK_ACCESSIBLE_ROLE_PRESENTATION, nullptr));
    gtk_widget_set_size_request(sizer, smallest.width, smallest.height);
    gtk_widget_set_hexpand(sizer, TRUE);
    gtk_widget_set_vexpand(sizer, TRUE);
    gtk_overlay_set_child(GTK_OVERLAY(overlay), sizer);
    gtk_overlay_add_overlay(GTK_OVERLAY(overlay), view->fixed);
    g_signal_connect(sizer, "resize", Callback(+[](GtkDrawingArea*, int width, int height, gpointer data) {
                       current->Resize(static_cast<WindowView*>(data), width, height);
                     }),
                     view);
    gtk_window_set_default_size(GTK_WINDOW(window), opening.width, opening.height + view->base.menuHeight);
    gtk_box_append(GTK_BOX(box), overlay);
  } else {
    gtk_widget_set_size_request(view->fixed, view->layout.clientWidth, view->layout.clientHeight);
    gtk_box_append(GTK_BOX(box), view->fixed);
  }
  for (const PlacedControl& p : view->layout.controls) {
    auto c = std::make_unique<ControlView>();
    c->control = const_cast<Window*>(p.control);
    c->ref = WindowRef::Of(c->control);
    c->view = view;
    c->placed = p;
    CreateControl(view, c.get());
    view->controls.push_back(std::move(c));
  }
  // Open lists and menus lie over the controls: added last, drawn last.
  for (auto& c : view->controls)
    if (c->drop) gtk_fixed_put(GTK_FIXED(view->fixed), c->drop, c->dropRect.x, c->dropRect.y);
  if (w->dialog.menu) NewPopup(view);
  Labels(view);
  ConnectWindow(view);
  ConnectDrop(view);
  gtk_window_present(GTK_WINDOW(window));
  return view;
}

// The controls placed again for the client area's new size; the lists keep
// their last lines in sight (ListResized).
void GtkFrontEnd::Resize(WindowView* view, int width, int height) {
  if (width == view->layout.clientWidth && height == view->layout.clientHeight) return;
  const WindowLayout before = view->layout;
  view->layout = Resized(view->base, width, height);
  for (size_t i = 0; i < view->controls.size() && i < view->layout.controls.size(); ++i) {
    ControlView* c = view->controls[i].get();
    c->placed = view->layout.controls[i];
    const PixelRect& r = c->placed.rect;
    gtk_widget_set_size_request(c->widget, r.width, r.height);
    gtk_fixed_move(GTK_FIXED(view->fixed), c->widget, r.x, r.y);
    if (c->drop) {
      c->dropRect = {r.x, r.Bottom(), r.width, c->dropRect.height};
      gtk_widget_set_size_request(c->drop, c->dropRect.width, c->dropRect.height);
      gtk_fixed_move(GTK_FIXED(view->fixed), c->drop, c->dropRect.x, c->dropRect.y);
    }
    if (c->control->kind == Kind::ListBox) {
      int shown = ListLines(before.controls[i].rect, before);
      QueueFor(c->ref, [shown](HWND list) { layer::ListResized(list, shown); });
    }
  }
  dirty_ = true;
}

// Screen readers name a field by the caption beside it or above it, a list
// by the headings over it, and a value in a sunken frame by the caption
// beside the frame, as they do on Windows.
void GtkFrontEnd::Labels(WindowView* view) {
  for (auto& c : view->controls) {
    std::string label = AccessibleLabel(view->layout, c->placed);
    if (label.empty()) continue;
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
    if (GtkWidget* lit = LitMenuWidget(view)) target = lit;
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
