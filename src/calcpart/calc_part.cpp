#include "calcpart/calc_part.h"

#include <algorithm>
#include <functional>
#include <unordered_map>

#include "frame/log.h"

namespace orlix {
namespace {

// Pool sizes and growth steps of the lists.
constexpr int kLargeList = 100;
constexpr int kSmallList = 10;
constexpr int kLinkCapacity = 10;

// Two or three document numbers as one hash key.
uint64_t Key2(int32_t a, int32_t b) { return (uint64_t{static_cast<uint32_t>(a)} << 32) | static_cast<uint32_t>(b); }
struct Key3 {
  int32_t a, b, c;
  bool operator==(const Key3&) const = default;
};
struct Key3Hash {
  size_t operator()(const Key3& k) const {
    return std::hash<uint64_t>()(Key2(k.a, k.b)) * 1000003u ^ std::hash<int32_t>()(k.c);
  }
};

bool ReturnCandidateMoney(const TXRet& xr, double rub, double cur, int32_t th) {
  return xr.rub == rub && xr.cur == cur && xr.th == th;
}

}  // namespace

TCalcPart::TCalcPart()
    : FixKind(kLargeList, kLargeList),
      Remains(kLargeList, kLargeList),
      XPart(kLargeList, kLargeList, FixKind),
      XRet(kSmallList, kSmallList, FixKind),
      PartSpec(kLargeList, kLargeList, FixKind),
      RetSpec(kSmallList, kSmallList, FixKind),
      tmpXRet(kSmallList, kSmallList, FixKind),
      MoveLinks(kLargeList, kLinkCapacity),
      RetRefs(kSmallList, kSmallList),
      SpecRefs(kSmallList, kSmallList) {
  WriteLog("TCalcPart.Create");
}

TCalcPart::~TCalcPart() { WriteLog("TCalcPart.Destroy"); }

void TCalcPart::Clear(int32_t mode) {
  Remains.Clear();
  XPart.Clear();
  XRet.Clear();
  PartSpec.Clear();
  RetSpec.Clear();
  if (mode < 1) FixKind.Clear();
  tmpXRet.Clear();
  RetRefs.Clear();
  SpecRefs.Clear();
  Text.clear();
}

void TCalcPart::Print(TLines& lines) const {
  lines.push_back("CalcPart");
  const std::pair<const char*, const TBaseList*> lists[] = {
      {"FixKind", &FixKind},   {"Remains", &Remains}, {"XPart", &XPart},    {"XRet", &XRet},
      {"PartSpec", &PartSpec}, {"RetSpec", &RetSpec}, {"tmpXRet", &tmpXRet}};
  for (const auto& [heading, list] : lists) {
    lines.push_back(heading);
    list->Print(lines);
  }
}

// ---- Common rules -------------------------------------------------------------------

bool TCalcPart::CanTake(const TXPart& x, const TRemains& r, bool ignore_dates) const {
  if (!(r.Quantity > kEps) || !(x.Quantity > kEps) || x.Deleted) return false;
  if (r.pi != x.pi) return false;
  // A move to its own place never takes the goods it brought there itself:
  // they would come back to it at once, one party quantity at a time, for as
  // long as the move has quantity left (millions of rows for a large one).
  if (x.dk == 2 && x.ci == x.pi && r.mdh == x.dh) return false;
  if (!ignore_dates && !(r.d <= x.d || r.ot == 2)) return false;
  if (x.fix) {
    const int32_t k = FixKind.Lookup(x.dh, r.dh);
    if (k == -1 || (k == 1 && r.mdh != kNoDoc)) return false;
  }
  if (x.dk == 1 && x.ot == 1 && r.ci != x.ci) return false;
  return true;
}

void TCalcPart::RecalcLinks() {
  std::unordered_map<Key3, double, Key3Hash> returned;
  for (int i = 0; i < RetSpec.Count(); ++i) {
    const TRetSpec& row = RetSpec.At(i);
    returned[{row.odh, row.idh, row.mdh}] += row.Quantity;
  }
  for (int i = 0; i < PartSpec.Count(); ++i) {
    TPartSpec& row = PartSpec.At(i);
    const auto found = returned.find({row.dh, row.idh, row.mdh});
    row.rq = found == returned.end() ? 0.0 : found->second;
  }
  // Each return is tied to the last consumption row in list order with its
  // (odh, mdh); every such row gets the sum of those returns.
  std::unordered_map<uint64_t, double> open_returned;
  for (int i = 0; i < XRet.Count(); ++i) {
    TXRet& row = XRet.At(i);
    row.xp = nullptr;
    open_returned[Key2(row.odh, row.mdh)] += row.Quantity;
  }
  std::unordered_map<uint64_t, TXPart*> last_row;
  for (int i = 0; i < XPart.Count(); ++i) {
    TXPart& row = XPart.At(i);
    const uint64_t key = Key2(row.dh, row.mdh);
    const auto found = open_returned.find(key);
    row.rq = found == open_returned.end() ? 0.0 : found->second;
    if (found != open_returned.end()) last_row[key] = &row;
  }
  for (int i = 0; i < XRet.Count(); ++i) {
    TXRet& row = XRet.At(i);
    const auto found = last_row.find(Key2(row.odh, row.mdh));
    if (found != last_row.end()) row.xp = found->second;
  }
}

void TCalcPart::BookConsumption(const TXPart& x, int32_t idh, int32_t mdh, double bd, int32_t bot, double q,
                                int32_t pci) {
  if (insert_sorted_) {
    InsertSpec(x, idh, mdh, q, pci, bd, bot);
    return;
  }
  PartSpec.Append(x.dh, idh, mdh, q, x.d, x.pi, x.ot, x.dk, x.fix, x.rub, x.cur, x.th, x.ci, pci, bd, bot);
}

void TCalcPart::BookReturn(const TXRet& y, const TXPart& x, int32_t idh, int32_t mdh, double q) {
  RetSpec.Append(y.dh, x.dh, idh, mdh, q, y.d, y.pi, y.fix, y.rub, y.cur, y.th, y.ci);
}

void TCalcPart::MergeAll() {
  Remains.MergeDuplicates();
  XPart.MergeDuplicates();
  XRet.MergeDuplicates();
  PartSpec.MergeDuplicates();
  RetSpec.MergeDuplicates();
}

// ---- Execute ----------------------------------------------------------------------------

void TCalcPart::Execute() {
  constexpr int kPasses = 2;
  int pass = 0;
  do {
    ++pass;
    MatchReturns(pass == kPasses);
    int rounds = 0;
    do {
      AllocateFifo();
      insert_sorted_ = true;
      try {
        ResolveMoveCycles();
        RerouteReturns();
        Changed = false;
        SwapFixedParties();
      } catch (...) {
        insert_sorted_ = false;
        throw;
      }
      insert_sorted_ = false;
      // Each round that sets Changed books new parties; the bound keeps a
      // warehouse whose swaps feed each other from running without end.
    } while (Changed && ++rounds < kMaxRounds);
    MergeAll();
  } while (XRet.Count() != 0 && pass != kPasses);
  Remains.SetNew();
  XPart.SetNew();
  XRet.SetNew();
  PartSpec.SetNew();
  RetSpec.SetNew();
}

// ---- Step S1: returns against split or open consumptions ---------------------------

void TCalcPart::MatchReturns(bool second_pass) {
  for (int i = 0; i < XRet.Count(); ++i) {
    XRet.At(i).odh = kNoDoc;
    XRet.At(i).mdh = kNoDoc;
  }
  XRet.MergeDuplicates();
  RecalcLinks();
  tmpXRet.Clear();
  XRet.SetSortMode(TXRetList::kLatestFirst);
  XRet.Sort();
  PartSpec.SetSortMode(TPartSpecList::kLatestFirst);
  PartSpec.Sort();
  XPart.SetSortMode(TXPartList::kLatestFirst);
  XPart.Sort();

  // Rows that pass the tests a return does not vary (dk 1, ot 0 or 2), grouped
  // by place and counterpart, which every candidate must share with the
  // return; in list order, so each walk meets them as the whole list would.
  std::unordered_map<uint64_t, std::vector<TPartSpec*>> specs;
  std::unordered_map<uint64_t, std::vector<TXPart*>> opens;
  for (int i = 0; i < PartSpec.Count(); ++i) {
    TPartSpec& ps = PartSpec.At(i);
    if (ps.dk == 1 && (ps.ot == 0 || ps.ot == 2)) specs[Key2(ps.pi, ps.ci)].push_back(&ps);
  }
  for (int i = 0; i < XPart.Count(); ++i) {
    TXPart& xp = XPart.At(i);
    if (xp.dk == 1 && (xp.ot == 0 || xp.ot == 2)) opens[Key2(xp.pi, xp.ci)].push_back(&xp);
  }
  static const std::vector<TPartSpec*> kNoSpecs;
  static const std::vector<TXPart*> kNoOpens;

  bool party_added = false;
  for (int i = 0; i < XRet.Count(); ++i) {
    TXRet& xr = XRet.At(i);
    const auto spec_group = specs.find(Key2(xr.pi, xr.ci));
    const auto open_group = opens.find(Key2(xr.pi, xr.ci));
    const std::vector<TPartSpec*>& ps_rows = spec_group == specs.end() ? kNoSpecs : spec_group->second;
    const std::vector<TXPart*>& xp_rows = open_group == opens.end() ? kNoOpens : open_group->second;
    const int attempts = xr.fix ? 1 : 2;
    for (int attempt = 1; attempt <= attempts && xr.Quantity > kEps; ++attempt) {
      // A row the return may take back from: dated no later, not returned in
      // full, and either allowed by the fix kinds (fixed returns) or, in the
      // first attempt, of the same money values.
      auto fits = [&](int32_t dh, double d, double left, double rub, double cur, int32_t th) {
        if (!(left > kEps) || !(xr.d >= d)) return false;
        if (xr.fix) return FixKind.Lookup(xr.dh, dh) != -1;
        return attempt == 2 || ReturnCandidateMoney(xr, rub, cur, th);
      };
      size_t ip = 0, ix = 0;
      while (xr.Quantity > kEps) {
        while (ip < ps_rows.size()) {
          const TPartSpec& ps = *ps_rows[ip];
          if (fits(ps.dh, ps.d, ps.Quantity - ps.rq, ps.rub, ps.cur, ps.th)) break;
          ++ip;
        }
        while (ix < xp_rows.size()) {
          const TXPart& xp = *xp_rows[ix];
          if (fits(xp.dh, xp.d, xp.Quantity - xp.rq, xp.rub, xp.cur, xp.th)) break;
          ++ix;
        }
        TPartSpec* ps = ip < ps_rows.size() ? ps_rows[ip] : nullptr;
        TXPart* xp = ix < xp_rows.size() ? xp_rows[ix] : nullptr;
        if (!ps && !xp) break;
        const bool use_spec = ps && (!xp || second_pass || !(ps->d < xp->d));
        if (use_spec) {
          // Back from a split consumption: the goods return as a party.
          const double t = std::min(ps->Quantity - ps->rq, xr.Quantity);
          RetSpec.Append(xr.dh, ps->dh, ps->idh, ps->mdh, t, xr.d, xr.pi, xr.fix, xr.rub, xr.cur, xr.th, xr.ci);
          Remains.Append(ps->idh, xr.dh, xr.d, xr.pi, 1, 0, t, 0.0, 0.0, -1, ps->pci);
          xr.Quantity -= t;
          ps->rq += t;
          if (xr.xp) xr.xp->rq -= t;
          party_added = true;
        } else {
          // Back from an open consumption: tied to it until it is split.
          const double t = std::min(xp->Quantity - xp->rq, xr.Quantity);
          tmpXRet.Append(xr.dh, xp->dh, xp->mdh, xr.d, xr.pi, t, xr.fix, xr.rub, xr.cur, xr.th, xr.ci);
          xr.Quantity -= t;
          xp->rq += t;
          if (xr.xp) xr.xp->rq -= t;
        }
      }
    }
  }

  if (party_added) {
    Remains.MergeDuplicates();
    RetSpec.MergeDuplicates();
  }
  for (int i = 0; i < XRet.Count(); ++i) XRet.At(i).xp = nullptr;
  for (int i = 0; i < tmpXRet.Count(); ++i) {
    const TXRet& row = tmpXRet.At(i);
    XRet.Append(row.dh, row.odh, row.mdh, row.d, row.pi, row.Quantity, row.fix, row.rub, row.cur, row.th, row.ci);
  }
  XRet.MergeDuplicates();
  tmpXRet.Clear();
}

// ---- Step S2: parties to consumptions in date order -----------------------------------

void TCalcPart::AllocateFifo() {
  RecalcLinks();
  Remains.SetSortMode(TRemainsList::kByDate);
  Remains.Sort();
  XPart.SetSortMode(TXPartList::kFifo);
  XPart.Sort();
  XRet.SetSortMode(TXRetList::kFifo);
  XRet.Sort();
  depth_ = 0;
  watched_ = nullptr;
  refilled_ = 0.0;
  chain_index_ = false;
  fixed_moves_ = FixKind.HasKind2();
  place_rows_.clear();
  returns_of_.clear();
  for (int i = 0; i < XPart.Count(); ++i) place_rows_[XPart.At(i).pi].push_back(&XPart.At(i));
  for (int i = 0; i < XRet.Count(); ++i) returns_of_[Key2(XRet.At(i).odh, XRet.At(i).mdh)].push_back(&XRet.At(i));

  allocating_ = true;
  bool allocated = false;
  try {
    for (Remains.First(); !Remains.Eof(); Remains.Next()) {
      TRemains& r = Remains.Current();
      if (!(r.Quantity > 0.0)) continue;
      const double before = r.Quantity;
      depth_limit_ = kDepthLimit;
      AllocateParty(r, false);
      allocated = allocated || r.Quantity < before;
    }
  } catch (...) {
    allocating_ = false;
    throw;
  }
  allocating_ = false;
  // The walk tries rows by place in XPart order and never by position, so
  // dropping the used-up consumptions once here leaves the same list as
  // dropping them after every party whose quantity fell.
  if (allocated) XPart.RemoveEmpty();
  Remains.RemoveEmpty();
  place_rows_.clear();
  returns_of_.clear();
}

void TCalcPart::AllocateParty(TRemains& r, bool nested) {
  const auto found = place_rows_.find(r.pi);
  if (found == place_rows_.end()) return;
  std::vector<TXPart*>& rows = found->second;
  const double before = r.Quantity;
  size_t k = 0;
  for (; k < rows.size(); ++k) {
    TXPart& x = *rows[k];
    // A move takes from the party at most what the party held when the move
    // came to it. Goods that come back to the same party row round a cycle
    // while the move takes (the goods it sent out, brought back by a move
    // that brought this party) are left to the rows after it: one party
    // quantity at a time they would otherwise go round until a move is used
    // up, millions of rows for large moves. The cycle step deals with them.
    const bool move = x.dk == 2;
    double left = r.Quantity;
    TRemains* const outer_watched = watched_;
    const double outer_refilled = refilled_;
    if (move) {
      watched_ = &r;
      refilled_ = 0.0;
    }
    if (nested) ++depth_;
    while ((!move || left > kEps) && CanTake(x, r, false)) {
      const double party_q = r.Quantity, consumption_q = x.Quantity, refilled = refilled_;
      AllocatePair(x, r);
      if (r.Quantity == party_q && x.Quantity == consumption_q) break;
      left -= party_q - r.Quantity + (refilled_ - refilled);
    }
    if (nested) --depth_;
    if (move) {
      watched_ = outer_watched;
      refilled_ = outer_refilled;
    }
    if (r.Quantity <= kEps) {
      ++k;
      break;
    }
  }
  // Only the outermost walk drops used-up rows from its place (a nested walk
  // runs while an outer walk is inside the same row sequence), and only from
  // the part it walked: rows after it were not taken by this party.
  if (!nested && r.Quantity < before)
    rows.erase(std::remove_if(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(k),
                              [](const TXPart* x) { return x->IsEmpty(); }),
               rows.begin() + static_cast<std::ptrdiff_t>(k));
}

void TCalcPart::AllocatePair(TXPart& x, TRemains& r) {
  if (x.fix && FixKind.Lookup(x.dh, r.dh) == 2) {
    // A newer place of the same party is used first, newest first.
    const TRemains* under_cursor = Remains.OnRecord() ? &Remains.Current() : nullptr;
    bool ran = false;
    for (int j = Remains.Count() - 1; j >= 0 && x.Quantity > kEps; --j) {
      TRemains& r2 = Remains.At(j);
      if (&r2 == &r) break;
      if (r2.dh == r.dh && r2.mdh != r.mdh && !r2.Deleted && r2.Quantity >= kEps && r.d < r2.d &&
          CanTake(x, r2, false)) {
        AllocatePair(x, r2);
        ran = true;
      }
    }
    // Arrivals inserted meanwhile moved the cursor along with its row; make
    // sure the party walk goes on from the row it was at.
    if (ran && under_cursor && (!Remains.OnRecord() || &Remains.Current() != under_cursor)) {
      for (int j = 0; j < Remains.Count(); ++j)
        if (&Remains.At(j) == under_cursor) Remains.SetCursor(j);
    }
  }

  double t = std::min(r.Quantity, x.Quantity);
  if (t <= kEps) return;
  double placed = t;
  SubstituteChain(t, x, r, 0);
  if (t > kEps) {
    BookConsumption(x, r.dh, r.mdh, r.d, r.ot, t, r.ci);
    x.Quantity -= t;
    r.Quantity -= t;
  }

  if (x.rq > kEps) {
    // The returns tied to x now name the party x took.
    const auto found = returns_of_.find(Key2(x.dh, x.mdh));
    if (found != returns_of_.end()) {
      for (TXRet* yp : found->second) {
        TXRet& y = *yp;
        if (!(y.Quantity > kEps)) continue;
        const bool before_x = y.d <= x.d;
        const double cap = before_x ? std::min(y.Quantity, placed + x.Quantity) : std::min(y.Quantity, placed);
        const double u1 = std::min(y.Quantity, placed);
        if (u1 > 0.0) {
          x.rq -= u1;
          y.Quantity -= u1;
          placed -= u1;
          BookReturn(y, x, r.dh, r.mdh, u1);
        }
        const double u2 = cap - std::max(u1, 0.0);
        if (u2 > kEps) {
          x.rq -= u2;
          placed -= u2;
          y.Quantity -= u2;
          BookReturn(y, x, r.dh, y.dh, u2);
        }
        // Returned no later than x: x takes the returned goods themselves.
        double v = 0.0;
        if (before_x) {
          v = std::min(cap, x.Quantity);
          if (v > kEps) {
            placed += v;
            BookConsumption(x, r.dh, y.dh, y.d, 0, v, r.ci);
            x.Quantity -= v;
          } else {
            v = 0.0;
          }
        }
        if (cap - v > kEps) AddIncome(r.dh, y.dh, y.d, y.pi, 1, 0, cap - v, r.rub, r.cur, r.th, r.ci);
        if (x.rq <= kEps) break;
      }
    }
  }

  // A move: the goods arrive at its destination.
  if (x.dk == 2) AddIncome(r.dh, x.dh, x.d, x.ci, x.ot, x.dk, placed, r.rub, r.cur, r.th, r.ci);
}

void TCalcPart::AddIncome(int32_t dh, int32_t mdh, double d, int32_t pi, int32_t ot, int32_t dk, double q, double rub,
                          double cur, int32_t th, int32_t ci) {
  SpecRefs.Clear();
  if (dk == 2 && ot != 2 && fixed_moves_) {
    // Fixed kind-2 consumptions dated after this arrival that took an older
    // place of the same party follow it here.
    for (int i = 0; i < PartSpec.Count(); ++i) {
      TPartSpec& row = PartSpec.At(i);
      if (row.fix && row.fk == 2 && !row.Deleted && row.Quantity > kEps && row.pi == pi && row.idh == dh &&
          row.mdh != mdh && row.bd < d && d <= row.d)
        SpecRefs.Add(row);
    }
    SpecRefs.SetSortMode(TTPartSpecList::kByBaseDate);
    SpecRefs.Sort();
    // The walk below may arrive here again (its AddRemains allocates at once),
    // so it works on its own copy of the references.
    std::vector<TPartSpec*> rows;
    rows.reserve(static_cast<size_t>(SpecRefs.Count()));
    for (int i = 0; i < SpecRefs.Count(); ++i) rows.push_back(SpecRefs.At(i).row);
    SpecRefs.Clear();
    for (TPartSpec* row : rows) {
      if (!(q > kEps)) break;
      TPartSpec& h = *row;
      const double t = std::min(h.Quantity, q);
      PartSpec.Append(h.dh, h.idh, mdh, t, h.d, pi, h.ot, h.dk, h.fix, h.rub, h.cur, h.th, h.ci, h.pci, d, ot);
      h.Quantity -= t;
      if (h.Quantity <= kEps) h.Deleted = true;
      const int32_t old_dk = (h.bot == 1 || h.mdh == kNoDoc) ? 0 : 2;
      AddRemains(h.idh, h.mdh, h.bd, h.pi, h.bot, old_dk, t, rub, cur, th, ci);
      q -= t;
    }
  }
  if (q > kEps) AddRemains(dh, mdh, d, pi, ot, dk, q, rub, cur, th, ci);
}

void TCalcPart::AddRemains(int32_t dh, int32_t mdh, double d, int32_t pi, int32_t ot, int32_t dk, double q, double rub,
                           double cur, int32_t th, int32_t ci) {
  int index = Remains.Find(dh, mdh, d, pi, dk, ot);
  if (index >= 0) {
    Remains.At(index).Quantity += q;
    if (&Remains.At(index) == watched_) refilled_ += q;
  } else {
    index = Remains.AppendSorted(dh, mdh, d, pi, ot, dk, q, rub, cur, th, ci);
    // Keep the party walk on the row it was at.
    if (index <= Remains.Cursor()) Remains.SetCursor(Remains.Cursor() + 1);
  }
  // The party walk has passed this row already: allocate it now.
  if (allocating_ && index <= Remains.Cursor()) {
    if (depth_ == depth_limit_) depth_limit_ = 0;
    TRemains& row = Remains.At(index);
    if (row.Quantity <= q + kEps && depth_ < depth_limit_) AllocateParty(row, true);
  }
  // New goods after a swap: the allocation runs again.
  if (swapping_ && q > kEps) Changed = true;
}

}  // namespace orlix
