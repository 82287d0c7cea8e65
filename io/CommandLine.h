// checkbook-io: the command line around import and export.
#pragma once

#include <cstdio>

// Runs one command on Ledger.dat in the current folder and returns the exit
// code: 0 done, 1 refused (bad input, no ledger, the ledger in use), 2 usage.
int RunCheckbookIo(int argc, char** argv, std::FILE* out, std::FILE* err);
