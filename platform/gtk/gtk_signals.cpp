// The person's input as GTK reports it, queued as the dialog manager's input
// calls for the next modal loop's turn. A queued call names its window by
// handle and serial, so it is dropped when that window has gone, even if a
// new one now stands at the same address.
#include "platform/dialog/desktop.h"
#include "platform/dialog/input.h"
#include "platform/gtk/gtk_views.h"
#include "platform/gtk/keys.h"
#include "platform/gtk/list_painter.h"
#include "platform/gtk/text_diff.h"
#include "platform/text/utf8.h"

namespace gtkfe {

using layer::Kind;
using layer::Window;

namespace {

std::string Windows(const std::string& text) {  // "\n" as the dialog manager keeps it
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

void OnEntryChanged(GtkEditable* editable, gpointer data) {
  if (current->Syncing()) return;
  auto* c = static_cast<ControlView*>(data);
  std::string now = gtk_editable_get_text(editable);
  int caretChars = gtk_editable_get_position(editable);
  current->QueueFor(c->ref, [ref = c->ref, now, caretChars](HWND h) {
    TextEdit edit = DiffText(ref.Live()->text, now);
    layer::ReplaceFieldText(h, edit.from, edit.to, edit.inserted);
    Window* w = ref.Live();
    if (w && w->text == now) {
      size_t caret = ByteOffset(now, caretChars);
      if (caret != w->edit.caret) layer::SelectFieldText(h, caret, caret);
      current->Shown(h);
    }
  });
}

void OnEntryCaret(GObject* object, GParamSpec*, gpointer data) {
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
  current->QueueFor(c->ref, [ref = c->ref, text, anchor, caret](HWND h) {
    Window* w = ref.Live();
    if (w->text != text) return;
    if (w->edit.caret != caret || w->edit.anchor != anchor) layer::SelectFieldText(h, anchor, caret);
    current->Shown(h);
  });
}

ControlView* ViewOfWidget(WindowView* view, GtkWidget* widget) {
  for (; widget; widget = gtk_widget_get_parent(widget))
    for (auto& c : view->controls)
      if (c->widget == widget || c->text == widget || c->area == widget) return c.get();
  return nullptr;
}

void OnFocusWidget(GObject* object, GParamSpec*, gpointer data) {
  if (current->Syncing()) return;
  auto* view = static_cast<WindowView*>(data);
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(object));
  ControlView* c = ViewOfWidget(view, focus);
  if (!c || !c->ref.Live() || !view->ref.Live() || layer::FocusOf(view->window) == c->control) return;
  if (c->text && GTK_IS_EDITABLE(c->text)) {
    std::string text = gtk_editable_get_text(GTK_EDITABLE(c->text));
    size_t caret = ByteOffset(text, gtk_editable_get_position(GTK_EDITABLE(c->text)));
    current->QueueFor(c->ref, [caret](HWND h) { layer::ClickEdit(h, caret); });
  } else {
    current->QueueFor(c->ref, layer::ClickControl);
  }
}

Focus FocusKind(WindowView* view) {
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

gboolean OnKeyPressed(GtkEventControllerKey*, guint keyval, guint, GdkModifierType state, gpointer data) {
  auto* view = static_cast<WindowView*>(data);
  if (keyval == GDK_KEY_Alt_L || keyval == GDK_KEY_Alt_R || keyval == GDK_KEY_Meta_L) {
    view->altAlone = true;
    return FALSE;
  }
  view->altAlone = false;
  if (!view->ref.Live()) return FALSE;
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
  // In menu mode every key is the menu's, as on Windows: arrows move
  // between menus and letters choose items, even over a text field.
  Focus focus = layer::ActiveWindow() == view->window && !current->Pending() &&
                        view->window->dialog.menuBar.mode == layer::MenuBarState::Closed
                    ? FocusKind(view)
                    : Focus::Other;
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

void OnKeyReleased(GtkEventControllerKey*, guint keyval, guint, GdkModifierType, gpointer data) {
  auto* view = static_cast<WindowView*>(data);
  if ((keyval == GDK_KEY_Alt_L || keyval == GDK_KEY_Alt_R || keyval == GDK_KEY_Meta_L) && view->altAlone) {
    view->altAlone = false;
    current->Queue([] { layer::PressKey(layer::Key::Alt); });
  }
}

}  // namespace

void ConnectWindow(WindowView* view) {
  GtkEventController* keys = gtk_event_controller_key_new();
  gtk_event_controller_set_propagation_phase(keys, GTK_PHASE_CAPTURE);
  g_signal_connect(keys, "key-pressed", G_CALLBACK(OnKeyPressed), view);
  g_signal_connect(keys, "key-released", G_CALLBACK(OnKeyReleased), view);
  gtk_widget_add_controller(view->gtkWindow, keys);
  g_signal_connect(view->gtkWindow, "close-request", Callback(+[](GtkWindow*, gpointer data) -> gboolean {
                     current->QueueFor(static_cast<WindowView*>(data)->ref, layer::ClickCloseBox);
                     return TRUE;
                   }),
                   view);
  // A click anywhere but on the menus ends menu mode, as on Windows, and the
  // keys after it go to the field again. GTK reports no click into the field
  // that already has the focus, so the window watches every press.
  GtkGesture* press = gtk_gesture_click_new();
  gtk_event_controller_set_propagation_phase(GTK_EVENT_CONTROLLER(press), GTK_PHASE_CAPTURE);
  g_signal_connect(press, "pressed", Callback(+[](GtkGestureClick* gesture, int, double x, double y, gpointer data) {
                     auto* view = static_cast<WindowView*>(data);
                     Window* w = view->ref.Live();
                     if (!w || w->dialog.menuBar.mode == layer::MenuBarState::Closed) return;
                     GtkWidget* window = gtk_event_controller_get_widget(GTK_EVENT_CONTROLLER(gesture));
                     for (GtkWidget* at = gtk_widget_pick(window, x, y, GTK_PICK_DEFAULT); at; at = gtk_widget_get_parent(at))
                       if (at == view->menuBar || at == view->popup) return;
                     current->QueueFor(view->ref, layer::ClickControl);
                   }),
                   view);
  gtk_widget_add_controller(view->gtkWindow, GTK_EVENT_CONTROLLER(press));
  g_signal_connect(view->gtkWindow, "notify::focus-widget", G_CALLBACK(OnFocusWidget), view);
  g_signal_connect(view->gtkWindow, "notify::is-active", Callback(+[](GObject* object, GParamSpec*, gpointer data) {
                     if (!gtk_window_is_active(GTK_WINDOW(object))) return;
                     const WindowRef& ref = static_cast<WindowView*>(data)->ref;
                     Window* w = ref.Live();
                     if (w && w != layer::ActiveWindow()) current->QueueFor(ref, layer::Activate);
                   }),
                   view);
}

void ConnectEntry(GtkWidget* entry, ControlView* c) {
  g_signal_connect(entry, "changed", G_CALLBACK(OnEntryChanged), c);
  g_signal_connect(entry, "notify::cursor-position", G_CALLBACK(OnEntryCaret), c);
  g_signal_connect(entry, "notify::selection-bound", G_CALLBACK(OnEntryCaret), c);
}

void ConnectTextView(GtkWidget* text, ControlView* c) {
  g_signal_connect(gtk_text_view_get_buffer(GTK_TEXT_VIEW(text)), "changed",
                   Callback(+[](GtkTextBuffer* buffer, gpointer data) {
                     if (current->Syncing()) return;
                     GtkTextIter from, to;
                     gtk_text_buffer_get_bounds(buffer, &from, &to);
                     char* text = gtk_text_buffer_get_text(buffer, &from, &to, FALSE);
                     std::string now = Windows(text);
                     g_free(text);
                     const WindowRef& ref = static_cast<ControlView*>(data)->ref;
                     current->QueueFor(ref, [ref, now](HWND h) {
                       layer::ReplaceFieldText(h, 0, ref.Live()->text.size(), now);
                     });
                   }),
                   c);
}

void ConnectList(GtkWidget* area, ControlView* c, bool dropped) {
  GtkGesture* click = gtk_gesture_click_new();
  g_object_set_data(G_OBJECT(click), "dropped", GINT_TO_POINTER(dropped ? 1 : 0));
  g_signal_connect(click, "pressed", Callback(+[](GtkGestureClick* gesture, int, double, double y, gpointer data) {
                     auto* c = static_cast<ControlView*>(data);
                     if (!c->ref.Live()) return;
                     bool fromDrop = g_object_get_data(G_OBJECT(gesture), "dropped") != nullptr;
                     int line = ListLineAt(*c->control, static_cast<int>(y) - 1, current->Metrics());
                     if (fromDrop) current->QueueFor(c->ref, [line](HWND h) { layer::ClickComboLine(h, line); });
                     else if (line >= 0) current->QueueFor(c->ref, [line](HWND h) { layer::ClickListLine(h, line); });
                     else current->QueueFor(c->ref, layer::ClickControl);
                   }),
                   c);
  gtk_widget_add_controller(area, GTK_EVENT_CONTROLLER(click));
  GtkEventController* wheel = gtk_event_controller_scroll_new(static_cast<GtkEventControllerScrollFlags>(
      GTK_EVENT_CONTROLLER_SCROLL_VERTICAL | GTK_EVENT_CONTROLLER_SCROLL_DISCRETE));
  g_signal_connect(wheel, "scroll", Callback(+[](GtkEventControllerScroll*, double, double dy, gpointer data) -> gboolean {
                     int lines = static_cast<int>(dy * 3);
                     if (lines) current->QueueFor(static_cast<ControlView*>(data)->ref, [lines](HWND h) { layer::Wheel(h, lines); });
                     return TRUE;
                   }),
                   c);
  gtk_widget_add_controller(area, wheel);
}

void ConnectClick(GtkWidget* button, ControlView* c, void (*click)(HWND)) {
  g_object_set_data(G_OBJECT(button), "click", reinterpret_cast<gpointer>(click));
  g_signal_connect(button, "clicked", Callback(+[](GtkButton* button, gpointer data) {
                     auto click = reinterpret_cast<void (*)(HWND)>(g_object_get_data(G_OBJECT(button), "click"));
                     current->QueueFor(static_cast<ControlView*>(data)->ref, click);
                   }),
                   c);
}

void ConnectScroll(GtkAdjustment* scroll, ControlView* c) {
  g_signal_connect(scroll, "value-changed", Callback(+[](GtkAdjustment* adjustment, gpointer data) {
                     auto* c = static_cast<ControlView*>(data);
                     if (current->Syncing() || !c->ref.Live()) return;
                     int lines = static_cast<int>(gtk_adjustment_get_value(adjustment)) - c->control->list.topIndex;
                     if (lines) current->QueueFor(c->ref, [lines](HWND h) { layer::Wheel(h, lines); });
                   }),
                   c);
}

void ConnectMenuButton(GtkWidget* button, WindowView* view, int index, bool popupItem) {
  g_object_set_data(G_OBJECT(button), "index", GINT_TO_POINTER(index));
  auto clicked = popupItem ? +[](GtkButton* button, gpointer data) {
    int index = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "index"));
    current->QueueFor(static_cast<WindowView*>(data)->ref, [index](HWND h) { layer::ClickMenuItem(h, index); });
  }
                           : +[](GtkButton* button, gpointer data) {
                               int index = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "index"));
                               current->QueueFor(static_cast<WindowView*>(data)->ref,
                                                 [index](HWND h) { layer::ClickMenuBar(h, index); });
                             };
  g_signal_connect(button, "clicked", Callback(clicked), view);
}

}  // namespace gtkfe
