#include "platform/terminal/grid.h"

#include <algorithm>
#include <climits>

#include "platform/terminal/canvas.h"
#include "platform/terminal/layout.h"

namespace term {

namespace {

constexpr int kAcross = 4, kDown = 8;  // dialog units to a cell at the fixed scale
// What a squeezed field or list keeps at least: a date with room for the caret.
constexpr int kFieldCells = 12, kColumnCells = 11, kLastColumnCells = 4;
constexpr int kListRows = 8, kNoteRows = 3;
constexpr int kComboEditUnits = 12;  // a combo box's template height includes its list

int FloorDiv(long long a, long long b) { return static_cast<int>(a >= 0 ? a / b : -((-a + b - 1) / b)); }

struct Need {
  int from, to, cells;  // Cell(to) - Cell(from) >= cells
};

int FixedCells(int from, int to, int unitsPerCell) {
  return std::max(1, FloorDiv(to, unitsPerCell) - FloorDiv(from, unitsPerCell));
}

}  // namespace

int Axis::Proportional(int unit) const {
  if (dense_) return FloorDiv(static_cast<long long>(unit) * extent_, unitExtent_);
  return FloorDiv(unit, unitsPerCell_);
}

int Axis::Cell(int unit) const {
  if (units_.empty()) return Proportional(unit);
  // Beyond the window (a default tab stop far right) the scale goes on.
  if (unit <= units_.front()) return cells_.front() + Proportional(unit) - Proportional(units_.front());
  if (unit >= units_.back()) return cells_.back() + Proportional(unit) - Proportional(units_.back());
  auto it = std::lower_bound(units_.begin(), units_.end(), unit);
  size_t b = static_cast<size_t>(it - units_.begin());
  if (*it == unit) return cells_[b];
  size_t a = b - 1;
  int cell = cells_[a] + Proportional(unit) - Proportional(units_[a]);
  return std::clamp(cell, cells_[a], cells_[b]);
}

// Collects the edges and needs of one axis and places the edges.
class AxisBuilder {
 public:
  AxisBuilder(int unitExtent, int unitsPerCell) : unitExtent_(std::max(1, unitExtent)), unitsPerCell_(unitsPerCell) {}

  // Edges of one band keep their order; bands one above another (controls
  // that share no row) only keep the edges they have in common in line.
  void Band(int band) { band_ = band; }

  void Edge(int unit) { edges_.push_back({band_, std::clamp(unit, 0, unitExtent_)}); }

  void Require(int from, int to, int cells) {
    from = std::clamp(from, 0, unitExtent_);
    to = std::clamp(to, 0, unitExtent_);
    Edge(from);
    Edge(to);
    if (from < to && cells >= 0) needs_.push_back({from, to, cells});
  }

  int FixedCells(int from, int to) const { return term::FixedCells(from, to, unitsPerCell_); }

  // At the fixed scale, the window growing where its needs demand.
  Axis Fixed() { return Solve(false, INT_MAX); }

  // Squeezed into `cells`; false when the needs do not fit in them.
  bool Dense(int cells, Axis& axis) {
    if (Minimum() > cells) return false;
    axis = Solve(true, cells);
    return true;
  }

  // The fewest cells the needs fit in.
  int Minimum() {
    Prepare();
    std::vector<int> lo = Lowest();
      return lo.back();
  }

 private:
  void Prepare() {
    std::vector<std::pair<int, int>> edges = edges_;
    int bands = 1;
    for (auto [band, unit] : edges) bands = std::max(bands, band + 1);
    for (int band = 0; band < bands; ++band) {
      edges.push_back({band, 0});
      edges.push_back({band, unitExtent_});
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    units_.clear();
    for (auto [band, unit] : edges) units_.push_back(unit);
    std::sort(units_.begin(), units_.end());
    units_.erase(std::unique(units_.begin(), units_.end()), units_.end());
    before_.assign(units_.size(), {});
    for (size_t k = 1; k < edges.size(); ++k)
      if (edges[k].first == edges[k - 1].first) before_[Index(edges[k].second)].push_back(Index(edges[k - 1].second));
  }
  size_t Index(int unit) const {
    return static_cast<size_t>(std::lower_bound(units_.begin(), units_.end(), unit) - units_.begin());
  }
  // Each edge as far left as the needs allow.
  std::vector<int> Lowest() const {
    std::vector<int> lo(units_.size(), 0);
    for (size_t j = 1; j < units_.size(); ++j) {
      for (size_t b : before_[j]) lo[j] = std::max(lo[j], lo[b]);
      for (const Need& n : needs_)
        if (n.to == units_[j]) lo[j] = std::max(lo[j], lo[Index(n.from)] + n.cells);
    }
    return lo;
  }

  // Every edge stays where the scale puts it, unless a need pushes it on or
  // (squeezed) the needs right of it push it back.
  Axis Solve(bool dense, int limit) {
    Prepare();
    Axis axis;
    axis.units_ = units_;
    axis.unitExtent_ = unitExtent_;
    axis.unitsPerCell_ = unitsPerCell_;
    axis.dense_ = dense;
    axis.extent_ = dense ? limit : 0;
    size_t count = units_.size();
    std::vector<int> lo = Lowest();
    std::vector<int> hi(count, INT_MAX);
    if (dense) {
      hi[count - 1] = limit;
      for (size_t j = count - 1; j-- > 0;) {
        for (size_t k = j + 1; k < count; ++k)
          for (size_t b : before_[k])
            if (b == j) hi[j] = std::min(hi[j], hi[k]);
        for (const Need& n : needs_)
          if (n.from == units_[j]) hi[j] = std::min(hi[j], hi[Index(n.to)] - n.cells);
      }
    }
    std::vector<int> cells(count, 0);
    for (size_t j = 1; j < count; ++j) {
      int want = std::clamp(axis.Proportional(units_[j]), lo[j], std::max(lo[j], hi[j]));
      for (size_t b : before_[j]) want = std::max(want, cells[b]);
      for (const Need& n : needs_)
        if (n.to == units_[j]) want = std::max(want, cells[Index(n.from)] + n.cells);
      cells[j] = want;
    }
    axis.cells_ = cells;
    axis.extent_ = cells.back();
    return axis;
  }

  int unitExtent_;
  int unitsPerCell_;
  int band_ = 0;
  std::vector<std::pair<int, int>> edges_;  // band, unit
  std::vector<int> units_;
  std::vector<std::vector<size_t>> before_;  // the edges each edge must not fall left of
  std::vector<Need> needs_;
};

bool IsLabel(const layer::Window& control) {
  return control.kind == layer::Kind::Static && (control.id == -1 || control.id == 0xFFFF);
}

namespace {

int TextCells(const layer::Window& c) {
  std::u32string text = IconGlyph(c);
  if (text.empty()) text = (c.style & SS_NOPREFIX) ? text::Decode(c.text) : MakeLabel(c.text).text;
  int widest = 0, line = 0;
  for (char32_t ch : text) {
    if (ch == U'\n') {
      line = 0;
      continue;
    }
    line += text::CharCells(ch);
    widest = std::max(widest, line);
  }
  return widest;
}

int LineCount(const std::string& text) { return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

bool HasEdge(const layer::Window& c) {
  return (c.exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)) != 0 || (c.style & SS_SUNKEN) != 0;
}

int Bottom(const layer::Window& c) {
  return c.rect.y + (c.kind == layer::Kind::ComboBox ? kComboEditUnits : c.rect.cy);
}

bool Inside(const layer::Window& inner, const layer::Window& outer) {
  return &inner != &outer && inner.rect.x >= outer.rect.x && inner.rect.y >= outer.rect.y &&
         inner.rect.x + inner.rect.cx <= outer.rect.x + outer.rect.cx && Bottom(inner) <= Bottom(outer);
}

// Controls whose rows overlap, directly or through others, form a band.
std::vector<int> Bands(const layer::Window& top) {
  size_t count = top.children.size();
  std::vector<size_t> order(count);
  for (size_t i = 0; i < count; ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](size_t a, size_t b) { return top.children[a]->rect.y < top.children[b]->rect.y; });
  std::vector<int> band(count, 0);
  int current = -1, reach = INT_MIN;
  for (size_t i : order) {
    const layer::Window& c = *top.children[i];
    if (c.rect.y >= reach) {
      ++current;
      reach = Bottom(c);
    } else {
      reach = std::max(reach, Bottom(c));
    }
    band[i] = current;
  }
  return band;
}

// How hard a squeezed axis is pressed: first blanks between neighbours go,
// then values the program writes may be cut rather than the window refused.
enum Squeeze { Roomy, Tight, Cutting, kSqueezes };

void AcrossNeeds(const layer::Window& top, AxisBuilder& axis, bool dense, Squeeze squeeze) {
  // At the fixed scale one band: what a need pushes on, everything right of it follows.
  std::vector<int> bands = Bands(top);
  bool roomy = !dense || squeeze == Roomy;
  for (size_t i = 0; i < top.children.size(); ++i) {
    const layer::Window& c = *top.children[i];
    axis.Band(dense ? bands[i] : 0);
    int x0 = c.rect.x, x1 = c.rect.x + c.rect.cx;
    axis.Edge(x0);
    axis.Edge(x1);
    if (!c.Visible()) continue;  // a hidden button leaves its room to the others
    int text = TextCells(c);
    int fixed = axis.FixedCells(x0, x1);
    switch (c.kind) {
      case layer::Kind::Button:
        // Brackets or padding; squeezed with room to spare, a blank too, as
        // buttons side by side lose their gaps.
        axis.Require(x0, x1, text + (dense && roomy ? 3 : 2));
        break;
      case layer::Kind::GroupBox:
        axis.Require(x0, x1, text + 4);
        break;
      case layer::Kind::Static: {
        if (dense && roomy && HasEdge(c)) {
          // What lies on a sunken frame stays clear of its side bars.
          for (const auto& other : top.children)
            if (Inside(*other, c)) {
              axis.Require(x0, other->rect.x, 1);
              axis.Require(other->rect.x + other->rect.cx, x1, 1);
            }
        }
        if (text == 0) break;
        if (!IsLabel(c)) {
          if (dense && squeeze != Cutting) axis.Require(x0, x1, text);
          break;
        }
        bool breaks = c.text.find('\n') != std::string::npos;
        int rows = FixedCells(c.rect.y, c.rect.y + c.rect.cy, kDown);
        if (!breaks && rows > 1 && text > fixed) break;  // a label made to wrap
        DWORD align = c.style & 3;
        int gap = HasEdge(c) ? 2 : breaks || align != SS_LEFT || !roomy ? 0 : 1;
        axis.Require(x0, x1, text + gap);
        break;
      }
      case layer::Kind::Edit:
      case layer::Kind::ComboBox:
        if (dense) axis.Require(x0, x1, std::min(fixed, kFieldCells));
        break;
      case layer::Kind::ListBox: {
        if (!dense) break;
        axis.Require(x0, x1, std::min(fixed, kFieldCells));
        // Every list column keeps room for a date; stops are counted from the list's left edge.
        const std::vector<int>& stops = c.list.tabStops;
        if (stops.size() < 2) break;
        std::vector<int> starts = {x0};
        for (int stop : stops) starts.push_back(std::max(starts.back(), x0 + stop));
        for (size_t k = 0; k < starts.size(); ++k) {
          int from = starts[k], to = k + 1 < starts.size() ? starts[k + 1] : x1;
          int least = k + 1 < starts.size() ? kColumnCells : kLastColumnCells;
          axis.Require(from, to, std::min(axis.FixedCells(from, to), least));
          // A column stays under the heading (or field) above the list whose span it starts in.
          for (const auto& above : top.children) {
            int left = above->rect.x, right = left + above->rect.cx;
            if (Bottom(*above) > c.rect.y || from < left || from >= right) continue;
            axis.Require(left, from, 0);
            axis.Require(from, right, std::min(axis.FixedCells(from, right), least));
          }
        }
        break;
      }
      default:
        break;
    }
  }
}

void DownNeeds(const layer::Window& top, AxisBuilder& axis, bool dense) {
  for (const auto& child : top.children) {
    const layer::Window& c = *child;
    int y0 = c.rect.y, y1 = Bottom(c);
    axis.Edge(y0);
    axis.Edge(y1);
    if (!dense) continue;
    int fixed = axis.FixedCells(y0, y1);
    int rows = 1;
    if (c.kind == layer::Kind::ListBox) rows = std::min(fixed, kListRows);
    if (c.Multiline()) rows = std::min(fixed, kNoteRows);
    if (c.kind == layer::Kind::GroupBox) rows = std::min(fixed, 2);
    if (c.kind == layer::Kind::Static && c.text.find('\n') != std::string::npos) rows = LineCount(c.text);
    axis.Require(y0, y1, rows);
  }
}

}  // namespace

Grid GridOf(const layer::Window& top, int clientRows, int clientCols) {
  Grid grid;
  AxisBuilder fixedAcross(top.rect.cx, kAcross);
  AxisBuilder fixedDown(top.rect.cy, kDown), denseDown(top.rect.cy, kDown);
  AcrossNeeds(top, fixedAcross, false, Roomy);
  DownNeeds(top, fixedDown, false);
  DownNeeds(top, denseDown, true);
  grid.across = fixedAcross.Fixed();
  if (grid.across.Extent() > clientCols) {
    grid.fits = false;
    for (int squeeze = Roomy; squeeze < kSqueezes && !grid.fits; ++squeeze) {
      AxisBuilder dense(top.rect.cx, kAcross);
      AcrossNeeds(top, dense, true, static_cast<Squeeze>(squeeze));
      grid.fits = dense.Dense(clientCols, grid.across);
    }
  }
  grid.down = fixedDown.Fixed();
  if (grid.down.Extent() > clientRows && !denseDown.Dense(clientRows, grid.down)) grid.fits = false;
  AxisBuilder densest(top.rect.cx, kAcross);
  AcrossNeeds(top, densest, true, Cutting);
  grid.neededCols = std::min(fixedAcross.Fixed().Extent(), densest.Minimum());
  grid.neededRows = std::min(fixedDown.Fixed().Extent(), denseDown.Minimum());
  return grid;
}

}  // namespace term
