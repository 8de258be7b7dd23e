// Exports of the memory-table family: the thread's tables by handle, their
// fields, the work row and its insert, lookups, the cursor and field reads.
//
// Quiet failures: a handle naming no table, a field index outside the table's
// fields and a cursor off the rows answer the failure value at once and write
// nothing to the log (as an unknown handle does); only failures raised inside
// a call are logged, as "<export>.except=<message>".
#include "memtable/memtable_exports.h"

#include <cstdint>

#include "frame/export_guard.h"
#include "frame/log.h"
#include "memtable/mem_table.h"
#include "memtable/table_list.h"

using namespace orlix;

namespace {

constexpr ExportSite Site(const char* export_name) { return {export_name, FailureLine::kDot}; }

// Borrowed string results that are not a field's own characters.
constexpr const char* kEmptyText = "";
constexpr const char* kErrorText = "Error";

// The table behind the handle argument; nullptr without a registry or table.
// Inline: every export of the family starts here, several per row.
inline __attribute__((always_inline)) TMemTable* TableArg(const int32_t* handle) {
  TTableList* tables = GetTableRegistry();
  return tables ? tables->TableByHandle(IntArg(handle)) : nullptr;
}

// The field of row named by the index argument, or nullptr outside the fields.
inline __attribute__((always_inline)) TMemField* FieldArg(const TMemTable& table, TMemFields& row,
                                                          const int32_t* field) {
  const int32_t index = IntArg(field);
  if (!table.FieldDefs().ValidIndex(index) || static_cast<size_t>(index) >= row.Fields.size()) return nullptr;
  return &row.Fields[static_cast<size_t>(index)];
}

// Shape: find the table, answer from it.
template <class R, class Body>
R WithTable(const char* export_name, R failure, const int32_t* handle, Body&& body) {
  return Guard(Site(export_name), failure, [&]() -> R {
    TMemTable* table = TableArg(handle);
    return table ? body(*table) : failure;
  });
}

// Shape: find the table, do one step on it, answer 1.
template <class Step>
int32_t TableStep(const char* export_name, const int32_t* handle, Step&& step) {
  return WithTable(export_name, 0, handle, [&](TMemTable& table) {
    step(table);
    return 1;
  });
}

// Shape: find the table and the work row's field, store into it, answer 1.
template <class Store>
int32_t SetWorkField(const char* export_name, const int32_t* handle, const int32_t* field, Store&& store) {
  return WithTable(export_name, 0, handle, [&](TMemTable& table) {
    if (table.FieldDefs().Count() == 0) return 0;  // no fields: no field index is valid
    TMemField* value = FieldArg(table, table.WorkRow("RowFieldSet"), field);
    if (!value) return 0;
    store(*value);
    table.WorkFieldSet(*field);
    return 1;
  });
}

// Shape: find the table, the current row and its field, store into it, answer
// 1. The row keeps its place and its New flag.
template <class Store>
int32_t SetCurrentField(const char* export_name, const int32_t* handle, const int32_t* field, Store&& store) {
  return WithTable(export_name, 0, handle, [&](TMemTable& table) {
    TMemFields* row = table.CurrentRow();
    TMemField* value = row ? FieldArg(table, *row, field) : nullptr;
    if (!value) return 0;
    store(*value);
    table.WorkFieldSet(*field);
    return 1;
  });
}

// Shape: find the table, the current row and its field, read it; a read
// clears the row's New flag.
template <class R, class Read>
R GetCurrentField(const char* export_name, R failure, R caught, const int32_t* handle, const int32_t* field,
                  Read&& read) {
  return Guard(Site(export_name), caught, [&]() -> R {
    TMemTable* table = TableArg(handle);
    TMemFields* row = table ? table->CurrentRow() : nullptr;
    const TMemField* value = row ? FieldArg(*table, *row, field) : nullptr;
    if (!value) return failure;
    const R result = read(*value);
    row->New = false;
    return result;
  });
}

}  // namespace

// ---- Tables ------------------------------------------------------------------------

// A new empty table of that name on this thread: its handle (0 on failure).
ORLIX_EXPORT int32_t ibMemTableCreate(const char* name) {
  return Guard(Site("ibMemTableCreate"), 0, [&] {
    TTableList* tables = GetTableRegistry();
    return tables ? tables->CreateTable(StrArg(name)) : 0;
  });
}

// Destroys the table: 1; 0 for handle 0 and (logged) for a handle of no table.
ORLIX_EXPORT int32_t ibMemTableFree(const int32_t* handle) {
  return Guard(Site("ibMemTableFree"), 0, [&] {
    if (IntArg(handle) == 0) return 0;
    TTableList* tables = GetTableRegistry();
    if (!tables) return 0;
    tables->FreeTable(IntArg(handle));
    return 1;
  });
}

ORLIX_EXPORT int32_t ibMemTablePrint(const int32_t* handle) {
  return TableStep("ibMemTablePrint", handle, [](TMemTable& table) {
    TLines lines;
    table.Print(lines);
    LogLines(&lines);
  });
}

ORLIX_EXPORT int32_t ibMemTableByName(const char* name) {
  return Guard(Site("ibMemTableByName"), 0, [&] {
    TTableList* tables = GetTableRegistry();
    return tables ? tables->TableByName(StrArg(name)) : 0;
  });
}

ORLIX_EXPORT int32_t ibMemTableClear(const int32_t* handle) {
  return TableStep("ibMemTableClear", handle, [](TMemTable& table) { table.Clear(); });
}

// ---- Fields ------------------------------------------------------------------------

// Only the key flag's low-order byte counts (256 is not a key).
ORLIX_EXPORT int32_t ibMemTableAddField(const int32_t* handle, const char* name, const char* type_name,
                                        const int32_t* is_key, const char* action_name) {
  return WithTable("ibMemTableAddField", -1, handle, [&](TMemTable& table) {
    const bool key = (IntArg(is_key) & 0xFF) != 0;
    return table.AddField(StrArg(name), StrArg(type_name), key, StrArg(action_name));
  });
}

ORLIX_EXPORT int32_t ibMemTableFieldByName(const int32_t* handle, const char* name) {
  return WithTable("ibMemTableFieldByName", -1, handle,
                   [&](TMemTable& table) { return table.FieldDefs().FieldByName(StrArg(name)); });
}

// ---- Work row ----------------------------------------------------------------------

ORLIX_EXPORT int32_t ibMemTableRowClear(const int32_t* handle) {
  return TableStep("ibMemTableRowClear", handle, [](TMemTable& table) { table.RowClear(); });
}

ORLIX_EXPORT int32_t ibMemTableRowFieldSetStr(const int32_t* handle, const int32_t* field, const char* value) {
  return SetWorkField("ibMemTableRowFieldSetStr", handle, field,
                      [&](TMemField& f) { f.StrValue.assign(StrArg(value)); });
}

ORLIX_EXPORT int32_t ibMemTableRowFieldSetInt(const int32_t* handle, const int32_t* field, const int32_t* value) {
  return SetWorkField("ibMemTableRowFieldSetInt", handle, field, [&](TMemField& f) { f.IntValue = IntArg(value); });
}

ORLIX_EXPORT int32_t ibMemTableRowFieldSetDouble(const int32_t* handle, const int32_t* field, const double* value) {
  return SetWorkField("ibMemTableRowFieldSetDouble", handle, field,
                      [&](TMemField& f) { f.DoubleValue = DoubleArg(value); });
}

ORLIX_EXPORT int32_t ibMemTableRowFieldSetDate(const int32_t* handle, const int32_t* field, const int32_t* date) {
  return SetWorkField("ibMemTableRowFieldSetDate", handle, field, [&](TMemField& f) { f.DateValue = DateArg(date); });
}

// -1 when the row was added, else the index of the row it was folded into.
ORLIX_EXPORT int32_t ibMemTableInsert(const int32_t* handle) {
  return WithTable("ibMemTableInsert", -1, handle, [](TMemTable& table) { return table.Insert(); });
}

// ---- Lookups and the cursor ------------------------------------------------------

ORLIX_EXPORT int32_t ibMemTableSetNew(const int32_t* handle) {
  return TableStep("ibMemTableSetNew", handle, [](TMemTable& table) { table.SetNew(); });
}

// 1 with the cursor on the row of the work row's key; 0, cursor kept, if none.
ORLIX_EXPORT int32_t ibMemTableLocate(const int32_t* handle) {
  return WithTable("ibMemTableLocate", -1, handle, [](TMemTable& table) { return table.Locate() ? 1 : 0; });
}

ORLIX_EXPORT int32_t ibMemTableBOF(const int32_t* handle) {
  return WithTable("ibMemTableBOF", 1, handle, [](TMemTable& table) { return table.Bof() ? 1 : 0; });
}

ORLIX_EXPORT int32_t ibMemTableEOF(const int32_t* handle) {
  return WithTable("ibMemTableEOF", 1, handle, [](TMemTable& table) { return table.Eof() ? 1 : 0; });
}

ORLIX_EXPORT int32_t ibMemTableFirst(const int32_t* handle) {
  return TableStep("ibMemTableFirst", handle, [](TMemTable& table) { table.First(); });
}

ORLIX_EXPORT int32_t ibMemTableLast(const int32_t* handle) {
  return TableStep("ibMemTableLast", handle, [](TMemTable& table) { table.Last(); });
}

ORLIX_EXPORT int32_t ibMemTableNext(const int32_t* handle) {
  return TableStep("ibMemTableNext", handle, [](TMemTable& table) { table.Next(); });
}

ORLIX_EXPORT int32_t ibMemTablePrior(const int32_t* handle) {
  return TableStep("ibMemTablePrior", handle, [](TMemTable& table) { table.Prior(); });
}

ORLIX_EXPORT int32_t ibMemTableFirstNew(const int32_t* handle) {
  return TableStep("ibMemTableFirstNew", handle, [](TMemTable& table) { table.FirstNew(); });
}

ORLIX_EXPORT int32_t ibMemTableNextNew(const int32_t* handle) {
  return TableStep("ibMemTableNextNew", handle, [](TMemTable& table) { table.NextNew(); });
}

// ---- Current row -------------------------------------------------------------------

ORLIX_EXPORT int32_t ibMemTableFieldSetStr(const int32_t* handle, const int32_t* field, const char* value) {
  return SetCurrentField("ibMemTableFieldSetStr", handle, field,
                         [&](TMemField& f) { f.StrValue.assign(StrArg(value)); });
}

ORLIX_EXPORT int32_t ibMemTableFieldSetInt(const int32_t* handle, const int32_t* field, const int32_t* value) {
  return SetCurrentField("ibMemTableFieldSetInt", handle, field, [&](TMemField& f) { f.IntValue = IntArg(value); });
}

ORLIX_EXPORT int32_t ibMemTableFieldSetDouble(const int32_t* handle, const int32_t* field, const double* value) {
  return SetCurrentField("ibMemTableFieldSetDouble", handle, field,
                         [&](TMemField& f) { f.DoubleValue = DoubleArg(value); });
}

ORLIX_EXPORT int32_t ibMemTableFieldSetDate(const int32_t* handle, const int32_t* field, const int32_t* date) {
  return SetCurrentField("ibMemTableFieldSetDate", handle, field, [&](TMemField& f) { f.DateValue = DateArg(date); });
}

// The field's own characters, valid until that field changes or the table is
// freed; "" for an empty value and quiet failures, "Error" after a logged one.
ORLIX_EXPORT const char* ibMemTableFieldGetStr(const int32_t* handle, const int32_t* field) {
  return GetCurrentField("ibMemTableFieldGetStr", kEmptyText, kErrorText, handle, field,
                         [](const TMemField& f) { return f.StrValue.empty() ? kEmptyText : f.StrValue.c_str(); });
}

ORLIX_EXPORT int32_t ibMemTableFieldGetInt(const int32_t* handle, const int32_t* field) {
  return GetCurrentField("ibMemTableFieldGetInt", 0, 0, handle, field, [](const TMemField& f) { return f.IntValue; });
}

ORLIX_EXPORT double ibMemTableFieldGetDouble(const int32_t* handle, const int32_t* field) {
  return GetCurrentField("ibMemTableFieldGetDouble", 0.0, 0.0, handle, field,
                         [](const TMemField& f) { return f.DoubleValue; });
}

// A block from the server's allocator on every path: the field's day at
// midnight, or 1899-12-30 (date-time 0) when the read fails.
ORLIX_EXPORT ServerTimestamp* ibMemTableFieldGetDate(const int32_t* handle, const int32_t* field) {
  ServerTimestamp* block = NewDateBlock();
  GetCurrentField("ibMemTableFieldGetDate", false, false, handle, field, [&](const TMemField& f) {
    SetDateBlock(block, f.DateValue);
    return true;
  });
  return block;
}
