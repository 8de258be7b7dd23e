// TMemFields: one row of a memory table, a pool record of the table's
// TBaseList holding one TMemField per field descriptor. A row knows only its
// values: comparing, folding and printing take the table's descriptors.
//
// The values live in the same allocation as the row, right after it, so a
// lookup that reaches a row finds its values on the same or the next cache
// line instead of behind a second pointer. Rows are therefore made only by
// Make and ended by delete (the pool's ReleaseRecord).
#ifndef ORLIX_MEMTABLE_MEM_ROW_H_
#define ORLIX_MEMTABLE_MEM_ROW_H_

#include <cstddef>
#include <cstdint>

#include "lists/base_list.h"
#include "memtable/mem_field.h"

namespace orlix {

// The values of one row: a fixed count of fields, indexed like a vector.
// It is the row's last member and the values start where it ends, so a
// value's address is known from the row's address without a load, and the
// lines of the row and of its values are fetched side by side.
class TRowFields final {
 public:
  size_t size() const { return size_; }
  TMemField& operator[](size_t index) { return data()[index]; }
  const TMemField& operator[](size_t index) const { return data()[index]; }
  TMemField* begin() { return data(); }
  TMemField* end() { return data() + size_; }
  const TMemField* begin() const { return data(); }
  const TMemField* end() const { return data() + size_; }

 private:
  friend class TMemFields;
  TMemField* data() { return reinterpret_cast<TMemField*>(this + 1); }
  const TMemField* data() const { return reinterpret_cast<const TMemField*>(this + 1); }
  size_t size_ = 0;
};

class TMemFields final : public TBaseItem {
 public:
  // A row with one empty value per descriptor, in one allocation.
  static TMemFields* Make(const TDescMemFields& defs);
  ~TMemFields() override;
  TMemFields(const TMemFields&) = delete;
  TMemFields& operator=(const TMemFields&) = delete;

  // Rows are ended by delete; the values go with the row's allocation.
  static void operator delete(void* row) { ::operator delete(row); }

  // Copies the value slots of every field both rows have; ID, Deleted and
  // New stay.
  void Assign(const TBaseItem& source) override;

  // "new=<0|1>   f0=<value>   f1=<value>   ..."
  void PrintWith(TLines& lines, const TDescMemFields& defs) const;
  // Folds the incoming row's non-key fields into this row.
  void MergeRow(const TMemFields& incoming, const TDescMemFields& defs);
  // Key fields in field order; the first that differs decides.
  int CompareKeys(const TMemFields& other, const TDescMemFields& defs) const;
  // Empties every field.
  void ClearFields();

  TRowFields Fields;

 private:
  explicit TMemFields(size_t count) noexcept;
  // The room a row of count fields takes, and its placement form.
  struct TFieldCount {
    size_t count;
  };
  static void* operator new(size_t size, TFieldCount fields);
  static void operator delete(void* row, TFieldCount) { ::operator delete(row); }
};

}  // namespace orlix

#endif  // ORLIX_MEMTABLE_MEM_ROW_H_
