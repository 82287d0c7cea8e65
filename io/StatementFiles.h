// Reading statements (QIF, CSV, OFX) into rows and writing the ledger's rows
// as CSV or QIF.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/InputEncoding.h"
#include "io/StatementRow.h"

enum class FileFormat { Unknown, Qif, Csv, Ofx };

struct ReadOptions {
  std::string inputDatePattern;  // empty: ISO or M/D/YYYY
  std::string columns;           // CSV roles by position, for files whose header does not name them
  char separator = 0;            // CSV: ',', ';', '\t' or '|'; 0 finds it from the header
  char decimal = 0;              // '.' or ','; 0 finds it from the amounts
  std::optional<InputEncoding> encoding = std::nullopt;  // OFX: the text is already decoded from it
};

// By content: an OFX header or <OFX> tag, a QIF "!" header line or lines of
// QIF fields ended by "^", else CSV.
FileFormat DetectFormat(std::string_view text);

// text is the whole file; a byte-order mark at its start is skipped and any
// line end (LF, CR LF, CR) taken.
ReadResult ReadQif(std::string_view text, const ReadOptions& options);
ReadResult ReadCsv(std::string_view text, const ReadOptions& options);
ReadResult ReadOfx(std::string_view text, const ReadOptions& options = {});

struct ExportRow {
  int32_t checkNum;
  std::string date;
  std::string payee;
  int64_t creditCents;
  int64_t debitCents;
  int32_t status;
};

// Both return false when the stream reports a write error.
bool WriteCsv(std::FILE* file, const std::vector<ExportRow>& rows);
bool WriteQif(std::FILE* file, const std::vector<ExportRow>& rows);
