#include "platform/gtk/text_diff.h"

#include <algorithm>

#include "platform/text/utf8.h"

namespace gtkfe {

TextEdit DiffText(const std::string& old, const std::string& now) {
  size_t prefix = 0;
  while (prefix < old.size() && prefix < now.size() && old[prefix] == now[prefix]) ++prefix;
  // A shared lead byte or trail byte is not a shared character: the run
  // widens to whole characters in both texts.
  prefix = text::CharStart(old, prefix);
  prefix = std::min(prefix, text::CharStart(now, prefix));
  size_t suffix = 0;
  while (suffix < old.size() - prefix && suffix < now.size() - prefix &&
         old[old.size() - 1 - suffix] == now[now.size() - 1 - suffix])
    ++suffix;
  while (suffix > 0 && (text::CharStart(old, old.size() - suffix) != old.size() - suffix ||
                        text::CharStart(now, now.size() - suffix) != now.size() - suffix))
    --suffix;
  return {prefix, old.size() - suffix, now.substr(prefix, now.size() - suffix - prefix)};
}

}  // namespace gtkfe
