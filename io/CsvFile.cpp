// CSV as RFC 4180 writes it, read by a small reader of our own (it also runs
// on Windows, where no CSV library is packaged): "," or ";" separated, quoted
// fields with "" for a quote, line breaks inside quotes.
#include <algorithm>
#include <cctype>
#include <optional>

#include "io/Fields.h"
#include "io/StatementFiles.h"

namespace {

enum class Role { Ignore, Date, Payee, Memo, Amount, Debit, Credit, Check, Status };

struct Record {
  int line = 0;
  std::vector<std::string> fields;
};

std::string Normalize(std::string_view name) {
  std::string out;
  for (char c : Trim(name)) {
    unsigned char u = static_cast<unsigned char>(c);
    if (std::isalnum(u)) out += static_cast<char>(std::tolower(u));
    else if (!out.empty() && out.back() != ' ') out += ' ';
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::optional<Role> RoleOf(std::string_view name) {
  static const struct {
    const char* name;
    Role role;
  } kNames[] = {
      {"date", Role::Date}, {"transaction date", Role::Date}, {"posted", Role::Date}, {"posting date", Role::Date},
      {"posted date", Role::Date}, {"booking date", Role::Date}, {"value date", Role::Date},
      {"payee", Role::Payee}, {"description", Role::Payee}, {"name", Role::Payee}, {"merchant", Role::Payee},
      {"details", Role::Payee}, {"narrative", Role::Payee}, {"transaction description", Role::Payee},
      {"memo", Role::Memo}, {"note", Role::Memo}, {"notes", Role::Memo},
      {"amount", Role::Amount}, {"value", Role::Amount}, {"transaction amount", Role::Amount}, {"sum", Role::Amount},
      {"debit", Role::Debit}, {"debits", Role::Debit}, {"withdrawal", Role::Debit}, {"withdrawals", Role::Debit},
      {"paid out", Role::Debit}, {"money out", Role::Debit}, {"outflow", Role::Debit}, {"payment", Role::Debit},
      {"credit", Role::Credit}, {"credits", Role::Credit}, {"deposit", Role::Credit}, {"deposits", Role::Credit},
      {"paid in", Role::Credit}, {"money in", Role::Credit}, {"inflow", Role::Credit},
      {"check", Role::Check}, {"check number", Role::Check}, {"check no", Role::Check}, {"cheque", Role::Check},
      {"cheque number", Role::Check}, {"number", Role::Check}, {"num", Role::Check}, {"no", Role::Check},
      {"status", Role::Status}, {"cleared", Role::Status}, {"reconciled", Role::Status},
      {"ignore", Role::Ignore}, {"", Role::Ignore},
  };
  std::string key = Normalize(name);
  if (key == "skip") return Role::Ignore;
  for (const auto& entry : kNames) {
    if (key == entry.name) return entry.role;
  }
  return std::nullopt;
}

// The separator is the one the first line uses more of, outside quotes.
char DetectSeparator(std::string_view text) {
  size_t commas = 0, semicolons = 0;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    else if (!quoted && c == '\n') break;
    else if (!quoted && c == ',') ++commas;
    else if (!quoted && c == ';') ++semicolons;
  }
  return semicolons > commas ? ';' : ',';
}

bool ReadRecords(std::string_view text, char separator, std::vector<Record>& records, ReadResult& result) {
  size_t at = 0;
  int line = 1;
  while (at < text.size()) {
    Record record;
    record.line = line;
    std::string field;
    bool endOfRecord = false;
    while (!endOfRecord) {
      field.clear();
      if (at < text.size() && text[at] == '"') {
        ++at;
        for (;;) {
          if (at >= text.size()) return result.Fail(record.line, "a quoted field is not closed"), false;
          char c = text[at++];
          if (c == '\n') ++line;
          if (c != '"') {
            field += c;
          } else if (at < text.size() && text[at] == '"') {
            field += '"';
            ++at;
          } else {
            break;
          }
        }
        if (at < text.size() && text[at] == '\r') ++at;
        if (at < text.size() && text[at] != separator && text[at] != '\n')
          return result.Fail(line, "text follows a closing quote"), false;
      } else {
        while (at < text.size() && text[at] != separator && text[at] != '\n') field += text[at++];
        if (!field.empty() && field.back() == '\r') field.pop_back();
        if (field.find('"') != std::string::npos) return result.Fail(line, "a quote inside an unquoted field"), false;
      }
      if (!ValidUtf8(field)) return result.Fail(line, "the field is not UTF-8 text"), false;
      record.fields.push_back(field);
      if (at >= text.size() || text[at] == '\n') {
        endOfRecord = true;
        if (at < text.size()) ++line;
      }
      ++at;
    }
    bool blank = record.fields.size() == 1 && Trim(record.fields[0]).empty();
    if (!blank) records.push_back(std::move(record));
  }
  return true;
}

const std::string* Field(const Record& record, int index) {
  return index >= 0 && static_cast<size_t>(index) < record.fields.size() ? &record.fields[index] : nullptr;
}

}  // namespace

ReadResult ReadCsv(std::string_view text, const ReadOptions& options) {
  ReadResult result;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  const char separator = DetectSeparator(text);
  std::vector<Record> records;
  if (!ReadRecords(text, separator, records, result) || records.empty()) return result;

  // Column index of each role; -1 when absent.
  int date = -1, payee = -1, memo = -1, amount = -1, debit = -1, credit = -1, check = -1, status = -1;
  auto assign = [&](Role role, int index) {
    switch (role) {
      case Role::Date: if (date < 0) date = index; break;
      case Role::Payee: if (payee < 0) payee = index; break;
      case Role::Memo: if (memo < 0) memo = index; break;
      case Role::Amount: if (amount < 0) amount = index; break;
      case Role::Debit: if (debit < 0) debit = index; break;
      case Role::Credit: if (credit < 0) credit = index; break;
      case Role::Check: if (check < 0) check = index; break;
      case Role::Status: if (status < 0) status = index; break;
      case Role::Ignore: break;
    }
  };
  size_t firstData = 1;
  if (!options.columns.empty()) {
    std::string_view list = options.columns;
    for (int index = 0;; ++index) {
      size_t comma = list.find(',');
      std::string_view name = list.substr(0, comma);
      auto role = RoleOf(name == "-" ? "" : name);
      if (!role) return result.Fail(0, "--columns: '" + std::string(name) + "' is not a column name"), result;
      assign(*role, index);
      if (comma == std::string_view::npos) break;
      list.remove_prefix(comma + 1);
    }
    // The first row is a header of other names when its date is no date.
    const std::string* first = Field(records[0], date);
    firstData = first && ParseDate(*first, options.inputDatePattern) ? 0 : 1;
  } else {
    for (size_t i = 0; i < records[0].fields.size(); ++i) {
      if (auto role = RoleOf(records[0].fields[i])) assign(*role, static_cast<int>(i));
    }
  }
  if (payee < 0) payee = memo;
  const char* missing = date < 0 ? "date" : payee < 0 ? "payee" : amount < 0 && debit < 0 && credit < 0 ? "amount" : nullptr;
  if (missing) {
    return result.Fail(records[0].line, std::string("no ") + missing +
                                            " column: name the columns in the header or with --columns"),
           result;
  }

  const bool decimalComma = separator == ';';
  for (size_t r = firstData; r < records.size() && !result.Failed(); ++r) {
    const Record& record = records[r];
    StatementRow row;
    row.line = record.line;
    const std::string* dateText = Field(record, date);
    const std::string* payeeText = Field(record, payee);
    if (!dateText || !payeeText) {
      result.Fail(record.line, "the row has " + std::to_string(record.fields.size()) + " fields, too few");
      break;
    }
    auto parsedDate = ParseDate(*dateText, options.inputDatePattern);
    if (!parsedDate) return result.Fail(record.line, "'" + *dateText + "' is not a date"), result;
    row.date = *parsedDate;
    row.payee = *payeeText;
    if (row.payee.empty() && Field(record, memo)) row.payee = *Field(record, memo);
    if (amount >= 0) {
      const std::string* text = Field(record, amount);
      auto cents = text ? ParseAmount(*text, decimalComma) : std::nullopt;
      if (!cents) return result.Fail(record.line, "'" + (text ? *text : "") + "' is not an amount"), result;
      row.cents = *cents;
    } else {
      int64_t paid[2] = {0, 0};
      const int columns[2] = {debit, credit};
      for (int k = 0; k < 2; ++k) {
        const std::string* text = Field(record, columns[k]);
        if (!text || Trim(*text).empty()) continue;
        auto cents = ParseAmount(*text, decimalComma);
        if (!cents) return result.Fail(record.line, "'" + *text + "' is not an amount"), result;
        paid[k] = *cents < 0 ? -*cents : *cents;
      }
      if (paid[0] != 0 && paid[1] != 0) return result.Fail(record.line, "both a debit and a credit"), result;
      row.cents = paid[1] - paid[0];
    }
    if (const std::string* text = Field(record, check)) {
      auto number = ParseCheckNumber(*text);
      if (!number) return result.Fail(record.line, "check number '" + *text + "' is too large"), result;
      row.checkNum = *number;
    }
    if (const std::string* text = Field(record, status)) {
      auto value = ParseStatus(*text);
      if (!value) return result.Fail(record.line, "'" + *text + "' is not a status (C, R or B)"), result;
      row.status = *value;
    }
    result.rows.push_back(std::move(row));
  }
  return result;
}

namespace {

void PutField(std::FILE* file, const std::string& text) {
  bool quote = text.find_first_of(",\"\r\n") != std::string::npos ||
               (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quote) {
    std::fputs(text.c_str(), file);
    return;
  }
  std::fputc('"', file);
  for (char c : text) {
    if (c == '"') std::fputc('"', file);
    std::fputc(c, file);
  }
  std::fputc('"', file);
}

}  // namespace

bool WriteCsv(std::FILE* file, const std::vector<ExportRow>& rows) {
  std::fputs("Check,Date,Payee,Credit,Debit,Status\r\n", file);
  for (const ExportRow& row : rows) {
    if (row.checkNum != 0) std::fprintf(file, "%d", static_cast<int>(row.checkNum));
    std::fputc(',', file);
    PutField(file, row.date);
    std::fputc(',', file);
    PutField(file, row.payee);
    std::fputc(',', file);
    if (row.creditCents != 0) std::fputs(FormatCents(row.creditCents).c_str(), file);
    std::fputc(',', file);
    if (row.debitCents != 0) std::fputs(FormatCents(row.debitCents).c_str(), file);
    std::fprintf(file, ",%s\r\n", StatusLetter(row.status));
  }
  return std::ferror(file) == 0;
}
