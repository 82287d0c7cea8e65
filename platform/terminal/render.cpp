#include "platform/terminal/render.h"

#include <algorithm>

#include "platform/dialog/desktop.h"
#include "platform/terminal/layout.h"

namespace term {

namespace {

using layer::Kind;
using layer::Window;

// Draws a label's text from col on, its mnemonic letter underlined.
void PutLabel(Canvas& canvas, int row, int col, const Label& label, Style style, int maxWidth, bool mnemonic) {
  int used = 0;
  for (size_t i = 0; i < label.text.size(); ++i) {
    int width = text::CharCells(label.text[i]);
    if (used + width > maxWidth) break;
    canvas.Text(row, col + used, std::u32string_view(&label.text[i], 1), style, width);
    if (mnemonic && static_cast<int>(i) == label.mnemonic) canvas.Put(row, col + used, label.text[i], style, true);
    used += width;
  }
}

int AlignedCol(const Box& area, int textWidth, DWORD align) {
  int room = area.width - textWidth;
  if (room <= 0) return area.col;
  if (align == SS_CENTER) return area.col + room / 2;
  if (align == SS_RIGHT) return area.col + room;
  return area.col;
}

// A sunken edge or a border: a full box when there is room for one, else
// the edge above (or below) the text row and bars at its sides.
void DrawEdge(Canvas& canvas, const ControlBox& cb, Style style, bool doubleLine) {
  const Box& b = cb.box;
  if (b.height >= 3) {
    canvas.Box(b.row, b.col, b.height, b.width, style, doubleLine);
    return;
  }
  const char32_t h = doubleLine ? U'═' : U'─', v = doubleLine ? U'║' : U'│';
  int right = b.col + b.width - 1;
  if (b.height == 2) {
    bool above = cb.textRow == b.row + 1;
    int edge = above ? b.row : b.row + 1;
    for (int c = b.col + 1; c < right; ++c) canvas.Put(edge, c, h, style);
    canvas.Put(edge, b.col, above ? (doubleLine ? U'╔' : U'┌') : (doubleLine ? U'╚' : U'└'), style);
    canvas.Put(edge, right, above ? (doubleLine ? U'╗' : U'┐') : (doubleLine ? U'╝' : U'┘'), style);
  }
  canvas.Put(cb.textRow, b.col, v, style);
  canvas.Put(cb.textRow, right, v, style);
}

struct Context {
  Canvas& canvas;
  const Placement& place;
  bool active;          // the window takes keys: its focus is shown
  Window* focus;
};

// Whether a cell is bare client area that no other control is drawn on.
bool Bare(const Context& cx, const Window& self, int row, int col) {
  if (!cx.place.client.Contains(row, col)) return false;
  const Cell& cell = cx.canvas.At(row, col);
  if (cell.ch != U' ' || cell.style != Style::Body) return false;
  for (const auto& other : cx.place.window->children)
    if (other.get() != &self && other->Visible() && BoxOf(cx.place, *other).box.Contains(row, col)) return false;
  return true;
}

// How many of up to `wanted` cells from col on (or before col) are bare.
// A label or a button whose text is a little wider than its rectangle uses
// them rather than losing letters.
int BlankCellsAfter(const Context& cx, const Window& self, int row, int col, int wanted) {
  int found = 0;
  while (found < wanted && Bare(cx, self, row, col + found)) ++found;
  return found;
}

int BlankCellsBefore(const Context& cx, const Window& self, int row, int col, int wanted) {
  int found = 0;
  while (found < wanted && Bare(cx, self, row, col - 1 - found)) ++found;
  return found;
}

// A label too wide for its row ends on that row and begins on the bare rows
// above it, where there are such rows.
bool WrapUpwards(Context& cx, const Window& self, int textRow, const Box& area, const std::u32string& text,
                 Style style) {
  std::vector<std::u32string> lines = text::Wrap(text, area.width);
  int first = textRow - static_cast<int>(lines.size()) + 1;
  for (int row = first; row < textRow; ++row)
    if (BlankCellsAfter(cx, self, row, area.col, area.width) < area.width) return false;
  for (size_t i = 0; i < lines.size(); ++i) cx.canvas.Text(first + static_cast<int>(i), area.col, lines[i], style, area.width);
  return true;
}

void DrawStatic(Context& cx, const Window& c) {
  ControlBox cb = BoxOf(cx.place, c);
  std::u32string glyph = IconGlyph(c);
  if (!glyph.empty()) {
    layer::StockIcon icon = layer::StockIconOf(c);
    bool alert = icon == layer::StockIcon::Error || icon == layer::StockIcon::Warning;
    cx.canvas.Text(cb.box.row, cb.box.col + std::max(0, (cb.box.width - 3) / 2), glyph,
                   alert ? Style::IconAlert : Style::IconNote, cb.box.width);
    return;
  }
  // Squeezed across, a one-row sunken edge leaves its side bars' cells to the text.
  bool framed = Framed(c, cb) && !(cb.box.height == 1 && cx.place.grid.across.Dense());
  if (framed) DrawEdge(cx.canvas, cb, Style::Frame, false);
  Box area = Interior(cb, framed);
  Style style = c.Enabled() ? Style::Body : Style::Disabled;
  Label label = MakeLabel(c.text);
  if (c.style & SS_NOPREFIX) label = Label{text::Decode(c.text), -1};
  DWORD align = c.style & 3;
  if (align == 3) align = SS_LEFT;
  // One row of room, or text that fits, stays on the text row; more is wrapped.
  bool wrapped = label.text.find(U'\n') != std::u32string::npos ||
                 (area.height > 1 && text::Cells(label.text) > area.width);
  if (!wrapped) {
    int missing = text::Cells(label.text) - area.width;
    if (!framed && missing > 0 && align != SS_LEFT) {
      // A value wider than its place takes bare cells beside it, on the side it is aligned away from.
      int before = BlankCellsBefore(cx, c, cb.textRow, area.col, align == SS_RIGHT ? missing : (missing + 1) / 2);
      area.col -= before;
      area.width += before;
      missing -= before;
    }
    if (!framed && missing > 0 && align != SS_RIGHT)
      area.width += BlankCellsAfter(cx, c, cb.textRow, area.col + area.width, missing);
    int width = std::min(text::Cells(label.text), area.width);
    if (text::Cells(label.text) > area.width && !framed && IsLabel(c) && WrapUpwards(cx, c, cb.textRow, area, label.text, style))
      return;
    if (text::Cells(label.text) > area.width && area.width > 0) {
      // A value cut short says so.
      std::u32string shown;
      for (char32_t ch : label.text) {
        if (text::Cells(shown) + text::CharCells(ch) > area.width - 1) break;
        shown.push_back(ch);
      }
      label.text = shown + U"…";
    }
    PutLabel(cx.canvas, cb.textRow, AlignedCol(area, width, align), label, style, area.width, c.Enabled());
    return;
  }
  std::vector<std::u32string> lines = text::Wrap(label.text, area.width);
  for (size_t i = 0; i < lines.size() && static_cast<int>(i) < area.height; ++i) {
    int width = text::Cells(lines[i]);
    cx.canvas.Text(area.row + static_cast<int>(i), AlignedCol(area, width, align), lines[i], style, area.width);
  }
}

void DrawButton(Context& cx, const Window& c) {
  ControlBox cb = BoxOf(cx.place, c);
  const Box& b = cb.box;
  Style style = !c.Enabled()            ? Style::Disabled
                : cx.focus == &c        ? Style::ButtonFocused
                : c.DefaultButton()     ? Style::ButtonDefault
                                        : Style::Button;
  Label label = MakeLabel(c.text);
  int width = text::Cells(label.text);
  int room = b.width;
  if (width + 2 > room) room += BlankCellsAfter(cx, c, cb.textRow, b.col + b.width, width + 2 - room);
  cx.canvas.Fill(cb.textRow, b.col, 1, room, style);
  int pad = width + 4 <= room ? 2 : width + 2 <= room ? 1 : 0;
  int shown = std::min(width, room - 2 * pad);
  int start = b.col + (room - shown - 2 * pad) / 2;
  if (pad > 0) {
    // The focused button's brackets turn into arrows pointing at it; a
    // disabled one has none, so it shows without colours or dim text too.
    bool focused = style == Style::ButtonFocused, disabled = style == Style::Disabled;
    cx.canvas.Put(cb.textRow, start, focused ? U'▶' : disabled ? U' ' : U'[', style);
    cx.canvas.Put(cb.textRow, start + shown + 2 * pad - 1, focused ? U'◀' : disabled ? U' ' : U']', style);
  }
  PutLabel(cx.canvas, cb.textRow, start + pad, label, style, shown, c.Enabled());
}

// The text of a field, the selection marked while the field has the focus.
void DrawFieldText(Context& cx, const Window& c, int row, int col, int width, std::string_view text, size_t base,
                   Style style, bool focused) {
  size_t selStart = c.edit.SelStart(), selEnd = c.edit.SelEnd();
  int x = 0;
  for (size_t pos = 0; pos < text.size();) {
    size_t at = base + pos;
    char32_t ch = text::NextChar(text, pos);
    int w = text::CharCells(ch);
    if (w == 0) continue;
    if (x + w > width) break;
    bool selected = focused && at >= selStart && at < selEnd;
    cx.canvas.Text(row, col + x, std::u32string_view(&ch, 1), selected ? Style::TextSelected : style, w);
    x += w;
  }
}

void DrawEdit(Context& cx, const Window& c) {
  ControlBox cb = BoxOf(cx.place, c);
  bool focused = cx.focus == &c;
  bool framed = Framed(c, cb);
  if (framed) DrawEdge(cx.canvas, cb, Style::Frame, focused);
  EditView view = ViewOfEdit(cx.place, c);
  Style style = !c.Enabled() ? Style::Disabled : focused ? Style::FieldFocused : Style::Field;
  cx.canvas.Fill(view.area.row, view.area.col, view.area.height, view.area.width, style);
  if (!c.Multiline()) {
    std::string_view rest = std::string_view(c.text).substr(std::min(view.firstByte, c.text.size()));
    DrawFieldText(cx, c, view.area.row, view.area.col, view.area.width, rest, view.firstByte, style, focused);
    return;
  }
  std::vector<TextLine> lines = SplitLines(c.text);
  for (int r = 0; r < view.area.height; ++r) {
    size_t index = view.firstLine + static_cast<size_t>(r);
    if (index >= lines.size()) break;
    const TextLine& line = lines[index];
    // Skip the columns scrolled off on the left.
    size_t pos = 0;
    for (int skipped = 0; pos < line.text.size();) {
      size_t next = pos;
      int w = text::CharCells(text::NextChar(line.text, next));
      if (skipped + w > view.firstColumn) break;
      skipped += w;
      pos = next;
    }
    DrawFieldText(cx, c, view.area.row + r, view.area.col, view.area.width, std::string_view(line.text).substr(pos),
                  line.start + pos, style, focused);
  }
}

void DrawCombo(Context& cx, const Window& c) {
  ControlBox cb = BoxOf(cx.place, c);
  bool focused = cx.focus == &c;
  DrawEdge(cx.canvas, cb, Style::Frame, focused);
  EditView view = ViewOfEdit(cx.place, c);
  Style style = !c.Enabled() ? Style::Disabled : focused ? Style::FieldFocused : Style::Field;
  cx.canvas.Fill(view.area.row, view.area.col, 1, view.area.width, style);
  std::string_view rest = std::string_view(c.text).substr(std::min(view.firstByte, c.text.size()));
  DrawFieldText(cx, c, view.area.row, view.area.col, view.area.width, rest, view.firstByte, style, focused);
  cx.canvas.Put(cb.box.row, ComboArrowCol(cb), c.combo.dropped ? U'▲' : U'▼',
                c.Enabled() ? Style::Scroll : Style::Disabled);
}

void DrawScrollBar(Canvas& canvas, int col, const Box& lines, int top, int count) {
  int height = lines.height;
  if (height < 2) return;
  canvas.Put(lines.row, col, U'▲', Style::Scroll);
  canvas.Put(lines.row + height - 1, col, U'▼', Style::Scroll);
  int track = height - 2;
  for (int r = 0; r < track; ++r) canvas.Put(lines.row + 1 + r, col, U'░', Style::Scroll);
  if (track > 0) {
    int last = std::max(1, count - height);
    int thumb = (track - 1) * std::min(top, last) / last;
    canvas.Put(lines.row + 1 + thumb, col, U'█', Style::Scroll);
  }
}

void DrawList(Context& cx, const Window& c) {
  ControlBox cb = BoxOf(cx.place, c);
  bool focused = cx.focus == &c;
  bool framed = Framed(c, cb);
  if (framed) DrawEdge(cx.canvas, cb, Style::Frame, focused);
  ListView view = ViewOfList(cb, c, framed);
  Style style = c.Enabled() ? Style::ListArea : Style::Disabled;
  cx.canvas.Fill(view.lines.row, view.lines.col, view.lines.height, view.lines.width, style);
  int count = static_cast<int>(c.list.items.size());
  for (int r = 0; r < view.lines.height && view.top + r < count; ++r) {
    int index = view.top + r;
    Style lineStyle = style;
    if (index == c.list.selection) {
      lineStyle = focused ? Style::SelectedFocused : Style::Selected;
    } else if (focused && index == c.list.caret) {
      lineStyle = Style::Caret;
    }
    int row = view.lines.row + r;
    cx.canvas.Fill(row, view.lines.col, 1, view.lines.width, lineStyle);
    std::string line = ExpandTabs(cx.place, c, c.list.items[static_cast<size_t>(index)]);
    cx.canvas.Text(row, view.lines.col, line, lineStyle, view.lines.width);
  }
  if (view.scrollBar) DrawScrollBar(cx.canvas, view.scrollCol, view.lines, view.top, count);
}

void DrawGroupBox(Context& cx, const Window& c) {
  ControlBox cb = BoxOf(cx.place, c);
  cx.canvas.Box(cb.box.row, cb.box.col, cb.box.height, cb.box.width, Style::Frame);
  Label label = MakeLabel(c.text);
  PutLabel(cx.canvas, cb.box.row, cb.box.col + 2, label, c.Enabled() ? Style::Body : Style::Disabled,
           cb.box.width - 4, c.Enabled());
}

void DrawDropDown(Context& cx, const Window& c) {
  DropDown dd = DropDownOf(cx.place, BoxOf(cx.place, c), c);
  cx.canvas.Fill(dd.box.row, dd.box.col, dd.box.height, dd.box.width, Style::ListArea);
  cx.canvas.Box(dd.box.row, dd.box.col, dd.box.height, dd.box.width, Style::Frame);
  int count = static_cast<int>(c.list.items.size());
  for (int r = 0; r < dd.lines.height && dd.top + r < count; ++r) {
    int index = dd.top + r;
    Style style = index == c.combo.highlight ? Style::SelectedFocused : Style::ListArea;
    cx.canvas.Fill(dd.lines.row + r, dd.lines.col, 1, dd.lines.width, style);
    cx.canvas.Text(dd.lines.row + r, dd.lines.col, c.list.items[static_cast<size_t>(index)], style, dd.lines.width);
  }
  if (count > dd.lines.height) DrawScrollBar(cx.canvas, dd.box.col + dd.box.width - 1, dd.lines, dd.top, count);
}

void DrawPopup(Context& cx, const Window& w) {
  const layer::MenuBarState& bar = w.dialog.menuBar;
  Box box = PopupBox(cx.place, bar.popup);
  if (box.height == 0) return;
  const layer::Menu& menu = *w.dialog.menu->items[static_cast<size_t>(bar.popup)].popup;
  cx.canvas.Fill(box.row, box.col, box.height, box.width, Style::MenuBar);
  cx.canvas.Box(box.row, box.col, box.height, box.width, Style::Frame);
  for (size_t i = 0; i < menu.items.size(); ++i) {
    const layer::MenuItem& item = menu.items[i];
    int row = box.row + 1 + static_cast<int>(i);
    if (item.separator) {
      cx.canvas.Put(row, box.col, U'├', Style::Frame);
      for (int c = box.col + 1; c < box.col + box.width - 1; ++c) cx.canvas.Put(row, c, U'─', Style::Frame);
      cx.canvas.Put(row, box.col + box.width - 1, U'┤', Style::Frame);
      continue;
    }
    bool grayed = (item.state & (MF_GRAYED | MF_DISABLED)) != 0;
    Style style = static_cast<int>(i) == bar.item ? Style::MenuHighlight : grayed ? Style::Disabled : Style::MenuBar;
    cx.canvas.Fill(row, box.col + 1, 1, box.width - 2, style);
    if (item.state & MF_CHECKED) cx.canvas.Put(row, box.col + 1, U'✓', style);
    PutLabel(cx.canvas, row, box.col + 3, MakeLabel(item.text), style, box.width - 4, !grayed);
  }
}

void DrawTitle(Context& cx, const Window& w) {
  const Placement& p = cx.place;
  Style style = cx.active ? Style::TitleActive : Style::TitleInactive;
  int left = p.frame.col + 1, right = p.frame.col + p.frame.width - 1;
  cx.canvas.Fill(p.frame.row, left, 1, right - left, style);
  // The window icon's place, then the caption.
  bool icon = w.dialog.smallIcon != nullptr || w.dialog.bigIcon != nullptr;
  cx.canvas.Put(p.frame.row, left + 1, icon ? U'■' : U' ', style);
  Box close = CloseBox(p);
  int end = close.width > 0 ? close.col - 1 : right - 1;
  cx.canvas.Text(p.frame.row, left + 3, w.text, style, std::max(0, end - (left + 3)));
  if (close.width > 0) cx.canvas.Text(p.frame.row, close.col, U"[×]", style, 3);
}

void DrawMenuBar(Context& cx, const Window& w) {
  const Placement& p = cx.place;
  cx.canvas.Fill(p.menuRow, p.client.col, 1, p.client.width, Style::MenuBar);
  std::vector<Box> titles = MenuTitles(p);
  const layer::MenuBarState& bar = w.dialog.menuBar;
  for (size_t i = 0; i < titles.size(); ++i) {
    bool lit = bar.mode != layer::MenuBarState::Closed && bar.popup == static_cast<int>(i);
    Style style = lit ? Style::MenuHighlight : Style::MenuBar;
    cx.canvas.Fill(titles[i].row, titles[i].col, 1, titles[i].width, style);
    PutLabel(cx.canvas, titles[i].row, titles[i].col + 1, MakeLabel(w.dialog.menu->items[i].text), style,
             titles[i].width - 2, true);
  }
}

void DrawWindow(Canvas& canvas, Window& w, bool active, bool shadow) {
  Placement p = Place(w, canvas.Rows(), canvas.Cols());
  const Box& f = p.frame;
  if (shadow) {
    canvas.Restyle(f.row + 1, f.col + f.width, f.height, 2, Style::Shadow);
    canvas.Restyle(f.row + f.height, f.col + 2, 1, f.width, Style::Shadow);
  }
  canvas.Fill(f.row, f.col, f.height, f.width, Style::Body);
  canvas.Box(f.row, f.col, f.height, f.width, Style::Frame, active);
  Context cx{canvas, p, active, active ? layer::FocusOf(&w) : nullptr};
  DrawTitle(cx, w);
  if (p.menuRow >= 0) DrawMenuBar(cx, w);
  for (auto& child : w.children) {
    if (!child->Visible()) continue;
    canvas.pen = child.get();
    switch (child->kind) {
      case Kind::Button: DrawButton(cx, *child); break;
      case Kind::Edit: DrawEdit(cx, *child); break;
      case Kind::ComboBox: DrawCombo(cx, *child); break;
      case Kind::ListBox: DrawList(cx, *child); break;
      case Kind::GroupBox: DrawGroupBox(cx, *child); break;
      default: DrawStatic(cx, *child); break;
    }
  }
  canvas.pen = nullptr;
  for (auto& child : w.children)
    if (child->Visible() && child->kind == Kind::ComboBox && child->combo.dropped) DrawDropDown(cx, *child);
  if (p.menuRow >= 0 && w.dialog.menuBar.mode == layer::MenuBarState::Popup) DrawPopup(cx, w);
}

void DrawTooSmall(Canvas& canvas, int rows, int cols) {
  canvas.Fill(0, 0, canvas.Rows(), canvas.Cols(), Style::Message);
  std::string text = "The terminal is " + std::to_string(canvas.Cols()) + " x " + std::to_string(canvas.Rows()) +
                     " characters; this window needs at least " + std::to_string(cols) + " x " +
                     std::to_string(rows) + ".\nPlease enlarge the terminal.";
  std::vector<std::u32string> lines = text::Wrap(text::Decode(text), std::max(1, canvas.Cols() - 2));
  int top = std::max(0, (canvas.Rows() - static_cast<int>(lines.size())) / 2);
  for (size_t i = 0; i < lines.size(); ++i) {
    int width = text::Cells(lines[i]);
    canvas.Text(top + static_cast<int>(i), std::max(0, (canvas.Cols() - width) / 2), lines[i], Style::Message,
                canvas.Cols());
  }
}

void PlaceCursor(Canvas& canvas, Window* active) {
  if (!active || active->dialog.menuBar.mode != layer::MenuBarState::Closed) return;
  Window* focus = layer::FocusOf(active);
  if (!focus || !focus->Visible() || !focus->Enabled()) return;
  Placement p = Place(*active, canvas.Rows(), canvas.Cols());
  if (focus->kind == Kind::ListBox) {
    // On the caret line, where a screen reader and the eye look for the focus.
    ControlBox cb = BoxOf(p, *focus);
    ListView view = ViewOfList(cb, *focus, Framed(*focus, cb));
    int line = focus->list.caret - view.top;
    if (line >= 0 && line < view.lines.height && focus->list.caret < static_cast<int>(focus->list.items.size()))
      canvas.cursor = std::make_pair(view.lines.row + line, view.lines.col);
    return;
  }
  if (focus->kind != Kind::Edit && focus->kind != Kind::ComboBox) return;
  EditView view = ViewOfEdit(p, *focus);
  int row = 0, col = 0;
  CaretCell(*focus, view, row, col);
  if (view.area.Contains(row, col)) canvas.cursor = std::make_pair(row, col);
}

}  // namespace

std::vector<Window*> DrawingOrder(const std::vector<Window*>& open, Window* active) {
  std::vector<Window*> order;
  for (Window* w : open)
    if (w->Visible() && w != active) order.push_back(w);
  if (active && active->Visible() && std::find(open.begin(), open.end(), active) != open.end())
    order.push_back(active);
  return order;
}

bool Draw(Canvas& canvas, const std::vector<Window*>& windows, Window* active) {
  canvas.cursor.reset();
  canvas.Fill(0, 0, canvas.Rows(), canvas.Cols(), Style::Screen);
  int rows = 0, cols = 0;
  if (!Fits(windows, canvas.Rows(), canvas.Cols(), rows, cols)) {
    DrawTooSmall(canvas, rows, cols);
    return false;
  }
  // Every window but the first one opened (the main window) casts a shadow.
  Window* main = nullptr;
  for (Window* w : layer::TopLevelWindows())
    if (w->Visible()) {
      main = w;
      break;
    }
  for (Window* w : windows) DrawWindow(canvas, *w, w == active, w != main);
  PlaceCursor(canvas, active);
  return true;
}

}  // namespace term
