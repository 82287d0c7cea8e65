// Where windows, controls, menus and drop-down lists sit on the character
// screen. Drawing and mouse hits both go through these, so a click lands on
// what was drawn there.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/dialog/window.h"
#include "platform/terminal/grid.h"

namespace term {

struct Box {
  int row = 0, col = 0, height = 0, width = 0;
  bool Contains(int r, int c) const { return r >= row && r < row + height && c >= col && c < col + width; }
};

// A top-level window: a frame whose top edge is the title line, the menu
// bar under it when the window has a menu, then the client area.
struct Placement {
  layer::Window* window = nullptr;
  Box frame;
  Box client;
  int menuRow = -1;  // -1 without a menu bar
  Grid grid;         // where the window's dialog units fall
  int screenRows = 0, screenCols = 0;
};

// Windows are centred on the screen (a dialog over its owner shares its centre).
Placement Place(layer::Window& top, int screenRows, int screenCols);
// Whether the windows can be laid out on the screen; if not, the smallest
// screen all of them can be laid out on.
bool Fits(const std::vector<layer::Window*>& windows, int screenRows, int screenCols, int& rows, int& cols);

// A control's cells, and the row its text sits on: the row holding the
// control's vertical middle, so labels line up with their fields. A bordered
// field lower than three rows gets a frame around its text row where that
// frame meets no other control, else it takes that one row.
struct ControlBox {
  Box box;
  int textRow = 0;
};
ControlBox BoxOf(const Placement& where, const layer::Window& control);

// Whether a control is drawn with a frame, and what is left inside it.
bool Framed(const layer::Window& control, const ControlBox& cb);
Box Interior(const ControlBox& cb, bool framed);

// Text shown with its mnemonic letter: "&&" is a plain '&'.
struct Label {
  std::u32string text;
  int mnemonic = -1;  // index into text of the underlined letter
};
Label MakeLabel(const std::string& text);

// What a terminal shows for a message box's system icon: "(X)" for an error,
// "/!\\" for a warning, "(i)" and "(?)"; empty for any other control.
std::u32string IconGlyph(const layer::Window& control);

// The visible part of an edit field (or a combo box's edit part).
struct EditView {
  Box area;          // one row for a single-line field
  size_t firstByte = 0;   // single line: first byte shown
  size_t firstLine = 0;   // multiline: first line shown
  int firstColumn = 0;    // multiline: columns scrolled off on the left
};
EditView ViewOfEdit(const Placement& where, const layer::Window& edit);
// The byte offset of the text position shown at a screen cell of the view.
size_t EditPositionAt(const layer::Window& edit, const EditView& view, int row, int col);
// The screen cell of the caret.
void CaretCell(const layer::Window& edit, const EditView& view, int& row, int& col);

// Lines of a multiline text with the byte offset where each begins.
struct TextLine {
  size_t start = 0;
  std::string text;
};
std::vector<TextLine> SplitLines(const std::string& text);

// A list box's visible lines: the first shown keeps the selection in view.
struct ListView {
  Box lines;
  int top = 0;
  bool scrollBar = false;  // more lines than fit: the right edge shows where we are
  int scrollCol = 0;
};
ListView ViewOfList(const ControlBox& cb, const layer::Window& list, bool framed);
// A list line with its tabs expanded to the list's tab stops, scaled as the window is.
std::string ExpandTabs(const Placement& where, const layer::Window& list, std::string_view line);
int FirstShown(int top, int selection, int count, int visible);

// An open combo box's drop-down list: a box under the edit part.
struct DropDown {
  Box box;
  Box lines;
  int top = 0;
};
// It keeps within the window's frame.
DropDown DropDownOf(const Placement& where, const ControlBox& cb, const layer::Window& combo);
// The combo box's edit part and its drop-down marker.
Box ComboEditArea(const ControlBox& cb);
int ComboArrowCol(const ControlBox& cb);

// Lines a list (or an open combo box list) shows and columns a field shows
// on a screen of this size; 0 where its window does not fit.
int ShownLines(const layer::Window& control, int screenRows, int screenCols);
int ShownColumns(const layer::Window& control, int screenRows, int screenCols);

// The menu bar's popup titles and an open popup's box.
std::vector<Box> MenuTitles(const Placement& where);
Box PopupBox(const Placement& where, int popup);

// The close box on the title line.
Box CloseBox(const Placement& where);

// What a mouse click at a screen cell lands on.
struct Hit {
  enum What {
    Nothing, Window, CloseBox, MenuTitle, MenuItem, OutsidePopup, Control, ListLine, ListScroll,
    ComboArrow, ComboLine, EditText
  } what = Nothing;
  layer::Window* window = nullptr;   // the top-level window
  layer::Window* control = nullptr;
  int index = -1;        // popup, item, list or drop-down line; the scroll amount for ListScroll
  size_t position = 0;   // EditText: byte offset
};
// `windows` bottom to top, as they are drawn.
Hit HitTest(const std::vector<layer::Window*>& windows, int screenRows, int screenCols, int row, int col);

}  // namespace term
