// QIF, which no packaged library reads: one field a line, a letter and its
// value, each record ended by "^".
#include <cctype>
#include <cstdint>
#include <optional>

#include <algorithm>

#include "io/FileShapes.h"
#include "io/Fields.h"
#include "io/StatementFiles.h"
#include "storage/LedgerRecord.h"

namespace {

enum class Section { Register, Investment, Other };

// Sections that hold a register's transactions, an investment account's, or
// lists (categories, classes, memorized entries, prices) that are passed over.
Section SectionOf(std::string_view header) {
  for (std::string_view type : {"!Type:Bank", "!Type:Cash", "!Type:CCard", "!Type:Oth A", "!Type:Oth L"}) {
    if (StartsWithNoCase(header, type)) return Section::Register;
  }
  if (StartsWithNoCase(header, "!Type:Invst") || StartsWithNoCase(header, "!Type:Port")) return Section::Investment;
  return Section::Other;
}

std::string TypeOf(std::string_view header) {
  std::string_view type = Trim(header.substr(6));
  if (StartsWithNoCase(type, "Bank")) return "bank";
  if (StartsWithNoCase(type, "CCard")) return "credit card";
  if (StartsWithNoCase(type, "Cash")) return "cash";
  if (StartsWithNoCase(type, "Oth A")) return "asset";
  if (StartsWithNoCase(type, "Oth L")) return "liability";
  return "investment";
}

struct PendingRecord {
  int firstLine = 0;
  int dateLine = 0, amountLine = 0, checkLine = 0;
  size_t account = 0;
  std::optional<std::string> date, amount, otherAmount, check, payee, memo, status;
  bool Empty() const { return firstLine == 0; }
  const std::optional<std::string>& Amount() const { return amount ? amount : otherAmount; }
};

void FinishRecord(const PendingRecord& record, const ReadOptions& options, DateOrder order, char decimal,
                  ReadResult& result) {
  StatementRow row;
  row.line = record.firstLine;
  row.account = record.account;
  auto date = options.inputDatePattern.empty() ? ReadDateAs(*record.date, order)
                                               : ParseDate(*record.date, options.inputDatePattern);
  if (!date) return result.Fail(record.dateLine, NotADate(*record.date, options.inputDatePattern));
  row.date = *date;
  const std::string& amountText = *record.Amount();
  auto amount = ReadAmountText(amountText, decimal);
  if (!amount) return result.Fail(record.amountLine, "'" + amountText + "' is not an amount");
  row.cents = amount->cents;
  std::string type;
  if (record.check) {
    auto check = ParseCheckNumber(*record.check);
    if (!check) ++result.checksLeftOut;
    else row.checkNum = *check;
    if (check && *check == 0) type = Trim(*record.check);  // DEP, ATM, EFT
  }
  row.payee = PayeeOf(record.payee.value_or(""), record.memo.value_or(""), type);
  if (record.status) row.status = ParseStatus(*record.status).value_or(0);
  result.rows.push_back(std::move(row));
}

}  // namespace

ReadResult ReadQif(std::string_view file, const ReadOptions& options) {
  ReadResult result;
  const std::string unified = UnifyLineEnds(file);
  std::string_view text = unified;
  // A file of QIF lines without a !Type line is a bank register.
  Section section = Section::Register;
  std::string accountName, pendingName, pendingType;
  bool inAccountList = false;
  size_t account = 0;
  bool named = false;  // an !Account block has named the account
  std::vector<PendingRecord> records;
  PendingRecord record;
  int lineNumber = 0;
  auto accountFor = [&](const std::string& name, const std::string& type, bool investment) {
    for (size_t i = 0; i < result.accounts.size(); ++i) {
      if (result.accounts[i].id == name && result.accounts[i].investment == investment) return i;
    }
    result.accounts.push_back({name, type, investment, 0, std::nullopt});
    return result.accounts.size() - 1;
  };
  while (!text.empty() && !result.Failed()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++lineNumber;
    if (!IsUtf8(line)) return result.Fail(lineNumber, "the line is not UTF-8 text"), result;
    while (!line.empty() && (line[0] == ' ' || line[0] == '\t')) line.remove_prefix(1);
    if (Trim(line).empty()) continue;
    if (line[0] == '!') {
      if (!record.Empty()) return result.Fail(lineNumber, "a header inside a transaction; is a ^ missing?"), result;
      if (StartsWithNoCase(line, "!Type:")) {
        section = SectionOf(line);
        inAccountList = false;
        if (section != Section::Other) {
          if (named) accountName = pendingName;
          account = accountFor(accountName, TypeOf(Trim(line)), section == Section::Investment);
        }
      } else if (StartsWithNoCase(line, "!Account")) {
        inAccountList = true;
        section = Section::Other;
      }
      continue;  // !Option and !Clear lines change nothing here
    }
    if (inAccountList) {
      // The account that the next !Type section belongs to.
      if (line[0] == 'N') pendingName = Trim(line.substr(1)), named = true;
      continue;
    }
    if (line[0] == '^') {
      if (section == Section::Register && !record.Empty()) records.push_back(record);
      if (section == Section::Investment && !record.Empty()) ++result.accounts[account].transactions;
      record = PendingRecord();
      continue;
    }
    if (section == Section::Other) continue;
    if (record.Empty()) {
      if (result.accounts.empty()) result.accounts.push_back({"", "bank", false, 0, std::nullopt});
      record.firstLine = lineNumber;
      record.account = account;
    }
    std::string value(line.substr(1));
    // Two transactions run together would otherwise become one.
    const std::optional<std::string>* once = line[0] == 'D'   ? &record.date
                                             : line[0] == 'T' ? &record.amount
                                             : line[0] == 'U' ? &record.otherAmount
                                             : line[0] == 'N' ? &record.check
                                             : line[0] == 'P' ? &record.payee
                                                              : nullptr;
    if (once && once->has_value() && section == Section::Register)
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
  if (result.Failed()) return result;
  if (section == Section::Register && !record.Empty()) records.push_back(record);
  if (section == Section::Investment && !record.Empty()) ++result.accounts[account].transactions;

  std::vector<std::string_view> dates;
  char decimal = options.decimal;
  int pointLine = 0, commaLine = 0;
  for (const PendingRecord& r : records) {
    if (!r.date) return result.Fail(r.firstLine, "the transaction has no date (D line)"), result;
    if (!r.Amount()) return result.Fail(r.firstLine, "the transaction has no amount (T line)"), result;
    dates.push_back(*r.date);
    char mark = DecimalMarkOf(*r.Amount());
    if (mark && !ReadAmountText(*r.Amount(), mark)) mark = 0;
    if (mark == '.' && !pointLine) pointLine = r.amountLine;
    if (mark == ',' && !commaLine) commaLine = r.amountLine;
  }
  if (decimal == 0 && pointLine && commaLine)
    return result.Fail(std::max(pointLine, commaLine), "amounts are written with both a decimal point and a decimal "
                                                       "comma; give --decimal . or --decimal ,"),
           result;
  if (decimal == 0) decimal = commaLine ? ',' : '.';
  DateOrder order = DateOrder::MonthFirst;
  if (options.inputDatePattern.empty()) {
    // Quicken writes the month first unless every date says otherwise.
    DateChoice choice = ChooseDateOrder(dates, DateOrder::MonthFirst);
    if (!choice.error.empty()) return result.Fail(records[choice.bad].dateLine, choice.error), result;
    order = choice.order;
  }
  for (const PendingRecord& r : records) {
    if (result.Failed()) break;
    FinishRecord(r, options, order, decimal, result);
    if (!result.Failed()) ++result.accounts[r.account].transactions;
  }
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
