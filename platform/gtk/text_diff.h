// What a GTK field's edit did to the text the dialog manager holds: the one
// run of bytes replaced, found from both ends, so the dialog manager sees the
// same replacement a person's typing or pasting would make.
#pragma once

#include <cstddef>
#include <string>

namespace gtkfe {

struct TextEdit {
  size_t from = 0, to = 0;  // the bytes of the old text replaced, at character starts
  std::string inserted;     // what replaces them
  bool operator==(const TextEdit&) const = default;
};

TextEdit DiffText(const std::string& old, const std::string& now);

}  // namespace gtkfe
