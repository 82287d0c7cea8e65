#include "platform/dialog/collation.h"

#include <clocale>
#include <cstdlib>
#include <cwctype>
#include <locale.h>
#include <string>
#include <wchar.h>

#include "platform/text/utf8.h"

namespace layer {
namespace {

// The base letters of U+00C0..U+017F: where the user's locale has no
// collation of its own (C, POSIX, C.UTF-8), "électricité" still sorts among
// the e's, as it does on Windows whatever the locale. '.' keeps the character.
constexpr char kBaseLetters[] =
    "AAAAAAACEEEEIIIIDNOOOOO.OUUUUYTs"
    "aaaaaaaceeeeiiiidnooooo.ouuuuyty"
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIiIiJjKkkLlLlLlLlLlNnNnNnnNnOoOoOoOoRrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";
static_assert(sizeof(kBaseLetters) - 1 == 0x180 - 0xC0);

// A locale for case folding beyond ASCII, whatever the program's own.
locale_t FoldLocale() {
  static locale_t fold = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    return l ? l : newlocale(LC_CTYPE_MASK, "C", nullptr);
  }();
  return fold;
}

wchar_t Lower(char32_t c) {
  if (c < 0x80) return static_cast<wchar_t>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
  locale_t fold = FoldLocale();
  return fold ? static_cast<wchar_t>(towlower_l(static_cast<wint_t>(c), fold)) : static_cast<wchar_t>(c);
}

std::wstring Folded(std::string_view text) {
  std::wstring out;
  for (char32_t c : text::Decode(text)) out.push_back(Lower(c));
  return out;
}

std::wstring BaseFolded(std::string_view text) {
  std::wstring out;
  for (char32_t c : text::Decode(text)) {
    if (c >= 0xC0 && c < 0x180 && kBaseLetters[c - 0xC0] != '.') c = static_cast<unsigned char>(kBaseLetters[c - 0xC0]);
    out.push_back(Lower(c));
  }
  return out;
}

// The user's collation, made again only when the environment names another.
struct Collation {
  std::string name;
  locale_t locale = nullptr;  // null: none of its own
};

const char* CollationName() {
  for (const char* variable : {"LC_ALL", "LC_COLLATE", "LANG"})
    if (const char* value = std::getenv(variable); value && *value) return value;
  return "C";
}

locale_t UserCollation() {
  static Collation current{"\x01", nullptr};
  std::string_view name = CollationName();
  if (name != current.name) {
    if (current.locale) freelocale(current.locale);
    current.name = name;
    current.locale = nullptr;
    bool codePoints = name == "C" || name == "POSIX" || name.starts_with("C.");
    if (!codePoints) current.locale = newlocale(LC_COLLATE_MASK | LC_CTYPE_MASK, current.name.c_str(), nullptr);
  }
  return current.locale;
}

int Sign(int n) { return (n > 0) - (n < 0); }

}  // namespace

int CollateNoCase(std::string_view a, std::string_view b) {
  std::wstring fa = Folded(a), fb = Folded(b);
  if (locale_t user = UserCollation()) {
    if (int order = wcscoll_l(fa.c_str(), fb.c_str(), user)) return Sign(order);
  } else {
    if (int order = BaseFolded(a).compare(BaseFolded(b))) return Sign(order);
  }
  return Sign(fa.compare(fb));
}

bool EqualNoCase(std::string_view a, std::string_view b) { return Folded(a) == Folded(b); }

bool StartsNoCase(std::string_view text, std::string_view prefix) {
  std::wstring ft = Folded(text), fp = Folded(prefix);
  return ft.compare(0, fp.size(), fp) == 0;
}

}  // namespace layer
