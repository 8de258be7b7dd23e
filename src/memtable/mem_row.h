// TMemFields: one row of a memory table, a pool record of the table's
// TBaseList holding one TMemField per field descriptor. Rows compare by their
// key fields and fold an incoming row into themselves by the merge actions.
#ifndef ORLIX_MEMTABLE_MEM_ROW_H_
#define ORLIX_MEMTABLE_MEM_ROW_H_

#include <cstdint>
#include <vector>

#include "lists/base_list.h"
#include "memtable/mem_field.h"

namespace orlix {

class TMemTable;

class TMemFields : public TBaseItem {
 public:
  static const TItemClass Class;

  // The owner must be a TMemTable ("Invalid type cast" otherwise); the row
  // gets one value per field the table has now.
  explicit TMemFields(TBaseList* owner);

  // "new=<0|1>   f0=<value>   f1=<value>   ..."
  void Print(TLines& lines) const override;
  // Copies the value slots of every field; ID, Deleted and New stay.
  void Assign(const TBaseItem& source) override;
  // Folds the incoming row's non-key fields into this row.
  void Merge(const TBaseItem& other) override;
  // Key fields in field order; the first that differs decides.
  int Compare(const TBaseItem& other) const override;

  // The same two without a checked cast, for the table's own rows, all of
  // which are TMemFields of one table.
  void MergeRow(const TMemFields& incoming);
  int CompareKeys(const TMemFields& other) const;

  // Empties every field.
  void ClearFields();

  TMemTable* Table;  // not owned
  std::vector<TMemField> Fields;
};

}  // namespace orlix

#endif  // ORLIX_MEMTABLE_MEM_ROW_H_
