// How a window's dialog units fall on character cells. Where the window
// fits the screen that way, a unit is a quarter of a cell across and an
// eighth down; an axis that does not fit is squeezed into the cells there
// are. Either way the edges of the controls are then pushed apart just as
// far as texts, fields and list columns need to be shown whole.
#pragma once

#include <vector>

#include "platform/dialog/window.h"

namespace term {

// One axis: dialog units to cells, rising with the units.
class Axis {
 public:
  // Cells from the window's client edge to where `unit` falls.
  int Cell(int unit) const;
  int Extent() const { return extent_; }  // the client area's cells
  bool Dense() const { return dense_; }

 private:
  friend class AxisBuilder;
  int Proportional(int unit) const;
  std::vector<int> units_, cells_;  // the control edges and where they fall
  int extent_ = 0;
  int unitExtent_ = 1;
  int unitsPerCell_ = 4;  // the fixed scale; a dense axis maps unitExtent_ onto extent_
  bool dense_ = false;
};

struct Grid {
  Axis across, down;
  bool fits = true;            // false: not even the densest layout fits the screen
  int neededRows = 0, neededCols = 0;  // the smallest client area the window can be laid out in
};

// The grid for a top-level window given the client cells the screen leaves it.
Grid GridOf(const layer::Window& top, int clientRows, int clientCols);

// Whether a static control is a fixed label (no id of its own), rather than
// a value the program writes into it.
bool IsLabel(const layer::Window& control);

}  // namespace term
