// How each style role looks on this terminal: colour pairs where it has
// colours, plain attributes (reverse, bold, underline, dim) where it has none.
#pragma once

#include "platform/terminal/canvas.h"

namespace term {

struct Look {
  short foreground = -1;  // -1: the terminal's default
  short background = -1;
  bool bold = false;
  bool reverse = false;
  bool underline = false;
  bool dim = false;
};

// `colours`: how many the terminal has (0 or 1 for none).
Look LookOf(Style style, int colours);

}  // namespace term
