// The register window: the main dialog, its list and its totals.
#pragma once

#include "platform/win32.h"
#include "storage/AccountRecord.h"

INT_PTR CALLBACK RegisterWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Re-queries the current account's transactions and rebuilds the list and both totals.
void RefreshList();
// Net amount (credit minus debit) of the account's transactions marked while balancing.
float BalancedAmount(AccountRecord* account);
void ListSelectionChanged();
void ToggleHideReconciled(HWND window);
void SetMenuCheck(HWND window, int popupPosition, UINT commandId, int on);
