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

#include "remains/ostatok_list.h"

namespace orlix {

// Largest magnitude of a last date: beyond every 32-bit server day number,
// and far inside the range where whole days stay exact in a double.
inline constexpr double kMaxSpreadDate = 3.0e9;
// Most running-balance rows one spreading may produce: about 0.9 GB of rows,
// and the daily tables at most as many again. Enough for 27,000 keys over a
// year, or 200 keys whose first movement is dated day 0 and LastDate in 2026.
inline constexpr int kMaxDailyRows = 10'000'000;

// merged: key-ordered, each (key, date) once (a merged list). out is cleared
// and filled with the running balances in key order, each (key, date) once,
// none empty. Raises when last_date is not finite or beyond kMaxSpreadDate,
// or when the spread could need more than max_rows rows (counted before any
// is made); out is then left as it was.
void SpreadDays(const TOstatokList& merged, double last_date, int max_rows, TOstatokList& out);

}  // namespace orlix

#endif  // ORLIX_REMAINS_DAILY_SPREAD_H_
