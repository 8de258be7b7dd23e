// An ordered list of (name, value) entries with case-insensitive names, the
// structure behind the registries and every lookup of objects by name. Kept
// sorted (searched by bisection, names unique) or unsorted (linear search,
// positions stable).
#ifndef ORLIX_FRAME_NAME_LIST_H_
#define ORLIX_FRAME_NAME_LIST_H_

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "frame/failure.h"
#include "frame/format.h"
#include "frame/platform.h"

namespace orlix {

inline constexpr const char* kDuplicateName = "String list does not allow duplicates";

template <class Value>
class TNameList {
 public:
  explicit TNameList(bool sorted) : sorted_(sorted) {}

  int Count() const { return static_cast<int>(entries_.size()); }
  bool IsSorted() const { return sorted_; }

  const std::string& Name(int index) const { return At(index).name; }
  Value& Object(int index) { return At(index).value; }
  const Value& Object(int index) const { return At(index).value; }
  void Rename(int index, std::string_view name) { At(index).name = name; }

  // Position of the name (letter case ignored), or -1. Unsorted lists take
  // the first match from position 0.
  int IndexOf(std::string_view name) const {
    if (!sorted_) {
      for (int i = 0; i < Count(); ++i)
        if (platform::CompareNamesIgnoreCase(entries_[i].name, name) == 0) return i;
      return -1;
    }
    int found;
    return FindSorted(name, found) ? found : -1;
  }

  // Appends (unsorted) or inserts in name order (sorted; a present name fails
  // with the duplicates message and leaves the list unchanged). Returns the
  // position of the new entry.
  int Add(std::string_view name, Value value) {
    int index = Count();
    if (sorted_ && FindSorted(name, index)) throw EOrlixError(kDuplicateName);
    entries_.insert(entries_.begin() + index, Entry{std::string(name), std::move(value)});
    return index;
  }

  void Delete(int index) {
    At(index);
    entries_.erase(entries_.begin() + index);
  }

 private:
  struct Entry {
    std::string name;
    Value value;
  };

  Entry& At(int index) {
    if (index < 0 || index >= Count()) throw EOrlixError(Format("List index (%d) out of bounds", index));
    return entries_[index];
  }
  const Entry& At(int index) const { return const_cast<TNameList*>(this)->At(index); }

  // Bisection: true with the position when found, false with the insert place.
  bool FindSorted(std::string_view name, int& index) const {
    int lo = 0, hi = Count() - 1;
    while (lo <= hi) {
      const int mid = (lo + hi) / 2;
      const int r = platform::CompareNamesIgnoreCase(entries_[mid].name, name);
      if (r == 0) {
        index = mid;
        return true;
      }
      if (r < 0) lo = mid + 1;
      else hi = mid - 1;
    }
    index = lo;
    return false;
  }

  bool sorted_;
  std::vector<Entry> entries_;
};

}  // namespace orlix

#endif  // ORLIX_FRAME_NAME_LIST_H_
