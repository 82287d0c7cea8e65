// The encodings a statement file may come in, and the file turned into the
// UTF-8 the register keeps.
#pragma once

#include <optional>
#include <string>
#include <string_view>

enum class InputEncoding { Utf8, Windows1252, Latin1 };

// utf-8, windows-1252 or latin-1, in any case (also utf8, cp1252, latin1,
// iso-8859-1).
std::optional<InputEncoding> EncodingNamed(std::string_view name);

struct DecodedText {
  std::string text;  // UTF-8
  int errorLine = 0;  // set when the file is not text of the encoding
  std::string error;
};

// The whole file as UTF-8, or the first line that is not text of the
// encoding and why.
DecodedText DecodeStatement(std::string_view file, InputEncoding encoding);

// A file that starts with a UTF-16 byte-order mark (as Excel's "Unicode
// text" is written) as UTF-8 without the mark; any other file as it is.
DecodedText FromUtf16(std::string_view file);
