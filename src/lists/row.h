// The one shape of engine rows. A row type states its key as an ordered list
// of fields, how it adds the quantities of an equal row, and its print line;
// comparison, merging, copying and printing follow from that here, and its
// list (TRowList) gets the work item, key lookups and a sort without a
// virtual call per comparison.
//
//   class TPalletItem final : public TRow<TPalletItem> {
//    public:
//     using Order = KeyOrder<Asc<&TPalletItem::palet>, Asc<&TPalletItem::date>>;
//     void AddQuantities(const TPalletItem& other) { Quantity += other.Quantity; }
//     std::string PrintLine() const;
//     int32_t palet = 0;
//     double date = 0.0;
//   };
//
// Every comparison answers exactly -1, 0 or 1: integers by their signed value
// over the whole range (never by subtraction), doubles exactly, with NaN after
// every number and equal to another NaN (so an order stays total and a sort
// stays inside its range), booleans false before true.
#ifndef ORLIX_LISTS_ROW_H_
#define ORLIX_LISTS_ROW_H_

#include <cmath>
#include <cstdint>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "frame/failure.h"
#include "lists/base_list.h"
#include "lists/quick_sort.h"

namespace orlix {

// ---- Three-way comparison of field values --------------------------------------

template <class T>
inline int Compare3(T a, T b) {
  if constexpr (std::is_floating_point_v<T>) {
    const bool a_nan = std::isnan(a), b_nan = std::isnan(b);
    if (a_nan || b_nan) return a_nan == b_nan ? 0 : (a_nan ? 1 : -1);
  }
  return a < b ? -1 : (b < a ? 1 : 0);
}

// ---- Key orders ------------------------------------------------------------------
// A key part compares two rows on one field (or one derived value); a key
// order compares part by part until one differs.

// The type of the field a pointer to member names.
template <class M>
struct MemberValue;
template <class T, class C>
struct MemberValue<T C::*> {
  using type = T;
};

// One field, given as a pointer to member, in a direction: 1 ascending, -1
// descending.
template <auto Member, int kDirection>
struct FieldPart {
  using Value = typename MemberValue<decltype(Member)>::type;
  template <class Row>
  static Value Get(const Row& row) {
    return row.*Member;
  }
  static int CompareValues(Value a, Value b) { return kDirection * Compare3(a, b); }
  template <class Row>
  static int Compare(const Row& a, const Row& b) {
    return CompareValues(a.*Member, b.*Member);
  }
};
template <auto Member>
using Asc = FieldPart<Member, 1>;
template <auto Member>
using Desc = FieldPart<Member, -1>;

template <class... Parts>
struct KeyOrder {
  template <class Row>
  static int Compare(const Row& a, const Row& b) {
    int r = 0;
    (void)(((r = Parts::Compare(a, b)) != 0) || ...);
    return r;
  }

  // The key values of a row, side by side, for sorts that compare many
  // times: there only when every part names its Value (Asc and Desc do;
  // a part on a derived value need not).
  template <class Row>
  requires(requires { typename Parts::Value; } && ...) static auto KeyOf(const Row& row) {
    return std::tuple<typename Parts::Value...>{Parts::template Get<Row>(row)...};
  }
  // The same order as Compare, on keys.
  template <class Key>
  static int CompareKeys(const Key& a, const Key& b) {
    return CompareKeysFrom(a, b, std::index_sequence_for<Parts...>());
  }

 private:
  template <class Key, size_t... I>
  static int CompareKeysFrom(const Key& a, const Key& b, std::index_sequence<I...>) {
    int r = 0;
    (void)(((r = Parts::CompareValues(std::get<I>(a), std::get<I>(b))) != 0) || ...);
    return r;
  }
};

// True for an order whose parts all name their values.
template <class Order, class Row>
concept KeyedOrder = requires(const Row& row) {
  Order::KeyOf(row);
};

// Sorts records lo..hi (all of type Row) by Order with QuickSort. Where the
// order names its key values, they are copied next to their records first,
// so the comparisons read contiguous memory instead of chasing a pointer to
// each record; the comparisons answer alike, so the result is the same.
template <class Order, class Row>
void SortRecords(TBaseItem** records, int lo, int hi) {
  if constexpr (KeyedOrder<Order, Row>) {
    struct Entry {
      decltype(Order::KeyOf(std::declval<const Row&>())) key;
      TBaseItem* item;
    };
    std::vector<Entry> entries;
    entries.reserve(static_cast<size_t>(hi - lo + 1));
    for (int i = lo; i <= hi; ++i) entries.push_back({Order::KeyOf(*static_cast<const Row*>(records[i])), records[i]});
    QuickSort(entries.data(), 0, hi - lo,
              [](const Entry& a, const Entry& b) { return Order::CompareKeys(a.key, b.key); });
    for (int i = lo; i <= hi; ++i) records[i] = entries[static_cast<size_t>(i - lo)].item;
  } else {
    QuickSort(records, lo, hi, [](const TBaseItem* a, const TBaseItem* b) {
      return Order::Compare(*static_cast<const Row*>(a), *static_cast<const Row*>(b));
    });
  }
}

// ---- The row --------------------------------------------------------------------

// Derived supplies: Order (a KeyOrder over its fields), AddQuantities(other)
// and PrintLine(). The overrides below take the other record as a Derived:
// the rows of a TRowList<Derived> are all Derived by construction.
template <class Derived>
class TRow : public TBaseItem {
 public:
  int Compare(const TBaseItem& other) const override {
    return Derived::Order::Compare(Self(), static_cast<const Derived&>(other));
  }
  void Merge(const TBaseItem& other) override { Self().AddQuantities(static_cast<const Derived&>(other)); }
  void Print(TLines& lines) const override { lines.push_back(Self().PrintLine()); }
  // Copies every field but the list's own: ID and New stay.
  void Assign(const TBaseItem& source) override {
    const int32_t id = ID;
    const bool is_new = New;
    Self() = CheckedCast<const Derived>(source);
    ID = id;
    New = is_new;
  }

 private:
  Derived& Self() { return static_cast<Derived&>(*this); }
  const Derived& Self() const { return static_cast<const Derived&>(*this); }
};

// ---- The row list ----------------------------------------------------------------

template <class Row>
class TRowList : public TBaseList {
 public:
  TRowList(int size, int capacity) : TBaseList(size, capacity, RecordKindOf<Row>()), work_(new Row) {}
  ~TRowList() override { ReleaseRecord(work_); }

  // The default order is the row's own; descendants with sort modes answer
  // those and defer to this for the rest.
  int CompareItems(const TBaseItem& a, const TBaseItem& b) const override {
    return Row::Order::Compare(static_cast<const Row&>(a), static_cast<const Row&>(b));
  }

  Row& At(int index) const { return ItemAs<Row>(index); }
  // The row under the cursor; only valid when OnRecord().
  Row& Current() const { return At(Cursor()); }

 protected:
  // The work item: appends fill it, key lookups use it as the key.
  Row& Work() { return *work_; }
  const Row& Work() const { return *work_; }

  // Hands the filled work item over as a new row; returns its position. A
  // reused spare may still carry New from an earlier run: a fresh row is
  // never new until the engine says so.
  int AddWork() { return HandOver(&TBaseList::Add); }
  // The same through AddSorted.
  int AddWorkSorted() { return HandOver(&TBaseList::AddSorted); }

  // Looks up the row with the work item's key: the cursor goes to it (or to
  // -1), its New flag is cleared, and its quantity is the result (0 if none).
  double FindWork() {
    const int found = Find(*work_);
    SetCursor(found);
    if (found < 0) return 0.0;
    Row& row = At(found);
    row.New = false;
    return row.Quantity;
  }

  // Own-order sorting calls the row's order directly (see SortRecords).
  void SortRange(int lo, int hi) override {
    if (SortMode() != -1) TBaseList::SortRange(lo, hi);
    else SortRecords<typename Row::Order, Row>(Records(), lo, hi);
  }

 private:
  int HandOver(int (TBaseList::*add)(TBaseItem*&)) {
    work_->New = false;
    TBaseItem* item = work_;
    const int index = (this->*add)(item);
    work_ = static_cast<Row*>(item);  // the spare handed back is a pool record: a Row
    return index;
  }

  Row* work_;  // owned
};

}  // namespace orlix

#endif  // ORLIX_LISTS_ROW_H_
