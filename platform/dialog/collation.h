// The order and the matching of a sorted list box or combo box: by the
// user's collation (LC_ALL, LC_COLLATE, LANG), case ignored, as Windows sorts
// them by the user's locale.
#pragma once

#include <string_view>

namespace layer {

// Below zero, zero or above zero, as text a sorts before, with or after b.
int CollateNoCase(std::string_view a, std::string_view b);

// The same text but for case ("Électricité" and "éLECTRICITÉ").
bool EqualNoCase(std::string_view a, std::string_view b);
// Whether text begins with prefix, case ignored.
bool StartsNoCase(std::string_view text, std::string_view prefix);

}  // namespace layer
