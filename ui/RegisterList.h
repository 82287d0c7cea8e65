// The register's list and totals, rebuilt from the database after every
// command that changes transactions or the account.
#pragma once

#include <cstdint>

#include "platform/win32.h"
#include "storage/AccountRecord.h"
#include "storage/LedgerRecord.h"

// Re-queries the current account's transactions and rebuilds the list and both totals.
void RefreshList();
// Net amount (credit minus debit) of the account's transactions marked while
// balancing, in whole cents: exact however many rows are marked.
int64_t BalancedAmount(AccountRecord* account);
void SetMenuCheck(HWND window, int popupPosition, UINT commandId, int on);
// Copies the row's five values into the entry row, as selecting its line does.
void ShowInEntryRow(HWND window, const LedgerRecord& row);
