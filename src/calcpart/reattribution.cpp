// The steps that follow the date-ordered allocation in each round of
// Execute: parties sent around cycles of moves (S3), returned goods of open
// consumptions passed through later splits (S4), and open consumptions given
// the party of a fixed kind-2 split that takes a moved party instead (S5).
// They insert their PartSpec rows in order and lower what they re-attribute.
#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "calcpart/calc_part.h"

namespace orlix {
namespace {

// Repeats of the rerouting of one return.
constexpr int kRerouteRepeats = 1001;
// Links the cycle search of one step may examine (a few tens of milliseconds).
constexpr int64_t kCycleSearchSteps = 2'000'000;

using SpecsByPlace = std::unordered_map<int32_t, std::vector<TPartSpec*>>;

// The splits of each place, in list order.
SpecsByPlace ByPlace(const TPartSpecList& specs) {
  SpecsByPlace rows;
  for (int i = 0; i < specs.Count(); ++i) rows[specs.At(i).pi].push_back(&specs.At(i));
  return rows;
}

}  // namespace

// ---- Step S3: cycles of moves ---------------------------------------------------------

void TCalcPart::ResolveMoveCycles() {
  for (int i = 0; i < XPart.Count(); ++i) XPart.At(i).mdh = kNoDoc;
  XPart.MergeDuplicates();
  XPart.SetSortMode(TXPartList::kMovesFirst);
  XPart.Sort();
  BuildMoveLinks();
  PartSpec.MergeDuplicates();
  PartSpec.SetSortMode(TPartSpecList::kByBaseDate);
  PartSpec.Sort();
  if (MoveLinks.Count() == 0) return;
  SpecsByPlace by_place = ByPlace(PartSpec);
  spec_by_place_ = &by_place;
  try {
    ApplyMoveLoops();
  } catch (...) {
    spec_by_place_ = nullptr;
    throw;
  }
  spec_by_place_ = nullptr;
}

void TCalcPart::BuildMoveLinks() {
  MoveLinks.Clear();
  int moves = 0;
  while (moves < XPart.Count() && XPart.At(moves).dk == 2) {
    XPart.At(moves).lq = XPart.At(moves).Quantity;
    ++moves;
  }
  // Each move feeds the moves that leave from where it arrives, as far as
  // they are not fed yet. (A date test a.d <= b.d would always pass here:
  // every base is a move.)
  for (int i = 0; i < moves; ++i) {
    TXPart& a = XPart.At(i);
    if (a.Deleted || !(a.Quantity > kEps)) continue;
    double rest = a.Quantity;
    for (int j = 0; j < moves && rest > kEps; ++j) {
      TXPart& b = XPart.At(j);
      if (b.Deleted || !(b.lq > kEps) || b.pi != a.ci) continue;
      const double m = std::min(b.lq, rest);
      rest -= m;
      b.lq -= m;
      MoveLinks.Add(b, a, m);
    }
  }
}

TPartSpec* TCalcPart::CycleParty(const TMoveLoopList& loop) {
  const int n = loop.Count();
  const TXPart& first = *loop.At(0).link->md;
  const TXPart& last = *loop.At(n - 1).link->md;
  bool any_fixed = false;
  for (int j = 0; j < n; ++j) any_fixed = any_fixed || loop.At(j).link->md->fix;
  auto qualifies = [&](const TPartSpec& h) {
    if (h.Deleted || !(h.Quantity > kEps) || h.pi != first.pi) return false;
    if (h.fix && FixKind.Lookup(h.dh, h.idh) != 2) return false;
    if (!any_fixed) return true;
    for (int j = 0; j < n; ++j) {
      const TXPart& m = *loop.At(j).link->md;
      if (!m.fix) continue;
      const int32_t k = FixKind.Lookup(m.dh, h.idh);
      const bool moved = j >= 1 || h.mdh != kNoDoc;
      if (k == -1 || (k == 1 && moved)) return false;
    }
    return true;
  };
  TPartSpec* candidate = nullptr;
  const auto place = spec_by_place_->find(first.pi);
  if (place == spec_by_place_->end()) return nullptr;
  // Only splits of the first move's place qualify; in list order, the first
  // stored split (cp > 0) ends the walk where the whole list would.
  for (TPartSpec* row : place->second) {
    TPartSpec& h = *row;
    if (h.cp > 0) break;
    if (!qualifies(h)) continue;
    const bool fits = !(h.bd > first.d || (h.d < last.d && last.ot != 2));
    if (fits) {
      candidate = &h;
    } else if (candidate) {
      break;
    } else if (h.bot == 2 && (last.d <= h.d || last.ot == 2)) {
      candidate = &h;
    }
  }
  return candidate;
}

bool TCalcPart::ApplyCycle(TMoveLoopList& loop) {
  const int n = loop.Count();
  const double qc = loop.At(n - 1).q;
  if (qc <= 0.0) return false;
  TPartSpec* chosen = CycleParty(loop);
  if (!chosen) return false;
  TPartSpec& h = *chosen;
  const TXPart& last = *loop.At(n - 1).link->md;
  const double take = std::min(h.Quantity, qc);
  const TXPart* prev = nullptr;
  for (int j = 0; j < n; ++j) {
    TMoveLoop& step = loop.At(j);
    TXPart& m = *step.link->md;
    InsertSpec(m, h.idh, prev ? prev->dh : h.mdh, take, h.pci, prev ? prev->d : h.bd, prev ? prev->ot : h.bot);
    step.q -= qc;
    step.link->q -= qc;
    m.Quantity -= qc;
    prev = &m;
  }
  InsertSpec(h, h.idh, last.dh, take, h.pci, last.d, last.ot);
  h.Quantity -= take;
  if (h.Quantity <= 0.0) h.Deleted = true;
  const double rest = qc - take;
  if (rest > kEps) {
    prev = &last;
    for (int j = 0; j < n; ++j) {
      const TXPart& m = *loop.At(j).link->md;
      InsertSpec(m, h.idh, prev->dh, rest, h.pci, prev->d, prev->ot);
      prev = &m;
    }
  }
  return true;
}

void TCalcPart::ApplyMoveLoops() {
  TMoveLoopList& loop = MoveLinks.Loops();
  loop.SetStepBudget(kCycleSearchSteps);
  loop.First();
  if (loop.Count() == 0) return;
  PartSpec.SetSortMode(TPartSpecList::kByBaseDate);
  PartSpec.Sort();
  while (loop.Count() > 0) {
    const bool applied = ApplyCycle(loop);
    loop.Next();
    // After an applied cycle the search starts over once it runs out.
    if (applied && loop.Count() == 0) loop.First();
  }
}

// ---- Step S4: returned goods of open consumptions --------------------------------------

TPartSpec* TCalcPart::RerouteCandidate(const TXRet& y, const TXPart& x) {
  TPartSpec* candidate = nullptr;
  const auto place = spec_by_place_->find(y.pi);
  if (place == spec_by_place_->end()) return nullptr;
  // The rows of y's place in list order: no other row qualifies, and the
  // first stored split (cp > 0) ends the walk where the whole list would.
  for (TPartSpec* row : place->second) {
    TPartSpec& h = *row;
    if (h.cp > 0) break;
    if (h.Deleted || !(h.Quantity > kEps) || h.pi != y.pi) continue;
    if (h.fix && FixKind.Lookup(h.dh, h.idh) != 2) continue;
    if (x.fix) {
      const int32_t k = FixKind.Lookup(x.dh, h.idh);
      if (k == -1 || (k == 1 && h.mdh != kNoDoc)) continue;
    }
    if (h.bd <= x.d && h.d >= y.d) {
      candidate = &h;
    } else if (candidate) {
      break;
    } else if (h.bot == 2 && y.d <= h.d) {
      candidate = &h;
    }
  }
  return candidate;
}

void TCalcPart::RerouteReturns() {
  XRet.MergeDuplicates();
  if (XRet.Count() == 0) return;
  XPart.MergeDuplicates();
  PartSpec.MergeDuplicates();
  RecalcLinks();
  XRet.SetSortMode(TXRetList::kLinkedFirst);
  XRet.Sort();
  if (!XRet.At(0).xp) return;
  PartSpec.SetSortMode(TPartSpecList::kByBaseDate);
  PartSpec.Sort();
  SpecsByPlace by_place = ByPlace(PartSpec);
  spec_by_place_ = &by_place;
  try {
    for (int i = 0; i < XRet.Count(); ++i) {
      TXRet& y = XRet.At(i);
      if (!y.xp) break;
      if (!y.Deleted && y.Quantity > kEps) RerouteReturn(y, *y.xp);
    }
  } catch (...) {
    spec_by_place_ = nullptr;
    throw;
  }
  spec_by_place_ = nullptr;
}

void TCalcPart::RerouteReturn(TXRet& y, TXPart& x) {
  for (int repeat = 0; repeat < kRerouteRepeats && y.Quantity > kEps; ++repeat) {
    TPartSpec* chosen = RerouteCandidate(y, x);
    if (!chosen) break;
    TPartSpec& h = *chosen;
    const double t = std::min(y.Quantity, h.Quantity);
    // x takes h's party; h takes the goods y brought back.
    InsertSpec(x, h.idh, h.mdh, t, h.pci, h.bd, h.bot);
    BookReturn(y, x, h.idh, h.mdh, t);
    InsertSpec(h, h.idh, y.dh, t, h.pci, y.d, 0);
    h.Quantity -= t;
    x.Quantity -= t;
    y.Quantity -= t;
    x.rq -= t;
    if (y.Quantity > kEps && x.d == y.d) {
      // Returned on the consumption's own day: x takes those goods too.
      const double rest = y.Quantity;
      InsertSpec(x, h.idh, y.dh, rest, h.pci, y.d, 0);
      BookReturn(y, x, h.idh, y.dh, rest);
      x.Quantity -= rest;
      y.Quantity -= rest;
      x.rq -= rest;
    }
  }
}

void TCalcPart::NoteInsertedSpec(int at) {
  TPartSpec* row = &PartSpec.At(at);
  std::vector<TPartSpec*>& rows = (*spec_by_place_)[row->pi];
  int before = at - 1;
  while (before >= 0 && PartSpec.At(before).pi != row->pi) --before;
  auto place = rows.begin();
  if (before >= 0) place = std::find(rows.begin(), rows.end(), &PartSpec.At(before)) + 1;
  rows.insert(place, row);
}

// ---- Step S5: swapped fixed parties ---------------------------------------------------------

void TCalcPart::SwapFixedParties() {
  XPart.MergeDuplicates();
  if (XPart.Count() == 0) return;
  Remains.MergeDuplicates();
  PartSpec.MergeDuplicates();
  XRet.MergeDuplicates();
  XPart.SetSortMode(TXPartList::kFifo);
  XPart.Sort();
  Remains.SetSortMode(TRemainsList::kByPlaceDate);
  Remains.Sort();
  PartSpec.SetSortMode(TPartSpecList::kFixedByPlace);
  PartSpec.Sort();
  // Without a fixed kind-2 split no consumption has anything to swap.
  bool any_split = false;
  for (int i = 0; i < PartSpec.Count() && !any_split; ++i) {
    const TPartSpec& h = PartSpec.At(i);
    any_split = h.fix && h.fk == 2 && h.dk == 1;
  }
  if (!any_split) return;
  chain_index_ = false;
  swapping_ = true;
  try {
    for (int i = 0; i < XPart.Count(); ++i) {
      TXPart& x = XPart.At(i);
      if (!x.fix && x.Quantity > kEps) SwapForConsumption(x);
    }
  } catch (...) {
    swapping_ = false;
    spec_walk_ = nullptr;
    throw;
  }
  swapping_ = false;
  spec_walk_ = nullptr;
}

int TCalcPart::FirstAtPlace(const TBaseList& list, int32_t pi, bool remains) const {
  for (int i = 0; i < list.Count(); ++i) {
    const int32_t place = remains ? Remains.At(i).pi : PartSpec.At(i).pi;
    if (place == pi) return i;
  }
  return list.Count();
}

void TCalcPart::SwapForConsumption(TXPart& x) {
  // The party walk runs on the Remains cursor, which AddRemains keeps on its row.
  Remains.SetCursor(FirstAtPlace(Remains, x.pi, true));
  for (; Remains.OnRecord() && Remains.Current().pi == x.pi; Remains.Next()) {
    TRemains& r = Remains.Current();
    if (r.mdh == kNoDoc || !CanTake(x, r, true)) continue;
    int walk = FirstAtPlace(PartSpec, x.pi, false);
    spec_walk_ = &walk;
    while (x.Quantity > kEps && r.Quantity > kEps && walk < PartSpec.Count()) {
      TPartSpec& h = PartSpec.At(walk);
      if (h.pi != x.pi || !h.fix || h.fk != 2 || h.dk != 1) break;
      if (h.Deleted || !(h.Quantity > kEps) || !(h.bd <= x.d) || !(r.d <= h.d)) {
        ++walk;
        continue;
      }
      const double q = std::min({h.Quantity, r.Quantity, x.Quantity});
      const int32_t p_dk = h.mdh == kNoDoc ? 0 : 2;
      TRemains party = TemporaryParty(h.idh, h.mdh, h.bd, h.pi, h.ci, h.bot, p_dk, q, 0.0, 0.0, -1);
      TXPart split;
      split.dh = h.dh;
      split.mdh = kNoDoc;
      split.d = h.d;
      split.pi = h.pi;
      split.ot = h.ot;
      split.dk = h.dk;
      split.Quantity = q;
      split.fix = h.fix;
      split.rub = h.rub;
      split.cur = h.cur;
      split.th = h.th;
      split.ci = h.ci;
      if (!CanTake(x, party, false) || !CanTake(split, r, false)) {
        ++walk;
        continue;
      }
      // h takes the moved party r; x takes the party h gave up.
      InsertSpec(split, r.dh, r.mdh, q, r.ci, r.d, r.ot);
      h.Quantity -= q;
      r.Quantity -= q;
      double t = q;
      SubstituteChain(t, x, party, 0);
      if (t > kEps) {
        InsertSpec(x, party.dh, party.mdh, party.Quantity, party.ci, party.d, party.ot);
        x.Quantity -= party.Quantity;
        if (x.Quantity <= kEps) x.Deleted = true;
      }
      if (x.rq > kEps) {
        double avail = q;
        for (int j = 0; j < XRet.Count() && x.rq > kEps; ++j) {
          TXRet& y = XRet.At(j);
          if (y.odh != x.dh || y.mdh != x.mdh || !(y.Quantity > kEps)) continue;
          const double u = std::min(y.Quantity, avail);
          x.rq -= u;
          y.Quantity -= u;
          avail -= u;
          BookReturn(y, x, r.dh, r.mdh, u);
          AddRemains(r.dh, y.dh, y.d, y.pi, 1, 0, u, r.rub, r.cur, r.th, r.ci);
        }
      }
      if (x.dk == 2) AddRemains(party.dh, x.dh, x.d, x.ci, x.ot, x.dk, q, party.rub, party.cur, party.th, party.ci);
      ++walk;
    }
    spec_walk_ = nullptr;
  }
}

}  // namespace orlix
