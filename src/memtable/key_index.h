// TMemKeyIndex: the key order of a memory table's rows, with positions.
//
// The rows themselves stay in the table's record pool in arrival order; the
// index keeps, for each row, an entry of a 64-bit key prefix and the row's
// address, in key order, cut into blocks of at most kBlockMax entries. A
// lookup bisects the blocks' last entries, then one block; where the prefix
// decides the order (a single int, double or date key) a probe reads only
// the index, never the row. A new row moves at most one block's entries and
// bumps the first positions of the blocks after it, so an insert, a lookup
// and a position's row cost O(log n + n / kBlockMax + kBlockMax) whatever
// the order of the calls, instead of shifting the whole table.
//
// The prefix of a row is its first key field mapped onto unsigned integers
// in the same order as the field's comparison (NaN after every number and
// equal to itself, -0.0 equal to 0.0); string keys compare by the locale, so
// they have no prefix and every probe compares the rows.
#ifndef ORLIX_MEMTABLE_KEY_INDEX_H_
#define ORLIX_MEMTABLE_KEY_INDEX_H_

#include <cstdint>
#include <vector>

#include "memtable/mem_field.h"
#include "memtable/mem_row.h"

namespace orlix {

class TMemKeyIndex final {
 public:
  // Entries a block holds at most; a full block splits in two halves.
  static constexpr size_t kBlockMax = 256;

  // Where a key is, or would go, in the index.
  struct TPlace {
    int32_t position = 0;  // in key order
    size_t block = 0;
    size_t offset = 0;  // within the block
    bool found = false;
  };

  explicit TMemKeyIndex(const TDescMemFields& defs) : defs_(defs) {}
  TMemKeyIndex(const TMemKeyIndex&) = delete;
  TMemKeyIndex& operator=(const TMemKeyIndex&) = delete;

  int32_t Count() const { return count_; }
  // Forgets every entry (and frees the blocks).
  void Clear();

  // The row of equal key (found) or the place a row of that key goes.
  TPlace Search(const TMemFields& key) const;
  // The row found by Search.
  TMemFields& RowAt(const TPlace& place) const { return *blocks_[place.block][place.offset].row; }
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
    for (const std::vector<TEntry>& block : blocks_)
      for (const TEntry& entry : block) visit(*entry.row);
  }

 private:
  struct TEntry {
    uint64_t prefix;
    TMemFields* row;
  };

  // The prefix of a row's key (0 for a string or no key field).
  uint64_t PrefixOf(const TMemFields& row) const;
  // True when equal prefixes mean equal keys: one key field, not a string.
  bool PrefixDecides() const;
  // Order of a key (its prefix given) against an entry: -1, 0 or 1.
  int CompareTo(uint64_t prefix, const TMemFields& key, bool prefix_decides, const TEntry& entry) const;
  // The first of n entries whose prefix is not below prefix, or n.
  static size_t LowerBound(const TEntry* entries, size_t n, uint64_t prefix);
  // Splits a full block in two; allocates before anything changes.
  void Split(size_t block);

  const TDescMemFields& defs_;
  std::vector<std::vector<TEntry>> blocks_;  // key order, none empty
  std::vector<int32_t> starts_;              // position of each block's first entry
  std::vector<TEntry> lasts_;                // each block's last entry, for the first bisection
  int32_t count_ = 0;
  mutable size_t hint_ = 0;  // the block of the last answer
};

}  // namespace orlix

#endif  // ORLIX_MEMTABLE_KEY_INDEX_H_
