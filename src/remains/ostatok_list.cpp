#include "remains/ostatok_list.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "frame/failure.h"
#include "frame/format.h"
#include "remains/movement_list.h"

namespace orlix {
namespace {

constexpr uint64_t kSignBit = uint64_t{1} << 63;

// A date onto unsigned integers in the order of its comparison: negative
// numbers have every bit flipped, the others the sign bit set; every NaN is
// one value above +inf and -0.0 is 0.0, as the comparison calls them equal.
uint64_t OrderedDate(double date) {
  if (std::isnan(date)) return UINT64_MAX;
  if (date == 0.0) date = 0.0;
  const uint64_t bits = std::bit_cast<uint64_t>(date);
  return (bits & kSignBit) ? ~bits : (bits | kSignBit);
}

// A 32-bit signed part in its order, as an unsigned number.
uint64_t OrderedPart(int32_t part) { return static_cast<uint32_t>(part) ^ 0x80000000u; }

// Hashing of a row's key that agrees with its order (equal keys, equal
// ordered date bits).
size_t KeyHash(const TOstatokItem& row) {
  uint64_t h = OrderedDate(row.ostdate);
  for (const int32_t part : {row.placeindex, row.pack, row.rz}) h = (h ^ OrderedPart(part)) * 0x9E3779B97F4A7C15u;
  // Spread the bits, so the low ones that pick a slot depend on every part.
  h ^= h >> 29;
  h *= 0xBF58476D1CE4E5B9u;
  return static_cast<size_t>(h ^ (h >> 32));
}

// The row of each distinct key seen so far, by open addressing on the key's
// hash. Rows never move in memory, so the table holds pointers to them.
class TKeyRows final {
 public:
  // The row with the same key as key, or nullptr.
  TOstatokItem* Find(const TOstatokItem& key) const {
    if (slots_.empty()) return nullptr;
    const size_t h = KeyHash(key);
    for (size_t i = h & mask_;; i = (i + 1) & mask_) {
      const Slot& slot = slots_[i];
      if (!slot.row) return nullptr;
      if (slot.hash == h && TOstatokItem::Order::Compare(*slot.row, key) == 0) return slot.row;
    }
  }
  // Makes room for one more row; the only step that allocates.
  void Reserve() {
    if ((used_ + 1) * 2 <= slots_.size()) return;
    std::vector<Slot> old(std::max<size_t>(kFirstSlots, slots_.size() * 2));
    old.swap(slots_);
    mask_ = slots_.size() - 1;
    for (const Slot& slot : old)
      if (slot.row) Place(slot);
  }
  // Adds a row whose key is not here yet; Reserve first.
  void Add(TOstatokItem& row) {
    Place({KeyHash(row), &row});
    ++used_;
  }

 private:
  static constexpr size_t kFirstSlots = 1024;  // a power of two
  struct Slot {
    size_t hash = 0;
    TOstatokItem* row = nullptr;
  };
  void Place(const Slot& slot) {
    size_t i = slot.hash & mask_;
    while (slots_[i].row) i = (i + 1) & mask_;
    slots_[i] = slot;
  }

  std::vector<Slot> slots_;
  size_t mask_ = 0;
  size_t used_ = 0;
};
}  // namespace

// ---- TOstatokItem -------------------------------------------------------------

std::string OstatokRowLine(int32_t id, double date, int32_t pack, int32_t rz, int32_t placeindex, double quantity,
                           double resquantity) {
  return Format("id=%d  od=%s  pack=%d  rz=%d  pi=%d  q=%s  rq=%s", id, FormatDate(date).c_str(), pack, rz, placeindex,
                FormatDouble(quantity).c_str(), FormatDouble(resquantity).c_str());
}

std::string TOstatokItem::PrintLine() const {
  return OstatokRowLine(ID, ostdate, pack, rz, placeindex, Quantity, resquantity);
}

bool TOstatokItem::IsEmpty() const {
  return Deleted || (std::fabs(Quantity) <= kZeroTolerance && std::fabs(resquantity) <= kZeroTolerance);
}

// ---- TOstatokList -------------------------------------------------------------

TOstatokList::TOstatokList(bool use_date, bool use_pack, bool use_rz) : TOstatokList(0, kCapacity) {
  UseDate = use_date;
  UsePack = use_pack;
  UseRz = use_rz;
}

TOstatokItem& TOstatokList::FillKey(double date, int32_t pack, int32_t rz, int32_t placeindex) {
  TOstatokItem& key = Work();
  key.ostdate = UseDate ? date : kDefaultDate;
  key.pack = UsePack ? pack : kDefaultPack;
  key.rz = UseRz ? rz : kDefaultRz;
  key.placeindex = placeindex;
  return key;
}

int TOstatokList::Append(double date, int32_t pack, int32_t rz, int32_t placeindex, double quantity,
                         double resquantity) {
  TOstatokItem& row = FillKey(date, pack, rz, placeindex);
  row.Quantity = quantity;
  row.resquantity = resquantity;
  return AddWork();
}

template <class From>
void TOstatokList::AppendFolding(const From& from) {
  const bool ordered = from.Sorted() && KeepsKeyPrefix();
  // The row of each masked key appended so far; needed only when equal keys
  // may arrive apart.
  TKeyRows rows;
  for (int i = 0; i < from.Count(); ++i) {
    const auto& row = from.At(i);
    const TOstatokItem& key = FillKey(row.ostdate, row.pack, row.rz, row.placeindex);
    TOstatokItem* same = nullptr;
    if (ordered) {
      if (Count() > 0 && TOstatokItem::Order::Compare(At(Count() - 1), key) == 0) same = &At(Count() - 1);
    } else {
      same = rows.Find(key);
    }
    if (same) {
      same->Quantity += row.Quantity;
      same->resquantity += row.resquantity;
      SkipID();
      continue;
    }
    if (!ordered) rows.Reserve();
    const int added = Append(row.ostdate, row.pack, row.rz, row.placeindex, row.Quantity, row.resquantity);
    if (!ordered) rows.Add(At(added));
  }
  if (ordered) CheckSorted();
}

template void TOstatokList::AppendFolding(const TOstatokList& from);
template void TOstatokList::AppendFolding(const TMovementList& from);

void TOstatokList::MergeDuplicates() {
  SetSortMode(-1);
  if (Sorted()) {
    // Equal keys already sit side by side.
    TRowList::MergeDuplicates();
    return;
  }
  SetOrderedCount(SortAndFoldByArrival());
}

namespace {

// A row's key packed into three words compared in turn: (place, pack), rz,
// date. Each word orders as its parts do, so comparing packed keys answers
// exactly as the row order does.
struct PackedKey {
  uint64_t place_pack, rz, date;
  TBaseItem* item;
  uint32_t position;  // in the list when the keys were taken
};

PackedKey PackKey(TBaseItem* record) {
  const auto& row = static_cast<const TOstatokItem&>(*record);
  return {OrderedPart(row.placeindex) << 32 | OrderedPart(row.pack), OrderedPart(row.rz), OrderedDate(row.ostdate),
          record, 0};
}

int ComparePacked(const PackedKey& a, const PackedKey& b) {
  if (a.place_pack != b.place_pack) return a.place_pack < b.place_pack ? -1 : 1;
  if (a.rz != b.rz) return a.rz < b.rz ? -1 : 1;
  if (a.date != b.date) return a.date < b.date ? -1 : 1;
  return 0;
}

std::vector<PackedKey> PackedKeys(TBaseItem** records, int lo, int hi) {
  std::vector<PackedKey> keys;
  keys.reserve(static_cast<size_t>(hi - lo + 1));
  for (int i = lo; i <= hi; ++i) {
    keys.push_back(PackKey(records[i]));
    keys.back().position = static_cast<uint32_t>(i);
  }
  return keys;
}

}  // namespace

// The same QuickSort as every row list, on packed keys, so rows of equal
// keys end in the same order as the row order's sort would leave them.
void TOstatokList::SortRange(int lo, int hi) {
  if (SortMode() != -1) {
    TRowList::SortRange(lo, hi);
    return;
  }
  TBaseItem** records = Records();
  std::vector<PackedKey> keys = PackedKeys(records, lo, hi);
  QuickSort(keys.data(), 0, hi - lo, ComparePacked);
  for (int i = lo; i <= hi; ++i) records[i] = keys[static_cast<size_t>(i - lo)].item;
}

int TOstatokList::SortAndFoldByArrival() {
  TBaseItem** records = Records();
  const size_t n = static_cast<size_t>(Count());
  // One pass over the rows in arrival order takes all the fold needs: the
  // key and arrival in three words compared in turn, (place, pack), then
  // (rz, upper half of the date), then (lower half of the date, position);
  // the quantities and the Deleted flag. Distinct positions make the order
  // one whatever the sort. The fold then reads these arrays in key order and
  // writes only to rows that take others in.
  struct ArrivalKey {
    uint64_t high, middle, low;
    bool SameKey(const ArrivalKey& other) const {
      return high == other.high && middle == other.middle && low >> 32 == other.low >> 32;
    }
  };
  struct Arrived {
    double quantity, resquantity;
  };
  // Filled before they are read: no zeroing pass over fresh memory.
  const std::unique_ptr<ArrivalKey[]> keys(new ArrivalKey[n]);
  const std::unique_ptr<Arrived[]> arrived(new Arrived[n]);
  const std::vector<TBaseItem*> by_arrival(records, records + n);
  bool any_deleted = false;
  for (size_t i = 0; i < n; ++i) {
    const auto& row = static_cast<const TOstatokItem&>(*records[i]);
    const uint64_t date = OrderedDate(row.ostdate);
    keys[i] = {OrderedPart(row.placeindex) << 32 | OrderedPart(row.pack), OrderedPart(row.rz) << 32 | date >> 32,
               date << 32 | i};
    arrived[i] = {row.Quantity, row.resquantity};
    any_deleted |= row.Deleted;
  }
  std::sort(keys.get(), keys.get() + n, [](const ArrivalKey& a, const ArrivalKey& b) {
    if (a.high != b.high) return a.high < b.high;
    if (a.middle != b.middle) return a.middle < b.middle;
    return a.low < b.low;
  });
  // As FoldFrom on the sorted rows: in each run of equal keys the first row
  // not deleted takes the quantities of the later ones (summed in arrival
  // order), which become deleted; the rows left empty or deleted go after
  // the kept ones, as spares.
  size_t write = 0, spare = n;
  for (size_t first = 0; first < n;) {
    size_t end = first + 1;
    while (end < n && keys[end].SameKey(keys[first])) ++end;
    TBaseItem* kept = nullptr;
    double quantity = 0.0, resquantity = 0.0;
    bool folded = false;
    for (size_t k = first; k < end; ++k) {
      const size_t at = keys[k].low & 0xFFFFFFFFu;
      TBaseItem* record = by_arrival[at];
      if (any_deleted && record->Deleted) {
        records[--spare] = record;
      } else if (!kept) {
        kept = record;
        quantity = arrived[at].quantity;
        resquantity = arrived[at].resquantity;
      } else {
        quantity += arrived[at].quantity;
        resquantity += arrived[at].resquantity;
        record->Deleted = true;
        records[--spare] = record;
        folded = true;
      }
    }
    first = end;
    if (!kept) continue;
    if (folded) {
      auto& row = static_cast<TOstatokItem&>(*kept);
      row.Quantity = quantity;
      row.resquantity = resquantity;
    }
    if (std::fabs(quantity) <= kZeroTolerance && std::fabs(resquantity) <= kZeroTolerance) records[--spare] = kept;
    else records[write++] = kept;
  }
  return static_cast<int>(write);
}

double TOstatokList::GetQuantity(double date, int32_t pack, int32_t rz, int32_t placeindex) {
  FillKey(date, pack, rz, placeindex);
  return FindWork();
}

double TOstatokList::GetResQuantity() const { return OnRecord() ? Current().resquantity : 0.0; }

}  // namespace orlix
