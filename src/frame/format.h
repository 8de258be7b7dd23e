// Text helpers: printf-style formatting into std::string and the regional
// forms of dates and numbers used by log and Print lines.
#ifndef ORLIX_FRAME_FORMAT_H_
#define ORLIX_FRAME_FORMAT_H_

#include <string>
#include <vector>

namespace orlix {

// Ordered text lines that Print operations fill and LogLines writes out.
using TLines = std::vector<std::string>;

// printf-style formatting; the arguments must match the format.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The general number form: up to 15 significant digits, "." as separator.
std::string FormatDouble(double value);
// Short date "dd.mm.yyyy" of a date-time (days since 1899-12-30).
std::string FormatDate(double date_time);
// Short date and time "dd.mm.yyyy hh:mm:ss" of a date-time.
std::string FormatDateTime(double date_time);

}  // namespace orlix

#endif  // ORLIX_FRAME_FORMAT_H_
