#include "memtable/key_index.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "frame/failure.h"
#include "frame/format.h"

namespace orlix {
namespace {

constexpr uint64_t kSignBit = uint64_t{1} << 63;
// Entries a block first makes room for; it then doubles up to kBlockMax.
constexpr size_t kFirstRoom = 8;

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

}  // namespace

void TMemKeyIndex::Clear() {
  blocks_.clear();
  starts_.clear();
  lasts_.clear();
  count_ = 0;
  hint_ = 0;
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

// The first of n entries whose prefix is not below prefix (n when none is).
// Without branches on the comparisons: the probes of a random key cannot be
// predicted, and the loop runs a fixed log2(n) steps.
size_t TMemKeyIndex::LowerBound(const TEntry* entries, size_t n, uint64_t prefix) {
  if (n == 0) return 0;
  const TEntry* base = entries;
  while (n > 1) {
    const size_t half = n / 2;
    base = base[half - 1].prefix < prefix ? base + half : base;
    n -= half;
  }
  return static_cast<size_t>(base - entries) + (base->prefix < prefix ? 1 : 0);
}

TMemKeyIndex::TPlace TMemKeyIndex::Search(const TMemFields& key) const {
  TPlace place;
  // Also the case of a first block made ready by an insert that then failed.
  if (count_ == 0) return place;
  const uint64_t prefix = PrefixOf(key);
  const bool decides = PrefixDecides();
  // The first block whose last entry is not below the key; past every
  // block, the key goes after the last entry of the last block.
  size_t lo = 0, hi = lasts_.size();
  if (decides) {
    lo = LowerBound(lasts_.data(), lasts_.size(), prefix);
  } else {
    while (lo < hi) {
      const size_t mid = (lo + hi) / 2;
      if (CompareTo(prefix, key, decides, lasts_[mid]) > 0) lo = mid + 1;
      else hi = mid;
    }
  }
  if (lo == lasts_.size()) {
    place.block = lo - 1;
    place.offset = blocks_[place.block].size();
    place.position = count_;
    return place;
  }
  // The first entry of that block not below the key.
  const std::vector<TEntry>& block = blocks_[lo];
  size_t first = 0, last = block.size() - 1;  // the entry at last is not below the key
  if (decides) {
    first = LowerBound(block.data(), last, prefix);
  } else {
    while (first < last) {
      const size_t mid = (first + last) / 2;
      if (CompareTo(prefix, key, decides, block[mid]) > 0) first = mid + 1;
      else last = mid;
    }
  }
  const int order = CompareTo(prefix, key, decides, block[first]);
  place.block = lo;
  place.offset = first;
  place.position = starts_[lo] + static_cast<int32_t>(first);
  place.found = order == 0;
  hint_ = lo;
  return place;
}

TMemFields& TMemKeyIndex::RowAt(int32_t position) const {
  if (position < 0 || position >= count_) throw EOrlixError(Format("List index (%d) out of bounds", position));
  auto holds = [&](size_t block) {
    return block < blocks_.size() && starts_[block] <= position &&
           position - starts_[block] < static_cast<int32_t>(blocks_[block].size());
  };
  if (!holds(hint_)) {
    if (holds(hint_ + 1)) ++hint_;
    else if (hint_ > 0 && holds(hint_ - 1)) --hint_;
    else hint_ = static_cast<size_t>(std::upper_bound(starts_.begin(), starts_.end(), position) - starts_.begin()) - 1;
  }
  return *blocks_[hint_][static_cast<size_t>(position - starts_[hint_])].row;
}

void TMemKeyIndex::Split(size_t block) {
  std::vector<TEntry> upper;
  upper.reserve(kBlockMax);
  ReserveOneMore(blocks_, SIZE_MAX);
  ReserveOneMore(starts_, SIZE_MAX);
  ReserveOneMore(lasts_, SIZE_MAX);
  // Nothing below allocates (and blocks_ no longer moves).
  std::vector<TEntry>& full = blocks_[block];
  const size_t half = full.size() / 2;
  upper.assign(full.begin() + static_cast<std::ptrdiff_t>(half), full.end());
  full.resize(half);
  const int32_t upper_start = starts_[block] + static_cast<int32_t>(half);
  const TEntry upper_last = lasts_[block];
  lasts_[block] = full.back();
  blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(block + 1), std::move(upper));
  starts_.insert(starts_.begin() + static_cast<std::ptrdiff_t>(block + 1), upper_start);
  lasts_.insert(lasts_.begin() + static_cast<std::ptrdiff_t>(block + 1), upper_last);
}

void TMemKeyIndex::MakeRoom(TPlace& place) {
  if (blocks_.empty()) {
    // Its first position and last entry are recorded with its first entry.
    std::vector<TEntry> first;
    first.reserve(kFirstRoom);
    ReserveOneMore(starts_, SIZE_MAX);
    ReserveOneMore(lasts_, SIZE_MAX);
    blocks_.push_back(std::move(first));
    place = TPlace{};
    return;
  }
  if (blocks_[place.block].size() >= kBlockMax) {
    Split(place.block);
    const size_t lower_size = blocks_[place.block].size();
    if (place.offset > lower_size) {
      ++place.block;
      place.offset -= lower_size;
    }
  }
  ReserveOneMore(blocks_[place.block], kBlockMax);
}

void TMemKeyIndex::InsertAt(const TPlace& place, TMemFields& row) {
  std::vector<TEntry>& block = blocks_[place.block];
  const TEntry entry{PrefixOf(row), &row};
  block.insert(block.begin() + static_cast<std::ptrdiff_t>(place.offset), entry);
  if (block.size() == 1) {
    // The first block of an empty index.
    starts_.push_back(0);
    lasts_.push_back(entry);
  } else if (place.offset + 1 == block.size()) {
    lasts_[place.block] = entry;
  }
  for (size_t b = place.block + 1; b < starts_.size(); ++b) ++starts_[b];
  ++count_;
}

}  // namespace orlix
