// The desktop's own services where X11 and Wayland differ. Kept apart: the
// X11 headers define names (None, Status) that the rest of the front end uses.
#include "platform/gtk/gtk_views.h"

#ifdef GDK_WINDOWING_X11
#include <gdk/x11/gdkx.h>
#endif
#ifdef CHECKBOOK_X11
#include <X11/Xutil.h>
#endif
#ifdef GDK_WINDOWING_WAYLAND
#include <gdk/wayland/gdkwayland.h>
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

namespace {

// Once the window has its surface, before it is mapped.
void OnRealize(GtkWidget* window, gpointer data) {
  const char* id = static_cast<const char*>(data);
  GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(window));
#if defined(GDK_WINDOWING_X11) && defined(CHECKBOOK_X11)
  if (GDK_IS_X11_SURFACE(surface)) {
    XClassHint hint{const_cast<char*>(id), const_cast<char*>(id)};
    XSetClassHint(gdk_x11_display_get_xdisplay(gdk_surface_get_display(surface)), gdk_x11_surface_get_xid(surface),
                  &hint);
  }
#endif
#ifdef GDK_WINDOWING_WAYLAND
  if (GDK_IS_WAYLAND_TOPLEVEL(surface)) gdk_wayland_toplevel_set_application_id(GDK_TOPLEVEL(surface), id);
#endif
  (void)surface;
  (void)id;
}

}  // namespace

void SetProgramClass(const std::string& name) {
#ifdef GDK_WINDOWING_X11
  GdkDisplay* display = gdk_display_get_default();
  if (GDK_IS_X11_DISPLAY(display)) gdk_x11_display_set_program_class(display, name.c_str());
#else
  (void)name;
#endif
}

void SetWindowIdentity(GtkWidget* window, const std::string& applicationId) {
  if (applicationId.empty()) return;
  g_signal_connect_data(window, "realize", G_CALLBACK(OnRealize), g_strdup(applicationId.c_str()),
                        +[](gpointer data, GClosure*) { g_free(data); }, static_cast<GConnectFlags>(0));
}

}  // namespace gtkfe
