#include "storage/LedgerRecord.h"

#include <cassert>
#include <new>

#include <cstdlib>
#include <cstring>

#include "storage/TextConvert.h"
#include "storage/TextEncoding.h"

const char* StatusLetter(int32_t status) {
  switch (status) {
    case StatusCleared: return "C";
    case StatusReconciled: return "R";
    case StatusMarked: return "B";
    default: return "";
  }
}

LedgerRecord::LedgerRecord(DatabaseEngine* engine, const char* tableName) : TableRecord(engine, tableName) {}

char LedgerRecord::sNoText[1] = {};

LedgerRecord::~LedgerRecord() {
  if (OwnsTexts()) std::free(mDate);
}

bool LedgerRecord::OwnTexts() {
  if (OwnsTexts()) return true;
  char* block = static_cast<char*>(std::malloc(kOwnBlock));
  if (block == nullptr) return false;
  std::memcpy(block, mDate, std::strlen(mDate) + 1);
  std::memcpy(block + kPayeeAt, mPayee, std::strlen(mPayee) + 1);
  mDate = block;
  mPayee = block + kPayeeAt;
  return true;
}

LedgerRecord::LedgerRecord(TableRecord* owner, int32_t columnCount, char** columnTexts, char** columnNames)
    : TableRecord(owner, columnCount, columnTexts, columnNames) {
  char date[21] = {};
  char payee[81] = {};
  // An older build on Windows stored its texts in Windows-1252; they are read
  // as UTF-8 here and written so only when the row itself is written again.
  for (int32_t i = 0; columnTexts && i < columnCount && i < 8; ++i) {
    const char* text = columnTexts[i];
    switch (i) {
      case 0: mTransID = TextToInt(text); break;
      case 1: CopyStoredText(date, text, sizeof date - 1); break;
      case 2: mCheckNum = TextToInt(text); break;
      case 3: CopyStoredText(payee, text, sizeof payee - 1); break;
      case 4: mDebit = TextToReal(text); break;
      case 5: mCredit = TextToReal(text); break;
      case 6: mAccID = TextToInt(text); break;
      case 7: mStatus = TextToInt(text); break;
    }
  }
  // Packed beside the row: a refresh then holds each text's bytes, not a field's full width.
  size_t dateBytes = std::strlen(date) + 1;
  size_t payeeBytes = std::strlen(payee) + 1;
  char* texts = owner != nullptr ? owner->RowText(dateBytes + payeeBytes) : nullptr;
  if (texts != nullptr) {
    std::memcpy(texts, date, dateBytes);
    std::memcpy(texts + dateBytes, payee, payeeBytes);
    mDate = texts;
    mPayee = texts + dateBytes;
  } else if (dateBytes + payeeBytes > 2) {
    SetDate(date);
    SetPayee(payee);
  }
}

TableRecord* LedgerRecord::CreateRow(int32_t columnCount, char** columnTexts, char** columnNames) {
  return NewRow<LedgerRecord>(columnCount, columnTexts, columnNames);
}

void LedgerRecord::SetDate(const char* text) {
  if (OwnTexts()) CopyText(mDate, text, kPayeeAt - 2);
}

void LedgerRecord::SetPayee(const char* text) {
  if (OwnTexts()) CopyText(mPayee, text, kOwnBlock - kPayeeAt - 1);
}

void LedgerRecord::CreateTable() {
  TextBuffer sql;
  sql.Assign("CREATE TABLE ")
      .Append(tableName.Text())
      .Append(" (mTransID INTEGER PRIMARY KEY,mDate VARCHAR(20),mCheckNum INTEGER,mPayee VARCHAR(80),"
              "mDebit FLOAT,mCredit FLOAT,mAccID INTEGER,mStatus INTEGER)");
  Execute(sql.Text());  // refused harmlessly when the table exists
}

int32_t LedgerRecord::Insert() {
  if (!mPayee[0]) return 0;
  // Any other value would be stored as it is and shown as a plain row.
  assert(KnownStatus(mStatus));
  TextBuffer sql;
  sql.SetPrecision(2);
  sql.Assign("INSERT INTO ")
      .Append(tableName.Text())
      .Append(" VALUES ( NULL, '")
      .AppendQuoted(mDate)
      .Append("', ")
      .AppendInt(mCheckNum)
      .Append(", '")
      .AppendQuoted(mPayee)
      .Append("', ")
      .AppendReal(mDebit)
      .Append(", ")
      .AppendReal(mCredit)
      .Append(", ")
      .AppendInt(mAccID)
      .Append(", ")
      .AppendInt(mStatus)
      .Append(")");
  return Execute(sql.Text());
}

int32_t LedgerRecord::Update() {
  TextBuffer sql;
  sql.SetPrecision(2);
  sql.Assign("UPDATE ")
      .Append(tableName.Text())
      .Append(" SET  mDate = '")
      .AppendQuoted(mDate)
      .Append("', mCheckNum = ")
      .AppendInt(mCheckNum)
      .Append(", mPayee = '")
      .AppendQuoted(mPayee)
      .Append("', mDebit = ")
      .AppendReal(mDebit)
      .Append(", mCredit = ")
      .AppendReal(mCredit)
      .Append(", mAccID = ")
      .AppendInt(mAccID)
      .Append(", mStatus = ")
      .AppendInt(mStatus)
      .Append(" WHERE mTransID = ")
      .AppendInt(mTransID);
  return Execute(sql.Text());
}

int32_t LedgerRecord::Remove() {
  TextBuffer sql;
  sql.Assign("DELETE FROM ").Append(tableName.Text()).Append(" WHERE mTransID = ").AppendInt(mTransID);
  return Execute(sql.Text());
}
