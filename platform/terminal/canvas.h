// A character grid the windows are drawn into before it reaches the
// terminal: one cell per column, each with a style role that the terminal
// turns into colours (or plain attributes on a monochrome screen).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text/utf8.h"

namespace term {

enum class Style : unsigned char {
  Screen,         // outside every window
  Body,           // a dialog's client area, labels
  Frame,          // window frames, sunken edges
  TitleActive,
  TitleInactive,
  MenuBar,
  MenuHighlight,  // open popup title, highlighted item
  Field,          // edit fields
  FieldFocused,
  ListArea,       // list and drop-down interiors
  Selected,       // the selected line of a list without the focus
  SelectedFocused,
  Caret,          // the focused list's caret line when it is not selected: where the keys move from
  TextSelected,   // selected text in the focused field
  Button,
  ButtonDefault,
  ButtonFocused,
  Disabled,
  Scroll,         // scroll indicators
  Shadow,
  IconAlert,      // a message box's error or warning icon
  IconNote,       // its information or question icon
  Message,        // the terminal-too-small notice
};

struct Cell {
  char32_t ch = U' ';
  Style style = Style::Screen;
  bool underline = false;  // a mnemonic letter
  bool tail = false;       // right half of a double-width character
  const void* owner = nullptr;  // the control that drew it, while one is drawing
};

class Canvas {
 public:
  Canvas(int rows, int cols);

  int Rows() const { return rows_; }
  int Cols() const { return cols_; }
  const Cell& At(int row, int col) const { return cells_[static_cast<size_t>(row * cols_ + col)]; }

  // Writing outside the grid is clipped silently.
  void Put(int row, int col, char32_t ch, Style style, bool underline = false);
  // Writes text from col on, at most maxWidth cells; returns the cells used.
  int Text(int row, int col, std::u32string_view text, Style style, int maxWidth);
  int Text(int row, int col, std::string_view utf8, Style style, int maxWidth);
  void Fill(int row, int col, int height, int width, Style style);
  // A box on the outer cells of the rectangle.
  void Box(int row, int col, int height, int width, Style style, bool doubleLine = false);
  // Keeps the characters, changes their style (a window's shadow).
  void Restyle(int row, int col, int height, int width, Style style);

  // One row as UTF-8 text, trailing blanks kept.
  std::string Row(int row) const;

  // Where the terminal cursor goes; none hides it.
  std::optional<std::pair<int, int>> cursor;

  // The control drawing now (none for frames, menus and open lists). A
  // control drawing over a mark another one made is noted in `covered`.
  const void* pen = nullptr;
  struct Covered {
    const void* under;
    const void* over;
    int row, col;
  };
  std::vector<Covered> covered;

 private:
  bool Inside(int row, int col) const { return row >= 0 && row < rows_ && col >= 0 && col < cols_; }
  int rows_;
  int cols_;
  std::vector<Cell> cells_;
};

}  // namespace term
