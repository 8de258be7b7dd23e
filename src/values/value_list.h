// TValueList: the array of values under the string, integer and double lists
// that stored procedures keep per thread and reach by handle.
//
// The three kinds behave the same apart from the value type and its order, so
// the behaviour lives here once and each kind supplies an Order:
//   Order::Value   the stored type;
//   Order::Key     the type values are passed and searched as;
//   Order::Less    the sort order (a strict order; see Sort for why that
//                  alone keeps the quicksort inside the array);
//   Order::Equal   equality of a search;
//   Order::kCreateLine / kDestroyLine   the log lines of the list's life.
//
// Storage grows in steps (4 up to 8 slots, 16 up to 64, then a quarter), the
// list may be flagged Sorted, and while it is, searches use bisection.
#ifndef ORLIX_VALUES_VALUE_LIST_H_
#define ORLIX_VALUES_VALUE_LIST_H_

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <utility>
#include <vector>

#include "frame/failure.h"
#include "frame/format.h"
#include "frame/log.h"
#include "lists/quick_sort.h"
#include "values/list_registry.h"

namespace orlix {

// Growth steps of the storage: small lists grow by a few slots, large ones by
// a quarter of what they hold, so appends stay amortised constant.
inline constexpr int kSmallGrowthLimit = 8;
inline constexpr int kMediumGrowthLimit = 64;
inline constexpr int kSmallGrowthStep = 4;
inline constexpr int kMediumGrowthStep = 16;
inline constexpr int kLargeGrowthDivisor = 4;

template <class Order>
class TValueList : public TObject {
 public:
  using Value = typename Order::Value;
  using Key = typename Order::Key;

  TValueList() { WriteLog(Order::kCreateLine); }
  ~TValueList() override {
    SetCapacity(0);
    WriteLog(Order::kDestroyLine);
  }
  TValueList(const TValueList&) = delete;
  TValueList& operator=(const TValueList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  int Capacity() const { return capacity_; }
  bool Sorted() const { return sorted_; }
  // The value at index; the caller keeps 0 <= index < Count().
  const Value& Item(int index) const { return items_[static_cast<size_t>(index)]; }
  bool ValidIndex(int index) const { return index >= 0 && index < Count(); }

  // Resizes the storage to exactly n values; values below n stay, a negative
  // n counts as 0.
  void SetCapacity(int n) {
    if (n < 0) n = 0;
    if (n == capacity_) return;
    const size_t size = static_cast<size_t>(n);
    if (size < items_.size()) items_.resize(size);
    if (size < items_.capacity()) {
      std::vector<Value> smaller;
      smaller.reserve(size);
      std::move(items_.begin(), items_.end(), std::back_inserter(smaller));
      items_.swap(smaller);
    } else {
      items_.reserve(size);
    }
    capacity_ = n;
  }

  // Appends a value (duplicates allowed) and returns its position.
  int Add(Key value) {
    sorted_ = false;
    if (Count() == capacity_) Grow();
    items_.emplace_back(value);
    return Count() - 1;
  }

  // Position of a value equal to the key, or -1. Sorted lists are searched by
  // bisection (any equal position may come back), others from position 0.
  int IndexOf(Key value) const {
    if (!sorted_) {
      for (int i = 0; i < Count(); ++i)
        if (Order::Equal(Item(i), value)) return i;
      return -1;
    }
    int lo = 0, hi = Count() - 1;
    while (lo <= hi) {
      const int mid = lo + (hi - lo) / 2;
      if (Order::Equal(Item(mid), value)) return mid;
      if (Order::Less(value, Item(mid))) hi = mid - 1;
      else lo = mid + 1;
    }
    return -1;
  }

  // Removes one occurrence of the value; nothing happens when it is absent.
  void Delete(Key value) {
    const int index = IndexOf(value);
    if (index < 0) return;
    items_.erase(items_.begin() + index);
  }

  // Empties the list and releases its storage; the Sorted flag stays.
  void Clear() { SetCapacity(0); }

  // Switching Sorted on sorts the list first; switching it off never reorders.
  void SetSorted(bool flag) {
    if (flag == sorted_) return;
    if (flag) Sort();
    sorted_ = flag;
  }

  // Sorts an unsorted list in the order of Order::Less. Leaves the Sorted flag
  // alone (SetSorted sets it).
  // The order is strict, so the shared quicksort's scans stop at the pivot
  // even for values no order ranks (NaN sorts last by Order::Less).
  void Sort() {
    if (sorted_ || Count() < 2) return;
    QuickSort(items_.data(), 0, Count() - 1, [](const Value& a, const Value& b) {
      return Order::Less(a, b) ? -1 : (Order::Less(b, a) ? 1 : 0);
    });
  }

  // One line per value in list order, in the kind's print form.
  void PrintItems(TLines& lines) const {
    for (int i = 0; i < Count(); ++i) lines.push_back(Order::Format(Item(i)));
  }

 private:
  void Grow() {
    int64_t step = kSmallGrowthStep;
    if (capacity_ > kMediumGrowthLimit) step = capacity_ / kLargeGrowthDivisor;
    else if (capacity_ > kSmallGrowthLimit) step = kMediumGrowthStep;
    // Computed wide and capped so a huge list can never wrap to a negative size.
    const int64_t wanted = std::min<int64_t>(int64_t{capacity_} + step, std::numeric_limits<int32_t>::max());
    if (wanted <= capacity_) throw EOrlixError(Format("List capacity out of bounds (%d)", capacity_));
    SetCapacity(static_cast<int>(wanted));
  }

  std::vector<Value> items_;  // the list's values; storage for capacity_ of them
  int capacity_ = 0;
  bool sorted_ = false;
};

}  // namespace orlix

#endif  // ORLIX_VALUES_VALUE_LIST_H_
