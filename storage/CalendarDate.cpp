#include "storage/CalendarDate.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// One to `most` digits at text[at]; false when there are none or more.
bool ReadPart(std::string_view text, size_t& at, size_t most, int& value) {
  const size_t start = at;
  value = 0;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
    if (at - start == most) return false;
    value = value * 10 + (text[at++] - '0');
  }
  return at > start;
}

int DaysIn(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

int32_t CalendarDay(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  size_t at = 0;
  int month = 0, day = 0, year = 0;
  if (!ReadPart(text, at, 2, month) || at == text.size() || text[at++] != '/') return 0;
  if (!ReadPart(text, at, 2, day) || at == text.size() || text[at++] != '/') return 0;
  const size_t yearStart = at;
  if (!ReadPart(text, at, 4, year) || at != text.size()) return 0;
  const size_t yearDigits = at - yearStart;
  if (yearDigits == 2) {
    year += 2000;
  } else if (yearDigits != 4 || year == 0) {
    return 0;
  }
  if (month < 1 || month > 12 || day < 1 || day > DaysIn(year, month)) return 0;
  return year * 10000 + month * 100 + day;
}

bool DateBefore(int32_t dayA, std::string_view textA, int32_t dayB, std::string_view textB) {
  if (dayA != dayB) return dayA < dayB;  // 0, unreadable, is below every real day
  return dayA == 0 && textA < textB;
}
