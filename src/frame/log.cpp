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

namespace {

// What every line of a moment carries: the thread and the time of day.
struct LineStamp {
  std::string thread_id;
  std::string time;
};

LineStamp Stamp() {
  const platform::LocalClock now = platform::LocalNow();
  return {std::to_string(platform::CurrentThreadId()), platform::FormatTime(now.hour, now.minute, now.second)};
}

void AppendLine(std::string& out, const LineStamp& stamp, std::string_view message, bool with_error) {
  out += "ThreadId=";
  out += stamp.thread_id;
  out += ". ";
  out += message;
  out += " Time=";
  out += stamp.time;
  if (with_error) {
    // Whatever the thread's last system call left, read only now.
    const int code = platform::LastErrorCode();
    out += "  ErrCode=";
    out += std::to_string(code);
    out += " ErrMsg=";
    out += platform::ErrorText(code);
  }
  out += "\r\n";
}

}  // namespace

std::string BuildLogLine(std::string_view message, bool with_error) {
  std::string line;
  AppendLine(line, Stamp(), message, with_error);
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
  // A printed list may run to millions of lines: they go out in batches of
  // whole lines, one open and one write a batch instead of a line, which is
  // some twenty times faster. A batch that cannot be built is dropped.
  constexpr size_t kBatchBytes = 64 * 1024;
  try {
    if (const auto name = CurrentLogFileName()) {
      std::string batch;
      LineStamp stamp = Stamp();
      for (const std::string& line : *lines) {
        AppendLine(batch, stamp, line, false);
        if (batch.size() < kBatchBytes) continue;
        platform::AppendToFile(*name, batch);
        batch.clear();
        stamp = Stamp();
      }
      if (!batch.empty()) platform::AppendToFile(*name, batch);
    }
  } catch (...) {
  }
  lines->clear();
}

}  // namespace orlix
