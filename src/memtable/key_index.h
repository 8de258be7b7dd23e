// TMemKeyIndex: the key order of a memory table's rows, with positions.
//
// The rows themselves stay in the table's record pool in arrival order; the
// index keeps, for each row, an entry of a 64-bit key prefix and the row's
// address, in key order, cut into blocks of at most kBlockMax entries. A new
// row moves at most one block's entries and bumps the first positions of the
// blocks after it, so an insert, a lookup and a position's row cost
// O(log n + n / kBlockMax + kBlockMax) whatever the order of the calls,
// instead of shifting the whole table.
//
// A block holds its prefixes and its rows in two arrays, and before them a
// fence per kGroup prefixes (one cache line of them): the last prefix of the
// line. Where the prefix decides the order (a single int, double or date
// key) a lookup bisects the blocks' last entries, then the fences, then one
// line of prefixes, and never reads a row: a cold lookup meets a few lines
// instead of a bisection's worth of scattered ones.
//
// The prefix of a row is its first key field mapped onto unsigned integers
// in the same order as the field's comparison (NaN after every number and
// equal to itself, -0.0 equal to 0.0); string keys compare by the locale, so
// they have no prefix and every probe compares the rows.
//
// Where the prefix decides, a hash on it also finds the row of a key in one
// probe, and its slot remembers where the entry stood (block and offset) and
// the block's stamp at that moment. Every change to a block gives it a new
// stamp, unique within the index, so while the block stays as it was the
// position is its first position plus that offset, without a search: a
// table whose keys have all arrived folds its rows with one cold line read
// instead of a walk down the blocks.
#ifndef ORLIX_MEMTABLE_KEY_INDEX_H_
#define ORLIX_MEMTABLE_KEY_INDEX_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "memtable/mem_field.h"
#include "memtable/mem_row.h"

namespace orlix {

class TMemKeyIndex final {
 public:
  // Entries a block holds at most; a full block splits in two halves.
  static constexpr size_t kBlockMax = 256;
  // Prefixes a fence stands for: one cache line of them.
  static constexpr size_t kGroup = 8;

  // Where a key is, or would go, in the index.
  struct TPlace {
    int32_t position = 0;  // in key order
    size_t block = 0;
    size_t offset = 0;  // within the block
    bool found = false;
    TMemFields* row = nullptr;  // when found
  };

  explicit TMemKeyIndex(const TDescMemFields& defs) : defs_(defs) {}
  TMemKeyIndex(const TMemKeyIndex&) = delete;
  TMemKeyIndex& operator=(const TMemKeyIndex&) = delete;

  int32_t Count() const { return count_; }
  // Forgets every entry (and frees the blocks).
  void Clear();

  // The row of equal key (found) or the place a row of that key goes.
  TPlace Search(const TMemFields& key) const;
  // Asks for the line a search for key reads first, the hash slot of its
  // prefix, so that it is on its way while the caller sets the rest of the
  // row.
  void Prefetch(const TMemFields& key) const {
    if (!slots_.empty() && decides_) __builtin_prefetch(&slots_[SlotIndex(PrefixOf(key))]);
  }
  // The row found by Search.
  TMemFields& RowAt(const TPlace& place) const { return *place.row; }
  // The row at a position in key order, 0 <= position < Count. Walks one
  // step at a time are answered without a search.
  TMemFields& RowAt(int32_t position) const;

  // Makes room for an entry at place, which Search answered (not found):
  // the only step that allocates. It may split a block, so place is updated.
  void MakeRoom(TPlace& place);
  // Enters row at the place MakeRoom prepared; allocates nothing.
  void InsertAt(const TPlace& place, TMemFields& row);

  // Calls visit(row) for every row in key order.
  template <class Visit>
  void ForEach(Visit&& visit) const {
    for (const TBlock& block : blocks_)
      for (size_t i = 0; i < block.Size(); ++i) visit(*block.Row(i));
  }

 private:
  struct TEntry {
    uint64_t prefix;
    TMemFields* row;
  };
  // One block's entries in one allocation: room / kGroup fences, room
  // prefixes, room rows. Rooms double from kGroup entries up to kBlockMax.
  class TBlock final {
   public:
    explicit TBlock(size_t room);  // empty; throws when out of memory
    TBlock(TBlock&& other) noexcept : data_(other.data_), size_(other.size_), room_(other.room_) {
      other.data_ = nullptr;
      other.size_ = other.room_ = 0;
    }
    TBlock& operator=(TBlock&& other) noexcept;
    ~TBlock();

    size_t Size() const { return size_; }
    size_t Room() const { return room_; }
    uint64_t Prefix(size_t i) const { return Prefixes()[i]; }
    TMemFields* Row(size_t i) const { return Rows()[i]; }
    TEntry Entry(size_t i) const { return {Prefix(i), Row(i)}; }
    // The fence of each kGroup prefixes: the last of them.
    const uint64_t* Fences() const { return reinterpret_cast<const uint64_t*>(data_); }
    const uint64_t* Prefixes() const { return Fences() + room_ / kGroup; }
    TMemFields* const* Rows() const { return reinterpret_cast<TMemFields* const*>(Prefixes() + room_); }

    // Moves the entries into a block of the given room (allocates first).
    void Regrow(size_t room);
    // Shifts the entries from offset on and puts entry there; the room must
    // have a place left.
    void Insert(size_t offset, TEntry entry);
    // Moves the entries from `from` on to the empty block upper.
    void MoveTail(size_t from, TBlock& upper);

   private:
    uint64_t* Fences() { return reinterpret_cast<uint64_t*>(data_); }
    uint64_t* Prefixes() { return Fences() + room_ / kGroup; }
    TMemFields** Rows() { return reinterpret_cast<TMemFields**>(Prefixes() + room_); }
    // Copies count entries from the one at `from` on to the start of to.
    void CopyTo(TBlock& to, size_t from, size_t count) const;
    // Recomputes the fences from the one standing for entry first.
    void RefreshFences(size_t first);

    std::byte* data_ = nullptr;
    size_t size_ = 0;
    size_t room_ = 0;
  };

  // The prefix of a row's key (0 for a string or no key field).
  uint64_t PrefixOf(const TMemFields& row) const;
  // True when equal prefixes mean equal keys: one key field, not a string.
  // Read once the first entry is on its way: the fields are fixed by then.
  bool PrefixDecides() const;
  // Order of a key (its prefix given) against an entry: -1, 0 or 1.
  int CompareTo(uint64_t prefix, const TMemFields& key, bool prefix_decides, const TEntry& entry) const;
  // The first entry of a block not below the key, which its last entry is
  // not below.
  size_t OffsetIn(const TBlock& block, uint64_t prefix, const TMemFields& key, bool prefix_decides) const;
  // Splits a full block in two; allocates before anything changes.
  void Split(size_t block);

  // A key's slot in the hash: its prefix and row, and where its entry
  // stood while its block had the stamp (0: not known).
  struct TSlot {
    uint64_t prefix;
    TMemFields* row;  // nullptr: the slot is free
    uint32_t place;   // block << 8 | offset
    uint32_t stamp;
  };
  static_assert(kBlockMax <= 256, "an offset fits the low byte of a place");
  // Where the search for prefix starts in the hash.
  size_t SlotIndex(uint64_t prefix) const {
    return static_cast<size_t>((prefix * 0x9E3779B97F4A7C15) >> slot_shift_);  // Fibonacci hashing
  }
  // The slot holding prefix, or the free slot where it goes.
  TSlot& SlotOf(uint64_t prefix) const;
  // Remembers in slot where its entry stands now.
  void Remember(TSlot& slot, size_t block, size_t offset) const;
  // Moves the hash to a table of the given size (a power of two).
  void Rehash(size_t size);
  // A stamp no block has had since the last Clear; 0 once they run out
  // (which needs more changes than a table has room for rows).
  uint32_t NextStamp() { return stamp_counter_ == UINT32_MAX ? 0 : ++stamp_counter_; }

  const TDescMemFields& defs_;
  std::vector<TBlock> blocks_;        // key order, none empty
  std::vector<int32_t> starts_;       // position of each block's first entry
  std::vector<TEntry> lasts_;         // each block's last entry, for the first bisection
  std::vector<uint32_t> stamps_;      // each block's stamp
  mutable std::vector<TSlot> slots_;  // the hash, where the prefix decides
  int slot_shift_ = 64;               // 64 - log2(slots_.size())
  uint32_t stamp_counter_ = 0;
  // The row of equal key Search found last, and its position: the caller
  // of a lookup reads the row at that position next, and this spares the
  // read of the block's line when the hash gave the answer. Forgotten when
  // a new entry moves the positions.
  mutable int32_t found_position_ = -1;
  mutable TMemFields* found_row_ = nullptr;
  int32_t count_ = 0;
  bool decides_ = false;     // PrefixDecides(), since the first entry
  mutable size_t hint_ = 0;  // the block of the last answer
};

}  // namespace orlix

#endif  // ORLIX_MEMTABLE_KEY_INDEX_H_
