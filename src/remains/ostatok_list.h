// TOstatokItem / TOstatokList: the rows of the remains engine. A row is one
// movement or one balance: place, pack, size and date as its key, and two
// quantities that are summed alike. A list masks the parts of the key it does
// not keep (date 0, pack -1, size -1), so the same list type serves the input
// and all eight result tables.
#ifndef ORLIX_REMAINS_OSTATOK_LIST_H_
#define ORLIX_REMAINS_OSTATOK_LIST_H_

#include <cstdint>
#include <string>

#include "lists/row.h"

namespace orlix {

class TMovementList;

// The Print line of a remains row: "id=%d  od=%s  pack=%d  rz=%d  pi=%d  q=%g  rq=%g".
std::string OstatokRowLine(int32_t id, double date, int32_t pack, int32_t rz, int32_t placeindex, double quantity,
                           double resquantity);

class TOstatokItem final : public TRow<TOstatokItem> {
 public:
  void AddQuantities(const TOstatokItem& other) {
    Quantity += other.Quantity;
    resquantity += other.resquantity;
  }
  // "id=%d  od=%s  pack=%d  rz=%d  pi=%d  q=%g  rq=%g".
  std::string PrintLine() const;
  // Empty when deleted, or when both quantities are zero within tolerance.
  bool IsEmpty() const override;

  // Quantity (of the base item) is the first quantity, "quantity".
  double ostdate = 0.0;
  int32_t pack = -1;
  int32_t rz = -1;
  int32_t placeindex = 0;
  double resquantity = 0.0;

  // Key order: placeindex, pack, rz, then ostdate; ascending.
  using Order = KeyOrder<Asc<&TOstatokItem::placeindex>, Asc<&TOstatokItem::pack>, Asc<&TOstatokItem::rz>,
                         Asc<&TOstatokItem::ostdate>>;
};

class TOstatokList final : public TRowList<TOstatokItem> {
 public:
  using TRowList::TRowList;
  // What the list keeps of a row's key: false masks date, pack or size.
  TOstatokList(bool use_date, bool use_pack, bool use_rz);

  // Appends a row, masked as the list keeps keys; returns its position.
  int Append(double date, int32_t pack, int32_t rz, int32_t placeindex, double quantity, double resquantity);
  // Appends every row of from with this list's masking, adding a row whose
  // masked key is already here to that row instead (numbered as if
  // appended), so only distinct keys take a record. The rows are left in
  // arrival order: merge the list afterwards to order them and drop the
  // empty ones. Marks the list sorted when from is key-ordered and this
  // list keeps a key prefix.
  // From is a TOstatokList or the engine's TMovementList.
  template <class From>
  void AppendFolding(const From& from);
  // Folds rows of equal key into the first of them to arrive (quantities
  // summed in arrival order), drops the empty ones and leaves the rest in
  // key order. An unsorted list is sorted on keys packed into integers.
  void MergeDuplicates() override;
  // True when the kept key parts are a prefix of (pack, rz, date): rows of a
  // key-ordered list, masked this way, are still in key order.
  bool KeepsKeyPrefix() const { return (UsePack || (!UseRz && !UseDate)) && (UseRz || !UseDate); }
  // The quantity of the row with this (masked) key, 0 when there is none.
  // Moves the cursor to the row found (or to -1) and clears its New flag.
  double GetQuantity(double date, int32_t pack, int32_t rz, int32_t placeindex);
  // The second quantity of the row under the cursor; 0 off the rows.
  double GetResQuantity() const;

  static constexpr int kCapacity = 100;
  static constexpr double kDefaultDate = 0.0;
  static constexpr int32_t kDefaultPack = -1;
  static constexpr int32_t kDefaultRz = -1;

  bool UseDate = true;
  bool UsePack = true;
  bool UseRz = true;

 protected:
  // Own-order sorts compare the key packed into three integers.
  void SortRange(int lo, int hi) override;

 private:
  // Sorts the rows by key, rows of equal key in the order they arrived,
  // and folds them as FoldFrom does: the kept rows come first, in key order,
  // the rest after them. Returns how many are kept.
  int SortAndFoldByArrival();
  // Fills the work item's key with this list's masking.
  TOstatokItem& FillKey(double date, int32_t pack, int32_t rz, int32_t placeindex);
};

}  // namespace orlix

#endif  // ORLIX_REMAINS_OSTATOK_LIST_H_
