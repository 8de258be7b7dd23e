// Substring searches of the string list.
#include "values/list_str.h"

namespace orlix {

int TListStr::FindContaining(std::string_view sub) const {
  if (sub.empty()) return -1;
  for (int i = 0; i < Count(); ++i)
    if (std::string_view(Item(i)).find(sub) != std::string_view::npos) return i;
  return -1;
}

int TListStr::FindContainedIn(std::string_view text, int pos) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string_view item = Item(i);
    if (item.empty()) continue;
    if (pos <= 0) {
      if (text.find(item) != std::string_view::npos) return i;
    } else if (static_cast<size_t>(pos) <= text.size() && text.substr(static_cast<size_t>(pos) - 1).starts_with(item)) {
      return i;
    }
  }
  return -1;
}

}  // namespace orlix
