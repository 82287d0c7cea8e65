// The GTK 4 front end. The dialog manager owns every window's state; this
// shows it (Sync) and queues what the person does as the dialog manager's
// input calls, run one at a time when a modal loop asks for input. The loops
// wait in GLib's main loop; no input call runs inside a GTK signal handler,
// so a nested modal loop never starts inside GTK's own event dispatch.
#include "platform/gtk/gtk_front_end.h"

#include <glib-unix.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <csignal>
#include <deque>
#include <map>
#include <memory>

#include "platform/dialog/desktop.h"
#include "platform/dialog/frontend.h"
#include "platform/dialog/input.h"
#include "platform/gtk/keys.h"
#include "platform/gtk/layout.h"
#include "platform/gtk/list_painter.h"
#include "platform/text/utf8.h"

namespace gtkfe {
namespace {

using layer::Kind;
using layer::Window;

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

// A label's text with Windows' '&' mnemonic marker turned into GTK's '_'.
std::string Underlined(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') {
        out += '&';
        ++i;
      } else {
        out += '_';
      }
    } else if (text[i] == '_') {
      out += "__";
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string Flat(const std::string& text) {  // "\r\n" as a text widget keeps it
  std::string out;
  for (char c : text)
    if (c != '\r') out += c;
  return out;
}

std::string Windows(const std::string& text) {  // and back
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

size_t ByteOffset(const std::string& text, int chars) {
  const char* at = g_utf8_offset_to_pointer(text.c_str(), std::max(0, chars));
  return static_cast<size_t>(at - text.c_str());
}

int CharOffset(const std::string& text, size_t bytes) {
  return static_cast<int>(g_utf8_pointer_to_offset(text.c_str(), text.c_str() + std::min(bytes, text.size())));
}

// The name a screen reader says, in place of the one GTK makes up from the
// button's child (which repeats the mnemonic marker).
void Name(GtkWidget* widget, const std::string& name) {
  gtk_accessible_update_property(GTK_ACCESSIBLE(widget), GTK_ACCESSIBLE_PROPERTY_LABEL, name.c_str(), -1);
}

// A button showing a label with a mnemonic; the label itself is left out of
// the accessible tree, so the button's name is said once.
void SetButtonText(GtkWidget* button, const std::string& text) {
  GtkWidget* label = GTK_WIDGET(g_object_new(GTK_TYPE_LABEL, "accessible-role", GTK_ACCESSIBLE_ROLE_PRESENTATION,
                                             "use-underline", TRUE, "label", Underlined(text).c_str(), nullptr));
  gtk_button_set_child(GTK_BUTTON(button), label);
  Name(button, layer::WithoutMnemonic(text));
}

// G_CALLBACK for a lambda: a function call, where commas in captures are safe.
template <typename F>
GCallback Callback(F* f) {
  return reinterpret_cast<GCallback>(f);
}

struct ControlView {
  Window* control = nullptr;
  HWND handle = nullptr;
  PlacedControl placed;
  GtkWidget* widget = nullptr;  // what the fixed holds
  GtkWidget* text = nullptr;    // entry, text view
  GtkWidget* area = nullptr;    // a list's drawing
  GtkAdjustment* scroll = nullptr;
  GtkWidget* drop = nullptr;    // a combo box's open list
  GtkWidget* dropArea = nullptr;
  PixelRect dropRect;
  // The field's text and selection as last shown, to tell the program's
  // changes from the person's.
  std::string shownText;
  size_t shownAnchor = 0, shownCaret = 0;
  std::string shownLabel;
};

struct WindowView {
  Window* window = nullptr;
  HWND handle = nullptr;
  GtkWidget* gtkWindow = nullptr;
  GtkWidget* fixed = nullptr;
  GtkWidget* menuBar = nullptr;
  std::vector<GtkWidget*> menuButtons;
  GtkWidget* popup = nullptr;
  WindowLayout layout;
  std::vector<std::unique_ptr<ControlView>> controls;
  bool altAlone = false;
};

class GtkFrontEnd;
GtkFrontEnd* current = nullptr;

class GtkFrontEnd : public layer::FrontEnd {
 public:
  explicit GtkFrontEnd(const Options& options) : options_(options) {
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

  ~GtkFrontEnd() override {
    for (auto& [w, view] : views_) gtk_window_destroy(GTK_WINDOW(view->gtkWindow));
    views_.clear();
    g_object_unref(measureLayout_);
    g_object_unref(probe_);
    current = nullptr;
  }

  bool WaitForInput(Window*) override {
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

  void Changed() override { dirty_ = true; }

  int ShownLines(const Window& control) override {
    if (control.kind == Kind::ListBox)
      return std::max(1, (ToPixelsY(control.rect.cy, metrics_) - 2) / metrics_.height);
    if (control.kind == Kind::ComboBox) return DropLines(control);
    return 0;
  }

  void Close() { closing_ = true; }

  // ---- what the person does, queued for the next modal loop's turn

  void Queue(std::function<void()> action) {
    if (syncing_) return;
    actions_.push_back(std::move(action));
  }

  bool Syncing() const { return syncing_; }
  bool Pending() const { return !actions_.empty() || dirty_; }

  // The field's caret and selection as GTK shows them now, so the next Sync
  // does not put them back.
  void Shown(HWND field) {
    for (auto& [w, view] : views_)
      for (auto& c : view->controls)
        if (c->handle == field && layer::FromHandle(field)) {
          c->shownAnchor = c->control->edit.anchor;
          c->shownCaret = c->control->edit.caret;
        }
  }

  static ControlView* ViewOfWidget(WindowView* view, GtkWidget* widget) {
    for (; widget; widget = gtk_widget_get_parent(widget))
      for (auto& c : view->controls)
        if (c->widget == widget || c->text == widget || c->area == widget) return c.get();
    return nullptr;
  }

  // ---- drawing

  void DrawList(ControlView* c, cairo_t* cr, int width, int height, bool dropped) {
    if (!layer::FromHandle(c->handle)) return;
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

 private:
  MeasureText Measure() {
    return [this](const std::string& text) { return TextWidth(measureLayout_, text); };
  }

  int DropLines(const Window& combo) {
    int height = ToPixelsY(combo.rect.cy, metrics_) - (metrics_.height + 8);
    return std::max(1, (height - 2) / metrics_.height);
  }

  // ---- windows

  WindowView* ViewOf(Window* w) {
    auto it = views_.find(w);
    return it == views_.end() ? nullptr : it->second.get();
  }

  void Sync() {
    syncing_ = true;
    std::vector<Window*> shown;
    for (Window* w : layer::TopLevelWindows())
      if (w->Visible() && !w->dialog.ended) shown.push_back(w);
    for (auto it = views_.begin(); it != views_.end();) {
      if (std::find(shown.begin(), shown.end(), it->first) == shown.end()) {
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
    if (active != presented_) {
      if (WindowView* view = ViewOf(active)) gtk_window_present(GTK_WINDOW(view->gtkWindow));
      presented_ = active;
    }
    dirty_ = false;
    syncing_ = false;
  }

  WindowView* Create(Window* w) {
    auto holder = std::make_unique<WindowView>();
    WindowView* view = holder.get();
    views_[w] = std::move(holder);
    view->window = w;
    view->handle = layer::ToHandle(w);
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
    if (w->dialog.menu) {
      view->menuBar = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
      gtk_widget_add_css_class(view->menuBar, "win32-menubar");
      gtk_widget_set_size_request(view->menuBar, -1, view->layout.menuHeight);
      for (size_t i = 0; i < view->layout.menu.size(); ++i) {
        GtkWidget* b = gtk_button_new();
        SetButtonText(b, w->dialog.menu->items[i].text);
        gtk_button_set_has_frame(GTK_BUTTON(b), FALSE);
        gtk_widget_set_focusable(b, FALSE);
        gtk_widget_set_focus_on_click(b, FALSE);
        g_object_set_data(G_OBJECT(b), "index", GINT_TO_POINTER(static_cast<int>(i)));
        g_signal_connect(b, "clicked", Callback(+[](GtkButton* button, gpointer data) {
                           auto* v = static_cast<WindowView*>(data);
                           int index = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "index"));
                           HWND h = v->handle;
                           current->Queue([h, index] { layer::ClickMenuBar(h, index); });
                         }),
                         view);
        gtk_box_append(GTK_BOX(view->menuBar), b);
        view->menuButtons.push_back(b);
      }
      gtk_box_append(GTK_BOX(box), view->menuBar);
    }
    view->fixed = gtk_fixed_new();
    gtk_widget_set_size_request(view->fixed, view->layout.clientWidth, view->layout.clientHeight);
    gtk_box_append(GTK_BOX(box), view->fixed);
    for (const PlacedControl& p : view->layout.controls) {
      auto c = std::make_unique<ControlView>();
      c->control = const_cast<Window*>(p.control);
      c->handle = layer::ToHandle(c->control);
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

    GtkEventController* keys = gtk_event_controller_key_new();
    gtk_event_controller_set_propagation_phase(keys, GTK_PHASE_CAPTURE);
    g_signal_connect(keys, "key-pressed", G_CALLBACK(OnKeyPressed), view);
    g_signal_connect(keys, "key-released", G_CALLBACK(OnKeyReleased), view);
    gtk_widget_add_controller(window, keys);
    g_signal_connect(window, "close-request", Callback(+[](GtkWindow*, gpointer data) -> gboolean {
                       HWND h = static_cast<WindowView*>(data)->handle;
                       current->Queue([h] { layer::ClickCloseBox(h); });
                       return TRUE;
                     }),
                     view);
    g_signal_connect(window, "notify::focus-widget", G_CALLBACK(OnFocusWidget), view);
    g_signal_connect(window, "notify::is-active", Callback(+[](GObject* object, GParamSpec*, gpointer data) {
                       if (!gtk_window_is_active(GTK_WINDOW(object))) return;
                       HWND h = static_cast<WindowView*>(data)->handle;
                       if (layer::FromHandle(h) != layer::ActiveWindow()) current->Queue([h] { layer::Activate(h); });
                     }),
                     view);
    gtk_window_present(GTK_WINDOW(window));
    return view;
  }

  void Put(WindowView* view, ControlView* c, GtkWidget* widget) {
    c->widget = widget;
    const PixelRect& r = c->placed.rect;
    gtk_widget_set_size_request(widget, r.width, r.height);
    gtk_fixed_put(GTK_FIXED(view->fixed), widget, r.x, r.y);
  }

  GtkWidget* NewList(ControlView* c, bool dropped) {
    GtkWidget* area = GTK_WIDGET(g_object_new(GTK_TYPE_DRAWING_AREA, "accessible-role", GTK_ACCESSIBLE_ROLE_LIST, nullptr));
    gtk_widget_add_css_class(area, "view");
    gtk_widget_set_hexpand(area, TRUE);
    gtk_drawing_area_set_draw_func(
        GTK_DRAWING_AREA(area),
        dropped ? +[](GtkDrawingArea*, cairo_t* cr, int w, int h, gpointer data) {
          current->DrawList(static_cast<ControlView*>(data), cr, w, h, true);
        }
                : +[](GtkDrawingArea*, cairo_t* cr, int w, int h, gpointer data) {
                    current->DrawList(static_cast<ControlView*>(data), cr, w, h, false);
                  },
        c, nullptr);
    GtkGesture* click = gtk_gesture_click_new();
    g_object_set_data(G_OBJECT(click), "dropped", GINT_TO_POINTER(dropped ? 1 : 0));
    g_signal_connect(click, "pressed", Callback(+[](GtkGestureClick* gesture, int, double, double y, gpointer data) {
                       auto* view = static_cast<ControlView*>(data);
                       if (!layer::FromHandle(view->handle)) return;
                       bool fromDrop = g_object_get_data(G_OBJECT(gesture), "dropped") != nullptr;
                       int line = ListLineAt(*view->control, static_cast<int>(y) - 1, current->metrics_);
                       HWND h = view->handle;
                       if (fromDrop) current->Queue([h, line] { layer::ClickComboLine(h, line); });
                       else if (line >= 0) current->Queue([h, line] { layer::ClickListLine(h, line); });
                       else current->Queue([h] { layer::ClickControl(h); });
                     }),
                     c);
    gtk_widget_add_controller(area, GTK_EVENT_CONTROLLER(click));
    GtkEventController* wheel = gtk_event_controller_scroll_new(static_cast<GtkEventControllerScrollFlags>(
        GTK_EVENT_CONTROLLER_SCROLL_VERTICAL | GTK_EVENT_CONTROLLER_SCROLL_DISCRETE));
    g_signal_connect(wheel, "scroll", Callback(+[](GtkEventControllerScroll*, double, double dy, gpointer data) -> gboolean {
                       HWND h = static_cast<ControlView*>(data)->handle;
                       int lines = static_cast<int>(dy * 3);
                       if (lines) current->Queue([h, lines] { layer::Wheel(h, lines); });
                       return TRUE;
                     }),
                     c);
    gtk_widget_add_controller(area, wheel);
    return area;
  }

  // A message box's system icon: the theme's symbolic one in the theme's
  // error, warning or accent colour, named for a screen reader as the box's kind.
  static GtkWidget* NewIcon(layer::StockIcon icon, const PixelRect& room) {
    const char* name = "dialog-information-symbolic";
    const char* spoken = "Information";
    if (icon == layer::StockIcon::Error) name = "dialog-error-symbolic", spoken = "Error";
    if (icon == layer::StockIcon::Warning) name = "dialog-warning-symbolic", spoken = "Warning";
    if (icon == layer::StockIcon::Question) name = "dialog-question-symbolic", spoken = "Question";
    GtkWidget* image = gtk_image_new_from_icon_name(name);
    gtk_image_set_pixel_size(GTK_IMAGE(image), std::min(room.width, room.height));
    gtk_widget_set_valign(image, GTK_ALIGN_START);
    gtk_widget_add_css_class(image, icon == layer::StockIcon::Error ? "error" : icon == layer::StockIcon::Warning ? "warning" : "accent");
    gtk_accessible_update_property(GTK_ACCESSIBLE(image), GTK_ACCESSIBLE_PROPERTY_LABEL, spoken, -1);
    return image;
  }

  GtkWidget* NewEntry(ControlView* c) {
    GtkWidget* entry = gtk_entry_new();
    gtk_editable_set_width_chars(GTK_EDITABLE(entry), 1);
    gtk_widget_set_hexpand(entry, TRUE);
    g_signal_connect(entry, "changed", G_CALLBACK(OnEntryChanged), c);
    g_signal_connect(entry, "notify::cursor-position", G_CALLBACK(OnEntryCaret), c);
    g_signal_connect(entry, "notify::selection-bound", G_CALLBACK(OnEntryCaret), c);
    return entry;
  }

  void CreateControl(WindowView* view, ControlView* c) {
    Window* w = c->control;
    switch (w->kind) {
      case Kind::Static: {
        if (layer::StockIcon icon = layer::StockIconOf(*w); icon != layer::StockIcon::None) {
          Put(view, c, NewIcon(icon, c->placed.rect));
          break;
        }
        GtkWidget* label = gtk_label_new(nullptr);
        float align = (w->style & 3) == SS_CENTER ? 0.5f : (w->style & 3) == SS_RIGHT ? 1.0f : 0.0f;
        gtk_label_set_xalign(GTK_LABEL(label), align);
        bool inMessageBox = w->parent && w->parent->dialog.messageBox;
        gtk_label_set_yalign(GTK_LABEL(label), inMessageBox || w->text.find('\n') != std::string::npos ? 0.0f : 0.5f);
        gtk_label_set_justify(GTK_LABEL(label), align == 0.5f ? GTK_JUSTIFY_CENTER : GTK_JUSTIFY_LEFT);
        if (w->exStyle & WS_EX_CLIENTEDGE) gtk_widget_add_css_class(label, "sunken");
        Put(view, c, label);
        break;
      }
      case Kind::Button: {
        GtkWidget* button = gtk_button_new();
        gtk_button_set_use_underline(GTK_BUTTON(button), TRUE);
        gtk_widget_set_focus_on_click(button, FALSE);
        g_signal_connect(button, "clicked", Callback(+[](GtkButton*, gpointer data) {
                           HWND h = static_cast<ControlView*>(data)->handle;
                           current->Queue([h] { layer::ClickControl(h); });
                         }),
                         c);
        Put(view, c, button);
        break;
      }
      case Kind::GroupBox: {
        GtkWidget* frame = gtk_frame_new(nullptr);
        Put(view, c, frame);
        break;
      }
      case Kind::Edit: {
        if (w->Multiline()) {
          GtkWidget* text = gtk_text_view_new();
          gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(text), GTK_WRAP_WORD_CHAR);
          GtkWidget* scrolled = gtk_scrolled_window_new();
          gtk_scrolled_window_set_child(GTK_SCROLLED_WINDOW(scrolled), text);
          gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_NEVER, GTK_POLICY_AUTOMATIC);
          c->text = text;
          g_signal_connect(gtk_text_view_get_buffer(GTK_TEXT_VIEW(text)), "changed",
                           Callback(+[](GtkTextBuffer* buffer, gpointer data) {
                             if (current->Syncing()) return;
                             GtkTextIter from, to;
                             gtk_text_buffer_get_bounds(buffer, &from, &to);
                             char* text = gtk_text_buffer_get_text(buffer, &from, &to, FALSE);
                             std::string now = Windows(text);
                             g_free(text);
                             HWND h = static_cast<ControlView*>(data)->handle;
                             current->Queue([h, now] {
                               if (Window* w = layer::FromHandle(h)) layer::ReplaceFieldText(h, 0, w->text.size(), now);
                             });
                           }),
                           c);
          Put(view, c, scrolled);
        } else {
          c->text = NewEntry(c);
          Put(view, c, c->text);
        }
        break;
      }
      case Kind::ComboBox: {
        GtkWidget* box = GTK_WIDGET(g_object_new(GTK_TYPE_BOX, "orientation", GTK_ORIENTATION_HORIZONTAL,
                                                 "accessible-role", GTK_ACCESSIBLE_ROLE_COMBO_BOX, nullptr));
        gtk_widget_add_css_class(box, "linked");
        c->text = NewEntry(c);
        gtk_box_append(GTK_BOX(box), c->text);
        GtkWidget* arrow = gtk_button_new_from_icon_name("pan-down-symbolic");
        gtk_widget_add_css_class(arrow, "combo-arrow");
        Name(arrow, "Open the list");
        gtk_widget_set_focusable(arrow, FALSE);
        gtk_widget_set_focus_on_click(arrow, FALSE);
        gtk_widget_set_size_request(arrow, c->placed.rect.height, -1);
        g_signal_connect(arrow, "clicked", Callback(+[](GtkButton*, gpointer data) {
                           HWND h = static_cast<ControlView*>(data)->handle;
                           current->Queue([h] { layer::ClickComboArrow(h); });
                         }),
                         c);
        gtk_box_append(GTK_BOX(box), arrow);
        Put(view, c, box);
        c->dropRect = {c->placed.rect.x, c->placed.rect.Bottom(), c->placed.rect.width,
                       DropLines(*w) * metrics_.height + 2};
        c->dropArea = NewList(c, true);
        c->drop = gtk_frame_new(nullptr);
        gtk_widget_add_css_class(c->drop, "win32-popup");
        gtk_frame_set_child(GTK_FRAME(c->drop), c->dropArea);
        gtk_widget_set_size_request(c->drop, c->dropRect.width, c->dropRect.height);
        gtk_widget_set_visible(c->drop, FALSE);
        break;
      }
      case Kind::ListBox: {
        GtkWidget* box = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
        gtk_widget_add_css_class(box, "list-frame");
        c->area = NewList(c, false);
        gtk_widget_set_focusable(c->area, TRUE);
        gtk_box_append(GTK_BOX(box), c->area);
        c->scroll = gtk_adjustment_new(0, 0, 1, 1, 1, 1);
        GtkWidget* bar = gtk_scrollbar_new(GTK_ORIENTATION_VERTICAL, c->scroll);
        g_signal_connect(c->scroll, "value-changed", Callback(+[](GtkAdjustment* adjustment, gpointer data) {
                           auto* view = static_cast<ControlView*>(data);
                           if (current->Syncing() || !layer::FromHandle(view->handle)) return;
                           int lines = static_cast<int>(gtk_adjustment_get_value(adjustment)) - view->control->list.topIndex;
                           HWND h = view->handle;
                           if (lines) current->Queue([h, lines] { layer::Wheel(h, lines); });
                         }),
                         c);
        gtk_box_append(GTK_BOX(box), bar);
        Put(view, c, box);
        break;
      }
      default: {
        GtkWidget* frame = gtk_frame_new(nullptr);
        Put(view, c, frame);
        break;
      }
    }
  }

  // Screen readers name a field by the label beside it or above it, as they
  // do on Windows; a list by the headings over it.
  void Labels(WindowView* view) {
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

  void Update(WindowView* view) {
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

  // The dialog manager's caret and selection onto the field, when they are
  // not what the field already shows (a drag in progress is left alone).
  void PushSelection(ControlView* c, bool focused) {
    Window* w = c->control;
    if (!focused) return;
    if (w->edit.anchor == c->shownAnchor && w->edit.caret == c->shownCaret) return;
    c->shownAnchor = w->edit.anchor;
    c->shownCaret = w->edit.caret;
    gtk_editable_select_region(GTK_EDITABLE(c->text), CharOffset(w->text, w->edit.anchor), CharOffset(w->text, w->edit.caret));
  }

  void UpdateControl(ControlView* c) {
    Window* w = c->control;
    gtk_widget_set_visible(c->widget, w->Visible());
    // A window disabled under a modal one keeps its look, as on Windows.
    gtk_widget_set_sensitive(c->widget, w->Enabled());
    switch (w->kind) {
      case Kind::Static:
        if (layer::StockIconOf(*w) != layer::StockIcon::None) break;
        if (w->text != c->shownText) {
          if (w->style & SS_NOPREFIX) gtk_label_set_text(GTK_LABEL(c->widget), w->text.c_str());
          else gtk_label_set_text_with_mnemonic(GTK_LABEL(c->widget), Underlined(w->text).c_str());
          c->shownText = w->text;
        }
        break;
      case Kind::Button:
        if (w->text != c->shownText) {
          SetButtonText(c->widget, w->text);
          c->shownText = w->text;
        }
        if (w->DefaultButton()) gtk_widget_add_css_class(c->widget, "default");
        else gtk_widget_remove_css_class(c->widget, "default");
        break;
      case Kind::GroupBox:
        gtk_frame_set_label(GTK_FRAME(c->widget), layer::WithoutMnemonic(w->text).c_str());
        break;
      case Kind::Edit:
      case Kind::ComboBox:
        if (w->Multiline()) {
          GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(c->text));
          GtkTextIter from, to;
          gtk_text_buffer_get_bounds(buffer, &from, &to);
          char* now = gtk_text_buffer_get_text(buffer, &from, &to, FALSE);
          if (Flat(w->text) != now) gtk_text_buffer_set_text(buffer, Flat(w->text).c_str(), -1);
          g_free(now);
        } else if (gtk_editable_get_text(GTK_EDITABLE(c->text)) != w->text) {
          gtk_editable_set_text(GTK_EDITABLE(c->text), w->text.c_str());
          c->shownAnchor = c->shownCaret = static_cast<size_t>(-1);
        }
        if (w->kind == Kind::ComboBox) {
          gtk_widget_set_visible(c->drop, w->combo.dropped && w->Visible());
          if (w->combo.dropped) gtk_widget_queue_draw(c->dropArea);
        }
        break;
      case Kind::ListBox: {
        int count = static_cast<int>(w->list.items.size());
        int page = layer::VisibleLines(*w);
        gtk_adjustment_configure(c->scroll, w->list.topIndex, 0, std::max(count, 1), 1, page, std::min(page, std::max(count, 1)));
        gtk_widget_queue_draw(c->area);
        std::string selected = w->list.selection >= 0 && w->list.selection < count
                                   ? std::string(w->list.items[static_cast<size_t>(w->list.selection)]) : std::string();
        for (char& ch : selected)
          if (ch == '\t') ch = ' ';
        gtk_accessible_update_property(GTK_ACCESSIBLE(c->area), GTK_ACCESSIBLE_PROPERTY_DESCRIPTION, selected.c_str(), -1);
        break;
      }
      default:
        break;
    }
  }

  void UpdateMenu(WindowView* view) {
    if (!view->menuBar) return;
    Window* w = view->window;
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
      g_object_set_data(G_OBJECT(b), "index", GINT_TO_POINTER(static_cast<int>(i)));
      g_signal_connect(b, "clicked", Callback(+[](GtkButton* button, gpointer data) {
                         HWND h = static_cast<WindowView*>(data)->handle;
                         int index = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "index"));
                         current->Queue([h, index] { layer::ClickMenuItem(h, index); });
                       }),
                       view);
      gtk_box_append(GTK_BOX(view->popup), b);
    }
    gtk_fixed_move(GTK_FIXED(view->fixed), view->popup, view->layout.menu[static_cast<size_t>(bar.popup)].rect.x, 0);
  }

  // ---- signal handlers

  static void OnEntryChanged(GtkEditable* editable, gpointer data) {
    if (current->Syncing()) return;
    auto* c = static_cast<ControlView*>(data);
    std::string now = gtk_editable_get_text(editable);
    int caretChars = gtk_editable_get_position(editable);
    HWND h = c->handle;
    current->Queue([h, now, caretChars] {
      Window* w = layer::FromHandle(h);
      if (!w) return;
      const std::string& old = w->text;
      size_t prefix = 0;
      while (prefix < old.size() && prefix < now.size() && old[prefix] == now[prefix]) ++prefix;
      size_t suffix = 0;
      while (suffix < old.size() - prefix && suffix < now.size() - prefix &&
             old[old.size() - 1 - suffix] == now[now.size() - 1 - suffix])
        ++suffix;
      prefix = text::CharStart(old, prefix);
      prefix = std::min(prefix, text::CharStart(now, prefix));
      while (suffix > 0 && (text::CharStart(old, old.size() - suffix) != old.size() - suffix ||
                            text::CharStart(now, now.size() - suffix) != now.size() - suffix))
        --suffix;
      layer::ReplaceFieldText(h, prefix, old.size() - suffix, now.substr(prefix, now.size() - suffix - prefix));
      if (layer::FromHandle(h) && w->text == now) {
        size_t caret = ByteOffset(now, caretChars);
        if (caret != w->edit.caret) layer::SelectFieldText(h, caret, caret);
        current->Shown(h);
      }
    });
  }

  static void OnEntryCaret(GObject* object, GParamSpec*, gpointer data) {
    if (current->Syncing()) return;
    GtkEditable* editable = GTK_EDITABLE(object);
    auto* c = static_cast<ControlView*>(data);
    // Only the person's moves: the field has the focus in its window (which
    // need not be the desktop's active one).
    GtkEditable* delegate = gtk_editable_get_delegate(editable);
    if (!gtk_widget_is_focus(delegate ? GTK_WIDGET(delegate) : c->text)) return;
    std::string text = gtk_editable_get_text(editable);
    int start = 0, end = 0;
    int caretChars = gtk_editable_get_position(editable);
    gtk_editable_get_selection_bounds(editable, &start, &end);
    int anchorChars = start == end ? caretChars : (caretChars == start ? end : start);
    size_t caret = ByteOffset(text, caretChars), anchor = ByteOffset(text, anchorChars);
    HWND h = c->handle;
    current->Queue([h, text, anchor, caret] {
      Window* w = layer::FromHandle(h);
      if (w && w->text == text && (w->edit.caret != caret || w->edit.anchor != anchor)) layer::SelectFieldText(h, anchor, caret);
      if (w && w->text == text) current->Shown(h);
    });
  }

  static void OnFocusWidget(GObject* object, GParamSpec*, gpointer data) {
    if (current->Syncing()) return;
    auto* view = static_cast<WindowView*>(data);
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(object));
    ControlView* c = ViewOfWidget(view, focus);
    if (!c || !layer::FromHandle(c->handle) || layer::FocusOf(view->window) == c->control) return;
    HWND h = c->handle;
    if (c->text && GTK_IS_EDITABLE(c->text)) {
      std::string text = gtk_editable_get_text(GTK_EDITABLE(c->text));
      size_t caret = ByteOffset(text, gtk_editable_get_position(GTK_EDITABLE(c->text)));
      current->Queue([h, caret] { layer::ClickEdit(h, caret); });
    } else {
      current->Queue([h] { layer::ClickControl(h); });
    }
  }

  static Focus FocusKind(WindowView* view) {
    Window* w = view->window;
    if (w->dialog.menuBar.mode != layer::MenuBarState::Closed) return Focus::Other;
    Window* f = layer::FocusOf(w);
    if (!f) return Focus::Other;
    switch (f->kind) {
      case Kind::Edit: return f->Multiline() ? Focus::MultilineField : Focus::Field;
      case Kind::ComboBox: return f->combo.dropped ? Focus::List : Focus::Combo;
      case Kind::ListBox: return Focus::List;
      default: return Focus::Other;
    }
  }

  static gboolean OnKeyPressed(GtkEventControllerKey*, guint keyval, guint, GdkModifierType state, gpointer data) {
    auto* view = static_cast<WindowView*>(data);
    if (keyval == GDK_KEY_Alt_L || keyval == GDK_KEY_Alt_R || keyval == GDK_KEY_Meta_L) {
      view->altAlone = true;
      return FALSE;
    }
    view->altAlone = false;
    if (!layer::FromHandle(view->handle)) return FALSE;
    unsigned modifiers = 0;
    if (state & GDK_SHIFT_MASK) modifiers |= layer::kShift;
    if (state & GDK_CONTROL_MASK) modifiers |= layer::kCtrl;
    if (state & GDK_ALT_MASK) modifiers |= layer::kAlt;
    char32_t ch = gdk_keyval_to_unicode(keyval);
    // Keys reaching a window the dialog manager has not made active (no
    // window manager moved the focus) still go to the active one, through it.
    // So do keys that arrive while earlier input waits in the queue: the
    // focus GTK shows may be about to move (a Tab not yet taken), and the
    // field that has it now must not get the typing meant for the next one.
    Focus focus = layer::ActiveWindow() == view->window && !current->Pending() ? FocusKind(view) : Focus::Other;
    KeyAction action = Route(keyval, ch, modifiers, focus);
    switch (action.type) {
      case KeyAction::Native:
        return FALSE;
      case KeyAction::None:
        return TRUE;
      case KeyAction::Key: {
        layer::Key key = action.key;
        unsigned mods = action.modifiers;
        current->Queue([key, mods] { layer::PressKey(key, mods); });
        return TRUE;
      }
      case KeyAction::Char: {
        std::string bytes = text::Encode(std::u32string(1, action.ch));
        if ((action.modifiers & layer::kAlt) && bytes.size() > 1) return TRUE;
        unsigned mods = action.modifiers;
        current->Queue([bytes, mods] {
          for (char b : bytes) layer::TypeChar(b, mods);
        });
        return TRUE;
      }
    }
    return FALSE;
  }

  static void OnKeyReleased(GtkEventControllerKey*, guint keyval, guint, GdkModifierType, gpointer data) {
    auto* view = static_cast<WindowView*>(data);
    if ((keyval == GDK_KEY_Alt_L || keyval == GDK_KEY_Alt_R || keyval == GDK_KEY_Meta_L) && view->altAlone) {
      view->altAlone = false;
      current->Queue([] { layer::PressKey(layer::Key::Alt); });
    }
  }

  Options options_;
  GtkWidget* probe_ = nullptr;
  PangoLayout* measureLayout_ = nullptr;
  FontMetrics metrics_;
  std::map<Window*, std::unique_ptr<WindowView>> views_;
  std::deque<std::function<void()>> actions_;
  Window* presented_ = nullptr;
  bool dirty_ = true;
  bool syncing_ = false;
  bool closing_ = false;
};

gboolean OnQuitSignal(gpointer) {
  if (current) current->Close();
  return G_SOURCE_CONTINUE;
}

}  // namespace

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
