// The field conversions every statement format shares: dates, amounts, check
// numbers, status letters and UTF-8 text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "io/StatementRow.h"
#include "storage/LedgerRecord.h"
#include "storage/Money.h"
#include "storage/TextEncoding.h"

// With an empty pattern: ISO YYYY-MM-DD or YYYYMMDD, else M/D/YYYY, M/D/YY or
// QIF's M/D'YY. A pattern knows %Y, %y, %m, %d, %b (month name) and %%.
std::optional<CalendarDate> ParseDate(std::string_view text, std::string_view pattern);
// A day of the calendar: years 1-9999, leap days only in leap years.
bool ValidDay(const CalendarDate& date);
std::string FormatDate(const CalendarDate& date, std::string_view pattern);
// "'TEXT' is not a date", with the option to give when the text reads day
// first (15/01/2003) and no pattern was given.
std::string NotADate(std::string_view text, std::string_view pattern);
// A pattern FormatDate can write and ParseDate can read back.
bool ValidDatePattern(std::string_view pattern);

// "-1,200.00", "(12.50)", "$5", "1.234,56" with decimalComma. Thousands
// separators must group by three; more than two decimals must be zeros.
std::optional<int64_t> ParseAmount(std::string_view text, bool decimalComma);
// The single-precision value the register stores for cents, when the amount
// lies where single precision keeps every cent (below 131072.00); otherwise nothing.
std::optional<float> StoredAmount(int64_t cents);

// Digits give the number; text such as ATM or DEP gives 0; nothing when the
// digits do not fit.
std::optional<int32_t> ParseCheckNumber(std::string_view text);
// Empty 0; C or * 1 (cleared); R or X 2 (reconciled); B 3 (marked); a bank's
// words Cleared or Posted 1, Reconciled 2, Pending or Uncleared 0.
std::optional<int32_t> ParseStatus(std::string_view text);

std::string_view Trim(std::string_view text);
