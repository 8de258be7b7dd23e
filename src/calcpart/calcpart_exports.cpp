// Exports of the batch calculation engine (TCalcPart, "CalcPart" in the
// thread's object registry). Every export but Create answers its failure
// value at once, and logs nothing, when the thread has no engine; failures
// raised inside are logged as "<export>: except=<message>". Quantities and
// money values must be finite and dates within the server's calendar
// (0001-01-01 to 9999-12-31): anything else is refused with a log line
// before a row is touched.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "calcpart/calc_part.h"
#include "calcpart/calcpart_messages.h"
#include "engines/engine_exports.h"

using namespace orlix;

namespace {

// Server day numbers of 0001-01-01 and 9999-12-31.
constexpr int32_t kFirstServerDay = -678575;
constexpr int32_t kLastServerDay = 2973483;

// Appends made through the exports carry no money values until an Update.
constexpr double kNoMoney = 0.0;
constexpr int32_t kNoTh = -1;
// A stored split appended without its party's details.
constexpr int32_t kNoCounterpart = -1;
constexpr double kNoBaseDate = 0.0;
constexpr int32_t kNoBaseOt = -1;

double FiniteArg(const double* arg, const char* name) {
  const double value = DoubleArg(arg);
  if (!std::isfinite(value))
    throw EOrlixError(Format(calcpart_messages::kNotFinite, name, FormatDouble(value).c_str()));
  return value;
}

double CalcDateArg(const int32_t* arg) {
  if (!arg) throw ENullArgument();
  if (*arg < kFirstServerDay || *arg > kLastServerDay)
    throw EOrlixError(Format(calcpart_messages::kDateOutOfRange, *arg));
  return DateArg(arg);
}

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if ((x >= 'A' && x <= 'Z' ? x + 32 : x) != (y >= 'A' && y <= 'Z' ? y + 32 : y)) return false;
  }
  return true;
}

// The list a table name reaches (letter case ignored), or nullptr: FixKind
// and tmpXRet cannot be reached.
TBaseList* Table(TCalcPart& engine, const char* name) {
  const std::string_view table = StrArg(name);
  if (SameLetters(table, "remains")) return &engine.Remains;
  if (SameLetters(table, "partspec")) return &engine.PartSpec;
  if (SameLetters(table, "retspec")) return &engine.RetSpec;
  if (SameLetters(table, "xpart")) return &engine.XPart;
  if (SameLetters(table, "xret")) return &engine.XRet;
  return nullptr;
}

// The row an Update export changes: the one the last Append put the cursor on.
template <class List>
auto& CurrentRow(List& list, const char* name) {
  if (!list.OnRecord()) throw EOrlixError(Format(calcpart_messages::kNoCurrentRow, name));
  return list.Current();
}

// Reads (rub, cur, th) and stores them into row once all are read.
template <class Row>
void SetMoney(Row& row, const double* rub, const double* cur, const int32_t* th) {
  const double new_rub = FiniteArg(rub, "rub"), new_cur = FiniteArg(cur, "cur");
  const int32_t new_th = IntArg(th);
  row.rub = new_rub;
  row.cur = new_cur;
  row.th = new_th;
}

// A table export: body(list) gives the result; an unknown table answers
// failure without a log line.
template <class R, class Body>
R TableCall(const char* export_name, R failure, const char* table, Body&& body) {
  return CallEngine<TCalcPart>(export_name, failure, [&](TCalcPart& engine) -> R {
    TBaseList* list = Table(engine, table);
    return list ? static_cast<R>(body(*list)) : failure;
  });
}

}  // namespace

ORLIX_EXPORT int32_t ibCalcPartCreate(const int32_t* /*unused*/) {
  return CreateEngineExport<TCalcPart>("ibCalcPartCreate");
}

ORLIX_EXPORT int32_t ibCalcPartFree(const int32_t* /*unused*/) { return FreeEngineExport<TCalcPart>("ibCalcPartFree"); }

ORLIX_EXPORT int32_t ibCalcPartClear(const int32_t* mode) {
  return EngineStep<TCalcPart>("ibCalcPartClear", [&](TCalcPart& engine) { engine.Clear(IntArg(mode)); });
}

ORLIX_EXPORT int32_t ibCalcPartPrint(const int32_t* /*unused*/) {
  return PrintEngineExport<TCalcPart>("ibCalcPartPrint");
}

ORLIX_EXPORT int32_t ibCalcPartFixKindSort(const int32_t* /*unused*/) {
  return EngineStep<TCalcPart>("ibCalcPartFixKindSort", [](TCalcPart& engine) { engine.FixKindSort(); });
}

ORLIX_EXPORT int32_t ibCalcPartExecute(const int32_t* /*unused*/) {
  return ExecuteEngineExport<TCalcPart>("ibCalcPartExecute");
}

ORLIX_EXPORT int32_t ibCalcPartXMoveCycle(const int32_t* /*unused*/) {
  return CallEngine<TCalcPart>("ibCalcPartXMoveCycle", kNoIndex, [](TCalcPart&) { return 1; });
}

ORLIX_EXPORT int32_t ibCalcPartPriorityInAppend(const int32_t* dk, const int32_t* ot, const int32_t* p,
                                                const int32_t* pfm) {
  return EngineStep<TCalcPart>("ibCalcPartPriorityInAppend", [&](TCalcPart& engine) {
    TPriorityInList& list = engine.Remains.Priorities();
    list.SetCursor(list.Append(IntArg(dk), IntArg(ot), IntArg(p), IntArg(pfm)));
  });
}

ORLIX_EXPORT int32_t ibCalcPartFixKindAppend(const int32_t* dh, const int32_t* bdh, const int32_t* k) {
  return EngineStep<TCalcPart>("ibCalcPartFixKindAppend", [&](TCalcPart& engine) {
    engine.FixKind.SetCursor(engine.FixKind.Append(IntArg(dh), IntArg(bdh), IntArg(k)));
  });
}

ORLIX_EXPORT int32_t ibCalcPartRemainsAppend(const int32_t* dh, const int32_t* mdh, const int32_t* d, const int32_t* pi,
                                             const int32_t* ot, const int32_t* dk, const double* q, const int32_t* ci) {
  return EngineStep<TCalcPart>("ibCalcPartRemainsAppend", [&](TCalcPart& engine) {
    const int32_t doc = IntArg(dh), move = IntArg(mdh);
    const double date = CalcDateArg(d);
    const int32_t place = IntArg(pi), op = IntArg(ot), kind = IntArg(dk);
    const double quantity = FiniteArg(q, "q");
    const int32_t counterpart = IntArg(ci);
    engine.Remains.SetCursor(
        engine.Remains.Append(doc, move, date, place, op, kind, quantity, kNoMoney, kNoMoney, kNoTh, counterpart));
  });
}

ORLIX_EXPORT int32_t ibCalcPartXPartAppend(const int32_t* dh, const int32_t* mdh, const int32_t* d, const int32_t* pi,
                                           const int32_t* ot, const int32_t* dk, const double* q, const int32_t* fix,
                                           const int32_t* p, const int32_t* ci) {
  return EngineStep<TCalcPart>("ibCalcPartXPartAppend", [&](TCalcPart& engine) {
    const int32_t doc = IntArg(dh), move = IntArg(mdh);
    const double date = CalcDateArg(d);
    const int32_t place = IntArg(pi), op = IntArg(ot), kind = IntArg(dk);
    const double quantity = FiniteArg(q, "q");
    const bool fixed = IntArg(fix) != 0;  // read, not used: fix comes from the fix kinds
    const int32_t priority = IntArg(p), counterpart = IntArg(ci);
    engine.XPart.SetCursor(engine.XPart.Append(doc, move, date, place, op, kind, quantity, fixed, priority, kNoMoney,
                                               kNoMoney, kNoTh, counterpart));
  });
}

ORLIX_EXPORT int32_t ibCalcPartXPartUpdate(const double* rub, const double* cur, const int32_t* th) {
  return EngineStep<TCalcPart>("ibCalcPartXPartUpdate",
                               [&](TCalcPart& engine) { SetMoney(CurrentRow(engine.XPart, "XPart"), rub, cur, th); });
}

ORLIX_EXPORT int32_t ibCalcPartXRetAppend(const int32_t* dh, const int32_t* odh, const int32_t* mdh, const int32_t* d,
                                          const int32_t* pi, const double* q, const int32_t* fix, const int32_t* ci) {
  return EngineStep<TCalcPart>("ibCalcPartXRetAppend", [&](TCalcPart& engine) {
    const int32_t doc = IntArg(dh), out = IntArg(odh), move = IntArg(mdh);
    const double date = CalcDateArg(d);
    const int32_t place = IntArg(pi);
    const double quantity = FiniteArg(q, "q");
    const bool fixed = IntArg(fix) != 0;
    const int32_t counterpart = IntArg(ci);
    engine.XRet.SetCursor(
        engine.XRet.Append(doc, out, move, date, place, quantity, fixed, kNoMoney, kNoMoney, kNoTh, counterpart));
  });
}

ORLIX_EXPORT int32_t ibCalcPartXRetUpdate(const double* rub, const double* cur, const int32_t* th) {
  return EngineStep<TCalcPart>("ibCalcPartXRetUpdate",
                               [&](TCalcPart& engine) { SetMoney(CurrentRow(engine.XRet, "XRet"), rub, cur, th); });
}

ORLIX_EXPORT int32_t ibCalcPartPartSpecAppend(const int32_t* dh, const int32_t* idh, const int32_t* mdh,
                                              const int32_t* d, const int32_t* pi, const int32_t* ot, const int32_t* dk,
                                              const double* q, const int32_t* fix, const int32_t* ci) {
  return EngineStep<TCalcPart>("ibCalcPartPartSpecAppend", [&](TCalcPart& engine) {
    const int32_t doc = IntArg(dh), in = IntArg(idh), move = IntArg(mdh);
    const double date = CalcDateArg(d);
    const int32_t place = IntArg(pi), op = IntArg(ot), kind = IntArg(dk);
    const double quantity = FiniteArg(q, "q");
    const bool fixed = IntArg(fix) != 0;
    const int32_t counterpart = IntArg(ci);
    engine.PartSpec.SetCursor(engine.PartSpec.Append(doc, in, move, quantity, date, place, op, kind, fixed, kNoMoney,
                                                     kNoMoney, kNoTh, counterpart, kNoCounterpart, kNoBaseDate,
                                                     kNoBaseOt));
  });
}

namespace {
// The part the two PartSpec updates share; cp only when given.
void UpdatePartSpec(TCalcPart& engine, const double* rub, const double* cur, const int32_t* th, const int32_t* pci,
                    const int32_t* bd, const int32_t* bot, const int32_t* cp) {
  TPartSpec& row = CurrentRow(engine.PartSpec, "PartSpec");
  const double new_rub = FiniteArg(rub, "rub"), new_cur = FiniteArg(cur, "cur");
  const int32_t new_th = IntArg(th), new_pci = IntArg(pci);
  const double new_bd = CalcDateArg(bd);
  const int32_t new_bot = IntArg(bot);
  const int32_t new_cp = cp ? IntArg(cp) : row.cp;
  row.rub = new_rub;
  row.cur = new_cur;
  row.th = new_th;
  row.pci = new_pci;
  row.bd = new_bd;
  row.bot = new_bot;
  row.cp = new_cp;
}
}  // namespace

ORLIX_EXPORT int32_t ibCalcPartPartSpecUpdate(const double* rub, const double* cur, const int32_t* th,
                                              const int32_t* pci, const int32_t* bd, const int32_t* bot) {
  return EngineStep<TCalcPart>("ibCalcPartPartSpecUpdate",
                               [&](TCalcPart& engine) { UpdatePartSpec(engine, rub, cur, th, pci, bd, bot, nullptr); });
}

ORLIX_EXPORT int32_t ibCalcPartPartSpecUpdate2(const double* rub, const double* cur, const int32_t* th,
                                               const int32_t* pci, const int32_t* bd, const int32_t* bot,
                                               const int32_t* cp) {
  return EngineStep<TCalcPart>("ibCalcPartPartSpecUpdate2", [&](TCalcPart& engine) {
    if (!cp) throw ENullArgument();
    UpdatePartSpec(engine, rub, cur, th, pci, bd, bot, cp);
  });
}

ORLIX_EXPORT int32_t ibCalcPartRetSpecAppend(const int32_t* dh, const int32_t* odh, const int32_t* idh,
                                             const int32_t* mdh, const int32_t* d, const int32_t* pi, const double* q,
                                             const int32_t* fix, const int32_t* ci) {
  return EngineStep<TCalcPart>("ibCalcPartRetSpecAppend", [&](TCalcPart& engine) {
    const int32_t doc = IntArg(dh), out = IntArg(odh), in = IntArg(idh), move = IntArg(mdh);
    const double date = CalcDateArg(d);
    const int32_t place = IntArg(pi);
    const double quantity = FiniteArg(q, "q");
    const bool fixed = IntArg(fix) != 0;
    const int32_t counterpart = IntArg(ci);
    engine.RetSpec.SetCursor(engine.RetSpec.Append(doc, out, in, move, quantity, date, place, fixed, kNoMoney, kNoMoney,
                                                   kNoTh, counterpart));
  });
}

ORLIX_EXPORT int32_t ibCalcPartRetSpecUpdate(const double* rub, const double* cur, const int32_t* th) {
  return EngineStep<TCalcPart>("ibCalcPartRetSpecUpdate", [&](TCalcPart& engine) {
    SetMoney(CurrentRow(engine.RetSpec, "RetSpec"), rub, cur, th);
  });
}

ORLIX_EXPORT int32_t ibCalcPartRetSpecUpdate2(const double* rub, const double* cur, const int32_t* th,
                                              const int32_t* cp) {
  return EngineStep<TCalcPart>("ibCalcPartRetSpecUpdate2", [&](TCalcPart& engine) {
    TRetSpec& row = CurrentRow(engine.RetSpec, "RetSpec");
    const int32_t new_cp = IntArg(cp);
    SetMoney(row, rub, cur, th);
    row.cp = new_cp;
  });
}

ORLIX_EXPORT double ibCalcPartRemainsGetQuantity(const int32_t* dh, const int32_t* mdh) {
  return CallEngine<TCalcPart>("ibCalcPartRemainsGetQuantity", -1.0,
                               [&](TCalcPart& engine) { return engine.Remains.GetQuantity(IntArg(dh), IntArg(mdh)); });
}

ORLIX_EXPORT double ibCalcPartPartSpecGetQuantity(const int32_t* dh, const int32_t* idh, const int32_t* mdh) {
  return CallEngine<TCalcPart>("ibCalcPartPartSpecGetQuantity", -1.0, [&](TCalcPart& engine) {
    return engine.PartSpec.GetQuantity(IntArg(dh), IntArg(idh), IntArg(mdh));
  });
}

ORLIX_EXPORT double ibCalcPartRetSpecGetQuantity(const int32_t* dh, const int32_t* odh, const int32_t* idh,
                                                 const int32_t* mdh) {
  return CallEngine<TCalcPart>("ibCalcPartRetSpecGetQuantity", -1.0, [&](TCalcPart& engine) {
    return engine.RetSpec.GetQuantity(IntArg(dh), IntArg(odh), IntArg(idh), IntArg(mdh));
  });
}

ORLIX_EXPORT double ibCalcPartXPartGetQuantity(const int32_t* dh, const int32_t* mdh) {
  return CallEngine<TCalcPart>("ibCalcPartXPartGetQuantity", -1.0,
                               [&](TCalcPart& engine) { return engine.XPart.GetQuantity(IntArg(dh), IntArg(mdh)); });
}

ORLIX_EXPORT double ibCalcPartXRetGetQuantity(const int32_t* dh, const int32_t* odh, const int32_t* mdh) {
  return CallEngine<TCalcPart>("ibCalcPartXRetGetQuantity", -1.0, [&](TCalcPart& engine) {
    return engine.XRet.GetQuantity(IntArg(dh), IntArg(odh), IntArg(mdh));
  });
}

ORLIX_EXPORT int32_t ibCalcPartCount(const char* table) {
  return TableCall("ibCalcPartCount", kNoIndex, table, [](TBaseList& list) { return list.Count(); });
}

ORLIX_EXPORT int32_t ibCalcPartFirstNew(const char* table) {
  return TableCall("ibCalcPartFirstNew", int32_t{0}, table, [](TBaseList& list) {
    list.FirstNew();
    return 1;
  });
}

ORLIX_EXPORT int32_t ibCalcPartNextNew(const char* table) {
  return TableCall("ibCalcPartNextNew", int32_t{0}, table, [](TBaseList& list) {
    list.NextNew();
    return 1;
  });
}

ORLIX_EXPORT int32_t ibCalcPartEOF(const char* table) {
  return TableCall("ibCalcPartEOF", kAtEnd, table, [](TBaseList& list) { return list.Eof() ? 1 : 0; });
}

ORLIX_EXPORT int32_t ibCalcPartGetFieldInteger(const char* table, const char* field) {
  return TableCall("ibCalcPartGetFieldInteger", kNoIndex, table,
                   [&](TBaseList& list) { return list.GetFieldInteger(std::string(StrArg(field))); });
}

ORLIX_EXPORT double ibCalcPartGetFieldDouble(const char* table, const char* /*field*/) {
  return TableCall("ibCalcPartGetFieldDouble", -1.0, table, [&](TBaseList& list) {
    if (!list.OnRecord()) throw EOrlixError(Format(calcpart_messages::kNoCurrentRow, StrArg(table).data()));
    return list.GetFieldDouble(std::string());
  });
}
