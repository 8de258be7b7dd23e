// Exports of the remains engine (TOstatok, "Ostatok" in the thread's object
// registry). Every export but Create answers its failure value at once, and
// logs nothing, when the thread has no engine; failures raised inside are
// logged as "<export>: except=<message>". Flags are read as one byte.
#include <cstdint>

#include "engines/engine_exports.h"
#include "remains/ostatok.h"

using namespace orlix;

ORLIX_EXPORT int32_t ibOstatokCreate(const int32_t* /*unused*/) {
  return CreateEngineExport<TOstatok>("ibOstatokCreate");
}

ORLIX_EXPORT int32_t ibOstatokFree(const int32_t* /*unused*/) { return FreeEngineExport<TOstatok>("ibOstatokFree"); }

ORLIX_EXPORT int32_t ibOstatokClear(const int32_t* /*unused*/) { return ClearEngineExport<TOstatok>("ibOstatokClear"); }

ORLIX_EXPORT int32_t ibOstatokPrint(const int32_t* /*unused*/) { return PrintEngineExport<TOstatok>("ibOstatokPrint"); }

ORLIX_EXPORT int32_t ibOstatokSetParams(const int32_t* period, const int32_t* first_date, const int32_t* last_date,
                                        const int32_t* max_date) {
  return EngineStep<TOstatok>("ibOstatokSetParams", [&](TOstatok& engine) {
    const int32_t new_period = IntArg(period);
    const double first = DateArg(first_date), last = DateArg(last_date), max = DateArg(max_date);
    engine.Period = new_period;
    engine.FirstDate = first;
    engine.LastDate = last;
    engine.MaxDate = max;
  });
}

ORLIX_EXPORT int32_t ibOstatokSetUseParams(const int32_t* pack, const int32_t* size, const int32_t* pack_size,
                                           const int32_t* daily, const int32_t* daily_pack, const int32_t* daily_size,
                                           const int32_t* daily_pack_size) {
  return EngineStep<TOstatok>("ibOstatokSetUseParams", [&](TOstatok& engine) {
    // All read before any is stored: a null argument changes nothing.
    const bool flags[] = {ByteFlagArg(pack),           ByteFlagArg(size),       ByteFlagArg(pack_size),
                          ByteFlagArg(daily),          ByteFlagArg(daily_pack), ByteFlagArg(daily_size),
                          ByteFlagArg(daily_pack_size)};
    engine.UseOstPack = flags[0];
    engine.UseOstSize = flags[1];
    engine.UseOstPackSize = flags[2];
    engine.UseOstDaily = flags[3];
    engine.UseOstDailyPack = flags[4];
    engine.UseOstDailySize = flags[5];
    engine.UseOstDailyPackSize = flags[6];
  });
}

ORLIX_EXPORT int32_t ibOstatokAppend(const int32_t* date, const int32_t* pack, const int32_t* rz,
                                     const int32_t* placeindex, const double* quantity, const double* resquantity) {
  return CallEngine<TOstatok>("ibOstatokAppend", kNoIndex, [&](TOstatok& engine) {
    return engine.Append(DateArg(date), IntArg(pack), IntArg(rz), IntArg(placeindex), DoubleArg(quantity),
                         DoubleArg(resquantity));
  });
}

ORLIX_EXPORT int32_t ibOstatokExecute(const int32_t* /*unused*/) {
  return ExecuteEngineExport<TOstatok>("ibOstatokExecute");
}

ORLIX_EXPORT int32_t ibOstatokGetTableNumber(const char* name) {
  return CallEngine<TOstatok>("ibOstatokGetTableNumber", kNoIndex,
                              [&](const TOstatok& engine) { return engine.GetTableNumber(StrArg(name)); });
}

ORLIX_EXPORT int32_t ibOstatokGetFieldNumber(const char* name) {
  return CallEngine<TOstatok>("ibOstatokGetFieldNumber", kNoIndex,
                              [&](const TOstatok&) { return TOstatok::GetFieldNumber(StrArg(name)); });
}

ORLIX_EXPORT double ibOstatokGetQuantity(const int32_t* table, const int32_t* date, const int32_t* pack,
                                         const int32_t* rz, const int32_t* placeindex) {
  return CallEngine<TOstatok>("ibOstatokGetQuantity", 0.0, [&](TOstatok& engine) {
    return engine.GetQuantity(IntArg(table), DateArg(date), IntArg(pack), IntArg(rz), IntArg(placeindex));
  });
}

ORLIX_EXPORT double ibOstatokGetResQuantity(const int32_t* table) {
  return CallEngine<TOstatok>("ibOstatokGetResQuantity", 0.0,
                              [&](const TOstatok& engine) { return engine.GetResQuantity(IntArg(table)); });
}

ORLIX_EXPORT ServerTimestamp* ibOstatokGetFieldDate(const int32_t* table, const int32_t* field) {
  return EngineDate<TOstatok>("ibOstatokGetFieldDate", [&](const TOstatok& engine) {
    return engine.GetFieldDate(IntArg(table), IntArg(field));
  });
}

ORLIX_EXPORT int32_t ibOstatokGetFieldInteger(const int32_t* table, const int32_t* field) {
  return CallEngine<TOstatok>("ibOstatokGetFieldInteger", int32_t{0}, [&](const TOstatok& engine) {
    return engine.GetFieldInteger(IntArg(table), IntArg(field));
  });
}

ORLIX_EXPORT double ibOstatokGetFieldDouble(const int32_t* table, const int32_t* field) {
  return CallEngine<TOstatok>("ibOstatokGetFieldDouble", 0.0, [&](const TOstatok& engine) {
    return engine.GetFieldDouble(IntArg(table), IntArg(field));
  });
}

ORLIX_EXPORT int32_t ibOstatokFirstNew(const int32_t* table) {
  return EngineStep<TOstatok>("ibOstatokFirstNew", [&](const TOstatok& engine) { engine.FirstNew(IntArg(table)); });
}

ORLIX_EXPORT int32_t ibOstatokNextNew(const int32_t* table) {
  return EngineStep<TOstatok>("ibOstatokNextNew", [&](const TOstatok& engine) { engine.NextNew(IntArg(table)); });
}

ORLIX_EXPORT int32_t ibOstatokEOF(const int32_t* table) {
  return CallEngine<TOstatok>("ibOstatokEOF", kAtEnd,
                              [&](const TOstatok& engine) { return engine.Eof(IntArg(table)) ? 1 : 0; });
}
