#include "storage/TableRecord.h"

TableRecord::TableRecord(DatabaseEngine* engine, const char* tableName) : engine(engine) {
  this->tableName.Assign("").Append(tableName);
}

// A row shares its table's name: a table is never renamed while it holds rows,
// and its rows go before it does.
TableRecord::TableRecord(TableRecord* owner, int32_t, char**, char**) : engine(owner ? owner->engine : nullptr) {
  tableName.Borrow(owner ? owner->tableName.Text() : "");
}

TableRecord::~TableRecord() {
  if (prevRow) prevRow->nextRow = nextRow;
  if (nextRow) nextRow->prevRow = prevRow;
  if (OwnsPool()) delete rowPool;
}

void* TableRecord::PoolSlot(size_t size) {
  if (rowPool == nullptr) rowPool = new (std::nothrow) RowPool(this);
  return OwnsPool() ? rowPool->Allocate(size) : nullptr;
}

char* TableRecord::RowText(size_t bytes) {
  if (rowPool == nullptr) rowPool = new (std::nothrow) RowPool(this);
  return OwnsPool() ? rowPool->AllocateText(bytes) : nullptr;
}

TableRecord* TableRecord::CreateRow(int32_t, char**, char**) { return nullptr; }

void TableRecord::CreateTable() {}

int32_t TableRecord::Insert() { return 0; }

int32_t TableRecord::Remove() { return 0; }

int32_t TableRecord::Update() { return 0; }

int32_t TableRecord::Execute(const char* sql) {
  if (!engine) return 0;
  return engine->Execute(sql, this, RowCallback);
}

int32_t TableRecord::Select() {
  TextBuffer sql;
  sql.Assign("SELECT * FROM ").Append(tableName.Text());
  if (whereClause.Length() > 0) sql.Append(" WHERE ").Append(whereClause.Text());
  Execute(sql.Text());
  return rowCount;
}

void TableRecord::ClearRows() {
  TableRecord* row = firstRow;
  while (row) {
    TableRecord* next = row->nextRow;
    row->ClearRows();
    // Detach first, so the destructor does not relink rows that are going too.
    row->nextRow = row->prevRow = nullptr;
    if (OwnsPool() && row->rowPool == rowPool) {
      row->~TableRecord();  // the memory stays in the pool for the next rows
    } else {
      delete row;
    }
    row = next;
  }
  if (OwnsPool()) rowPool->Reset();
  rowCount = 0;
  firstRow = lastRow = nullptr;
}

void TableRecord::AppendRow(TableRecord* row) {
  if (lastRow) {
    lastRow->nextRow = row;
    row->prevRow = lastRow;
    lastRow = row;
  } else {
    firstRow = lastRow = row;
  }
  ++rowCount;
}

TableRecord* TableRecord::RowAt(int32_t index) {
  if (!firstRow || index < 0) return nullptr;
  TableRecord* row = firstRow;
  for (int32_t i = 0; i < index && row; ++i) row = row->nextRow;
  return row;
}

int32_t RowCallback(void* context, int32_t columnCount, char** columnTexts, char** columnNames) {
  if (!context) return 0;
  TableRecord* table = static_cast<TableRecord*>(context);
  TableRecord* row = table->CreateRow(columnCount, columnTexts, columnNames);
  if (row) table->AppendRow(row);
  return 0;
}
