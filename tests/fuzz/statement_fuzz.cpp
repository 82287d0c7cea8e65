// Any text in any field gives exactly one statement, and the row stores the
// text as written (cut to the column's limit), whatever quotes, semicolons or
// comment marks it holds; read back, a text that is not UTF-8 comes as the
// Windows-1252 it is taken for.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/SqliteEngine.h"
#include "storage/AccountRecord.h"
#include "storage/LedgerRecord.h"
#include "storage/TextConvert.h"
#include "storage/TextEncoding.h"

namespace {

// The input is cut into texts at NUL bytes; missing ones are empty.
std::vector<std::string> Fields(const uint8_t* data, size_t size, size_t count) {
  std::vector<std::string> fields(count);
  size_t field = 0;
  for (size_t i = 0; i < size && field < count; ++i) {
    if (data[i] == 0) ++field;
    else fields[field] += static_cast<char>(data[i]);
  }
  return fields;
}

// The text as a row reads it back: stored cut to the column's limit, then
// read through the conversion of old text.
std::string Cut(const std::string& text, size_t limit) {
  std::vector<char> stored(limit + 1), read(limit + 1);
  CopyText(stored.data(), text.c_str(), limit);
  CopyStoredText(read.data(), stored.data(), limit);
  return read.data();
}

void Check(bool ok) {
  if (!ok) std::abort();
}

SqliteEngine* engine = nullptr;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!engine) {
    engine = new SqliteEngine(nullptr);
    Check(engine->Open(":memory:") == 1);
    LedgerRecord(engine, "QLedger").CreateTable();
    AccountRecord(engine, "QAccounts").CreateTable();
  }
  std::vector<std::string> f = Fields(data, size, 7);

  LedgerRecord table(engine, "QLedger");
  table.SetDate(f[0].c_str());
  table.SetPayee(f[1].c_str());
  table.mCheckNum = TextToInt(f[2].c_str());
  table.mDebit = TextToReal(f[2].c_str());
  table.mAccID = 1;
  if (f[1].empty()) {
    Check(table.Insert() == 0);
  } else {
    Check(table.Insert() == 1);
    table.whereClause.Assign("mTransID != '0'");
    table.Select();
    Check(table.RowCount() == 1);
    auto* row = static_cast<LedgerRecord*>(table.FirstRow());
    Check(row->Date() == Cut(f[0], 20));
    Check(row->Payee() == Cut(f[1], 80));
    Check(row->mCheckNum == table.mCheckNum);
    row->SetDate(f[3].c_str());
    row->SetPayee(f[4].c_str());
    Check(row->Update() == 1);
    table.ClearRows();
    table.Select();
    row = static_cast<LedgerRecord*>(table.FirstRow());
    Check(table.RowCount() == 1 && row->Date() == Cut(f[3], 20) && row->Payee() == Cut(f[4], 80));
    Check(row->Remove() == 1);
    table.ClearRows();
    table.Select();
    Check(table.RowCount() == 0);
  }

  AccountRecord accounts(engine, "QAccounts");
  accounts.SetBankName(f[5].c_str());
  accounts.SetBankAccN(f[6].c_str());
  accounts.SetLastBalance(f[0].c_str());
  Check(accounts.Insert() == 1);
  accounts.Select();
  Check(accounts.RowCount() == 1);
  auto* account = static_cast<AccountRecord*>(accounts.FirstRow());
  Check(account->BankName() == Cut(f[5], 40) && account->BankAccN() == Cut(f[6], 40) &&
        account->LastBalance() == Cut(f[0], 20));
  account->SetBankName(f[6].c_str());
  Check(account->Update() == 1);
  Check(account->Remove() == 1);
  accounts.ClearRows();
  accounts.Select();
  Check(accounts.RowCount() == 0);
  accounts.ClearRows();
  return 0;
}
