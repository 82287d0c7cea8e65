// One transaction read from a statement file, before it becomes a ledger row,
// and what a reader hands back: every row, or the first fault.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CalendarDate {
  int year = 0;
  int month = 0;
  int day = 0;
};

struct StatementRow {
  int line = 0;  // where the row starts in its file, for messages
  CalendarDate date;
  int32_t checkNum = 0;
  std::string payee;
  int64_t cents = 0;  // above 0 a credit, below 0 a debit
  int32_t status = 0;
};

struct ReadResult {
  std::vector<StatementRow> rows;
  size_t withoutAmount = 0;  // table rows with no amount (a bank's balance lines), left out
  std::string warning;       // read whole, but the file is not as its format asks
  int errorLine = 0;         // 0 when the whole file was read
  std::string error;

  bool Failed() const { return !error.empty(); }
  void Fail(int line, std::string message) {
    if (Failed()) return;
    errorLine = line;
    error = std::move(message);
  }
};
