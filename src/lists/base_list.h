// TBaseItem / TBaseList: the pooled, array-backed record list under every
// record list of the memory tables and the calculation engines.
//
// The list keeps a pool of ready-made records: positions 0..Count-1 are the
// list, Count..Size-1 are spares. Appending exchanges the caller's filled work
// item for a spare, so the hot paths (add, delete, clear, remove empty)
// allocate nothing while spares remain; the pool grows Capacity records at a
// time. Records are numbered (ID), flaggable (Deleted, New), walked by a
// cursor, sorted by a switchable comparison and searched by bisection.
#ifndef ORLIX_LISTS_BASE_LIST_H_
#define ORLIX_LISTS_BASE_LIST_H_

#include <cstdint>
#include <vector>

#include "frame/failure.h"
#include "frame/format.h"
#include "frame/registry.h"

namespace orlix {

class TBaseItem;
class TBaseList;

// A record class: its name, its parent class and how to make one for a pool.
struct TItemClass {
  const char* name;
  const TItemClass* parent;
  TBaseItem* (*make)(TBaseList* owner);

  // True for this class and its descendants.
  bool InheritsFrom(const TItemClass& other) const;
};

// Three-way comparison used by every record comparison: -1, 0 or 1, exact.
template <class T>
inline int Compare3(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Zero tolerance of every engine: a magnitude at most this is zero.
inline constexpr double kZeroTolerance = 1e-10;

class TBaseItem {
 public:
  static const TItemClass Class;

  explicit TBaseItem(TBaseList* owner = nullptr);
  virtual ~TBaseItem() = default;
  TBaseItem(const TBaseItem&) = delete;
  TBaseItem& operator=(const TBaseItem&) = delete;

  virtual void Print(TLines& lines) const;
  virtual void Assign(const TBaseItem& source);
  virtual void Merge(const TBaseItem& other);
  // Must return exactly -1, 0 or 1: the searches depend on it.
  virtual int Compare(const TBaseItem& other) const;
  virtual bool IsEmpty() const;

  int32_t ID = -1;
  bool Deleted = false;
  double Quantity = 0.0;
  bool New = false;
};

class TBaseList {
 public:
  TBaseList(int size, int capacity, const TItemClass& item_class);
  virtual ~TBaseList();
  TBaseList(const TBaseList&) = delete;
  TBaseList& operator=(const TBaseList&) = delete;

  // ---- Virtual operations -------------------------------------------------
  virtual int CompareItems(const TBaseItem& a, const TBaseItem& b) const;
  virtual void AddCopies(const TBaseList& other);
  virtual void Clear();
  virtual void Pack();
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

  TBaseItem& Item(int index) const { return *Items[index]; }
  // The record at index as the descendant's record class.
  template <class T>
  T& ItemAs(int index) const { return static_cast<T&>(*Items[index]); }
  // True when 0 <= Cursor < Count.
  bool OnRecord() const { return !Bof() && !Eof(); }

  std::vector<TBaseItem*> Items;  // owned; length Size
  int32_t Count = 0;
  int32_t Size = 0;
  int32_t Capacity = 1;
  bool Sorted = true;
  int32_t LastID = -1;
  const TItemClass* ItemClass;
  int32_t SortMode = -1;
  int32_t Cursor = 0;

 protected:
  // For descendant constructors: "ic is not <record> in the <list>.Create"
  // unless item_class is record_class or descends from it.
  static const TItemClass& CheckItemClass(const TItemClass& item_class, const TItemClass& record_class,
                                          const char* list_name);
 private:
  void QuickSort(int lo, int hi);
};

}  // namespace orlix

#endif  // ORLIX_LISTS_BASE_LIST_H_
