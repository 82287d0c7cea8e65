// Each control of a window as a GTK widget: made once for the window's view,
// then kept showing the dialog manager's text, state and selection.
#include <algorithm>

#include "platform/dialog/input.h"
#include "platform/gtk/gtk_views.h"
#include "platform/gtk/list_painter.h"

namespace gtkfe {

using layer::Kind;
using layer::Window;

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

namespace {

std::string Flat(const std::string& text) {  // "\r\n" as a text widget keeps it
  std::string out;
  for (char c : text)
    if (c != '\r') out += c;
  return out;
}

int CharOffset(const std::string& text, size_t bytes) {
  return static_cast<int>(g_utf8_pointer_to_offset(text.c_str(), text.c_str() + std::min(bytes, text.size())));
}

}  // namespace

size_t ByteOffset(const std::string& text, int chars) {
  const char* at = g_utf8_offset_to_pointer(text.c_str(), std::max(0, chars));
  return static_cast<size_t>(at - text.c_str());
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

namespace {

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
  ConnectList(area, c, dropped);
  return area;
}

// A message box's system icon: the theme's symbolic one in the theme's
// error, warning or accent colour, named for a screen reader as the box's kind.
GtkWidget* NewIcon(layer::StockIcon icon, const PixelRect& room) {
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
  ConnectEntry(entry, c);
  return entry;
}

}  // namespace

void GtkFrontEnd::CreateControl(WindowView* view, ControlView* c) {
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
      ConnectClick(button, c, layer::ClickControl);
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
        ConnectTextView(text, c);
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
      ConnectClick(arrow, c, layer::ClickComboArrow);
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
      ConnectScroll(c->scroll, c);
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

void GtkFrontEnd::UpdateControl(ControlView* c) {
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

}  // namespace gtkfe
