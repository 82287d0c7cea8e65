// Copies of the ledger made through the engine's own connection, and the
// Backups folder kept to the newest copies.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "storage/LedgerBackup.h"
#include "tests/engine/EngineSupport.h"

namespace fs = std::filesystem;

namespace {

// A fixed local time, 2026-03-04 05:06:07.
std::time_t At(int second) {
  std::tm local = {};
  local.tm_year = 126;
  local.tm_mon = 2;
  local.tm_mday = 4;
  local.tm_hour = 5;
  local.tm_min = 6;
  local.tm_sec = second;
  local.tm_isdst = -1;
  return std::mktime(&local);
}

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class BackupTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_NE(engine->Open((folder / "Ledger.dat").c_str()), 0);
    Query("CREATE TABLE QLedger (mTransID INTEGER PRIMARY KEY, mPayee VARCHAR(80))");
    Query("INSERT INTO QLedger VALUES (1, 'Rent')");
  }
  fs::path Backups() { return fs::path(folder.path) / "Backups"; }
};

TEST_F(BackupTest, CopyHoldsTheLedgerIsOwnersAloneAndNeverOverwrites) {
  ASSERT_EQ(BackupLedger(engine, folder.path, At(7)), "");
  fs::path copy = Backups() / "Ledger-20260304-050607.dat";
  ASSERT_TRUE(fs::exists(copy));
#ifndef _WIN32
  EXPECT_EQ(fs::status(copy).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(fs::status(Backups()).permissions() & fs::perms::all, fs::perms::owner_all);
#endif
  // A second copy in the same second is kept beside the first, not over it.
  Query("INSERT INTO QLedger VALUES (2, 'Power')");
  ASSERT_EQ(BackupLedger(engine, folder.path, At(7)), "");
  EXPECT_EQ(Names(Backups()), (std::vector<std::string>{"Ledger-20260304-050607-2.dat", "Ledger-20260304-050607.dat"}));
  // Each copy is the ledger as it was, read by an engine of its own.
  ComponentRegistry other;
  DatabaseEngine* reader = LoadDatabaseEngine(other);
  ASSERT_NE(reader, nullptr);
  struct Case {
    const char* name;
    const char* count;
  } cases[] = {{"Ledger-20260304-050607.dat", "1"}, {"Ledger-20260304-050607-2.dat", "2"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(reader->Open((Backups() / c.name).string().c_str()), 0) << reader->LastError();
    Collected collected;
    ASSERT_NE(reader->Execute("SELECT count(*) FROM QLedger", &collected, Collect), 0);
    EXPECT_EQ(collected.rows.at(0).at(0), c.count);
    reader->Close();
  }
  reader->Release();
  ReleaseModules(other);
  // The engine itself refuses to write over a file.
  EXPECT_EQ(engine->Backup(copy.string().c_str()), 0);
  EXPECT_EQ(Query("SELECT count(*) FROM QLedger").at(0).at(0), "2");
}

TEST_F(BackupTest, OnlyTheNewestCopiesAreKeptAndOtherFilesAreLeftAlone) {
  fs::create_directory(Backups());
  // 22 older copies (two more of one second, the tenth after the second),
  // and files not ours.
  for (int second = 0; second < 20; ++second) {
    char name[64];
    std::snprintf(name, sizeof name, "Ledger-20260304-0505%02d.dat", second);
    std::ofstream(Backups() / name) << "old";
  }
  std::ofstream(Backups() / "Ledger-20260304-050519-2.dat") << "old";
  std::ofstream(Backups() / "Ledger-20260304-050519-10.dat") << "old";
  std::ofstream(Backups() / "notes.txt") << "mine";
  std::ofstream(Backups() / "Ledger-19990101-000000.dat.txt") << "mine";
  ASSERT_EQ(BackupLedger(engine, folder.path, At(7)), "");
  std::vector<std::string> names = Names(Backups());
  std::vector<std::string> expected = {"Ledger-19990101-000000.dat.txt"};
  for (int second = 3; second < 20; ++second) {
    char name[64];
    std::snprintf(name, sizeof name, "Ledger-20260304-0505%02d.dat", second);
    expected.push_back(name);
  }
  expected.push_back("Ledger-20260304-050519-2.dat");
  expected.push_back("Ledger-20260304-050519-10.dat");
  expected.push_back("Ledger-20260304-050607.dat");
  expected.push_back("notes.txt");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(names, expected);
}

TEST_F(BackupTest, NoCopyWhereTheFolderCannotBeMadeIsReported) {
  std::ofstream(Backups()) << "a file where the folder should be";
  std::string problem = BackupLedger(engine, folder.path, At(7));
  EXPECT_NE(problem.find("cannot be made"), std::string::npos) << problem;
}

}  // namespace
