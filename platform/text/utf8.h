// UTF-8 text as the screen shows it: characters, display cells, wrapping.
// The dialog manager and the terminal both count with these, so an edit's
// caret and the cell the terminal draws it in always agree.
//
// A byte that starts no well-formed sequence is a character of its own,
// shown as U+FFFD in one cell.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace text {

// The character at pos; pos moves past it (one byte for a malformed one).
char32_t NextChar(std::string_view text, size_t& pos);
std::u32string Decode(std::string_view text);
std::string Encode(std::u32string_view text);

size_t CharLength(std::string_view text, size_t pos);  // bytes of the character at pos
size_t CharStart(std::string_view text, size_t pos);   // pos, or the start of the character around it
size_t PrevChar(std::string_view text, size_t pos);    // the start of the character before pos

// Display cells: two for a wide character, none for a combining mark or a
// control character, as wcwidth() has them in the current locale; one for
// anything it does not know.
int CharCells(char32_t ch);
int Cells(std::string_view text);
int Cells(std::u32string_view text);

// The offset of the character shown at a cell (the end past the last one).
size_t OffsetAtCell(std::string_view text, int cell);

// Lines of at most `width` cells: paragraphs end at '\n' (a '\r' before it
// is dropped), lines break at blanks, a word longer than a line is cut.
std::vector<std::u32string> Wrap(std::u32string_view text, int width);
std::vector<std::string> Wrap(std::string_view text, int width);

}  // namespace text
