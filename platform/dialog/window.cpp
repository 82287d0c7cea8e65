// The object model's helpers: geometry, mnemonics, tab expansion.
#include "platform/dialog/window.h"

#include <algorithm>
#include <cctype>
#include <cwchar>

#include "platform/dialog/frontend.h"

namespace layer {

std::uint64_t NewWindowSerial() {
  static std::uint64_t last = 0;
  return ++last;
}

CellRect ToCells(const Rect& r) {
  CellRect c;
  c.col = r.x / 4;
  c.row = r.y / 8;
  c.width = std::max(1, (r.x + r.cx) / 4 - c.col);
  c.height = std::max(1, (r.y + r.cy) / 8 - c.row);
  return c;
}

static int Border(const Window& w) { return (w.style & WS_BORDER) || (w.exStyle & WS_EX_CLIENTEDGE) ? 2 : 0; }

// A front end that lays the windows out for its screen knows better.
static int Shown(const Window& w, bool lines) {
  FrontEnd* frontEnd = InstalledFrontEnd();
  return frontEnd ? (lines ? frontEnd->ShownLines(w) : frontEnd->ShownColumns(w)) : 0;
}

int VisibleLines(const Window& list) {
  if (int shown = Shown(list, true); shown > 0) return shown;
  return std::max(1, ToCells(list.rect).height - Border(list));
}

int VisibleColumns(const Window& edit) {
  if (int shown = Shown(edit, false); shown > 0) return shown;
  int arrow = edit.kind == Kind::ComboBox ? 1 : 0;
  int border = edit.kind == Kind::ComboBox ? 2 : Border(edit);
  return std::max(1, ToCells(edit.rect).width - border - arrow);
}

int DroppedLines(const Window& combo) {
  if (int shown = Shown(combo, true); shown > 0) return shown;
  return std::max(1, ToCells(combo.rect).height - 3);
}

bool Window::PushButton() const {
  return kind == Kind::Button && (style & BS_TYPEMASK) <= static_cast<DWORD>(BS_DEFPUSHBUTTON);
}

bool Window::DefaultButton() const {
  return kind == Kind::Button && (style & BS_TYPEMASK) == static_cast<DWORD>(BS_DEFPUSHBUTTON);
}

Window* Window::Child(int childId) const {
  for (const auto& c : children)
    if (c->id == childId) return c.get();
  return nullptr;
}

Window* Window::TopLevel() {
  Window* w = this;
  while (w->parent) w = w->parent;
  return w;
}

StockIcon StockIconOf(const Window& control) {
  if (control.kind != Kind::Static || (control.style & 0xF) != SS_ICON) return StockIcon::None;
  if (control.text == "#32513") return StockIcon::Error;        // IDI_HAND
  if (control.text == "#32514") return StockIcon::Question;     // IDI_QUESTION
  if (control.text == "#32515") return StockIcon::Warning;      // IDI_EXCLAMATION
  if (control.text == "#32516") return StockIcon::Information;  // IDI_ASTERISK
  return StockIcon::None;
}

char Mnemonic(const std::string& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 1])));
  }
  return 0;
}

std::string WithoutMnemonic(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == '&') {
      out += '&';
      ++i;
    }
  }
  return out;
}

std::string ExpandTabs(const Window& list, std::string_view line) {
  const std::vector<int>& stops = list.list.tabStops;
  std::string out;
  int column = 0;
  for (size_t pos = 0; pos < line.size();) {
    if (line[pos] != '\t') {
      size_t start = pos;
      column += text::CharCells(text::NextChar(line, pos));
      out.append(line, start, pos - start);
      continue;
    }
    ++pos;
    int next = -1;
    if (stops.size() <= 1) {
      int interval = stops.empty() ? 32 : stops[0];
      if (interval > 0)
        for (int k = 1; next < 0; ++k)
          if (k * interval / 4 > column) next = k * interval / 4;
    } else {
      for (int stop : stops)
        if (stop / 4 > column) {
          next = stop / 4;
          break;
        }
    }
    if (next < 0) next = column + 1;  // past the last stop
    out.append(static_cast<size_t>(next - column), ' ');
    column = next;
  }
  return out;
}

std::vector<std::string> EditLines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\n') {
      lines.emplace_back();
      continue;
    }
    lines.back() += text[i];
  }
  return lines;
}

}  // namespace layer
