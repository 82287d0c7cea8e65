// The changes of rows and balance: their statements in order, and that a
// refusal at any step rolls the whole change back with the balance as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/LedgerCore.h"
#include "tests/storage/RecordingEngine.h"

namespace {

using Statements = std::vector<std::string>;

const char kInsert[] = "INSERT INTO QLedger VALUES ( NULL, '01/15/2003', 0, 'Grocer', 40.00, 0.00, 1, 0)";
const char kUpdate[] =
    "UPDATE QLedger SET  mDate = '01/15/2003', mCheckNum = 0, mPayee = 'Grocer', mDebit = 25.00, mCredit = 0.00, "
    "mAccID = 1, mStatus = 0 WHERE mTransID = 7";
const char kRemove[] = "DELETE FROM QLedger WHERE mTransID = 7";
const char kAccount[] = "UPDATE QAccounts SET";

enum class Op { Add, Change, Remove };

struct Case {
  const char* name;
  Op op;
  std::string refuse;     // the statement the database turns away; empty for none
  float balanceBefore;
  LedgerResult result;
  float balanceAfter;
  Statements sent;        // each statement's beginning
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class LedgerChangeTest : public ::testing::TestWithParam<Case> {};

TEST_P(LedgerChangeTest, WritesRowAndBalanceTogetherOrNeither) {
  const Case& c = GetParam();
  RecordingEngine engine;
  engine.refuse = c.refuse;
  AccountRecord account(&engine, "QAccounts");
  account.mAccID = 1;
  account.mAccBalance = c.balanceBefore;
  LedgerRecord table(&engine, "QLedger");
  table.mTransID = 7;
  table.mAccID = 1;
  table.SetDate("01/15/2003");
  table.SetPayee("Grocer");
  table.mDebit = 40;
  LedgerResult result = LedgerResult::Done;
  switch (c.op) {
    case Op::Add: result = AddRow(&table, &account); break;
    case Op::Change:
      table.mDebit = 25;
      result = ChangeRow(&table, &account, 40, 0);
      break;
    case Op::Remove: result = RemoveRow(&table, &account); break;
  }
  EXPECT_EQ(result, c.result);
  EXPECT_EQ(account.mAccBalance, c.balanceAfter);
  ASSERT_EQ(engine.statements.size(), c.sent.size());
  for (size_t i = 0; i < c.sent.size(); ++i) EXPECT_TRUE(engine.statements[i].starts_with(c.sent[i])) << engine.statements[i];
}

INSTANTIATE_TEST_SUITE_P(
    EachChange, LedgerChangeTest,
    ::testing::Values(
        Case{"Add", Op::Add, "", 100, LedgerResult::Done, 60, {"BEGIN", kInsert, kAccount, "COMMIT"}},
        Case{"AddRefused", Op::Add, "INSERT", 100, LedgerResult::Refused, 100, {"BEGIN", kInsert, "ROLLBACK"}},
        Case{"AddAccountRefused", Op::Add, kAccount, 100, LedgerResult::Refused, 100,
             {"BEGIN", kInsert, kAccount, "ROLLBACK"}},
        Case{"AddCommitRefused", Op::Add, "COMMIT", 100, LedgerResult::Refused, 100,
             {"BEGIN", kInsert, kAccount, "COMMIT", "ROLLBACK"}},
        Case{"AddBeyondCents", Op::Add, "", -131050, LedgerResult::BeyondCents, -131050,
             {"BEGIN", kInsert, "ROLLBACK"}},
        Case{"Change", Op::Change, "", 100, LedgerResult::Done, 115, {"BEGIN", kUpdate, kAccount, "COMMIT"}},
        Case{"ChangeRefused", Op::Change, "UPDATE QLedger", 100, LedgerResult::Refused, 100,
             {"BEGIN", kUpdate, "ROLLBACK"}},
        Case{"ChangeCommitRefused", Op::Change, "COMMIT", 100, LedgerResult::Refused, 100,
             {"BEGIN", kUpdate, kAccount, "COMMIT", "ROLLBACK"}},
        Case{"Remove", Op::Remove, "", 100, LedgerResult::Done, 140, {"BEGIN", kRemove, kAccount, "COMMIT"}},
        Case{"RemoveRefused", Op::Remove, "DELETE", 100, LedgerResult::Refused, 100, {"BEGIN", kRemove, "ROLLBACK"}},
        Case{"RemoveBeyondCents", Op::Remove, "", 131050, LedgerResult::BeyondCents, 131050,
             {"BEGIN", kRemove, "ROLLBACK"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct PlanCase {
  const char* name;
  std::string refuse;
  float balanceBefore;
  PlanResult::What what;
  size_t index;
  float balanceAfter;
  std::vector<std::pair<size_t, size_t>> progress;
};

void PrintTo(const PlanCase& c, std::ostream* out) { *out << c.name; }

class LedgerPlanTest : public ::testing::TestWithParam<PlanCase> {};

// A statement of 1500 debits of 0.01 and two matched rows cleared.
TEST_P(LedgerPlanTest, AppliesAllOrNothingAndLeavesTheWorkRowAsItWas) {
  const PlanCase& c = GetParam();
  RecordingEngine engine;
  engine.refuse = c.refuse;
  AccountRecord account(&engine, "QAccounts");
  account.mAccID = 1;
  account.mAccBalance = c.balanceBefore;
  LedgerRecord table(&engine, "QLedger");
  table.SetPayee("typed");
  std::vector<PlannedRow> add(1500);
  for (size_t i = 0; i < add.size(); ++i) {
    add[i].payee = "Row " + std::to_string(i);
    add[i].debit = 0.01f;
    add[i].status = StatusCleared;
  }
  const std::vector<int32_t> clear = {4, 9};
  std::vector<std::pair<size_t, size_t>> heard;
  PlanResult result =
      ApplyPlan(&table, &account, add, clear, [&](size_t done, size_t total) { heard.emplace_back(done, total); });

  EXPECT_EQ(result.what, c.what);
  if (c.what != PlanResult::Done) {
    EXPECT_EQ(result.index, c.index);
  }
  EXPECT_EQ(account.mAccBalance, c.balanceAfter);
  EXPECT_EQ(heard, c.progress);
  EXPECT_EQ(engine.statements.front(), "BEGIN IMMEDIATE");
  EXPECT_EQ(engine.statements[1], "UPDATE QLedger SET mStatus = 1 WHERE mTransID = 4");
  EXPECT_EQ(engine.statements.back(), c.what == PlanResult::Done ? "COMMIT" : "ROLLBACK");
  // The next New must not store the statement's status or payee.
  EXPECT_EQ(table.mStatus, StatusPlain);
  EXPECT_STREQ(table.Payee(), "typed");
}

INSTANTIATE_TEST_SUITE_P(
    EachOutcome, LedgerPlanTest,
    ::testing::Values(
        PlanCase{"Applied", "", 100, PlanResult::Done, 0, 85, {{1000, 1500}, {1500, 1500}}},
        PlanCase{"ClearRefused", "UPDATE QLedger SET mStatus = 1 WHERE mTransID = 9", 100, PlanResult::ClearRefused,
                 1, 100, {}},
        PlanCase{"AddRefused", "INSERT INTO QLedger VALUES ( NULL, '', 0, 'Row 1200'", 100, PlanResult::AddRefused,
                 1200, 100, {{1000, 1500}}},
        PlanCase{"BeyondCents", "", -131060, PlanResult::BeyondCents, 0, -131060, {{1000, 1500}}},
        PlanCase{"CommitRefused", "COMMIT", 100, PlanResult::CommitRefused, 0, 100, {{1000, 1500}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
