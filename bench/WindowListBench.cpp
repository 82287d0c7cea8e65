// The desktop window's register list with 100,000 transactions: a key that
// moves the selection, then the list repainted as GTK repaints it (the
// visible lines drawn with cairo and Pango into the list's pixels). A frame
// is 16 ms.
#include <benchmark/benchmark.h>
#include <pango/pangocairo.h>

#include <cstdio>
#include <string>

#include "platform/dialog/manager.h"
#include "platform/gtk/layout.h"
#include "platform/gtk/list_painter.h"

namespace {

void MoveAndRepaint(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  const int scale = static_cast<int>(state.range(1));
  layer::Window list;
  list.kind = layer::Kind::ListBox;
  list.className = "ListBox";
  list.style = WS_VISIBLE | LBS_USETABSTOPS;
  list.rect = {4, 31, 429, 210};  // the register's list, in dialog units
  list.list.tabStops = {44, 94, 274, 338, 406};
  char line[160];
  for (int i = 0; i < rows; ++i) {
    std::snprintf(line, sizeof line, "%d\t%02d/%02d/2003\tPayee number %d with a longer name\t\t%d.%02d\t%s", 100 + i,
                  1 + i % 12, 1 + i % 28, i, i % 5000, i % 100, i % 3 ? "" : "R");
    list.list.items.push_back(line);
  }
  PangoFontMap* map = pango_cairo_font_map_new();
  pango_cairo_font_map_set_resolution(PANGO_CAIRO_FONT_MAP(map), 96.0 * scale);
  PangoContext* context = pango_font_map_create_context(map);
  PangoLayout* layout = pango_layout_new(context);
  PangoFontDescription* font = pango_font_description_from_string("Sans 10");
  pango_layout_set_font_description(layout, font);
  pango_font_description_free(font);
  pango_layout_set_text(layout, "Ag", -1);
  int w = 0, h = 0;
  pango_layout_get_pixel_size(layout, &w, &h);
  gtkfe::FontMetrics metrics =
      gtkfe::AverageCharacter([layout](const std::string& t) { return gtkfe::TextWidth(layout, t); }, h, scale);
  int width = gtkfe::ToPixelsX(list.rect.cx, metrics), height = gtkfe::ToPixelsY(list.rect.cy, metrics);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_t* cr = cairo_create(surface);
  pango_cairo_update_context(cr, context);
  gtkfe::ListLook look;
  look.focused = true;
  int selection = rows / 2;
  list.list.selection = selection;
  list.list.topIndex = selection;
  for (auto _ : state) {
    selection = selection + 1 < rows ? selection + 1 : 0;
    layer::ListMoveSelection(&list, selection);  // the Down key's work in the dialog manager
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    gtkfe::PaintList(cr, layout, list, list.list.selection, width, height, metrics, look);
    cairo_surface_flush(surface);
  }
  state.counters["lines_shown"] = height / metrics.height;
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  g_object_unref(layout);
  g_object_unref(context);
  g_object_unref(map);
}

BENCHMARK(MoveAndRepaint)->Args({100000, 1})->Args({100000, 2})->Args({1000000, 1})->Unit(benchmark::kMillisecond);

}  // namespace
