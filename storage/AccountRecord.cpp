#include "storage/AccountRecord.h"

#include <new>

#include "storage/TextConvert.h"
#include "storage/TextEncoding.h"

namespace {

// An empty text is stored as NULL, any other as a quoted literal.
TextBuffer& AppendTextValue(TextBuffer& sql, const char* text) {
  if (!text[0]) return sql.Append("NULL");
  return sql.Append("'").AppendQuoted(text).Append("'");
}

}  // namespace

AccountRecord::AccountRecord(DatabaseEngine* engine, const char* tableName) : TableRecord(engine, tableName) {}

AccountRecord::AccountRecord(TableRecord* owner, int32_t columnCount, char** columnTexts, char** columnNames)
    : TableRecord(owner, columnCount, columnTexts, columnNames) {
  // Texts an older build stored in Windows-1252 are read as UTF-8 (LedgerRecord).
  for (int32_t i = 0; columnTexts && i < columnCount && i < 11; ++i) {
    const char* text = columnTexts[i];
    switch (i) {
      case 0: mAccID = TextToInt(text); break;
      case 1: mAccBalance = TextToReal(text); break;
      case 2: mLastBalResult = TextToReal(text); break;
      case 3: mViewMode = TextToInt(text); break;
      case 4: CopyStoredText(mBankName, text, sizeof mBankName - 1); break;
      case 5: CopyStoredText(mBankAccN, text, sizeof mBankAccN - 1); break;
      case 6: CopyStoredText(mLastBalance, text, sizeof mLastBalance - 1); break;
      case 7: mInitialBalance = TextToReal(text); break;
      case 8: mPostAmmount = TextToReal(text); break;
      case 9: mEndStatement = TextToReal(text); break;
      case 10: CopyStoredText(mStatementDate, text, sizeof mStatementDate - 1); break;
    }
  }
}

TableRecord* AccountRecord::CreateRow(int32_t columnCount, char** columnTexts, char** columnNames) {
  return new (std::nothrow) AccountRecord(this, columnCount, columnTexts, columnNames);
}

void AccountRecord::SetBankName(const char* text) { CopyText(mBankName, text, sizeof mBankName - 1); }

void AccountRecord::SetBankAccN(const char* text) { CopyText(mBankAccN, text, sizeof mBankAccN - 1); }

void AccountRecord::SetLastBalance(const char* text) { CopyText(mLastBalance, text, sizeof mLastBalance - 1); }

void AccountRecord::CreateTable() {
  TextBuffer sql;
  sql.Assign("CREATE TABLE ")
      .Append(tableName.Text())
      .Append(" (mAccID INTEGER PRIMARY KEY,mAccBalance FLOAT,mLastBalResult FLOAT,mViewMode INTEGER,"
              "mBankName VARCHAR(40) UNIQUE,mBankAccN VARCHAR(40),mLastBalance VARCHAR(20), "
              "mInitialBalance FLOAT, mPostAmmount FLOAT,mEndStatement FLOAT, mStatementDate VARCHAR(20))");
  Execute(sql.Text());  // refused harmlessly when the table exists
}

int32_t AccountRecord::Insert() {
  TextBuffer sql;
  sql.SetPrecision(2);
  sql.Assign("INSERT INTO ")
      .Append(tableName.Text())
      .Append(" VALUES (NULL, ")
      .AppendReal(mAccBalance)
      .Append(", ")
      .AppendReal(mLastBalResult)
      .Append(", ")
      .AppendInt(mViewMode)
      .Append(", ");
  AppendTextValue(sql, mBankName).Append(", ");
  AppendTextValue(sql, mBankAccN).Append(", ");
  AppendTextValue(sql, mLastBalance).Append(", ");
  sql.AppendReal(mInitialBalance).Append(", ").AppendReal(mPostAmmount).Append(", ").AppendReal(mEndStatement);
  AppendTextValue(sql.Append(", "), mStatementDate).Append(")");
  return Execute(sql.Text());
}

int32_t AccountRecord::Update() {
  TextBuffer sql;
  sql.SetPrecision(2);
  sql.Assign("UPDATE ")
      .Append(tableName.Text())
      .Append(" SET mAccBalance = ")
      .AppendReal(mAccBalance)
      .Append(", mLastBalResult = ")
      .AppendReal(mLastBalResult)
      .Append(", mViewMode = ")
      .AppendInt(mViewMode);
  AppendTextValue(sql.Append(", mBankName = "), mBankName);
  AppendTextValue(sql.Append(", mBankAccN = "), mBankAccN);
  AppendTextValue(sql.Append(", mLastBalance = "), mLastBalance);
  sql.Append(", mInitialBalance = ")
      .AppendReal(mInitialBalance)
      .Append(", mPostAmmount = ")
      .AppendReal(mPostAmmount)
      .Append(", mEndStatement = ")
      .AppendReal(mEndStatement);
  AppendTextValue(sql.Append(", mStatementDate = "), mStatementDate).Append(" WHERE mAccID = ").AppendInt(mAccID);
  return Execute(sql.Text());
}

int32_t AccountRecord::Remove() {
  TextBuffer sql;
  sql.Assign("DELETE FROM ").Append(tableName.Text()).Append(" WHERE mAccID = ").AppendInt(mAccID);
  return Execute(sql.Text());
}
