// Where a dialog's controls go on the desktop, in pixels: dialog units
// converted by the dialog font's average character size, as Windows converts
// them (x * width / 4, y * height / 8). A control grows only where its text
// needs more room than the units give it in the desktop's font. Needs no
// display: texts are measured through a function the caller supplies.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/dialog/window.h"

namespace gtkfe {

// The dialog font's average character width and its height, in the pixels
// laid out (device pixels when measured at a scale).
struct FontMetrics {
  int averageWidth = 6;
  int height = 13;
  int scale = 1;  // device pixels per logical pixel, for the fixed spacings
};

// Room a control's frame takes around its text, in logical pixels; the
// front end's style sheet uses the same figures.
constexpr int kButtonPadding = 6;   // each side, inside a one-pixel border
constexpr int kEntryPadding = 3;    // each side, inside a one-pixel border
constexpr int kMenuItemPadding = 6;

struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;
  int Right() const { return x + width; }
  int Bottom() const { return y + height; }
  bool Overlaps(const PixelRect& o) const {
    return x < o.Right() && o.x < Right() && y < o.Bottom() && o.y < Bottom();
  }
};

struct PlacedControl {
  const layer::Window* control = nullptr;
  PixelRect rect;       // in the client area, below the menu bar
  std::string label;    // the text as shown ('&' markers resolved)
  int textWidth = 0;    // of its longest line, 0 for controls that show no label
};

struct PlacedMenuItem {
  std::string label;
  PixelRect rect;       // in the menu bar
};

struct WindowLayout {
  int clientWidth = 0, clientHeight = 0;  // the controls' area
  int menuHeight = 0;                     // the menu bar above it, 0 without a menu
  std::vector<PlacedMenuItem> menu;
  std::vector<PlacedControl> controls;    // template order
  int listLineHeight = 0;
  // After a resize: list tab stops from this x (from the list's left) on move by `stretch`.
  int stretchFrom = 0;
  int stretch = 0;
};

// Width in pixels of one line of text in the dialog font.
using MeasureText = std::function<int(const std::string&)>;

int ToPixelsX(int units, const FontMetrics& m);
int ToPixelsY(int units, const FontMetrics& m);

// The font's averages as Windows takes them: the width of the 52 Latin
// letters, rounded, over 52; the height of a line.
FontMetrics AverageCharacter(const MeasureText& measure, int lineHeight, int scale);

WindowLayout LayOut(const layer::Window& dialog, const FontMetrics& metrics, const MeasureText& measure);

// A window that shows a list box can be resized (the account dialog and the
// message boxes cannot): the largest list takes the difference in height,
// and the widest column of fields above it the difference in width, with the
// list. Controls right of that column, and those below the list in the
// window's right half, keep their place relative to the right edge; those
// below the list, relative to the bottom.
bool Resizable(const WindowLayout& layout);
WindowLayout Resized(const WindowLayout& base, int width, int height);
// The smallest client size at which every control is still usable: the list
// keeps three lines, the column a third of its width, the groups below the
// list stay apart and the menu bar whole.
PixelRect SmallestClient(const WindowLayout& base);
// The client size to open at: the template's, cut to the room the desktop
// gives (its work area less the window's frame), never below the smallest.
PixelRect OpeningClient(const WindowLayout& base, int roomWidth, int roomHeight);

// A list's tab stops in pixels from its left edge: each stop that falls just
// right of a field above the list stands where that field's text starts, so
// the columns stand under the fields and follow them when the window resizes.
std::vector<int> ListColumns(const WindowLayout& layout, const PlacedControl& list, const FontMetrics& m);

// The name a screen reader gives a field, a list or a value shown in a
// sunken frame, as Windows' readers take it: the caption beside it on its row
// (beside its frame), else the one above it; a list is named by the headings
// over it. Empty for other controls.
std::string AccessibleLabel(const WindowLayout& layout, const PlacedControl& control);

// A list line as a screen reader says it: each column that holds text after
// its heading ("Check# 101, Date 12/01/2026, Description Rent, Debit 5.00"),
// with the headings of AccessibleLabel; columns past the headings alone.
std::string SpokenLine(const std::string& line, const std::string& headings);

// Lines a list (or a combo box's open list) shows in the layout's pixels.
int ListLines(const PixelRect& list, const WindowLayout& layout);

// A list line's segments: each tab-separated part with the pixel offset its
// tab stop gives it.
struct Segment {
  std::string text;
  int x = 0;
};
int FirstTextX(const FontMetrics& m);
// The first stop past x; `columns` (from ListColumns) stand for the list's own stops.
int NextTabStop(const layer::Window& list, int x, const FontMetrics& m, const std::vector<int>& columns = {});
std::vector<Segment> Segments(const layer::Window& list, const std::string& line, const FontMetrics& m,
                              const MeasureText& measure, const std::vector<int>& columns = {});

}  // namespace gtkfe
