// The database engine component's interface object, over SQLite.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>

#include "component/ComponentRegistry.h"
#include "component/DatabaseEngine.h"
#include "engine/FileLock.h"

class SqliteEngine final : public DatabaseEngine {
 public:
  // Holds a reference on module (may be null) for as long as it lives.
  explicit SqliteEngine(RefCounted* module);
  SqliteEngine(const SqliteEngine&) = delete;
  SqliteEngine& operator=(const SqliteEngine&) = delete;

  void AddRef() override;
  void Release() override;
  int32_t Close() override;  // 0 when no database was open
  const char* LastError() override;
  // Runs exactly one statement; anything after it but white space or a
  // single ";" is refused and nothing runs. Every row reaches callback,
  // whatever it returns.
  int32_t Execute(const char* sql, void* context, RowCallbackFn callback) override;
  // Opens or creates the file, waits a few seconds for a busy database, and
  // answers only after reading the schema succeeded. Refused while another
  // engine, in any process, has the same file open.
  int32_t Open(const char* fileName) override;
  // SQLite's online backup from this connection into a file made here, so
  // the lock on the ledger never has to be given up.
  int32_t Backup(const char* fileName) override;

 private:
  ~SqliteEngine();
  int32_t Fail(const char* message);
  int32_t Step(sqlite3_stmt* statement, void* context, RowCallbackFn callback);
  void RemoveStaleJournal();

  uint32_t refCount_ = 1;
  RefCounted* module_;
  sqlite3* db_ = nullptr;
  FileLock writerLock_;
  std::string lastError_;
};
