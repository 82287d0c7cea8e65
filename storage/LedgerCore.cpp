#include "storage/LedgerCore.h"

#include <cassert>
#include <cmath>

#include "storage/Money.h"

namespace {

// A row and the account's running balance are written together or not at
// all: the balance is never recomputed, so a half-done change would leave it
// wrong for good.
void Begin(TableRecord* table) { table->Execute("BEGIN"); }
void Cancel(TableRecord* table) { table->Execute("ROLLBACK"); }

// Writes the account's new balance and commits. When either is refused, or
// the balance left single precision's range, the whole change is rolled back
// and the balance in memory put back.
bool Commit(TableRecord* table, AccountRecord* account, float oldBalance) {
  if (std::isfinite(account->mAccBalance) && account->Update() != 0 && table->Execute("COMMIT") != 0) return true;
  Cancel(table);
  account->mAccBalance = oldBalance;
  return false;
}

// The row's statement has been sent inside the transaction; moves the
// balance and commits, or rolls everything back.
LedgerResult Finish(TableRecord* table, AccountRecord* account, int64_t change) {
  const float oldBalance = account->mAccBalance;
  if (!MoveBalance(account, change)) {
    Cancel(table);
    return LedgerResult::BeyondCents;
  }
  return Commit(table, account, oldBalance) ? LedgerResult::Done : LedgerResult::Refused;
}

int32_t SetCleared(LedgerRecord* table, int32_t transID) {
  TextBuffer sql;
  sql.Assign("UPDATE ")
      .Append(table->tableName.Text())
      .Append(" SET mStatus = ")
      .AppendInt(StatusCleared)
      .Append(" WHERE mTransID = ")
      .AppendInt(transID);
  return table->Execute(sql.Text());
}

// The table object lends itself as the work row of an import; what it held
// comes back after, so a status from a statement never reaches the next New.
class WorkRowKept {
 public:
  explicit WorkRowKept(LedgerRecord* table)
      : table_(table), date_(table->Date()), payee_(table->Payee()), checkNum_(table->mCheckNum),
        debit_(table->mDebit), credit_(table->mCredit), status_(table->mStatus), accID_(table->mAccID) {}
  WorkRowKept(const WorkRowKept&) = delete;
  WorkRowKept& operator=(const WorkRowKept&) = delete;
  ~WorkRowKept() {
    table_->SetDate(date_.c_str());
    table_->SetPayee(payee_.c_str());
    table_->mCheckNum = checkNum_;
    table_->mDebit = debit_;
    table_->mCredit = credit_;
    table_->mStatus = status_;
    table_->mAccID = accID_;
  }

 private:
  LedgerRecord* table_;
  std::string date_;
  std::string payee_;
  int32_t checkNum_;
  float debit_;
  float credit_;
  int32_t status_;
  int32_t accID_;
};

}  // namespace

int64_t ChangeAfterRow(int64_t change, float debit, float credit) {
  change = AddCents(change, -ToCents(debit));
  return AddCents(ToCents(credit), change);
}

bool MoveBalance(AccountRecord* account, int64_t change) {
  if (change == 0) return true;
  const int64_t balance = AddCents(ToCents(account->mAccBalance), change);
  if (!KeepsEveryCent(balance)) return false;
  account->mAccBalance = FromCents(balance);
  return true;
}

bool SetInitialBalance(AccountRecord* account, int64_t initial) {
  const int64_t old = ToCents(account->mInitialBalance);
  if (initial == old) return true;
  if (!KeepsEveryCent(initial) || !MoveBalance(account, AddCents(initial, -old))) return false;
  account->mInitialBalance = FromCents(initial);
  return true;
}

LedgerResult AddRow(LedgerRecord* row, AccountRecord* account) {
  Begin(row);
  if (row->Insert() == 0) {
    Cancel(row);
    return LedgerResult::Refused;
  }
  return Finish(row, account, ChangeAfterRow(0, row->mDebit, row->mCredit));
}

LedgerResult ChangeRow(LedgerRecord* row, AccountRecord* account, float oldDebit, float oldCredit) {
  Begin(row);
  if (row->Update() == 0) {
    Cancel(row);
    return LedgerResult::Refused;
  }
  const int64_t debitChange = Difference(oldDebit, row->mDebit);
  const int64_t creditChange = Difference(oldCredit, row->mCredit);
  return Finish(row, account, AddCents(debitChange, -creditChange));
}

LedgerResult RemoveRow(LedgerRecord* row, AccountRecord* account) {
  const float oldDebit = row->mDebit;
  const float oldCredit = row->mCredit;
  Begin(row);
  if (row->Remove() == 0) {
    Cancel(row);
    return LedgerResult::Refused;
  }
  // The debit back in, then the credit out.
  return Finish(row, account, AddCents(ToCents(oldDebit), -ToCents(oldCredit)));
}

bool ClearRow(LedgerRecord* table, int32_t transID) {
  Begin(table);
  if (SetCleared(table, transID) != 0 && table->Execute("COMMIT") != 0) return true;
  Cancel(table);
  return false;
}

int32_t SetRowStatus(LedgerRecord* row, int32_t status) {
  assert(KnownStatus(status));
  row->mStatus = status;
  return row->Update();
}

int32_t ReconcileMarkedRows(LedgerRecord* table, int32_t accID) {
  TextBuffer sql;
  sql.Assign("UPDATE ").Append(table->tableName.Text()).Append(" SET  mStatus = '");
  sql.AppendInt(StatusReconciled).Append("' WHERE mAccID = '").AppendInt(accID);
  sql.Append("' AND mStatus = '").AppendInt(StatusMarked).Append("'");
  return table->Execute(sql.Text());
}

int32_t RemoveReconciledRows(LedgerRecord* table) {
  TextBuffer sql;
  sql.Assign("DELETE FROM ").Append(table->tableName.Text());
  sql.Append(" WHERE mStatus = '").AppendInt(StatusReconciled).Append("'");
  return table->Execute(sql.Text());
}

int32_t SelectAccountRows(LedgerRecord* table, int32_t accID) {
  table->ClearRows();
  table->whereClause.Assign("mAccID = '").AppendInt(accID).Append("' ORDER BY mTransID");
  return table->Select();
}

PlanResult ApplyPlan(LedgerRecord* table, AccountRecord* account, std::span<const PlannedRow> add,
                     std::span<const int32_t> clear, const LedgerProgress& progress) {
  PlanResult result;
  if (add.empty() && clear.empty()) return result;
  auto fail = [&](PlanResult::What what, size_t index) {
    table->Execute("ROLLBACK");
    result.what = what;
    result.index = index;
    return result;
  };
  // Immediate: a second writer is turned away before any row is written.
  if (table->Execute("BEGIN IMMEDIATE") == 0) {
    result.what = PlanResult::BeginRefused;
    return result;
  }
  for (size_t i = 0; i < clear.size(); ++i)
    if (SetCleared(table, clear[i]) == 0) return fail(PlanResult::ClearRefused, i);
  const float oldBalance = account->mAccBalance;
  // The table object is the work row, as it is for New.
  WorkRowKept kept(table);
  for (size_t i = 0; i < add.size(); ++i) {
    const PlannedRow& row = add[i];
    table->mAccID = account->mAccID;
    table->mCheckNum = row.checkNum;
    table->SetDate(row.date.c_str());
    table->SetPayee(row.payee.c_str());
    table->mDebit = row.debit;
    table->mCredit = row.credit;
    table->mStatus = row.status;
    if (table->Insert() == 0) return fail(PlanResult::AddRefused, i);
    result.change = ChangeAfterRow(result.change, row.debit, row.credit);
    if (progress && (i + 1) % 1000 == 0) progress(i + 1, add.size());
  }
  if (!MoveBalance(account, result.change)) return fail(PlanResult::BeyondCents, 0);
  if (!Commit(table, account, oldBalance)) {
    result.what = PlanResult::CommitRefused;
    return result;
  }
  if (progress) progress(add.size(), add.size());
  return result;
}
