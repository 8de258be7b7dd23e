// TMemTable: a named, per-thread table defined field by field and filled row
// by row. Rows stay in ascending key order, one row per key; inserting a row
// whose key exists folds it into that row by the fields' merge actions. The
// table then answers key lookups and cursor walks (the base list's).
//
// Two phases: while the table has no record pool, AddField appends fields and
// rebuilds the work row; the first Insert creates the pool, after which the
// fields are fixed for the table's life (Clear keeps the pool).
#ifndef ORLIX_MEMTABLE_MEM_TABLE_H_
#define ORLIX_MEMTABLE_MEM_TABLE_H_

#include <memory>
#include <string>
#include <string_view>

#include "lists/base_list.h"
#include "memtable/mem_field.h"
#include "memtable/mem_row.h"

namespace orlix {

class TMemTable final : public TBaseList {
 public:
  // Growth step of the record pool.
  static constexpr int kPoolCapacity = 100;

  // Fails with "ic is not TMemFields in the TMemTable.Create" unless
  // item_class is TMemFields or a descendant. No fields, no work row yet.
  TMemTable(int size, int capacity, const TItemClass& item_class);
  ~TMemTable() override;

  // Logs "TMemTable.CreateTable=<name>" and builds an empty, sorted table.
  static std::unique_ptr<TMemTable> CreateTable(std::string_view name);

  int CompareItems(const TBaseItem& a, const TBaseItem& b) const override;
  // Date and time, "MemTable", "Row", the work row, then the rows.
  void Print(TLines& lines) const override;

  // Replaces the work row with a fresh one holding a value per field.
  void RebuildRow();
  // Empties every field of the work row.
  void RowClear();
  // Folds the work row into the row of equal key (its position), or adds it
  // in key order and takes a spare as the new work row (-1). The spare keeps
  // the values it last held.
  int Insert();
  // Puts the cursor on the row whose key equals the work row's; false (cursor
  // kept) when there is none.
  bool Locate();

  // The work row; fails when the table has no fields yet.
  TMemFields& WorkRow(const char* operation);
  // The row under the cursor, or nullptr when the cursor is off the rows.
  TMemFields* CurrentRow() const { return OnRecord() ? &ItemAs<TMemFields>(Cursor) : nullptr; }

  TDescMemFields FieldDefs{this};
  std::unique_ptr<TMemFields> Row;  // absent until the first field
  std::string TableName;
};

}  // namespace orlix

#endif  // ORLIX_MEMTABLE_MEM_TABLE_H_
