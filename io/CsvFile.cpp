// CSV as RFC 4180 writes it, read by a small reader of our own (it also runs
// on Windows, where no CSV library is packaged): "," or ";" separated, quoted
// fields with "" for a quote, line breaks inside quotes.
#include <algorithm>
#include <cctype>
#include <iterator>
#include <optional>

#include "io/Fields.h"
#include "io/StatementFiles.h"

namespace {

// Kind is a column such as Type or Details that says DEBIT or CREDIT: a payee
// only when nothing better is there, and the side of an unsigned amount.
enum class Role { Ignore, Date, Payee, Memo, Kind, Amount, Debit, Credit, Check, Status, kCount };

const char* const kRoleNames[] = {"ignored", "date", "payee", "memo", "type", "amount", "debit", "credit", "check",
                                  "status"};

// A header name's role and its rank: of two columns for one role the lower
// rank is taken; two of the same rank are ambiguous.
struct Meaning {
  Role role;
  int rank;
};

struct Record {
  int line = 0;
  std::vector<std::string> fields;
};

std::optional<Meaning> MeaningOf(std::string_view name) {
  static const struct {
    const char* name;
    Meaning meaning;
  } kNames[] = {
      {"date", {Role::Date, 0}},
      {"transaction date", {Role::Date, 1}}, {"trans date", {Role::Date, 1}}, {"trans dt", {Role::Date, 1}},
      {"posting date", {Role::Date, 2}}, {"posted date", {Role::Date, 2}}, {"post date", {Role::Date, 2}},
      {"posted", {Role::Date, 2}}, {"date posted", {Role::Date, 2}}, {"booking date", {Role::Date, 2}},
      {"value date", {Role::Date, 3}}, {"effective date", {Role::Date, 3}},
      {"payee", {Role::Payee, 0}},
      {"description", {Role::Payee, 1}}, {"transaction description", {Role::Payee, 1}},
      {"narrative", {Role::Payee, 1}}, {"original description", {Role::Payee, 2}},
      {"name", {Role::Payee, 2}}, {"merchant", {Role::Payee, 2}}, {"merchant name", {Role::Payee, 2}},
      {"memo", {Role::Memo, 0}}, {"note", {Role::Memo, 0}}, {"notes", {Role::Memo, 0}},
      {"details", {Role::Kind, 0}}, {"dr cr", {Role::Kind, 0}}, {"cr dr", {Role::Kind, 0}},
      {"debit credit", {Role::Kind, 0}}, {"type", {Role::Kind, 1}}, {"transaction type", {Role::Kind, 1}},
      {"amount", {Role::Amount, 0}}, {"transaction amount", {Role::Amount, 0}}, {"value", {Role::Amount, 0}},
      {"sum", {Role::Amount, 0}},
      {"debit", {Role::Debit, 0}}, {"debits", {Role::Debit, 0}}, {"debit amount", {Role::Debit, 0}},
      {"withdrawal", {Role::Debit, 0}}, {"withdrawals", {Role::Debit, 0}}, {"withdrawal amount", {Role::Debit, 0}},
      {"paid out", {Role::Debit, 0}}, {"money out", {Role::Debit, 0}}, {"outflow", {Role::Debit, 0}},
      {"payment", {Role::Debit, 0}},
      {"credit", {Role::Credit, 0}}, {"credits", {Role::Credit, 0}}, {"credit amount", {Role::Credit, 0}},
      {"deposit", {Role::Credit, 0}}, {"deposits", {Role::Credit, 0}}, {"deposit amount", {Role::Credit, 0}},
      {"paid in", {Role::Credit, 0}}, {"money in", {Role::Credit, 0}}, {"inflow", {Role::Credit, 0}},
      {"check", {Role::Check, 0}}, {"check number", {Role::Check, 0}}, {"check no", {Role::Check, 0}},
      {"check num", {Role::Check, 0}}, {"check or slip", {Role::Check, 0}}, {"cheque", {Role::Check, 0}},
      {"cheque number", {Role::Check, 0}}, {"cheque no", {Role::Check, 0}},
      {"number", {Role::Check, 1}}, {"num", {Role::Check, 1}}, {"no", {Role::Check, 1}},
      {"reference", {Role::Check, 2}}, {"ref", {Role::Check, 2}}, {"reference number", {Role::Check, 2}},
      {"status", {Role::Status, 0}}, {"cleared", {Role::Status, 0}}, {"reconciled", {Role::Status, 0}},
      // Known, and not for the register.
      {"balance", {Role::Ignore, 0}}, {"running balance", {Role::Ignore, 0}}, {"running bal", {Role::Ignore, 0}},
      {"available balance", {Role::Ignore, 0}}, {"category", {Role::Ignore, 0}}, {"card no", {Role::Ignore, 0}},
      {"account", {Role::Ignore, 0}}, {"account number", {Role::Ignore, 0}}, {"currency", {Role::Ignore, 0}},
      {"ignore", {Role::Ignore, 0}}, {"skip", {Role::Ignore, 0}}, {"", {Role::Ignore, 0}},
  };
  std::string key = NormalizedName(name);
  for (const auto& entry : kNames) {
    if (key == entry.name) return entry.meaning;
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
      if (!IsUtf8(field)) return result.Fail(line, "the field is not UTF-8 text"), false;
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

namespace {

// Column index of each role; -1 when absent.
struct Columns {
  int at[static_cast<int>(Role::kCount)];
  Columns() { std::fill(std::begin(at), std::end(at), -1); }
  int& operator[](Role role) { return at[static_cast<int>(role)]; }
  int operator[](Role role) const { return at[static_cast<int>(role)]; }
  bool Complete() const {
    const Columns& c = *this;
    return c[Role::Date] >= 0 && (c[Role::Payee] >= 0 || c[Role::Memo] >= 0 || c[Role::Kind] >= 0) &&
           (c[Role::Amount] >= 0 || c[Role::Debit] >= 0 || c[Role::Credit] >= 0);
  }
};

// The roles a header names; a role named twice at its best rank is an
// error naming both columns.
Columns ColumnsOf(const Record& header, std::string& ambiguity) {
  Columns columns;
  int rank[static_cast<int>(Role::kCount)];
  std::fill(std::begin(rank), std::end(rank), 1 << 20);
  for (size_t i = 0; i < header.fields.size(); ++i) {
    auto meaning = MeaningOf(header.fields[i]);
    if (!meaning || meaning->role == Role::Ignore) continue;
    int r = static_cast<int>(meaning->role);
    if (meaning->rank < rank[r]) {
      rank[r] = meaning->rank;
      columns.at[r] = static_cast<int>(i);
    } else if (meaning->rank == rank[r] && ambiguity.empty()) {
      ambiguity = "the columns '" + header.fields[static_cast<size_t>(columns.at[r])] + "' and '" + header.fields[i] +
                  "' both give the " + kRoleNames[r];
    }
  }
  if (ambiguity.empty() && columns[Role::Amount] >= 0 && (columns[Role::Debit] >= 0 || columns[Role::Credit] >= 0)) {
    int other = columns[Role::Debit] >= 0 ? columns[Role::Debit] : columns[Role::Credit];
    ambiguity = "the columns '" + header.fields[static_cast<size_t>(columns[Role::Amount])] + "' and '" +
                header.fields[static_cast<size_t>(other)] + "' both give the amount";
  }
  return columns;
}

bool Blank(const std::string* text) { return !text || Trim(*text).empty(); }

// Which side a Type or Details column puts an unsigned amount on: 1 credit,
// -1 debit, 0 when it does not say.
int SideOf(const std::string* kind) {
  if (!kind) return 0;
  std::string key = NormalizedName(*kind);
  if (key == "debit" || key == "dr" || key == "withdrawal" || key == "check" || key == "cheque") return -1;
  if (key == "credit" || key == "cr" || key == "deposit") return 1;
  return 0;
}

// How far down a preamble of summary lines the header is looked for.
constexpr size_t kHeaderSearch = 40;

}  // namespace

ReadResult ReadCsv(std::string_view text, const ReadOptions& options) {
  ReadResult result;
  text = SkipByteOrderMark(text);
  const char separator = DetectSeparator(text);
  std::vector<Record> records;
  if (!ReadRecords(text, separator, records, result) || records.empty()) return result;

  Columns columns;
  size_t firstData = 1;
  size_t headerFields = 0;  // 0: no header to hold the rows to
  if (!options.columns.empty()) {
    std::string_view list = options.columns;
    for (int index = 0;; ++index) {
      size_t comma = list.find(',');
      std::string_view name = list.substr(0, comma);
      auto meaning = MeaningOf(name == "-" ? "" : name);
      if (!meaning) return result.Fail(0, "--columns: '" + std::string(name) + "' is not a column name"), result;
      if (meaning->role != Role::Ignore && columns[meaning->role] < 0) columns[meaning->role] = index;
      if (comma == std::string_view::npos) break;
      list.remove_prefix(comma + 1);
    }
    // The first row is a header of other names when its date is no date.
    const std::string* first = Field(records[0], columns[Role::Date]);
    firstData = first && ParseDate(*first, options.inputDatePattern) ? 0 : 1;
  } else {
    // The header is the first row naming a date, a payee and an amount;
    // a bank's summary lines may come before it.
    size_t header = 0;
    std::string ambiguity;
    for (; header < records.size() && header < kHeaderSearch; ++header) {
      columns = ColumnsOf(records[header], ambiguity);
      if (columns.Complete()) break;
      ambiguity.clear();
    }
    if (!ambiguity.empty())
      return result.Fail(records[header].line, ambiguity + ": name the columns with --columns"), result;
    if (header == records.size() || header == kHeaderSearch) {
      columns = ColumnsOf(records[0], ambiguity);
      const char* missing = columns[Role::Date] < 0 ? "date"
                            : columns[Role::Payee] < 0 && columns[Role::Memo] < 0 && columns[Role::Kind] < 0
                                ? "payee"
                                : "amount";
      return result.Fail(records[0].line, std::string("no ") + missing +
                                              " column: name the columns in the header or with --columns"),
             result;
    }
    firstData = header + 1;
    headerFields = records[header].fields.size();
  }
  if (!columns.Complete()) {
    const char* missing = columns[Role::Date] < 0 ? "date" : columns[Role::Amount] < 0 ? "amount" : "payee";
    return result.Fail(0, std::string("--columns: no ") + missing + " column"), result;
  }

  const bool decimalComma = separator == ';';
  for (size_t r = firstData; r < records.size() && !result.Failed(); ++r) {
    const Record& record = records[r];
    if (std::all_of(record.fields.begin(), record.fields.end(), [](const std::string& f) { return Trim(f).empty(); }))
      continue;
    // "1,234.56" unquoted splits an amount in two: more fields than the
    // header names, and the amount would be read as 1.
    if (headerFields > 0 && record.fields.size() > headerFields &&
        !std::all_of(record.fields.begin() + static_cast<std::ptrdiff_t>(headerFields), record.fields.end(),
                     [](const std::string& f) { return Trim(f).empty(); }))
      return result.Fail(record.line, "the row has " + std::to_string(record.fields.size()) + " fields, the header " +
                                          std::to_string(headerFields) + "; is a separator inside an unquoted field?"),
             result;
    StatementRow row;
    row.line = record.line;
    const std::string* dateText = Field(record, columns[Role::Date]);
    const int payeeColumn = columns[Role::Payee] >= 0 ? columns[Role::Payee]
                            : columns[Role::Memo] >= 0 ? columns[Role::Memo]
                                                       : columns[Role::Kind];
    const std::string* payeeText = Field(record, payeeColumn);
    const std::string* amountText = Field(record, columns[Role::Amount]);
    const std::string* debitText = Field(record, columns[Role::Debit]);
    const std::string* creditText = Field(record, columns[Role::Credit]);
    if (!dateText || !payeeText || (columns[Role::Amount] >= 0 ? !amountText : !debitText && !creditText)) {
      result.Fail(record.line, "the row has " + std::to_string(record.fields.size()) + " fields, too few");
      break;
    }
    // A balance or total line of the bank's: the amount columns are there, empty.
    if (columns[Role::Amount] >= 0 ? Blank(amountText) : Blank(debitText) && Blank(creditText)) {
      ++result.withoutAmount;
      continue;
    }
    auto parsedDate = ParseDate(*dateText, options.inputDatePattern);
    if (!parsedDate) return result.Fail(record.line, NotADate(*dateText, options.inputDatePattern)), result;
    row.date = *parsedDate;
    row.payee = *payeeText;
    for (Role fallback : {Role::Memo, Role::Kind}) {
      if (Trim(row.payee).empty() && Field(record, columns[fallback])) row.payee = *Field(record, columns[fallback]);
    }
    if (columns[Role::Amount] >= 0) {
      auto cents = ParseAmount(*amountText, decimalComma);
      if (!cents) return result.Fail(record.line, "'" + *amountText + "' is not an amount"), result;
      row.cents = *cents;
      const std::string unsignedAmount(Trim(*amountText));
      if (!unsignedAmount.empty() && unsignedAmount[0] != '-' && unsignedAmount[0] != '(' &&
          SideOf(Field(record, columns[Role::Kind])) < 0)
        row.cents = -row.cents;
    } else {
      int64_t paid[2] = {0, 0};
      const std::string* texts[2] = {debitText, creditText};
      for (int k = 0; k < 2; ++k) {
        if (Blank(texts[k])) continue;
        auto cents = ParseAmount(*texts[k], decimalComma);
        if (!cents) return result.Fail(record.line, "'" + *texts[k] + "' is not an amount"), result;
        paid[k] = *cents < 0 ? -*cents : *cents;
      }
      if (paid[0] != 0 && paid[1] != 0) return result.Fail(record.line, "both a debit and a credit"), result;
      row.cents = paid[1] - paid[0];
    }
    if (const std::string* text = Field(record, columns[Role::Check])) {
      auto number = ParseCheckNumber(*text);
      if (!number) return result.Fail(record.line, "check number '" + *text + "' is too large"), result;
      row.checkNum = *number;
    }
    if (const std::string* text = Field(record, columns[Role::Status])) {
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
