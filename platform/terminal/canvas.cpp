#include "platform/terminal/canvas.h"

#include <cwchar>

namespace term {

int CharWidth(char32_t ch) {
  if (ch < 0x20 || ch == 0x7f) return 0;
  if (ch < 0x7f) return 1;
  int width = wcwidth(static_cast<wchar_t>(ch));
  // Outside a UTF-8 locale wcwidth knows nothing beyond ASCII; one cell is the safe guess.
  return width < 0 ? 1 : width;
}

char32_t NextChar(std::string_view text, size_t& pos) {
  unsigned char b = static_cast<unsigned char>(text[pos]);
  int extra = b < 0x80 ? 0 : (b & 0xe0) == 0xc0 ? 1 : (b & 0xf0) == 0xe0 ? 2 : (b & 0xf8) == 0xf0 ? 3 : -1;
  char32_t ch = extra == 0 ? b : extra == 1 ? (b & 0x1f) : extra == 2 ? (b & 0x0f) : (b & 0x07);
  bool ok = extra >= 0 && pos + static_cast<size_t>(extra) < text.size();
  for (int k = 1; ok && k <= extra; ++k) {
    unsigned char c = static_cast<unsigned char>(text[pos + static_cast<size_t>(k)]);
    if ((c & 0xc0) != 0x80) ok = false;
    ch = (ch << 6) | (c & 0x3f);
  }
  if (!ok) {
    ++pos;
    return U'\uFFFD';
  }
  pos += static_cast<size_t>(extra) + 1;
  return ch;
}

std::u32string Decode(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) out.push_back(NextChar(text, pos));
  return out;
}

std::string Encode(std::u32string_view text) {
  std::string out;
  for (char32_t ch : text) {
    if (ch < 0x80) {
      out.push_back(static_cast<char>(ch));
    } else if (ch < 0x800) {
      out.push_back(static_cast<char>(0xc0 | (ch >> 6)));
      out.push_back(static_cast<char>(0x80 | (ch & 0x3f)));
    } else if (ch < 0x10000) {
      out.push_back(static_cast<char>(0xe0 | (ch >> 12)));
      out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3f)));
      out.push_back(static_cast<char>(0x80 | (ch & 0x3f)));
    } else {
      out.push_back(static_cast<char>(0xf0 | (ch >> 18)));
      out.push_back(static_cast<char>(0x80 | ((ch >> 12) & 0x3f)));
      out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3f)));
      out.push_back(static_cast<char>(0x80 | (ch & 0x3f)));
    }
  }
  return out;
}

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
    int width = CharWidth(ch);
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
  return Text(row, col, Decode(utf8), style, maxWidth);
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
  return Encode(text);
}

}  // namespace term
