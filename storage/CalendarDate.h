// Dates as the register's date field takes them: month/day/year. The stored
// text stays as it was typed; this reads the day it names, for checking an
// entry and for putting the register in calendar order.
#pragma once

#include <cstdint>
#include <string_view>

// year * 10000 + month * 100 + day when the text, blanks around it aside, is
// a real calendar date written M/D/YYYY or MM/DD/YYYY, or M/D/YY for 20YY;
// 0 for any other text.
int32_t CalendarDay(std::string_view text);

// True when a row dated (dayA, textA) comes before one dated (dayB, textB)
// in the register: dates that cannot be read (day 0) first, in the text
// order of their texts, then by calendar day. Rows of one date are neither;
// callers keep those in the order they were entered.
bool DateBefore(int32_t dayA, std::string_view textA, int32_t dayB, std::string_view textB);
