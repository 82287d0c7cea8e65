// OFX through libofx where the build has it (not in the Windows build, for
// which no libofx is packaged), and the check that tells the formats apart.
#include <cctype>
#include <cmath>
#include <ctime>

#include "io/Fields.h"
#include "io/StatementFiles.h"

#ifdef CHECKBOOK_HAVE_LIBOFX
#include <libofx/libofx.h>
#endif

namespace {

bool ContainsNoCase(std::string_view text, std::string_view needle) {
  auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
  for (size_t i = 0; i + needle.size() <= text.size(); ++i) {
    size_t k = 0;
    while (k < needle.size() && lower(text[i + k]) == lower(needle[k])) ++k;
    if (k == needle.size()) return true;
  }
  return false;
}

}  // namespace

FileFormat DetectFormat(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::string_view start = Trim(text.substr(0, 4096));
  if (start.substr(0, 9) == "OFXHEADER" || ContainsNoCase(start, "<OFX>") ||
      (start.substr(0, 5) == "<?xml" && ContainsNoCase(start, "<?OFX")))
    return FileFormat::Ofx;
  if (!start.empty() && start[0] == '!') return FileFormat::Qif;
  return FileFormat::Csv;
}

#ifdef CHECKBOOK_HAVE_LIBOFX

namespace {

struct OfxCollector {
  ReadResult* result;
  std::vector<int> lines;  // the line of each <STMTTRN>, in order
};

int TakeTransaction(const struct OfxTransactionData data, void* context) {
  auto* collector = static_cast<OfxCollector*>(context);
  ReadResult& result = *collector->result;
  size_t index = result.rows.size();
  StatementRow row;
  row.line = index < collector->lines.size() ? collector->lines[index] : 0;
  if (!data.amount_valid) return result.Fail(row.line, "the transaction has no amount (TRNAMT)"), 0;
  time_t when = data.date_posted_valid ? data.date_posted : data.date_initiated_valid ? data.date_initiated : 0;
  if (!data.date_posted_valid && !data.date_initiated_valid)
    return result.Fail(row.line, "the transaction has no date (DTPOSTED)"), 0;
  std::tm* local = std::localtime(&when);
  if (!local) return result.Fail(row.line, "the transaction's date is out of range"), 0;
  row.date = {local->tm_year + 1900, local->tm_mon + 1, local->tm_mday};
  double cents = std::round(data.amount * 100.0);
  if (!(std::fabs(cents) < 1e15)) return result.Fail(row.line, "the amount is out of range"), 0;
  row.cents = static_cast<int64_t>(cents);
  if (data.check_number_valid) {
    auto check = ParseCheckNumber(data.check_number);
    if (!check) return result.Fail(row.line, std::string("check number '") + data.check_number + "' is too large"), 0;
    row.checkNum = *check;
  }
  if (data.name_valid && data.name[0]) row.payee = data.name;
  else if (data.memo_valid) row.payee = data.memo;
  if (!ValidUtf8(row.payee)) return result.Fail(row.line, "the payee is not UTF-8 text"), 0;
  result.rows.push_back(std::move(row));
  return 0;
}

}  // namespace

bool OfxAvailable() { return true; }

ReadResult ReadOfx(const std::string& path) {
  ReadResult result;
  OfxCollector collector{&result, {}};
  // Where each transaction starts, to name it in messages, and how many
  // there are, so that a transaction the parser dropped is not missed.
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    std::string text;
    char block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, got);
    std::fclose(file);
    int line = 1;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n') ++line;
      else if (text[i] == '<' && ContainsNoCase(std::string_view(text).substr(i, 9), "<STMTTRN>"))
        collector.lines.push_back(line);
    }
  } else {
    return result.Fail(0, "the file cannot be read"), result;
  }
  ofx_PARSER_msg = ofx_DEBUG_msg = ofx_DEBUG1_msg = ofx_DEBUG2_msg = ofx_DEBUG3_msg = ofx_DEBUG4_msg =
      ofx_DEBUG5_msg = ofx_STATUS_msg = ofx_INFO_msg = ofx_WARNING_msg = ofx_ERROR_msg = 0;
  LibofxContextPtr context = libofx_get_new_context();
  ofx_set_transaction_cb(context, TakeTransaction, &collector);
  int status = libofx_proc_file(context, path.c_str(), OFX);
  libofx_free_context(context);
  if (result.Failed()) return result;
  if (result.rows.size() != collector.lines.size()) {
    size_t missing = result.rows.size();
    int line = missing < collector.lines.size() ? collector.lines[missing] : 1;
    result.Fail(line, "the OFX transaction could not be read");
  } else if (status != 0) {
    result.Fail(1, "the file is not a well-formed OFX statement");
  }
  return result;
}

#else

bool OfxAvailable() { return false; }

ReadResult ReadOfx(const std::string&) {
  ReadResult result;
  result.Fail(0, "OFX import is not available in this build");
  return result;
}

#endif
