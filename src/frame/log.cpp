#include "frame/log.h"

#include <atomic>
#include <memory>

#include "frame/platform.h"

namespace orlix {
namespace {

// Shared by all threads; readers take a snapshot, writers swap the whole name,
// so a reader sees the old name or the new one, never a mixture.
std::atomic<std::shared_ptr<const std::string>> g_log_file_name;

}  // namespace

void SetLogFileName(std::string_view name) {
  auto fresh = name.empty() ? nullptr : std::make_shared<const std::string>(name);
  g_log_file_name.store(std::move(fresh));
}

std::string LogFileName() {
  auto name = g_log_file_name.load();
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
    auto name = g_log_file_name.load();
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
