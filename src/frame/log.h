// The diagnostic log: one line per event, appended to a file that a stored
// procedure names at run time. The log is off while the name is empty.
//
// Line layout: "ThreadId=<id>. <message> Time=<hh:mm:ss>", then, for failure
// lines, "  ErrCode=<code> ErrMsg=<text>", then CR LF. Bytes are written as the
// library holds them (Windows-1251 for its own texts).
#ifndef ORLIX_FRAME_LOG_H_
#define ORLIX_FRAME_LOG_H_

#include <string>
#include <string_view>

#include "frame/format.h"

namespace orlix {

// Replaces the log file name for the whole process; empty switches it off.
void SetLogFileName(std::string_view name);
std::string LogFileName();

// Builds one log line (without writing it). Exposed for tests.
std::string BuildLogLine(std::string_view message, bool with_error);

// Writes one line; never fails towards its caller (a lost line is dropped).
void WriteLog(std::string_view message, bool with_error = false) noexcept;

// Writes each line without the error part, then empties the list.
void LogLines(TLines* lines) noexcept;

}  // namespace orlix

#endif  // ORLIX_FRAME_LOG_H_
