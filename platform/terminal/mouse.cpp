#include "platform/terminal/mouse.h"

#include "platform/dialog/desktop.h"
#include "platform/dialog/input.h"
#include "platform/terminal/layout.h"

namespace term {

bool ClickAt(const std::vector<layer::Window*>& windows, int screenRows, int screenCols, int row, int col) {
  Hit hit = HitTest(windows, screenRows, screenCols, row, col);
  HWND window = layer::ToHandle(hit.window);
  HWND control = layer::ToHandle(hit.control);
  switch (hit.what) {
    case Hit::Nothing:
      return false;
    case Hit::Window:
      if (hit.window == layer::ActiveWindow()) return false;
      layer::Activate(window);
      return true;
    case Hit::CloseBox: layer::ClickCloseBox(window); return true;
    case Hit::MenuTitle:
    case Hit::OutsidePopup: layer::ClickMenuBar(window, hit.index); return true;
    case Hit::MenuItem: layer::ClickMenuItem(window, hit.index); return true;
    case Hit::Control:
      // Labels and frames take no click; their window comes to the front.
      if (hit.control->kind == layer::Kind::Static || hit.control->kind == layer::Kind::GroupBox) {
        if (hit.window != layer::ActiveWindow()) layer::Activate(window);
      } else {
        layer::ClickControl(control);
      }
      return true;
    case Hit::ListLine: layer::ClickListLine(control, hit.index); return true;
    case Hit::ListScroll: layer::Wheel(control, hit.index); return true;
    case Hit::ComboArrow: layer::ClickComboArrow(control); return true;
    case Hit::ComboLine: layer::ClickComboLine(control, hit.index); return true;
    case Hit::EditText: layer::ClickEdit(control, hit.position); return true;
  }
  return false;
}

bool WheelAt(const std::vector<layer::Window*>& windows, int screenRows, int screenCols, int row, int col,
             int lines) {
  Hit hit = HitTest(windows, screenRows, screenCols, row, col);
  bool list = hit.control && hit.control->kind == layer::Kind::ListBox;
  if (!list && hit.what != Hit::ComboLine) return false;
  layer::Wheel(layer::ToHandle(hit.control), lines);
  return true;
}

}  // namespace term
