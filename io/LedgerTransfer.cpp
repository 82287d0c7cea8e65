#include "io/LedgerTransfer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>

#include "io/Fields.h"
#include "io/Matching.h"
#include "storage/CalendarDate.h"
#include "storage/LedgerBackup.h"
#include "storage/LedgerCore.h"
#include "storage/Money.h"

namespace {

const char kLedgerFile[] = "Ledger.dat";

// One for the process, as in the register: loaded modules stay loaded.
ComponentRegistry registry;

// What makes two rows the same transaction for the duplicate check.
std::string RowKey(const std::string& date, const std::string& payee, float debit, float credit, int32_t checkNum) {
  std::string key = date;
  key += '\x1f';
  key += payee;
  key += '\x1f';
  key += MoneyText(debit);
  key += '\x1f';
  key += MoneyText(credit);
  key += '\x1f';
  key += std::to_string(checkNum);
  return key;
}

struct HeldRow {
  int32_t transID = 0;
  int32_t status = 0;
  PlannedRow row;
};

}  // namespace

LedgerFile::~LedgerFile() {
  if (ledger) {
    ledger->ClearRows();
    delete ledger;
  }
  if (accounts) {
    accounts->ClearRows();
    delete accounts;
  }
  if (engine && !borrowed) {
    engine->Close();
    engine->Release();
  }
}

void LedgerFile::Borrow(DatabaseEngine* openEngine, AccountRecord* currentAccount) {
  borrowed = true;
  engine = openEngine;
  account = currentAccount;
  ledger = new LedgerRecord(engine, "QLedger");
}

std::string LedgerFile::Open() {
  // Opening would create an empty database; a folder without a ledger is
  // reported instead.
  std::error_code failed;
  if (!std::filesystem::exists(kLedgerFile, failed)) return "there is no Ledger.dat in this folder; create the account in the register first";
  engine = LoadDatabaseEngine(registry);
  if (!engine) return "the database engine REDivizud.DLL is missing beside the program";
  if (engine->Open(kLedgerFile) == 0) {
    std::string message = "can not open Ledger.dat: it is open in the register or another program, or it is not a ledger";
    if (engine->LastError()[0]) message += std::string(" (") + engine->LastError() + ")";
    engine->Release();
    engine = nullptr;
    return message;
  }
  accounts = new AccountRecord(engine, "QAccounts");
  ledger = new LedgerRecord(engine, "QLedger");
  accounts->Select();
  account = static_cast<AccountRecord*>(accounts->FirstRow());
  if (!account) return "Ledger.dat has no account; create it in the register first";
  return {};
}

ImportPlan PlanImport(LedgerFile& file, const std::vector<StatementRow>& rows, const std::string& datePattern,
                      const MatchOptions& match) {
  ImportPlan plan;
  LedgerRecord* ledger = file.Ledger();
  SelectAccountRows(ledger, file.Account()->mAccID);
  // The account's rows as they are, and by their duplicate key the ones not
  // yet taken (last to first, so that the first added is taken first).
  std::vector<HeldRow> heldRows;
  std::map<std::string, std::vector<size_t>> held;
  for (TableRecord* row = ledger->FirstRow(); row; row = row->nextRow) {
    auto* stored = static_cast<LedgerRecord*>(row);
    HeldRow h;
    h.transID = stored->mTransID;
    h.status = stored->mStatus;
    h.row.checkNum = stored->mCheckNum;
    h.row.date = stored->Date();
    h.row.payee = stored->Payee();
    h.row.debit = stored->mDebit;
    h.row.credit = stored->mCredit;
    h.row.status = stored->mStatus;
    heldRows.push_back(std::move(h));
  }
  ledger->ClearRows();
  for (size_t i = heldRows.size(); i-- > 0;) {
    const PlannedRow& r = heldRows[i].row;
    held[RowKey(r.date, r.payee, r.debit, r.credit, r.checkNum)].push_back(i);
  }
  std::vector<bool> taken(heldRows.size(), false);

  // The table object is the work row, as it is for New; its setters keep the
  // register's limits.
  std::vector<PlannedRow> fresh;
  std::vector<MatchSide> freshSides;
  for (const StatementRow& row : rows) {
    auto fail = [&](std::string message) {
      plan.errorLine = row.line;
      plan.error = std::move(message);
      plan.add.clear();
      plan.matches.clear();
      return plan;
    };
    if (Trim(row.payee).empty()) return fail("the transaction has no payee");
    if (!IsUtf8(row.payee)) return fail("the payee is not UTF-8 text");
    if (row.cents == 0) return fail("the amount is 0; the register holds a debit or a credit");
    std::optional<float> amount = StoredAmount(row.cents < 0 ? -row.cents : row.cents);
    if (!amount)
      return fail("the amount " + FormatCents(row.cents) +
                  " is too large: the register keeps amounts to the cent only below 131072.00");
    PlannedRow planned;
    planned.line = row.line;
    planned.checkNum = row.checkNum;
    ledger->SetDate(FormatDate(row.date, datePattern).c_str());
    ledger->SetPayee(row.payee.c_str());
    planned.date = ledger->Date();
    planned.payee = ledger->Payee();
    (row.cents < 0 ? planned.debit : planned.credit) = *amount;
    planned.status = row.status;
    std::string key = RowKey(planned.date, planned.payee, planned.debit, planned.credit, planned.checkNum);
    auto found = held.find(key);
    if (found != held.end() && !found->second.empty()) {
      taken[found->second.back()] = true;
      found->second.pop_back();
      ++plan.duplicates;
      continue;
    }
    freshSides.push_back({row.date, row.checkNum, planned.payee, row.cents});
    fresh.push_back(std::move(planned));
  }

  std::vector<long> matched(fresh.size(), -1);
  if (match.enabled && !fresh.empty()) {
    // Rows already taken as exact duplicates are out of reach.
    std::vector<MatchSide> ledgerSides(heldRows.size());
    for (size_t i = 0; i < heldRows.size(); ++i) {
      if (taken[i]) continue;
      const PlannedRow& r = heldRows[i].row;
      std::optional<CalendarDate> date = ParseDate(r.date, datePattern);
      if (!date) date = ParseDate(r.date, "");
      ledgerSides[i] = {date, r.checkNum, r.payee, ToCents(r.credit) - ToCents(r.debit)};
    }
    matched = MatchTransactions(freshSides, ledgerSides, match.days);
  }
  for (size_t i = 0; i < fresh.size(); ++i) {
    if (matched[i] < 0) {
      plan.add.push_back(std::move(fresh[i]));
      continue;
    }
    const HeldRow& h = heldRows[static_cast<size_t>(matched[i])];
    PlannedMatch m{std::move(fresh[i]), h.row, h.transID, h.status == StatusPlain};
    plan.cleared += m.clears ? 1 : 0;
    plan.matches.push_back(std::move(m));
  }
  return plan;
}

std::string ApplyImport(LedgerFile& file, const ImportPlan& plan, const Progress& progress) {
  AccountRecord* account = file.Account();
  const float oldBalance = account->mAccBalance;
  if (plan.add.empty() && plan.cleared == 0) return {};
  // An import of the wrong file cannot be taken back row by row.
  if (std::string problem = BackupLedger(file.Engine()); !problem.empty()) return BackupRefusal(problem);
  // Matched rows do not move the balance; a plain one is now cleared.
  std::vector<int32_t> clear;
  std::vector<const PlannedMatch*> clearing;
  for (const PlannedMatch& match : plan.matches) {
    if (!match.clears) continue;
    clear.push_back(match.transID);
    clearing.push_back(&match);
  }
  const PlanResult result = ApplyPlan(file.Ledger(), account, plan.add, clear, progress);
  switch (result.what) {
    case PlanResult::Done: return {};
    case PlanResult::BeginRefused: return "Ledger.dat refused the change";
    case PlanResult::ClearRefused:
      return "Ledger.dat refused to mark the row matched by line " +
             std::to_string(clearing[result.index]->line.line) + "; nothing was changed";
    case PlanResult::AddRefused:
      return "Ledger.dat refused the transaction from line " + std::to_string(plan.add[result.index].line) +
             "; nothing was added";
    case PlanResult::BeyondCents: return BalanceProblem(oldBalance, result.change) + "; nothing was added";
    case PlanResult::CommitRefused: break;
  }
  return "Ledger.dat refused the change; nothing was added";
}

int64_t ImportChange(const ImportPlan& plan) {
  int64_t change = 0;
  for (const PlannedRow& row : plan.add) change = ChangeAfterRow(change, row.debit, row.credit);
  return change;
}

std::string BalanceProblem(float balance, int64_t change) {
  const int64_t after = AddCents(ToCents(balance), change);
  if (change == 0 || KeepsEveryCent(after)) return {};
  return "the balance would come to " + FormatCents(after) +
         ", and the register keeps balances to the cent only between -131072.00 and 131072.00";
}

std::vector<ExportRow> RowsForExport(LedgerFile& file, [[maybe_unused]] const std::string& datePattern) {
  LedgerRecord* ledger = file.Ledger();
  SelectAccountRows(ledger, file.Account()->mAccID);
  struct Keyed {
    int32_t day;
    ExportRow row;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(static_cast<size_t>(ledger->RowCount()));
  for (TableRecord* row = ledger->FirstRow(); row; row = row->nextRow) {
    auto* stored = static_cast<LedgerRecord*>(row);
    keyed.push_back({CalendarDay(stored->Date()),
                     {stored->mCheckNum, stored->Date(), stored->Payee(), ToCents(stored->mCredit),
                      ToCents(stored->mDebit), stored->mStatus}});
  }
  ledger->ClearRows();
  // The register's order; stable, so rows of one day keep the order they were added in.
  std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    return DateBefore(a.day, a.row.date, b.day, b.row.date);
  });
  std::vector<ExportRow> rows;
  rows.reserve(keyed.size());
  for (Keyed& k : keyed) rows.push_back(std::move(k.row));
  return rows;
}
