// The desktop front end: each dialog and message box of the dialog manager a
// GTK 4 window of its own, each control a GTK widget, the person's keys,
// clicks and typing handed to the dialog manager.
#pragma once

#include <functional>
#include <string>

namespace gtkfe {

struct Options {
  std::string applicationId;    // every window's WM_CLASS (X11) and app_id (Wayland): the desktop entry's name
  std::string applicationName;  // as the desktop and screen readers name it
  std::string iconName;    // the windows' icon, from the icon theme
  std::string iconFolder;  // an extra icon theme folder (a build tree's), or empty
};

// Opens the display under the options' identity; false when there is none to open.
bool OpenDisplay(const Options& options);

// Installs the front end, runs `entry` (its modal loops wait in GLib's main
// loop) and returns its result. OpenDisplay() must have succeeded. SIGINT,
// SIGTERM and SIGHUP close the open windows as their close boxes would.
int RunWithGtkFrontEnd(const std::function<int()>& entry, const Options& options);

// The front end as the program finds it in the module it loads, beside
// itself, only to show a window.
constexpr const char* kModuleFile = "checkbook-gtk.so";
constexpr const char* kModuleExport = "CheckbookDesktopModule";
struct DesktopModule {
  bool (*openDisplay)(const Options& options);
  std::string (*documentsFolder)();
  int (*run)(const std::function<int()>& entry, const Options& options);
};
using ModuleExport = const DesktopModule* (*)();

}  // namespace gtkfe
