// The order the register shows its transactions in, the same in the list,
// balancing and the report: by calendar date, rows of one date in the order
// they were entered (by key), rows whose date cannot be read first.
#pragma once

#include "storage/LedgerRecord.h"

// Puts the rows a ledger table object fetched into that order, relinking its
// list in place, so line i of the list still shows RowAt(i).
void SortRegisterRows(LedgerRecord& table);
