#include "storage/TableRecord.h"

#include <gtest/gtest.h>

#include "tests/storage/RecordingEngine.h"

namespace {

// A record type whose rows remember the first column, to see list order.
class NumberRecord : public TableRecord {
 public:
  using TableRecord::TableRecord;
  TableRecord* CreateRow(int32_t count, char** texts, char** names) override {
    auto* row = new NumberRecord(this, count, texts, names);
    row->number = count > 0 && texts[0] ? std::stoi(texts[0]) : -1;
    return row;
  }
  int number = 0;
};

int NumberAt(TableRecord& table, int32_t index) { return static_cast<NumberRecord*>(table.RowAt(index))->number; }

}  // namespace

TEST(TableRecord, SelectComposesItsStatement) {
  RecordingEngine engine;
  TableRecord table(&engine, "QLedger");
  table.Select();
  EXPECT_EQ(engine.Last(), "SELECT * FROM QLedger");
  table.whereClause.Assign("mAccID = '1' ORDER BY mDate");
  table.Select();
  EXPECT_EQ(engine.Last(), "SELECT * FROM QLedger WHERE mAccID = '1' ORDER BY mDate");

  TableRecord unnamed(&engine, nullptr);
  EXPECT_STREQ(unnamed.tableName.Text(), "");
  TableRecord detached(nullptr, "QLedger");
  EXPECT_EQ(detached.Execute("DELETE FROM QLedger"), 0);
}

TEST(TableRecord, SelectsAppendRowsInResultOrder) {
  RecordingEngine engine;
  NumberRecord table(&engine, "T");
  engine.nextRows = {{"1"}, {"2"}};
  EXPECT_EQ(table.Select(), 2);
  engine.nextRows = {{"3"}};
  EXPECT_EQ(table.Select(), 3);  // without ClearRows the second result follows the first
  EXPECT_EQ(NumberAt(table, 0), 1);
  EXPECT_EQ(NumberAt(table, 2), 3);
  EXPECT_EQ(table.RowAt(2), table.lastRow);
  EXPECT_EQ(table.RowAt(3), nullptr);
  EXPECT_EQ(table.RowAt(-1), nullptr);
  EXPECT_EQ(table.RowAt(1)->prevRow, table.FirstRow());
  EXPECT_EQ(table.RowAt(1)->nextRow, table.lastRow);

  TableRecord* row = table.FirstRow();
  EXPECT_EQ(row->engine, &engine);
  EXPECT_STREQ(row->tableName.Text(), "T");
  EXPECT_EQ(row->whereClause.Length(), 0);

  EXPECT_EQ(table.Execute("UPDATE T SET x = 1"), 1);  // no rows: the list stays
  EXPECT_EQ(table.RowCount(), 3);
  table.ClearRows();
  EXPECT_EQ(table.FirstRow(), nullptr);
  EXPECT_EQ(table.RowCount(), 0);
  EXPECT_EQ(table.RowAt(0), nullptr);
}

TEST(TableRecord, RowsTheTypeCannotCreateAreSkipped) {
  RecordingEngine engine;
  TableRecord table(&engine, "T");
  engine.nextRows = {{"1"}, {"2"}};
  EXPECT_EQ(table.Select(), 0);
  EXPECT_EQ(RowCallback(nullptr, 0, nullptr, nullptr), 0);
}
