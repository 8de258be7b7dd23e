#include "frame/log.h"

#include <memory>
#include <mutex>

#include "frame/platform.h"

namespace orlix {
namespace {

// Shared by all threads. A writer swaps the whole name, a reader copies the
// pointer; both hold the lock only for that pointer copy, so a reader sees the
// old name or the new one, never a mixture, and no file write is done under
// the lock. A plain mutex rather than std::atomic<std::shared_ptr>: GCC 12
// releases the latter's internal lock with relaxed order, a race that
// ThreadSanitizer rightly reports; a mutex it can check.
std::mutex g_log_name_mutex;
std::shared_ptr<const std::string> g_log_file_name;

std::shared_ptr<const std::string> CurrentLogFileName() {
  std::lock_guard<std::mutex> lock(g_log_name_mutex);
  return g_log_file_name;
}

}  // namespace

void SetLogFileName(std::string_view name) {
  std::shared_ptr<const std::string> fresh;
  if (!name.empty()) fresh = std::make_shared<const std::string>(name);
  {
    std::lock_guard<std::mutex> lock(g_log_name_mutex);
    g_log_file_name.swap(fresh);
  }
  // The old name is released here, outside the lock.
}

std::string LogFileName() {
  auto name = CurrentLogFileName();
  return name ? *name : std::string();
}

std::string BuildLogLine(std::string_view message, bool with_error) {
  const platform::LocalClock now = platform::LocalNow();
  std::string line = "ThreadId=";
  line += std::to_string(platform::CurrentThreadId());
  line += ". ";
  line += message;
  line += " Time=";
  line += platform::FormatTime(now.hour, now.minute, now.second);
  if (with_error) {
    // Whatever the thread's last system call left, read only now.
    const int code = platform::LastErrorCode();
    line += "  ErrCode=";
    line += std::to_string(code);
    line += " ErrMsg=";
    line += platform::ErrorText(code);
  }
  line += "\r\n";
  return line;
}

void WriteLog(std::string_view message, bool with_error) noexcept {
  try {
    const auto name = CurrentLogFileName();
    if (!name) return;
    platform::AppendToFile(*name, BuildLogLine(message, with_error));
  } catch (...) {
    // A line that cannot be built or written is dropped.
  }
}

void LogLines(TLines* lines) noexcept {
  if (!lines) return;
  for (const std::string& line : *lines) WriteLog(line, false);
  lines->clear();
}

}  // namespace orlix
