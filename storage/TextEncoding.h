// The program keeps its text in UTF-8. Ledgers and settings files written by
// earlier builds on Windows, or by other programs, may hold Windows-1252
// text instead; these tell the two apart and convert the old text. The text
// helpers every folder of the program shares live here too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Well-formed UTF-8 without NUL: no stray or missing continuation bytes,
// overlong forms, surrogates or code points past U+10FFFF.
bool IsUtf8(std::string_view text);

// Windows-1252 as UTF-8. The five bytes the code page leaves unassigned (81,
// 8D, 8F, 90, 9D) become the control characters of the same number, as
// Windows itself converts them, so no byte is lost.
std::string Windows1252ToUtf8(std::string_view text);

// Latin-1 (ISO 8859-1) as UTF-8: each byte is the code point of its number.
std::string Latin1ToUtf8(std::string_view text);

// Text read from Ledger.dat or the settings file: valid UTF-8 as it is, any
// other text taken as Windows-1252. Returns text itself or the converted
// copy kept in `converted`; null stays null.
const char* StoredText(const char* text, std::string& converted);

// Copies a stored text into a field of limit + 1 bytes as CopyText does,
// converted first by StoredText.
void CopyStoredText(char* field, const char* text, size_t limit);

// Appends the UTF-8 form of one code point (at most U+10FFFF).
void AppendUtf8(std::string& out, uint32_t code);

// The mark some programs put before UTF-8 text, and text without it.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
std::string_view SkipByteOrderMark(std::string_view text);

// ASCII letters compared without case; every other byte as it is, so the
// answer never depends on the C locale.
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool ContainsNoCase(std::string_view text, std::string_view part);
std::string LowerAscii(std::string_view text);

// A name as words compare it: ASCII letters lowered, ASCII digits kept, each
// run of other ASCII characters and no-break spaces one space (none at the
// ends); the bytes of other characters kept, so "Café" stays apart from "Caf".
std::string NormalizedName(std::string_view text);
