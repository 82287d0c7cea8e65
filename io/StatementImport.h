// A statement file read as the register's Import reads it: the format and
// the encoding found from the content, and the closing balance it states.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/InputEncoding.h"
#include "io/StatementFiles.h"

struct StatementRead {
  FileFormat format = FileFormat::Unknown;
  InputEncoding encoding = InputEncoding::Utf8;
  ReadResult read;                      // read.error set when the file is refused
  std::optional<int64_t> closingCents;  // a file without accounts: the balance it ends on, where stated
};

// Valid UTF-8 is taken as UTF-8, anything else as Windows-1252 (an OFX file
// names its own character set).
StatementRead ReadStatement(std::string_view bytes);

// The balance the chosen account's statement ends on, where the file states
// one. OFX: its LEDGERBAL's BALAMT. CSV: the balance column on its newest row.
std::optional<int64_t> StatedClosing(const StatementRead& statement, size_t chosen);

// A file of several accounts: how a list names one, the ones that hold
// transactions, and the rows of the one imported.
std::string AccountText(const StatementAccount& account);
std::vector<size_t> AccountsWithRows(const ReadResult& read);
// The account taken when the file holds at most one with transactions;
// SIZE_MAX when the file names no accounts.
size_t OnlyAccount(const ReadResult& read);
// Why the account cannot be imported (an investment account is no
// register's), or empty.
std::string AccountRefusal(const ReadResult& read, size_t chosen);
// SIZE_MAX or a file without accounts: every row.
std::vector<StatementRow> AccountRows(const ReadResult& read, size_t chosen);
