#include "platform/text/utf8.h"

#include <algorithm>
#include <cwchar>

namespace text {

char32_t NextChar(std::string_view text, size_t& pos) {
  unsigned char b = static_cast<unsigned char>(text[pos]);
  int extra = b < 0x80 ? 0 : (b & 0xe0) == 0xc0 ? 1 : (b & 0xf0) == 0xe0 ? 2 : (b & 0xf8) == 0xf0 ? 3 : -1;
  char32_t ch = extra == 0 ? b : extra == 1 ? (b & 0x1f) : extra == 2 ? (b & 0x0f) : (b & 0x07);
  bool ok = extra >= 0 && pos + static_cast<size_t>(extra) < text.size();
  for (int k = 1; ok && k <= extra; ++k) {
    unsigned char c = static_cast<unsigned char>(text[pos + static_cast<size_t>(k)]);
    ok = (c & 0xc0) == 0x80;
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

size_t CharLength(std::string_view text, size_t pos) {
  if (pos >= text.size()) return 0;
  size_t next = pos;
  NextChar(text, next);
  return next - pos;
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

int CharCells(char32_t ch) {
  if (ch < 0x20 || ch == 0x7f) return 0;
  if (ch < 0x7f) return 1;
  int width = wcwidth(static_cast<wchar_t>(ch));
  // Outside a UTF-8 locale wcwidth knows nothing beyond ASCII; one cell is the safe guess.
  return width < 0 ? 1 : width;
}

int Cells(std::string_view text) {
  int cells = 0;
  for (size_t pos = 0; pos < text.size();) cells += CharCells(NextChar(text, pos));
  return cells;
}

int Cells(std::u32string_view text) {
  int cells = 0;
  for (char32_t ch : text) cells += CharCells(ch);
  return cells;
}

size_t OffsetAtCell(std::string_view text, int cell) {
  int x = 0;
  for (size_t pos = 0; pos < text.size();) {
    size_t at = pos;
    int width = CharCells(NextChar(text, pos));
    if (cell < x + width || (width == 0 && cell <= x)) return at;
    x += width;
  }
  return text.size();
}

std::vector<std::u32string> Wrap(std::u32string_view text, int width) {
  std::vector<std::u32string> lines;
  width = std::max(1, width);
  size_t start = 0;
  for (;;) {
    size_t end = text.find(U'\n', start);
    std::u32string_view para = text.substr(start, end == std::u32string_view::npos ? end : end - start);
    if (end != std::u32string_view::npos && !para.empty() && para.back() == U'\r') para.remove_suffix(1);
    std::u32string line;
    size_t i = 0;
    while (i < para.size()) {
      // Take the next word with the blanks before it.
      size_t wordStart = i;
      while (i < para.size() && para[i] == U' ') ++i;
      while (i < para.size() && para[i] != U' ') ++i;
      std::u32string_view word = para.substr(wordStart, i - wordStart);
      if (Cells(line) + Cells(word) <= width) {
        line += word;
        continue;
      }
      if (!line.empty()) lines.push_back(line);
      size_t first = word.find_first_not_of(U' ');
      line = first == std::u32string_view::npos ? std::u32string() : std::u32string(word.substr(first));
      while (Cells(line) > width) {
        // A word longer than a line is cut.
        std::u32string head;
        size_t k = 0;
        while (k < line.size() && Cells(head) + CharCells(line[k]) <= width) head.push_back(line[k++]);
        if (k == 0) k = 1;
        lines.push_back(line.substr(0, k));
        line.erase(0, k);
      }
    }
    lines.push_back(line);
    if (end == std::u32string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> Wrap(std::string_view text, int width) {
  std::vector<std::string> lines;
  for (const std::u32string& line : Wrap(Decode(text), width)) lines.push_back(Encode(line));
  return lines;
}

}  // namespace text
