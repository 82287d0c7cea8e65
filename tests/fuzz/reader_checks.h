// What every statement reader owes any input: no crash, the same answer
// twice, and rows that are whole (a real date, UTF-8 payee, an amount the
// register can hold, a line inside the file) or a fault on a line inside it.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "io/Fields.h"
#include "io/StatementFiles.h"

inline void Check(bool ok) {
  if (!ok) std::abort();
}

// Lines as the readers count them: LF, CR LF and CR alone each end one.
inline int LineCount(std::string_view text) {
  int lines = 1;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++lines;
  }
  return lines;
}

inline void CheckRead(std::string_view text, const ReadResult& read, const ReadResult& again) {
  const int lines = LineCount(text);
  Check(read.Failed() == again.Failed() && read.error == again.error && read.errorLine == again.errorLine);
  Check(read.rows.size() == again.rows.size());
  if (read.Failed()) {
    Check(read.errorLine >= 0 && read.errorLine <= lines);
    return;
  }
  for (size_t i = 0; i < read.rows.size(); ++i) {
    const StatementRow& row = read.rows[i];
    Check(row.line >= 1 && row.line <= lines);
    Check(read.accounts.empty() || row.account < read.accounts.size());
    Check(!row.payee.empty());
    std::string iso = FormatDate(row.date, "%Y-%m-%d");
    auto back = ParseDate(iso, "%Y-%m-%d");
    Check(back && back->year == row.date.year && back->month == row.date.month && back->day == row.date.day);
    Check(IsUtf8(row.payee));
    // Amounts far beyond any balance saturate at 2^62 cents (the import refuses them); never past it.
    Check(row.cents >= -(int64_t{1} << 62) && row.cents <= (int64_t{1} << 62));
    Check(row.cents == again.rows[i].cents && row.payee == again.rows[i].payee && row.line == again.rows[i].line);
  }
}
