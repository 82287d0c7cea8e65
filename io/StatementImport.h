// A statement file read as the register's Import reads it: the format and
// the encoding found from the content, and the closing balance it states.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "io/InputEncoding.h"
#include "io/StatementFiles.h"

struct StatementRead {
  FileFormat format = FileFormat::Unknown;
  InputEncoding encoding = InputEncoding::Utf8;
  ReadResult read;                      // read.error set when the file is refused
  std::optional<int64_t> closingCents;  // the balance the statement ends on, where it states one
};

// Valid UTF-8 is taken as UTF-8, anything else as Windows-1252 (an OFX file
// names its own character set).
StatementRead ReadStatement(std::string_view bytes);

// OFX: LEDGERBAL's BALAMT. CSV: the balance column on the latest row.
std::optional<int64_t> ClosingBalance(std::string_view text, FileFormat format, const ReadResult& read);
