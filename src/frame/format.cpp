#include "frame/format.h"

#include <cstdarg>
#include <cstdio>

#include "frame/dates.h"
#include "frame/platform.h"

namespace orlix {

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text;
  if (length > 0) {
    text.resize(static_cast<size_t>(length));
    std::vsnprintf(text.data(), text.size() + 1, format, args);
  }
  va_end(args);
  return text;
}

std::string FormatDouble(double value) { return platform::FormatGeneral(value); }

std::string FormatDate(double date_time) {
  int year, month, day;
  DecodeDate(date_time, year, month, day);
  return platform::FormatShortDate(year, month, day);
}

std::string FormatDateTime(double date_time) {
  int hour, minute, second;
  DecodeTime(date_time, hour, minute, second);
  return FormatDate(date_time) + " " + platform::FormatTime(hour, minute, second);
}

}  // namespace orlix
