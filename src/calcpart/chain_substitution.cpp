// Chain substitution: before a consumption x takes goods of party r
// directly, r's goods may reach x along a chain - r supplies another
// consumption whose goods were later returned, or a move out and a move back,
// and what comes back supplies x. Each stage is a temporary party (a
// standalone row, never a list row) that may go through a further candidate.
#include <algorithm>

#include "calcpart/calc_part.h"

namespace orlix {
namespace {

uint64_t Route(int32_t from, int32_t to) {
  return uint64_t{static_cast<uint32_t>(from)} << 32 | static_cast<uint32_t>(to);
}

}  // namespace

void TCalcPart::BuildChainIndex() {
  chain_returns_.clear();
  chain_moves_.clear();
  chain_routes_.clear();
  for (int i = 0; i < XRet.Count(); ++i) {
    TXRet& y = XRet.At(i);
    if (y.xp) chain_returns_[y.xp->pi].push_back(&y);
  }
  for (int i = 0; i < XPart.Count(); ++i) {
    TXPart& a = XPart.At(i);
    if (a.dk != 2) continue;
    chain_moves_[a.pi].push_back(&a);
    chain_routes_[Route(a.pi, a.ci)].push_back(&a);
  }
  chain_index_ = true;
}

void TCalcPart::CollectChainCandidates(const TXPart& x, const TRemains& r) {
  RetRefs.Clear();
  MoveLinks.Clear();
  if (!chain_index_) BuildChainIndex();
  // Only rows of r's place can take r: the index keeps list order within it.
  if (const auto found = chain_returns_.find(r.pi); found != chain_returns_.end()) {
    for (TXRet* y : found->second)
      if (y->Quantity > kEps && y->d <= x.d && y->xp && y->xp != &x && CanTake(*y->xp, r, false)) RetRefs.Add(*y);
  }
  if (x.dk == 2) return;
  const auto out = chain_moves_.find(r.pi);
  if (out == chain_moves_.end()) return;
  // A move used up never qualifies again (neither as a move out nor as a
  // move back); dropping it keeps the order of the rest.
  std::erase_if(out->second, [](const TXPart* move) { return move->TXPart::IsEmpty(); });
  for (TXPart* a : out->second) {
    // The cheap date test first; all these tests are free of side effects.
    if (a == &x || !(a->d <= x.d || a->ot == 2) || !CanTake(*a, r, false)) continue;
    // The moves from a's destination back to r's place, in list order.
    const auto back = chain_routes_.find(Route(a->ci, a->pi));
    if (back == chain_routes_.end()) continue;
    for (TXPart* b : back->second) {
      // A move to its own place is not its own way back: the pair would
      // book the one move twice.
      if (b != a && b->Quantity > kEps && !b->Deleted && (a->d <= b->d || a->ot == 2) && (b->d <= x.d || b->ot == 2))
        MoveLinks.Add(*b, *a, std::min(b->Quantity, a->Quantity));
    }
  }
}

TRemains TCalcPart::TemporaryParty(int32_t dh, int32_t mdh, double d, int32_t pi, int32_t ci, int32_t ot, int32_t dk,
                                   double q, double rub, double cur, int32_t th) const {
  TRemains party;
  party.dh = dh;
  party.mdh = mdh;
  party.d = d;
  party.pi = pi;
  party.ci = ci;
  party.ot = ot;
  party.dk = dk;
  party.Quantity = q;
  Remains.Priorities().Priority(dk, ot, party.p, party.pfm);
  party.rub = rub;
  party.cur = cur;
  party.th = th;
  return party;
}

// Whether a later link of the same following move b offers a better base
// move a2: one whose goods the parties from the cursor on (r less u) cannot
// cover up to b's date.
bool TCalcPart::BetterOutgoing(const TXPart& a2, const TXPart& b, const TRemains& r, double u) const {
  if (!CanTake(a2, r, false)) return false;
  double need = std::min(a2.Quantity, u);
  for (int j = std::max(Remains.Cursor(), 0); j < Remains.Count() && need > kEps; ++j) {
    const TRemains& row = Remains.At(j);
    const double q = &row == &r ? row.Quantity - u : row.Quantity;
    if (q > kEps && row.d <= b.d && CanTake(a2, row, false)) need -= q;
  }
  return need > kEps;
}

void TCalcPart::SubstituteChain(double& t, TXPart& x, TRemains& r, int32_t level) {
  if (level == 0) {
    CollectChainCandidates(x, r);
    if (RetRefs.Count() == 0 && MoveLinks.Count() == 0) return;
    RetRefs.SetSortMode(TTXRetList::kCandidates);
    RetRefs.Sort();
    MoveLinks.SetSortMode(TMoveLinkList::kByDate);
    MoveLinks.Sort();
  }
  const int returns = RetRefs.Count();
  const int candidates = returns + MoveLinks.Count();
  int i = level;
  while (t > kEps && i < candidates) {
    if (i < returns) {
      // Through a consumption o whose goods came back by return y.
      TXRet& y = *RetRefs.At(i).row;
      TXPart& o = *y.xp;
      if (y.Quantity <= kEps || (level > 0 && !CanTake(o, r, false))) {
        ++i;
        continue;
      }
      const double u = std::min(y.Quantity, t);
      BookConsumption(o, r.dh, r.mdh, r.d, r.ot, u, r.ci);
      BookReturn(y, o, r.dh, r.mdh, u);
      y.Quantity -= u;
      o.Quantity -= u;
      o.rq -= u;
      r.Quantity -= u;
      TRemains back = TemporaryParty(r.dh, y.dh, y.d, y.pi, r.ci, 1, 0, u, 0.0, 0.0, -1);
      double rest = u;
      SubstituteChain(rest, x, back, i + 1);
      if (rest > kEps) {
        BookConsumption(x, back.dh, back.mdh, back.d, 0, rest, back.ci);
        x.Quantity -= rest;
      }
      t -= u;
      ++i;
      continue;
    }
    // Through a move out (a) and a move back (b).
    const int link_index = i - returns;
    TMoveLink& link = MoveLinks.At(link_index);
    TXPart& b = *link.md;
    TXPart* a = link.bmd;
    if (b.Quantity <= kEps || (level > 0 && !CanTake(*a, r, false))) {
      ++i;
      continue;
    }
    double u = std::min({b.Quantity, a->Quantity, t});
    if (u <= kEps) {
      ++i;
      continue;
    }
    bool replaced = false;
    for (int j = MoveLinks.Count() - 1; j > link_index; --j) {
      TMoveLink& later = MoveLinks.At(j);
      if (later.md != &b || !BetterOutgoing(*later.bmd, b, r, u)) continue;
      a = later.bmd;
      u = std::min(a->Quantity, u);
      replaced = true;
    }
    BookConsumption(*a, r.dh, r.mdh, r.d, r.ot, u, r.ci);
    a->Quantity -= u;
    r.Quantity -= u;
    // The goods at a's destination; returns there may pass through them.
    TRemains there = TemporaryParty(r.dh, a->dh, a->d, a->ci, r.ci, a->ot, a->dk, u, r.rub, r.cur, r.th);
    // Only returns tied to a consumption at that place can take those goods:
    // the chain index keeps them in XRet order.
    if (!chain_index_) BuildChainIndex();
    const auto tied = chain_returns_.find(there.pi);
    const size_t tied_count = tied == chain_returns_.end() ? 0 : tied->second.size();
    for (size_t j = 0; j < tied_count && there.Quantity > kEps; ++j) {
      TXRet& y = *tied->second[j];
      if (!(y.Quantity > kEps) || !(y.d <= b.d) || !y.xp || y.xp == &x || !CanTake(*y.xp, there, false)) continue;
      const double w = std::min(y.Quantity, there.Quantity);
      BookConsumption(*y.xp, there.dh, there.mdh, there.d, there.ot, w, there.ci);
      y.xp->Quantity -= w;
      BookReturn(y, *y.xp, there.dh, there.mdh, w);
      y.Quantity -= w;
      BookConsumption(b, there.dh, y.dh, y.d, 0, w, there.ci);
      b.Quantity -= w;
      there.Quantity -= w;
    }
    if (there.Quantity > kEps) {
      BookConsumption(b, there.dh, there.mdh, there.d, there.ot, there.Quantity, there.ci);
      b.Quantity -= there.Quantity;
    }
    // The goods back at the origin go on to x.
    TRemains back = TemporaryParty(r.dh, b.dh, b.d, b.ci, r.ci, b.ot, b.dk, u, r.rub, r.cur, r.th);
    double rest = u;
    SubstituteChain(rest, x, back, i + 1);
    if (rest > kEps) {
      BookConsumption(x, back.dh, back.mdh, back.d, 0, rest, back.ci);
      x.Quantity -= rest;
    }
    t -= u;
    if (!replaced) ++i;
  }
  if (level == 0) {
    RetRefs.Clear();
    MoveLinks.Clear();
  }
}

}  // namespace orlix
