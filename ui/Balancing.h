// Balancing the register against a bank statement.
#pragma once

#include <cstdint>

#include "platform/win32.h"
#include "storage/AccountRecord.h"
#include "storage/LedgerRecord.h"

void ToggleBalancing(HWND window);
void PostponeBalancing(HWND window);
void SetBalancingMode(HWND window, int32_t on);
// Turns the account's marked transactions into reconciled ones.
int32_t FinishBalancing(AccountRecord* account);
void ToggleBalanceMark(LedgerRecord* row, int32_t index);
void RemoveReconciled(HWND window);
