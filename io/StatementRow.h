// One transaction read from a statement file, before it becomes a ledger row,
// and what a reader hands back: every row, or the first fault.
#pragma once

#include <cstdint>
#include <optional>
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
  size_t account = 0;  // index into ReadResult::accounts
};

// One account of a file that holds several (OFX statements, QIF !Account).
struct StatementAccount {
  std::string id;    // the account's number or name
  std::string type;  // checking, savings, credit card, cash, investment...
  bool investment = false;
  size_t transactions = 0;
  std::optional<int64_t> closingCents;  // the balance its statement ends on, where the file states one
};

struct ReadResult {
  std::vector<StatementRow> rows;
  size_t withoutAmount = 0;  // table rows with no amount (a bank's balance lines), left out
  size_t summaryLines = 0;   // a bank's total lines after the table, left out
  size_t checksLeftOut = 0;  // check numbers too long for the register, left out
  std::vector<StatementAccount> accounts;  // empty: one account, unnamed
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
