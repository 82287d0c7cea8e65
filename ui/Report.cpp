#include "ui/Report.h"

#include <charconv>
#include <cstdio>
#include <cstring>

#include "app/AppState.h"
#include "platform/win32.h"
#include "storage/TextConvert.h"

namespace {

// A line: a check number of up to 11 characters, the 20-byte date, the 80-byte
// payee, two amounts of up to 43 characters (a float has at most 39 integer
// digits) and the separating spaces fit in 256 bytes.
constexpr size_t kLineArea = 256;
constexpr size_t kNumberArea = kMoneyArea;

char* Spaces(char* out, size_t count) {
  std::memset(out, ' ', count);
  return out + count;
}

// The text, then spaces up to `width` bytes ("%-Ns").
char* PadRight(char* out, const char* text, size_t length, size_t width) {
  std::memcpy(out, text, length);
  return length < width ? Spaces(out + length, width - length) : out + length;
}

// Spaces up to `width` bytes, then the text ("%Ns").
char* PadLeft(char* out, const char* text, size_t length, size_t width) {
  if (length < width) out = Spaces(out, width - length);
  std::memcpy(out, text, length);
  return out + length;
}

// "%.2lf" of the amount widened to double.
size_t FormatAmount(char (&area)[kNumberArea], float amount) {
  return static_cast<size_t>(FormatMoney(area, amount) - area);
}

// One row line, composed as the printf formats "%5ld ", "%-10s  ", "%-38s  ",
// "%4.2lf  " and "%-4.2lf  " would write it.
size_t ComposeRow(char (&line)[kLineArea], const LedgerRecord& row) {
  char* out = line;
  char number[kNumberArea];
  if (row.mCheckNum != 0) {
    size_t length = static_cast<size_t>(std::to_chars(number, number + kNumberArea, row.mCheckNum).ptr - number);
    out = PadLeft(out, number, length, 5);
    *out++ = ' ';
  } else {
    out = Spaces(out, 6);
  }
  out = Spaces(PadRight(out, row.Date(), std::strlen(row.Date()), 10), 2);
  out = Spaces(PadRight(out, row.Payee(), std::strlen(row.Payee()), 38), 2);
  if (row.mCredit != 0) {
    out = Spaces(PadLeft(out, number, FormatAmount(number, row.mCredit), 4), 2);
  } else {
    out = Spaces(out, 8);
  }
  if (row.mDebit != 0) {
    out = Spaces(PadRight(out, number, FormatAmount(number, row.mDebit), 4), 2);
  } else {
    out = Spaces(out, 8);
  }
  const char* mark = "  \n";
  switch (row.mStatus) {
    case StatusCleared: mark = " C\n"; break;
    case StatusReconciled: mark = " R\n"; break;
    case StatusMarked: mark = " B\n"; break;
    default: break;
  }
  std::memcpy(out, mark, 3);
  return static_cast<size_t>(out + 3 - line);
}

}  // namespace

void WriteReport() {
  // Made through the system when it is missing, so a new report gets the
  // permissions of a private file (its owner's alone where files have modes);
  // the text-mode write that follows keeps them. Text mode: each line end is
  // CR LF on Windows.
  HANDLE made = CreateFileA("Report.txt", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (made == INVALID_HANDLE_VALUE) return;
  CloseHandle(made);
  FILE* file = std::fopen("Report.txt", "w");
  if (file == nullptr) return;
  static char buffer[64 * 1024];  // fewer, larger writes than the default
  std::setvbuf(file, buffer, _IOFBF, sizeof buffer);
  std::fputs("\n", file);
  std::fputs("RErivarude v 1.01\n", file);
  std::fputs(" ##   Date        Description                           Credit  Debit St\n", file);
  std::fputs("--------------------------------------------------------------------------\n", file);
  char line[kLineArea];
  for (TableRecord* row = appState.ledger->FirstRow(); row != nullptr; row = row->nextRow) {
    std::fwrite(line, 1, ComposeRow(line, *static_cast<LedgerRecord*>(row)), file);
  }
  std::fclose(file);
}
