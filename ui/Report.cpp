#include "ui/Report.h"

#include <cstdio>

#include "app/AppState.h"

namespace {

void WriteRow(FILE* file, const LedgerRecord& row) {
  if (row.mCheckNum != 0) {
    std::fprintf(file, "%5ld ", static_cast<long>(row.mCheckNum));
  } else {
    std::fputs("      ", file);
  }
  std::fprintf(file, "%-10s  ", row.Date());
  std::fprintf(file, "%-38s  ", row.Payee());
  if (row.mCredit != 0) {
    std::fprintf(file, "%4.2lf  ", static_cast<double>(row.mCredit));
  } else {
    std::fputs("        ", file);
  }
  if (row.mDebit != 0) {
    std::fprintf(file, "%-4.2lf  ", static_cast<double>(row.mDebit));
  } else {
    std::fputs("        ", file);
  }
  switch (row.mStatus) {
    case StatusCleared: std::fputs(" C\n", file); break;
    case StatusReconciled: std::fputs(" R\n", file); break;
    case StatusMarked: std::fputs(" B\n", file); break;
    default: std::fputs("  \n", file); break;
  }
}

}  // namespace

void WriteReport() {
  // Text mode: each line end is CR LF on Windows.
  FILE* file = std::fopen("Report.txt", "w");
  if (file == nullptr) return;
  std::fputs("\n", file);
  std::fputs("RErivarude v 1.01\n", file);
  std::fputs(" ##   Date        Description                           Credit  Debit St\n", file);
  std::fputs("--------------------------------------------------------------------------\n", file);
  for (TableRecord* row = appState.ledger->FirstRow(); row != nullptr; row = row->nextRow) {
    WriteRow(file, *static_cast<LedgerRecord*>(row));
  }
  std::fclose(file);
}
