// The records through the real engine: what they write is what they read back.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "storage/AccountRecord.h"
#include "storage/LedgerRecord.h"
#include "tests/engine/EngineSupport.h"

namespace {

constexpr char kInjection[] = "x', 0, 0, 0, 0, 0); DELETE FROM QLedger; --";

class RecordRoundTrip : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_EQ(engine->Open((folder / "Ledger.dat").c_str()), 1);
    accounts = new AccountRecord(engine, "QAccounts");
    ledger = new LedgerRecord(engine, "QLedger");
    accounts->CreateTable();
    ledger->CreateTable();
  }
  void TearDown() override {
    for (TableRecord* table : {static_cast<TableRecord*>(accounts), static_cast<TableRecord*>(ledger)}) {
      if (!table) continue;
      table->ClearRows();
      delete table;
    }
    EngineTest::TearDown();
  }
  LedgerRecord* Reselect(const char* where) {
    ledger->ClearRows();
    ledger->whereClause.Assign(where);
    ledger->Select();
    return static_cast<LedgerRecord*>(ledger->FirstRow());
  }
  int32_t AddTransaction(const char* date, const char* payee, float debit, float credit) {
    ledger->SetDate(date);
    ledger->SetPayee(payee);
    ledger->mDebit = debit;
    ledger->mCredit = credit;
    return ledger->Insert();
  }

  AccountRecord* accounts = nullptr;
  LedgerRecord* ledger = nullptr;
};

}  // namespace

TEST_F(RecordRoundTrip, TransactionsInsertSelectUpdateRemove) {
  ledger->mAccID = 1;
  ledger->mCheckNum = 1042;
  ASSERT_EQ(AddTransaction("01/15/2003", "Corner Grocery", 23.5f, 0), 1);
  ledger->mCheckNum = 0;
  ASSERT_EQ(AddTransaction("01/02/2003", "O'Brien", 0, 1500), 1);
  ASSERT_EQ(AddTransaction("01/20/2003", kInjection, 0.1f, 0), 1);
  ledger->mAccID = 2;
  ASSERT_EQ(AddTransaction("01/01/2003", "Other account", 1, 0), 1);

  ledger->CreateTable();  // refused: the table and its rows stay
  EXPECT_NE(std::strstr(engine->LastError(), "already exists"), nullptr) << engine->LastError();

  LedgerRecord* row = Reselect("mAccID = '1' ORDER BY mDate");  // a quoted number matches the integer column
  ASSERT_EQ(ledger->RowCount(), 3);
  EXPECT_STREQ(row->Payee(), "O'Brien");
  EXPECT_EQ(row->mCredit, 1500);
  auto* grocery = static_cast<LedgerRecord*>(ledger->RowAt(1));
  EXPECT_STREQ(grocery->Date(), "01/15/2003");
  EXPECT_EQ(grocery->mCheckNum, 1042);
  EXPECT_EQ(grocery->mDebit, 23.5f);
  EXPECT_EQ(grocery->mAccID, 1);
  EXPECT_GT(grocery->mTransID, 0);
  EXPECT_STREQ(static_cast<LedgerRecord*>(ledger->RowAt(2))->Payee(), kInjection);

  int32_t key = grocery->mTransID;
  grocery->SetPayee("Corner's Grocery");
  grocery->mStatus = StatusMarked;
  grocery->mDebit = 12.345f;
  EXPECT_EQ(grocery->Update(), 1);
  EXPECT_EQ(Query("SELECT mPayee, mDebit, mStatus FROM QLedger WHERE mTransID = " + std::to_string(key)),
            (std::vector<Row>{{"Corner's Grocery", "12.35", "3"}}));
  EXPECT_EQ(static_cast<LedgerRecord*>(ledger->RowAt(0))->Remove(), 1);
  Reselect("mStatus != '2'");
  EXPECT_EQ(ledger->RowCount(), 3);
  Reselect("");
  EXPECT_EQ(ledger->RowCount(), 3);
}

TEST_F(RecordRoundTrip, AmountsAreSinglePrecisionAtTwoDecimals) {
  Query("INSERT INTO QLedger VALUES (NULL, '01/31/2003', 0, 'Salary', 0, 10000000.37, 1, 0)");
  LedgerRecord* row = Reselect("");
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->mCredit, 10000000.0f);
  ASSERT_EQ(row->Update(), 1);
  EXPECT_EQ(Query("SELECT mCredit FROM QLedger"), (std::vector<Row>{{"10000000.0"}}));
  EXPECT_EQ(Reselect("")->mCredit, 10000000.0f);
}

TEST_F(RecordRoundTrip, AccountsWithNullTextsAndAUniqueName) {
  accounts->SetBankName("Household");
  accounts->mAccBalance = accounts->mInitialBalance = 250;
  ASSERT_EQ(accounts->Insert(), 1);
  EXPECT_EQ(accounts->Insert(), 0);  // the name is UNIQUE
  accounts->SetBankName("");
  ASSERT_EQ(accounts->Insert(), 1);  // no name is NULL, which UNIQUE allows twice
  ASSERT_EQ(accounts->Insert(), 1);
  EXPECT_EQ(Query("SELECT count(*) FROM QAccounts WHERE mBankName IS NULL AND mBankAccN IS NULL AND mLastBalance "
                  "IS NULL AND mStatementDate IS NULL"),
            (std::vector<Row>{{"2"}}));

  accounts->whereClause.Assign("mAccID = '1'");
  ASSERT_EQ(accounts->Select(), 1);
  auto* household = static_cast<AccountRecord*>(accounts->FirstRow());
  EXPECT_STREQ(household->BankName(), "Household");
  EXPECT_STREQ(household->BankAccN(), "");
  EXPECT_EQ(household->mInitialBalance, 250);
  household->mAccBalance = -26.5f;
  household->SetBankName("O'Brien's");
  household->SetBankAccN(kInjection);
  ASSERT_EQ(household->Update(), 1);

  accounts->ClearRows();
  accounts->Select();
  household = static_cast<AccountRecord*>(accounts->FirstRow());
  ASSERT_NE(household, nullptr);
  EXPECT_STREQ(household->BankName(), "O'Brien's");
  EXPECT_EQ(std::string(household->BankAccN()), std::string(kInjection).substr(0, 40));
  EXPECT_EQ(household->mAccBalance, -26.5f);
  EXPECT_EQ(household->Remove(), 1);
  EXPECT_EQ(Query("SELECT count(*) FROM QAccounts"), (std::vector<Row>{{"2"}}));
}
