#include "calcpart/move_cycles.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "frame/format.h"

namespace orlix {
namespace {

int32_t DhOf(const TXPart* row) { return row ? row->dh : -1; }

// Link order, keys in turn until one differs.
int CompareByDate(const TMoveLink& a, const TMoveLink& b) {
  const TXPart &amd = *a.md, &abmd = *a.bmd, &bmd_ = *b.md, &bbmd = *b.bmd;
  int r = Compare3(amd.d, bmd_.d);
  // Links whose base move is dated after the move it feeds come last.
  if (r == 0) r = Compare3(abmd.d > amd.d, bbmd.d > bmd_.d);
  // Links whose base document number is above the fed one come last.
  if (r == 0) r = Compare3(abmd.dh > amd.dh, bbmd.dh > bmd_.dh);
  if (r == 0 && amd.dh == bmd_.dh) {
    r = Compare3(std::fabs(abmd.d - amd.d), std::fabs(bbmd.d - bmd_.d));
    // Distances of 32-bit numbers in 64 bits: no overflow.
    if (r == 0) r = Compare3(std::llabs(int64_t{abmd.dh} - amd.dh), std::llabs(int64_t{bbmd.dh} - bmd_.dh));
  }
  if (r == 0) r = Compare3(bbmd.d, abmd.d);
  if (r == 0) r = Compare3(abmd.dh, bbmd.dh);
  if (r == 0) r = Compare3(amd.dh, bmd_.dh);
  return r;
}

int ComparePointers(const void* a, const void* b) {
  const std::less<const void*> less;
  return less(a, b) ? -1 : (less(b, a) ? 1 : 0);
}

}  // namespace

// ---- TMoveLink -------------------------------------------------------------------

std::string TMoveLink::PrintLine() const {
  return Format("id=%d  del=%d  md=%d  bmd=%d  q=%s", ID, Deleted ? 1 : 0, DhOf(md), DhOf(bmd),
                FormatDouble(q).c_str());
}

int TMoveLink::ByIdentity::Compare(const TMoveLink& a, const TMoveLink& b) {
  const int r = ComparePointers(a.md, b.md);
  return r != 0 ? r : ComparePointers(a.bmd, b.bmd);
}

// ---- TMoveLoop ---------------------------------------------------------------------

std::string TMoveLoop::PrintLine() const {
  return Format("id=%d  del=%d  md=%d  bmd=%d  q=%s  p=%d", ID, Deleted ? 1 : 0, link ? DhOf(link->md) : -1,
                link ? DhOf(link->bmd) : -1, FormatDouble(q).c_str(), p);
}

// ---- TMoveLinkList ---------------------------------------------------------------

int TMoveLinkList::CompareItems(const TBaseItem& a, const TBaseItem& b) const {
  if (SortMode() != kByDate) return TRowList::CompareItems(a, b);
  return CompareByDate(static_cast<const TMoveLink&>(a), static_cast<const TMoveLink&>(b));
}

int TMoveLinkList::Add(TXPart& md, TXPart& bmd, double q) {
  TMoveLink& link = Work();
  link.md = &md;
  link.bmd = &bmd;
  link.q = q;
  return AddWork();
}

// ---- TMoveLoopList -----------------------------------------------------------------

int TMoveLoopList::Add(TMoveLink* link, double q, int32_t p) {
  TMoveLoop& step = Work();
  step.link = link;
  step.q = q;
  step.p = p;
  return AddWork();
}

void TMoveLoopList::First() {
  SetCursor(0);
  Clear();
  // The links leaving each move, by index: the search continues a path only
  // with links whose base is the move it arrived at.
  leaving_.clear();
  for (int i = 0; i < links_.Count(); ++i) leaving_[links_.At(i).bmd].push_back(i);
  if (exhausted_) return;
  Add(nullptr, 0.0, -1);  // the start marker
  Next();
}

void TMoveLoopList::Next() { NextLoop(); }

// Depth first over the links in index order. The marks (Deleted) of the links
// on the path stay set while the caller works with a returned cycle, so the
// next call continues from where this one stopped.
void TMoveLoopList::NextLoop() {
  for (;;) {
    if (Count() == 0 || exhausted_) return;
    TMoveLink* current = nullptr;
    int i = 0;
    if (Count() == 1) {
      // Leave the first link (or the start marker) for the next usable one.
      i = At(0).p + 1;
      if (TMoveLink* first = LinkOf(0)) first->Deleted = false;
      Clear();
      while (i < links_.Count() && !links_.At(i).Usable()) {
        if (!Spend()) return;
        ++i;
      }
      if (i >= links_.Count()) return;
      current = &links_.At(i);
      // The first link is marked too, so that no path takes it twice (a
      // move to its own place links to itself, and would go around twice).
      current->Deleted = true;
      Add(current, current->q, i);
      i = 0;
    } else {
      // Backtrack: drop the top step; also drop steps whose link is used up.
      TMoveLink* prev = nullptr;
      for (;;) {
        prev = LinkOf(Count() - 2);
        i = At(Count() - 1).p + 1;
        if (TMoveLink* top = LinkOf(Count() - 1)) top->Deleted = false;
        TrimEnd(Count() - 1);
        if (Count() == 1 || prev->q > kEps) break;
      }
      if (!(prev->q > kEps)) continue;
      current = prev;
    }
    // Extend from current: the first usable link from index i on that
    // continues it (the links leaving current's move, in index order).
    const TMoveLink* start = LinkOf(0);
    for (;;) {
      const std::vector<int>& leaving = Leaving(current->md);
      auto at = std::lower_bound(leaving.begin(), leaving.end(), i);
      while (at != leaving.end() && !links_.At(*at).Usable()) {
        if (!Spend()) return;
        ++at;
      }
      if (at == leaving.end()) break;  // backtrack
      if (!Spend()) return;
      TMoveLink& next = links_.At(*at);
      next.Deleted = true;
      Add(&next, std::min(next.q, At(Count() - 1).q), *at);
      if (start->bmd == next.md) return;  // back where the path began
      current = &next;
      i = 0;
    }
  }
}

const std::vector<int>& TMoveLoopList::Leaving(const TXPart* move) const {
  static const std::vector<int> kNone;
  const auto found = leaving_.find(move);
  return found == leaving_.end() ? kNone : found->second;
}

bool TMoveLoopList::Spend() {
  if (steps_left_ > 0) {
    --steps_left_;
    return true;
  }
  // Out of steps: the search ends here, with no link left marked.
  for (int j = 0; j < Count(); ++j)
    if (TMoveLink* link = LinkOf(j)) link->Deleted = false;
  Clear();
  exhausted_ = true;
  return false;
}

void TMoveLoopList::SetStepBudget(int64_t steps) {
  steps_left_ = steps;
  exhausted_ = false;
}

}  // namespace orlix
