#include "app/AppState.h"

AppState appState;

void OpenTables(DatabaseEngine* engine) {
  appState.accounts = new AccountRecord(engine, "QAccounts");
  appState.ledger = new LedgerRecord(engine, "QLedger");
  appState.balanceLedger = new LedgerRecord(engine, "QLedger");
  // From the second run on the tables exist and the engine refuses these harmlessly.
  appState.accounts->CreateTable();
  appState.ledger->CreateTable();
  appState.accounts->Select();
}

void CloseTables() {
  appState.accounts->ClearRows();
  appState.ledger->ClearRows();
  appState.balanceLedger->ClearRows();
  delete appState.accounts;
  delete appState.ledger;
  delete appState.balanceLedger;
  appState.accounts = nullptr;
  appState.ledger = nullptr;
  appState.balanceLedger = nullptr;
}
