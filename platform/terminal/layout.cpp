#include "platform/terminal/layout.h"

#include <algorithm>
#include <climits>

#include "platform/terminal/canvas.h"

namespace term {

namespace {

int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

// The characters of a text with the byte offset and width of each.
struct Glyph {
  size_t offset;
  char32_t ch;
  int width;
};

std::vector<Glyph> Glyphs(std::string_view text) {
  std::vector<Glyph> glyphs;
  for (size_t pos = 0; pos < text.size();) {
    size_t at = pos;
    char32_t ch = text::NextChar(text, pos);
    glyphs.push_back({at, ch, text::CharCells(ch)});
  }
  return glyphs;
}

int ColumnsBefore(std::string_view text, size_t offset) {
  int columns = 0;
  for (const Glyph& g : Glyphs(text)) {
    if (g.offset >= offset) break;
    columns += g.width;
  }
  return columns;
}

bool IsSingleLineEdit(const layer::Window& w) {
  return w.kind == layer::Kind::ComboBox || (w.kind == layer::Kind::Edit && !w.Multiline());
}

size_t LineOf(const std::vector<TextLine>& lines, size_t offset) {
  size_t line = 0;
  while (line + 1 < lines.size() && lines[line + 1].start <= offset) ++line;
  return line;
}

}  // namespace

Label MakeLabel(const std::string& text) {
  Label label;
  std::u32string chars = text::Decode(text);
  for (size_t i = 0; i < chars.size(); ++i) {
    if (chars[i] == U'&' && i + 1 < chars.size()) {
      ++i;
      if (chars[i] != U'&' && label.mnemonic < 0) label.mnemonic = static_cast<int>(label.text.size());
    }
    label.text.push_back(chars[i] == U'\t' ? U' ' : chars[i]);
  }
  return label;
}

std::u32string IconGlyph(const layer::Window& control) {
  switch (layer::StockIconOf(control)) {
    case layer::StockIcon::Error: return U"(X)";
    case layer::StockIcon::Warning: return U"/!\\";
    case layer::StockIcon::Information: return U"(i)";
    case layer::StockIcon::Question: return U"(?)";
    case layer::StockIcon::None: break;
  }
  return {};
}

Placement Place(layer::Window& top, int screenRows, int screenCols) {
  Placement p;
  p.window = &top;
  p.screenRows = screenRows;
  p.screenCols = screenCols;
  bool menu = top.dialog.menu != nullptr;
  int chrome = 2 + (menu ? 1 : 0);
  p.grid = GridOf(top, screenRows - chrome, screenCols - 2);
  int width = p.grid.across.Extent(), height = p.grid.down.Extent();
  p.frame.height = height + chrome;
  p.frame.width = width + 2;
  p.frame.row = std::max(0, (screenRows - p.frame.height) / 2);
  p.frame.col = std::max(0, (screenCols - p.frame.width) / 2);
  p.menuRow = menu ? p.frame.row + 1 : -1;
  p.client = Box{p.frame.row + 1 + (menu ? 1 : 0), p.frame.col + 1, height, width};
  return p;
}

bool Fits(const std::vector<layer::Window*>& windows, int screenRows, int screenCols, int& rows, int& cols) {
  bool fits = true;
  rows = cols = 0;
  for (layer::Window* w : windows) {
    Placement p = Place(*w, screenRows, screenCols);
    fits = fits && p.grid.fits && p.frame.height <= screenRows && p.frame.width <= screenCols;
    rows = std::max(rows, p.grid.neededRows + p.frame.height - p.client.height);
    cols = std::max(cols, p.grid.neededCols + 2);
  }
  return fits;
}

namespace {

constexpr int kFieldUnits = 13;  // a one-line field's usual template height

bool Overlap(const Box& a, const Box& b) {
  return a.row < b.row + b.height && b.row < a.row + a.height && a.col < b.col + b.width && b.col < a.col + a.width;
}

// A control's cells as the template puts them.
ControlBox TemplateBox(const Placement& where, const layer::Window& control) {
  ControlBox cb;
  const Grid& g = where.grid;
  const layer::Rect& r = control.rect;
  int col = g.across.Cell(r.x), row = g.down.Cell(r.y);
  cb.box = Box{where.client.row + row, where.client.col + col, std::max(1, g.down.Cell(r.y + r.cy) - row),
               std::max(1, g.across.Cell(r.x + r.cx) - col)};
  if (control.kind == layer::Kind::ComboBox) {
    // The template height includes the drop-down list; closed, it is one
    // row, level with the text of a field of the usual height beside it.
    cb.box.row = where.client.row + g.down.Cell(r.y + kFieldUnits / 2);
    cb.box.height = 1;
    cb.textRow = cb.box.row;
    return cb;
  }
  int middle = where.client.row + g.down.Cell(r.y + r.cy / 2);
  if (g.down.Dense()) {
    cb.textRow = std::clamp(middle, cb.box.row, cb.box.row + cb.box.height - 1);
    return cb;
  }
  // Rounding both edges down can leave a short control's middle just below
  // it: the text stays on the middle row and the box grows to hold it.
  cb.textRow = std::max(middle, cb.box.row);
  if (cb.textRow >= cb.box.row + cb.box.height) cb.box.height = cb.textRow - cb.box.row + 1;
  return cb;
}

// A bordered field too low for a frame of its own.
bool ShortField(const layer::Window& c, const ControlBox& cb) {
  return c.kind == layer::Kind::Edit && (c.style & WS_BORDER) != 0 && cb.box.height < 3;
}

Box FrameAround(const ControlBox& cb) { return Box{cb.textRow - 1, cb.box.col, 3, cb.box.width}; }

}  // namespace

ControlBox BoxOf(const Placement& where, const layer::Window& control) {
  ControlBox cb = TemplateBox(where, control);
  if (!ShortField(control, cb)) return cb;
  Box frame = FrameAround(cb);
  bool room = frame.row >= where.client.row && frame.row + frame.height <= where.client.row + where.client.height;
  for (const auto& other : where.window->children) {
    if (!room) break;
    if (other.get() == &control || !other->Visible()) continue;
    ControlBox ob = TemplateBox(where, *other);
    room = !Overlap(frame, ShortField(*other, ob) ? FrameAround(ob) : ob.box);
  }
  cb.box = room ? frame : Box{cb.textRow, cb.box.col, 1, cb.box.width};
  return cb;
}

bool Framed(const layer::Window& control, const ControlBox& cb) {
  switch (control.kind) {
    case layer::Kind::Edit:
      return (control.style & WS_BORDER) != 0;
    case layer::Kind::ComboBox:
      return true;
    case layer::Kind::ListBox:
      return (control.style & WS_BORDER) != 0 && cb.box.height >= 3;
    case layer::Kind::Static:
      return (control.exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)) != 0 || (control.style & SS_SUNKEN) != 0;
    case layer::Kind::GroupBox:
      return true;
    default:
      return false;
  }
}

Box Interior(const ControlBox& cb, bool framed) {
  const Box& b = cb.box;
  if (!framed) return b;
  int width = std::max(0, b.width - 2);
  if (b.height >= 3) return Box{b.row + 1, b.col + 1, b.height - 2, width};
  if (b.height == 2) return Box{cb.textRow, b.col + 1, 1, width};
  return Box{b.row, b.col + 1, 1, width};
}

// Between its side bars: the edit part, then the marker.
Box ComboEditArea(const ControlBox& cb) { return Box{cb.box.row, cb.box.col + 1, 1, std::max(1, cb.box.width - 3)}; }

int ComboArrowCol(const ControlBox& cb) { return cb.box.col + std::max(1, cb.box.width - 2); }

std::vector<TextLine> SplitLines(const std::string& text) {
  std::vector<TextLine> lines;
  size_t start = 0;
  for (;;) {
    size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back({start, line});
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

EditView ViewOfEdit(const Placement& where, const layer::Window& edit) {
  EditView view;
  ControlBox cb = BoxOf(where, edit);
  const std::string& text = edit.text;
  size_t caret = std::min(edit.edit.caret, text.size());
  if (edit.kind == layer::Kind::ComboBox) {
    view.area = ComboEditArea(cb);
  } else {
    view.area = Interior(cb, Framed(edit, cb));
  }
  if (IsSingleLineEdit(edit)) {
    std::vector<Glyph> glyphs = Glyphs(text);
    size_t first = 0;
    for (const Glyph& g : glyphs)
      if (g.offset <= std::min(edit.edit.scroll, caret)) first = g.offset;
    // The caret's own cell must fit too.
    while (first < caret && ColumnsBefore(text.substr(first), caret - first) > view.area.width - 1) {
      size_t next = first;
      text::NextChar(text, next);
      first = next;
    }
    view.firstByte = first;
    return view;
  }
  std::vector<TextLine> lines = SplitLines(text);
  size_t caretLine = LineOf(lines, caret);
  size_t rows = static_cast<size_t>(std::max(1, view.area.height));
  size_t firstLine = std::min(edit.edit.scroll, lines.size() - 1);
  if (caretLine < firstLine) firstLine = caretLine;
  if (caretLine >= firstLine + rows) firstLine = caretLine - rows + 1;
  view.firstLine = firstLine;
  const TextLine& line = lines[caretLine];
  int caretColumn = ColumnsBefore(line.text, std::min(caret - line.start, line.text.size()));
  view.firstColumn = std::max(0, caretColumn - (view.area.width - 1));
  return view;
}

size_t EditPositionAt(const layer::Window& edit, const EditView& view, int row, int col) {
  const std::string& text = edit.text;
  if (IsSingleLineEdit(edit)) {
    return view.firstByte + text::OffsetAtCell(std::string_view(text).substr(view.firstByte), col - view.area.col);
  }
  std::vector<TextLine> lines = SplitLines(text);
  size_t line = view.firstLine + static_cast<size_t>(std::max(0, row - view.area.row));
  if (line >= lines.size()) return text.size();
  return lines[line].start + text::OffsetAtCell(lines[line].text, view.firstColumn + col - view.area.col);
}

void CaretCell(const layer::Window& edit, const EditView& view, int& row, int& col) {
  const std::string& text = edit.text;
  size_t caret = std::min(edit.edit.caret, text.size());
  if (IsSingleLineEdit(edit)) {
    row = view.area.row;
    col = view.area.col + ColumnsBefore(std::string_view(text).substr(view.firstByte), caret - view.firstByte);
    return;
  }
  std::vector<TextLine> lines = SplitLines(text);
  size_t line = LineOf(lines, caret);
  row = view.area.row + static_cast<int>(line - view.firstLine);
  size_t inLine = std::min(caret - lines[line].start, lines[line].text.size());
  col = view.area.col + ColumnsBefore(lines[line].text, inLine) - view.firstColumn;
}

int FirstShown(int top, int selection, int count, int visible) {
  visible = std::max(1, visible);
  top = Clamp(top, 0, std::max(0, count - visible));
  if (selection >= 0 && selection < count) {
    if (selection < top) top = selection;
    if (selection >= top + visible) top = selection - visible + 1;
  }
  return top;
}

ListView ViewOfList(const ControlBox& cb, const layer::Window& list, bool framed) {
  ListView view;
  view.lines = Interior(cb, framed);
  int count = static_cast<int>(list.list.items.size());
  view.top = FirstShown(list.list.topIndex, list.list.selection, count, view.lines.height);
  view.scrollBar = (list.style & WS_VSCROLL) != 0 && count > view.lines.height;
  if (view.scrollBar) {
    if (framed) {
      view.scrollCol = cb.box.col + cb.box.width - 1;
    } else {
      view.lines.width = std::max(1, view.lines.width - 1);
      view.scrollCol = view.lines.col + view.lines.width;
    }
  }
  return view;
}

DropDown DropDownOf(const Placement& where, const ControlBox& cb, const layer::Window& combo) {
  DropDown dd;
  int count = static_cast<int>(combo.list.items.size());
  const Grid& g = where.grid;
  int room = std::max(1, g.down.Cell(combo.rect.y + combo.rect.cy) - g.down.Cell(combo.rect.y) - 3);
  room = std::min(room, std::max(1, where.frame.row + where.frame.height - cb.box.row - 3));
  int shown = Clamp(count, 1, room);
  dd.box = Box{cb.box.row + 1, cb.box.col, shown + 2, std::max(3, cb.box.width - 1)};
  dd.lines = Box{dd.box.row + 1, dd.box.col + 1, shown, dd.box.width - 2};
  dd.top = FirstShown(combo.list.topIndex, combo.combo.highlight, count, shown);
  return dd;
}

std::string ExpandTabs(const Placement& where, const layer::Window& list, std::string_view line) {
  const std::vector<int>& stops = list.list.tabStops;
  const Axis& across = where.grid.across;
  int x = list.rect.x;
  auto cellOf = [&](int stop) { return across.Cell(x + stop) - across.Cell(x); };
  // With stops of its own the list has columns: a text too long for its
  // column is cut short of the next one, so what follows stays under its heading.
  bool columns = stops.size() > 1;
  auto nextStop = [&](int column) { return layer::NextTabStop(list, column, cellOf); };
  std::string out;
  int column = 0;
  for (size_t start = 0; start <= line.size();) {
    size_t end = std::min(line.find('\t', start), line.size());
    if (start > 0) {
      int next = nextStop(column);
      if (next < 0) next = column + 1;  // past the last stop
      out.append(static_cast<size_t>(next - column), ' ');
      column = next;
    }
    std::string_view piece = std::string_view(line).substr(start, end - start);
    int stop = columns && end < line.size() ? nextStop(column) : -1;
    int room = stop < 0 ? INT_MAX : stop - 1 - column;
    std::vector<Glyph> glyphs = Glyphs(piece);
    int width = 0;
    for (const Glyph& g : glyphs) width += g.width;
    if (width <= room) {
      out.append(piece);
      column += width;
    } else {
      int used = 0;
      size_t kept = 0;  // bytes
      for (const Glyph& g : glyphs) {
        if (used + g.width > room - 1) break;
        used += g.width;
        kept = g.offset;
        kept += text::CharLength(piece, g.offset);
      }
      out.append(piece.substr(0, kept));
      if (room > 0) {
        out += "\u2026";
        ++used;
      }
      column += used;
    }
    start = end + 1;
  }
  return out;
}

namespace {

// The control's window placed on the screen, if it fits there.
bool PlaceOf(const layer::Window& control, int screenRows, int screenCols, Placement& where) {
  layer::Window* top = const_cast<layer::Window&>(control).TopLevel();
  if (!top || top == &control) return false;
  where = Place(*top, screenRows, screenCols);
  return where.grid.fits;
}

}  // namespace

int ShownLines(const layer::Window& control, int screenRows, int screenCols) {
  Placement p;
  if (!PlaceOf(control, screenRows, screenCols, p)) return 0;
  ControlBox cb = BoxOf(p, control);
  if (control.kind == layer::Kind::ComboBox) return DropDownOf(p, cb, control).lines.height;
  if (control.kind == layer::Kind::ListBox) return ViewOfList(cb, control, Framed(control, cb)).lines.height;
  return 0;
}

int ShownColumns(const layer::Window& control, int screenRows, int screenCols) {
  Placement p;
  if (!PlaceOf(control, screenRows, screenCols, p) || !IsSingleLineEdit(control)) return 0;
  return ViewOfEdit(p, control).area.width;
}

std::vector<Box> MenuTitles(const Placement& where) {
  std::vector<Box> titles;
  if (where.menuRow < 0 || !where.window->dialog.menu) return titles;
  int col = where.client.col + 1;
  for (const layer::MenuItem& item : where.window->dialog.menu->items) {
    int width = text::Cells(MakeLabel(item.text).text) + 2;
    titles.push_back(Box{where.menuRow, col, 1, width});
    col += width;
  }
  return titles;
}

Box PopupBox(const Placement& where, int popup) {
  std::vector<Box> titles = MenuTitles(where);
  const layer::Menu* menu = where.window->dialog.menu.get();
  if (!menu || popup < 0 || popup >= static_cast<int>(titles.size())) return Box{};
  const layer::MenuItem& title = menu->items[static_cast<size_t>(popup)];
  if (!title.popup) return Box{};
  int widest = 0;
  for (const layer::MenuItem& item : title.popup->items) widest = std::max(widest, text::Cells(MakeLabel(item.text).text));
  // Border, check mark column, a blank, the text, two blanks, border.
  int width = widest + 6;
  int height = static_cast<int>(title.popup->items.size()) + 2;
  int col = titles[static_cast<size_t>(popup)].col;
  col = std::max(where.frame.col, std::min(col, where.frame.col + where.frame.width - width));
  return Box{where.menuRow + 1, col, height, width};
}

Box CloseBox(const Placement& where) {
  bool hasBox = (where.window->style & WS_SYSMENU) != 0 || where.window->dialog.messageBox;
  if (!hasBox || where.frame.width < 8) return Box{};
  return Box{where.frame.row, where.frame.col + where.frame.width - 5, 1, 3};
}

namespace {

Hit ControlHit(const Placement& p, layer::Window* w, layer::Window& c, int row, int col) {
  Hit hit{Hit::Control, w, &c};
  ControlBox cb = BoxOf(p, c);
  switch (c.kind) {
    case layer::Kind::ComboBox:
      if (col == ComboArrowCol(cb)) {
        hit.what = Hit::ComboArrow;
      } else if (ComboEditArea(cb).Contains(row, col)) {
        hit.what = Hit::EditText;
        hit.position = EditPositionAt(c, ViewOfEdit(p, c), row, col);
      }
      break;
    case layer::Kind::Edit: {
      EditView view = ViewOfEdit(p, c);
      if (view.area.Contains(row, col)) {
        hit.what = Hit::EditText;
        hit.position = EditPositionAt(c, view, row, col);
      }
      break;
    }
    case layer::Kind::ListBox: {
      ListView view = ViewOfList(cb, c, Framed(c, cb));
      int count = static_cast<int>(c.list.items.size());
      if (view.scrollBar && col == view.scrollCol && row >= view.lines.row && row < view.lines.row + view.lines.height) {
        hit.what = Hit::ListScroll;
        int page = std::max(1, view.lines.height - 1);
        if (row == view.lines.row) hit.index = -1;
        else if (row == view.lines.row + view.lines.height - 1) hit.index = 1;
        else hit.index = row < view.lines.row + view.lines.height / 2 ? -page : page;
      } else if (view.lines.Contains(row, col)) {
        int index = view.top + row - view.lines.row;
        if (index < count) {
          hit.what = Hit::ListLine;
          hit.index = index;
        }
      }
      break;
    }
    default:
      break;
  }
  return hit;
}

}  // namespace

Hit HitTest(const std::vector<layer::Window*>& windows, int screenRows, int screenCols, int row, int col) {
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    layer::Window* w = *it;
    Placement p = Place(*w, screenRows, screenCols);
    const layer::MenuBarState& bar = w->dialog.menuBar;
    if (bar.mode == layer::MenuBarState::Popup && w->dialog.menu) {
      Box popup = PopupBox(p, bar.popup);
      if (popup.Contains(row, col)) {
        int item = row - popup.row - 1;
        const auto& items = w->dialog.menu->items[static_cast<size_t>(bar.popup)].popup->items;
        if (item >= 0 && item < static_cast<int>(items.size()) && !items[static_cast<size_t>(item)].separator)
          return Hit{Hit::MenuItem, w, nullptr, item};
        return Hit{Hit::Nothing, w};
      }
      std::vector<Box> titles = MenuTitles(p);
      for (size_t i = 0; i < titles.size(); ++i)
        if (titles[i].Contains(row, col)) return Hit{Hit::MenuTitle, w, nullptr, static_cast<int>(i)};
      return Hit{Hit::OutsidePopup, w, nullptr, bar.popup};
    }
    if (!p.frame.Contains(row, col)) continue;
    // An open drop-down list lies over the controls below its combo box.
    for (auto& child : w->children) {
      if (child->kind != layer::Kind::ComboBox || !child->combo.dropped || !child->Visible()) continue;
      ControlBox cb = BoxOf(p, *child);
      DropDown dd = DropDownOf(p, cb, *child);
      if (dd.lines.Contains(row, col)) {
        int index = dd.top + row - dd.lines.row;
        if (index < static_cast<int>(child->list.items.size())) return Hit{Hit::ComboLine, w, child.get(), index};
        return Hit{Hit::Nothing, w, child.get()};
      }
      if (dd.box.Contains(row, col)) return Hit{Hit::Nothing, w, child.get()};
      if (col == ComboArrowCol(cb) && row == cb.box.row) return Hit{Hit::ComboArrow, w, child.get()};
      // A click anywhere else only closes the list.
      return Hit{Hit::ComboArrow, w, child.get()};
    }
    if (row == p.frame.row) {
      if (CloseBox(p).Contains(row, col)) return Hit{Hit::CloseBox, w};
      return Hit{Hit::Window, w};
    }
    if (row == p.menuRow) {
      std::vector<Box> titles = MenuTitles(p);
      for (size_t i = 0; i < titles.size(); ++i)
        if (titles[i].Contains(row, col)) return Hit{Hit::MenuTitle, w, nullptr, static_cast<int>(i)};
      return Hit{Hit::Window, w};
    }
    // Labels and frames take a click only where no other control is.
    for (int pass = 0; pass < 2; ++pass) {
      for (auto& child : w->children) {
        layer::Window& c = *child;
        bool label = c.kind == layer::Kind::Static || c.kind == layer::Kind::GroupBox;
        if (!c.Visible() || !c.Enabled() || label != (pass == 1)) continue;
        if (BoxOf(p, c).box.Contains(row, col)) return ControlHit(p, w, c, row, col);
      }
    }
    return Hit{Hit::Window, w};
  }
  return Hit{};
}

}  // namespace term
