#include "storage/LedgerBackup.h"

#include <algorithm>
#include <cstdio>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr char kFolder[] = "Backups";
// Copies made within one second get -2, -3 and so on (a script may import
// many files in a row); the bound only stops a folder that refuses every name.
constexpr int kSameSecond = 100000;

// The order of a copy's name, oldest first: its stamp, then its -N; empty for
// a file that is not one of ours.
std::string SortKey(const std::string& name) {
  // Ledger-YYYYMMDD-HHMMSS[-N].dat
  if (name.size() < 26 || name.compare(0, 7, "Ledger-") != 0 || name.compare(name.size() - 4, 4, ".dat") != 0)
    return {};
  std::string stamp = name.substr(7, 15);
  for (size_t i = 0; i < stamp.size(); ++i) {
    bool digit = stamp[i] >= '0' && stamp[i] <= '9';
    if (i == 8 ? stamp[i] != '-' : !digit) return {};
  }
  std::string rest = name.substr(22, name.size() - 26);
  if (rest.empty()) return stamp + "-000001";
  if (rest.size() < 2 || rest.size() > 7 || rest[0] != '-' || rest[1] == '0') return {};
  for (size_t i = 1; i < rest.size(); ++i)
    if (rest[i] < '0' || rest[i] > '9') return {};
  return stamp + "-" + std::string(7 - rest.size(), '0') + rest.substr(1);
}

void Prune(const fs::path& folder) {
  std::error_code error;
  std::vector<std::pair<std::string, fs::path>> copies;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::string key = SortKey(it->path().filename().string());
    if (!key.empty() && it->is_regular_file(error)) copies.emplace_back(key, it->path());
  }
  if (copies.size() <= static_cast<size_t>(kBackupsKept)) return;
  std::sort(copies.begin(), copies.end());
  for (size_t i = 0; i + kBackupsKept < copies.size(); ++i) fs::remove(copies[i].second, error);
}

}  // namespace

std::string BackupLedger(DatabaseEngine* engine, const fs::path& dataFolder, std::time_t now) {
  fs::path folder = dataFolder / kFolder;
  std::error_code error;
  fs::create_directory(folder, error);
  if (error || !fs::is_directory(folder, error)) return "the folder " + folder.string() + " cannot be made";
#ifndef _WIN32
  // The copies hold what the ledger holds: its owner's alone.
  fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, error);
#endif
  char stamp[32] = {};
  std::tm* local = std::localtime(&now);
  if (!local || std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", local) == 0) return "the time is unknown";
  std::string problem;
  for (int n = 1; n <= kSameSecond; ++n) {
    char name[64];
    if (n == 1) std::snprintf(name, sizeof name, "Ledger-%s.dat", stamp);
    else std::snprintf(name, sizeof name, "Ledger-%s-%d.dat", stamp, n);
    fs::path path = folder / name;
    if (fs::exists(path, error)) continue;
    if (engine->Backup(path.string().c_str()) != 0) {
      Prune(folder);
      return {};
    }
    problem = engine->LastError();
    if (problem.empty()) problem = "the engine made no copy";
    return path.string() + ": " + problem;
  }
  return "no free name for a copy in " + folder.string();
}

std::string BackupLedger(DatabaseEngine* engine) { return BackupLedger(engine, fs::path(), std::time(nullptr)); }

std::string BackupRefusal(const std::string& problem) {
  return "A backup copy of Ledger.dat could not be made, so nothing was changed.\n" + problem;
}
