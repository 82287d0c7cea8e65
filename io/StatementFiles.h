// Reading statements (QIF, CSV, OFX) into rows and writing the ledger's rows
// as CSV or QIF.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "io/StatementRow.h"

enum class FileFormat { Unknown, Qif, Csv, Ofx };

struct ReadOptions {
  std::string inputDatePattern;  // empty: ISO or M/D/YYYY
  std::string columns;           // CSV roles by position, for files whose header does not name them
};

// By content: an OFX header or <OFX> tag, a QIF "!" header line, else CSV.
FileFormat DetectFormat(std::string_view text);

// text is the whole file; a byte-order mark at its start is skipped.
ReadResult ReadQif(std::string_view text, const ReadOptions& options);
ReadResult ReadCsv(std::string_view text, const ReadOptions& options);
ReadResult ReadOfx(std::string_view text);

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
