#include "io/StatementImport.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <vector>

#include "io/Fields.h"

namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::optional<int64_t> Amount(std::string_view text) {
  text = Trim(text);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = Trim(text.substr(1, text.size() - 2));
  if (text.empty()) return std::nullopt;
  // A comma two places from the end is the decimal mark, as European banks write it.
  bool decimalComma = text.size() >= 3 && text[text.size() - 3] == ',';
  return ParseAmount(text, decimalComma);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

// Fields of one line, quotes kept out of the separators' way.
std::vector<std::string_view> Fields(std::string_view line, char separator) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  bool quoted = false;
  for (size_t i = 0; i <= line.size(); ++i) {
    if (i < line.size() && line[i] == '"') quoted = !quoted;
    if (i == line.size() || (line[i] == separator && !quoted)) {
      fields.push_back(line.substr(start, i - start));
      start = i + 1;
    }
  }
  return fields;
}

// The balance column on the newest row of one account (SIZE_MAX: of all rows).
std::optional<int64_t> CsvClosing(const std::vector<std::string_view>& lines, const ReadResult& read, size_t account) {
  std::vector<const StatementRow*> rows;
  for (const StatementRow& row : read.rows)
    if (account == SIZE_MAX || row.account == account) rows.push_back(&row);
  if (rows.empty()) return std::nullopt;
  size_t header = 0;
  while (header < lines.size() && Trim(lines[header]).empty()) ++header;
  if (header == lines.size()) return std::nullopt;
  char separator = ',';
  size_t most = 0;
  for (char candidate : {',', ';', '\t', '|'}) {
    size_t count = static_cast<size_t>(std::count(lines[header].begin(), lines[header].end(), candidate));
    if (count > most) most = count, separator = candidate;
  }
  std::vector<std::string_view> names = Fields(lines[header], separator);
  size_t column = names.size();
  for (size_t i = 0; i < names.size() && column == names.size(); ++i)
    if (Lower(names[i]).find("balance") != std::string::npos) column = i;
  if (column == names.size()) return std::nullopt;
  // The newest row; of rows of one day, the one the bank wrote last in time
  // (the last line when the file runs oldest first, else the first).
  auto key = [](const StatementRow& r) { return r.date.year * 10000 + r.date.month * 100 + r.date.day; };
  bool newestFirst = key(*rows.front()) > key(*rows.back());
  const StatementRow* latest = rows.front();
  for (const StatementRow* row : rows) {
    if (key(*row) > key(*latest) || (key(*row) == key(*latest) && !newestFirst && row->line > latest->line)) latest = row;
  }
  size_t index = static_cast<size_t>(latest->line - 1);
  if (latest->line < 1 || index >= lines.size()) return std::nullopt;
  std::vector<std::string_view> fields = Fields(lines[index], separator);
  if (column >= fields.size()) return std::nullopt;
  return Amount(fields[column]);
}

}  // namespace

StatementRead ReadStatement(std::string_view bytes) {
  StatementRead result;
  result.format = DetectFormat(bytes);
  std::string text(bytes);
  if (result.format != FileFormat::Ofx) {
    result.encoding = IsUtf8(bytes) ? InputEncoding::Utf8 : InputEncoding::Windows1252;
    DecodedText decoded = DecodeStatement(bytes, result.encoding);
    if (decoded.errorLine > 0) {
      result.read.Fail(decoded.errorLine, decoded.error);
      return result;
    }
    text = std::move(decoded.text);
  }
  std::string_view body = text;
  if (body.size() >= 3 && body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
  if (Trim(body).empty()) return result;  // nothing to add, as checkbook-io takes it
  ReadOptions options;
  result.read = result.format == FileFormat::Qif   ? ReadQif(text, options)
                : result.format == FileFormat::Ofx ? ReadOfx(text)
                                                   : ReadCsv(text, options);
  // OFX states its balances per statement as it is read; a CSV file in the
  // balance column of each account's newest row.
  if (!result.read.Failed() && result.format == FileFormat::Csv) {
    std::vector<std::string_view> lines = SplitLines(body);
    if (result.read.accounts.empty()) result.closingCents = CsvClosing(lines, result.read, SIZE_MAX);
    for (size_t i = 0; i < result.read.accounts.size(); ++i)
      result.read.accounts[i].closingCents = CsvClosing(lines, result.read, i);
  }
  return result;
}

std::optional<int64_t> StatedClosing(const StatementRead& statement, size_t chosen) {
  return chosen < statement.read.accounts.size() ? statement.read.accounts[chosen].closingCents
                                                 : statement.closingCents;
}

std::string AccountText(const StatementAccount& account) {
  std::string text = account.id.empty() ? "(unnamed)" : account.id;
  text += " (" + account.type + ", " + std::to_string(account.transactions) +
          (account.transactions == 1 ? " transaction)" : " transactions)");
  return text;
}

std::vector<size_t> AccountsWithRows(const ReadResult& read) {
  std::vector<size_t> active;
  for (size_t i = 0; i < read.accounts.size(); ++i)
    if (read.accounts[i].transactions > 0) active.push_back(i);
  return active;
}

size_t OnlyAccount(const ReadResult& read) {
  if (read.accounts.empty()) return SIZE_MAX;
  std::vector<size_t> active = AccountsWithRows(read);
  return active.empty() ? 0 : active.back();
}

std::string AccountRefusal(const ReadResult& read, size_t chosen) {
  if (chosen >= read.accounts.size() || !read.accounts[chosen].investment) return {};
  return "this is an investment statement (" + AccountText(read.accounts[chosen]) + "), not a bank or card statement";
}

std::vector<StatementRow> AccountRows(const ReadResult& read, size_t chosen) {
  std::vector<StatementRow> rows;
  for (const StatementRow& row : read.rows)
    if (chosen >= read.accounts.size() || row.account == chosen) rows.push_back(row);
  return rows;
}
