#include "platform/terminal/canvas.h"

#include "platform/text/utf8.h"

namespace term {

Canvas::Canvas(int rows, int cols)
    : rows_(rows < 0 ? 0 : rows), cols_(cols < 0 ? 0 : cols), cells_(static_cast<size_t>(rows_ * cols_)) {}

void Canvas::Put(int row, int col, char32_t ch, Style style, bool underline) {
  if (!Inside(row, col)) return;
  Cell& cell = cells_[static_cast<size_t>(row * cols_ + col)];
  // Overwriting half of a wide character blanks its other half.
  if (cell.tail && col > 0) cells_[static_cast<size_t>(row * cols_ + col - 1)].ch = U' ';
  if (col + 1 < cols_) {
    Cell& next = cells_[static_cast<size_t>(row * cols_ + col + 1)];
    if (next.tail) {
      next.tail = false;
      next.ch = U' ';
    }
  }
  if (pen && cell.owner && cell.owner != pen && cell.ch != U' ' && cell.ch != ch)
    covered.push_back({cell.owner, pen, row, col});
  cell = Cell{ch, style, underline, false, pen};
}

int Canvas::Text(int row, int col, std::u32string_view text, Style style, int maxWidth) {
  int used = 0;
  for (char32_t ch : text) {
    int width = text::CharCells(ch);
    if (width == 0) continue;
    if (used + width > maxWidth) break;
    Put(row, col + used, ch, style);
    if (width == 2) {
      Put(row, col + used + 1, U' ', style);
      if (Inside(row, col + used + 1)) cells_[static_cast<size_t>(row * cols_ + col + used + 1)].tail = true;
    }
    used += width;
  }
  return used;
}

int Canvas::Text(int row, int col, std::string_view utf8, Style style, int maxWidth) {
  return Text(row, col, text::Decode(utf8), style, maxWidth);
}

void Canvas::Fill(int row, int col, int height, int width, Style style) {
  for (int r = row; r < row + height; ++r)
    for (int c = col; c < col + width; ++c) Put(r, c, U' ', style);
}

void Canvas::Box(int row, int col, int height, int width, Style style, bool doubleLine) {
  if (height < 1 || width < 1) return;
  const char32_t h = doubleLine ? U'═' : U'─', v = doubleLine ? U'║' : U'│';
  const char32_t tl = doubleLine ? U'╔' : U'┌', tr = doubleLine ? U'╗' : U'┐';
  const char32_t bl = doubleLine ? U'╚' : U'└', br = doubleLine ? U'╝' : U'┘';
  int bottom = row + height - 1, right = col + width - 1;
  for (int c = col + 1; c < right; ++c) {
    Put(row, c, h, style);
    Put(bottom, c, h, style);
  }
  for (int r = row + 1; r < bottom; ++r) {
    Put(r, col, v, style);
    Put(r, right, v, style);
  }
  Put(row, col, tl, style);
  Put(row, right, tr, style);
  Put(bottom, col, bl, style);
  Put(bottom, right, br, style);
}

void Canvas::Restyle(int row, int col, int height, int width, Style style) {
  for (int r = row; r < row + height; ++r)
    for (int c = col; c < col + width; ++c)
      if (Inside(r, c)) {
        Cell& cell = cells_[static_cast<size_t>(r * cols_ + c)];
        cell.style = style;
        cell.underline = false;
      }
}

std::string Canvas::Row(int row) const {
  std::u32string text;
  if (row < 0 || row >= rows_) return {};
  for (int c = 0; c < cols_; ++c) {
    const Cell& cell = At(row, c);
    if (!cell.tail) text.push_back(cell.ch);
  }
  return text::Encode(text);
}

}  // namespace term
