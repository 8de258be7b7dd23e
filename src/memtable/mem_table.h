// TMemTable: a named, per-thread table defined field by field and filled row
// by row. Rows stay in ascending key order, one row per key; inserting a row
// whose key exists folds it into that row by the fields' merge actions. The
// table then answers key lookups and cursor walks (the base list's).
//
// Positions (the cursor, Insert's answer, Item) are positions in key order,
// kept by a key index (TMemKeyIndex); the record pool holds the rows in
// arrival order, so a new key moves no row. Clear writes the key order back
// into the pool, so the spares are handed out again in that order. The base
// list's other record operations (Add, Delete, Sort, ...) are not used on a
// memory table: they would leave the index behind.
//
// A fold into an existing row is applied one call late: Insert asks for the
// row's memory and returns, and the fold lands at the table's next Insert,
// after that Insert's own search, or before anything reads or prints a row
// (Item, Print, Clear). From outside nothing shows this, and a procedure's
// loop of inserts overlaps one row's wait for memory with the next search.
// Folds of string fields, which may allocate, are never held back.
//
// Two phases: while the table has no record pool, AddField appends fields and
// rebuilds the work row; the first Insert creates the pool, after which the
// fields are fixed for the table's life (Clear keeps the pool).
#ifndef ORLIX_MEMTABLE_MEM_TABLE_H_
#define ORLIX_MEMTABLE_MEM_TABLE_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lists/base_list.h"
#include "memtable/key_index.h"
#include "memtable/mem_field.h"
#include "memtable/mem_row.h"

namespace orlix {

class TMemTable final : public TBaseList {
 public:
  // Growth step of the record pool.
  static constexpr int kPoolCapacity = 100;

  // No fields, no work row yet.
  TMemTable(int size, int capacity);
  ~TMemTable() override;

  // Logs "TMemTable.CreateTable=<name>" and builds an empty, sorted table.
  static std::unique_ptr<TMemTable> CreateTable(std::string_view name);

  int CompareItems(const TBaseItem& a, const TBaseItem& b) const override;
  // Date and time, "MemTable", "Row", the work row, then the rows.
  void Print(TLines& lines) const override;
  // Empties the table and the index; the pool keeps the rows as spares in
  // key order.
  void Clear() override;
  void FirstNew() override;
  void NextNew() override;
  // Cursor steps that also ask for the rows a walk reads next.
  void First() override;
  void Next() override;

  // The row at a position in key order (0 <= position < Count). These hide
  // the base list's, which answer by the pool's order.
  TMemFields& Item(int position) const {
    ApplyHeldFold();
    return index_.RowAt(position);
  }
  template <class T>
  T& ItemAs(int position) const {
    return static_cast<T&>(Item(position));
  }

  // Appends a field and rebuilds the work row; returns the field's index.
  // Fails on an unknown type (tested first) or action, and once the table
  // has a record pool (every pool row was built with the fields of its time).
  int32_t AddField(std::string_view name, std::string_view type_name, bool is_key, std::string_view action_name);
  // Empties every field of the work row.
  void RowClear();
  // Tells the table a field of the work row was set: once the key is known,
  // the memory its search reads first is requested.
  void WorkFieldSet(int32_t field) const {
    const std::vector<int32_t>& keys = field_defs_.KeyIndexes();
    if (row_ && !keys.empty() && keys[0] == field) index_.Prefetch(*row_);
  }
  // Folds the work row into the row of equal key (its position), or adds it
  // in key order and takes a spare as the new work row (-1). The spare keeps
  // the values it last held.
  int Insert();
  // Puts the cursor on the row whose key equals the work row's; false (cursor
  // kept) when there is none.
  bool Locate();

  // The work row; fails when the table has no fields yet.
  TMemFields& WorkRow(const char* operation) {
    if (!row_) NoWorkRow(operation);
    return *row_;
  }
  // The row under the cursor, or nullptr when the cursor is off the rows.
  TMemFields* CurrentRow() const { return OnRecord() ? &Item(Cursor()) : nullptr; }

  const TDescMemFields& FieldDefs() const { return field_defs_; }
  // The work row, or nullptr before the first field.
  TMemFields* Row() const { return row_.get(); }
  const std::string& TableName() const { return table_name_; }

 private:
  static TBaseItem* MakeRow(void* place, const TBaseList& owner);
  // Raises the failure of an operation on a table without fields.
  [[noreturn]] static void NoWorkRow(const char* operation);
  // Folds the held values into the held row, if a fold is held.
  void ApplyHeldFold() const {
    if (held_row_) ApplyHeldFoldNow();
  }
  void ApplyHeldFoldNow() const;
  // Asks for the rows at the cursor and after it.
  void PrefetchFromCursor() const;
  // Holds the work row's fold into target back until the next ApplyHeldFold;
  // false (nothing held) when a fold field is a string.
  bool HoldFold(TMemFields& target, const TMemFields& row);
  struct TReleaseRow {
    void operator()(TMemFields* row) const noexcept { ReleaseRecord(row); }
  };

  TDescMemFields field_defs_;
  TMemKeyIndex index_{field_defs_};  // the rows in key order
  std::unique_ptr<TMemFields, TReleaseRow> row_;  // absent until the first field
  // A fold held back by Insert: the row of the pool it goes into, and the
  // numbers of the work row's fold fields at that Insert (built with row_).
  mutable TMemFields* held_row_ = nullptr;
  std::unique_ptr<TMemFields, TReleaseRow> held_values_;
  std::string table_name_;
};

}  // namespace orlix

#endif  // ORLIX_MEMTABLE_MEM_TABLE_H_
