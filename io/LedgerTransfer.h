// Ledger.dat as checkbook-io uses it: opened through the engine component,
// rows added to the current account in one database transaction, and the
// account's rows read for export.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "component/ComponentRegistry.h"
#include "component/DatabaseEngine.h"
#include "io/StatementFiles.h"
#include "storage/AccountRecord.h"
#include "storage/LedgerCore.h"
#include "storage/LedgerRecord.h"

class LedgerFile {
 public:
  LedgerFile() = default;
  LedgerFile(const LedgerFile&) = delete;
  LedgerFile& operator=(const LedgerFile&) = delete;
  ~LedgerFile();

  // Opens Ledger.dat in the current folder and finds its account; on failure
  // returns the message and leaves the file as it was.
  std::string Open();
  // Over the ledger the register has open (its engine holds the file's
  // lock): the engine and the account stay the caller's.
  void Borrow(DatabaseEngine* openEngine, AccountRecord* currentAccount);
  AccountRecord* Account() { return account; }
  LedgerRecord* Ledger() { return ledger; }
  DatabaseEngine* Engine() { return engine; }

 private:
  DatabaseEngine* engine = nullptr;
  AccountRecord* accounts = nullptr;
  AccountRecord* account = nullptr;
  LedgerRecord* ledger = nullptr;
  bool borrowed = false;
};

// A statement transaction found in the register: the row is not added again,
// and a plain row becomes cleared.
struct PlannedMatch {
  PlannedRow line;   // the statement's transaction
  PlannedRow held;   // the register's row as it is now
  int32_t transID = 0;
  bool clears = false;
};

struct MatchOptions {
  bool enabled = true;
  int days = 7;  // how far apart the dates of a match may be, checks aside
};

struct ImportPlan {
  std::vector<PlannedRow> add;
  std::vector<PlannedMatch> matches;
  size_t cleared = 0;  // of the matches, rows that become cleared
  size_t duplicates = 0;
  int errorLine = 0;
  std::string error;  // set when a row cannot become a ledger row
};

using Progress = LedgerProgress;

// Turns statement rows into ledger rows (dates written with datePattern),
// leaves out those the account already holds and, unless matching is off,
// finds the rows the person entered for the others.
ImportPlan PlanImport(LedgerFile& ledger, const std::vector<StatementRow>& rows, const std::string& datePattern,
                      const MatchOptions& match = {});
// Adds the rows and moves the running balance as New does, and clears the
// matched rows, all in one database transaction; on failure nothing is
// changed and the message is returned.
std::string ApplyImport(LedgerFile& ledger, const ImportPlan& plan, const Progress& progress);
// How far the rows move the account's balance, in whole cents, stepping as the import does.
int64_t ImportChange(const ImportPlan& plan);
// Why the balance may not move by `change` cents (to where single precision
// does not keep every cent); empty when it may.
std::string BalanceProblem(float balance, int64_t change);
// The account's rows in the register's order: rows whose date the register
// cannot read first, in text order, then by calendar date, rows of one date
// in the order they were added.
std::vector<ExportRow> RowsForExport(LedgerFile& ledger, const std::string& datePattern);
