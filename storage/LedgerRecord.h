// One transaction of the register: the QLedger table and its rows.
#pragma once

#include <cstddef>
#include <cstdint>

#include "storage/TableRecord.h"

// A row's status; the program stores no other value.
enum TransactionStatus : int32_t {
  StatusPlain = 0,
  StatusCleared = 1,     // shown "C"; booked by the bank, as an imported statement says
  StatusReconciled = 2,  // shown "R"; read-only
  StatusMarked = 3,      // shown "B" while balancing
};

constexpr bool KnownStatus(int32_t status) { return status >= StatusPlain && status <= StatusMarked; }
// The letter the register and the statements show for a status: "C", "R",
// "B", or "" for a plain row (and any other value).
const char* StatusLetter(int32_t status);

class LedgerRecord : public TableRecord {
 public:
  LedgerRecord(DatabaseEngine* engine, const char* tableName);
  // Columns by position: mTransID, mDate, mCheckNum, mPayee, mDebit,
  // mCredit, mAccID, mStatus; missing ones stay 0 or empty.
  LedgerRecord(TableRecord* owner, int32_t columnCount, char** columnTexts, char** columnNames);
  ~LedgerRecord() override;

  TableRecord* CreateRow(int32_t columnCount, char** columnTexts, char** columnNames) override;
  void CreateTable() override;
  int32_t Insert() override;  // 0 without sending anything when the payee is empty
  int32_t Remove() override;
  int32_t Update() override;

  void SetDate(const char* text);   // at most 20 bytes; null empties it
  void SetPayee(const char* text);  // at most 80 bytes; null empties it
  const char* Date() const { return mDate; }
  const char* Payee() const { return mPayee; }

  int32_t mTransID = 0;
  int32_t mCheckNum = 0;
  float mDebit = 0;
  float mCredit = 0;
  int32_t mStatus = StatusPlain;
  int32_t mAccID = 0;

 private:
  // Room for both texts at full length, the payee at kPayeeAt.
  static constexpr size_t kOwnBlock = 103;
  static constexpr std::ptrdiff_t kPayeeAt = 22;
  bool OwnsTexts() const { return mPayee - mDate == kPayeeAt; }
  bool OwnTexts();  // false without memory

  // A fetched row's texts lie packed in its table's row pool; a row's own
  // block, made on the first Set, has the payee at kPayeeAt, which no packed
  // payee reaches (a date has at most 20 bytes).
  char* mDate = sNoText;
  char* mPayee = sNoText;
  static char sNoText[1];  // never written: a Set makes the own block first
};
