// TMovementList: the movements appended to the remains engine before an
// Execute. A procedure appends up to millions of them and reads none back,
// so they are kept as plain rows in one array rather than as pool records:
// an append writes 40 bytes at the end, and the merge sorts and folds the
// array in place.
//
// What can be seen of the list is what a record list of the same rows shows:
// positions and IDs from Append, the rows and "Count=..  Size=..  Capacity=.."
// in Print (Size is the pool a record list would hold: it grows by Capacity
// as rows come and never shrinks), and the merged rows in key order.
#ifndef ORLIX_REMAINS_MOVEMENT_LIST_H_
#define ORLIX_REMAINS_MOVEMENT_LIST_H_

#include <cstddef>
#include <cstdint>
#include <span>

#include "frame/format.h"

namespace orlix {

// One movement: the key (place, pack, size, date) and two quantities.
struct TMovement {
  double ostdate;
  int32_t pack, rz, placeindex, ID;
  double Quantity, resquantity;
};

class TMovementList final {
 public:
  // The growth step of the pool a record list would hold, as printed.
  static constexpr int32_t kCapacity = 100;

  TMovementList() = default;
  ~TMovementList();
  TMovementList(const TMovementList&) = delete;
  TMovementList& operator=(const TMovementList&) = delete;

  // Appends a row; returns its position. Out of memory leaves the list as
  // it was.
  int Append(double date, int32_t pack, int32_t rz, int32_t placeindex, double quantity, double resquantity);
  // No rows; IDs start again at 0.
  void Clear();
  // Folds rows of equal key into the first of them to arrive (quantities
  // summed in arrival order), drops the rows empty in both quantities and
  // leaves the rest in key order.
  void MergeDuplicates();

  int32_t Count() const { return count_; }
  bool Sorted() const { return sorted_; }
  const TMovement& At(int index) const { return rows_[index]; }
  std::span<const TMovement> Rows() const { return {rows_, static_cast<size_t>(count_)}; }
  // "Count=%d  Size=%d  Capacity=%d", then a line per row.
  void Print(TLines& lines) const;

 private:
  static constexpr size_t RoomBytes(int32_t rows) { return static_cast<size_t>(rows) * sizeof(TMovement); }

  // Room for one more row; the only step that allocates.
  void Reserve();

  TMovement* rows_ = nullptr;  // malloc'ed, or a large block once room_ is big
  int32_t count_ = 0;
  int32_t room_ = 0;
  int32_t pool_size_ = 0;  // the Size a record list would print
  int32_t last_id_ = -1;
  bool sorted_ = true;
};

}  // namespace orlix

#endif  // ORLIX_REMAINS_MOVEMENT_LIST_H_
