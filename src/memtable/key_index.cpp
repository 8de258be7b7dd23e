#include "memtable/key_index.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <new>

#include "frame/failure.h"
#include "frame/format.h"

namespace orlix {
namespace {

constexpr uint64_t kSignBit = uint64_t{1} << 63;
// Entries a block first makes room for; it then doubles up to kBlockMax.
constexpr size_t kFirstRoom = 8;
constexpr std::align_val_t kLineAlign{64};
constexpr size_t kLineWords = 64 / sizeof(uint64_t);
// Slots of a hash when its first key arrives; it doubles past 80% full.
constexpr size_t kFirstSlots = 16;
// Blocks a place can name (an offset takes the low byte).
constexpr size_t kPlaceBlocks = size_t{1} << 24;

static_assert(kFirstRoom % TMemKeyIndex::kGroup == 0 && TMemKeyIndex::kBlockMax % TMemKeyIndex::kGroup == 0,
              "a room holds whole lines of prefixes");

// Doubles onto unsigned integers in their key order: negative numbers have
// every bit flipped, the others the sign bit set; NaN goes above +inf and
// -0.0 to 0.0.
uint64_t OrderedBits(double value) {
  if (std::isnan(value)) return UINT64_MAX;
  if (value == 0.0) value = 0.0;
  const uint64_t bits = std::bit_cast<uint64_t>(value);
  return (bits & kSignBit) ? ~bits : (bits | kSignBit);
}

uint64_t OrderedBits(int32_t value) { return static_cast<uint64_t>(static_cast<int64_t>(value)) ^ kSignBit; }

// Room for one more entry, growing geometrically up to a full block.
template <class T>
void ReserveOneMore(std::vector<T>& items, size_t most) {
  if (items.size() < items.capacity()) return;
  items.reserve(std::min(most, std::max(kFirstRoom, items.capacity() * 2)));
}

// The first of n ascending prefixes, read by at(i), that is not below
// prefix (n when none is). Without branches on the comparisons: the probes
// of a random key cannot be predicted, and the loop runs a fixed log2(n)
// steps.
template <class At>
size_t FirstNotBelow(size_t n, uint64_t prefix, At at) {
  if (n == 0) return 0;
  size_t base = 0;
  while (n > 1) {
    const size_t half = n / 2;
    base = __builtin_expect_with_probability(at(base + half - 1) < prefix, 1, 0.5) ? base + half : base;
    n -= half;
  }
  return base + (at(base) < prefix ? 1 : 0);
}

// Adds one to each of n numbers, four at a time: every new key bumps the
// first positions of all the blocks after its own.
void AddOne(int32_t* numbers, size_t n) {
  using Four = int32_t __attribute__((vector_size(16)));
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    Four four;
    std::memcpy(&four, numbers + i, sizeof four);
    four += 1;
    std::memcpy(numbers + i, &four, sizeof four);
  }
  for (; i < n; ++i) ++numbers[i];
}

}  // namespace

// ---- Blocks -------------------------------------------------------------------

TMemKeyIndex::TBlock::TBlock(size_t room)
    : data_(static_cast<std::byte*>(::operator new(
          room / kGroup * sizeof(uint64_t) + room * (sizeof(uint64_t) + sizeof(TMemFields*)), kLineAlign))),
      room_(room) {}

TMemKeyIndex::TBlock& TMemKeyIndex::TBlock::operator=(TBlock&& other) noexcept {
  if (this != &other) {
    this->~TBlock();
    data_ = other.data_;
    size_ = other.size_;
    room_ = other.room_;
    other.data_ = nullptr;
    other.size_ = other.room_ = 0;
  }
  return *this;
}

TMemKeyIndex::TBlock::~TBlock() {
  if (data_) ::operator delete(data_, kLineAlign);
}

void TMemKeyIndex::TBlock::Regrow(size_t room) {
  TBlock moved(room);
  CopyTo(moved, 0, size_);
  moved.size_ = size_;
  moved.RefreshFences(0);
  *this = std::move(moved);
}

void TMemKeyIndex::TBlock::CopyTo(TBlock& to, size_t from, size_t count) const {
  if (count == 0) return;
  std::memcpy(to.Prefixes(), Prefixes() + from, count * sizeof(uint64_t));
  std::memcpy(to.Rows(), Rows() + from, count * sizeof(TMemFields*));
}

void TMemKeyIndex::TBlock::Insert(size_t offset, TEntry entry) {
  const size_t moved = size_ - offset;
  std::memmove(Prefixes() + offset + 1, Prefixes() + offset, moved * sizeof(uint64_t));
  std::memmove(Rows() + offset + 1, Rows() + offset, moved * sizeof(TMemFields*));
  Prefixes()[offset] = entry.prefix;
  Rows()[offset] = entry.row;
  ++size_;
  RefreshFences(offset);
}

void TMemKeyIndex::TBlock::MoveTail(size_t from, TBlock& upper) {
  CopyTo(upper, from, size_ - from);
  upper.size_ = size_ - from;
  size_ = from;
  upper.RefreshFences(0);
  RefreshFences(from == 0 ? 0 : from - 1);
}

void TMemKeyIndex::TBlock::RefreshFences(size_t first) {
  if (size_ == 0) return;
  for (size_t group = first / kGroup; group * kGroup < size_; ++group)
    Fences()[group] = Prefix(std::min(group * kGroup + kGroup - 1, size_ - 1));
}

// ---- The index ----------------------------------------------------------------

void TMemKeyIndex::Clear() {
  blocks_.clear();
  starts_.clear();
  lasts_.clear();
  stamps_.clear();
  std::vector<TSlot>().swap(slots_);
  slot_shift_ = 64;
  stamp_counter_ = 0;
  count_ = 0;
  found_position_ = -1;
  hint_ = 0;
}

TMemKeyIndex::TSlot& TMemKeyIndex::SlotOf(uint64_t prefix) const {
  const size_t mask = slots_.size() - 1;
  size_t i = SlotIndex(prefix);
  while (slots_[i].row && slots_[i].prefix != prefix) i = (i + 1) & mask;
  return slots_[i];
}

void TMemKeyIndex::Remember(TSlot& slot, size_t block, size_t offset) const {
  const bool nameable = block < kPlaceBlocks;
  slot.place = nameable ? static_cast<uint32_t>(block << 8 | offset) : 0;
  slot.stamp = nameable ? stamps_[block] : 0;
}

void TMemKeyIndex::Rehash(size_t size) {
  std::vector<TSlot> old(size, TSlot{0, nullptr, 0, 0});
  old.swap(slots_);
  slot_shift_ = 64 - std::countr_zero(size);
  for (const TSlot& slot : old)
    if (slot.row) SlotOf(slot.prefix) = slot;
}

bool TMemKeyIndex::PrefixDecides() const {
  const std::vector<int32_t>& keys = defs_.KeyIndexes();
  return keys.size() == 1 && defs_[keys[0]].FieldType != TFieldType::String;
}

uint64_t TMemKeyIndex::PrefixOf(const TMemFields& row) const {
  const std::vector<int32_t>& keys = defs_.KeyIndexes();
  if (keys.empty() || static_cast<size_t>(keys[0]) >= row.Fields.size()) return 0;
  const TMemField& field = row.Fields[static_cast<size_t>(keys[0])];
  switch (defs_[keys[0]].FieldType) {
    case TFieldType::Int:
      return OrderedBits(field.IntValue);
    case TFieldType::Double:
      return OrderedBits(field.DoubleValue);
    case TFieldType::DateTime:
      return OrderedBits(field.DateValue);
    case TFieldType::String:
      break;
  }
  return 0;
}

int TMemKeyIndex::CompareTo(uint64_t prefix, const TMemFields& key, bool prefix_decides, const TEntry& entry) const {
  if (prefix != entry.prefix) return prefix < entry.prefix ? -1 : 1;
  return prefix_decides ? 0 : key.CompareKeys(*entry.row, defs_);
}

size_t TMemKeyIndex::OffsetIn(const TBlock& block, uint64_t prefix, const TMemFields& key, bool prefix_decides) const {
  if (prefix_decides) {
    // Every fence line at once, then the fences, then one line of
    // prefixes; the last fence (the block's last entry) is not below the key.
    const size_t groups = (block.Size() + kGroup - 1) / kGroup;
    const uint64_t* fences = block.Fences();
    for (size_t line = 0; line < groups; line += kLineWords) __builtin_prefetch(fences + line);
    const size_t g = FirstNotBelow(groups - 1, prefix, [fences](size_t i) { return fences[i]; });
    const uint64_t* line = block.Prefixes() + g * kGroup;
    const size_t n = std::min(kGroup, block.Size() - g * kGroup);
    return g * kGroup + FirstNotBelow(n - 1, prefix, [line](size_t i) { return line[i]; });
  }
  size_t first = 0, last = block.Size() - 1;  // the entry at last is not below the key
  while (first < last) {
    const size_t mid = (first + last) / 2;
    if (CompareTo(prefix, key, false, block.Entry(mid)) > 0) first = mid + 1;
    else last = mid;
  }
  return first;
}

TMemKeyIndex::TPlace TMemKeyIndex::Search(const TMemFields& key) const {
  TPlace place;
  // Also the case of a first block made ready by an insert that then failed.
  if (count_ == 0) return place;
  const uint64_t prefix = PrefixOf(key);
  const bool decides = decides_;
  // A key the hash knows, in a block unchanged since its place was seen,
  // is answered from the slot.
  TSlot* slot = nullptr;
  if (decides && !slots_.empty()) {
    slot = &SlotOf(prefix);
    const size_t block = slot->place >> 8;
    if (slot->row && slot->stamp != 0 && block < stamps_.size() && stamps_[block] == slot->stamp) {
      place.block = block;
      place.offset = slot->place & 0xFF;
      place.position = starts_[block] + static_cast<int32_t>(place.offset);
      place.found = true;
      place.row = slot->row;
      hint_ = block;
      found_position_ = place.position;
      found_row_ = place.row;
      return place;
    }
  }
  // The first block whose last entry is not below the key; past every
  // block, the key goes after the last entry of the last block.
  size_t lo = 0, hi = lasts_.size();
  if (decides) {
    lo = FirstNotBelow(lasts_.size(), prefix, [this](size_t i) { return lasts_[i].prefix; });
  } else {
    while (lo < hi) {
      const size_t mid = (lo + hi) / 2;
      if (CompareTo(prefix, key, decides, lasts_[mid]) > 0) lo = mid + 1;
      else hi = mid;
    }
  }
  if (lo == lasts_.size()) {
    place.block = lo - 1;
    place.offset = blocks_[place.block].Size();
    place.position = count_;
    return place;
  }
  const TBlock& block = blocks_[lo];
  const size_t first = OffsetIn(block, prefix, key, decides);
  place.block = lo;
  place.offset = first;
  place.position = starts_[lo] + static_cast<int32_t>(first);
  place.found = CompareTo(prefix, key, decides, block.Entry(first)) == 0;
  hint_ = lo;
  if (place.found) {
    place.row = block.Row(first);
    found_position_ = place.position;
    found_row_ = place.row;
    if (slot && slot->row) Remember(*slot, lo, first);
  }
  return place;
}

TMemFields& TMemKeyIndex::RowAt(int32_t position) const {
  if (position < 0 || position >= count_) throw EOrlixError(Format("List index (%d) out of bounds", position));
  if (position == found_position_) return *found_row_;
  auto holds = [&](size_t block) {
    return block < blocks_.size() && starts_[block] <= position &&
           position - starts_[block] < static_cast<int32_t>(blocks_[block].Size());
  };
  if (!holds(hint_)) {
    if (holds(hint_ + 1)) ++hint_;
    else if (hint_ > 0 && holds(hint_ - 1)) --hint_;
    else hint_ = static_cast<size_t>(std::upper_bound(starts_.begin(), starts_.end(), position) - starts_.begin()) - 1;
  }
  return *blocks_[hint_].Row(static_cast<size_t>(position - starts_[hint_]));
}

void TMemKeyIndex::Split(size_t block) {
  TBlock upper(kBlockMax);
  ReserveOneMore(blocks_, SIZE_MAX);
  ReserveOneMore(starts_, SIZE_MAX);
  ReserveOneMore(lasts_, SIZE_MAX);
  ReserveOneMore(stamps_, SIZE_MAX);
  // Nothing below allocates (and blocks_ no longer moves).
  TBlock& full = blocks_[block];
  const size_t half = full.Size() / 2;
  full.MoveTail(half, upper);
  const int32_t upper_start = starts_[block] + static_cast<int32_t>(half);
  const TEntry upper_last = lasts_[block];
  lasts_[block] = full.Entry(half - 1);
  blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(block + 1), std::move(upper));
  starts_.insert(starts_.begin() + static_cast<std::ptrdiff_t>(block + 1), upper_start);
  lasts_.insert(lasts_.begin() + static_cast<std::ptrdiff_t>(block + 1), upper_last);
  // Both halves change, and every later block moves up one place.
  stamps_[block] = NextStamp();
  stamps_.insert(stamps_.begin() + static_cast<std::ptrdiff_t>(block + 1), NextStamp());
}

void TMemKeyIndex::MakeRoom(TPlace& place) {
  // A larger hash holds the same keys: growing it first changes nothing
  // that shows if a later step fails.
  if (count_ == 0) decides_ = PrefixDecides();
  if (decides_ && (static_cast<size_t>(count_) + 1) * 5 > slots_.size() * 4)
    Rehash(std::max(kFirstSlots, slots_.size() * 2));
  if (blocks_.empty()) {
    // Its first position, last entry and stamp are recorded with its first
    // entry.
    TBlock first(kFirstRoom);
    ReserveOneMore(blocks_, SIZE_MAX);
    ReserveOneMore(starts_, SIZE_MAX);
    ReserveOneMore(lasts_, SIZE_MAX);
    ReserveOneMore(stamps_, SIZE_MAX);
    blocks_.push_back(std::move(first));
    place = TPlace{};
    return;
  }
  if (blocks_[place.block].Size() >= kBlockMax) {
    Split(place.block);
    const size_t lower_size = blocks_[place.block].Size();
    if (place.offset > lower_size) {
      ++place.block;
      place.offset -= lower_size;
    }
  }
  TBlock& block = blocks_[place.block];
  if (block.Size() == block.Room()) block.Regrow(std::min(kBlockMax, block.Room() * 2));
}

void TMemKeyIndex::InsertAt(const TPlace& place, TMemFields& row) {
  TBlock& block = blocks_[place.block];
  const TEntry entry{PrefixOf(row), &row};
  block.Insert(place.offset, entry);
  if (block.Size() == 1) {
    // The first block of an empty index.
    starts_.push_back(0);
    lasts_.push_back(entry);
    stamps_.push_back(NextStamp());
  } else {
    if (place.offset + 1 == block.Size()) lasts_[place.block] = entry;
    stamps_[place.block] = NextStamp();
  }
  AddOne(starts_.data() + place.block + 1, starts_.size() - place.block - 1);
  ++count_;
  found_position_ = -1;
  if (decides_) {
    TSlot& slot = SlotOf(entry.prefix);
    slot.prefix = entry.prefix;
    slot.row = &row;
    Remember(slot, place.block, place.offset);
  }
}

}  // namespace orlix
