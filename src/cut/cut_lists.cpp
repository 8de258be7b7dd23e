#include "cut/cut_lists.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

#include "frame/format.h"
#include "lists/quick_sort.h"

namespace orlix {
namespace {

// Within one date, rows of kind 2 come first; other kinds by their number.
struct DkRank {
  static int32_t Of(int32_t dk) { return dk == kDkFirstOfDay ? -1 : dk; }
  static int Compare(const TCutPartSpec& a, const TCutPartSpec& b) { return Compare3(Of(a.dk), Of(b.dk)); }
};

using PartByDateKind = KeyOrder<Asc<&TCutPartSpec::d>, DkRank, Asc<&TCutPartSpec::dh>, Asc<&TCutPartSpec::mdh>>;
using PartByDate = KeyOrder<Asc<&TCutPartSpec::d>, Asc<&TCutPartSpec::dh>, Asc<&TCutPartSpec::mdh>>;
using RetByDate = KeyOrder<Asc<&TCutRetSpec::d>, Asc<&TCutRetSpec::dh>, Asc<&TCutRetSpec::odh>, Asc<&TCutRetSpec::mdh>>;
using PayByDate = KeyOrder<Asc<&TCutOutDocPay::dh>, Asc<&TCutOutDocPay::pd>, Asc<&TCutOutDocPay::ad>,
                           Asc<&TCutOutDocPay::ph>, Asc<&TCutOutDocPay::ah>>;

int ComparePart(int mode, const TCutPartSpec& a, const TCutPartSpec& b) {
  if (mode == kSortByDateKind) return PartByDateKind::Compare(a, b);
  if (mode == kSortByDate) return PartByDate::Compare(a, b);
  return TCutPartSpec::Order::Compare(a, b);
}
int CompareRet(int mode, const TCutRetSpec& a, const TCutRetSpec& b) {
  return mode == kSortByDate ? RetByDate::Compare(a, b) : TCutRetSpec::Order::Compare(a, b);
}
int ComparePay(int mode, const TCutOutDocPay& a, const TCutOutDocPay& b) {
  return mode == kSortByDateKind ? PayByDate::Compare(a, b) : TCutOutDocPay::Order::Compare(a, b);
}

// QuickSort of records of one row type by one key order, the comparison
// inlined rather than called per pair.
template <class Order, class Row>
void SortBy(TBaseItem** records, int lo, int hi) {
  QuickSort(records, lo, hi, [](const TBaseItem* a, const TBaseItem* b) {
    return Order::Compare(*static_cast<const Row*>(a), *static_cast<const Row*>(b));
  });
}

}  // namespace

// ---- TCutPartSpecList ---------------------------------------------------------

int TCutPartSpecList::Append(int32_t dh, int32_t mdh, double q, double d, int32_t pi, int32_t ot, int32_t dk,
                             int32_t ci, int32_t cp) {
  TCutPartSpec& row = Work();
  row.dh = dh;
  row.mdh = mdh;
  row.Quantity = q;
  row.d = d;
  row.pi = pi;
  row.ot = ot;
  row.dk = dk;
  row.ci = ci;
  row.cp = cp;
  row.rq = 0.0;
  row.cq = 0.0;
  const int index = AddWork();
  At(index).New = true;
  return index;
}

int TCutPartSpecList::FindKey(int32_t dh, int32_t mdh) {
  Work().dh = dh;
  Work().mdh = mdh;
  return Find(Work());
}

int TCutPartSpecList::CompareItems(const TBaseItem& a, const TBaseItem& b) const {
  return ComparePart(SortMode(), static_cast<const TCutPartSpec&>(a), static_cast<const TCutPartSpec&>(b));
}

void TCutPartSpecList::SortRange(int lo, int hi) {
  if (SortMode() == kSortByDateKind)
    SortBy<PartByDateKind, TCutPartSpec>(Records(), lo, hi);
  else if (SortMode() == kSortByDate)
    SortBy<PartByDate, TCutPartSpec>(Records(), lo, hi);
  else
    SortBy<TCutPartSpec::Order, TCutPartSpec>(Records(), lo, hi);
}

// ---- TCutRetSpecList ----------------------------------------------------------

int TCutRetSpecList::Append(int32_t dh, int32_t odh, int32_t mdh, double q, double d, int32_t pi, int32_t ci,
                            int32_t cp) {
  TCutRetSpec& row = Work();
  row.dh = dh;
  row.odh = odh;
  row.mdh = mdh;
  row.Quantity = q;
  row.d = d;
  row.pi = pi;
  row.ci = ci;
  row.cp = cp;
  row.cq = 0.0;
  const int index = AddWork();
  At(index).New = true;
  return index;
}

int TCutRetSpecList::FindKey(int32_t dh, int32_t odh, int32_t mdh) {
  Work().dh = dh;
  Work().odh = odh;
  Work().mdh = mdh;
  return Find(Work());
}

int TCutRetSpecList::FindReturn(int32_t out_doc_head, int32_t move_doc_head, int start) const {
  if (start < 0) return -1;
  for (int i = start; i < Count(); ++i)
    if (At(i).odh == out_doc_head && At(i).mdh == move_doc_head) return i;
  return -1;
}

int TCutRetSpecList::CompareItems(const TBaseItem& a, const TBaseItem& b) const {
  return CompareRet(SortMode(), static_cast<const TCutRetSpec&>(a), static_cast<const TCutRetSpec&>(b));
}

void TCutRetSpecList::SortRange(int lo, int hi) {
  if (SortMode() == kSortByDate)
    SortBy<RetByDate, TCutRetSpec>(Records(), lo, hi);
  else
    SortBy<TCutRetSpec::Order, TCutRetSpec>(Records(), lo, hi);
}

// ---- TCutOutDocPayList --------------------------------------------------------

int TCutOutDocPayList::Append(int32_t dh, int32_t ph, int32_t ah, double pd, double ad, double q) {
  TCutOutDocPay& row = Work();
  row.dh = dh;
  row.ph = ph;
  row.ah = ah;
  row.pd = pd;
  row.ad = ad;
  row.Quantity = q;
  row.cq = 0.0;
  row.rest = q;
  const int index = AddWork();
  At(index).New = true;
  return index;
}

void TCutOutDocPayList::ResetPay() {
  for (int i = 0; i < Count(); ++i) {
    At(i).cq = 0.0;
    At(i).rest = At(i).Quantity;
  }
}

int TCutOutDocPayList::FirstOf(int32_t dh) {
  if (!Sorted() || SortMode() != kSortByDateKind) {
    SetSortMode(kSortByDateKind);
    Sort();
  }
  // The rows run by dh first: bisection finds where the rows of dh start,
  // the same row an ordered walk from the top would reach.
  int lo = 0, hi = Count();
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (At(mid).dh < dh)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

double TCutOutDocPayList::RestOf(int32_t dh) {
  double rest = 0.0;
  for (int i = FirstOf(dh); i < Count() && At(i).dh == dh; ++i) rest += At(i).rest;
  return rest;
}

bool TCutOutDocPayList::CutPay(int32_t dh, double amount) {
  for (int i = FirstOf(dh); i < Count() && At(i).dh == dh; ++i) {
    TCutOutDocPay& pay = At(i);
    if (!(pay.rest > kZeroTolerance)) continue;
    if (pay.rest > amount) {
      SnappedSubtract(pay.rest, amount);
      pay.cq += amount;
      amount = 0.0;
      break;
    }
    SnappedSubtract(amount, pay.rest);
    pay.cq += pay.rest;
    pay.rest = 0.0;
    if (amount == 0.0) break;
  }
  return amount == 0.0;
}

void TCutOutDocPayList::SetNew() {
  for (int i = 0; i < Count(); ++i) At(i).New = At(i).ph > kNoDocHead && At(i).cq > 0.0;
}

int TCutOutDocPayList::CompareItems(const TBaseItem& a, const TBaseItem& b) const {
  return ComparePay(SortMode(), static_cast<const TCutOutDocPay&>(a), static_cast<const TCutOutDocPay&>(b));
}

void TCutOutDocPayList::SortRange(int lo, int hi) {
  if (SortMode() == kSortByDateKind)
    SortBy<PayByDate, TCutOutDocPay>(Records(), lo, hi);
  else
    SortBy<TCutOutDocPay::Order, TCutOutDocPay>(Records(), lo, hi);
}

// ---- TCutAnyPartList ----------------------------------------------------------

int TCutAnyPartList::Add(TCutPartSpec* part, TCutRetSpec* ret, double q, bool deleted) {
  TCutAnyPart& row = Work();
  row.part = part;
  row.ret = ret;
  row.Quantity = q;
  row.c_ret_idx = TCutAnyPart::kNoLink;
  row.cycle_idx.clear();
  const int index = AddWork();
  At(index).New = true;
  At(index).Deleted = deleted;
  index_valid_ = false;
  return index;
}

void TCutAnyPartList::Clear() {
  for (int i = 0; i < Size(); ++i) At(i).cycle_idx.clear();
  Work().cycle_idx.clear();
  TRowList::Clear();
  index_valid_ = false;
}

namespace {
// Portions in list order that may become partners, with a cursor past
// those that no longer can: a portion only ever leaves the unlinked state,
// so the first unlinked one of a group never lies before the cursor.
struct TPartnerGroup {
  std::vector<int32_t> rows;
  size_t next = 0;

  int32_t FirstUnlinked(const TCutAnyPartList& list) {
    while (next < rows.size() && list.At(rows[next]).c_ret_idx != TCutAnyPart::kNoLink) ++next;
    return next < rows.size() ? rows[next] : -1;
  }
};
}  // namespace

void TCutAnyPartList::LinkReturns() {
  if (Count() == 0) return;
  int first_marker = -1, last_marker = -1;
  // Portions with a return by return document, and by return document and
  // party document.
  std::unordered_map<int32_t, TPartnerGroup> by_return_doc;
  std::map<std::pair<int32_t, int32_t>, TPartnerGroup> by_return_and_party_doc;
  for (int i = 0; i < Count(); ++i) {
    TCutAnyPart& row = At(i);
    if (row.ret && row.ret->dh == row.part->mdh) {
      row.c_ret_idx = TCutAnyPart::kReturnMarker;
      if (first_marker < 0) first_marker = i;
      last_marker = i;
    } else {
      row.c_ret_idx = TCutAnyPart::kNoLink;
    }
    if (row.ret) {
      by_return_doc[row.ret->dh].rows.push_back(i);
      by_return_and_party_doc[{row.ret->dh, row.part->dh}].rows.push_back(i);
    }
  }
  if (first_marker < 0) return;
  for (int m = first_marker; m <= last_marker; ++m) {
    TCutAnyPart& marker = At(m);
    if (marker.c_ret_idx != TCutAnyPart::kReturnMarker) continue;
    // The first unlinked portion of the same return document: of the
    // marker's own party document if there is one, else of any. (The marker
    // itself is never unlinked.)
    int32_t partner = by_return_and_party_doc[{marker.ret->dh, marker.part->dh}].FirstUnlinked(*this);
    if (partner < 0) partner = by_return_doc[marker.ret->dh].FirstUnlinked(*this);
    if (partner < 0) {
      ErrorCode = kCutNoPartner;
      return;
    }
    At(partner).c_ret_idx = m;
    if (marker.Deleted) At(partner).Deleted = true;
  }
}

bool TCutAnyPartList::Passes(const TCutAnyPart& row, int flags) const {
  if ((flags & kSkipDeleted) && row.Deleted) return false;
  if ((flags & kSkipEmpty) && row.IsEmpty()) return false;
  if ((flags & kSkipMarkers) && row.c_ret_idx < TCutAnyPart::kNoLink) return false;
  return true;
}

void TCutAnyPartList::BuildIndex() const {
  // Sorted arrays rather than a hash map: built without an allocation per
  // key, and looked up in memory that stays close together.
  keyed_.clear();
  for (int i = 0; i < Count(); ++i) keyed_.emplace_back(At(i).part->mdh, i);
  std::sort(keyed_.begin(), keyed_.end());
  by_move_doc_.resize(keyed_.size());
  move_docs_.clear();
  move_doc_ranges_.clear();
  for (size_t i = 0; i < keyed_.size(); ++i) {
    by_move_doc_[i] = keyed_[i].second;
    if (move_docs_.empty() || move_docs_.back() != keyed_[i].first) {
      move_docs_.push_back(keyed_[i].first);
      move_doc_ranges_.emplace_back(static_cast<int32_t>(i), static_cast<int32_t>(i));
    }
    move_doc_ranges_.back().second = static_cast<int32_t>(i + 1);
  }
  next_of_.resize(static_cast<size_t>(Count()));
  for (int i = 0; i < Count(); ++i) next_of_[static_cast<size_t>(i)] = RangeOf(At(i).DocHeadOf());
  roots_ = RangeOf(kNoDocHead);
  index_valid_ = true;
}

TCutAnyPartList::Range TCutAnyPartList::RangeOf(int32_t move_doc_head) const {
  const auto found = std::lower_bound(move_docs_.begin(), move_docs_.end(), move_doc_head);
  if (found == move_docs_.end() || *found != move_doc_head) return Range{0, 0};
  return move_doc_ranges_[static_cast<size_t>(found - move_docs_.begin())];
}

int TCutAnyPartList::FindInRange(Range range, int start, int flags, int64_t* probes) const {
  const auto begin = by_move_doc_.begin() + range.first;
  const auto end = by_move_doc_.begin() + range.second;
  int64_t looked = 1;
  int found = -1;
  for (auto it = std::lower_bound(begin, end, start); it != end; ++it, ++looked)
    if (Passes(At(*it), flags)) {
      found = *it;
      break;
    }
  if (probes) *probes += looked;
  return found;
}

int TCutAnyPartList::FindAnyPart(int32_t key, bool by_move_doc, int start, int flags, int64_t* probes) const {
  if (start < 0 || start >= Count()) return -1;
  if (by_move_doc) {
    if (!index_valid_) BuildIndex();
    return FindInRange(RangeOf(key), start, flags, probes);
  }
  int64_t looked = 1;
  int found = -1;
  for (int i = start; i < Count(); ++i, ++looked)
    if (At(i).part->dh == key && Passes(At(i), flags)) {
      found = i;
      break;
    }
  if (probes) *probes += looked;
  return found;
}

int TCutAnyPartList::FindNextOf(int after, int start, int flags, int64_t* probes) const {
  if (start < 0 || start >= Count()) return -1;
  if (!index_valid_) BuildIndex();
  return FindInRange(after < 0 ? roots_ : next_of_[static_cast<size_t>(after)], start, flags, probes);
}

// ---- Result lists -------------------------------------------------------------

int TCutDocSpecList::Append(int32_t dh, int32_t doclist, double q, double cq) {
  TCutDocSpec& row = Work();
  row.dh = dh;
  row.doclist = doclist;
  row.Quantity = q;
  row.cq = cq;
  const int index = AddWork();
  At(index).New = true;
  return index;
}

void TCutDocSpecList::SetNew() {
  for (int i = 0; i < Count(); ++i) At(i).New = At(i).cq > kZeroTolerance;
}

int TCutDocHeadList::Append(int32_t dh) {
  TCutDocHead& row = Work();
  row.dh = dh;
  row.Quantity = 1.0;
  const int index = AddWork();
  At(index).New = true;
  return index;
}

// ---- TCutCycleList ------------------------------------------------------------

int TCutCycleList::Append(int32_t n, double q) {
  TCutCycle& row = Work();
  row.n = n;
  row.Quantity = q;
  const int index = AddWork();
  At(index).New = true;
  return index;
}

void TCutCycleList::PrintCycles(TLines& lines) const {
  if (Count() == 0) {
    lines.push_back(" nil");
    return;
  }
  std::string line;
  bool open = false;
  const auto close = [&] {
    if (!open) return;
    if (line.back() == ',')
      line.back() = ']';
    else
      line += ']';
    lines.push_back(std::move(line));
    line.clear();
    open = false;
  };
  for (int i = 0; i < Count(); ++i) {
    const TCutCycle& row = At(i);
    if (row.Quantity > 0.0) {
      close();
      line = Format(" idx=%d n=%d q=%s del=%d AP=[", i, row.n, FormatDouble(row.Quantity).c_str(), row.Deleted ? 1 : 0);
      open = true;
    } else {
      if (!open) {  // members before any header: shown on a line of their own
        line = " AP=[";
        open = true;
      }
      line += std::to_string(row.n);
      line += ',';
    }
  }
  close();
}

}  // namespace orlix
