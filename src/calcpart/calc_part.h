// TCalcPart: the batch (party) calculation engine. A stored procedure loads
// parties on hand, open consumptions, open returns, stored splits, fix kinds
// and priorities; Execute splits consumptions and returns by party in date
// order and leaves its results in PartSpec (which party each consumption
// took) and RetSpec (which party each return gave back), the parties left in
// Remains, and what found no party or consumption in XPart and XRet.
//
// What holds after Execute, for rows the engine made (cp 0), up to the zero
// tolerance (the tests check these on every scenario):
//   1. per consumption document: quantity loaded = PartSpec booked for it +
//      XPart left for it;
//   2. per return document: quantity loaded = RetSpec booked for it + XRet
//      left for it;
//   3. per place: parties left = parties loaded + RetSpec booked there +
//      PartSpec of moves arriving there (booked at the move's source, ci the
//      destination) - PartSpec booked there: goods taken back by a return
//      reappear as a party, goods taken by a move reappear at its destination,
//      nothing else is made or lost;
//   4. no result row holds a quantity at or below the zero tolerance, and
//      every list is in its default order.
#ifndef ORLIX_CALCPART_CALC_PART_H_
#define ORLIX_CALCPART_CALC_PART_H_

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "calcpart/calcpart_rows.h"
#include "calcpart/move_cycles.h"
#include "frame/format.h"
#include "frame/registry.h"

namespace orlix {

class TCalcPart final : public TObject {
 public:
  // Name in the thread's object registry.
  static constexpr const char* kRegistryName = "CalcPart";
  // Nesting bound of the immediate allocation of returned or moved goods.
  static constexpr int kDepthLimit = 1000;
  // Bound of the rounds of steps S2 to S5 in one pass.
  static constexpr int kMaxRounds = 1000;

  TCalcPart();            // writes "TCalcPart.Create"
  ~TCalcPart() override;  // writes "TCalcPart.Destroy"

  // Empties the data lists; the fix kinds too when mode < 1.
  void Clear(int32_t mode);
  // Sorts and folds the fix kinds so that their lookups bisect.
  void FixKindSort() { FixKind.MergeDuplicates(); }
  void Print(TLines& lines) const;
  void Execute();

  // The lists, in the order the engine owns them.
  TLines Text;  // not used by the calculation; Clear empties it
  TFixKindList FixKind;
  TRemainsList Remains;
  TXPartList XPart;
  TXRetList XRet;
  TPartSpecList PartSpec;
  TRetSpecList RetSpec;
  TXRetList tmpXRet;
  TMoveLinkList MoveLinks;
  TTXRetList RetRefs;
  TTPartSpecList SpecRefs;
  bool Changed = false;

  // Common rules, public for the tests of the steps.
  bool CanTake(const TXPart& x, const TRemains& r, bool ignore_dates) const;
  void RecalcLinks();

  // The steps of Execute.
  void MatchReturns(bool second_pass);
  void AllocateFifo();
  void ResolveMoveCycles();
  void RerouteReturns();
  void SwapFixedParties();

 private:
  using RowsByKey = std::unordered_map<uint64_t, std::vector<TXRet*>>;

  // Lets party r reach consumption x through a consumption whose goods came
  // back by a return, or through a move there and back; lowers t (and r) by
  // what it placed and books it all. level is the first candidate examined.
  void SubstituteChain(double& t, TXPart& x, TRemains& r, int32_t level);
  void BuildChainIndex();
  void CollectChainCandidates(const TXPart& x, const TRemains& r);
  bool BetterOutgoing(const TXPart& a2, const TXPart& b, const TRemains& r, double u) const;
  // A party row outside every list, priced by the priority of (dk, ot).
  TRemains TemporaryParty(int32_t dh, int32_t mdh, double d, int32_t pi, int32_t ci, int32_t ot, int32_t dk, double q,
                          double rub, double cur, int32_t th) const;

  void BuildMoveLinks();
  void ApplyMoveLoops();
  bool ApplyCycle(TMoveLoopList& loop);
  TPartSpec* CycleParty(const TMoveLoopList& loop);
  TPartSpec* RerouteCandidate(const TXRet& y, const TXPart& x);
  void RerouteReturn(TXRet& y, TXPart& x);
  void SwapForConsumption(TXPart& x);
  int FirstAtPlace(const TBaseList& list, int32_t pi, bool remains) const;

  void AllocatePair(TXPart& x, TRemains& r);
  // The walk of step S2 for one party: the consumptions of its place in
  // XPart order. Nested walks (immediate allocation) count depth per row.
  void AllocateParty(TRemains& r, bool nested);
  void AddIncome(int32_t dh, int32_t mdh, double d, int32_t pi, int32_t ot, int32_t dk, double q, double rub,
                 double cur, int32_t th, int32_t ci);
  void AddRemains(int32_t dh, int32_t mdh, double d, int32_t pi, int32_t ot, int32_t dk, double q, double rub,
                  double cur, int32_t th, int32_t ci);
  void BookConsumption(const TXPart& x, int32_t idh, int32_t mdh, double bd, int32_t bot, double q, int32_t pci);
  void BookReturn(const TXRet& y, const TXPart& x, int32_t idh, int32_t mdh, double q);
  // Inserts a split in PartSpec's order (steps S3 to S5) with the fields of
  // from (a consumption or a split); a walk over PartSpec stays on its row.
  template <class Row>
  void InsertSpec(const Row& from, int32_t idh, int32_t mdh, double q, int32_t pci, double bd, int32_t bot) {
    const int at = PartSpec.AppendSorted(from.dh, idh, mdh, q, from.d, from.pi, from.ot, from.dk, from.fix, from.rub,
                                         from.cur, from.th, from.ci, pci, bd, bot);
    if (spec_walk_ && at <= *spec_walk_) ++*spec_walk_;
    if (spec_by_place_) NoteInsertedSpec(at);
  }
  // Puts the split inserted at a position into spec_by_place_, after the
  // nearest row of its place before it, as the list has it.
  void NoteInsertedSpec(int at);
  void MergeAll();

  // State of step S2.
  bool allocating_ = false;
  int depth_ = 0;
  int depth_limit_ = kDepthLimit;
  // The party a move is taking from, and what came back to it meanwhile.
  TRemains* watched_ = nullptr;
  double refilled_ = 0.0;
  bool fixed_moves_ = false;  // some fix kind is 2: arrivals re-book fixed splits
  // The consumptions of each place in XPart order: a party can only be taken
  // at its own place, so its walk tries these rows, in the same order, and
  // skips nothing it could take.
  std::unordered_map<int32_t, std::vector<TXPart*>> place_rows_;
  // The returns tied to each open consumption (odh, mdh), in XRet order.
  RowsByKey returns_of_;
  // Chain candidates by place, in list order: returns tied to a consumption
  // of the place, moves leaving it. Built on first use in each step.
  bool chain_index_ = false;
  std::unordered_map<int32_t, std::vector<TXRet*>> chain_returns_;
  std::unordered_map<int32_t, std::vector<TXPart*>> chain_moves_;
  // The same moves by (from place, to place), for the way back of a move.
  std::unordered_map<uint64_t, std::vector<TXPart*>> chain_routes_;
  // State of steps S3 to S5: splits are inserted in order, S5 sets Changed.
  bool insert_sorted_ = false;
  bool swapping_ = false;
  int* spec_walk_ = nullptr;  // position of a walk over PartSpec, kept on its row
  // Step S4: the splits of each place in PartSpec order (a return's
  // candidates are all of its place), kept in step with the inserts.
  std::unordered_map<int32_t, std::vector<TPartSpec*>>* spec_by_place_ = nullptr;
};

}  // namespace orlix

#endif  // ORLIX_CALCPART_CALC_PART_H_
