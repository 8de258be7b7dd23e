#include "frame/dates.h"

#include <cmath>
#include <limits>

#include "frame/platform.h"

namespace orlix {
namespace {
// Days from 1970-01-01 to 1899-12-30.
constexpr int64_t kDaysUnixTo1899 = -25569;
}  // namespace

int32_t ServerDayFromDateTime(double date_time) {
  if (std::isnan(date_time)) return kServerDayOffset;
  const double day = std::trunc(date_time) + kServerDayOffset;
  if (day <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  if (day >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(day);
}

double EncodeDateTime(int year, int month, int day, int hour, int minute, int second) {
  // Civil date to days since 1970-01-01 (H. Hinnant's algorithm).
  const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t mp = month > 2 ? month - 3 : month + 9;
  const int64_t doy = (153 * mp + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const int64_t days = era * 146097 + doe - 719468 - kDaysUnixTo1899;
  return static_cast<double>(days) + (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

double LocalDateTimeNow() {
  const platform::LocalClock now = platform::LocalNow();
  return EncodeDateTime(now.year, now.month, now.day, now.hour, now.minute, now.second);
}

void DecodeDate(double date_time, int& year, int& month, int& day) {
  double whole = std::isfinite(date_time) ? std::trunc(date_time) : 0.0;
  // Keep the arithmetic inside the range the algorithm handles.
  if (whole > 1e9) whole = 1e9;
  if (whole < -1e9) whole = -1e9;
  // Days since 1970-01-01 to civil date (H. Hinnant's algorithm).
  int64_t z = static_cast<int64_t>(whole) + kDaysUnixTo1899 + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

void DecodeTime(double date_time, int& hour, int& minute, int& second) {
  double fraction = std::isfinite(date_time) ? std::fabs(date_time - std::trunc(date_time)) : 0.0;
  int64_t seconds = static_cast<int64_t>(std::llround(fraction * 86400.0));
  if (seconds >= 86400) seconds = 86399;
  hour = static_cast<int>(seconds / 3600);
  minute = static_cast<int>(seconds / 60 % 60);
  second = static_cast<int>(seconds % 60);
}

}  // namespace orlix
