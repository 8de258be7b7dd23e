// TListStr: a per-thread list of byte strings reached by handle. Strings are
// stored exactly as given (the exports trim them first), compared byte by byte
// as unsigned values, and may occur several times.
#ifndef ORLIX_VALUES_LIST_STR_H_
#define ORLIX_VALUES_LIST_STR_H_

#include <string>
#include <string_view>

#include "values/value_list.h"

namespace orlix {

// The longest string value the declarations let the server pass in, and the
// most bytes (plus the terminator) the library writes into a caller's buffer.
// The declaration script uses the same number for every string value argument.
inline constexpr int kMaxValueLength = 4096;

struct StrOrder {
  using Value = std::string;
  using Key = std::string_view;
  static constexpr const char* kCreateLine = "TListStr.Create";
  static constexpr const char* kDestroyLine = "TListStr.Destroy";
  // string_view compares bytes as unsigned values; a prefix sorts first.
  static bool Less(std::string_view a, std::string_view b) { return a < b; }
  static bool Equal(std::string_view a, std::string_view b) { return a == b; }
};

class TListStr final : public TValueList<StrOrder> {
 public:
  // First position whose string contains sub (case-sensitive), or -1. An
  // empty sub is contained in nothing.
  int FindContaining(std::string_view sub) const;
  // First position whose string occurs in text, or -1; an empty list string
  // occurs in nothing. pos <= 0 accepts an occurrence anywhere; pos > 0 only
  // one starting at that 1-based position of text.
  int FindContainedIn(std::string_view text, int pos) const;
};

}  // namespace orlix

#endif  // ORLIX_VALUES_LIST_STR_H_
