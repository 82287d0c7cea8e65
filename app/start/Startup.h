// Start-up and shutdown of the register: everything between the entry and the exit code.
#pragma once

#include "platform/win32.h"

// Loads the engine, opens Ledger.dat, runs the register window and shuts down.
// Returns the process exit code: 0 after a normal run or without the engine,
// 1 when the database cannot be opened.
int RunCheckbook(HINSTANCE instance);
