#include "io/InputEncoding.h"

#include <cctype>
#include <cstdint>
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
  // A Latin-1 label is read as Windows-1252, as browsers do: files so named
  // hold Windows-1252's quotes and euro sign, and every format reads the
  // same bytes as the same text.
  encoding = InputEncoding::Windows1252;
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
    return result;
  }
  result.text = Windows1252ToUtf8(file);
  return result;
}

DecodedText FromUtf16(std::string_view file) {
  DecodedText result;
  const bool little = file.starts_with("\xFF\xFE"), big = file.starts_with("\xFE\xFF");
  if (!little && !big) {
    result.text = file;
    return result;
  }
  int line = 1;
  auto unit = [&](size_t at) -> uint32_t {
    auto a = static_cast<unsigned char>(file[at]), b = static_cast<unsigned char>(file[at + 1]);
    return little ? a | (b << 8) : (a << 8) | b;
  };
  for (size_t at = 2; at < file.size(); at += 2) {
    if (at + 1 >= file.size()) break;  // an odd last byte ends the text
    uint32_t code = unit(at);
    if (code >= 0xD800 && code <= 0xDBFF && at + 3 < file.size() && unit(at + 2) >= 0xDC00 && unit(at + 2) <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (unit(at + 2) - 0xDC00);
      at += 2;
    } else if ((code >= 0xD800 && code <= 0xDFFF) || code == 0) {
      result.errorLine = line;
      result.error = "the text is not UTF-16, though the file starts with its byte-order mark";
      return result;
    }
    line += code == '\n';
    AppendUtf8(result.text, code);
  }
  return result;
}
