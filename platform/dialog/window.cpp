// The object model's helpers: geometry, mnemonics, tab expansion.
#include "platform/dialog/window.h"

#include <algorithm>
#include <cctype>
#include <cwchar>

#include "platform/dialog/frontend.h"

namespace layer {

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

bool Window::DefaultButton() const {
  return kind == Kind::Button && (style & 0xF) == static_cast<DWORD>(BS_DEFPUSHBUTTON);
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

namespace {

// The character at pos and its length in bytes.
char32_t Decode(std::string_view text, size_t pos, size_t& length) {
  unsigned char b = static_cast<unsigned char>(text[pos]);
  size_t extra = b < 0x80 ? 0 : (b & 0xe0) == 0xc0 ? 1 : (b & 0xf0) == 0xe0 ? 2 : (b & 0xf8) == 0xf0 ? 3 : 4;
  char32_t ch = extra == 0 ? b : extra == 1 ? (b & 0x1f) : extra == 2 ? (b & 0x0f) : (b & 0x07);
  bool ok = extra < 4 && pos + extra < text.size();
  for (size_t k = 1; ok && k <= extra; ++k) {
    unsigned char c = static_cast<unsigned char>(text[pos + k]);
    ok = (c & 0xc0) == 0x80;
    ch = (ch << 6) | (c & 0x3f);
  }
  length = ok ? extra + 1 : 1;
  return ok ? ch : U'\uFFFD';
}

int CharCells(char32_t ch) {
  if (ch < 0x20 || ch == 0x7f) return 0;
  if (ch < 0x7f) return 1;
  int width = wcwidth(static_cast<wchar_t>(ch));
  return width < 0 ? 1 : width;  // outside a UTF-8 locale wcwidth knows only ASCII
}

}  // namespace

size_t CharLength(std::string_view text, size_t pos) {
  if (pos >= text.size()) return 0;
  size_t length = 1;
  Decode(text, pos, length);
  return length;
}

size_t CharStart(std::string_view text, size_t pos) {
  if (pos >= text.size()) return text.size();
  for (size_t back = 1; back <= 3 && back <= pos; ++back) {
    if ((static_cast<unsigned char>(text[pos - back + 1]) & 0xc0) != 0x80) break;
    if (CharLength(text, pos - back) > back) return pos - back;
  }
  return pos;
}

size_t PrevChar(std::string_view text, size_t pos) {
  if (pos == 0) return 0;
  return CharStart(text, std::min(pos, text.size()) - 1);
}

int Cells(std::string_view text) {
  int cells = 0;
  for (size_t pos = 0, length = 1; pos < text.size(); pos += length) cells += CharCells(Decode(text, pos, length));
  return cells;
}

size_t OffsetAtCell(std::string_view text, int cell) {
  int x = 0;
  for (size_t pos = 0, length = 1; pos < text.size(); pos += length) {
    int width = CharCells(Decode(text, pos, length));
    if (cell < x + width || (width == 0 && cell <= x)) return pos;
    x += width;
  }
  return text.size();
}

std::string ExpandTabs(const Window& list, const std::string& line) {
  const std::vector<int>& stops = list.list.tabStops;
  std::string out;
  int column = 0;
  for (size_t pos = 0, length = 1; pos < line.size(); pos += length) {
    if (line[pos] != '\t') {
      column += CharCells(Decode(line, pos, length));
      out.append(line, pos, length);
      continue;
    }
    length = 1;
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
