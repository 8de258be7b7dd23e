#include "remains/movement_list.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#include "frame/failure.h"
#include "frame/platform.h"
#include "lists/row.h"
#include "remains/ostatok_list.h"

namespace orlix {
namespace {

static_assert(std::is_trivially_copyable_v<TMovement>, "rows move with realloc");
static_assert(sizeof(TMovement) == 40, "a movement takes five words");

constexpr int32_t kFirstRoom = 256;
// Row arrays of this many bytes and more live in large blocks of the
// platform layer.
constexpr size_t kLargeFrom = size_t{4} << 20;

bool InLargeBlocks(size_t bytes) { return bytes >= kLargeFrom; }

void* AllocateRows(size_t bytes) { return InLargeBlocks(bytes) ? platform::LargeAlloc(bytes) : std::malloc(bytes); }

// bytes as allocated.
void FreeRows(void* rows, size_t bytes) {
  if (InLargeBlocks(bytes)) {
    platform::LargeFree(rows, bytes);
  } else {
    std::free(rows);
  }
}
// From this many rows a packed-key sort goes by bytes of the key.
constexpr size_t kRadixFrom = 2048;

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

// The order of the merge: key, then ID (arrival within a key).
bool Before(const TMovement& a, const TMovement& b) {
  const int order = CompareKeys(a, b);
  return order != 0 ? order < 0 : a.ID < b.ID;
}

// Bits that hold the values lowest..highest once lowest is taken off.
int BitsFor(uint64_t span) { return span == 0 ? 0 : std::bit_width(span); }

uint64_t PackedWord(const TMovement& row) { return std::bit_cast<uint64_t>(row.ostdate); }

// Stable sort of rows by the packed words in their dates' place, a byte of
// the word a pass (least significant first), skipping bytes all rows share.
// Stable is enough for Before: within a key the rows already stand in ID
// order, since a merge leaves one row a key and later rows get higher IDs.
// False, rows untouched, when there is no memory for the second buffer.
bool RadixSortByWord(TMovement* rows, size_t n, int key_bits) {
  const int passes = (key_bits + 7) / 8;
  std::array<std::array<uint32_t, 256>, 8> counts{};
  for (size_t i = 0; i < n; ++i) {
    const uint64_t word = PackedWord(rows[i]);
    for (int pass = 0; pass < passes; ++pass) ++counts[pass][(word >> (8 * pass)) & 0xFF];
  }
  const size_t bytes = n * sizeof(TMovement);
  auto* buffer = static_cast<TMovement*>(AllocateRows(bytes));
  if (!buffer) return false;
  TMovement *from = rows, *to = buffer;
  for (int pass = 0; pass < passes; ++pass) {
    std::array<uint32_t, 256>& offsets = counts[pass];
    const int shift = 8 * pass;
    if (offsets[(PackedWord(rows[0]) >> shift) & 0xFF] == n) continue;
    uint32_t sum = 0;
    for (uint32_t& offset : offsets) sum += std::exchange(offset, sum);
    for (size_t i = 0; i < n; ++i) to[offsets[(PackedWord(from[i]) >> shift) & 0xFF]++] = from[i];
    std::swap(from, to);
  }
  if (from != rows) std::memcpy(rows, from, bytes);
  FreeRows(buffer, bytes);
  return true;
}

// Sorts rows by Before. When every date is a whole day (not -0.0) and the
// spans of place, pack, size and day fit 64 bits together, each row's key is
// first packed into one word, kept for the sort in the date's place, so that
// the sort compares one word and the ID instead of four fields; the dates
// are then written back.
void SortByKey(TMovement* rows, size_t n) {
  if (n < 2) return;
  int32_t place_low = rows[0].placeindex, place_high = place_low, pack_low = rows[0].pack, pack_high = pack_low;
  int32_t rz_low = rows[0].rz, rz_high = rz_low;
  double day_low = rows[0].ostdate, day_high = day_low;
  bool whole_days = true;
  for (size_t i = 0; i < n; ++i) {
    const TMovement& row = rows[i];
    place_low = std::min(place_low, row.placeindex);
    place_high = std::max(place_high, row.placeindex);
    pack_low = std::min(pack_low, row.pack);
    pack_high = std::max(pack_high, row.pack);
    rz_low = std::min(rz_low, row.rz);
    rz_high = std::max(rz_high, row.rz);
    const double day = row.ostdate;
    whole_days &= std::fabs(day) < 0x1p52 && day == std::trunc(day) && !(day == 0.0 && std::signbit(day));
    day_low = std::min(day_low, day);
    day_high = std::max(day_high, day);
  }
  const auto span = [](int64_t low, int64_t high) { return static_cast<uint64_t>(high - low); };
  const int day_bits = whole_days ? BitsFor(static_cast<uint64_t>(day_high - day_low)) : 64;
  const int rz_bits = BitsFor(span(rz_low, rz_high)), pack_bits = BitsFor(span(pack_low, pack_high));
  const int place_bits = BitsFor(span(place_low, place_high));
  if (!whole_days || day_bits + rz_bits + pack_bits + place_bits > 64) {
    std::sort(rows, rows + n, Before);
    return;
  }
  const int rz_shift = day_bits, pack_shift = rz_shift + rz_bits, place_shift = pack_shift + pack_bits;
  for (size_t i = 0; i < n; ++i) {
    TMovement& row = rows[i];
    // A shift reaches 64 only for a part of 0 bits, which adds nothing; the
    // mask keeps the shift defined.
    const uint64_t key = span(place_low, row.placeindex) << (place_shift & 63) |
                         span(pack_low, row.pack) << (pack_shift & 63) | span(rz_low, row.rz) << (rz_shift & 63) |
                         static_cast<uint64_t>(row.ostdate - day_low);
    row.ostdate = std::bit_cast<double>(key);
  }
  const int key_bits = place_shift + place_bits;
  if (n < kRadixFrom || !RadixSortByWord(rows, n, key_bits)) {
    std::sort(rows, rows + n, [](const TMovement& a, const TMovement& b) {
      const uint64_t a_key = PackedWord(a), b_key = PackedWord(b);
      return a_key != b_key ? a_key < b_key : a.ID < b.ID;
    });
  }
  const uint64_t day_mask = day_bits == 64 ? UINT64_MAX : (uint64_t{1} << day_bits) - 1;
  for (size_t i = 0; i < n; ++i)
    rows[i].ostdate = day_low + static_cast<double>(std::bit_cast<uint64_t>(rows[i].ostdate) & day_mask);
}

}  // namespace

TMovementList::~TMovementList() { FreeRows(rows_, RoomBytes(room_)); }

void TMovementList::Reserve() {
  if (count_ < room_) return;
  if (room_ > INT32_MAX / 2) throw std::bad_alloc();
  const int32_t room = std::max(kFirstRoom, room_ * 2);
  const size_t bytes = RoomBytes(room);
  void* grown = nullptr;
  // The room tells where the rows live: a room of kLargeFrom bytes or more
  // is a large block, where a million rows fault in 20 pages, not 10,000.
  if (InLargeBlocks(RoomBytes(room_))) {
    grown = platform::LargeGrow(rows_, RoomBytes(room_), bytes);
  } else if (!InLargeBlocks(bytes)) {
    grown = std::realloc(rows_, bytes);
  } else if ((grown = platform::LargeAlloc(bytes))) {
    std::memcpy(grown, rows_, RoomBytes(count_));
    std::free(rows_);
  }
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
  if (!sorted_) SortByKey(rows_, static_cast<size_t>(count_));
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
