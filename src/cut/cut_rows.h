// Rows of the write-off engine. Party rows (quantities of goods per document
// and the document they came from), return rows, payment rows, the working
// portions of parties that chains are made of, chain elements, cycles, and
// the two result rows per document head. Field names are the short labels
// the rows print.
#ifndef ORLIX_CUT_CUT_ROWS_H_
#define ORLIX_CUT_CUT_ROWS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "lists/row.h"

namespace orlix {

// x := x - y, then exactly 0 when what is left lies within the zero tolerance.
void SnappedSubtract(double& x, double y);

// Document kinds that steer the calculation.
inline constexpr int32_t kDkOutgoing = 1;    // ends a chain; may have returns and payments
inline constexpr int32_t kDkFirstOfDay = 2;  // sorts first among rows of one date
inline constexpr int32_t kDkNeverCut = 11;   // never written off
// Operation type of a party whose chains are written off against returns.
inline constexpr int32_t kOtReturn = 1;
// Document head meaning none.
inline constexpr int32_t kNoDocHead = -1;

// Party row: a quantity of goods in document dh that came from document mdh
// (-1: a receipt from outside, the root of a chain).
class TCutPartSpec final : public TRow<TCutPartSpec> {
 public:
  void AddQuantities(const TCutPartSpec& other) { Quantity += other.Quantity; }
  // "id=%d del=%d new=%d dh=%d mdh=%d q=%g cq=%g d=%s pi=%d ot=%d dk=%d ci=%d cp=%d".
  std::string PrintLine() const;

  int32_t dh = 0;
  int32_t mdh = kNoDocHead;
  double d = 0.0;
  int32_t pi = 0;
  int32_t ot = 0;
  int32_t dk = 0;
  int32_t ci = 0;
  double rq = 0.0;  // part of Quantity matched to return rows
  int32_t cp = 0;
  double cq = 0.0;  // written off by the last calculation

  using Order = KeyOrder<Asc<&TCutPartSpec::dh>, Asc<&TCutPartSpec::mdh>>;
};

// Return row: quantity returned by document dh against shipment odh, of the
// party that came to the shipment from mdh.
class TCutRetSpec final : public TRow<TCutRetSpec> {
 public:
  void AddQuantities(const TCutRetSpec& other) { Quantity += other.Quantity; }
  // "id=%d del=%d new=%d dh=%d odh=%d mdh=%d q=%g cq=%g d=%s pi=%d ci=%d cp=%d".
  std::string PrintLine() const;

  int32_t dh = 0;
  int32_t odh = 0;
  int32_t mdh = kNoDocHead;
  double d = 0.0;
  int32_t pi = 0;
  int32_t ci = 0;
  int32_t cp = 0;
  double cq = 0.0;

  using Order = KeyOrder<Asc<&TCutRetSpec::dh>, Asc<&TCutRetSpec::odh>, Asc<&TCutRetSpec::mdh>>;
};

// Payment row of outgoing document dh: payment ph (account ah, -1 none).
class TCutOutDocPay final : public TRow<TCutOutDocPay> {
 public:
  void AddQuantities(const TCutOutDocPay& other) { Quantity += other.Quantity; }
  // "id=%d del=%d new=%d dh=%d ph=%d pd=%s ah=%d ad=%s q=%g cq=%g".
  std::string PrintLine() const;

  int32_t dh = 0;
  int32_t ph = 0;
  int32_t ah = kNoDocHead;
  double pd = 0.0;
  double ad = 0.0;
  double cq = 0.0;    // used by the last calculation
  double rest = 0.0;  // not used yet

  using Order = KeyOrder<Asc<&TCutOutDocPay::dh>, Asc<&TCutOutDocPay::ph>, Asc<&TCutOutDocPay::ah>>;
};

// Working row: a portion of one party row, optionally the portion that one
// return row brought back. Quantity is what is still to be written off.
class TCutAnyPart final : public TRow<TCutAnyPart> {
 public:
  // No link to a return portion / the row is a return marker (reached only
  // through the link of its partner).
  static constexpr int32_t kNoLink = -1;
  static constexpr int32_t kReturnMarker = -100;

  void AddQuantities(const TCutAnyPart& other) { Quantity += other.Quantity; }
  // "id=%d del=%d new=%d dh=%d mdh=%d rdh=%s q=%g d=%s rd=%s c_ret_idx=%d",
  // then " cycle_idx=[i,j]" when the row belongs to cycles.
  std::string PrintLine() const;
  // Only the quantity decides: a Deleted portion still holds goods.
  bool IsEmpty() const override { return Quantity <= kZeroTolerance && Quantity >= -kZeroTolerance; }
  // The document where the portion's goods are now: the return document for
  // a returned portion, else the party's own document. Rows whose party came
  // from there continue the chain.
  int32_t DocHeadOf() const { return ret ? ret->dh : part->dh; }

  TCutPartSpec* part = nullptr;    // not owned
  TCutRetSpec* ret = nullptr;      // not owned; none for a portion not returned
  int32_t c_ret_idx = kNoLink;     // >= 0: position of the linked return portion
  std::vector<int32_t> cycle_idx;  // positions of the cycle headers the row is in

  using Order = KeyOrder<>;  // the list is never sorted
};

// One element of a chain: a position in the AnyPart list.
class TCutChain final : public TRow<TCutChain> {
 public:
  void AddQuantities(const TCutChain& /*other*/) {}
  // "idx=%d id=%d del=%d new=%d q=%g".
  std::string PrintLine() const;

  int32_t idx = 0;

  using Order = KeyOrder<Asc<&TCutChain::idx>>;
};

// Result row per document head: its quantity and what was written off, and
// the source list of the row (2 parties, 3 returns, 4 payments).
class TCutDocSpec final : public TRow<TCutDocSpec> {
 public:
  void AddQuantities(const TCutDocSpec& other) {
    Quantity += other.Quantity;
    cq += other.cq;
  }
  // "id=%d del=%d new=%d dh=%d q=%g cq=%g ".
  std::string PrintLine() const;

  int32_t dh = 0;
  int32_t doclist = 0;
  double cq = 0.0;

  using Order = KeyOrder<Asc<&TCutDocSpec::dh>>;
};

// Result row naming one document head the calculation touched; q is 1.
class TCutDocHead final : public TRow<TCutDocHead> {
 public:
  void AddQuantities(const TCutDocHead& /*other*/) {}
  // "id=%d del=%d new=%d dh=%d ".
  std::string PrintLine() const;
  // Deleted, or no document (dh below 0).
  bool IsEmpty() const override { return Deleted || dh < 0; }

  int32_t dh = 0;

  using Order = KeyOrder<Asc<&TCutDocHead::dh>>;
};

// Row of a cycle list: a header (n members, q the cycle quantity, above 0,
// Deleted when the cycle can no longer be used) followed by its n members
// (n the member's AnyPart position, q 0).
class TCutCycle final : public TRow<TCutCycle> {
 public:
  void AddQuantities(const TCutCycle& /*other*/) {}
  std::string PrintLine() const;

  int32_t n = 0;

  using Order = KeyOrder<>;  // the list is never sorted
};

}  // namespace orlix

#endif  // ORLIX_CUT_CUT_ROWS_H_
