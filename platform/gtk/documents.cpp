#include "platform/gtk/documents.h"

#include <glib.h>

namespace gtkfe {

std::string DocumentsFolder() {
  g_reload_user_special_dirs_cache();
  if (const char* documents = g_get_user_special_dir(G_USER_DIRECTORY_DOCUMENTS)) {
    // An unset entry is the home folder itself; files would land loose there.
    if (g_strcmp0(documents, g_get_home_dir()) != 0) return documents;
  }
  const char* home = g_get_home_dir();
  return home && *home ? std::string(home) + "/Documents" : std::string();
}

}  // namespace gtkfe
