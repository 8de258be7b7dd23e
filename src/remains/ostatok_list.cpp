#include "remains/ostatok_list.h"

#include <cmath>
#include <functional>
#include <limits>
#include <unordered_map>

#include "frame/failure.h"
#include "frame/format.h"

namespace orlix {
namespace {
TBaseItem* MakeOstatokItem(TBaseList* owner) { return new TOstatokItem(owner); }

// Hashing of keys that agrees with CompareKey: -0.0 hashes as 0.0 and every
// NaN alike, since the comparison calls them equal.
struct KeyHash {
  size_t operator()(const TOstatokItem::Key& key) const {
    const double date = std::isnan(key.ostdate) ? std::numeric_limits<double>::quiet_NaN()
                                                : (key.ostdate == 0.0 ? 0.0 : key.ostdate);
    size_t h = std::hash<double>()(date);
    for (const int32_t part : {key.placeindex, key.pack, key.rz})
      h = h * 1000003u ^ std::hash<int32_t>()(part);
    return h;
  }
};
struct KeyEqual {
  bool operator()(const TOstatokItem::Key& a, const TOstatokItem::Key& b) const {
    return TOstatokItem::CompareKey(a, b) == 0;
  }
};
}  // namespace

const TItemClass TOstatokItem::Class{"TOstatokItem", &TBaseItem::Class, &MakeOstatokItem};

// ---- TOstatokItem -------------------------------------------------------------

void TOstatokItem::Print(TLines& lines) const {
  lines.push_back(Format("id=%d  od=%s  pack=%d  rz=%d  pi=%d  q=%s  rq=%s", ID, FormatDate(ostdate).c_str(), pack,
                         rz, placeindex, FormatDouble(Quantity).c_str(), FormatDouble(resquantity).c_str()));
}

void TOstatokItem::Assign(const TBaseItem& source) {
  const auto& from = CheckedCast<const TOstatokItem>(source);
  Deleted = from.Deleted;
  ostdate = from.ostdate;
  pack = from.pack;
  rz = from.rz;
  placeindex = from.placeindex;
  Quantity = from.Quantity;
  resquantity = from.resquantity;
}

bool TOstatokItem::IsEmpty() const {
  return Deleted || (std::fabs(Quantity) <= kZeroTolerance && std::fabs(resquantity) <= kZeroTolerance);
}

// ---- TOstatokList -------------------------------------------------------------

TOstatokList::TOstatokList(int size, int capacity, const TItemClass& item_class)
    : TRowList(size, capacity, item_class, "TOstatokList") {}

TOstatokList::TOstatokList(bool use_date, bool use_pack, bool use_rz)
    : TOstatokList(0, kCapacity, TOstatokItem::Class) {
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
  const bool ordered = from.Sorted && KeepsKeyPrefix();
  // Position of each masked key appended so far; needed only when equal
  // keys may arrive apart.
  std::unordered_map<TOstatokItem::Key, int, KeyHash, KeyEqual> positions;
  for (int i = 0; i < from.Count; ++i) {
    const auto& row = from.ItemAs<TOstatokItem>(i);
    const TOstatokItem::Key key = FillKey(row.ostdate, row.pack, row.rz, row.placeindex).GetKey();
    int at = -1;
    if (ordered) {
      if (Count > 0 && TOstatokItem::CompareKey(ItemAs<TOstatokItem>(Count - 1).GetKey(), key) == 0) at = Count - 1;
    } else {
      const auto found = positions.find(key);
      if (found != positions.end()) at = found->second;
    }
    if (at >= 0) {
      ItemAs<TOstatokItem>(at).AddQuantities(row);
      ++LastID;
      continue;
    }
    const int added = Append(row.ostdate, row.pack, row.rz, row.placeindex, row.Quantity, row.resquantity);
    if (!ordered) positions.emplace(key, added);
  }
  if (ordered) Sorted = true;
}

double TOstatokList::GetQuantity(double date, int32_t pack, int32_t rz, int32_t placeindex) {
  FillKey(date, pack, rz, placeindex);
  return FindWork();
}

double TOstatokList::GetResQuantity() const { return OnRecord() ? Current().resquantity : 0.0; }

}  // namespace orlix
