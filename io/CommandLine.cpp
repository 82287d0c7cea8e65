#include "io/CommandLine.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "io/Fields.h"
#include "io/InputEncoding.h"
#include "io/LedgerTransfer.h"
#include "io/StatementFiles.h"
#include "storage/Money.h"

#ifndef CHECKBOOK_VERSION
#define CHECKBOOK_VERSION "unknown"
#endif

namespace {

bool IsTerminal(std::FILE* file) {
#ifdef _WIN32
  return _isatty(_fileno(file)) != 0;
#else
  return isatty(fileno(file)) != 0;
#endif
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
    "  --encoding E             import: utf-8 (default), windows-1252 or latin-1 (QIF and CSV)\n"
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

// Opens the export for writing. On POSIX a file made here is its owner's
// alone (0600) whatever the umask; one that exists keeps its mode.
std::FILE* CreateForWriting(const std::string& path) {
#ifdef _WIN32
  return std::fopen(path.c_str(), "wb");
#else
  for (int attempt = 0; attempt < 8; ++attempt) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      fchmod(fd, 0600);  // a umask may have taken the owner's bits too
    } else if (errno == EEXIST) {
      fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
      if (fd < 0 && errno == ENOENT) continue;  // removed meanwhile: make it again
    }
    if (fd < 0) return nullptr;
    std::FILE* file = fdopen(fd, "wb");
    if (!file) close(fd);
    return file;
  }
  return nullptr;
#endif
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

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

FileFormat FormatNamed(const std::string& name) {
  std::string lower = Lower(name);
  if (lower == "qif") return FileFormat::Qif;
  if (lower == "csv") return FileFormat::Csv;
  if (lower == "ofx" || lower == "qfx") return FileFormat::Ofx;
  return FileFormat::Unknown;
}

std::string Amount(float value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
  return text;
}

// A row as the dry run lists it: date, check, payee, credit, debit, status.
std::string RowText(const PlannedRow& row) {
  return row.date + "\t" + std::to_string(row.checkNum) + "\t" + row.payee + "\t" +
         (row.credit != 0 ? Amount(row.credit) : "") + "\t" + (row.debit != 0 ? Amount(row.debit) : "") + "\t" +
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

int Import(const Options& options, std::FILE* out, std::FILE* err) {
  std::string text, error;
  if (!ReadWholeFile(options.file, text, error)) return Refuse(err, error);
  LedgerFile ledger;
  if (std::string problem = ledger.Open(); !problem.empty()) return Refuse(err, problem);

  FileFormat format = options.format.empty() ? DetectFormat(text) : FormatNamed(options.format);
  // An OFX file names its own character set, which the OFX reader applies.
  if (format != FileFormat::Ofx) {
    DecodedText decoded = DecodeStatement(text, options.encoding);
    if (decoded.errorLine > 0) {
      std::fprintf(err, "%s:%d: %s\n", options.file.c_str(), decoded.errorLine, decoded.error.c_str());
      std::fputs("checkbook-io: nothing was added\n", err);
      return 1;
    }
    text = std::move(decoded.text);
  }
  ReadResult read;
  bool empty = Trim(text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? std::string_view(text).substr(3)
                                                                                   : std::string_view(text))
                   .empty();
  if (!empty) {
    read = format == FileFormat::Qif   ? ReadQif(text, options.read)
           : format == FileFormat::Ofx ? ReadOfx(text)
                                       : ReadCsv(text, options.read);
  }
  if (read.Failed()) {
    if (read.errorLine > 0) std::fprintf(err, "%s:%d: %s\n", options.file.c_str(), read.errorLine, read.error.c_str());
    else std::fprintf(err, "%s: %s\n", options.file.c_str(), read.error.c_str());
    std::fputs("checkbook-io: nothing was added\n", err);
    return 1;
  }
  ImportPlan plan = PlanImport(ledger, read.rows, options.datePattern, options.match);
  if (!plan.error.empty()) {
    std::fprintf(err, "%s:%d: %s\n", options.file.c_str(), plan.errorLine, plan.error.c_str());
    std::fputs("checkbook-io: nothing was added\n", err);
    return 1;
  }
  if (!read.warning.empty()) std::fprintf(err, "checkbook-io: warning: %s: %s\n", options.file.c_str(), read.warning.c_str());
  AccountRecord* account = ledger.Account();
  std::string skipped = std::to_string(plan.duplicates) + " as duplicates";
  if (read.withoutAmount > 0) skipped += " and " + std::to_string(read.withoutAmount) + " without an amount";
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
    std::fprintf(out, "dry run: would add %zu, match %s, skip %s, balance would be %s\n", plan.add.size(),
                 matched.c_str(), skipped.c_str(),
                 change == 0 ? Amount(account->mAccBalance).c_str()
                             : FormatCents(AddCents(ToCents(account->mAccBalance), change)).c_str());
    if (std::string problem = BalanceProblem(account->mAccBalance, change); !problem.empty())
      return Refuse(err, problem + "; the import would add nothing");
    return 0;
  }
  if (std::string problem = ApplyImport(ledger, plan, MakeProgress(err, "importing")); !problem.empty())
    return Refuse(err, problem);
  std::fprintf(out, "added %zu, matched %s, skipped %s, balance %s\n", plan.add.size(), matched.c_str(),
               skipped.c_str(), Amount(account->mAccBalance).c_str());
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
  bool written = !options.bom || std::fputs("\xEF\xBB\xBF", file) >= 0;
  written = (format == FileFormat::Csv ? WriteCsv(file, rows) : WriteQif(file, rows)) && written;
  if (std::fclose(file) != 0) written = false;
  if (!written) return Refuse(err, "writing " + options.file + " failed");
  std::fprintf(out, "exported %zu, balance %s\n", rows.size(), Amount(ledger.Account()->mAccBalance).c_str());
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
    if (options.dryRun || !options.read.columns.empty() || !options.read.inputDatePattern.empty())
      return Usage(err, "--dry-run, --columns and --input-date-format are for import");
    if (options.encodingGiven) return Usage(err, "--encoding is for import; export always writes UTF-8");
    if (!options.match.enabled || options.match.days != MatchOptions().days)
      return Usage(err, "--match-days and --no-match are for import");
    return Export(options, out, err);
  }
  return Usage(err, "unknown command '" + options.command + "'");
}
