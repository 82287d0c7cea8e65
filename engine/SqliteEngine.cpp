#include "engine/SqliteEngine.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr int kBusyMilliseconds = 3000;

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// True when text holds nothing but white space and at most one ";".
bool NothingFollows(const char* text) {
  while (IsSpace(*text)) ++text;
  if (*text == ';') ++text;
  while (IsSpace(*text)) ++text;
  return *text == '\0';
}

// A new ledger is its owner's alone (0600) whatever the umask; one that
// exists keeps its mode. The file is made before SQLite opens it, in one step
// that fails when it is there already, so nothing can slip in between; SQLite
// gives its journal the database's mode.
void CreateOwnerOnly(const char* fileName) {
#ifndef _WIN32
  if (std::strcmp(fileName, ":memory:") == 0) return;
  int fd = open(fileName, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return;
  fchmod(fd, 0600);  // a umask may have taken the owner's bits too
  close(fd);
#else
  (void)fileName;
#endif
}

// Makes the copy's file, its owner's alone on POSIX; false when it exists.
bool CreateNewFile(const char* fileName) {
#ifndef _WIN32
  int fd = open(fileName, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  fchmod(fd, 0600);
  close(fd);
  return true;
#else
  // The C library's "wx" is not exclusive everywhere; CREATE_NEW is.
  HANDLE file = CreateFileA(fileName, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
#endif
}

}  // namespace

SqliteEngine::SqliteEngine(RefCounted* module) : module_(module) {
  if (module_) module_->AddRef();
}

SqliteEngine::~SqliteEngine() { Close(); }

void SqliteEngine::AddRef() { ++refCount_; }

void SqliteEngine::Release() {
  if (--refCount_ > 0) return;
  RefCounted* owner = module_;
  delete this;
  // The loader keeps its own reference on the module for the whole process,
  // so this never unloads the code that is running it.
  if (owner) owner->Release();
}

const char* SqliteEngine::LastError() { return lastError_.c_str(); }

int32_t SqliteEngine::Fail(const char* message) {
  try {
    lastError_ = message ? message : "";
  } catch (...) {
    lastError_.clear();
  }
  return 0;
}

int32_t SqliteEngine::Close() {
  if (!db_) return 0;
  // Statements are always finalized before Execute returns, so this closes.
  int result = sqlite3_close(db_);
  db_ = nullptr;
  // Only after the database let go of the file.
  writerLock_.Release();
  return result == SQLITE_OK ? 1 : Fail("the database did not close cleanly");
}

int32_t SqliteEngine::Open(const char* fileName) {
  Close();
  if (!fileName || !*fileName) return Fail("no file name");
  CreateOwnerOnly(fileName);
  sqlite3* handle = nullptr;
  int result = sqlite3_open_v2(fileName, &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (result == SQLITE_OK) {
    // One writer at a time: the balance lives in the writer's memory between
    // commands, so a second copy writing beside it would put it out of step.
    // An in-memory database has no file name and needs no lock.
    const char* path = sqlite3_db_filename(handle, "main");
    if (path && *path && !writerLock_.Acquire(path)) {
      sqlite3_close(handle);
      return Fail("the database is in use by another copy of the program");
    }
    sqlite3_busy_timeout(handle, kBusyMilliseconds);
    // Opening is lazy: only a read shows whether the file is a database.
    result = sqlite3_exec(handle, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
  }
  if (result != SQLITE_OK) {
    Fail(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(result));
    sqlite3_close(handle);
    writerLock_.Release();
    return 0;
  }
  db_ = handle;
  RemoveStaleJournal();
  return 1;
}

// A copy killed just as it began writing can leave a journal that holds
// nothing to roll back; SQLite ignores it, and it would stay in the folder
// until the next write. With the write lock held no other connection is
// writing, and taking it has rolled back any journal that mattered, so what
// is left is stale.
void SqliteEngine::RemoveStaleJournal() {
  const char* journal = sqlite3_filename_journal(sqlite3_db_filename(db_, "main"));
  if (!journal || !*journal) return;
  std::error_code error;
  std::filesystem::path path(std::u8string(reinterpret_cast<const char8_t*>(journal)));
  if (!std::filesystem::exists(path, error)) return;
  if (sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) return;
  std::filesystem::remove(path, error);
  sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

int32_t SqliteEngine::Execute(const char* sql, void* context, RowCallbackFn callback) {
  if (!db_) return Fail("no database is open");
  if (!sql) return Fail("no statement");
  sqlite3_stmt* statement = nullptr;
  const char* tail = nullptr;
  if (sqlite3_prepare_v2(db_, sql, -1, &statement, &tail) != SQLITE_OK) return Fail(sqlite3_errmsg(db_));
  if (!statement) return Fail("no statement");
  int32_t result = 0;
  if (!NothingFollows(tail)) {
    result = Fail("only one statement may run at a time");
  } else {
    try {
      result = Step(statement, context, callback);
    } catch (const std::bad_alloc&) {
      result = Fail("out of memory");
    }
  }
  sqlite3_finalize(statement);
  return result;
}

// Runs the prepared statement, handing each row to callback as writable
// copies of its texts; a NULL value is a null text.
int32_t SqliteEngine::Step(sqlite3_stmt* statement, void* context, RowCallbackFn callback) {
  int columns = sqlite3_column_count(statement);
  std::vector<std::string> names(columns), texts(columns);
  std::vector<char*> namePointers(columns), textPointers(columns);
  for (int i = 0; i < columns; ++i) {
    const char* name = sqlite3_column_name(statement, i);
    names[i] = name ? name : "";
    namePointers[i] = names[i].data();
  }
  int result;
  while ((result = sqlite3_step(statement)) == SQLITE_ROW) {
    for (int i = 0; i < columns; ++i) {
      if (sqlite3_column_type(statement, i) == SQLITE_NULL) {
        textPointers[i] = nullptr;
        continue;
      }
      auto text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
      if (!text) return Fail("out of memory");
      texts[i].assign(text, static_cast<size_t>(sqlite3_column_bytes(statement, i)));
      textPointers[i] = texts[i].data();
    }
    if (callback) callback(context, columns, textPointers.data(), namePointers.data());
  }
  if (result != SQLITE_DONE) return Fail(sqlite3_errmsg(db_));
  return 1;
}

int32_t SqliteEngine::Backup(const char* fileName) {
  if (!db_) return Fail("no database is open");
  if (!fileName || !*fileName) return Fail("no file name");
  if (!CreateNewFile(fileName)) return Fail("the copy's file cannot be made");
  sqlite3* copy = nullptr;
  int result = sqlite3_open_v2(fileName, &copy, SQLITE_OPEN_READWRITE, nullptr);
  if (result == SQLITE_OK) {
    sqlite3_backup* backup = sqlite3_backup_init(copy, "main", db_, "main");
    if (backup) {
      // All pages in one step: the ledger cannot change in between, and a
      // reader elsewhere would only make it wait.
      result = sqlite3_backup_step(backup, -1);
      if (result == SQLITE_DONE) result = SQLITE_OK;
      int finished = sqlite3_backup_finish(backup);
      if (result == SQLITE_OK) result = finished;
    } else {
      result = sqlite3_errcode(copy);
    }
  }
  if (result != SQLITE_OK) Fail(copy ? sqlite3_errmsg(copy) : sqlite3_errstr(result));
  if (sqlite3_close(copy) != SQLITE_OK && result == SQLITE_OK) {
    result = SQLITE_ERROR;
    Fail("the copy did not close cleanly");
  }
  if (result != SQLITE_OK) {
    // No half copy is left to be mistaken for a good one.
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(fileName))), ignored);
    return 0;
  }
  return 1;
}
