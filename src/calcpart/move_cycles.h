// Move links and the search for cycles of moves. A link says that the goods of
// one move (bmd) can feed a following move (md) up to a quantity; the loop
// list walks the links depth first and holds one cycle at a time: a path of
// links that leads back to the move it started from. The engine lowers the
// quantities of a cycle it applies and asks for the next one.
//
// Links refer to consumption rows, loop steps to links, by pointer: records
// never move while they are in their lists' pools.
#ifndef ORLIX_CALCPART_MOVE_CYCLES_H_
#define ORLIX_CALCPART_MOVE_CYCLES_H_

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "calcpart/calcpart_rows.h"
#include "lists/row.h"

namespace orlix {

// Deleted marks a link that is on the current path (the first link too);
// Quantity is not used.
class TMoveLink final : public TRow<TMoveLink> {
 public:
  void AddQuantities(const TMoveLink&) {}
  // "id=%d  del=%d  md=%d  bmd=%d  q=%g", moves shown by their dh.
  std::string PrintLine() const;
  // Not marked, and with quantity left.
  bool Usable() const { return !Deleted && q > kEps; }

  TXPart* md = nullptr;   // the following move
  TXPart* bmd = nullptr;  // the base (preceding) move
  double q = 0.0;         // what can still pass from bmd into md

  // By identity of the two moves; nothing relies on this order.
  struct ByIdentity {
    static int Compare(const TMoveLink& a, const TMoveLink& b);
  };
  using Order = KeyOrder<ByIdentity>;
};

class TMoveLoop final : public TRow<TMoveLoop> {
 public:
  void AddQuantities(const TMoveLoop&) {}
  // "id=%d  del=%d  md=%d  bmd=%d  q=%g  p=%d"; -1 for the moves of the start marker.
  std::string PrintLine() const;

  TMoveLink* link = nullptr;  // none in the start marker
  double q = 0.0;             // smallest link quantity on the path up to here
  int32_t p = -1;             // index of the link in the link list

  using Order = KeyOrder<>;
};

class TMoveLinkList;

// The current path, first step first; empty when no further cycle exists.
class TMoveLoopList final : public TRowList<TMoveLoop> {
 public:
  TMoveLoopList(int size, int capacity, TMoveLinkList& links) : TRowList(size, capacity), links_(links) {}
  int Add(TMoveLink* link, double q, int32_t p);
  // Starts the search afresh and finds the first cycle.
  void First() override;
  // Replaces the path by the next cycle (NextLoop).
  void Next() override;

  // The number of cycles grows exponentially with the links; the search
  // examines at most this many links (over First and every Next) and then
  // ends as if there were no further cycle.
  void SetStepBudget(int64_t steps);
  bool Exhausted() const { return exhausted_; }

 private:
  void NextLoop();
  TMoveLink* LinkOf(int step) const { return At(step).link; }
  const std::vector<int>& Leaving(const TXPart* move) const;
  // Counts one examined link; false (and the path emptied) when the budget is spent.
  bool Spend();

  TMoveLinkList& links_;
  std::unordered_map<const TXPart*, std::vector<int>> leaving_;  // link indexes by base move
  int64_t steps_left_ = INT64_MAX;
  bool exhausted_ = false;
};

class TMoveLinkList final : public TRowList<TMoveLink> {
 public:
  enum Mode : int32_t { kByDate = 1 };
  static constexpr int kLoopSize = 100;
  static constexpr int kLoopCapacity = 20;

  TMoveLinkList(int size, int capacity)
      : TRowList(size, capacity), loops_(std::make_unique<TMoveLoopList>(kLoopSize, kLoopCapacity, *this)) {}
  int CompareItems(const TBaseItem& a, const TBaseItem& b) const override;
  int Add(TXPart& md, TXPart& bmd, double q);
  TMoveLoopList& Loops() { return *loops_; }

 private:
  std::unique_ptr<TMoveLoopList> loops_;
};

}  // namespace orlix

#endif  // ORLIX_CALCPART_MOVE_CYCLES_H_
