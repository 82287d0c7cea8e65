// The open top-level windows (dialogs and message boxes) of the process.
#pragma once

#include <vector>

#include "platform/dialog/window.h"

namespace layer {

// Open top-level windows, bottom to top. A dialog stays listed from its
// creation until its modal loop returns; EndDialog hides it at once.
const std::vector<Window*>& TopLevelWindows();

// The window that takes keys: the topmost visible, enabled one that was last
// activated. Null when none is open.
Window* ActiveWindow();

// The focused control of a top-level window (null when none).
Window* FocusOf(Window* topLevel);

}  // namespace layer
