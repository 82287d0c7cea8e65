// The text-to-number conversions and the text cuts on any input: no inf, NaN
// or negative zero reaches a row, an amount written at two decimals reads
// back as itself, and a cut keeps whole UTF-8 characters.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "storage/TextBuffer.h"
#include "storage/TextConvert.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// True when text holds only whole, well-formed UTF-8 sequences.
bool WellFormed(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    auto lead = static_cast<unsigned char>(text[i]);
    size_t size = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                                 : lead >= 0xF0 && lead < 0xF5 ? 4 : 0;
    if (size == 0 || i + size > text.size()) return false;
    for (size_t k = 1; k < size; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += size;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  const char* c = text.c_str();  // up to the first NUL

  double wide = TextToDouble(c);
  float real = TextToReal(c);
  Check(std::isfinite(wide) && std::isfinite(real));
  Check(std::fabs(wide) <= FLT_MAX);
  Check(!std::signbit(wide) || wide != 0);
  Check(!std::signbit(real) || real != 0);
  Check(real == static_cast<float>(wide));
  TextToInt(c);

  // Written at two decimals, as every statement writes amounts, and read back.
  TextBuffer buffer;
  buffer.SetPrecision(2);
  buffer.AssignReal(real);
  float back = TextToReal(buffer.Text());
  Check(std::isfinite(back));
  Check(std::fabs(static_cast<double>(back) - real) <= 0.005 + std::fabs(real) * 1e-6);

  // A cut text is a prefix, within the limit, and keeps whole characters.
  size_t limit = size % 97;
  std::string field(limit + 1, '\x7f');
  CopyText(field.data(), c, limit);
  std::string cut = field.c_str();
  Check(cut.size() <= limit && std::strncmp(cut.c_str(), c, cut.size()) == 0);
  if (WellFormed(c)) Check(WellFormed(cut));
  size_t whole = WholeCharacters(c, std::strlen(c) < limit ? std::strlen(c) : limit);
  Check(whole <= limit);
  if (WellFormed(c)) Check(WellFormed(std::string(c, whole)));
  return 0;
}
