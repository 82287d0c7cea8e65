#include "storage/RegisterOrder.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "storage/CalendarDate.h"

namespace {

struct Keyed {
  int32_t day;
  int32_t transID;
  LedgerRecord* row;
};

// DateBefore's order, then the key; the row itself is read only for two
// unreadable dates, so the sort stays within the keys.
bool Before(const Keyed& a, const Keyed& b) {
  if (a.day != b.day) return a.day < b.day;
  if (a.day == 0) {
    const int texts = std::strcmp(a.row->Date(), b.row->Date());
    if (texts != 0) return texts < 0;
  }
  return a.transID < b.transID;
}

}  // namespace

void SortRegisterRows(LedgerRecord& table) {
  if (table.rowCount < 2) return;
  // Registers are mostly entered in date order and fetched by key: a first
  // pass finds that without building the sort's keys.
  bool ordered = true;
  Keyed last{};
  for (TableRecord* row = table.FirstRow(); row != nullptr && ordered; row = row->nextRow) {
    auto* entry = static_cast<LedgerRecord*>(row);
    Keyed key{CalendarDay(entry->Date()), entry->mTransID, entry};
    ordered = row == table.FirstRow() || !Before(key, last);
    last = key;
  }
  if (ordered) return;
  std::vector<Keyed> rows;
  rows.reserve(static_cast<size_t>(table.rowCount));
  for (TableRecord* row = table.FirstRow(); row != nullptr; row = row->nextRow) {
    auto* entry = static_cast<LedgerRecord*>(row);
    rows.push_back({CalendarDay(entry->Date()), entry->mTransID, entry});
  }
  std::sort(rows.begin(), rows.end(), Before);
  TableRecord* previous = nullptr;
  for (const Keyed& k : rows) {
    k.row->prevRow = previous;
    if (previous != nullptr) previous->nextRow = k.row;
    previous = k.row;
  }
  previous->nextRow = nullptr;
  table.firstRow = rows.front().row;
  table.lastRow = previous;
}
