// The CSV reader on any bytes: by its header, and by --columns, with the date
// formats banks write.
#include <algorithm>
#include <cstdint>

#include "tests/fuzz/reader_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const char* pattern : {"", "%d/%m/%Y", "%d.%m.%y"}) {
    for (const char* columns : {"", "date,payee,-,amount"}) {
      ReadOptions options;
      options.inputDatePattern = pattern;
      options.columns = columns;
      ReadResult read = ReadCsv(text, options);
      CheckRead(text, read, ReadCsv(text, options));
      // A row comes from one line at least; a balance line is not a row.
      size_t lines = static_cast<size_t>(LineCount(text));
      Check(read.rows.size() + read.withoutAmount + read.summaryLines <= lines);
    }
  }
  return 0;
}
