// The bank account and its balances: the QAccounts table and its rows.
#pragma once

#include <cstdint>

#include "storage/TableRecord.h"

class AccountRecord : public TableRecord {
 public:
  AccountRecord(DatabaseEngine* engine, const char* tableName);
  // Columns by position: mAccID, mAccBalance, mLastBalResult, mViewMode,
  // mBankName, mBankAccN, mLastBalance, mInitialBalance, mPostAmmount,
  // mEndStatement, mStatementDate; missing ones stay 0 or empty.
  AccountRecord(TableRecord* owner, int32_t columnCount, char** columnTexts, char** columnNames);

  TableRecord* CreateRow(int32_t columnCount, char** columnTexts, char** columnNames) override;
  void CreateTable() override;
  int32_t Insert() override;
  int32_t Remove() override;
  int32_t Update() override;

  // Null empties the field; an empty field is written to the table as NULL.
  void SetBankName(const char* text);     // at most 40 bytes
  void SetBankAccN(const char* text);     // at most 40 bytes
  void SetLastBalance(const char* text);  // at most 20 bytes
  const char* BankName() const { return mBankName; }
  const char* BankAccN() const { return mBankAccN; }
  const char* LastBalance() const { return mLastBalance; }

  int32_t mAccID = 0;
  float mAccBalance = 0;
  float mLastBalResult = 0;
  int32_t mViewMode = 0;
  float mInitialBalance = 0;
  float mPostAmmount = 0;
  float mEndStatement = 0;

 private:
  char mStatementDate[21] = {};
  char mBankName[41] = {};
  char mBankAccN[41] = {};
  char mLastBalance[21] = {};
};
