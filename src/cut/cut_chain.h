// Chains and cycles of the write-off engine.
//
// A chain is a sequence of AnyPart portions: the first came from outside
// (mdh -1), each next one came from the document where the previous one's
// goods are (DocHeadOf), the last is an outgoing row that was not returned
// (the goods left for good), and no portion occurs twice. A walk that reaches
// a portion already on its chain has found a cycle: goods that come back to
// where they were.
//
// TCutChainList finds the chains depth-first in AnyPart order, one per
// First/Next, holding the current chain as its rows (the explicit stack of
// the walk, so depth costs no call stack). BuildCycles collects the distinct
// cycles before any cutting and sets their quantity aside.
//
// Both are bounded: a walk stops after StepLimit steps (a search, a probed
// row, a row re-examined), and the stored cycles after a cycle-row limit, so
// that documents branching into more paths than anything real, or cycles
// through very many documents, end as a result code instead of a hang.
#ifndef ORLIX_CUT_CUT_CHAIN_H_
#define ORLIX_CUT_CUT_CHAIN_H_

#include <cstdint>
#include <vector>

#include "cut/cut_lists.h"

namespace orlix {

class TCutChainList final : public TRowList<TCutChain> {
 public:
  static constexpr int kSize = 10;
  // Steps one walk may take; a second or two of searching.
  static constexpr int64_t kDefaultStepLimit = 100'000'000;
  // Steps the walk of a report may take, printed elements included: some
  // megabytes of text at most.
  static constexpr int64_t kPrintStepLimit = 1'000'000;

  TCutChainList(int size = kSize, int capacity = kSize) : TRowList(size, capacity) {}

  // Empties the chain and binds it to the portions it is made of (not owned).
  void SetAnyPartList(TCutAnyPartList* list);
  // Appends an element for AnyPart position idx; returns its position.
  int Push(int32_t idx);
  // Position of AnyPart position idx in the chain, or -1.
  int PositionOf(int32_t idx) const;
  // The current chain closes a cycle from CycleStart on; it is no chain.
  bool IsCycle() const { return CycleStart > -1; }
  // The AnyPart row of chain position i.
  TCutAnyPart& Portion(int i) const { return AnyPartList->At(At(i).idx); }

  // The walk: First starts it over, Next hands out the next chain or cycle
  // candidate, or empties the chain when there is none.
  void First() override;
  void Next() override;
  bool Eof() const override { return Count() == 0; }
  void Clear() override;

  // True when the last walk stopped at its step limit, not at its end.
  bool Overran() const { return overran_; }

  // One line: " idx(q)" per element, "[q]" from CycleStart on, "+[cycles]"
  // and "+link{q}" where a portion has them.
  std::string ChainLine() const;
  void PrintChain(TLines& lines) const { lines.push_back(ChainLine()); }
  // "  WithoutDeleted=<0|1>", then every chain of a walk from the start (or
  // "  nil"). Runs the walk, so it leaves the chain empty.
  void Print(TLines& lines) const override;

  int32_t CycleStart = -1;
  bool FirstCall = false;
  TCutAnyPartList* AnyPartList = nullptr;
  int32_t WithoutDeleted = 0;
  int64_t StepLimit = kDefaultStepLimit;

 private:
  // Counts steps; false (and the walk over) once past the limit.
  bool Spend(int64_t steps);
  // Removes the elements from position from on.
  void TruncateTo(int from);
  // Removes the last element; the search goes on at its level: from start,
  // for rows following portion after (-1: first rows), whose source is key.
  void Backtrack(int& start, int32_t& after, int32_t& key);
  // The depth-first search from there.
  void Search(int start, int32_t after, int32_t key);

  // Chain position of each AnyPart position (-1: not on the chain).
  std::vector<int32_t> position_of_;
  int64_t steps_ = 0;
  bool overran_ = false;
};

// Collects the distinct cycles that a walk over every portion (Deleted ones
// too) meets into cycle, each a header and its members, and lists each in
// its members' cycle_idx (work holds the cycle at hand). Then spreads
// Deleted through cycles sharing portions, and takes each cycle's quantity
// off its members. Failures set the AnyPart list's ErrorCode (129 to 133,
// or 256 past the chain's step limit or max_cycle_rows).
void BuildCycles(TCutChainList& chain, TCutAnyPartList& any_part, TCutCycleList& cycle, TCutCycleList& work,
                 int64_t max_cycle_rows);

}  // namespace orlix

#endif  // ORLIX_CUT_CUT_CHAIN_H_
