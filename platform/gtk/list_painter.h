// Draws a list box's (or an open combo box list's) visible lines with cairo
// and Pango: only the lines in view are read and measured, so a list of any
// length repaints in the same time.
#pragma once

#include <cairo.h>
#include <pango/pango.h>

#include <vector>

#include "platform/dialog/window.h"
#include "platform/gtk/layout.h"

namespace gtkfe {

struct Colour {
  double r = 0, g = 0, b = 0, a = 1;
};

struct ListLook {
  Colour text;
  Colour selectedText{1, 1, 1, 1};
  Colour selectedBack{0.21, 0.52, 0.89, 1};
  bool focused = false;
  int caret = -1;  // the line the focus rectangle goes round while focused
  std::vector<int> columns;  // the tab stops as ListColumns places them; empty: the list's own
};

// `mark` is the line drawn selected (-1 for none); `layout` carries the font.
void PaintList(cairo_t* cr, PangoLayout* layout, const layer::Window& list, int mark, int width, int height,
               const FontMetrics& metrics, const ListLook& look);

// The line under a point `y` pixels from the list's top, -1 past the last.
int ListLineAt(const layer::Window& list, int y, const FontMetrics& metrics);

// Width in pixels of a text in the layout's font.
int TextWidth(PangoLayout* layout, const std::string& text);

}  // namespace gtkfe
