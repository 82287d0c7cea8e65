// Every change of the register's rows and of the account's running balance:
// the window's commands and checkbook-io both make their changes here, each
// one database transaction, so the balance always equals the initial balance
// plus the rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "storage/AccountRecord.h"
#include "storage/LedgerRecord.h"

enum class LedgerResult {
  Done,
  Refused,      // the database refused a statement; nothing was changed
  BeyondCents,  // the balance would leave the range kept to the cent; nothing was changed
};

// New: inserts `row` (the table object serves as the work row) and moves the
// balance by its debit out, then its credit in.
LedgerResult AddRow(LedgerRecord* row, AccountRecord* account);
// Edit: writes `row` back and moves the balance from the old amounts to the
// row's: the old effect taken back, the new one applied.
LedgerResult ChangeRow(LedgerRecord* row, AccountRecord* account, float oldDebit, float oldCredit);
// Delete: removes `row` and takes its amounts back out of the balance.
LedgerResult RemoveRow(LedgerRecord* row, AccountRecord* account);
// A row the bank has booked becomes cleared; the balance does not move.
bool ClearRow(LedgerRecord* table, int32_t transID);
// A balancing mark set or taken off: the row is written back, the balance
// does not move. The database's answer (0 when refused).
int32_t SetRowStatus(LedgerRecord* row, int32_t status);
// Finish: the account's marked rows become reconciled.
int32_t ReconcileMarkedRows(LedgerRecord* table, int32_t accID);
// Remove Reconciled: every reconciled row goes; the balance does not move.
int32_t RemoveReconciledRows(LedgerRecord* table);
// Fetches the account's rows in the order they were added; the count held.
int32_t SelectAccountRows(LedgerRecord* table, int32_t accID);

// The balance's change after one more row, as New steps it: the debit out,
// then the credit in, in whole cents.
int64_t ChangeAfterRow(int64_t change, float debit, float credit);
// Moves the account's balance by `change` cents; false, with the balance
// left alone, when the new balance is beyond what single precision keeps to
// the cent. A balance that does not move stays as stored.
bool MoveBalance(AccountRecord* account, int64_t change);
// Account Details: a retyped initial balance moves the running balance by as
// much. False, with both left alone, when either would leave the range kept
// to the cent; an unchanged value stays as stored, even one beyond it.
bool SetInitialBalance(AccountRecord* account, int64_t initial);

// A row to add as a statement gives it.
struct PlannedRow {
  int line = 0;  // where it came from, for messages
  int32_t checkNum = 0;
  std::string date;
  std::string payee;  // already cut to the register's limit
  float debit = 0;
  float credit = 0;
  int32_t status = StatusPlain;
};

using LedgerProgress = std::function<void(size_t done, size_t total)>;

struct PlanResult {
  enum What { Done, BeginRefused, ClearRefused, AddRefused, BeyondCents, CommitRefused } what = Done;
  size_t index = 0;    // of the refused row among `clear` or `add`
  int64_t change = 0;  // how far the added rows move the balance, in whole cents
};

// A statement import: rows added to the account and rows cleared, in one
// database transaction; on any failure nothing is changed. `progress` hears
// of every thousandth row added and of the end.
PlanResult ApplyPlan(LedgerRecord* table, AccountRecord* account, std::span<const PlannedRow> add,
                     std::span<const int32_t> clear, const LedgerProgress& progress);
