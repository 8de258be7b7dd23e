// Ordering and folding shared by the remains rows (TOstatokItem,
// TOstStoreItem): a total order for dates, and a merge of equal rows that
// sorts with the row's own key comparison instead of virtual calls.
//
// Item must provide a Key (its key fields), GetKey(), static CompareKey(a, b)
// and CompareKeys(a, b) (a total order, -1/0/1), and AddQuantities(other).
#ifndef ORLIX_REMAINS_ROW_ORDER_H_
#define ORLIX_REMAINS_ROW_ORDER_H_

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "lists/base_list.h"

namespace orlix {

// Dates compare exactly, without tolerance. A NaN date (possible only from
// direct callers; the server's dates are whole days) sorts after every number
// and equals another NaN, so the order stays total and sorting stays safe.
inline int CompareDates(double a, double b) {
  const bool a_nan = std::isnan(a), b_nan = std::isnan(b);
  if (a_nan || b_nan) return a_nan == b_nan ? 0 : (a_nan ? 1 : -1);
  return Compare3(a, b);
}

// Sorts the records from position begin to the end of the list by key. The
// keys are copied next to their records first, so that the comparisons read
// contiguous memory instead of chasing a pointer to each record.
template <class Item>
void SortRowsFrom(TBaseList& list, int begin) {
  struct Entry {
    typename Item::Key key;
    TBaseItem* item;
  };
  std::vector<Entry> entries;
  entries.reserve(static_cast<size_t>(list.Count - begin));
  for (int i = begin; i < list.Count; ++i)
    entries.push_back({static_cast<const Item&>(*list.Items[i]).GetKey(), list.Items[i]});
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return Item::CompareKey(a.key, b.key) < 0; });
  for (size_t i = 0; i < entries.size(); ++i) list.Items[begin + static_cast<int>(i)] = entries[i].item;
}

// On the key-ordered records from position begin on: folds each record equal
// to the last kept one into it (the folded one gets Deleted), then drops the
// empty ones, keeping the order of the rest (as RemoveEmpty does).
template <class Item>
void FoldRowsFrom(TBaseList& list, int begin) {
  Item* kept = nullptr;
  for (int i = begin; i < list.Count; ++i) {
    auto& row = list.ItemAs<Item>(i);
    if (row.Deleted) continue;
    if (kept && Item::CompareKeys(*kept, row) == 0) {
      kept->AddQuantities(row);
      row.Deleted = true;
    } else {
      kept = &row;
    }
  }
  int write = begin;
  for (int i = begin; i < list.Count; ++i) {
    if (list.Items[i]->IsEmpty()) continue;
    if (i != write) std::swap(list.Items[i], list.Items[write]);
    ++write;
  }
  list.Count = write;
}

// MergeDuplicates for a list whose records are exactly of class Item.
template <class Item>
void MergeRowsByKey(TBaseList& list) {
  list.SetSortMode(-1);
  if (!list.Sorted) {
    SortRowsFrom<Item>(list, 0);
    list.Sorted = true;
  }
  FoldRowsFrom<Item>(list, 0);
}

}  // namespace orlix

#endif  // ORLIX_REMAINS_ROW_ORDER_H_
