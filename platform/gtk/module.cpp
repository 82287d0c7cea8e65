// The module's one export: the program finds it by name once it has loaded
// the module, and calls the front end through it.
#include "platform/gtk/documents.h"
#include "platform/gtk/gtk_front_end.h"

extern "C" __attribute__((visibility("default"))) const gtkfe::DesktopModule* CheckbookDesktopModule() {
  static const gtkfe::DesktopModule module = {gtkfe::OpenDisplay, gtkfe::DocumentsFolder, gtkfe::RunWithGtkFrontEnd};
  return &module;
}
