// The shapes statement files come in beyond their format: line ends, the
// order of a date's parts and the marks of an amount, decided from the file
// as a whole where one value alone cannot tell.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/StatementRow.h"

// CR LF and CR alone become LF; a byte-order mark at the start is dropped.
std::string UnifyLineEnds(std::string_view text);

enum class DateOrder { MonthFirst, DayFirst };

// Dates as banks and programs write them: 2024-01-15, 20240115, 1/15/2024,
// 15.01.24, 8/ 1/97, 1/ 2'04 (the 2000s), 15 Jan 2024, Jan 15, 2024, with a
// time after the day left out. A year written first needs no order.
std::optional<CalendarDate> ReadDateAs(std::string_view text, DateOrder order);

struct DateChoice {
  DateOrder order = DateOrder::MonthFirst;
  size_t bad = SIZE_MAX;  // the first text no order reads
  std::string error;      // set when the order cannot be told, or a text is no date
};

// The order that reads every date; of two, the one that keeps the rows in
// date order; else `fallback` when given, else an error naming the options.
DateChoice ChooseDateOrder(const std::vector<std::string_view>& texts, std::optional<DateOrder> fallback);

// The order a file's separators are customary for when the dates alone
// cannot tell: M/D/Y with slashes (and Quicken's apostrophe), D.M.Y with
// points; none for dashes or a mix.
std::optional<DateOrder> CustomaryOrder(const std::vector<std::string_view>& texts);

// What one amount text says of its decimal mark: '.', ',' or 0 when it
// cannot tell (1,234 and 1.234 read both ways).
char DecimalMarkOf(std::string_view text);

struct AmountText {
  int64_t cents = 0;
  bool sign = false;  // the text says its side: -, +, (..), a trailing minus, CR or DR
};

// An amount with its currency symbol or code, its sign before or after,
// thousands grouped by the other mark, spaces or apostrophes, zero padding
// and zero decimals past the cent. `decimal` is '.' or ','; 0 asks the text.
std::optional<AmountText> ReadAmountText(std::string_view text, char decimal);

// A text field that a spreadsheet would run as a formula: it starts with
// =, +, -, @, a tab or a carriage return.
bool LooksLikeFormula(std::string_view text);
// The field as the CSV export writes it back: a formula-like field loses
// the apostrophe the export put before it.
std::string WithoutFormulaGuard(std::string_view text);

// 'text', in quotes for a message. Appended piece by piece: "'" + text
// trips GCC 12's false -Wrestrict.
std::string Quoted(std::string_view text);

// A transaction's payee: its name, else its memo, else its type, else a
// fixed word.
std::string PayeeOf(std::string_view name, std::string_view memo, std::string_view type);
extern const char kNoPayee[];
