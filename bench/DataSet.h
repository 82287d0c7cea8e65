// Reproducible registers for the benchmarks: one account and decades of
// transactions, the same bytes on every run and machine.
#pragma once

#include <cstdint>

class DatabaseEngine;

// Adds the account and `rows` transactions to the tables of an open engine
// (they are created when missing); false when a statement is refused.
bool FillLedger(DatabaseEngine* engine, int32_t rows);
