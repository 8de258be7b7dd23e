// TBaseItem / TBaseList: the pooled, array-backed record list under every
// record list of the memory tables and the calculation engines.
//
// The list keeps a pool of ready-made records: positions 0..Count-1 are the
// list, Count..Size-1 are spares. Appending exchanges the caller's filled work
// item for a spare, so the hot paths (add, delete, clear, remove empty)
// allocate nothing while spares remain; the pool grows Capacity records at a
// time. Records are numbered (ID), flaggable (Deleted, New), walked by a
// cursor, sorted by a switchable comparison and searched by bisection.
//
// A record object never moves in memory while it is in the pool: sorting,
// merging and removal exchange pointers only. References between records
// therefore stay valid while the list grows, sorts or merges.
//
// The pool's records are built in blocks the list allocates, one block a
// growth, rather than one allocation a record. A work item a descendant
// makes on its own may change places with a pool record; each record knows
// whether it lives in a block, and ReleaseRecord ends either kind. Blocks
// are freed with the list.
//
// The list's state is private; descendants and callers change it only
// through the operations below.
#ifndef ORLIX_LISTS_BASE_LIST_H_
#define ORLIX_LISTS_BASE_LIST_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "frame/failure.h"
#include "frame/format.h"

namespace orlix {

class TBaseList;

// Zero tolerance of every engine: a magnitude at most this is zero.
inline constexpr double kZeroTolerance = 1e-10;

class TBaseItem {
 public:
  TBaseItem() = default;
  virtual ~TBaseItem() = default;

  // "ID=%d  Deleted=%d".
  virtual void Print(TLines& lines) const;
  // Raises "Assign don't exist in the TBaseItem"; copied rows override it.
  virtual void Assign(const TBaseItem& source);
  // Adds the other record's quantities into this one; nothing in the base.
  virtual void Merge(const TBaseItem& other);
  // Must return exactly -1, 0 or 1: the searches depend on it. 0 in the base.
  virtual int Compare(const TBaseItem& other) const;
  // Deleted, or a quantity within the zero tolerance.
  virtual bool IsEmpty() const;

  // The small members share one word, so a record's header is three words
  // (with the virtual table's) instead of four.
  int32_t ID = -1;
  bool Deleted = false;
  bool New = false;

 private:
  friend class TBaseList;
  bool in_block_ = false;  // built in a block of a list's pool

 public:
  double Quantity = 0.0;

 protected:
  // Rows copy their fields with these (see TRow); a bare item is not copied.
  // Where a record lives is not part of its value, so it is not copied.
  TBaseItem(const TBaseItem& other) : ID(other.ID), Deleted(other.Deleted), New(other.New), Quantity(other.Quantity) {}
  TBaseItem& operator=(const TBaseItem& other) {
    ID = other.ID;
    Deleted = other.Deleted;
    New = other.New;
    Quantity = other.Quantity;
    return *this;
  }
};

static_assert(sizeof(TBaseItem) == 3 * sizeof(double), "a record header is three words");

// The record type of a list: its size and alignment, and how to build one
// at a place in a block for the pool of owner. Each list passes its own, so
// every pool record is of that type by construction. Size 0 keeps records
// out of blocks: make_at then gets no place and allocates the record itself
// (for records that own memory of their own, which then sits beside them).
struct TRecordKind {
  size_t size;
  size_t alignment;
  TBaseItem* (*make_at)(void* place, const TBaseList& owner);
};

// The kind of a record type T that is built without the owner.
template <class T>
constexpr TRecordKind RecordKindOf() {
  static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__, "blocks give the default alignment");
  return {sizeof(T), alignof(T), [](void* place, const TBaseList&) -> TBaseItem* { return new (place) T; }};
}

class TBaseList {
 public:
  TBaseList(int size, int capacity, TRecordKind kind);
  virtual ~TBaseList();
  TBaseList(const TBaseList&) = delete;
  TBaseList& operator=(const TBaseList&) = delete;

  // ---- Virtual operations -------------------------------------------------
  virtual int CompareItems(const TBaseItem& a, const TBaseItem& b) const;
  virtual void AddCopies(const TBaseList& other);
  virtual void Clear();
  virtual void Pack();
  // Sorts by the records' own order, folds equal records, drops empty ones.
  virtual void MergeDuplicates();
  virtual void RemoveEmpty();
  virtual void First();
  virtual void Last();
  virtual void Next();
  virtual void Prior();
  virtual void FirstNew();
  virtual void NextNew();
  // Named Bof/Eof: EOF is a C library macro.
  virtual bool Bof() const;
  virtual bool Eof() const;
  virtual void SetNew();
  virtual int32_t GetFieldInteger(const std::string& field_name) const;
  virtual double GetFieldDouble(const std::string& field_name) const;
  virtual void Print(TLines& lines) const;

  // ---- State ----------------------------------------------------------------
  int32_t Count() const { return count_; }
  int32_t Size() const { return size_; }
  int32_t Capacity() const { return capacity_; }
  bool Sorted() const { return sorted_; }
  int32_t LastID() const { return last_id_; }
  int32_t SortMode() const { return sort_mode_; }
  int32_t Cursor() const { return cursor_; }
  // True when 0 <= Cursor < Count.
  bool OnRecord() const { return !Bof() && !Eof(); }

  // The record at a position of the pool (0 <= index < Size).
  TBaseItem& Item(int index) const { return *items_[static_cast<size_t>(index)]; }
  // The record at index as the list's record type.
  template <class T>
  T& ItemAs(int index) const {
    return static_cast<T&>(Item(index));
  }

  // ---- Pool and records -----------------------------------------------------
  void SetSize(int new_size);
  // Takes the next position; the spare there is left as it was.
  int NewIndex();
  // Exchanges the filled work item with the spare at the next position and
  // numbers it; work then holds the former spare. Returns the position.
  int Add(TBaseItem*& work);
  // Add, then move the record to its place by bisection; needs Sorted.
  int AddSorted(TBaseItem*& work);
  // Position of a record equal to key (the cursor's record tried first), or -1.
  int Find(const TBaseItem& key) const;
  // Folds work into an equal record (its position), else AddSorted and -1.
  int FindMerge(TBaseItem*& work);
  void Delete(int index);
  void TrimEnd(int from_index);
  void SetSortMode(int mode);
  void Sort();

  // ---- Cursor and numbering ------------------------------------------------------
  // Puts the cursor at a position; -1 and Count are the places off the rows.
  void SetCursor(int position) { cursor_ = position; }
  // Hands the next ID to no record: a record folded into another on arrival
  // still counts as appended, so the numbers of later records stay as if
  // every record had been added.
  void SkipID() { ++last_id_; }

  // ---- Ranges (for lists that fill or fold a part at a time) ----------------
  // Sorts the records from position begin to the end by the current order.
  void SortFrom(int begin);
  // On records ordered from position begin on: folds each record equal to the
  // last kept one into it (the folded one gets Deleted), then drops the empty
  // ones from begin on, keeping the order of the rest.
  void FoldFrom(int begin);
  // Marks the list sorted when its records are in the current order (one
  // pass); answers whether they are.
  bool CheckSorted();

 protected:
  // Sorts positions lo..hi by CompareItems. Typed lists override it to sort
  // without a virtual call per comparison; the algorithm stays QuickSort.
  virtual void SortRange(int lo, int hi);
  // The pool's records as an array (positions 0..Size-1).
  TBaseItem** Records() { return items_.data(); }
  // For a list that orders and folds its records itself (through Records):
  // positions 0..count-1 now hold the list in the current order, the ones
  // after them up to the old Count are spares. Count must not grow.
  void SetOrderedCount(int count);

 public:
  // Ends a record of any list or a work item made with new: destroys it in
  // its block, or deletes it. For work items of a living list; null is
  // ignored.
  static void ReleaseRecord(TBaseItem* record) noexcept;

 private:
  void DeleteRecords() noexcept;
  // Makes sure count free block places exist (one new block for the rest).
  void ReserveSlots(size_t count);

  std::vector<TBaseItem*> items_;  // owned; length size_
  std::vector<std::unique_ptr<std::byte[]>> blocks_;
  std::vector<void*> free_slots_;  // block places without a record; the last is used first
  TRecordKind kind_;
  size_t stride_;  // bytes from one block place to the next
  int32_t count_ = 0;
  int32_t size_ = 0;
  int32_t capacity_ = 1;
  bool sorted_ = true;
  int32_t last_id_ = -1;
  int32_t sort_mode_ = -1;
  int32_t cursor_ = 0;
};

}  // namespace orlix

#endif  // ORLIX_LISTS_BASE_LIST_H_
