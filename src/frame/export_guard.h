// The one shape of every export: the failure value is chosen first, the body
// runs under a guard, and anything raised inside ends as one log line
// ("<export>.except=<message>" or "<export>: except=<message>", with the error
// part) and a plain result. Nothing raised ever reaches the server.
//
// Argument readers live here too: the server passes every argument by
// reference, and no pointer is trusted.
#ifndef ORLIX_FRAME_EXPORT_GUARD_H_
#define ORLIX_FRAME_EXPORT_GUARD_H_

#include <cstdint>
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <typeinfo>
#include <utility>

#include "frame/dates.h"
#include "frame/failure.h"
#include "frame/platform.h"

namespace orlix {

// How a family writes its failure lines.
enum class FailureLine {
  kDot,     // "<export>.except="
  kColon,   // "<export>: except="
  kSilent,  // nothing is logged (the log exports themselves)
};

struct ExportSite {
  const char* name;
  FailureLine form;
};

// Writes the failure line of one caught failure; never throws.
void ReportFailure(const ExportSite& site, const char* message) noexcept;

// Runs body() and returns its result; a failure raised inside is logged for
// the site and answered with caught_value. The body returns the export's
// failure value itself on its quiet paths (no registry, unknown handle).
template <class R, class Body>
R Guard(const ExportSite& site, R caught_value, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (const std::bad_alloc&) {
    ReportFailure(site, "Out of memory");
  } catch (const std::bad_cast&) {
    ReportFailure(site, "Invalid type cast");
  } catch (const std::exception& failure) {
    ReportFailure(site, failure.what());
  } catch (...) {
    ReportFailure(site, "Unknown failure");
  }
  return caught_value;
}

// ---- Arguments ----------------------------------------------------------------

// A string argument as bytes; a null pointer is the empty string.
inline std::string_view StrArg(const char* arg) { return arg ? std::string_view(arg) : std::string_view(); }
// The same with trailing characters of code 0..32 cut.
std::string_view TrimmedStrArg(const char* arg);

inline int32_t IntArg(const int32_t* arg) {
  if (!arg) throw ENullArgument();
  return *arg;
}
inline double DoubleArg(const double* arg) {
  if (!arg) throw ENullArgument();
  return *arg;
}
// Only the first byte at the address counts; any non-zero byte is on.
inline bool ByteFlagArg(const int32_t* arg) {
  if (!arg) throw ENullArgument();
  return *reinterpret_cast<const unsigned char*>(arg) != 0;
}
// A server date or timestamp: only the day number is read.
inline double DateArg(const int32_t* arg) {
  if (!arg) throw ENullArgument();
  return DateTimeFromServerDay(*arg);
}

// ---- Results the server frees ---------------------------------------------------

// A buffer from the server's allocator holding bytes and a terminating zero;
// nullptr only when the allocator itself fails.
char* NewResultString(std::string_view bytes) noexcept;
// An 8-byte timestamp block from the server's allocator, set to date-time 0
// (1899-12-30, midnight) until filled; nullptr only when the allocator fails.
ServerTimestamp* NewDateBlock() noexcept;
// Fills a date block with a date-time (day number, time 0); a null block is skipped.
void SetDateBlock(ServerTimestamp* block, double date_time) noexcept;

}  // namespace orlix

#endif  // ORLIX_FRAME_EXPORT_GUARD_H_
