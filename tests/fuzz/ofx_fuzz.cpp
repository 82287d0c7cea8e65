// The OFX reader on any bytes: read whole, every <STMTTRN> a row, or refused.
#include <cctype>
#include <cstdint>

#include "tests/fuzz/reader_checks.h"

namespace {

size_t CountNoCase(std::string_view text, std::string_view needle) {
  size_t count = 0;
  for (size_t i = 0; i + needle.size() <= text.size(); ++i) {
    size_t k = 0;
    while (k < needle.size() && std::toupper(static_cast<unsigned char>(text[i + k])) == needle[k]) ++k;
    count += k == needle.size();
  }
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  ReadResult read = ReadOfx(text);
  CheckRead(text, read, ReadOfx(text));
  if (!read.Failed()) {
    // No transaction dropped silently; one inside a comment or declaration is none.
    size_t starts = CountNoCase(text, "<STMTTRN>");
    Check(read.rows.size() <= starts);
    if (CountNoCase(text, "<!") == 0 && CountNoCase(text, "<?") == 0) Check(read.rows.size() == starts);
  }
  return 0;
}
