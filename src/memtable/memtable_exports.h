// The memory-table family's exports, as the server resolves them by name.
// Included by the exports file (so the two cannot drift apart) and by tests
// that call the exports directly.
#ifndef ORLIX_MEMTABLE_MEMTABLE_EXPORTS_H_
#define ORLIX_MEMTABLE_MEMTABLE_EXPORTS_H_

#include <cstdint>

#include "frame/dates.h"
#include "frame/platform.h"

ORLIX_EXPORT int32_t ibMemTableCreate(const char* name);
ORLIX_EXPORT int32_t ibMemTableFree(const int32_t* handle);
ORLIX_EXPORT int32_t ibMemTablePrint(const int32_t* handle);
ORLIX_EXPORT int32_t ibMemTableByName(const char* name);
ORLIX_EXPORT int32_t ibMemTableClear(const int32_t* handle);
ORLIX_EXPORT int32_t ibMemTableAddField(const int32_t* handle, const char* name, const char* type_name,
                                        const int32_t* is_key, const char* action_name);
ORLIX_EXPORT int32_t ibMemTableFieldByName(const int32_t* handle, const char* name);
ORLIX_EXPORT int32_t ibMemTableRowClear(const int32_t* handle);
ORLIX_EXPORT int32_t ibMemTableRowFieldSetStr(const int32_t* handle, const int32_t* field, const char* value);
ORLIX_EXPORT int32_t ibMemTableRowFieldSetInt(const int32_t* handle, const int32_t* field, const int32_t* value);
ORLIX_EXPORT int32_t ibMemTableRowFieldSetDouble(const int32_t* handle, const int32_t* field,
                                                 const double* value);
ORLIX_EXPORT int32_t ibMemTableRowFieldSetDate(const int32_t* handle, const int32_t* field, const int32_t* date);
ORLIX_EXPORT int32_t ibMemTableInsert(const int32_t* handle);
ORLIX_EXPORT int32_t ibMemTableSetNew(const int32_t* handle);
ORLIX_EXPORT int32_t ibMemTableLocate(const int32_t* handle);
ORLIX_EXPORT int32_t ibMemTableBOF(const int32_t* handle);
ORLIX_EXPORT int32_t ibMemTableEOF(const int32_t* handle);
ORLIX_EXPORT int32_t ibMemTableFirst(const int32_t* handle);
ORLIX_EXPORT int32_t ibMemTableLast(const int32_t* handle);
ORLIX_EXPORT int32_t ibMemTableNext(const int32_t* handle);
ORLIX_EXPORT int32_t ibMemTablePrior(const int32_t* handle);
ORLIX_EXPORT int32_t ibMemTableFirstNew(const int32_t* handle);
ORLIX_EXPORT int32_t ibMemTableNextNew(const int32_t* handle);
ORLIX_EXPORT int32_t ibMemTableFieldSetStr(const int32_t* handle, const int32_t* field, const char* value);
ORLIX_EXPORT int32_t ibMemTableFieldSetInt(const int32_t* handle, const int32_t* field, const int32_t* value);
ORLIX_EXPORT int32_t ibMemTableFieldSetDouble(const int32_t* handle, const int32_t* field, const double* value);
ORLIX_EXPORT int32_t ibMemTableFieldSetDate(const int32_t* handle, const int32_t* field, const int32_t* date);
ORLIX_EXPORT const char* ibMemTableFieldGetStr(const int32_t* handle, const int32_t* field);
ORLIX_EXPORT int32_t ibMemTableFieldGetInt(const int32_t* handle, const int32_t* field);
ORLIX_EXPORT double ibMemTableFieldGetDouble(const int32_t* handle, const int32_t* field);
ORLIX_EXPORT orlix::ServerTimestamp* ibMemTableFieldGetDate(const int32_t* handle, const int32_t* field);

#endif  // ORLIX_MEMTABLE_MEMTABLE_EXPORTS_H_
