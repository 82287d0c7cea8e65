#include "storage/TextConvert.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Skips leading white space and a sign; true when the sign was '-'.
bool SkipToDigits(const char*& p) {
  while (IsSpace(*p)) ++p;
  bool negative = *p == '-';
  if (*p == '+' || *p == '-') ++p;
  return negative;
}

}  // namespace

int32_t TextToInt(const char* text) {
  if (!text) return 0;
  const char* p = text;
  bool negative = SkipToDigits(p);
  constexpr int64_t kLimit = int64_t{INT32_MAX} + 1;
  int64_t value = 0;
  for (; IsDigit(*p); ++p) {
    value = value * 10 + (*p - '0');
    if (value > kLimit) value = kLimit;
  }
  if (negative) return static_cast<int32_t>(-value);
  return static_cast<int32_t>(value > INT32_MAX ? INT32_MAX : value);
}

double TextToDouble(const char* text) {
  if (!text) return 0;
  const char* p = text;
  bool negative = SkipToDigits(p);
  const char* mantissa = p;
  // The digits as an integer and the count of them after the point, while
  // there are few enough for the integer to be exact.
  uint64_t whole = 0;
  int digits = 0, decimals = 0;
  for (; IsDigit(*p); ++p, ++digits) whole = whole * 10 + static_cast<uint64_t>(*p - '0');
  if (*p == '.') {
    for (++p; IsDigit(*p); ++p, ++digits, ++decimals) whole = whole * 10 + static_cast<uint64_t>(*p - '0');
  }
  if (digits == 0) return 0;
  const char* mantissaEnd = p;
  const char* end = p;
  if (*p == 'e' || *p == 'E') {
    const char* q = p + 1;
    if (*q == '+' || *q == '-') ++q;
    if (IsDigit(*q)) {
      while (IsDigit(*q)) ++q;
      end = q;
    }
  }
  double value = 0;
  if (end == mantissaEnd && digits <= 15) {
    // At most 15 digits and no exponent: both the integer and the power of
    // ten are exact doubles, so one correctly rounded division gives the
    // same double as the full parse (the quick case of every stored amount).
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    value = static_cast<double>(whole) / kPowers[decimals];
  } else {
    auto result = std::from_chars(mantissa, end, value, std::chars_format::general);
    // Beyond single precision is no amount: taken as the largest float it
    // would swallow every other amount, so it counts as no number.
    if (result.ec != std::errc()) return 0;
  }
  if (std::isinf(static_cast<float>(value))) {
    // Rounded twice, a text just inside the range can look beyond it; the
    // text read straight to single precision decides.
    float single = 0;
    auto direct = std::from_chars(mantissa, end, single, std::chars_format::general);
    if (direct.ec != std::errc() || std::isinf(single)) return 0;
    value = single;
  }
  if (value > FLT_MAX) value = FLT_MAX;  // beyond it but rounding to it
  if (value == 0) return 0;  // never a negative zero
  return negative ? -value : value;
}

float TextToReal(const char* text) {
  float value = static_cast<float>(TextToDouble(text));
  return value == 0 ? 0.0f : value;  // a tiny negative must not become "-0.00"
}

void CopyText(char* field, const char* text, size_t limit) {
  if (!text) {
    field[0] = '\0';
    return;
  }
  size_t length = strnlen(text, limit + 1);
  if (length > limit) {
    length = limit;
    // If the first byte left out continues a UTF-8 character that started
    // inside the limit, leave that whole character out.
    auto byte = [text](size_t i) { return static_cast<unsigned char>(text[i]); };
    if ((byte(limit) & 0xC0) == 0x80) {
      for (size_t back = 1; back <= 3 && back <= limit; ++back) {
        unsigned char lead = byte(limit - back);
        if ((lead & 0xC0) == 0x80) continue;
        size_t size = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (lead < 0xF8 && size > back) length = limit - back;
        break;
      }
    }
  }
  std::memcpy(field, text, length);
  field[length] = '\0';
}

size_t WholeCharacters(const char* text, size_t length) {
  auto byte = [text](size_t i) { return static_cast<unsigned char>(text[i]); };
  for (size_t back = 1; back <= 4 && back <= length; ++back) {
    unsigned char lead = byte(length - back);
    if ((lead & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    size_t size = lead >= 0xF0 && lead < 0xF8 ? 4 : lead >= 0xE0 && lead < 0xF0 ? 3 : lead >= 0xC0 && lead < 0xE0 ? 2 : 1;
    return size > back ? length - back : length;
  }
  return length;
}
