// The exact statements the two record types send, and how they read rows.
#include <gtest/gtest.h>

#include <string>

#include "storage/AccountRecord.h"
#include "storage/LedgerRecord.h"
#include "tests/storage/RecordingEngine.h"

namespace {

void FillGrocery(LedgerRecord& ledger) {
  ledger.SetDate("01/15/2003");
  ledger.mCheckNum = 1042;
  ledger.SetPayee("Corner Grocery");
  ledger.mDebit = 23.5f;
  ledger.mAccID = 1;
}

}  // namespace

TEST(LedgerRecord, SendsItsStatements) {
  RecordingEngine engine;
  LedgerRecord ledger(&engine, "QLedger");
  ledger.CreateTable();
  EXPECT_EQ(engine.Last(),
            "CREATE TABLE QLedger (mTransID INTEGER PRIMARY KEY,mDate VARCHAR(20),mCheckNum INTEGER,"
            "mPayee VARCHAR(80),mDebit FLOAT,mCredit FLOAT,mAccID INTEGER,mStatus INTEGER)");
  FillGrocery(ledger);
  EXPECT_EQ(ledger.Insert(), 1);
  EXPECT_EQ(engine.Last(), "INSERT INTO QLedger VALUES ( NULL, '01/15/2003', 1042, 'Corner Grocery', 23.50, 0.00, 1, 0)");
  ledger.mTransID = 7;
  EXPECT_EQ(ledger.Update(), 1);
  EXPECT_EQ(engine.Last(),
            "UPDATE QLedger SET  mDate = '01/15/2003', mCheckNum = 1042, mPayee = 'Corner Grocery', mDebit = 23.50, "
            "mCredit = 0.00, mAccID = 1, mStatus = 0 WHERE mTransID = 7");
  EXPECT_EQ(ledger.Remove(), 1);
  EXPECT_EQ(engine.Last(), "DELETE FROM QLedger WHERE mTransID = 7");

  engine.result = 0;  // a refusal is passed on
  EXPECT_EQ(ledger.Update(), 0);
}

TEST(LedgerRecord, WritesValuesSafely) {
  RecordingEngine engine;
  LedgerRecord ledger(&engine, "QLedger");
  ledger.SetDate("01/15/2003");
  ledger.mDebit = 23.5f;
  EXPECT_EQ(ledger.Insert(), 0);  // no payee: nothing is sent
  EXPECT_TRUE(engine.statements.empty());

  ledger.SetDate("");
  ledger.SetPayee("O'Brien");
  ledger.mCheckNum = -3;
  ledger.mDebit = 12.345f;
  ledger.mCredit = -0.5f;
  ledger.Insert();
  EXPECT_EQ(engine.Last(), "INSERT INTO QLedger VALUES ( NULL, '', -3, 'O''Brien', 12.35, -0.50, 0, 0)");
  ledger.Update();
  EXPECT_NE(engine.Last().find("mPayee = 'O''Brien'"), std::string::npos);
}

TEST(LedgerRecord, ReadsColumnsByPosition) {
  RecordingEngine engine;
  LedgerRecord ledger(&engine, "QLedger");
  engine.nextRows = {{"7", "01/15/2003", "0", "Rent", "500", "0", "1", "2", "extra"},
                     {"8", std::nullopt, std::nullopt, std::nullopt, "1.25"},
                     {std::string(25, 'd'), std::string(25, 'd'), "x", std::string(100, 'p')}};
  ASSERT_EQ(ledger.Select(), 3);
  auto* rent = static_cast<LedgerRecord*>(ledger.RowAt(0));
  EXPECT_EQ(rent->mTransID, 7);
  EXPECT_STREQ(rent->Date(), "01/15/2003");
  EXPECT_EQ(rent->mCheckNum, 0);
  EXPECT_STREQ(rent->Payee(), "Rent");
  EXPECT_EQ(rent->mDebit, 500);
  EXPECT_EQ(rent->mCredit, 0);
  EXPECT_EQ(rent->mAccID, 1);
  EXPECT_EQ(rent->mStatus, StatusReconciled);

  auto* partial = static_cast<LedgerRecord*>(ledger.RowAt(1));
  EXPECT_STREQ(partial->Date(), "");
  EXPECT_STREQ(partial->Payee(), "");
  EXPECT_EQ(partial->mCheckNum, 0);
  EXPECT_EQ(partial->mDebit, 1.25f);
  EXPECT_EQ(partial->mAccID, 0);

  auto* longTexts = static_cast<LedgerRecord*>(ledger.RowAt(2));
  EXPECT_EQ(std::string(longTexts->Date()), std::string(20, 'd'));
  EXPECT_EQ(std::string(longTexts->Payee()), std::string(80, 'p'));
  longTexts->SetPayee(nullptr);
  EXPECT_STREQ(longTexts->Payee(), "");
  ledger.ClearRows();
}

// Fetched rows keep their texts packed side by side: a longer text set on
// one row must not run into the next row's texts, nor the shorter one keep a tail.
TEST(LedgerRecord, SettingAFetchedRowsTextLeavesItsNeighboursAlone) {
  struct Case {
    const char* name;
    bool date;  // else the payee
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"longer payee", false, std::string(100, 'q'), std::string(80, 'q')},
      {"longer date", true, "12/31/2025 and more text", "12/31/2025 and more "},
      {"shorter payee", false, "X", "X"},
      {"empty date", true, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingEngine engine;
    LedgerRecord ledger(&engine, "QLedger");
    for (int fill = 0; fill < 2; ++fill) {  // the second fill reuses the first one's room
      engine.nextRows = {{"1", "1/2/2003", "0", "Rent"}, {"2", "01/15/2003", "0", "Corner Grocery"}};
      ASSERT_EQ(ledger.Select(), 2);
      auto* first = static_cast<LedgerRecord*>(ledger.RowAt(0));
      auto* second = static_cast<LedgerRecord*>(ledger.RowAt(1));
      if (c.date) {
        first->SetDate(c.text.c_str());
        EXPECT_EQ(first->Date(), c.expected);
        EXPECT_STREQ(first->Payee(), "Rent");
      } else {
        first->SetPayee(c.text.c_str());
        EXPECT_EQ(first->Payee(), c.expected);
        EXPECT_STREQ(first->Date(), "1/2/2003");
      }
      EXPECT_STREQ(second->Date(), "01/15/2003");
      EXPECT_STREQ(second->Payee(), "Corner Grocery");
      ledger.ClearRows();
    }
  }
}

TEST(AccountRecord, SendsItsStatements) {
  RecordingEngine engine;
  AccountRecord account(&engine, "QAccounts");
  account.CreateTable();
  EXPECT_EQ(engine.Last(),
            "CREATE TABLE QAccounts (mAccID INTEGER PRIMARY KEY,mAccBalance FLOAT,mLastBalResult FLOAT,"
            "mViewMode INTEGER,mBankName VARCHAR(40) UNIQUE,mBankAccN VARCHAR(40),mLastBalance VARCHAR(20), "
            "mInitialBalance FLOAT, mPostAmmount FLOAT,mEndStatement FLOAT, mStatementDate VARCHAR(20))");
  account.SetBankName("Household");
  account.mAccBalance = account.mInitialBalance = 250;
  EXPECT_EQ(account.Insert(), 1);
  EXPECT_EQ(engine.Last(),
            "INSERT INTO QAccounts VALUES (NULL, 250.00, 0.00, 0, 'Household', NULL, NULL, 250.00, 0.00, 0.00, NULL)");
  account.mAccID = 1;
  account.mAccBalance = 226.5f;
  EXPECT_EQ(account.Update(), 1);
  EXPECT_EQ(engine.Last(),
            "UPDATE QAccounts SET mAccBalance = 226.50, mLastBalResult = 0.00, mViewMode = 0, mBankName = 'Household', "
            "mBankAccN = NULL, mLastBalance = NULL, mInitialBalance = 250.00, mPostAmmount = 0.00, "
            "mEndStatement = 0.00, mStatementDate = NULL WHERE mAccID = 1");
  EXPECT_EQ(account.Remove(), 1);
  EXPECT_EQ(engine.Last(), "DELETE FROM QAccounts WHERE mAccID = 1");

  account.SetBankName("");
  account.SetBankAccN("Joe's");
  account.SetLastBalance("1'2");
  account.mAccBalance = -12.345f;
  account.Insert();
  EXPECT_EQ(engine.Last(),
            "INSERT INTO QAccounts VALUES (NULL, -12.35, 0.00, 0, NULL, 'Joe''s', '1''2', 250.00, 0.00, 0.00, NULL)");
}

TEST(AccountRecord, ReadsColumnsByPosition) {
  RecordingEngine engine;
  AccountRecord accounts(&engine, "QAccounts");
  engine.nextRows = {
      {"1", "226.5", "0", "0", "Household", std::nullopt, std::nullopt, "250", "0", "0", std::nullopt},
      {"2", "1", "2", "3", std::string(50, 'n'), std::string(45, 'a'), "last", "4", "5", "6", "12/31/2003", "x"},
      {"3", "9"}};
  ASSERT_EQ(accounts.Select(), 3);
  auto* household = static_cast<AccountRecord*>(accounts.FirstRow());
  EXPECT_EQ(household->mAccID, 1);
  EXPECT_EQ(household->mAccBalance, 226.5f);
  EXPECT_STREQ(household->BankName(), "Household");
  EXPECT_STREQ(household->BankAccN(), "");
  EXPECT_EQ(household->mInitialBalance, 250);

  auto* full = static_cast<AccountRecord*>(accounts.RowAt(1));
  EXPECT_EQ(full->mLastBalResult, 2);
  EXPECT_EQ(full->mViewMode, 3);
  EXPECT_EQ(std::string(full->BankName()), std::string(40, 'n'));
  EXPECT_EQ(std::string(full->BankAccN()), std::string(40, 'a'));
  EXPECT_STREQ(full->LastBalance(), "last");
  EXPECT_EQ(full->mPostAmmount, 5);
  EXPECT_EQ(full->mEndStatement, 6);
  full->mAccBalance = 1;
  full->Update();  // the statement date, read from the row, is written back
  EXPECT_NE(engine.Last().find("mStatementDate = '12/31/2003' WHERE mAccID = 2"), std::string::npos);

  auto* sparse = static_cast<AccountRecord*>(accounts.RowAt(2));
  EXPECT_EQ(sparse->mAccBalance, 9);
  EXPECT_EQ(sparse->mInitialBalance, 0);
  EXPECT_STREQ(sparse->BankName(), "");
  accounts.ClearRows();
}
