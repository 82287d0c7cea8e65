// Maps one SQL table to a list of row objects. The same class is the table
// (engine, name, WHERE clause, fetched rows) and a row fetched from it, which
// can write itself back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

#include "component/DatabaseEngine.h"
#include "storage/RowPool.h"
#include "storage/TextBuffer.h"

class TableRecord {
 public:
  // A table object. A null name leaves tableName as the empty text.
  TableRecord(DatabaseEngine* engine, const char* tableName);
  // A row object: engine and table name come from owner. The base class
  // ignores the columns; subclasses read them by position.
  TableRecord(TableRecord* owner, int32_t columnCount, char** columnTexts, char** columnNames);
  TableRecord(const TableRecord&) = delete;
  TableRecord& operator=(const TableRecord&) = delete;

  // Unlinks this object from its neighbours; does not destroy its own rows,
  // so owners call ClearRows first.
  virtual ~TableRecord();
  virtual TableRecord* CreateRow(int32_t columnCount, char** columnTexts, char** columnNames);
  virtual void CreateTable();
  virtual int32_t Insert();
  virtual int32_t Remove();
  virtual int32_t Update();

  // Runs sql; result rows are appended to this object's list. 0 on failure
  // or without an engine.
  int32_t Execute(const char* sql);
  // Appends the rows of "SELECT * FROM <table> [WHERE <whereClause>]" and
  // returns the number of rows now held.
  int32_t Select();
  void ClearRows();
  void AppendRow(TableRecord* row);
  TableRecord* RowAt(int32_t index);  // null outside the list
  // Room for a row's texts in this table's row pool, freed with the rows by
  // ClearRows; null when there is no pool or no room.
  char* RowText(size_t bytes);
  TableRecord* FirstRow() { return firstRow; }
  int32_t RowCount() { return rowCount; }

  TableRecord* nextRow = nullptr;
  TableRecord* prevRow = nullptr;
  TextBuffer tableName;
  TextBuffer whereClause;  // may end in ORDER BY
  int32_t rowCount = 0;
  DatabaseEngine* engine = nullptr;
  TableRecord* firstRow = nullptr;
  TableRecord* lastRow = nullptr;

 protected:
  // For CreateRow: a Row built in this table object's row pool, or on the
  // heap when the pool cannot serve it. Either way only ClearRows destroys it.
  template <class Row>
  TableRecord* NewRow(int32_t columnCount, char** columnTexts, char** columnNames) {
    void* slot = PoolSlot(sizeof(Row));
    if (slot == nullptr) return new (std::nothrow) Row(this, columnCount, columnTexts, columnNames);
    TableRecord* row = new (slot) Row(this, columnCount, columnTexts, columnNames);
    row->rowPool = rowPool;
    return row;
  }

 private:
  void* PoolSlot(size_t size);
  bool OwnsPool() const { return rowPool != nullptr && rowPool->Owner() == this; }

  // A table object's own pool; in a row built there, that pool.
  RowPool* rowPool = nullptr;
};

// The callback that Execute hands to the engine; context is the TableRecord.
int32_t RowCallback(void* context, int32_t columnCount, char** columnTexts, char** columnNames);
