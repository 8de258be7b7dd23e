#include "cut/cut_chain.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "frame/format.h"

namespace orlix {

// ---- TCutChainList --------------------------------------------------------------

void TCutChainList::SetAnyPartList(TCutAnyPartList* list) {
  Clear();
  AnyPartList = list;
}

int TCutChainList::Push(int32_t idx) {
  Work().idx = idx;
  Work().Quantity = 0.0;
  const int position = AddWork();
  At(position).New = true;
  if (idx >= 0) {
    if (static_cast<size_t>(idx) >= position_of_.size()) position_of_.resize(static_cast<size_t>(idx) + 1, -1);
    position_of_[static_cast<size_t>(idx)] = position;
  }
  return position;
}

int TCutChainList::PositionOf(int32_t idx) const {
  if (idx < 0 || static_cast<size_t>(idx) >= position_of_.size()) return -1;
  return position_of_[static_cast<size_t>(idx)];
}

void TCutChainList::TruncateTo(int from) {
  if (from >= Count()) return;
  for (int i = from; i < Count(); ++i) {
    const int32_t idx = At(i).idx;
    if (idx >= 0 && static_cast<size_t>(idx) < position_of_.size()) position_of_[static_cast<size_t>(idx)] = -1;
  }
  TrimEnd(from);
}

void TCutChainList::Clear() {
  TruncateTo(0);
  TRowList::Clear();
}

bool TCutChainList::Spend(int64_t steps) {
  steps_ += steps;
  if (steps_ <= StepLimit) return true;
  overran_ = true;
  return false;
}

void TCutChainList::First() {
  TruncateTo(0);
  SetCursor(0);
  FirstCall = true;
  steps_ = 0;
  overran_ = false;
  Next();
}

void TCutChainList::Backtrack(int& start, int32_t& after, int32_t& key) {
  const int last = Count() - 1;
  start = At(last).idx + 1;
  after = last == 0 ? -1 : At(last - 1).idx;
  key = last == 0 ? kNoDocHead : Portion(last - 1).DocHeadOf();
  TruncateTo(last);
}

void TCutChainList::Next() {
  const bool first = FirstCall;
  FirstCall = false;
  CycleStart = -1;
  int start = 0;
  int32_t after = -1;
  int32_t key = kNoDocHead;
  if (Count() > 0) {
    // Resume after the first row that the last chain emptied, at its level.
    const int m = Count();
    if (!Spend(m)) {
      TruncateTo(0);
      return;
    }
    for (int i = 0; i <= m - 2; ++i)
      if (Portion(i).IsEmpty()) {
        TruncateTo(i + 1);
        break;
      }
    Backtrack(start, after, key);
  } else if (!first || !AnyPartList) {
    return;  // the walk is over and stays over
  }
  Search(start, after, key);
}

// The rows that may follow portion after are those whose party came from
// its DocHeadOf (key); the list keeps them per portion, in list order.
void TCutChainList::Search(int start, int32_t after, int32_t key) {
  const int flags = WithoutDeleted + TCutAnyPartList::kSkipEmpty + TCutAnyPartList::kSkipMarkers;
  for (;;) {
    int64_t probes = 0;
    const int k = AnyPartList->FindNextOf(after, start, flags, &probes);
    if (!Spend(probes)) {
      TruncateTo(0);
      return;
    }
    if (k >= 0) {
      const int on_chain = PositionOf(k);
      if (on_chain >= 0) {
        CycleStart = on_chain;
        return;
      }
      Push(k);
      const TCutAnyPart& row = AnyPartList->At(k);
      if (row.part->dk == kDkOutgoing && !row.ret) return;  // a complete chain
      after = k;
      key = row.DocHeadOf();
      start = 0;
      continue;
    }
    if (key == kNoDocHead || Count() == 0) {
      TruncateTo(0);
      return;
    }
    Backtrack(start, after, key);
  }
}

std::string TCutChainList::ChainLine() const {
  std::string line;
  for (int i = 0; i < Count(); ++i) {
    const int32_t idx = At(i).idx;
    const TCutAnyPart& row = Portion(i);
    const bool in_cycle = CycleStart != -1 && i >= CycleStart;
    line += ' ';
    line += std::to_string(idx);
    line += in_cycle ? '[' : '(';
    line += FormatDouble(row.Quantity);
    line += in_cycle ? ']' : ')';
    if (!row.cycle_idx.empty()) {
      line += "+[";
      for (const int32_t c : row.cycle_idx) {
        line += std::to_string(c);
        line += ',';
      }
      line.back() = ']';
    }
    if (row.c_ret_idx >= 0) {
      line += '+';
      line += std::to_string(row.c_ret_idx);
      line += '{';
      line += FormatDouble(AnyPartList->At(row.c_ret_idx).Quantity);
      line += '}';
    }
  }
  return line;
}

void TCutChainList::Print(TLines& lines) const {
  // Printing walks the chains, as the report shows them; the walk is the
  // chain's scratch state, so a const report may move it.
  auto& self = const_cast<TCutChainList&>(*this);
  lines.push_back(Format("  WithoutDeleted=%d", WithoutDeleted));
  const int64_t step_limit = StepLimit;
  self.StepLimit = std::min(StepLimit, kPrintStepLimit);
  self.First();
  if (Eof()) {
    if (overran_)
      lines.push_back(Format("  walk stopped after %lld steps", static_cast<long long>(steps_)));
    else
      lines.push_back("  nil");
    self.StepLimit = step_limit;
    return;
  }
  // Printed elements count as steps too, so the report stays bounded.
  while (!Eof()) {
    if (!self.Spend(Count())) {
      self.TruncateTo(0);
      break;
    }
    PrintChain(lines);
    self.Next();
  }
  if (overran_) lines.push_back(Format("  walk stopped after %lld steps", static_cast<long long>(steps_)));
  self.StepLimit = step_limit;
}

// ---- BuildCycles -------------------------------------------------------------------

namespace {

// The stored cycles by what makes two of them the same: member count,
// quantity and member set.
class TCycleIndex final {
 public:
  // Position of a stored cycle equal to the candidate, or -1.
  int Find(int32_t n, double q, const std::vector<int32_t>& sorted_members) const {
    const auto range = cycles_.equal_range(Hash(n, q, sorted_members));
    for (auto it = range.first; it != range.second; ++it)
      if (it->second.n == n && it->second.q == q && it->second.members == sorted_members) return it->second.header;
    return -1;
  }
  void Add(int header, int32_t n, double q, std::vector<int32_t> sorted_members) {
    const size_t hash = Hash(n, q, sorted_members);
    cycles_.emplace(hash, Stored{header, n, q, std::move(sorted_members)});
  }

 private:
  struct Stored {
    int header;
    int32_t n;
    double q;
    std::vector<int32_t> members;
  };
  static size_t Hash(int32_t n, double q, const std::vector<int32_t>& members) {
    size_t h = std::hash<double>()(q == 0.0 ? 0.0 : q) ^ (static_cast<size_t>(n) * 0x9E3779B97F4A7C15ull);
    for (const int32_t m : members) h = h * 1000003u ^ static_cast<size_t>(m);
    return h;
  }
  std::unordered_multimap<size_t, Stored> cycles_;
};

// Stores the candidate held in work (a header and its members) unless an equal
// cycle is stored; false with the code set when it cannot be stored.
bool StoreCycle(TCutAnyPartList& any_part, TCutCycleList& cycle, const TCutCycleList& work, TCycleIndex& index,
                int64_t max_cycle_rows) {
  const TCutCycle& header = work.At(0);
  if (header.Quantity == 0.0) {
    any_part.ErrorCode = kCutZeroCycle;
    return false;
  }
  std::vector<int32_t> members;
  members.reserve(static_cast<size_t>(header.n));
  for (int i = 1; i <= header.n; ++i) members.push_back(work.At(i).n);
  std::sort(members.begin(), members.end());
  if (index.Find(header.n, header.Quantity, members) >= 0) return true;
  if (cycle.Count() + static_cast<int64_t>(header.n) + 1 > max_cycle_rows) {
    any_part.ErrorCode = kCutSearchTooLarge;
    return false;
  }
  const int h = cycle.Append(header.n, header.Quantity);
  cycle.At(h).Deleted = header.Deleted;
  for (int i = 1; i <= header.n; ++i) {
    const TCutCycle& member = work.At(i);
    if (member.Quantity != 0.0) {
      any_part.ErrorCode = kCutMemberWithQuantity;
      return false;
    }
    cycle.At(cycle.Append(member.n, 0.0)).Deleted = member.Deleted;
    any_part.At(member.n).cycle_idx.push_back(h);
  }
  index.Add(h, header.n, header.Quantity, std::move(members));
  return true;
}

// A cycle with a Deleted portion or header makes every portion and cycle
// connected to it through shared portions Deleted: the closure of the
// repeated passes "a row with any Deleted cycle, or Deleted itself, is
// Deleted and so are all its cycles", reached by one walk over the links.
void SpreadDeletion(TCutAnyPartList& any_part, TCutCycleList& cycle) {
  std::vector<int32_t> pending_rows, pending_cycles;
  for (int i = 0; i < any_part.Count(); ++i)
    if (!any_part.At(i).cycle_idx.empty() && any_part.At(i).Deleted) pending_rows.push_back(i);
  for (int c = 0; c < cycle.Count(); c += cycle.At(c).n + 1)
    if (cycle.At(c).Deleted) pending_cycles.push_back(c);
  while (!pending_rows.empty() || !pending_cycles.empty()) {
    if (!pending_rows.empty()) {
      const int32_t row = pending_rows.back();
      pending_rows.pop_back();
      for (const int32_t c : any_part.At(row).cycle_idx)
        if (!cycle.At(c).Deleted) {
          cycle.At(c).Deleted = true;
          pending_cycles.push_back(c);
        }
      continue;
    }
    const int32_t c = pending_cycles.back();
    pending_cycles.pop_back();
    for (int i = c + 1; i <= c + cycle.At(c).n; ++i) {
      TCutAnyPart& member = any_part.At(cycle.At(i).n);
      if (!member.Deleted) {
        member.Deleted = true;
        pending_rows.push_back(cycle.At(i).n);
      }
    }
  }
}

}  // namespace

void BuildCycles(TCutChainList& chain, TCutAnyPartList& any_part, TCutCycleList& cycle, TCutCycleList& work,
                 int64_t max_cycle_rows) {
  work.Clear();
  cycle.Clear();
  for (int i = 0; i < any_part.Count(); ++i) any_part.At(i).cycle_idx.clear();

  // Collect each candidate as the walk meets it and store it at once unless
  // stored already: the same cycles, in the same order, as collecting every
  // candidate first, without holding all the repeats.
  TCycleIndex index;
  chain.WithoutDeleted = 0;
  for (chain.First(); !chain.Eof(); chain.Next()) {
    if (!chain.IsCycle()) continue;
    if (chain.CycleStart >= chain.Count()) {
      any_part.ErrorCode = kCutCycleStartOutside;
      return;
    }
    work.Clear();
    const int h = work.Append(0, chain.Portion(chain.CycleStart).Quantity);
    for (int i = chain.CycleStart; i < chain.Count(); ++i) {
      const TCutAnyPart& row = chain.Portion(i);
      work.Append(chain.At(i).idx, 0.0);
      TCutCycle& header = work.At(h);
      header.Quantity = std::min(header.Quantity, row.Quantity);
      ++header.n;
      header.Deleted = header.Deleted || row.Deleted;
    }
    const bool stored = StoreCycle(any_part, cycle, work, index, max_cycle_rows);
    if (!stored) return;
  }
  work.Clear();
  if (chain.Overran()) {
    any_part.ErrorCode = kCutSearchTooLarge;
    return;
  }
  if (cycle.Count() == 0) return;

  SpreadDeletion(any_part, cycle);

  // Set each cycle's quantity aside on its members, deleted cycles too.
  for (int i = 0; i < any_part.Count(); ++i) {
    TCutAnyPart& row = any_part.At(i);
    if (row.cycle_idx.empty()) continue;
    double x = row.Quantity;
    for (const int32_t c : row.cycle_idx) x -= cycle.At(c).Quantity;
    if (std::fabs(x) <= kZeroTolerance) x = 0.0;
    if (x < -kZeroTolerance) {
      any_part.ErrorCode = kCutCyclesOverlap;
      return;
    }
    row.Quantity = x;
  }
}

}  // namespace orlix
