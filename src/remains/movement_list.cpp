#include "remains/movement_list.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>
#include <type_traits>

#include "frame/failure.h"
#include "lists/row.h"
#include "remains/ostatok_list.h"

namespace orlix {
namespace {

static_assert(std::is_trivially_copyable_v<TMovement>, "rows move with realloc");
static_assert(sizeof(TMovement) == 40, "a movement takes five words");

constexpr int32_t kFirstRoom = 256;

// The key order of the remains rows: place, pack, size, then date, with
// NaN dates after every day and equal to each other (as the rows compare).
int CompareKeys(const TMovement& a, const TMovement& b) {
  if (a.placeindex != b.placeindex) return a.placeindex < b.placeindex ? -1 : 1;
  if (a.pack != b.pack) return a.pack < b.pack ? -1 : 1;
  if (a.rz != b.rz) return a.rz < b.rz ? -1 : 1;
  return Compare3(a.ostdate, b.ostdate);
}

bool IsEmpty(const TMovement& row) {
  return std::fabs(row.Quantity) <= kZeroTolerance && std::fabs(row.resquantity) <= kZeroTolerance;
}

}  // namespace

TMovementList::~TMovementList() { std::free(rows_); }

void TMovementList::Reserve() {
  if (count_ < room_) return;
  if (room_ > INT32_MAX / 2) throw std::bad_alloc();
  const int32_t room = std::max(kFirstRoom, room_ * 2);
  void* grown = std::realloc(rows_, static_cast<size_t>(room) * sizeof(TMovement));
  if (!grown) throw std::bad_alloc();
  rows_ = static_cast<TMovement*>(grown);
  room_ = room;
}

int TMovementList::Append(double date, int32_t pack, int32_t rz, int32_t placeindex, double quantity,
                          double resquantity) {
  if (count_ >= pool_size_ && pool_size_ > INT32_MAX - kCapacity)
    throw EOrlixError("Count > Size in the TBaseList.NewIndex");
  Reserve();
  if (count_ >= pool_size_) pool_size_ += kCapacity;
  const int position = count_++;
  rows_[position] = {date, pack, rz, placeindex, ++last_id_, quantity, resquantity};
  sorted_ = false;
  return position;
}

void TMovementList::Clear() {
  count_ = 0;
  last_id_ = -1;
}

void TMovementList::MergeDuplicates() {
  TMovement* const end = rows_ + count_;
  // Within a key, IDs follow arrival: a merged row keeps the ID of the
  // first row of its key, and every row appended later has a higher one.
  if (!sorted_)
    std::sort(rows_, end, [](const TMovement& a, const TMovement& b) {
      const int order = CompareKeys(a, b);
      return order != 0 ? order < 0 : a.ID < b.ID;
    });
  TMovement* write = rows_;
  for (TMovement* row = rows_; row < end;) {
    TMovement kept = *row;
    for (++row; row < end && CompareKeys(*row, kept) == 0; ++row) {
      kept.Quantity += row->Quantity;
      kept.resquantity += row->resquantity;
    }
    if (!IsEmpty(kept)) *write++ = kept;
  }
  count_ = static_cast<int32_t>(write - rows_);
  sorted_ = true;
}

void TMovementList::Print(TLines& lines) const {
  lines.push_back(Format("Count=%d  Size=%d  Capacity=%d", count_, pool_size_, kCapacity));
  for (const TMovement& row : Rows())
    lines.push_back(
        OstatokRowLine(row.ID, row.ostdate, row.pack, row.rz, row.placeindex, row.Quantity, row.resquantity));
}

}  // namespace orlix
