// TMemFields: one row of a memory table, a pool record of the table's
// TBaseList holding one TMemField per field descriptor. A row knows only its
// values: comparing, folding and printing take the table's descriptors.
#ifndef ORLIX_MEMTABLE_MEM_ROW_H_
#define ORLIX_MEMTABLE_MEM_ROW_H_

#include <cstdint>
#include <vector>

#include "lists/base_list.h"
#include "memtable/mem_field.h"

namespace orlix {

class TMemFields final : public TBaseItem {
 public:
  // A row with one empty value per descriptor.
  explicit TMemFields(const TDescMemFields& defs);

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

  std::vector<TMemField> Fields;
};

}  // namespace orlix

#endif  // ORLIX_MEMTABLE_MEM_ROW_H_
