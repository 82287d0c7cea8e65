// The interface object of the database engine component (REDivizud.DLL).
#pragma once

#include <cstdint>

// The component's file, the name its factory answers to and the interface
// version this program speaks. Version 101 appended Backup; the component
// still answers 100 for programs that know only the first six methods.
constexpr char kEngineFileName[] = "REDivizud.DLL";
constexpr char kEngineName[] = "REDivizud";
constexpr uint32_t kEngineFirstVersion = 100;
constexpr uint32_t kEngineVersion = 101;

// Called once per result row inside Execute; a NULL value is a null text.
// The texts are writable until the callback returns.
typedef int32_t (*RowCallbackFn)(void* context, int32_t columnCount, char** columnTexts, char** columnNames);

class DatabaseEngine {
 public:
  virtual void AddRef() = 0;
  virtual void Release() = 0;  // ends the caller's use of the object
  virtual int32_t Close() = 0;
  virtual const char* LastError() = 0;  // message of the last failure, never null
  // Runs one statement and hands every result row to callback; non-zero on success.
  virtual int32_t Execute(const char* sql, void* context, RowCallbackFn callback) = 0;
  // Opens or creates the database file; non-zero when it is open and readable.
  virtual int32_t Open(const char* fileName) = 0;
  // Copies the open database, as it stands between transactions, into a new
  // file of that name (its owner's alone); non-zero on success. Refused when
  // the file exists. Appended in version 101: the slots above never move.
  virtual int32_t Backup(const char* fileName) = 0;

 protected:
  ~DatabaseEngine() = default;  // objects end through Release
};

class ComponentRegistry;
// An engine object from the component beside the program; null when the
// component cannot be loaded or refuses.
DatabaseEngine* LoadDatabaseEngine(ComponentRegistry& registry);
