// New, Edit and Delete from the register window's entry row.
#pragma once

#include <cstdint>

#include "platform/win32.h"
#include "storage/LedgerRecord.h"

void NewTransaction(HWND window);
void EditTransaction(HWND window);
void DeleteTransaction(HWND window);
// Validates the five entry fields into row; 0 after a message was shown.
int32_t ReadEntryFields(HWND window, LedgerRecord* row);
