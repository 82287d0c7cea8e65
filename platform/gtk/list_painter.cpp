// List lines drawn from the dialog manager's list, visible lines only.
#include "platform/gtk/list_painter.h"

#include <pango/pangocairo.h>

#include <algorithm>

namespace gtkfe {
namespace {

void SetColour(cairo_t* cr, const Colour& c) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a); }

}  // namespace

int TextWidth(PangoLayout* layout, const std::string& text) {
  pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
  int width = 0, height = 0;
  pango_layout_get_pixel_size(layout, &width, &height);
  return width;
}

void PaintList(cairo_t* cr, PangoLayout* layout, const layer::Window& list, int mark, int width, int height,
               const FontMetrics& metrics, const ListLook& look) {
  int lineHeight = std::max(1, metrics.height);
  int count = static_cast<int>(list.list.items.size());
  int top = std::clamp(list.list.topIndex, 0, std::max(0, count - 1));
  int shown = height / lineHeight + 1;
  cairo_save(cr);
  cairo_rectangle(cr, 0, 0, width, height);
  cairo_clip(cr);
  for (int i = top; i < count && i < top + shown; ++i) {
    int y = (i - top) * lineHeight;
    bool selected = i == mark;
    if (selected) {
      SetColour(cr, look.selectedBack);
      cairo_rectangle(cr, 0, y, width, lineHeight);
      cairo_fill(cr);
    }
    SetColour(cr, selected ? look.selectedText : look.text);
    // As Segments() places them, each part shaped once for its width and its drawing.
    std::string_view line = list.list.items[static_cast<size_t>(i)];
    int x = FirstTextX(metrics);
    for (size_t start = 0, first = 1;; first = 0) {
      size_t tab = line.find('\t', start);
      std::string_view part = line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
      if (!first) x = NextTabStop(list, x, metrics, look.columns);
      if (!part.empty()) {
        pango_layout_set_text(layout, part.data(), static_cast<int>(part.size()));
        cairo_move_to(cr, x, y);
        pango_cairo_show_layout(cr, layout);
        int w = 0, h = 0;
        pango_layout_get_pixel_size(layout, &w, &h);
        x += w;
      }
      if (tab == std::string_view::npos || x >= width) break;
      start = tab + 1;
    }
    if (i == look.caret && look.focused) {
      // The focus rectangle Windows draws around the caret line, selected or not.
      SetColour(cr, selected ? look.selectedText : look.text);
      double dash = metrics.scale;
      cairo_set_dash(cr, &dash, 1, 0);
      cairo_set_line_width(cr, metrics.scale);
      cairo_rectangle(cr, 0.5 * metrics.scale, y + 0.5 * metrics.scale, width - metrics.scale, lineHeight - metrics.scale);
      cairo_stroke(cr);
      cairo_set_dash(cr, nullptr, 0, 0);
    }
  }
  cairo_restore(cr);
}

int ListLineAt(const layer::Window& list, int y, const FontMetrics& metrics) {
  if (y < 0) return -1;
  int line = list.list.topIndex + y / std::max(1, metrics.height);
  return line < static_cast<int>(list.list.items.size()) ? line : -1;
}

}  // namespace gtkfe
