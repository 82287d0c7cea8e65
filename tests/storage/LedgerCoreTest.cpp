// The changes of rows and balance: their statements in order, and that a
// refusal at any step rolls the whole change back with the balance as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/LedgerCore.h"
#include "storage/Money.h"
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

namespace {

// A status outside 0-3 would be stored and shown as a plain row; debug
// builds stop at the first write of one.
TEST(LedgerCoreDeathTest, UnknownStatusStopsADebugBuildBeforeItIsWritten) {
#ifdef NDEBUG
  GTEST_SKIP() << "asserts are compiled out";
#else
  const struct {
    const char* name;
    void (*write)(LedgerRecord&);
  } cases[] = {
      {"insert", [](LedgerRecord& row) { row.mStatus = 7, row.Insert(); }},
      {"set status", [](LedgerRecord& row) { SetRowStatus(&row, -1); }},
  };
  for (const auto& c : cases) {
    RecordingEngine engine;
    LedgerRecord row(&engine, "QLedger");
    row.SetPayee("Grocer");
    EXPECT_DEATH(c.write(row), "KnownStatus") << c.name;
  }
#endif
}

}  // namespace

namespace {

// A retyped initial balance that moved the running balance by a different
// amount, or moved one of them alone, would break balance = initial + rows.
TEST(LedgerCore, InitialBalanceMovesTheRunningBalanceByAsMuchOrNeither) {
  const int64_t beyond = kCentsLimit;  // the first amount single precision no longer keeps to the cent
  const struct {
    const char* name;
    float initial, balance;
    int64_t typed;
    bool done;
    float initialAfter, balanceAfter;
  } cases[] = {
      {"lowered below zero", 10.00f, 35.25f, -1000, true, -10.00f, 15.25f},
      {"the initial balance beyond the cent", 10.00f, -130'000.00f, beyond, false, 10.00f, -130'000.00f},
      {"the running balance pushed beyond the cent", 0.00f, 130'000.00f, 200'000, false, 0.00f, 130'000.00f},
      {"an unchanged value beyond the cent stays", 2e7f, 2e7f, 2'000'000'000, true, 2e7f, 2e7f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingEngine engine;
    AccountRecord account(&engine, "QAccounts");
    account.mInitialBalance = c.initial, account.mAccBalance = c.balance;
    EXPECT_EQ(SetInitialBalance(&account, c.typed), c.done);
    EXPECT_EQ(account.mInitialBalance, c.initialAfter);
    EXPECT_EQ(account.mAccBalance, c.balanceAfter);
  }
}

}  // namespace
