#include "io/InputEncoding.h"

#include <cctype>
#include <cstdio>

#include "storage/TextEncoding.h"

namespace {

// The first byte the encoding has no character for, or npos. NUL is text in
// none of them.
size_t FirstForeignByte(std::string_view file, InputEncoding encoding) {
  for (size_t i = 0; i < file.size(); ++i) {
    auto byte = static_cast<unsigned char>(file[i]);
    bool foreign = byte == 0;
    if (encoding == InputEncoding::Windows1252)
      foreign = foreign || byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
    if (encoding == InputEncoding::Latin1) foreign = foreign || (byte >= 0x80 && byte < 0xA0);
    if (foreign) return i;
  }
  return std::string_view::npos;
}

int LineAt(std::string_view file, size_t at) {
  int line = 1;
  for (size_t i = 0; i < at; ++i) line += file[i] == '\n';
  return line;
}

std::string Hex(unsigned char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", byte);
  return text;
}

}  // namespace

std::optional<InputEncoding> EncodingNamed(std::string_view name) {
  std::string lower = LowerAscii(name);
  if (lower == "utf-8" || lower == "utf8") return InputEncoding::Utf8;
  if (lower == "windows-1252" || lower == "cp1252") return InputEncoding::Windows1252;
  if (lower == "latin-1" || lower == "latin1" || lower == "iso-8859-1") return InputEncoding::Latin1;
  return std::nullopt;
}

DecodedText DecodeStatement(std::string_view file, InputEncoding encoding) {
  DecodedText result;
  if (encoding == InputEncoding::Utf8) {
    // Line by line, so the refusal names the first line that is not UTF-8.
    for (size_t start = 0, line = 1; start < file.size(); ++line) {
      size_t end = file.find('\n', start);
      std::string_view text = file.substr(start, end == std::string_view::npos ? end : end - start);
      if (!IsUtf8(text)) {
        result.errorLine = static_cast<int>(line);
        result.error = "the text is not UTF-8; for a file in another encoding give --encoding windows-1252 or "
                       "--encoding latin-1";
        return result;
      }
      start = end == std::string_view::npos ? file.size() : end + 1;
    }
    result.text = file;
    return result;
  }
  const char* name = encoding == InputEncoding::Windows1252 ? "Windows-1252" : "Latin-1";
  if (file.starts_with(kByteOrderMark)) {
    result.errorLine = 1;
    result.error = std::string("the file starts with a UTF-8 byte-order mark, so it is no ") + name +
                   " text; leave out --encoding";
    return result;
  }
  if (size_t at = FirstForeignByte(file, encoding); at != std::string_view::npos) {
    auto byte = static_cast<unsigned char>(file[at]);
    result.errorLine = LineAt(file, at);
    result.error = "byte " + Hex(byte) + " is no " + name + " character; check --encoding";
    // Bank files called Latin-1 are mostly Windows-1252, which has these.
    if (encoding == InputEncoding::Latin1 && FirstForeignByte(file.substr(at, 1), InputEncoding::Windows1252) != 0)
      result.error += " (it is one in Windows-1252: --encoding windows-1252)";
    return result;
  }
  result.text = encoding == InputEncoding::Windows1252 ? Windows1252ToUtf8(file) : Latin1ToUtf8(file);
  return result;
}
