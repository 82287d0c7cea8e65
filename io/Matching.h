// Which register row a statement transaction is: the same amount on the same
// side, a date close enough (later for a check, which is cashed late), and
// among several the equal check number, the nearest date, the most similar
// payee. Each row is taken by at most one transaction.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "io/StatementRow.h"

struct MatchSide {
  std::optional<CalendarDate> date;  // none: a row whose date cannot be read is never matched
  int32_t checkNum = 0;
  std::string payee;
  int64_t cents = 0;  // above 0 a credit, below 0 a debit
};

// Days from 0001-01-01, for date distances.
long DayNumber(const CalendarDate& date);
// 0 to 1: how alike two payee texts are, case and punctuation aside.
double PayeeLikeness(const std::string& a, const std::string& b);

// For each statement transaction the index of its register row, or -1.
// days is the window for transactions that are not both checks.
std::vector<long> MatchTransactions(const std::vector<MatchSide>& statement, const std::vector<MatchSide>& ledger,
                                    int days);
