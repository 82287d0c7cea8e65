// Draws the open windows of the dialog manager onto a canvas: frames and
// title lines, menu bars and popups, and every control as what it is.
#pragma once

#include <string>
#include <vector>

#include "platform/dialog/window.h"
#include "platform/terminal/canvas.h"

namespace term {

// The visible top-level windows, bottom to top, the active one last.
std::vector<layer::Window*> DrawingOrder(const std::vector<layer::Window*>& open, layer::Window* active);

// Draws `windows` (bottom to top) and places the cursor at the focused
// field's caret. A screen too small for them gets a notice with the size
// they need instead, and the result is false.
bool Draw(Canvas& canvas, const std::vector<layer::Window*>& windows, layer::Window* active);

}  // namespace term
