#include "storage/RegisterOrder.h"

#include <algorithm>
#include <vector>

#include "storage/CalendarDate.h"

namespace {

struct Keyed {
  int32_t day;
  LedgerRecord* row;
};

bool Before(const Keyed& a, const Keyed& b) {
  if (DateBefore(a.day, a.row->Date(), b.day, b.row->Date())) return true;
  if (DateBefore(b.day, b.row->Date(), a.day, a.row->Date())) return false;
  return a.row->mTransID < b.row->mTransID;
}

}  // namespace

void SortRegisterRows(LedgerRecord& table) {
  if (table.rowCount < 2) return;
  std::vector<Keyed> rows;
  rows.reserve(static_cast<size_t>(table.rowCount));
  bool ordered = true;
  for (TableRecord* row = table.FirstRow(); row != nullptr; row = row->nextRow) {
    auto* entry = static_cast<LedgerRecord*>(row);
    rows.push_back({CalendarDay(entry->Date()), entry});
    if (ordered && rows.size() > 1) ordered = !Before(rows.back(), rows[rows.size() - 2]);
  }
  // Registers are mostly entered in date order and fetched by key.
  if (ordered) return;
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
