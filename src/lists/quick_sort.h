// The one quicksort of the library, shared by the record lists and the value
// lists: Hoare partition around the element at the middle position, the
// smaller part sorted by recursion and the larger by the loop, so the stack
// stays logarithmic whatever the order of the data.
#ifndef ORLIX_LISTS_QUICK_SORT_H_
#define ORLIX_LISTS_QUICK_SORT_H_

#include <utility>

namespace orlix {

// Sorts items[lo..hi] by compare(a, b), which answers -1, 0 or 1. The pivot
// is followed by position as elements are exchanged, so it is the element
// first found at the middle whatever moves, and each scan stops at the pivot
// itself (nothing compares below itself): both indexes stay inside lo..hi
// even for a comparison that calls unlike values equal. Equal elements may
// change their order.
template <class T, class Compare>
void QuickSort(T* items, int lo, int hi, const Compare& compare) {
  while (lo < hi) {
    int i = lo, j = hi, p = lo + (hi - lo) / 2;
    do {
      while (compare(items[i], items[p]) < 0) ++i;
      while (compare(items[j], items[p]) > 0) --j;
      if (i <= j) {
        if (i != j) std::swap(items[i], items[j]);
        if (p == i) p = j;
        else if (p == j) p = i;
        ++i;
        --j;
      }
    } while (i <= j);
    if (j - lo < hi - i) {
      if (lo < j) QuickSort(items, lo, j, compare);
      lo = i;
    } else {
      if (i < hi) QuickSort(items, i, hi, compare);
      hi = j;
    }
  }
}

}  // namespace orlix

#endif  // ORLIX_LISTS_QUICK_SORT_H_
