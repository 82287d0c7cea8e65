// The user's documents folder, as the desktop names it.
#pragma once

#include <string>

namespace gtkfe {

// The XDG documents folder (user-dirs.dirs), else "Documents" in the home
// folder; empty when not even the home folder is known.
std::string DocumentsFolder();

}  // namespace gtkfe
