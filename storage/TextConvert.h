// The text-to-number conversions and the text-field copy that every part of
// the program shares. Decimal only and independent of the C locale: optional
// leading white space, optional sign, digits (for reals an optional fraction
// and exponent), up to the first character that does not fit; no number
// gives 0. Integers saturate at the 32-bit limits; a real beyond single
// precision's range counts as no number (0), so no inf or NaN reaches a row.
#pragma once

#include <cstddef>
#include <cstdint>

int32_t TextToInt(const char* text);
double TextToDouble(const char* text);
float TextToReal(const char* text);  // TextToDouble rounded to single precision

// Copies text into a field of limit + 1 bytes. Null gives an empty field;
// longer text is cut to at most limit bytes, before any UTF-8 character
// that would not fit whole.
void CopyText(char* field, const char* text, size_t limit);

// The length of text's first length bytes without a UTF-8 character that
// was cut short at their end.
size_t WholeCharacters(const char* text, size_t length);
