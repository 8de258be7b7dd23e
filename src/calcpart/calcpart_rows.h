// Rows and lists of the batch calculation engine: fix kinds, priorities,
// parties (TRemains), open consumptions (TXPart) and returns (TXRet), the
// result splits (TPartSpec, TRetSpec) and the reference rows the engine
// collects candidates in. Each list knows its sort modes, its keyed
// quantity read and its integer fields by name.
//
// References between rows (TXRet::xp, TTPartSpec::row, TTXRet::row) are plain
// pointers to list records: a record object never moves while it is in its
// list's pool (sorting, merging and growth exchange pointers only), so a
// reference stays valid for as long as the rows it joins are in use.
#ifndef ORLIX_CALCPART_CALCPART_ROWS_H_
#define ORLIX_CALCPART_CALCPART_ROWS_H_

#include <cstdint>
#include <string>

#include "lists/row.h"

namespace orlix {

// The row type a key function takes.
template <class F>
struct FirstArgument;
template <class R, class A>
struct FirstArgument<R (*)(const A&)> {
  using type = A;
};

// Quantities at most this are used up (the engines' zero tolerance).
inline constexpr double kEps = kZeroTolerance;
// Document heads: -1 means none (no move, no base document).
inline constexpr int32_t kNoDoc = -1;
// Pool size and growth step of the priority list a party list owns.
inline constexpr int kPriorityListSize = 10;

// Key parts on a value derived from the row: fn(row) compared ascending or
// descending. They name their value, so sorts may copy it beside the record.
template <auto Fn, int kDirection>
struct DerivedPart {
  template <class Row>
  static auto Get(const Row& row) {
    return Fn(row);
  }
  using Value = decltype(Fn(std::declval<const typename FirstArgument<decltype(Fn)>::type&>()));
  static int CompareValues(Value a, Value b) { return kDirection * Compare3(a, b); }
  template <class Row>
  static int Compare(const Row& a, const Row& b) {
    return CompareValues(Fn(a), Fn(b));
  }
};
template <auto Fn>
using AscBy = DerivedPart<Fn, 1>;
template <auto Fn>
using DescBy = DerivedPart<Fn, -1>;

// ---- Fix kinds -------------------------------------------------------------------

class TFixKindItem final : public TRow<TFixKindItem> {
 public:
  TFixKindItem() { Quantity = 1.0; }
  void AddQuantities(const TFixKindItem&) {}
  std::string PrintLine() const;

  int32_t dh = 0;
  int32_t bdh = kNoDoc;  // base document; -1 in the catch-all row of dh
  int32_t k = 0;

  using Order = KeyOrder<Asc<&TFixKindItem::dh>, Asc<&TFixKindItem::bdh>>;
};

class TFixKindList final : public TRowList<TFixKindItem> {
 public:
  TFixKindList(int size, int capacity) : TRowList(size, capacity) {}
  // Adds (dh, bdh, k) and the catch-all (dh, -1, 0); returns the first's index.
  int Append(int32_t dh, int32_t bdh, int32_t k);
  // k of (dh, bdh); -1 when absent.
  int32_t Lookup(int32_t dh, int32_t bdh) const;
  // Whether dh was ever appended.
  bool Exists(int32_t dh) const { return Lookup(dh, kNoDoc) != -1; }
  // Whether any row has kind 2 (a party followed to its newest place).
  bool HasKind2() const;

 private:
  int Find2(int32_t dh, int32_t bdh) const;
};

// ---- Priorities -------------------------------------------------------------------

class TPriorityInItem final : public TRow<TPriorityInItem> {
 public:
  void AddQuantities(const TPriorityInItem&) {}
  std::string PrintLine() const;

  int32_t dk = 0;
  int32_t ot = 0;
  int32_t p = -1;
  int32_t pfm = -1;

  using Order = KeyOrder<Asc<&TPriorityInItem::dk>, Asc<&TPriorityInItem::ot>>;
};

class TPriorityInList final : public TRowList<TPriorityInItem> {
 public:
  TPriorityInList(int size, int capacity) : TRowList(size, capacity) {}
  int Append(int32_t dk, int32_t ot, int32_t p, int32_t pfm);
  // Index of (dk, ot) or -1.
  int Find(int32_t dk, int32_t ot) const;
  // p and pfm of (dk, ot); both -1 when absent.
  void Priority(int32_t dk, int32_t ot, int32_t& p, int32_t& pfm) const;

 private:
  // Lookups work on a key row of their own, so that a lookup made while the
  // work item is being filled does not disturb it.
  mutable TPriorityInItem key_;
};

// ---- Parties ------------------------------------------------------------------------

class TRemains final : public TRow<TRemains> {
 public:
  void AddQuantities(const TRemains& other) { Quantity += other.Quantity; }
  std::string PrintLine() const;

  int32_t dh = 0;
  int32_t mdh = kNoDoc;
  double d = 0.0;
  int32_t pi = 0;
  int32_t ot = 0;
  int32_t dk = 0;
  int32_t p = -1;
  int32_t pfm = -1;
  double rub = 0.0;
  double cur = 0.0;
  int32_t th = -1;
  int32_t ci = 0;
  double fq = 0.0;

  using Order = KeyOrder<Asc<&TRemains::dh>, Asc<&TRemains::mdh>>;
};

class TRemainsList final : public TRowList<TRemains> {
 public:
  enum Mode : int32_t { kByDate = 1, kByPlaceDate = 2 };

  TRemainsList(int size, int capacity);
  int CompareItems(const TBaseItem& a, const TBaseItem& b) const override;
  // Sorts by the current mode with the mode's order inlined.
  void SortRange(int lo, int hi) override;

  int Append(int32_t dh, int32_t mdh, double d, int32_t pi, int32_t ot, int32_t dk, double q, double rub, double cur,
             int32_t th, int32_t ci);
  // The same through AddSorted.
  int AppendSorted(int32_t dh, int32_t mdh, double d, int32_t pi, int32_t ot, int32_t dk, double q, double rub,
                   double cur, int32_t th, int32_t ci);
  // Fills dh, mdh, d, pi and the priority of (dk, ot) into the work item and
  // searches under the current order (the place counts where the order
  // starts with it).
  int Find(int32_t dh, int32_t mdh, double d, int32_t pi, int32_t dk, int32_t ot);
  double GetQuantity(int32_t dh, int32_t mdh);
  int32_t GetFieldInteger(const std::string& field_name) const override;

  TPriorityInList& Priorities() { return priorities_; }
  const TPriorityInList& Priorities() const { return priorities_; }

 private:
  TRemains& Fill(int32_t dh, int32_t mdh, double d, int32_t pi, int32_t ot, int32_t dk, double q, double rub,
                 double cur, int32_t th, int32_t ci);

  TPriorityInList priorities_;
};

// ---- Consumptions -----------------------------------------------------------------

class TXPart final : public TRow<TXPart> {
 public:
  void AddQuantities(const TXPart& other) { Quantity += other.Quantity; }
  std::string PrintLine() const;

  int32_t dh = 0;
  int32_t mdh = kNoDoc;
  double d = 0.0;
  int32_t pi = 0;
  int32_t ot = 0;
  int32_t dk = 0;
  bool fix = false;
  int32_t p = -1;
  double rub = 0.0;
  double cur = 0.0;
  int32_t th = -1;
  int32_t ci = 0;
  double rq = 0.0;  // quantity returned against the row
  double lq = 0.0;  // part of a move not yet linked to a following move

  using Order = KeyOrder<Asc<&TXPart::dh>, Asc<&TXPart::mdh>>;
};

class TFixKindList;

class TXPartList final : public TRowList<TXPart> {
 public:
  enum Mode : int32_t { kFifo = 1, kLatestFirst = 2, kMovesFirst = 3 };

  TXPartList(int size, int capacity, const TFixKindList& fix_kinds) : TRowList(size, capacity), fix_kinds_(fix_kinds) {}
  int CompareItems(const TBaseItem& a, const TBaseItem& b) const override;
  // Sorts by the current mode with the mode's order inlined.
  void SortRange(int lo, int hi) override;

  // The fix argument is not used: fix is whether dh has fix kinds.
  int Append(int32_t dh, int32_t mdh, double d, int32_t pi, int32_t ot, int32_t dk, double q, bool fix, int32_t p,
             double rub, double cur, int32_t th, int32_t ci);
  double GetQuantity(int32_t dh, int32_t mdh);
  int32_t GetFieldInteger(const std::string& field_name) const override;

 private:
  const TFixKindList& fix_kinds_;
};

// ---- Returns ----------------------------------------------------------------------

class TXRet final : public TRow<TXRet> {
 public:
  void AddQuantities(const TXRet& other) { Quantity += other.Quantity; }
  std::string PrintLine() const;

  int32_t dh = 0;
  int32_t odh = kNoDoc;
  int32_t mdh = kNoDoc;
  double d = 0.0;
  int32_t pi = 0;
  bool fix = false;
  double rub = 0.0;
  double cur = 0.0;
  int32_t th = -1;
  int32_t ci = 0;
  TXPart* xp = nullptr;  // the open consumption this return takes back

  using Order = KeyOrder<Asc<&TXRet::dh>, Asc<&TXRet::odh>, Asc<&TXRet::mdh>>;
};

class TXRetList final : public TRowList<TXRet> {
 public:
  enum Mode : int32_t { kFifo = 1, kLatestFirst = 2, kLinkedFirst = 3 };

  TXRetList(int size, int capacity, const TFixKindList& fix_kinds) : TRowList(size, capacity), fix_kinds_(fix_kinds) {}
  int CompareItems(const TBaseItem& a, const TBaseItem& b) const override;
  // Sorts by the current mode with the mode's order inlined.
  void SortRange(int lo, int hi) override;

  int Append(int32_t dh, int32_t odh, int32_t mdh, double d, int32_t pi, double q, bool fix, double rub, double cur,
             int32_t th, int32_t ci);
  double GetQuantity(int32_t dh, int32_t odh, int32_t mdh);
  int32_t GetFieldInteger(const std::string& field_name) const override;

 private:
  const TFixKindList& fix_kinds_;
};

// ---- Party splits (PartSpec) --------------------------------------------------

class TPartSpec final : public TRow<TPartSpec> {
 public:
  void AddQuantities(const TPartSpec& other) { Quantity += other.Quantity; }
  std::string PrintLine() const;

  int32_t dh = 0;
  int32_t idh = 0;
  int32_t mdh = kNoDoc;
  double d = 0.0;
  int32_t pi = 0;
  int32_t ot = 0;
  int32_t dk = 0;
  bool fix = false;
  int32_t fk = -1;
  double rub = 0.0;
  double cur = 0.0;
  int32_t th = -1;
  int32_t ci = 0;
  int32_t pci = -1;  // counterpart of the consumed party
  double bd = 0.0;   // date of the consumed party
  int32_t bot = -1;  // ot of the consumed party
  double rq = 0.0;
  int32_t cp = 0;  // set by the caller on rows it loaded

  using Order = KeyOrder<Asc<&TPartSpec::dh>, Asc<&TPartSpec::idh>, Asc<&TPartSpec::mdh>>;
};

class TPartSpecList final : public TRowList<TPartSpec> {
 public:
  enum Mode : int32_t { kLatestFirst = 2, kByBaseDate = 3, kFixedByPlace = 4 };

  TPartSpecList(int size, int capacity, const TFixKindList& fix_kinds)
      : TRowList(size, capacity), fix_kinds_(fix_kinds) {}
  int CompareItems(const TBaseItem& a, const TBaseItem& b) const override;
  // Sorts by the current mode with the mode's order inlined.
  void SortRange(int lo, int hi) override;

  int Append(int32_t dh, int32_t idh, int32_t mdh, double q, double d, int32_t pi, int32_t ot, int32_t dk, bool fix,
             double rub, double cur, int32_t th, int32_t ci, int32_t pci, double bd, int32_t bot);
  int AppendSorted(int32_t dh, int32_t idh, int32_t mdh, double q, double d, int32_t pi, int32_t ot, int32_t dk,
                   bool fix, double rub, double cur, int32_t th, int32_t ci, int32_t pci, double bd, int32_t bot);
  double GetQuantity(int32_t dh, int32_t idh, int32_t mdh);
  int32_t GetFieldInteger(const std::string& field_name) const override;
  // Only rows the engine made (cp 0) are offered as new.
  void SetNew() override;

 private:
  TPartSpec& Fill(int32_t dh, int32_t idh, int32_t mdh, double q, double d, int32_t pi, int32_t ot, int32_t dk,
                  double rub, double cur, int32_t th, int32_t ci, int32_t pci, double bd, int32_t bot);

  const TFixKindList& fix_kinds_;
};

// ---- Return splits (RetSpec) ---------------------------------------------------

class TRetSpec final : public TRow<TRetSpec> {
 public:
  void AddQuantities(const TRetSpec& other) { Quantity += other.Quantity; }
  std::string PrintLine() const;

  int32_t dh = 0;
  int32_t odh = 0;
  int32_t idh = 0;
  int32_t mdh = kNoDoc;
  double d = 0.0;
  int32_t pi = 0;
  bool fix = false;
  double rub = 0.0;
  double cur = 0.0;
  int32_t th = -1;
  int32_t ci = 0;
  int32_t cp = 0;

  using Order = KeyOrder<Asc<&TRetSpec::dh>, Asc<&TRetSpec::odh>, Asc<&TRetSpec::idh>, Asc<&TRetSpec::mdh>>;
};

class TRetSpecList final : public TRowList<TRetSpec> {
 public:
  TRetSpecList(int size, int capacity, const TFixKindList& fix_kinds)
      : TRowList(size, capacity), fix_kinds_(fix_kinds) {}

  int Append(int32_t dh, int32_t odh, int32_t idh, int32_t mdh, double q, double d, int32_t pi, bool fix, double rub,
             double cur, int32_t th, int32_t ci);
  double GetQuantity(int32_t dh, int32_t odh, int32_t idh, int32_t mdh);
  int32_t GetFieldInteger(const std::string& field_name) const override;
  // Only rows the engine made (cp 0) are offered as new.
  void SetNew() override;

 private:
  const TFixKindList& fix_kinds_;
};

// ---- Reference rows ---------------------------------------------------------------

class TTPartSpec final : public TRow<TTPartSpec> {
 public:
  TTPartSpec() { Quantity = 1.0; }
  void AddQuantities(const TTPartSpec&) {}
  // The referenced row in the TPartSpec format, with this row's id, new, del.
  std::string PrintLine() const;

  TPartSpec* row = nullptr;

  using Order = KeyOrder<>;
};

class TTPartSpecList final : public TRowList<TTPartSpec> {
 public:
  enum Mode : int32_t { kByBaseDate = 1 };

  TTPartSpecList(int size, int capacity) : TRowList(size, capacity) {}
  int CompareItems(const TBaseItem& a, const TBaseItem& b) const override;
  int Add(TPartSpec& row);
};

class TTXRet final : public TRow<TTXRet> {
 public:
  TTXRet() { Quantity = 1.0; }
  void AddQuantities(const TTXRet&) {}
  // The base line: "ID=%d  Deleted=%d".
  std::string PrintLine() const;

  TXRet* row = nullptr;

  using Order = KeyOrder<>;
};

class TTXRetList final : public TRowList<TTXRet> {
 public:
  enum Mode : int32_t { kCandidates = 1 };

  TTXRetList(int size, int capacity) : TRowList(size, capacity) {}
  int CompareItems(const TBaseItem& a, const TBaseItem& b) const override;
  int Add(TXRet& row);
};

}  // namespace orlix

#endif  // ORLIX_CALCPART_CALCPART_ROWS_H_
