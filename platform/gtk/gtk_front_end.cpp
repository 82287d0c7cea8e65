// The GTK 4 front end. The dialog manager owns every window's state; this
// shows it (Sync) and queues what the person does as the dialog manager's
// input calls, run one at a time when a modal loop asks for input. The loops
// wait in GLib's main loop; no input call runs inside a GTK signal handler,
// so a nested modal loop never starts inside GTK's own event dispatch.
#include "platform/gtk/gtk_front_end.h"

#include <glib-unix.h>

#include <algorithm>
#include <csignal>

#include "platform/dialog/desktop.h"
#include "platform/gtk/gtk_views.h"
#include "platform/gtk/list_painter.h"

namespace gtkfe {

using layer::Kind;
using layer::Window;

GtkFrontEnd* current = nullptr;

namespace {

constexpr const char* kStyle = R"(
window.win32-dialog entry { min-height: 0; min-width: 0; padding: 0 3px; border-radius: 0; }
window.win32-dialog entry > text { min-height: 0; min-width: 0; }
window.win32-dialog button { min-height: 0; min-width: 0; padding: 0 6px; border-radius: 2px; }
window.win32-dialog button.combo-arrow { padding: 0; border-radius: 0; }
window.win32-dialog button.default { box-shadow: inset 0 0 0 1px currentColor; }
window.win32-dialog label.sunken { border: 1px solid alpha(currentColor, 0.35); padding: 0 3px; }
window.win32-dialog textview { border: 1px solid alpha(currentColor, 0.35); padding: 1px 3px; }
window.win32-dialog .list-frame { border: 1px solid alpha(currentColor, 0.35); }
window.win32-dialog scrollbar { min-width: 0; }
window.win32-dialog image.error { color: @error_color; }
window.win32-dialog image.warning { color: @warning_color; }
window.win32-dialog image.accent { color: @theme_selected_bg_color; }
.win32-menubar button, .win32-popup button { padding: 0 6px; min-height: 0; border-radius: 0; box-shadow: none; }
.win32-menubar button.highlight, .win32-popup button.highlight { background: @theme_selected_bg_color; color: @theme_selected_fg_color; }
.win32-popup { background: @theme_base_color; border: 1px solid alpha(currentColor, 0.35); }
.win32-popup button label { min-width: 0; }
)";

gboolean OnQuitSignal(gpointer) {
  if (current) current->Close();
  return G_SOURCE_CONTINUE;
}

}  // namespace

GtkFrontEnd::GtkFrontEnd(const Options& options) : options_(options) {
  GtkCssProvider* css = gtk_css_provider_new();
  gtk_css_provider_load_from_data(css, kStyle, -1);
  gtk_style_context_add_provider_for_display(gdk_display_get_default(), GTK_STYLE_PROVIDER(css),
                                             GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(css);
  if (!options.iconFolder.empty())
    gtk_icon_theme_add_search_path(gtk_icon_theme_get_for_display(gdk_display_get_default()),
                                   options.iconFolder.c_str());
  if (!options.iconName.empty()) gtk_window_set_default_icon_name(options.iconName.c_str());
  if (!options.applicationName.empty()) g_set_application_name(options.applicationName.c_str());
  // The dialog font's averages, in logical pixels (GTK scales to the device).
  probe_ = gtk_label_new("");
  g_object_ref_sink(probe_);
  PangoLayout* layout = gtk_widget_create_pango_layout(probe_, "Ag");
  int width = 0, height = 0;
  pango_layout_get_pixel_size(layout, &width, &height);
  measureLayout_ = layout;
  metrics_ = AverageCharacter(Measure(), height, 1);
  current = this;
}

GtkFrontEnd::~GtkFrontEnd() {
  for (auto& [serial, view] : views_) gtk_window_destroy(GTK_WINDOW(view->gtkWindow));
  views_.clear();
  g_object_unref(measureLayout_);
  g_object_unref(probe_);
  current = nullptr;
}

bool GtkFrontEnd::WaitForInput(Window*) {
  for (;;) {
    if (closing_) return false;
    if (!actions_.empty()) {
      std::function<void()> action = std::move(actions_.front());
      actions_.pop_front();
      action();
      dirty_ = true;
      return true;
    }
    if (dirty_) Sync();
    g_main_context_iteration(nullptr, TRUE);
  }
}

int GtkFrontEnd::ShownLines(const Window& control) {
  if (control.kind == Kind::ListBox)
    return std::max(1, (ToPixelsY(control.rect.cy, metrics_) - 2) / metrics_.height);
  if (control.kind == Kind::ComboBox) return DropLines(control);
  return 0;
}

void GtkFrontEnd::Queue(std::function<void()> action) {
  if (syncing_) return;
  actions_.push_back(std::move(action));
}

void GtkFrontEnd::QueueFor(const WindowRef& ref, std::function<void(HWND)> action) {
  Queue([ref, action = std::move(action)] {
    if (ref.Live()) action(ref.handle);
  });
}

void GtkFrontEnd::Shown(HWND field) {
  for (auto& [serial, view] : views_)
    for (auto& c : view->controls)
      if (c->ref.handle == field && c->ref.Live()) {
        c->shownAnchor = c->control->edit.anchor;
        c->shownCaret = c->control->edit.caret;
      }
}

void GtkFrontEnd::DrawList(ControlView* c, cairo_t* cr, int width, int height, bool dropped) {
  if (!c->ref.Live()) return;
  const Window& w = *c->control;
  GtkWidget* area = dropped ? c->dropArea : c->area;
  ListLook look;
  GdkRGBA fg;
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gtk_style_context_get_color(gtk_widget_get_style_context(area), &fg);
  G_GNUC_END_IGNORE_DEPRECATIONS
  look.text = {fg.red, fg.green, fg.blue, w.Enabled() ? fg.alpha : fg.alpha * 0.5};
  look.focused = !dropped && gtk_widget_has_focus(area);
  PangoLayout* layout = gtk_widget_create_pango_layout(area, nullptr);
  PaintList(cr, layout, w, dropped ? w.combo.highlight : w.list.selection, width, height, metrics_, look);
  g_object_unref(layout);
}

MeasureText GtkFrontEnd::Measure() {
  return [this](const std::string& text) { return TextWidth(measureLayout_, text); };
}

int GtkFrontEnd::DropLines(const Window& combo) {
  int height = ToPixelsY(combo.rect.cy, metrics_) - (metrics_.height + 8);
  return std::max(1, (height - 2) / metrics_.height);
}

WindowView* GtkFrontEnd::ViewOf(Window* w) {
  if (!w) return nullptr;
  auto it = views_.find(w->serial);
  return it == views_.end() ? nullptr : it->second.get();
}

// Windows are matched to their views by serial: a window made where an ended
// one stood gets a view of its own, never the old one's widgets.
void GtkFrontEnd::Sync() {
  syncing_ = true;
  std::vector<Window*> shown;
  for (Window* w : layer::TopLevelWindows())
    if (w->Visible() && !w->dialog.ended) shown.push_back(w);
  for (auto it = views_.begin(); it != views_.end();) {
    bool kept = std::any_of(shown.begin(), shown.end(), [&](Window* w) { return w->serial == it->first; });
    if (!kept) {
      gtk_window_destroy(GTK_WINDOW(it->second->gtkWindow));
      it = views_.erase(it);
    } else {
      ++it;
    }
  }
  for (Window* w : shown) {
    WindowView* view = ViewOf(w);
    if (!view) view = Create(w);
    Update(view);
  }
  Window* active = layer::ActiveWindow();
  std::uint64_t activeSerial = active ? active->serial : 0;
  if (activeSerial != presented_) {
    if (WindowView* view = ViewOf(active)) gtk_window_present(GTK_WINDOW(view->gtkWindow));
    presented_ = activeSerial;
  }
  dirty_ = false;
  syncing_ = false;
}

bool OpenDisplay() { return gtk_init_check(); }

int RunWithGtkFrontEnd(const std::function<int()>& entry, const Options& options) {
  guint sources[] = {g_unix_signal_add(SIGINT, OnQuitSignal, nullptr), g_unix_signal_add(SIGTERM, OnQuitSignal, nullptr),
                     g_unix_signal_add(SIGHUP, OnQuitSignal, nullptr)};
  int result = 0;
  {
    GtkFrontEnd frontEnd(options);
    layer::InstallFrontEnd(&frontEnd);
    result = entry();
    layer::InstallFrontEnd(nullptr);
  }
  for (guint source : sources) g_source_remove(source);
  while (g_main_context_pending(nullptr)) g_main_context_iteration(nullptr, FALSE);
  return result;
}

}  // namespace gtkfe
