// The process-wide objects that start-up creates and every window command shares.
#pragma once

#include <cstdint>

#include "component/ComponentRegistry.h"
#include "component/DatabaseEngine.h"
#include "platform/win32.h"
#include "storage/AccountRecord.h"
#include "storage/LedgerRecord.h"
#include "storage/TextBuffer.h"

struct AppState {
  // Constructed in this order before the entry runs.
  TextBuffer scratch;
  TextBuffer iniPath;
  ComponentRegistry registry;

  DatabaseEngine* engine = nullptr;
  HINSTANCE instance = nullptr;
  AccountRecord* accounts = nullptr;     // the current account is accounts->FirstRow()
  LedgerRecord* ledger = nullptr;        // its rows are the register list's lines
  LedgerRecord* balanceLedger = nullptr; // balanced amount and finishing only
  HWND mainWindow = nullptr;
  int32_t hideReconciled = 0;
  int32_t balancing = 0;
};

extern AppState appState;

// The three table objects over `engine`, both tables created (refused
// harmlessly when they exist) and the account rows fetched.
void OpenTables(DatabaseEngine* engine);
// Frees the fetched rows and the table objects, in start-up order.
void CloseTables();
