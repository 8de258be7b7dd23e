// Exports of the store remains engine (TOstStore, "OstStore" in the thread's
// object registry). Every export but Create answers its failure value at
// once, and logs nothing, when the thread has no engine; failures raised
// inside are logged as "<export>: except=<message>".
#include <cstdint>

#include "engines/engine_exports.h"
#include "remains/ost_store.h"

using namespace orlix;

ORLIX_EXPORT int32_t ibOstStoreCreate(const int32_t* /*unused*/) {
  return CreateEngineExport<TOstStore>("ibOstStoreCreate");
}

ORLIX_EXPORT int32_t ibOstStoreFree(const int32_t* /*unused*/) { return FreeEngineExport<TOstStore>("ibOstStoreFree"); }

ORLIX_EXPORT int32_t ibOstStoreClear(const int32_t* /*unused*/) {
  return ClearEngineExport<TOstStore>("ibOstStoreClear");
}

ORLIX_EXPORT int32_t ibOstStorePrint(const int32_t* /*unused*/) {
  return PrintEngineExport<TOstStore>("ibOstStorePrint");
}

ORLIX_EXPORT int32_t ibOstStoreAppend(const int32_t* gooddate, const int32_t* pack, const int32_t* asrt,
                                      const int32_t* palet, const double* quantity) {
  return CallEngine<TOstStore>("ibOstStoreAppend", kNoIndex, [&](TOstStore& engine) {
    return engine.Append(DateArg(gooddate), IntArg(pack), IntArg(asrt), IntArg(palet), DoubleArg(quantity));
  });
}

ORLIX_EXPORT int32_t ibOstStoreExecute(const int32_t* /*unused*/) {
  return ExecuteEngineExport<TOstStore>("ibOstStoreExecute");
}

ORLIX_EXPORT int32_t ibOstStoreGetFieldNumber(const char* name) {
  return CallEngine<TOstStore>("ibOstStoreGetFieldNumber", kNoIndex,
                               [&](const TOstStore&) { return TOstStore::GetFieldNumber(StrArg(name)); });
}

ORLIX_EXPORT double ibOstStoreGetQuantity(const int32_t* gooddate, const int32_t* pack, const int32_t* asrt,
                                          const int32_t* palet) {
  return CallEngine<TOstStore>("ibOstStoreGetQuantity", 0.0, [&](TOstStore& engine) {
    return engine.GetQuantity(DateArg(gooddate), IntArg(pack), IntArg(asrt), IntArg(palet));
  });
}

ORLIX_EXPORT ServerTimestamp* ibOstStoreGetFieldDate(const int32_t* field) {
  return EngineDate<TOstStore>("ibOstStoreGetFieldDate",
                               [&](const TOstStore& engine) { return engine.GetFieldDate(IntArg(field)); });
}

ORLIX_EXPORT int32_t ibOstStoreGetFieldInteger(const int32_t* field) {
  return CallEngine<TOstStore>("ibOstStoreGetFieldInteger", int32_t{0},
                               [&](const TOstStore& engine) { return engine.GetFieldInteger(IntArg(field)); });
}

ORLIX_EXPORT double ibOstStoreGetFieldDouble(const int32_t* field) {
  return CallEngine<TOstStore>("ibOstStoreGetFieldDouble", 0.0,
                               [&](const TOstStore& engine) { return engine.GetFieldDouble(IntArg(field)); });
}

ORLIX_EXPORT int32_t ibOstStoreFirstNew(const int32_t* /*unused*/) {
  return EngineStep<TOstStore>("ibOstStoreFirstNew", [](TOstStore& engine) { engine.FirstNew(); });
}

ORLIX_EXPORT int32_t ibOstStoreNextNew(const int32_t* /*unused*/) {
  return EngineStep<TOstStore>("ibOstStoreNextNew", [](TOstStore& engine) { engine.NextNew(); });
}

ORLIX_EXPORT int32_t ibOstStoreEOF(const int32_t* /*unused*/) {
  return CallEngine<TOstStore>("ibOstStoreEOF", kAtEnd, [](const TOstStore& engine) { return engine.Eof() ? 1 : 0; });
}
