// Day spreading of the remains engine: turns merged movements into running
// balances, one row per key and day up to a last date.
//
// The rows are exactly those of the plain method (append, for every movement
// dated before the last date, one copy per later day up to it, then merge
// everything by key and date and drop the rows whose two quantities both net
// to zero), restricted to dates not after the last date. They are built per
// key by walking its dated rows in order, so time and memory follow the rows
// produced, not movements times days.
#ifndef ORLIX_REMAINS_DAILY_SPREAD_H_
#define ORLIX_REMAINS_DAILY_SPREAD_H_

#include <memory>
#include <span>

#include "remains/movement_list.h"
#include "remains/ostatok_list.h"

namespace orlix {

// Largest magnitude of a last date: beyond every 32-bit server day number,
// and far inside the range where whole days stay exact in a double.
inline constexpr double kMaxSpreadDate = 3.0e9;
// Most rows the daily part of one Execute may build, the running balances and
// every daily table asked for counted together. At the bound one Execute
// takes about 175 MB and 1.5 s (4 s with the sanitizers), so no call holds a
// server thread long or threatens its memory; still 2,700 keys over a year
// with all four daily tables, or 5,400 with one, and more rows than a
// procedure could usefully read back one call per field.
inline constexpr int kMaxDailyRows = 2'000'000;

class DaySpreader;

// A day spreading, planned before anything is built. The plan counts every
// row the daily part will build: the running balances, and for each daily
// table asked for an upper bound of its rows (per key of the table, the days
// from its earliest movement to the last date). A plan beyond max_rows, a
// last date that is not finite or beyond kMaxSpreadDate, is refused (raises)
// before any list changes.
class TDaySpread final {
 public:
  // What a daily table keeps of a row's key besides place and date.
  struct TableKeys {
    bool use_pack, use_rz;
  };

  // merged: key-ordered, each (key, date) once (a merged list); it must
  // stay unchanged until Emit.
  TDaySpread(std::span<const TMovement> merged, double last_date, std::span<const TableKeys> tables, int max_rows);
  ~TDaySpread();
  TDaySpread(const TDaySpread&) = delete;
  TDaySpread& operator=(const TDaySpread&) = delete;

  // Clears out and fills it with the running balances in key order, each
  // (key, date) once, none empty.
  void Emit(TOstatokList& out);

 private:
  std::unique_ptr<DaySpreader> spreader_;
};

}  // namespace orlix

#endif  // ORLIX_REMAINS_DAILY_SPREAD_H_
