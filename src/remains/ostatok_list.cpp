#include "remains/ostatok_list.h"

#include <cmath>
#include <functional>
#include <limits>
#include <unordered_set>

#include "frame/failure.h"
#include "frame/format.h"

namespace orlix {
namespace {

// Hashing of a row's key that agrees with its order: -0.0 hashes as 0.0 and
// every NaN alike, since the comparison calls them equal.
struct KeyHash {
  size_t operator()(const TOstatokItem* row) const {
    const double date = std::isnan(row->ostdate) ? std::numeric_limits<double>::quiet_NaN()
                                                 : (row->ostdate == 0.0 ? 0.0 : row->ostdate);
    size_t h = std::hash<double>()(date);
    for (const int32_t part : {row->placeindex, row->pack, row->rz}) h = h * 1000003u ^ std::hash<int32_t>()(part);
    return h;
  }
};
struct KeyEqual {
  bool operator()(const TOstatokItem* a, const TOstatokItem* b) const {
    return TOstatokItem::Order::Compare(*a, *b) == 0;
  }
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
  // The row of each masked key appended so far (rows never move in memory);
  // needed only when equal keys may arrive apart.
  std::unordered_set<const TOstatokItem*, KeyHash, KeyEqual> rows;
  for (int i = 0; i < from.Count(); ++i) {
    const TOstatokItem& row = from.At(i);
    const TOstatokItem& key = FillKey(row.ostdate, row.pack, row.rz, row.placeindex);
    TOstatokItem* same = nullptr;
    if (ordered) {
      if (Count() > 0 && TOstatokItem::Order::Compare(At(Count() - 1), key) == 0) same = &At(Count() - 1);
    } else {
      const auto found = rows.find(&key);
      if (found != rows.end()) same = const_cast<TOstatokItem*>(*found);
    }
    if (same) {
      same->AddQuantities(row);
      SkipID();
      continue;
    }
    const int added = Append(row.ostdate, row.pack, row.rz, row.placeindex, row.Quantity, row.resquantity);
    if (!ordered) rows.insert(&At(added));
  }
  if (ordered) CheckSorted();
}

double TOstatokList::GetQuantity(double date, int32_t pack, int32_t rz, int32_t placeindex) {
  FillKey(date, pack, rz, placeindex);
  return FindWork();
}

double TOstatokList::GetResQuantity() const { return OnRecord() ? Current().resquantity : 0.0; }

}  // namespace orlix
