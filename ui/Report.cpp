#include "ui/Report.h"

#include <charconv>
#include <cstdio>
#include <cstring>

#include "app/AppState.h"
#include "platform/win32.h"
#include "storage/Money.h"
#include "storage/TextConvert.h"

namespace {

// A line: a check number of up to 11 characters, the 20-byte date, the payee
// of up to 80 bytes padded to 38 columns (at most 98 bytes: twenty 4-byte
// characters and 18 spaces), two amounts of up to 43 characters (a float has
// at most 39 integer digits) and the separating spaces fit in 256 bytes.
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

// East Asian wide characters: two columns each in a fixed-width view.
bool IsWide(char32_t ch) {
  return (ch >= 0x1100 && ch <= 0x115F) || (ch >= 0x2E80 && ch <= 0x303E) || (ch >= 0x3041 && ch <= 0xA4CF) ||
         (ch >= 0xAC00 && ch <= 0xD7A3) || (ch >= 0xF900 && ch <= 0xFAFF) || (ch >= 0xFE30 && ch <= 0xFE4F) ||
         (ch >= 0xFF00 && ch <= 0xFF60) || (ch >= 0xFFE0 && ch <= 0xFFE6) || (ch >= 0x1F300 && ch <= 0x1F64F) ||
         (ch >= 0x20000 && ch <= 0x3FFFD);
}

// The columns a UTF-8 text takes in a fixed-width view, so a payee in any
// script fills its column as an ASCII one does. A byte that starts no
// character counts as one column, as a viewer shows it.
size_t Columns(const char* text, size_t length) {
  size_t columns = 0;
  for (size_t at = 0; at < length;) {
    unsigned char lead = static_cast<unsigned char>(text[at]);
    size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    char32_t ch = extra == 0 ? lead : lead & (0x3F >> extra);
    size_t next = at + 1;
    while (next < length && next <= at + extra && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) {
      ch = (ch << 6) | (static_cast<unsigned char>(text[next]) & 0x3F);
      ++next;
    }
    if (next != at + extra + 1) {
      ch = lead;  // cut short: the lead byte alone
      next = at + 1;
    }
    columns += IsWide(ch) ? 2 : 1;
    at = next;
  }
  return columns;
}

// "%.2lf" of the amount widened to double.
size_t FormatAmount(char (&area)[kNumberArea], float amount) {
  return static_cast<size_t>(FormatMoney(area, amount) - area);
}

// One row line, composed as the printf formats "%5ld ", "%-10s  ", "%-38s  ",
// "%4.2lf  " and "%-4.2lf  " would write it, the payee padded to 38 columns
// rather than bytes.
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
  size_t payee = std::strlen(row.Payee());
  size_t shown = Columns(row.Payee(), payee);
  out = Spaces(PadRight(out, row.Payee(), payee, shown < 38 ? 38 - shown + payee : payee), 2);
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
