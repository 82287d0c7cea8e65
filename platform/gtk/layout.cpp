// Dialog units to pixels, and the room texts need in the desktop's font.
#include "platform/gtk/layout.h"

#include <algorithm>

namespace gtkfe {
namespace {

constexpr int kMenuBarPadding = 3;  // above and below the menu bar's texts
constexpr int kComboEditExtra = 8;  // a combo box's edit part: the font's height and this
constexpr int kListTextInset = 2;

// A caption has no id of its own (-1, or 0xFFFF as a word).
bool CaptionId(int id) { return id == 0 || id == -1 || id == 0xFFFF; }

bool ShowsLabel(const layer::Window& c) {
  if (layer::StockIconOf(c) != layer::StockIcon::None) return false;
  return c.kind == layer::Kind::Static || c.kind == layer::Kind::Button || c.kind == layer::Kind::GroupBox;
}

// Horizontal room the control's frame takes around its text, both sides.
int Frame(const layer::Window& c, const FontMetrics& m) {
  if (c.kind == layer::Kind::Button) return 2 * (kButtonPadding + 1) * m.scale;
  if (c.kind == layer::Kind::GroupBox) return 4 * kButtonPadding * m.scale;
  if (c.exStyle & WS_EX_CLIENTEDGE) return 2 * (kEntryPadding + 1) * m.scale;
  return 0;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    size_t nl = text.find('\n', start);
    std::string line = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    if (nl == std::string::npos) return lines;
    start = nl + 1;
  }
}

}  // namespace

int ToPixelsX(int units, const FontMetrics& m) { return units * m.averageWidth / 4; }
int ToPixelsY(int units, const FontMetrics& m) { return units * m.height / 8; }

FontMetrics AverageCharacter(const MeasureText& measure, int lineHeight, int scale) {
  FontMetrics m;
  int letters = measure("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  m.averageWidth = std::max(1, (letters + 26) / 52);
  m.height = std::max(1, lineHeight);
  m.scale = std::max(1, scale);
  return m;
}

WindowLayout LayOut(const layer::Window& dialog, const FontMetrics& m, const MeasureText& measure) {
  WindowLayout out;
  out.clientWidth = ToPixelsX(dialog.rect.cx, m);
  out.clientHeight = ToPixelsY(dialog.rect.cy, m);
  out.listLineHeight = m.height;
  if (dialog.dialog.menu) {
    out.menuHeight = m.height + 2 * kMenuBarPadding * m.scale;
    int x = 0;
    for (const layer::MenuItem& item : dialog.dialog.menu->items) {
      PlacedMenuItem placed;
      placed.label = layer::WithoutMnemonic(item.text);
      placed.rect = {x, 0, measure(placed.label) + 2 * kMenuItemPadding * m.scale, out.menuHeight};
      x = placed.rect.Right();
      out.menu.push_back(placed);
    }
  }
  for (const auto& child : dialog.children) {
    const layer::Window& c = *child;
    PlacedControl p;
    p.control = &c;
    p.rect = {ToPixelsX(c.rect.x, m), ToPixelsY(c.rect.y, m), ToPixelsX(c.rect.cx, m), ToPixelsY(c.rect.cy, m)};
    if (c.kind == layer::Kind::ComboBox)
      p.rect.height = std::min(p.rect.height, m.height + kComboEditExtra * m.scale);
    if (ShowsLabel(c)) {
      p.label = (c.style & SS_NOPREFIX) && c.kind == layer::Kind::Static ? c.text : layer::WithoutMnemonic(c.text);
      std::vector<std::string> lines = SplitLines(p.label);
      for (const std::string& line : lines) p.textWidth = std::max(p.textWidth, measure(line));
      // Where the desktop's font is wider than the units allow, the control
      // grows the way its text is aligned.
      int need = p.textWidth + Frame(c, m);
      if (need > p.rect.width) {
        int grow = need - p.rect.width;
        bool centred = c.kind != layer::Kind::Static || (c.style & 3) == SS_CENTER;
        if (centred) p.rect.x -= grow / 2;
        else if ((c.style & 3) == SS_RIGHT) p.rect.x -= grow;
        p.rect.x = std::max(0, p.rect.x);
        p.rect.width = need;
      }
      int tall = static_cast<int>(lines.size()) * m.height;
      if (c.kind == layer::Kind::Static && tall > p.rect.height) p.rect.height = tall;
    }
    out.controls.push_back(p);
  }
  // A message box's window widens with its text.
  for (const PlacedControl& p : out.controls)
    if (p.control->Visible()) out.clientWidth = std::max(out.clientWidth, p.rect.Right() + (dialog.dialog.messageBox ? 8 * m.scale : 0));
  return out;
}

namespace {

// The largest visible list box, or null.
const PlacedControl* MainList(const WindowLayout& layout) {
  const PlacedControl* found = nullptr;
  for (const PlacedControl& p : layout.controls)
    if (p.control->kind == layer::Kind::ListBox && p.control->Visible() &&
        (!found || p.rect.width * p.rect.height > found->rect.width * found->rect.height))
      found = &p;
  return found;
}

bool Above(const PixelRect& r, const PixelRect& list) { return r.Bottom() <= list.y; }
bool Below(const PixelRect& r, const PixelRect& list) { return r.y >= list.Bottom(); }
bool RightHalf(const PixelRect& r, int width) { return 2 * r.x + r.width > width; }

// The widest control above the list and within its width: the column that
// takes the difference in width.
PixelRect StretchColumn(const WindowLayout& layout, const PixelRect& list) {
  PixelRect column{list.x, list.y, 0, 0};
  for (const PlacedControl& p : layout.controls)
    if (Above(p.rect, list) && p.rect.x >= list.x && p.rect.Right() <= list.Right() && p.rect.width > column.width)
      column = p.rect;
  return column;
}

}  // namespace

bool Resizable(const WindowLayout& layout) { return MainList(layout) != nullptr; }

WindowLayout Resized(const WindowLayout& base, int width, int height) {
  WindowLayout out = base;
  const PlacedControl* main = MainList(base);
  if (!main) return out;
  out.clientWidth = width;
  out.clientHeight = height;
  int dx = width - base.clientWidth, dy = height - base.clientHeight;
  const PixelRect list = main->rect;
  const PixelRect column = StretchColumn(base, list);
  out.stretchFrom = column.Right() - list.x;
  out.stretch = dx;
  for (PlacedControl& p : out.controls) {
    PixelRect& r = p.rect;
    if (p.control == main->control) {
      r.width += dx;
      r.height += dy;
    } else if (Above(r, list)) {
      if (r.x >= column.Right()) r.x += dx;
      else if (r.Right() > column.x) r.width += dx;
    } else if (Below(r, list)) {
      r.y += dy;
      if (RightHalf(r, base.clientWidth)) r.x += dx;
    } else if (r.x >= list.Right()) {
      r.x += dx;
    }
  }
  return out;
}

PixelRect SmallestClient(const WindowLayout& base) {
  const PlacedControl* main = MainList(base);
  if (!main) return {0, 0, base.clientWidth, base.clientHeight};
  const PixelRect list = main->rect;
  const PixelRect column = StretchColumn(base, list);
  int dx = -(column.width - column.width / 3);
  // The groups below the list keep a gap of half a line between them.
  int leftEnd = 0, rightStart = base.clientWidth;
  for (const PlacedControl& p : base.controls) {
    if (!Below(p.rect, list)) continue;
    if (RightHalf(p.rect, base.clientWidth)) rightStart = std::min(rightStart, p.rect.x);
    else leftEnd = std::max(leftEnd, p.rect.Right());
  }
  dx = std::max(dx, leftEnd + base.listLineHeight / 2 - rightStart);
  int menuRight = base.menu.empty() ? 0 : base.menu.back().rect.Right();
  dx = std::max(dx, menuRight - base.clientWidth);
  int dy = -std::max(0, list.height - (3 * base.listLineHeight + 2));
  return {0, 0, base.clientWidth + std::min(0, dx), base.clientHeight + dy};
}

PixelRect OpeningClient(const WindowLayout& base, int roomWidth, int roomHeight) {
  if (!Resizable(base)) return {0, 0, base.clientWidth, base.clientHeight};
  PixelRect smallest = SmallestClient(base);
  return {0, 0, std::max(smallest.width, std::min(base.clientWidth, roomWidth)),
          std::max(smallest.height, std::min(base.clientHeight, roomHeight))};
}

std::vector<int> ListColumns(const WindowLayout& layout, const PlacedControl& list, const FontMetrics& m) {
  std::vector<int> columns;
  const std::vector<int>& units = list.control->list.tabStops;
  if (units.size() < 2) return columns;
  int inset = kListTextInset * m.scale;
  int fieldText = (kEntryPadding + 1) * m.scale;
  for (int stop : units) {
    int x = ToPixelsX(stop, m) + inset;
    if (x >= layout.stretchFrom) x += layout.stretch;
    // A field's left edge a little left of the stop, or just right of it.
    for (const PlacedControl& p : layout.controls) {
      bool field = p.control->kind == layer::Kind::Edit || p.control->kind == layer::Kind::ComboBox;
      if (!field || !Above(p.rect, list.rect)) continue;
      int edge = p.rect.x - list.rect.x;
      if (x >= edge - ToPixelsX(2, m) && x <= edge + ToPixelsX(8, m)) {
        x = edge + fieldText;
        break;
      }
    }
    columns.push_back(x);
  }
  return columns;
}

std::string AccessibleLabel(const WindowLayout& layout, const PlacedControl& control) {
  const layer::Window& c = *control.control;
  bool value = c.kind == layer::Kind::Static && !CaptionId(c.id);
  if (c.kind != layer::Kind::Edit && c.kind != layer::Kind::ComboBox && c.kind != layer::Kind::ListBox && !value)
    return {};
  PixelRect r = control.rect;
  if (value) {
    const PlacedControl* frame = nullptr;
    for (const PlacedControl& p : layout.controls)
      if (&p != &control && p.control->kind == layer::Kind::Static && p.control->text.empty() &&
          (p.control->exStyle & WS_EX_CLIENTEDGE) && p.rect.x <= r.x && p.rect.y <= r.y &&
          p.rect.Right() >= r.Right() && p.rect.Bottom() >= r.Bottom())
        frame = &p;
    if (!frame) return {};
    r = frame->rect;
  }
  std::string beside, above;
  int besideGap = 1 << 30, aboveGap = 1 << 30;
  for (const PlacedControl& p : layout.controls) {
    bool caption = p.control->kind == layer::Kind::Static && !p.label.empty() &&
                   CaptionId(p.control->id);
    if (!caption || &p == &control) continue;
    const PixelRect& s = p.rect;
    bool sameRow = s.y < r.Bottom() && r.y < s.Bottom();
    bool sameColumn = s.x < r.Right() && r.x < s.Right();
    if (sameRow && s.Right() <= r.x + 2 && r.x - s.Right() < besideGap) {
      besideGap = r.x - s.Right();
      beside = p.label;
    }
    if (sameColumn && s.Bottom() <= r.y + 2 && r.y - s.Bottom() < aboveGap) {
      aboveGap = r.y - s.Bottom();
      above = p.label;
    }
  }
  if (c.kind != layer::Kind::ListBox) return !beside.empty() ? beside : above;
  // Every heading of the row right above the list, left to right.
  std::string headings;
  for (const PlacedControl& p : layout.controls) {
    const PixelRect& s = p.rect;
    if (p.control->kind == layer::Kind::Static && !p.label.empty() && s.x < r.Right() && r.x < s.Right() &&
        s.Bottom() <= r.y + 2 && r.y - s.Bottom() == aboveGap)
      headings += (headings.empty() ? "" : ", ") + p.label;
  }
  return headings;
}

std::string SpokenLine(const std::string& line, const std::string& headings) {
  std::vector<std::string> names;
  for (size_t start = 0; !headings.empty();) {
    size_t comma = headings.find(", ", start);
    names.push_back(headings.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 2;
  }
  std::string out;
  size_t column = 0;
  for (size_t start = 0;; ++column) {
    size_t tab = line.find('\t', start);
    std::string part = line.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
    if (!part.empty()) {
      if (!out.empty()) out += ", ";
      if (column < names.size()) out += names[column] + " ";
      out += part;
    }
    if (tab == std::string::npos) return out;
    start = tab + 1;
  }
}

int ListLines(const PixelRect& list, const WindowLayout& layout) {
  return std::max(1, (list.height - 2) / std::max(1, layout.listLineHeight));
}

int FirstTextX(const FontMetrics& m) { return kListTextInset * m.scale; }

int NextTabStop(const layer::Window& list, int x, const FontMetrics& m, const std::vector<int>& columns) {
  const std::vector<int>& units = list.list.tabStops;
  int inset = kListTextInset * m.scale;
  if (columns.size() > 1 && columns.size() == units.size()) {
    for (int stop : columns)
      if (stop > x) return stop;
    int step = std::max(1, ToPixelsX(32, m));
    int next = columns.back();
    while (next <= x) next += step;
    return next;
  }
  // One stop repeats; none means every 32 units.
  if (units.size() > 1)
    for (int stop : units)
      if (ToPixelsX(stop, m) + inset > x) return ToPixelsX(stop, m) + inset;
  int step = std::max(1, ToPixelsX(units.size() == 1 ? units[0] : 32, m));
  int next = (units.size() > 1 ? ToPixelsX(units.back(), m) : 0) + inset;
  while (next <= x) next += step;
  return next;
}

std::vector<Segment> Segments(const layer::Window& list, const std::string& line, const FontMetrics& m,
                              const MeasureText& measure, const std::vector<int>& columns) {
  std::vector<Segment> out;
  int x = FirstTextX(m);
  size_t start = 0;
  for (bool first = true;; first = false) {
    size_t tab = line.find('\t', start);
    Segment s;
    s.text = line.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
    if (!first) x = NextTabStop(list, x, m, columns);  // the first stop past what is drawn, as Windows expands a tab
    s.x = x;
    x += s.text.empty() ? 0 : measure(s.text);
    if (!s.text.empty()) out.push_back(s);
    if (tab == std::string::npos) return out;
    start = tab + 1;
  }
}

}  // namespace gtkfe
