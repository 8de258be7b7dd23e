// The value-list exports as the server sees them: every argument by
// reference, strings as zero-terminated bytes. Declared here so the unit tests
// and the definitions share one signature per export.
#ifndef ORLIX_VALUES_VALUE_EXPORTS_H_
#define ORLIX_VALUES_VALUE_EXPORTS_H_

#include <cstdint>

#include "frame/platform.h"

// String lists.
ORLIX_EXPORT int32_t ibListStrCreate(const char* name);
ORLIX_EXPORT int32_t ibListStrFree(const int32_t* handle);
ORLIX_EXPORT int32_t ibListStrPrint(const int32_t* handle);
ORLIX_EXPORT int32_t ibListStrByName(const char* name);
ORLIX_EXPORT int32_t ibListStrClear(const int32_t* handle);
ORLIX_EXPORT int32_t ibListStrAdd(const int32_t* handle, const char* value);
ORLIX_EXPORT int32_t ibListStrDelete(const int32_t* handle, const char* value);
ORLIX_EXPORT int32_t ibListStrCount(const int32_t* handle);
ORLIX_EXPORT int32_t ibListStrExists(const int32_t* handle, const char* value);
ORLIX_EXPORT int32_t ibListStrExistsByPos(const int32_t* handle, const char* text, const int32_t* pos);
ORLIX_EXPORT int32_t ibListStrSort(const int32_t* handle, const int32_t* flag);
ORLIX_EXPORT int32_t ibListStrIndex(const int32_t* handle, const char* value);
ORLIX_EXPORT char* ibListStrGetItemByIndex(const int32_t* handle, const int32_t* index);
ORLIX_EXPORT char* ibListStrGetItemBySubStr(const int32_t* handle, char* sub);

// Integer lists.
ORLIX_EXPORT int32_t ibListIntCreate(const char* name);
ORLIX_EXPORT int32_t ibListIntFree(const int32_t* handle);
ORLIX_EXPORT int32_t ibListIntPrint(const int32_t* handle);
ORLIX_EXPORT int32_t ibListIntByName(const char* name);
ORLIX_EXPORT int32_t ibListIntClear(const int32_t* handle);
ORLIX_EXPORT int32_t ibListIntAdd(const int32_t* handle, const int32_t* value);
ORLIX_EXPORT int32_t ibListIntDelete(const int32_t* handle, const int32_t* value);
ORLIX_EXPORT int32_t ibListIntCount(const int32_t* handle);
ORLIX_EXPORT int32_t ibListIntExists(const int32_t* handle, const int32_t* value);
ORLIX_EXPORT int32_t ibListIntIndexOf(const int32_t* handle, const int32_t* value);
ORLIX_EXPORT int32_t ibListIntGetItemByIndex(const int32_t* handle, const int32_t* index);

// Double lists.
ORLIX_EXPORT int32_t ibListDoubleCreate(const char* name);
ORLIX_EXPORT int32_t ibListDoubleFree(const int32_t* handle);
ORLIX_EXPORT int32_t ibListDoublePrint(const int32_t* handle);
ORLIX_EXPORT int32_t ibListDoubleByName(const char* name);
ORLIX_EXPORT int32_t ibListDoubleClear(const int32_t* handle);
ORLIX_EXPORT int32_t ibListDoubleAdd(const int32_t* handle, const double* value);
ORLIX_EXPORT int32_t ibListDoubleDelete(const int32_t* handle, const double* value);
ORLIX_EXPORT int32_t ibListDoubleCount(const int32_t* handle);
ORLIX_EXPORT int32_t ibListDoubleExists(const int32_t* handle, const double* value);
ORLIX_EXPORT int32_t ibListDoubleIndexOf(const int32_t* handle, const double* value);
ORLIX_EXPORT double ibListDoubleGetItemByIndex(const int32_t* handle, const int32_t* index);
ORLIX_EXPORT int32_t ibListDoubleSort(const int32_t* handle, const int32_t* flag);

#endif  // ORLIX_VALUES_VALUE_EXPORTS_H_
