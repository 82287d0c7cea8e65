#include "io/CommandLine.h"

#include <cctype>
#include <cstdint>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "io/Fields.h"
#include "io/InputEncoding.h"
#include "io/LedgerTransfer.h"
#include "io/StatementFiles.h"
#include "io/StatementImport.h"
#include "platform/win32.h"
#include "storage/Money.h"

#ifndef CHECKBOOK_VERSION
#define CHECKBOOK_VERSION "unknown"
#endif

namespace {

// Progress is for a person watching the console, never for a file or a pipe.
bool IsTerminal(std::FILE* file) {
  return file == stderr && GetFileType(GetStdHandle(STD_ERROR_HANDLE)) == FILE_TYPE_CHAR;
}

const char kUsage[] =
    "Usage: checkbook-io import [options] FILE\n"
    "       checkbook-io export [options] FILE\n"
    "Imports a QIF, OFX or CSV statement into the account of Ledger.dat in the\n"
    "current folder, or exports the account's transactions as CSV or QIF.\n"
    "\n"
    "  --format F               qif, ofx or csv (import: by content; export: by the file's extension)\n"
    "  --date-format P          how dates are written in the ledger (default %m/%d/%Y)\n"
    "  --input-date-format P    how the file writes dates (default ISO or M/D/YYYY)\n"
    "  --columns LIST           CSV column names by position, e.g. date,payee,-,amount\n"
    "  --separator S            CSV field separator: , ; tab or | (default: from the header)\n"
    "  --decimal M              the amounts' decimal mark: . or , (default: from the amounts)\n"
    "  --account ID             of a file holding several accounts, the one to import\n"
    "  --encoding E             import: utf-8 (default), windows-1252 or latin-1\n"
    "  --bom                    export: start the CSV with a byte-order mark, as Excel needs\n"
    "  --dry-run                print what would be added and matched, and change nothing\n"
    "  --match-days N           how many days apart a match's dates may be (default 7)\n"
    "  --no-match               add every new transaction, matching none\n"
    "  --help, --version\n";

struct Options {
  std::string command;
  std::string file;
  std::string format;
  std::string datePattern = "%m/%d/%Y";
  ReadOptions read;
  InputEncoding encoding = InputEncoding::Utf8;
  bool encodingGiven = false;
  bool bom = false;
  bool dryRun = false;
  std::string account;
  bool accountGiven = false;
  MatchOptions match;
};

int Usage(std::FILE* err, const std::string& problem) {
  std::fprintf(err, "checkbook-io: %s\n%s", problem.c_str(), kUsage);
  return 2;
}

int Refuse(std::FILE* err, const std::string& message) {
  std::fprintf(err, "checkbook-io: %s\n", message.c_str());
  return 1;
}

// Opens the export for writing. The system's own call makes the file (on
// POSIX its owner's alone whatever the umask) or empties the one there,
// which keeps its rights; it is then opened without being created, so one
// removed meanwhile is refused rather than made anew with other rights.
std::FILE* CreateForWriting(const std::string& path) {
  HANDLE made = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (made == INVALID_HANDLE_VALUE) {
    // The reason, from an attempt that creates nothing.
    if (std::FILE* probe = std::fopen(path.c_str(), "rb")) {
      std::fclose(probe);
      errno = EACCES;
    }
    return nullptr;
  }
  CloseHandle(made);
  return std::fopen(path.c_str(), "r+b");
}

bool ReadWholeFile(const std::string& path, std::string& text, std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  char block[65536];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, got);
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) error = "cannot read " + path;
  return !failed;
}

FileFormat FormatNamed(const std::string& name) {
  std::string lower = LowerAscii(name);
  if (lower == "qif") return FileFormat::Qif;
  if (lower == "csv") return FileFormat::Csv;
  if (lower == "ofx" || lower == "qfx") return FileFormat::Ofx;
  return FileFormat::Unknown;
}

// A row as the dry run lists it: date, check, payee, credit, debit, status.
std::string RowText(const PlannedRow& row) {
  return row.date + "\t" + std::to_string(row.checkNum) + "\t" + row.payee + "\t" +
         (row.credit != 0 ? MoneyText(row.credit) : "") + "\t" + (row.debit != 0 ? MoneyText(row.debit) : "") + "\t" +
         StatusLetter(row.status);
}

// Shown on a terminal once a run has taken more than a second.
Progress MakeProgress(std::FILE* err, const char* what) {
  if (!IsTerminal(err)) return {};
  auto start = std::chrono::steady_clock::now();
  return [err, what, start](size_t done, size_t total) {
    if (std::chrono::steady_clock::now() - start < std::chrono::seconds(1)) return;
    std::fprintf(err, "\r%s %zu of %zu", what, done, total);
    if (done == total) std::fputs("\n", err);
    std::fflush(err);
  };
}

// The register's payee column holds 80 bytes.
constexpr size_t kPayeeLimit = 80;

struct Kept {
  std::vector<StatementRow> rows;
  size_t zero = 0;      // amount 0 (a voided check): the register holds a debit or a credit
  size_t payeesCut = 0;
};

// The rows of the one account to import. A file of several accounts names
// the one with --account; an investment account is no register's.
Kept KeepAccountRows(const ReadResult& read, const Options& options, std::string& refusal, std::FILE* dryRun) {
  Kept kept;
  const std::vector<StatementAccount>& accounts = read.accounts;
  const size_t active = AccountsWithRows(read).size();
  size_t chosen = SIZE_MAX;
  for (size_t i = 0; options.accountGiven && chosen == SIZE_MAX && i < accounts.size(); ++i) {
    if (accounts[i].id == options.account) chosen = i;
  }
  for (size_t i = 0; options.accountGiven && chosen == SIZE_MAX && i < accounts.size(); ++i) {
    if (LowerAscii(accounts[i].id) == LowerAscii(options.account)) chosen = i;
  }
  // An account without a name, by its place in the list.
  if (options.accountGiven && chosen == SIZE_MAX && !options.account.empty() &&
      options.account.find_first_not_of("0123456789") == std::string::npos && options.account.size() < 6) {
    size_t place = std::stoul(options.account);
    if (place >= 1 && place <= accounts.size()) chosen = place - 1;
  }
  std::string list;
  for (size_t i = 0; i < accounts.size(); ++i) list += "\n  " + std::to_string(i + 1) + ". " + AccountText(accounts[i]);
  if (dryRun && (accounts.size() > 1 || options.accountGiven)) {
    for (size_t i = 0; i < accounts.size(); ++i)
      std::fprintf(dryRun, "account %zu: %s%s\n", i + 1, AccountText(accounts[i]).c_str(), i == chosen ? " (chosen)" : "");
  }
  if (options.accountGiven && chosen == SIZE_MAX) {
    refusal = "the file holds no account '" + options.account + "'; it holds:" + list;
    return kept;
  }
  if (!options.accountGiven) {
    if (active > 1) {
      refusal = "the file holds " + std::to_string(active) +
                " accounts with transactions; choose one with --account and its number or name:" + list;
      return kept;
    }
    chosen = OnlyAccount(read);
  }
  refusal = AccountRefusal(read, chosen);
  if (!refusal.empty()) return kept;
  for (const StatementRow& row : AccountRows(read, chosen)) {
    if (row.cents == 0) {
      ++kept.zero;
      continue;
    }
    if (row.payee.size() > kPayeeLimit) ++kept.payeesCut;
    kept.rows.push_back(row);
  }
  return kept;
}

std::string Count(size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "0 as duplicates", then what else was left out, the last after "and".
std::string SkippedText(size_t duplicates, const ReadResult& read, const Kept& kept) {
  std::vector<std::string> parts = {std::to_string(duplicates) + " as duplicates"};
  if (read.withoutAmount > 0) parts.push_back(std::to_string(read.withoutAmount) + " without an amount");
  if (read.summaryLines > 0) parts.push_back(Count(read.summaryLines, "summary line", "summary lines"));
  if (kept.zero > 0) parts.push_back(std::to_string(kept.zero) + " of amount 0");
  std::string text = parts[0];
  for (size_t i = 1; i < parts.size(); ++i) text += (i + 1 == parts.size() ? " and " : ", ") + parts[i];
  return text;
}

// What was stored other than the file has it.
std::string NotesText(const ReadResult& read, const Kept& kept) {
  std::string text;
  if (kept.payeesCut > 0) text += ", " + Count(kept.payeesCut, "payee", "payees") + " cut to 80 characters";
  if (read.checksLeftOut > 0)
    text += ", " + Count(read.checksLeftOut, "check number", "check numbers") + " too long left out";
  return text;
}

int Import(const Options& options, std::FILE* out, std::FILE* err) {
  std::string text, error;
  if (!ReadWholeFile(options.file, text, error)) return Refuse(err, error);
  LedgerFile ledger;
  if (std::string problem = ledger.Open(); !problem.empty()) return Refuse(err, problem);

  // Excel's "Unicode text" and some banks write UTF-16.
  bool utf16 = text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF");
  if (utf16) {
    if (options.encodingGiven) return Usage(err, "the file is UTF-16 (it starts with its byte-order mark); leave out --encoding");
    DecodedText decoded = FromUtf16(text);
    if (decoded.errorLine > 0) {
      std::fprintf(err, "%s:%d: %s\n", options.file.c_str(), decoded.errorLine, decoded.error.c_str());
      std::fputs("checkbook-io: nothing was added\n", err);
      return 1;
    }
    text = std::move(decoded.text);
  }
  FileFormat format = options.format.empty() ? DetectFormat(text) : FormatNamed(options.format);
  // An OFX file names its own character set, which the OFX reader applies
  // unless --encoding says otherwise.
  if ((format != FileFormat::Ofx || options.encodingGiven) && !utf16) {
    DecodedText decoded = DecodeStatement(text, options.encoding);
    if (decoded.errorLine > 0) {
      std::fprintf(err, "%s:%d: %s\n", options.file.c_str(), decoded.errorLine, decoded.error.c_str());
      std::fputs("checkbook-io: nothing was added\n", err);
      return 1;
    }
    text = std::move(decoded.text);
  }
  ReadOptions readOptions = options.read;
  if (options.encodingGiven) readOptions.encoding = options.encoding;
  if (utf16) readOptions.encoding = InputEncoding::Utf8;
  ReadResult read;
  bool empty = Trim(SkipByteOrderMark(text)).empty();
  if (!empty) {
    read = format == FileFormat::Qif   ? ReadQif(text, readOptions)
           : format == FileFormat::Ofx ? ReadOfx(text, readOptions)
                                       : ReadCsv(text, readOptions);
  }
  if (read.Failed()) {
    if (read.errorLine > 0) std::fprintf(err, "%s:%d: %s\n", options.file.c_str(), read.errorLine, read.error.c_str());
    else std::fprintf(err, "%s: %s\n", options.file.c_str(), read.error.c_str());
    std::fputs("checkbook-io: nothing was added\n", err);
    return 1;
  }
  std::string refusal;
  Kept kept = KeepAccountRows(read, options, refusal, options.dryRun ? out : nullptr);
  if (!refusal.empty()) {
    std::fprintf(err, "%s: %s\n", options.file.c_str(), refusal.c_str());
    std::fputs("checkbook-io: nothing was added\n", err);
    return 1;
  }
  ImportPlan plan = PlanImport(ledger, kept.rows, options.datePattern, options.match);
  if (!plan.error.empty()) {
    std::fprintf(err, "%s:%d: %s\n", options.file.c_str(), plan.errorLine, plan.error.c_str());
    std::fputs("checkbook-io: nothing was added\n", err);
    return 1;
  }
  if (!read.warning.empty()) std::fprintf(err, "checkbook-io: warning: %s: %s\n", options.file.c_str(), read.warning.c_str());
  AccountRecord* account = ledger.Account();
  std::string skipped = SkippedText(plan.duplicates, read, kept);
  const std::string matched =
      std::to_string(plan.matches.size()) + " (" + std::to_string(plan.cleared) + " newly cleared)";
  if (options.dryRun) {
    for (const PlannedRow& row : plan.add) {
      std::fprintf(out, "would add: %s\n", RowText(row).c_str());
    }
    for (const PlannedMatch& match : plan.matches) {
      PlannedRow after = match.held;
      if (match.clears) after.status = StatusCleared;
      std::fprintf(out, "would match: %s\twith\t%s\n", RowText(match.line).c_str(), RowText(after).c_str());
    }
    const int64_t change = ImportChange(plan);
    std::fprintf(out, "dry run: would add %zu, match %s, skip %s%s, balance would be %s\n", plan.add.size(),
                 matched.c_str(), skipped.c_str(), NotesText(read, kept).c_str(),
                 change == 0 ? MoneyText(account->mAccBalance).c_str()
                             : FormatCents(AddCents(ToCents(account->mAccBalance), change)).c_str());
    if (std::string problem = BalanceProblem(account->mAccBalance, change); !problem.empty())
      return Refuse(err, problem + "; the import would add nothing");
    return 0;
  }
  if (std::string problem = ApplyImport(ledger, plan, MakeProgress(err, "importing")); !problem.empty())
    return Refuse(err, problem);
  std::fprintf(out, "added %zu, matched %s, skipped %s%s, balance %s\n", plan.add.size(), matched.c_str(),
               skipped.c_str(), NotesText(read, kept).c_str(), MoneyText(account->mAccBalance).c_str());
  return 0;
}

int Export(const Options& options, std::FILE* out, std::FILE* err) {
  FileFormat format = FileFormat::Unknown;
  if (!options.format.empty()) {
    format = FormatNamed(options.format);
  } else {
    size_t dot = options.file.find_last_of('.');
    if (dot != std::string::npos) format = FormatNamed(options.file.substr(dot + 1));
  }
  if (format != FileFormat::Csv && format != FileFormat::Qif)
    return Usage(err, "export writes CSV or QIF: name the file .csv or .qif, or give --format");
  if (options.bom && format != FileFormat::Csv) return Usage(err, "--bom is for CSV export");
  std::error_code ignored;
  if (std::filesystem::equivalent(options.file, "Ledger.dat", ignored))
    return Refuse(err, "will not write over Ledger.dat");
  LedgerFile ledger;
  if (std::string problem = ledger.Open(); !problem.empty()) return Refuse(err, problem);
  std::vector<ExportRow> rows = RowsForExport(ledger, options.datePattern);

  std::FILE* file = CreateForWriting(options.file);
  if (!file) return Refuse(err, "cannot write " + options.file + ": " + std::strerror(errno));
  // Without the mark Excel reads a CSV file in the Windows code page.
  bool written = !options.bom || std::fputs(kByteOrderMark.data(), file) >= 0;
  written = (format == FileFormat::Csv ? WriteCsv(file, rows) : WriteQif(file, rows)) && written;
  if (std::fclose(file) != 0) written = false;
  if (!written) return Refuse(err, "writing " + options.file + " failed");
  std::fprintf(out, "exported %zu, balance %s\n", rows.size(), MoneyText(ledger.Account()->mAccBalance).c_str());
  return 0;
}

}  // namespace

int RunCheckbookIo(int argc, char** argv, std::FILE* out, std::FILE* err) {
  Options options;
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, out);
      return 0;
    }
    if (arg == "--version") {
      std::fprintf(out, "checkbook-io %s\n", CHECKBOOK_VERSION);
      return 0;
    }
    if (arg == "--dry-run") {
      options.dryRun = true;
      continue;
    }
    if (arg == "--bom") {
      options.bom = true;
      continue;
    }
    if (arg == "--no-match") {
      options.match.enabled = false;
      continue;
    }
    if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
      std::string name = arg, value;
      size_t equals = arg.find('=');
      if (equals != std::string::npos) {
        name = arg.substr(0, equals);
        value = arg.substr(equals + 1);
      } else if (i + 1 < argc) {
        value = argv[++i];
      } else {
        return Usage(err, arg + " needs a value");
      }
      if (name == "--match-days") {
        char* end = nullptr;
        long days = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || days < 0 || days > 365)
          return Usage(err, "--match-days takes a number of days from 0 to 365");
        options.match.days = static_cast<int>(days);
        continue;
      }
      if (name == "--format") {
        if (FormatNamed(value) == FileFormat::Unknown) return Usage(err, "unknown format '" + value + "'");
        options.format = value;
      } else if (name == "--date-format" || name == "--input-date-format") {
        if (!ValidDatePattern(value)) return Usage(err, "'" + value + "' is not a date format of at most 20 characters");
        (name == "--date-format" ? options.datePattern : options.read.inputDatePattern) = value;
      } else if (name == "--columns") {
        options.read.columns = value;
      } else if (name == "--separator") {
        std::string lower = LowerAscii(value);
        char separator = lower == "tab" || value == "\\t" || value == "\t" ? '\t' : value.size() == 1 ? value[0] : 0;
        if (separator != ',' && separator != ';' && separator != '\t' && separator != '|')
          return Usage(err, "--separator takes , ; tab or |");
        options.read.separator = separator;
      } else if (name == "--decimal") {
        std::string lower = LowerAscii(value);
        char mark = value == "." || lower == "point" ? '.' : value == "," || lower == "comma" ? ',' : 0;
        if (!mark) return Usage(err, "--decimal takes . or ,");
        options.read.decimal = mark;
      } else if (name == "--account") {
        options.account = value;
        options.accountGiven = true;
      } else if (name == "--encoding") {
        std::optional<InputEncoding> encoding = EncodingNamed(value);
        if (!encoding) return Usage(err, "unknown encoding '" + value + "': utf-8, windows-1252 or latin-1");
        options.encoding = *encoding;
        options.encodingGiven = true;
      } else {
        return Usage(err, "unknown option " + name);
      }
      continue;
    }
    if (arg.size() > 1 && arg[0] == '-') return Usage(err, "unknown option " + arg);
    words.push_back(arg);
  }
  if (words.size() != 2) return Usage(err, words.empty() ? "no command" : "a command and one FILE are needed");
  options.command = words[0];
  options.file = words[1];
  if (options.command == "import") {
    if (options.bom) return Usage(err, "--bom is for export");
    return Import(options, out, err);
  }
  if (options.command == "export") {
    if (options.dryRun || !options.read.columns.empty() || !options.read.inputDatePattern.empty() ||
        options.read.separator || options.read.decimal || options.accountGiven)
      return Usage(err, "--dry-run, --columns, --separator, --decimal, --account and --input-date-format are for import");
    if (options.encodingGiven) return Usage(err, "--encoding is for import; export always writes UTF-8");
    if (!options.match.enabled || options.match.days != MatchOptions().days)
      return Usage(err, "--match-days and --no-match are for import");
    return Export(options, out, err);
  }
  return Usage(err, "unknown command '" + options.command + "'");
}
