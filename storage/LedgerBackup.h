// Copies of Ledger.dat kept in the data folder's Backups folder before the
// commands that change many rows at once.
#pragma once

#include <ctime>
#include <filesystem>
#include <string>

#include "component/DatabaseEngine.h"

constexpr int kBackupsKept = 20;

// Copies the ledger open in engine to Backups/Ledger-YYYYMMDD-HHMMSS.dat
// (local time `now`) under dataFolder and removes all but the newest
// kBackupsKept copies. Returns why no copy could be made, or empty.
std::string BackupLedger(DatabaseEngine* engine, const std::filesystem::path& dataFolder, std::time_t now);
std::string BackupLedger(DatabaseEngine* engine);  // in the current folder, now

// The message for a command refused because no copy could be made.
std::string BackupRefusal(const std::string& problem);
