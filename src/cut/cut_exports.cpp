// Exports of the write-off engine (TCut, "Cut" in the thread's object
// registry). Every export but Create answers its failure value at once, and
// logs nothing, when the thread has no engine; failures raised inside are
// logged as "<export>: except=<message>", or "<export>(<number>): except=..."
// for the three that name the field or table they were given. The switches
// of SetParams are on when equal to 1.
#include <cstdint>

#include "cut/cut.h"
#include "cut/cut_export_shapes.h"
#include "engines/engine_exports.h"

using namespace orlix;

namespace {
// Execute's answer when there is no engine or a failure was caught; the
// calculation's own codes never take this value.
constexpr int32_t kExecuteFailed = 2;
// The switches of SetParams.
bool SwitchArg(const int32_t* arg) { return IntArg(arg) == 1; }
}  // namespace

ORLIX_EXPORT int32_t ibCutCreate(const int32_t* /*unused*/) { return CreateEngineExport<TCut>("ibCutCreate"); }

ORLIX_EXPORT int32_t ibCutFree(const int32_t* /*unused*/) { return FreeEngineExport<TCut>("ibCutFree"); }

ORLIX_EXPORT int32_t ibCutClear(const int32_t* /*unused*/) { return ClearEngineExport<TCut>("ibCutClear"); }

ORLIX_EXPORT int32_t ibCutPrint(const int32_t* /*unused*/) { return PrintEngineExport<TCut>("ibCutPrint"); }

ORLIX_EXPORT int32_t ibCutExecute(const int32_t* /*unused*/) {
  return CallEngine<TCut>("ibCutExecute", kExecuteFailed, [](TCut& engine) { return engine.Execute(); });
}

ORLIX_EXPORT int32_t ibCutSetParams(const int32_t* to_date, const double* in_quantity, const double* pay_quantity,
                                    const double* ret_quantity, const int32_t* is_pay, const int32_t* ver_pay) {
  return EngineStep<TCut>("ibCutSetParams", [&](TCut& engine) {
    engine.SetParams(DateArg(to_date), DoubleArg(in_quantity), DoubleArg(pay_quantity), DoubleArg(ret_quantity),
                     SwitchArg(is_pay), SwitchArg(ver_pay));
  });
}

ORLIX_EXPORT int32_t ibCutPartSpecAppend(const int32_t* dh, const int32_t* mdh, const int32_t* d, const int32_t* ot,
                                         const int32_t* dk, const int32_t* pi, const int32_t* ci, const int32_t* cp,
                                         const double* q) {
  return EngineStep<TCut>("ibCutPartSpecAppend", [&](TCut& engine) {
    engine.AppendPartSpec(IntArg(dh), IntArg(mdh), DoubleArg(q), DateArg(d), IntArg(pi), IntArg(ot), IntArg(dk),
                          IntArg(ci), IntArg(cp));
  });
}

ORLIX_EXPORT double ibCutPartSpecCutQ(const int32_t* dh, const int32_t* mdh) {
  return CallEngine<TCut>("ibCutPartSpecCutQ", 0.0,
                          [&](TCut& engine) { return engine.PartSpecCutQ(IntArg(dh), IntArg(mdh)); });
}

ORLIX_EXPORT int32_t ibCutRetSpecAppend(const int32_t* dh, const int32_t* odh, const int32_t* mdh, const int32_t* d,
                                        const int32_t* pi, const int32_t* ci, const int32_t* cp, const double* q) {
  return EngineStep<TCut>("ibCutRetSpecAppend", [&](TCut& engine) {
    engine.AppendRetSpec(IntArg(dh), IntArg(odh), IntArg(mdh), DoubleArg(q), DateArg(d), IntArg(pi), IntArg(ci),
                         IntArg(cp));
  });
}

ORLIX_EXPORT double ibCutRetSpecCutQ(const int32_t* dh, const int32_t* odh, const int32_t* mdh) {
  return CallEngine<TCut>("ibCutRetSpecCutQ", 0.0,
                          [&](TCut& engine) { return engine.RetSpecCutQ(IntArg(dh), IntArg(odh), IntArg(mdh)); });
}

ORLIX_EXPORT int32_t ibCutOutDocPayAppend(const int32_t* dh, const int32_t* ph, const int32_t* ah, const int32_t* pd,
                                          const int32_t* ad, const double* q) {
  return EngineStep<TCut>("ibCutOutDocPayAppend", [&](TCut& engine) {
    engine.AppendOutDocPay(IntArg(dh), IntArg(ph), IntArg(ah), DateArg(pd), DateArg(ad), DoubleArg(q));
  });
}

ORLIX_EXPORT int32_t ibCutGetTableNumber(const char* name) {
  return CallEngine<TCut>("ibCutGetTableNumber", kNoIndex,
                          [&](const TCut& engine) { return engine.GetTableNumber(StrArg(name)); });
}

ORLIX_EXPORT int32_t ibCutGetFieldNumber(const char* name) {
  return CallEngine<TCut>("ibCutGetFieldNumber", kNoIndex,
                          [&](const TCut&) { return TCut::GetFieldNumber(StrArg(name)); });
}

ORLIX_EXPORT int32_t ibCutGetFieldInteger(const int32_t* table, const int32_t* field) {
  return CallEngineNumbered<TCut>("ibCutGetFieldInteger", field, kNoIndex, [&](const TCut& engine) {
    return engine.GetFieldInteger(IntArg(table), IntArg(field));
  });
}

ORLIX_EXPORT double ibCutGetFieldDouble(const int32_t* table, const int32_t* field) {
  return CallEngineNumbered<TCut>("ibCutGetFieldDouble", field, 0.0, [&](const TCut& engine) {
    return engine.GetFieldDouble(IntArg(table), IntArg(field));
  });
}

ORLIX_EXPORT int32_t ibCutFirstNew(const int32_t* table) {
  return CallEngineNumbered<TCut>("ibCutFirstNew", table, int32_t{0}, [&](const TCut& engine) {
    engine.FirstNew(IntArg(table));
    return 1;
  });
}

ORLIX_EXPORT int32_t ibCutNextNew(const int32_t* table) {
  return EngineStep<TCut>("ibCutNextNew", [&](const TCut& engine) { engine.NextNew(IntArg(table)); });
}

ORLIX_EXPORT int32_t ibCutEOF(const int32_t* table) {
  return CallEngine<TCut>("ibCutEOF", kAtEnd, [&](const TCut& engine) { return engine.Eof(IntArg(table)) ? 1 : 0; });
}

ORLIX_EXPORT double ibCutGetCutQuantity(const int32_t* /*unused*/) {
  return CallEngine<TCut>("ibCutGetCutQuantity", 0.0, [](const TCut& engine) { return engine.GetCutQuantity(false); });
}

ORLIX_EXPORT double ibCutGetCutRetQuantity(const int32_t* /*unused*/) {
  return CallEngine<TCut>("ibCutGetCutRetQuantity", 0.0,
                          [](const TCut& engine) { return engine.GetCutQuantity(true); });
}
