#include "storage/CalendarDate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Real calendar dates written month/day/year are read, two-digit years as
// 20YY; anything else (another order, an impossible day, words) is no date.
TEST(CalendarDate, OnlyRealMonthDayYearDatesAreRead) {
  struct Case {
    const char* text;
    int32_t day;
  } cases[] = {
      {"01/31/2026", 20260131}, {"1/2/2026", 20260102},  {"1/2/26", 20260102},   {"12/31/99", 20991231},
      {" 02/29/2024 ", 20240229}, {"02/29/2000", 20000229}, {"9/9/0001", 10909},  {"13/45/2025", 0},
      {"02/30/2026", 0},        {"02/29/2025", 0},        {"02/29/1900", 0},      {"00/10/2025", 0},
      {"01/00/2025", 0},        {"yesterday", 0},         {"2025-02-03", 0},      {"1/2/3", 0},
      {"1/2/026", 0},           {"1/2/20266", 0},         {"001/02/2026", 0},     {"1/2/2026x", 0},
      {"1-2-2026", 0},          {"1//2026", 0},           {"", 0},                {"1/2/0000", 0},
      {"+1/2/2026", 0},         {"1/2/ 2026", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(CalendarDay(c.text), c.day) << '"' << c.text << '"';
}

// Unreadable dates before every real one and among themselves by text; real
// dates by day whatever their text; one date is never before itself.
TEST(CalendarDate, UnreadableDatesComeFirstThenTheCalendar) {
  std::vector<std::string> texts = {"2025-02-03", "yesterday", "12/31/2025", "1/2/26", "01/02/2026", "02/01/2026"};
  for (size_t i = 0; i < texts.size(); ++i) {
    for (size_t k = 0; k < texts.size(); ++k) {
      const bool sameDay = (i == 3 || i == 4) && (k == 3 || k == 4);
      const bool expected = !sameDay && i < k;
      EXPECT_EQ(DateBefore(CalendarDay(texts[i]), texts[i], CalendarDay(texts[k]), texts[k]), expected)
          << texts[i] << " before " << texts[k];
    }
  }
}

}  // namespace
