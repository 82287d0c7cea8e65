// The desktop's own services where X11 and Wayland differ. Kept apart: the
// X11 headers define names (None, Status) that the rest of the front end uses.
#include "platform/gtk/gtk_views.h"

#ifdef GDK_WINDOWING_X11
#include <gdk/x11/gdkx.h>
#endif

namespace gtkfe {

PixelRect WorkArea() {
  GListModel* monitors = gdk_display_get_monitors(gdk_display_get_default());
  auto* monitor = static_cast<GdkMonitor*>(g_list_model_get_item(monitors, 0));
  if (!monitor) return {0, 0, 1 << 20, 1 << 20};
  GdkRectangle area;
  gdk_monitor_get_geometry(monitor, &area);
#ifdef GDK_WINDOWING_X11
  if (GDK_IS_X11_MONITOR(monitor)) gdk_x11_monitor_get_workarea(monitor, &area);
#endif
  g_object_unref(monitor);
  return {area.x, area.y, area.width, area.height};
}

void SetProgramClass(const std::string& name) {
#ifdef GDK_WINDOWING_X11
  GdkDisplay* display = gdk_display_get_default();
  if (GDK_IS_X11_DISPLAY(display)) gdk_x11_display_set_program_class(display, name.c_str());
#else
  (void)name;
#endif
}

}  // namespace gtkfe
