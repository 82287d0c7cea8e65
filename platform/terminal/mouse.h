// A person's mouse: clicks and wheel turns at screen cells, handed to the
// dialog manager as clicks on what is drawn there.
#pragma once

#include <vector>

#include "platform/dialog/window.h"

namespace term {

// `windows` bottom to top, as drawn. Each returns false when the cell holds
// nothing that takes the event.
bool ClickAt(const std::vector<layer::Window*>& windows, int screenRows, int screenCols, int row, int col);
bool WheelAt(const std::vector<layer::Window*>& windows, int screenRows, int screenCols, int row, int col,
             int lines);

}  // namespace term
