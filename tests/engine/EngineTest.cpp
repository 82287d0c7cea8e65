#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/engine/EngineSupport.h"

TEST_F(EngineTest, FactoryHandsOutEnginesThatHoldTheirModule) {
  ComponentModule* module = registry.FindModule(kEngineFileName);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(module->refCount, 2u);
  EXPECT_EQ(registry.LoadComponent(kEngineFileName, "redivizud", kEngineVersion), nullptr);
  EXPECT_EQ(registry.LoadComponent(kEngineFileName, kEngineName, kEngineVersion + 1), nullptr);
  auto* second = LoadDatabaseEngine(registry);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(module->refCount, 3u);
  second->Release();
  EXPECT_EQ(module->refCount, 2u);
}

TEST_F(EngineTest, OpenCreatesAMissingFileAndRefusesWhatIsNoDatabase) {
  std::ofstream(folder / "text.dat") << "Date,Payee,Amount\n01/15/2003,Corner Grocery,23.50\n";
  std::filesystem::create_directory(folder / "folder.dat");
  for (std::string path : {folder / "text.dat", folder / "folder.dat", folder / "missing/Ledger.dat", std::string()}) {
    EXPECT_EQ(engine->Open(path.c_str()), 0) << path;
    EXPECT_STRNE(engine->LastError(), "") << path;
  }
  EXPECT_EQ(engine->Open(nullptr), 0);
  EXPECT_EQ(engine->Execute("SELECT 1", nullptr, Collect), 0);  // nothing is open
  EXPECT_FALSE(std::filesystem::exists(folder / "missing"));

  std::string created = folder / "Ledger.dat";
  EXPECT_EQ(engine->Open(created.c_str()), 1);
  EXPECT_TRUE(std::filesystem::exists(created));
  EXPECT_EQ(engine->Close(), 1);
  EXPECT_EQ(engine->Close(), 0);
}

TEST_F(EngineTest, ExecuteDeliversEveryRowAsText) {
  ASSERT_EQ(engine->Open((folder / "Ledger.dat").c_str()), 1);
  Query("CREATE TABLE T (mKey INTEGER PRIMARY KEY, mText VARCHAR(10), mAmount FLOAT)");
  Query("INSERT INTO T VALUES (NULL, 'one', 23.50)");
  Query("INSERT INTO T VALUES (NULL, NULL, -0.1)");
  EXPECT_TRUE(Query("UPDATE T SET mAmount = 1 WHERE mKey = 99").empty());

  Collected collected;
  ASSERT_EQ(engine->Execute("SELECT * FROM T WHERE mKey != '0' ORDER BY mText", &collected, Collect), 1);
  ASSERT_EQ(collected.rows.size(), 2u);  // the callback's non-zero answers stop nothing
  EXPECT_EQ(collected.rows[0], (Row{"2", std::nullopt, "-0.1"}));
  EXPECT_EQ(collected.rows[1], (Row{"1", "one", "23.5"}));
  EXPECT_EQ(collected.names, (std::vector<std::string>{"mKey", "mText", "mAmount"}));

  EXPECT_EQ(engine->Execute("SELECT * FROM Missing", nullptr, Collect), 0);
  EXPECT_STRNE(engine->LastError(), "");
}

TEST_F(EngineTest, ExecuteRunsExactlyOneStatement) {
  ASSERT_EQ(engine->Open((folder / "Ledger.dat").c_str()), 1);
  Query("CREATE TABLE T (mKey INTEGER PRIMARY KEY)");
  Query("INSERT INTO T VALUES (NULL) ;\n ");
  for (const char* sql : {"INSERT INTO T VALUES (NULL); DELETE FROM T", "DELETE FROM T; --", "SELECT 1; x", ""}) {
    EXPECT_EQ(engine->Execute(sql, nullptr, Collect), 0) << sql;
  }
  EXPECT_EQ(Query("SELECT count(*) FROM T"), (std::vector<Row>{{"1"}}));
}

// Another connection holds the write lock for a moment: the engine waits for it.
TEST_F(EngineTest, WaitsForABusyDatabase) {
  std::string path = folder / "Ledger.dat";
  ASSERT_EQ(engine->Open(path.c_str()), 1);
  Query("CREATE TABLE T (mKey INTEGER PRIMARY KEY)");
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; INSERT INTO T VALUES (NULL)", nullptr, nullptr, nullptr), SQLITE_OK);
  std::thread holder([other] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  });
  int32_t result = engine->Execute("INSERT INTO T VALUES (NULL)", nullptr, Collect);
  holder.join();
  sqlite3_close(other);
  EXPECT_EQ(result, 1) << engine->LastError();
  EXPECT_EQ(Query("SELECT count(*) FROM T"), (std::vector<Row>{{"2"}}));
}

// Two engines writing one file would each keep the balance in memory and put
// it out of step; readers must still get in.
TEST_F(EngineTest, ASecondEngineOnTheSameFileIsRefusedUntilTheFirstCloses) {
  std::string path = folder / "Ledger.dat";
  ASSERT_EQ(engine->Open(path.c_str()), 1);
  Query("CREATE TABLE T (mKey INTEGER PRIMARY KEY)");
  Query("INSERT INTO T VALUES (NULL)");

  auto* second = LoadDatabaseEngine(registry);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->Open(path.c_str()), 0);
  EXPECT_STRNE(second->LastError(), "");
  EXPECT_EQ(second->Execute("INSERT INTO T VALUES (NULL)", nullptr, Collect), 0);

  sqlite3* reader = nullptr;
  ASSERT_EQ(sqlite3_open_v2(path.c_str(), &reader, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(reader, "SELECT count(*) FROM T", nullptr, nullptr, nullptr), SQLITE_OK)
      << sqlite3_errmsg(reader);
  sqlite3_close(reader);
  Query("INSERT INTO T VALUES (NULL)");  // the refused engine left the first one whole

  EXPECT_EQ(engine->Close(), 1);
  EXPECT_EQ(second->Open(path.c_str()), 1) << second->LastError();
  Collected collected;
  EXPECT_EQ(second->Execute("SELECT count(*) FROM T", &collected, Collect), 1);
  EXPECT_EQ(collected.rows, (std::vector<Row>{{"2"}}));
  second->Close();
  second->Release();
}

// A copy killed as it began to write leaves a journal with nothing to roll
// back; SQLite ignores it, so without care it stayed in the folder.
TEST_F(EngineTest, OpenRemovesAJournalWithNothingToRollBack) {
  std::string path = folder / "Ledger.dat";
  ASSERT_EQ(engine->Open(path.c_str()), 1);
  Query("CREATE TABLE T (mKey INTEGER PRIMARY KEY)");
  Query("INSERT INTO T VALUES (NULL)");
  engine->Close();
  std::ofstream(path + "-journal", std::ios::binary) << std::string(512, '\0');

  ASSERT_EQ(engine->Open(path.c_str()), 1);
  EXPECT_FALSE(std::filesystem::exists(path + "-journal"));
  EXPECT_EQ(Query("SELECT count(*) FROM T"), (std::vector<Row>{{"1"}}));
}
