#include "remains/ostatok_list.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "frame/failure.h"
#include "frame/format.h"

namespace orlix {
namespace {

// Hashing of a row's key that agrees with its order: -0.0 hashes as 0.0 and
// every NaN alike, since the comparison calls them equal.
size_t KeyHash(const TOstatokItem& row) {
  const double date =
      std::isnan(row.ostdate) ? std::numeric_limits<double>::quiet_NaN() : (row.ostdate == 0.0 ? 0.0 : row.ostdate);
  size_t h = std::hash<double>()(date);
  for (const int32_t part : {row.placeindex, row.pack, row.rz}) h = h * 1000003u ^ std::hash<int32_t>()(part);
  // Spread the bits, so the low ones that pick a slot depend on every part.
  h ^= h >> 29;
  h *= 0xBF58476D1CE4E5B9u;
  return h ^ (h >> 32);
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

std::string TOstatokItem::PrintLine() const {
  return Format("id=%d  od=%s  pack=%d  rz=%d  pi=%d  q=%s  rq=%s", ID, FormatDate(ostdate).c_str(), pack, rz,
                placeindex, FormatDouble(Quantity).c_str(), FormatDouble(resquantity).c_str());
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

void TOstatokList::AppendFolding(const TOstatokList& from) {
  const bool ordered = from.Sorted() && KeepsKeyPrefix();
  // The row of each masked key appended so far; needed only when equal keys
  // may arrive apart.
  TKeyRows rows;
  for (int i = 0; i < from.Count(); ++i) {
    const TOstatokItem& row = from.At(i);
    const TOstatokItem& key = FillKey(row.ostdate, row.pack, row.rz, row.placeindex);
    TOstatokItem* same = nullptr;
    if (ordered) {
      if (Count() > 0 && TOstatokItem::Order::Compare(At(Count() - 1), key) == 0) same = &At(Count() - 1);
    } else {
      same = rows.Find(key);
    }
    if (same) {
      same->AddQuantities(row);
      SkipID();
      continue;
    }
    if (!ordered) rows.Reserve();
    const int added = Append(row.ostdate, row.pack, row.rz, row.placeindex, row.Quantity, row.resquantity);
    if (!ordered) rows.Add(At(added));
  }
  if (ordered) CheckSorted();
}

void TOstatokList::MergeDuplicates() {
  SetSortMode(-1);
  if (Sorted()) {
    // Equal keys already sit side by side.
    TRowList::MergeDuplicates();
    return;
  }
  // Many rows over few keys: fold each row into the first one of its key
  // (the later ones get Deleted), so only the distinct rows are sorted.
  TKeyRows rows;
  for (int i = 0; i < Count(); ++i) {
    TOstatokItem& row = At(i);
    if (row.Deleted) continue;
    if (TOstatokItem* first = rows.Find(row)) {
      first->AddQuantities(row);
      row.Deleted = true;
      continue;
    }
    rows.Reserve();
    rows.Add(row);
  }
  RemoveEmpty();
  Sort();
}

double TOstatokList::GetQuantity(double date, int32_t pack, int32_t rz, int32_t placeindex) {
  FillKey(date, pack, rz, placeindex);
  return FindWork();
}

double TOstatokList::GetResQuantity() const { return OnRecord() ? Current().resquantity : 0.0; }

}  // namespace orlix
