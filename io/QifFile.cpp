// QIF, which no packaged library reads: one field a line, a letter and its
// value, each record ended by "^".
#include <cctype>
#include <optional>

#include "io/Fields.h"
#include "io/StatementFiles.h"
#include "storage/LedgerRecord.h"

namespace {

// Sections that hold a register's transactions; the others (categories,
// classes, accounts, investments, memorized entries) are passed over.
bool IsRegisterSection(std::string_view header) {
  for (std::string_view type : {"!Type:Bank", "!Type:Cash", "!Type:CCard", "!Type:Oth A", "!Type:Oth L"}) {
    if (StartsWithNoCase(header, type)) return true;
  }
  return false;
}

struct PendingRecord {
  int firstLine = 0;
  int dateLine = 0, amountLine = 0, checkLine = 0;
  std::optional<std::string> date, amount, otherAmount, check, payee, memo, status;
  bool Empty() const { return firstLine == 0; }
};

void FinishRecord(const PendingRecord& record, const ReadOptions& options, ReadResult& result) {
  if (!record.date) return result.Fail(record.firstLine, "the transaction has no date (D line)");
  const std::optional<std::string>& amountText = record.amount ? record.amount : record.otherAmount;
  if (!amountText) return result.Fail(record.firstLine, "the transaction has no amount (T line)");
  StatementRow row;
  row.line = record.firstLine;
  auto date = ParseDate(*record.date, options.inputDatePattern);
  if (!date) return result.Fail(record.dateLine, NotADate(*record.date, options.inputDatePattern));
  row.date = *date;
  auto cents = ParseAmount(*amountText, false);
  if (!cents) return result.Fail(record.amountLine, "'" + *amountText + "' is not an amount");
  row.cents = *cents;
  if (record.check) {
    auto check = ParseCheckNumber(*record.check);
    if (!check) return result.Fail(record.checkLine, "check number '" + *record.check + "' is too large");
    row.checkNum = *check;
  }
  row.payee = record.payee && !record.payee->empty() ? *record.payee : record.memo.value_or("");
  if (record.status) row.status = ParseStatus(*record.status).value_or(0);
  result.rows.push_back(std::move(row));
}

}  // namespace

ReadResult ReadQif(std::string_view text, const ReadOptions& options) {
  ReadResult result;
  text = SkipByteOrderMark(text);
  bool inRegister = true;
  PendingRecord record;
  int lineNumber = 0;
  while (!text.empty() && !result.Failed()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!IsUtf8(line)) return result.Fail(lineNumber, "the line is not UTF-8 text"), result;
    if (Trim(line).empty()) continue;
    if (line[0] == '!') {
      if (!record.Empty()) return result.Fail(lineNumber, "a header inside a transaction; is a ^ missing?"), result;
      if (StartsWithNoCase(line, "!Type:")) inRegister = IsRegisterSection(line);
      else if (StartsWithNoCase(line, "!Account")) inRegister = false;
      continue;  // !Option and !Clear lines change nothing here
    }
    if (line[0] == '^') {
      if (inRegister && !record.Empty()) FinishRecord(record, options, result);
      record = PendingRecord();
      continue;
    }
    if (record.Empty()) record.firstLine = lineNumber;
    std::string value(line.substr(1));
    // Two transactions run together would otherwise become one.
    const std::optional<std::string>* once = line[0] == 'D'   ? &record.date
                                             : line[0] == 'T' ? &record.amount
                                             : line[0] == 'U' ? &record.otherAmount
                                             : line[0] == 'N' ? &record.check
                                             : line[0] == 'P' ? &record.payee
                                                              : nullptr;
    if (once && once->has_value())
      return result.Fail(lineNumber, std::string("a second ") + line[0] + " line in one transaction; is a ^ missing?"),
             result;
    switch (line[0]) {
      case 'D': record.date = value; record.dateLine = lineNumber; break;
      case 'T': record.amount = value; record.amountLine = lineNumber; break;
      case 'U':
        record.otherAmount = value;
        if (!record.amount) record.amountLine = lineNumber;
        break;
      case 'N': record.check = value; record.checkLine = lineNumber; break;
      case 'P': record.payee = value; break;
      case 'M': record.memo = value; break;
      case 'C': record.status = value; break;
      default: break;  // addresses, categories, splits
    }
  }
  if (!result.Failed() && inRegister && !record.Empty()) FinishRecord(record, options, result);
  return result;
}

bool WriteQif(std::FILE* file, const std::vector<ExportRow>& rows) {
  std::fputs("!Type:Bank\n", file);
  for (const ExportRow& row : rows) {
    // A QIF value ends at the line's end.
    std::string payee = row.payee;
    for (char& c : payee) {
      if (c == '\n' || c == '\r') c = ' ';
    }
    std::string date = row.date;
    for (char& c : date) {
      if (c == '\n' || c == '\r') c = ' ';
    }
    std::fprintf(file, "D%s\nT%s\n", date.c_str(), FormatCents(row.creditCents - row.debitCents).c_str());
    if (row.checkNum != 0) std::fprintf(file, "N%d\n", static_cast<int>(row.checkNum));
    std::fprintf(file, "P%s\n", payee.c_str());
    if (row.status == StatusCleared) std::fputs("C*\n", file);
    if (row.status == 2) std::fputs("CX\n", file);
    std::fputs("^\n", file);
  }
  return std::ferror(file) == 0;
}
