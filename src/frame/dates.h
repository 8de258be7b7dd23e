// Date-times inside the library are doubles counting days since 1899-12-30,
// the time of day as the fraction. The server counts whole days from
// 1858-11-17; the two day numbers differ by kServerDayOffset.
#ifndef ORLIX_FRAME_DATES_H_
#define ORLIX_FRAME_DATES_H_

#include <cstdint>

namespace orlix {

inline constexpr int32_t kServerDayOffset = 15018;

// The server's timestamp record: day number, then time of day in 1/10000 s.
struct ServerTimestamp {
  int32_t date;
  uint32_t time;
};

inline double DateTimeFromServerDay(int32_t day) {
  return static_cast<double>(day) - kServerDayOffset;
}

// The date-time truncated toward zero, plus the offset; values beyond the
// 32-bit day range are clamped rather than left undefined.
int32_t ServerDayFromDateTime(double date_time);

// Date-time of a civil date and time of day (proleptic Gregorian calendar).
double EncodeDateTime(int year, int month, int day, int hour, int minute, int second);
// The local date-time now.
double LocalDateTimeNow();

// Civil date of a date-time's day (proleptic Gregorian calendar).
void DecodeDate(double date_time, int& year, int& month, int& day);
// Hours, minutes and seconds of a date-time's fraction.
void DecodeTime(double date_time, int& hour, int& minute, int& second);

}  // namespace orlix

#endif  // ORLIX_FRAME_DATES_H_
