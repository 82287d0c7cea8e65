// The QIF reader on any bytes, with the date formats banks write.
#include <algorithm>
#include <cstdint>

#include "tests/fuzz/reader_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const char* pattern : {"", "%d/%m/%Y", "%d/%m/%y"}) {
    ReadOptions options;
    options.inputDatePattern = pattern;
    ReadResult read = ReadQif(text, options);
    CheckRead(text, read, ReadQif(text, options));
    // Each record ends at a ^ or at the end of the file.
    Check(read.rows.size() <= static_cast<size_t>(std::count(text.begin(), text.end(), '^')) + 1);
  }
  return 0;
}
