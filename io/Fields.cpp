#include "io/Fields.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "storage/LedgerRecord.h"
#include "storage/Money.h"
#include "storage/TextEncoding.h"

namespace {

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads between minDigits and maxDigits digits at text[at].
bool ReadNumber(std::string_view text, size_t& at, size_t minDigits, size_t maxDigits, int& value) {
  size_t start = at;
  value = 0;
  while (at < text.size() && at - start < maxDigits && IsDigit(text[at])) value = value * 10 + (text[at++] - '0');
  return at - start >= minDigits;
}

int CenturyOf(int shortYear, bool apostrophe) {
  if (apostrophe) return 2000 + shortYear;
  return shortYear < 70 ? 2000 + shortYear : 1900 + shortYear;
}

std::optional<CalendarDate> ParseWithPattern(std::string_view text, std::string_view pattern) {
  CalendarDate date;
  size_t at = 0;
  for (size_t p = 0; p < pattern.size(); ++p) {
    if (pattern[p] != '%' || p + 1 == pattern.size()) {
      if (at >= text.size() || text[at] != pattern[p]) return std::nullopt;
      ++at;
      continue;
    }
    char directive = pattern[++p];
    bool ok = true;
    switch (directive) {
      case 'Y': ok = ReadNumber(text, at, 4, 4, date.year); break;
      case 'y':
        ok = ReadNumber(text, at, 2, 2, date.year);
        date.year = CenturyOf(date.year, false);
        break;
      case 'm': ok = ReadNumber(text, at, 1, 2, date.month); break;
      case 'd': ok = ReadNumber(text, at, 1, 2, date.day); break;
      case 'b': {
        ok = false;
        for (int m = 0; m < 12 && !ok; ++m) {
          if (EqualsNoCase(text.substr(at, 3), kMonths[m])) {
            date.month = m + 1;
            at += 3;
            ok = true;
          }
        }
        break;
      }
      case '%': ok = at < text.size() && text[at++] == '%'; break;
      default: ok = false;
    }
    if (!ok) return std::nullopt;
  }
  if (at != text.size() || !ValidDay(date)) return std::nullopt;
  return date;
}

}  // namespace

bool ValidDay(const CalendarDate& date) {
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1) return false;
  if (date.day > kDays[date.month - 1]) return false;
  bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
  return !(date.month == 2 && date.day == 29 && !leap);
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

std::optional<CalendarDate> ParseDate(std::string_view text, std::string_view pattern) {
  text = Trim(text);
  if (!pattern.empty()) return ParseWithPattern(text, pattern);
  if (auto iso = ParseWithPattern(text, "%Y-%m-%d")) return iso;
  if (text.size() == 8) {
    if (auto compact = ParseWithPattern(text, "%Y%m%d")) return compact;
  }
  if (auto us = ParseWithPattern(text, "%m/%d/%Y")) return us;
  // Two-digit years: QIF writes the 2000s as M/D'YY.
  CalendarDate date;
  size_t at = 0;
  if (!ReadNumber(text, at, 1, 2, date.month) || at >= text.size() || text[at++] != '/') return std::nullopt;
  if (!ReadNumber(text, at, 1, 2, date.day) || at >= text.size()) return std::nullopt;
  char separator = text[at++];
  if (separator != '/' && separator != '\'') return std::nullopt;
  size_t start = at;
  if (!ReadNumber(text, at, 1, 2, date.year) || at != text.size()) return std::nullopt;
  if (at - start == 1 && separator == '/') return std::nullopt;
  date.year = CenturyOf(date.year, separator == '\'');
  if (!ValidDay(date)) return std::nullopt;
  return date;
}

std::string NotADate(std::string_view text, std::string_view pattern) {
  // Appended piece by piece: "'" + text + ... trips a GCC 12 -O2 false -Wrestrict.
  std::string message(1, '\'');
  message.append(text).append("' is not a date");
  if (!pattern.empty()) return message;
  for (const char* dayFirst : {"%d/%m/%Y", "%d/%m/%y", "%d.%m.%Y", "%d.%m.%y", "%d-%m-%Y"}) {
    if (ParseDate(text, dayFirst)) return message.append(" (day first? give --input-date-format ").append(dayFirst).append(")");
  }
  return message;
}

std::string FormatDate(const CalendarDate& date, std::string_view pattern) {
  std::string out;
  char number[16];
  for (size_t p = 0; p < pattern.size(); ++p) {
    if (pattern[p] != '%' || p + 1 == pattern.size()) {
      out += pattern[p];
      continue;
    }
    switch (pattern[++p]) {
      case 'Y': std::snprintf(number, sizeof number, "%04d", date.year); out += number; break;
      case 'y': std::snprintf(number, sizeof number, "%02d", date.year % 100); out += number; break;
      case 'm': std::snprintf(number, sizeof number, "%02d", date.month); out += number; break;
      case 'd': std::snprintf(number, sizeof number, "%02d", date.day); out += number; break;
      case 'b': out += kMonths[(date.month - 1) % 12]; break;
      case '%': out += '%'; break;
      default: out += '%'; out += pattern[p];
    }
  }
  return out;
}

bool ValidDatePattern(std::string_view pattern) {
  bool year = false, month = false, day = false;
  for (size_t p = 0; p < pattern.size(); ++p) {
    if (pattern[p] != '%') continue;
    if (p + 1 == pattern.size()) return false;
    switch (pattern[++p]) {
      case 'Y': case 'y': year = true; break;
      case 'm': case 'b': month = true; break;
      case 'd': day = true; break;
      case '%': break;
      default: return false;
    }
  }
  if (!year || !month || !day) return false;
  // The register's date field holds 20 characters.
  CalendarDate sample{2003, 12, 31};
  std::string text = FormatDate(sample, pattern);
  return text.size() <= 20 && ParseDate(text, pattern).has_value();
}

std::optional<int64_t> ParseAmount(std::string_view text, bool decimalComma) {
  // A statement's cents are exact: a third decimal would be a fault in the file, not a rounding.
  return ReadAmount(text, {.decimalComma = decimalComma, .statementMarks = true, .exactCents = true});
}

std::optional<float> StoredAmount(int64_t cents) {
  if (!KeepsEveryCent(cents)) return std::nullopt;
  return FromCents(cents);
}

std::optional<int32_t> ParseCheckNumber(std::string_view text) {
  text = Trim(text);
  if (text.empty()) return 0;
  int64_t value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return 0;
    value = value * 10 + (c - '0');
    if (value > INT32_MAX) return std::nullopt;
  }
  return static_cast<int32_t>(value);
}

std::optional<int32_t> ParseStatus(std::string_view text) {
  text = Trim(text);
  if (text.empty()) return 0;
  if (text.size() != 1) {
    // A bank's own status column: what it has booked is cleared.
    std::string word = LowerAscii(text);
    if (word == "cleared" || word == "posted") return StatusCleared;
    if (word == "reconciled") return StatusReconciled;
    if (word == "pending" || word == "uncleared") return StatusPlain;
    return std::nullopt;
  }
  switch (std::toupper(static_cast<unsigned char>(text[0]))) {
    case 'C': case '*': return StatusCleared;
    case 'R': case 'X': return StatusReconciled;
    case 'B': return StatusMarked;
  }
  return std::nullopt;
}

