#include "frame/export_guard.h"

#include <cstring>

#include <ib_util.h>

#include "frame/log.h"

namespace orlix {

void ReportFailure(const ExportSite& site, const char* message) noexcept {
  if (site.form == FailureLine::kSilent) return;
  try {
    std::string line = site.name;
    line += site.form == FailureLine::kColon ? ": except=" : ".except=";
    line += message ? message : "";
    WriteLog(line, true);
  } catch (...) {
    // Out of memory while reporting: the line is lost, the call still ends.
  }
}

std::string_view TrimmedStrArg(const char* arg) {
  std::string_view text = StrArg(arg);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
  return text;
}

char* NewResultString(std::string_view bytes) noexcept {
  auto* buffer = static_cast<char*>(ib_util_malloc(static_cast<long>(bytes.size() + 1)));
  if (!buffer) return nullptr;
  if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
  buffer[bytes.size()] = '\0';
  return buffer;
}

ServerTimestamp* NewDateBlock() noexcept {
  auto* block = static_cast<ServerTimestamp*>(ib_util_malloc(sizeof(ServerTimestamp)));
  SetDateBlock(block, 0.0);
  return block;
}

void SetDateBlock(ServerTimestamp* block, double date_time) noexcept {
  if (!block) return;
  block->date = ServerDayFromDateTime(date_time);
  block->time = 0;
}

}  // namespace orlix
