// CSV as RFC 4180 writes it, read by a small reader of our own (it also runs
// on Windows, where no CSV library is packaged): "," or ";" separated, quoted
// fields with "" for a quote, line breaks inside quotes.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <iterator>
#include <optional>

#include "io/FileShapes.h"
#include "io/Fields.h"
#include "io/StatementFiles.h"

namespace {

// Kind is a column such as Type or Details that says DEBIT or CREDIT: a payee
// only when nothing better is there, and the side of an unsigned amount.
enum class Role { Ignore, Date, Payee, Memo, Kind, Amount, Debit, Credit, Check, Status, Account, kCount };

const char* const kRoleNames[] = {"ignored", "date", "payee", "memo", "type", "amount", "debit", "credit", "check",
                                  "status", "account"};

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

// Lower case without blanks, punctuation or accents: "Check No." and
// "CheckNumber" alike, "Débit" as "debit".
std::string Normalize(std::string_view name) {
  static const struct {
    const char* utf8;
    char plain;
  } kAccents[] = {{"\xc3\xa0", 'a'}, {"\xc3\xa1", 'a'}, {"\xc3\xa2", 'a'}, {"\xc3\xa4", 'a'}, {"\xc3\xa7", 'c'},
                  {"\xc3\xa8", 'e'}, {"\xc3\xa9", 'e'}, {"\xc3\xaa", 'e'}, {"\xc3\xab", 'e'}, {"\xc3\xad", 'i'},
                  {"\xc3\xae", 'i'}, {"\xc3\xb1", 'n'}, {"\xc3\xb3", 'o'}, {"\xc3\xb4", 'o'}, {"\xc3\xb6", 'o'},
                  {"\xc3\xba", 'u'}, {"\xc3\xbb", 'u'}, {"\xc3\xbc", 'u'}, {"\xc3\x89", 'e'}, {"\xc3\x9c", 'u'},
                  {"\xc3\x96", 'o'}, {"\xc3\x84", 'a'}, {"\xc3\x9f", 's'}};
  std::string out;
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char u = static_cast<unsigned char>(name[i]);
    if (u < 0x80) {
      if (std::isalnum(u)) out += static_cast<char>(std::tolower(u));
      continue;
    }
    for (const auto& accent : kAccents) {
      if (name.substr(i, 2) == accent.utf8) {
        out += accent.plain;
        ++i;
        break;
      }
    }
  }
  return out;
}

std::optional<Meaning> MeaningOf(std::string_view name) {
  static const struct {
    const char* names;  // normalized, separated by spaces
    Meaning meaning;
  } kNames[] = {
      {"date datum fecha data", {Role::Date, 0}},
      {"transactiondate transdate transdt trandate dateoftransaction datetransaction dateoperation "
       "transaktionsdatum fechaoperacion starteddate datum transactiondatetime", {Role::Date, 1}},
      {"postingdate posteddate postdate posted dateposted bookingdate buchungstag buchungsdatum boekdatum "
       "datecomptabilisation completeddate", {Role::Date, 2}},
      {"valuedate effectivedate valuta valutadatum wertstellung datevaleur fechavalor", {Role::Date, 3}},
      {"payee payeename partnername partner", {Role::Payee, 0}},
      {"description transactiondescription narrative narration libelle libelleoperation beschreibung "
       "omschrijving naamomschrijving concepto descripcion descrizione particulars transactiondetails "
       "transactiondetail", {Role::Payee, 1}},
      {"originaldescription name merchant merchantname counterparty counterpartyname beneficiary "
       "empfanger zahlungsempfanger auftraggeberbegunstigter begunstigterzahlungspflichtiger "
       "naam tegenpartij empfangerzahlungspflichtiger zahlungspflichtigerempfanger", {Role::Payee, 2}},
      {"auftraggeberzahlungsempfanger auftraggeber", {Role::Payee, 3}},
      {"memo note notes verwendungszweck mededelingen remarks comment comments vorgangverwendungszweck "
       "paymentreference buchungstext", {Role::Memo, 0}},
      {"details drcr crdr debitcredit creditdebit debitorcredit creditordebit afbij sollhaben sh dc cd "
       "creditdebitindicator debitcreditindicator cdindicator indicator debetcredit", {Role::Kind, 0}},
      {"type transactiontype transtype trantype mutatiesoort", {Role::Kind, 1}},
      {"amount transactionamount value sum betrag umsatz bedrag bedrageur montant importe importo amt "
       "amounteur amountusd amountgbp betrageur montanteur netamount", {Role::Amount, 0}},
      {"debit debits debitamount withdrawal withdrawals withdrawalamount paidout moneyout outflow payment "
       "payments soll solleur ausgang uitgaven debet uscite cargo cargos amountdebit", {Role::Debit, 0}},
      {"credit credits creditamount deposit deposits depositamount paidin moneyin inflow eingang "
       "haben habeneur inkomsten entrate abono abonos amountcredit", {Role::Credit, 0}},
      {"check checknumber checkno checknum checkorslip checkorslipno chk chkno chknum chknumber cheque "
       "chequenumber chequeno chequenum", {Role::Check, 0}},
      {"number num no nr", {Role::Check, 1}},
      {"reference ref referencenumber refno refnumber", {Role::Check, 2}},
      {"status cleared reconciled", {Role::Status, 0}},
      // The account a row belongs to, in an export of several accounts.
      {"accountname account", {Role::Account, 0}},
      {"accountnumber rekening auftragskonto kontonummer", {Role::Account, 1}},
      // Known, and not for the register.
      {"balance runningbalance runningbal availablebalance saldo solde kontostand category categorie kategorie "
       "cardno cardnumber card tegenrekening iban currency "
       "waehrung wahrung devise ignore skip code", {Role::Ignore, 0}},
  };
  std::string key = Normalize(name);
  if (key.empty()) return Meaning{Role::Ignore, 0};
  auto find = [&](std::string_view wanted) -> std::optional<Meaning> {
    for (const auto& entry : kNames) {
      std::string_view names = entry.names;
      for (size_t start = 0; start < names.size();) {
        size_t end = names.find(' ', start);
        if (end == std::string_view::npos) end = names.size();
        if (names.substr(start, end - start) == wanted) return entry.meaning;
        start = end + 1;
      }
    }
    return std::nullopt;
  };
  if (auto meaning = find(key)) return meaning;
  // A currency after the name: "Montant (EUROS)", "Amount USD".
  for (std::string_view currency : {"euros", "euro", "eur", "usd", "gbp", "chf", "cad", "aud", "nzd", "sek", "nok",
                                    "dkk", "pln", "czk", "huf", "jpy", "inr", "zar"}) {
    std::string_view k = key;
    if (k.size() > currency.size() && k.substr(k.size() - currency.size()) == currency)
      if (auto meaning = find(k.substr(0, k.size() - currency.size()))) return meaning;
  }
  return std::nullopt;
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
      // Blanks before an opening quote, as some programs write ", \"x\"".
      size_t quote = at;
      while (quote < text.size() && text[quote] == ' ' && separator != ' ') ++quote;
      if (quote < text.size() && text[quote] == '"') at = quote;
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
        while (at < text.size() && text[at] == ' ' && separator != ' ') ++at;
        if (at < text.size() && text[at] != separator && text[at] != '\n')
          return result.Fail(line, "text follows a closing quote"), false;
      } else {
        while (at < text.size() && text[at] != separator && text[at] != '\n') field += text[at++];
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
  return columns;
}

bool Blank(const std::string* text) { return !text || Trim(*text).empty(); }
// An amount field with no digit ("", "-", "n/a") holds no amount.
bool NoAmount(const std::string* text) { return !text || text->find_first_of("0123456789") == std::string::npos; }

// Which side a debit/credit word puts an unsigned amount on: 1 credit, -1
// debit, 0 for a word not known. English, Dutch (Af/Bij), German (Soll/Haben,
// S/H), French, Spanish and Italian words, and a bank's D/C.
int SideOf(std::string_view word) {
  std::string key = Normalize(word);
  for (const char* debit : {"debit", "dr", "d", "db", "withdrawal", "check", "cheque", "af", "soll", "s", "debet",
                            "debito", "lastschrift", "belastung", "addebito", "cargo"}) {
    if (key == debit) return -1;
  }
  for (const char* credit : {"credit", "cr", "c", "deposit", "dslip", "bij", "haben", "h", "credito", "gutschrift",
                             "accredito", "abono"}) {
    if (key == credit) return 1;
  }
  return 0;
}

// A bank's opening or closing balance line, in the languages banks write.
bool BalanceWord(std::string_view field) {
  std::string key = Normalize(field);
  for (std::string_view word : {"openingbalance", "closingbalance", "beginningbalance", "endingbalance",
                                "startingbalance", "anfangssaldo", "endsaldo", "schlusssaldo", "saldoanterior",
                                "saldofinal", "saldoinicial", "soldeinitial", "soldefinal", "soldeprecedent",
                                "beginsaldo", "eindsaldo", "saldoiniziale", "saldofinale"}) {
    if (key.compare(0, word.size(), word) == 0) return true;
  }
  return false;
}

// How far down a preamble of summary lines the header is looked for.
constexpr size_t kHeaderSearch = 40;

// The file read with one separator, and where its header is.
struct Layout {
  char separator = ',';
  bool read = false;
  ReadResult failure;
  std::vector<Record> records;
  size_t header = SIZE_MAX;
  Columns columns;
  std::string ambiguity;
};

size_t CountNames(std::string_view list) { return static_cast<size_t>(std::count(list.begin(), list.end(), ',')) + 1; }

// The separator is the one whose header names a date, a payee and an
// amount (a title line above may use another); with --columns, the one that
// splits most rows into as many fields as there are names.
Layout ChooseLayout(std::string_view text, const ReadOptions& options) {
  std::vector<char> candidates = {',', ';', '\t', '|'};
  if (options.separator) candidates = {options.separator};
  std::vector<Layout> layouts;
  for (char separator : candidates) {
    Layout layout;
    layout.separator = separator;
    layout.read = ReadRecords(text, separator, layout.records, layout.failure) && !layout.records.empty();
    if (layout.read && options.columns.empty()) {
      for (size_t h = 0; h < layout.records.size() && h < kHeaderSearch; ++h) {
        std::string ambiguity;
        Columns columns = ColumnsOf(layout.records[h], ambiguity);
        if (!columns.Complete()) continue;
        layout.header = h;
        layout.columns = columns;
        layout.ambiguity = ambiguity;
        break;
      }
    }
    layouts.push_back(std::move(layout));
  }
  auto score = [&](const Layout& l) -> size_t {
    if (!l.read) return 0;
    if (!options.columns.empty()) {
      size_t names = CountNames(options.columns);
      return 1 + static_cast<size_t>(std::count_if(l.records.begin(), l.records.end(), [&](const Record& r) {
               return r.fields.size() == names;
             }));
    }
    return l.header != SIZE_MAX ? 1 + l.records[l.header].fields.size() : 0;
  };
  size_t best = 0;
  bool header = std::any_of(layouts.begin(), layouts.end(), [](const Layout& l) { return l.header != SIZE_MAX; });
  // With no header anywhere, the comma's reading gives the reason.
  for (size_t i = 1; (header || !options.columns.empty()) && i < layouts.size(); ++i) {
    if (score(layouts[i]) > score(layouts[best])) best = i;
  }
  return std::move(layouts[best]);
}

// A file without a header, as some banks export: its columns told by what
// every row holds. Only a file that leaves no doubt: one date column, one
// signed amount column, a text column for the payee; otherwise nothing.
std::optional<Columns> InferColumns(const std::vector<Record>& records) {
  const size_t width = records[0].fields.size();
  if (width < 3 || records.size() > 100000) return std::nullopt;
  for (const Record& r : records) {
    if (r.fields.size() != width) return std::nullopt;
  }
  std::vector<int> dates, amounts, texts, checks;
  for (size_t c = 0; c < width; ++c) {
    bool date = true, amount = true, decimals = false, negative = false, digits = true, letters = false, any = false;
    for (const Record& r : records) {
      std::string_view t = Trim(r.fields[c]);
      if (t.empty()) {
        date = amount = false;
        continue;
      }
      any = true;
      date = date && (ReadDateAs(t, DateOrder::MonthFirst) || ReadDateAs(t, DateOrder::DayFirst));
      auto value = ReadAmountText(t, 0);
      amount = amount && value && t.find_first_of("0123456789") == 0 + (t[0] == '-' || t[0] == '(' || t[0] == '+');
      decimals = decimals || t.find_first_of(".,") != std::string_view::npos;
      negative = negative || (value && value->cents < 0);
      digits = digits && t.find_first_not_of("0123456789") == std::string_view::npos && t.size() <= 9;
      letters = letters || std::any_of(t.begin(), t.end(), [](char ch) { return std::isalpha(static_cast<unsigned char>(ch)); });
    }
    if (date) dates.push_back(static_cast<int>(c));
    else if (amount && decimals) amounts.push_back(negative ? static_cast<int>(c) : -1);
    else if (any && digits) checks.push_back(static_cast<int>(c));
    else if (letters) texts.push_back(static_cast<int>(c));
  }
  if (dates.size() != 1 || amounts.size() != 1 || amounts[0] < 0 || texts.empty()) return std::nullopt;
  Columns columns;
  columns[Role::Date] = dates[0];
  columns[Role::Amount] = amounts[0];
  // The payee is the text column with the most to say.
  size_t longest = 0;
  for (int c : texts) {
    size_t length = 0;
    for (const Record& r : records) length += r.fields[static_cast<size_t>(c)].size();
    if (length > longest) longest = length, columns[Role::Payee] = c;
  }
  if (checks.size() == 1) columns[Role::Check] = checks[0];
  return columns;
}

}  // namespace

ReadResult ReadCsv(std::string_view file, const ReadOptions& options) {
  ReadResult result;
  std::string text = UnifyLineEnds(file);
  // Excel's "sep=;" line names the separator.
  ReadOptions chosen = options;
  if (text.size() >= 5 && text.compare(0, 4, "sep=") == 0 && (text.size() == 5 || text[5] == '\n')) {
    if (!chosen.separator) chosen.separator = text[4];
    text.replace(0, 5, "");
  }
  Layout layout = ChooseLayout(text, chosen);
  if (!layout.read) return layout.failure;
  const std::vector<Record>& records = layout.records;
  const char separator = layout.separator;
  const std::string& pattern = options.inputDatePattern;
  auto dateReads = [&](std::string_view t) {
    if (!pattern.empty()) return ParseDate(t, pattern).has_value();
    return ReadDateAs(t, DateOrder::MonthFirst).has_value() || ReadDateAs(t, DateOrder::DayFirst).has_value();
  };

  Columns columns;
  size_t firstData = 1;
  size_t headerFields = 0;  // 0: no header to hold the rows to
  const Record* headerRow = nullptr;
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
    if (!columns.Complete()) {
      const char* missing = columns[Role::Date] < 0 ? "date" : columns[Role::Amount] < 0 ? "amount" : "payee";
      return result.Fail(0, std::string("--columns: no ") + missing + " column"), result;
    }
    // The first row is a header of other names only when neither its date
    // nor its amount reads; a data row is never dropped.
    const Record& first = records[0];
    bool reads = !Blank(Field(first, columns[Role::Date])) && dateReads(*Field(first, columns[Role::Date]));
    for (Role role : {Role::Amount, Role::Debit, Role::Credit}) {
      const std::string* t = Field(first, columns[role]);
      reads = reads || (!Blank(t) && ReadAmountText(*t, options.decimal).has_value());
    }
    firstData = reads ? 0 : 1;
  } else {
    // The header is the first row naming a date, a payee and an amount;
    // a bank's title and summary lines may come before it.
    std::optional<Columns> inferred;
    if (layout.header == SIZE_MAX) inferred = InferColumns(records);
    if (inferred) {
      columns = *inferred;
      firstData = 0;
      headerFields = records[0].fields.size();
    } else if (layout.header == SIZE_MAX) {
      std::string ambiguity;
      columns = ColumnsOf(records[0], ambiguity);
      const char* missing = columns[Role::Date] < 0 ? "date"
                            : columns[Role::Payee] < 0 && columns[Role::Memo] < 0 && columns[Role::Kind] < 0
                                ? "payee"
                                : "amount";
      return result.Fail(records[0].line, std::string("no ") + missing +
                                              " column: name the columns in the header or with --columns"),
             result;
    } else {
      if (!layout.ambiguity.empty())
        return result.Fail(records[layout.header].line, layout.ambiguity + ": name the columns with --columns"), result;
      columns = layout.columns;
      headerRow = &records[layout.header];
      firstData = layout.header + 1;
      headerFields = records[layout.header].fields.size();
    }
  }
  const bool amountColumn = columns[Role::Amount] >= 0;
  const std::vector<int> amountAt = amountColumn ? std::vector<int>{columns[Role::Amount]}
                                                 : std::vector<int>{columns[Role::Debit], columns[Role::Credit]};

  // The table's rows; balance lines and notices (no amount) are counted.
  std::vector<const Record*> data;
  for (size_t r = firstData; r < records.size(); ++r) {
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
    bool noAmount = std::all_of(amountAt.begin(), amountAt.end(), [&](int c) { return NoAmount(Field(record, c)); });
    if (noAmount) {
      // A dated row cut short before its amount is no balance line.
      const std::string* date = Field(record, columns[Role::Date]);
      bool cut = std::any_of(amountAt.begin(), amountAt.end(),
                             [&](int c) { return c >= 0 && static_cast<size_t>(c) >= record.fields.size(); });
      if (cut && !Blank(date) && dateReads(*date))
        return result.Fail(record.line, "the row has " + std::to_string(record.fields.size()) + " fields, too few"),
               result;
      ++result.withoutAmount;
      continue;
    }
    if (!Field(record, columns[Role::Date]))
      return result.Fail(record.line, "the row has " + std::to_string(record.fields.size()) + " fields, too few"),
             result;
    // A bank's opening or closing balance, dated and with an amount, is no transaction.
    if (std::any_of(record.fields.begin(), record.fields.end(), [](const std::string& f) { return BalanceWord(f); })) {
      ++result.summaryLines;
      continue;
    }
    data.push_back(&record);
  }
  // German banks leave the Soll/Haben column after the amount unnamed.
  if (amountColumn && columns[Role::Kind] < 0 && headerRow && !data.empty()) {
    for (size_t c = 0; c < headerFields && columns[Role::Kind] < 0; ++c) {
      if (!Normalize(headerRow->fields[c]).empty()) continue;
      bool sides = std::all_of(data.begin(), data.end(), [&](const Record* r) {
        const std::string* t = Field(*r, static_cast<int>(c));
        return !Blank(t) && SideOf(*t) != 0;
      });
      if (sides) columns[Role::Kind] = static_cast<int>(c);
    }
  }

  // Total lines after the table have an amount and no date: words or
  // nothing where the date goes, never a date written wrong.
  auto wordsOnly = [](std::string_view t) {
    t = Trim(t);
    return t.empty() || !std::isdigit(static_cast<unsigned char>(t[0]));
  };
  while (!data.empty() && wordsOnly(*Field(*data.back(), columns[Role::Date])) &&
         !dateReads(*Field(*data.back(), columns[Role::Date]))) {
    ++result.summaryLines;
    data.pop_back();
  }
  DateOrder order = DateOrder::MonthFirst;
  std::vector<std::string_view> dates;
  for (const Record* record : data) {
    const std::string& t = *Field(*record, columns[Role::Date]);
    if (!pattern.empty() && !ParseDate(t, pattern)) return result.Fail(record->line, NotADate(t, pattern)), result;
    dates.push_back(t);
  }
  if (pattern.empty()) {
    DateChoice choice = ChooseDateOrder(dates, CustomaryOrder(dates));
    if (!choice.error.empty())
      return result.Fail(choice.bad < data.size() ? data[choice.bad]->line : data.front()->line, choice.error), result;
    order = choice.order;
  }

  // The decimal mark, from every amount of the file.
  char decimal = options.decimal;
  if (decimal == 0) {
    int pointLine = 0, commaLine = 0;
    for (const Record* record : data) {
      for (int c : amountAt) {
        const std::string* t = Field(*record, c);
        char mark = NoAmount(t) ? 0 : DecimalMarkOf(*t);
        if (mark && !ReadAmountText(*t, mark)) mark = 0;
        if (mark == '.' && !pointLine) pointLine = record->line;
        if (mark == ',' && !commaLine) commaLine = record->line;
      }
    }
    if (pointLine && commaLine)
      return result.Fail(std::max(pointLine, commaLine), "amounts are written with both a decimal point and a "
                                                         "decimal comma; give --decimal . or --decimal ,"),
             result;
    decimal = pointLine ? '.' : commaLine ? ',' : separator == ';' ? ',' : '.';
  }
  // A file that signs its amounts keeps their signs; a debit/credit word
  // gives the side only of amounts without one.
  bool signedFile = false;
  if (amountColumn) {
    for (const Record* record : data) {
      auto amount = ReadAmountText(*Field(*record, columns[Role::Amount]), decimal);
      signedFile = signedFile || (amount && amount->cents < 0);
    }
  }
  // A signed amount beside debit and credit columns is the amount, and they
  // must agree with it; an unsigned one could be either side.
  const bool sidesToo = amountColumn && (columns[Role::Debit] >= 0 || columns[Role::Credit] >= 0);
  if (sidesToo && !signedFile) {
    auto name = [&](Role role) {
      return headerRow ? headerRow->fields[static_cast<size_t>(columns[role])] : std::string(kRoleNames[static_cast<int>(role)]);
    };
    return result.Fail(headerRow ? headerRow->line : 0,
                       "the columns '" + name(Role::Amount) + "' and '" +
                           name(columns[Role::Debit] >= 0 ? Role::Debit : Role::Credit) +
                           "' both give the amount: name the columns with --columns"),
           result;
  }
  // The debit and credit columns of a row as one amount; nothing when both are empty.
  auto sides = [&](const Record& record, std::optional<int64_t>& cents) -> bool {
    int64_t paid[2] = {0, 0};
    const int at[2] = {columns[Role::Debit], columns[Role::Credit]};
    bool any = false;
    for (int k = 0; k < 2; ++k) {
      const std::string* t = Field(record, at[k]);
      if (NoAmount(t)) continue;
      auto amount = ReadAmountText(*t, decimal);
      if (!amount) return result.Fail(record.line, "'" + *t + "' is not an amount"), false;
      paid[k] = amount->cents < 0 ? -amount->cents : amount->cents;
      any = true;
    }
    if (paid[0] != 0 && paid[1] != 0) return result.Fail(record.line, "both a debit and a credit"), false;
    if (any) cents = paid[1] - paid[0];
    return true;
  };

  for (const Record* record : data) {
    StatementRow row;
    row.line = record->line;
    const std::string& dateText = *Field(*record, columns[Role::Date]);
    auto parsedDate = pattern.empty() ? ReadDateAs(dateText, order) : ParseDate(dateText, pattern);
    if (!parsedDate) return result.Fail(record->line, NotADate(dateText, pattern)), result;
    row.date = *parsedDate;
    const std::string* kind = Field(*record, columns[Role::Kind]);
    auto text = [&](Role role) -> std::string {
      const std::string* t = Field(*record, columns[role]);
      return t ? WithoutFormulaGuard(*t) : std::string();
    };
    row.payee = PayeeOf(text(Role::Payee), text(Role::Memo), text(Role::Kind));
    if (amountColumn) {
      const std::string& amountText = *Field(*record, columns[Role::Amount]);
      auto amount = ReadAmountText(amountText, decimal);
      if (!amount) return result.Fail(record->line, "'" + amountText + "' is not an amount"), result;
      row.cents = amount->cents;
      if (!signedFile && !amount->sign && kind) {
        int side = SideOf(*kind);
        if (side == 0)
          return result.Fail(record->line, Quoted(Trim(*kind)) + " in the column '" +
                                               (headerRow ? headerRow->fields[static_cast<size_t>(columns[Role::Kind])] : std::string("type")) +
                                               "' is not a debit or credit word (Debit/Credit, Dr/Cr, Af/Bij, "
                                               "Soll/Haben, S/H, D/C)"),
                 result;
        if (side < 0) row.cents = -row.cents;
      }
      std::optional<int64_t> beside;
      if (sidesToo && !sides(*record, beside)) return result;
      if (beside && *beside != row.cents)
        return result.Fail(record->line, "the amount '" + amountText + "' and the debit or credit beside it disagree"),
               result;
    } else {
      std::optional<int64_t> cents;
      if (!sides(*record, cents)) return result;
      row.cents = cents.value_or(0);
    }
    if (const std::string* t = Field(*record, columns[Role::Check])) {
      // A reference longer than the register's check column is left out.
      auto number = ParseCheckNumber(*t);
      if (number) row.checkNum = *number;
      else ++result.checksLeftOut;
    }
    // A status the register does not know (Completed, Booked) is no fault.
    if (const std::string* t = Field(*record, columns[Role::Status])) row.status = ParseStatus(*t).value_or(0);
    if (const std::string* t = Field(*record, columns[Role::Account])) {
      std::string id(Trim(*t));
      auto known = std::find_if(result.accounts.begin(), result.accounts.end(),
                                [&](const StatementAccount& a) { return a.id == id; });
      if (known == result.accounts.end()) known = result.accounts.insert(result.accounts.end(), {id, "bank", false, 0, std::nullopt});
      row.account = static_cast<size_t>(known - result.accounts.begin());
      ++known->transactions;
    }
    result.rows.push_back(std::move(row));
  }
  return result;
}

namespace {

void PutField(std::FILE* file, const std::string& field) {
  // A spreadsheet runs a text starting with = + - @ as a formula; the
  // apostrophe keeps it text, and the import takes it off again.
  const std::string text = LooksLikeFormula(field) ? "'" + field : field;
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
