// Row lists of the write-off engine: how each sorts (by sort mode), appends
// from plain values and looks rows up, and the operations of their own:
// payment consumption (CutPay, RestOf), the search for the next portion of a
// chain (FindAnyPart) and the linking of return portions (LinkReturns).
// The chain list and the cycle search live in cut_chain.h.
#ifndef ORLIX_CUT_CUT_LISTS_H_
#define ORLIX_CUT_CUT_LISTS_H_

#include <cstdint>
#include <utility>
#include <vector>

#include "cut/cut_rows.h"
#include "lists/row.h"

namespace orlix {

// Result codes of a calculation; the AnyPart list carries the code of a run.
enum CutResult : int32_t {
  kCutDone = 0,
  kCutNothing = 1,               // no party row, or nothing could be written off
  kCutClosesCycle = 4,           // a chain handed to cutting closes a cycle
  kCutReturnTooLarge = 8,        // a return row exceeds what is left of its party
  kCutNoPartner = 16,            // a return marker found no partner
  kCutPartUnpaid = 32,           // payments of a party's outgoing document fall short
  kCutReturnUnpaid = 64,         // payments of a return's document fall short
  kCutCycleStartOutside = 129,   // cycle start not inside the chain
  kCutCyclesOverlap = 130,       // cycles take more than a row holds
  kCutZeroCycle = 131,           // a cycle found with quantity exactly 0
  kCutZeroStoredCycle = 132,     // a stored cycle with quantity exactly 0
  kCutMemberWithQuantity = 133,  // a cycle member row with a quantity
  kCutSearchTooLarge = 256,      // the chain search ran past its step or cycle-row limit
};

// Sort modes of the lists that have more than their rows' own order.
inline constexpr int kSortByDateKind = 2;  // parties: d, dk rank, dh, mdh; payments: dh, pd, ad, ph, ah
inline constexpr int kSortByDate = 3;      // parties: d, dh, mdh; returns: d, dh, odh, mdh
inline constexpr int kSortByKey = 1;       // any mode without an order of its own: the rows' key

class TCutPartSpecList final : public TRowList<TCutPartSpec> {
 public:
  static constexpr int kSize = 100;
  TCutPartSpecList(int size = kSize, int capacity = kSize) : TRowList(size, capacity) {}

  int Append(int32_t dh, int32_t mdh, double q, double d, int32_t pi, int32_t ot, int32_t dk, int32_t ci, int32_t cp);
  int FindKey(int32_t dh, int32_t mdh);
  int CompareItems(const TBaseItem& a, const TBaseItem& b) const override;

 protected:
  void SortRange(int lo, int hi) override;
};

class TCutRetSpecList final : public TRowList<TCutRetSpec> {
 public:
  static constexpr int kSize = 10;
  TCutRetSpecList(int size = kSize, int capacity = kSize) : TRowList(size, capacity) {}

  int Append(int32_t dh, int32_t odh, int32_t mdh, double q, double d, int32_t pi, int32_t ci, int32_t cp);
  int FindKey(int32_t dh, int32_t odh, int32_t mdh);
  // First row at or after start returning shipment out_doc_head of the party
  // from move_doc_head, in list order; -1 when start is off the rows or none.
  int FindReturn(int32_t out_doc_head, int32_t move_doc_head, int start) const;
  int CompareItems(const TBaseItem& a, const TBaseItem& b) const override;

 protected:
  void SortRange(int lo, int hi) override;
};

class TCutOutDocPayList final : public TRowList<TCutOutDocPay> {
 public:
  static constexpr int kSize = 10;
  TCutOutDocPayList(int size = kSize, int capacity = kSize) : TRowList(size, capacity) {}

  int Append(int32_t dh, int32_t ph, int32_t ah, double pd, double ad, double q);
  // Every payment unused again: cq 0, rest q.
  void ResetPay();
  // What is left of the payments of outgoing document dh.
  double RestOf(int32_t dh);
  // Takes amount from the payments of dh, oldest first; true when all of it
  // was covered. What was taken stays taken when it was not.
  bool CutPay(int32_t dh, double amount);
  // New: payments that were used and name a payment document.
  void SetNew() override;
  int CompareItems(const TBaseItem& a, const TBaseItem& b) const override;

 protected:
  void SortRange(int lo, int hi) override;

 private:
  // Sorts by dh, pd, ad, ph, ah unless so sorted; the first row of dh on.
  int FirstOf(int32_t dh);
};

// The portions that chains are made of, in party order (oldest first). Finds
// the next portion of a chain through an index of portions by the document
// their party came from, trying rows in exactly the list order.
class TCutAnyPartList final : public TRowList<TCutAnyPart> {
 public:
  static constexpr int kSize = 10;
  // Filters of FindAnyPart.
  static constexpr int kSkipDeleted = 1;
  static constexpr int kSkipEmpty = 2;
  static constexpr int kSkipMarkers = 4;

  TCutAnyPartList(int size = kSize, int capacity = kSize) : TRowList(size, capacity) {}

  // Appends a portion (New set, no link, no cycle), then sets its Deleted.
  int Add(TCutPartSpec* part, TCutRetSpec* ret, double q, bool deleted);
  // Marks the portions returned by the very document their goods came
  // through, and links each to a partner portion of that return document;
  // ErrorCode 16 when one finds none.
  void LinkReturns();
  // First row from start on whose party came from key (by_move_doc) or is in
  // document key, passing the filters; -1 when none or start is off the rows.
  // probes, when given, grows by the rows looked at.
  int FindAnyPart(int32_t key, bool by_move_doc, int start, int flags, int64_t* probes = nullptr) const;
  // The same search by source document for the row that follows portion
  // after in a chain (-1: a chain's first row), that is with key
  // After(after).DocHeadOf() or -1; the index keeps each row's followers.
  int FindNextOf(int after, int start, int flags, int64_t* probes = nullptr) const;
  // Empties the cycle lists of every pooled row, then the list.
  void Clear() override;

  int32_t ErrorCode = 0;

 private:
  using Range = std::pair<int32_t, int32_t>;  // [begin, end) in by_move_doc_

  bool Passes(const TCutAnyPart& row, int flags) const;
  void BuildIndex() const;
  Range RangeOf(int32_t move_doc_head) const;
  // First row of range from list position start on that passes the filters.
  int FindInRange(Range range, int start, int flags, int64_t* probes) const;

  // Positions of the rows grouped by their party's mdh, ascending within a
  // group, and for each row the group of rows that follow it (those that
  // came from its DocHeadOf); rebuilt on the first search after rows were
  // added or cleared.
  mutable bool index_valid_ = false;
  mutable std::vector<int32_t> by_move_doc_;
  mutable std::vector<std::pair<int32_t, int32_t>> keyed_;  // (mdh, position), scratch of BuildIndex
  mutable std::vector<int32_t> move_docs_;                  // the distinct mdh, ascending
  mutable std::vector<Range> move_doc_ranges_;              // the group of each
  mutable std::vector<Range> next_of_;
  mutable Range roots_{0, 0};
};

class TCutDocSpecList final : public TRowList<TCutDocSpec> {
 public:
  static constexpr int kSize = 10;
  TCutDocSpecList(int size = kSize, int capacity = kSize) : TRowList(size, capacity) {}

  int Append(int32_t dh, int32_t doclist, double q, double cq);
  // New: rows something was written off from.
  void SetNew() override;
};

class TCutDocHeadList final : public TRowList<TCutDocHead> {
 public:
  static constexpr int kSize = 10;
  TCutDocHeadList(int size = kSize, int capacity = kSize) : TRowList(size, capacity) {}

  int Append(int32_t dh);
};

class TCutCycleList final : public TRowList<TCutCycle> {
 public:
  static constexpr int kSize = 10;
  TCutCycleList(int size = kSize, int capacity = kSize) : TRowList(size, capacity) {}

  int Append(int32_t n, double q);
  // One line per cycle: " idx=%d n=%d q=%g del=%d AP=[members]"; " nil"
  // when there is none.
  void PrintCycles(TLines& lines) const;
};

}  // namespace orlix

#endif  // ORLIX_CUT_CUT_LISTS_H_
