// Exports of the library frame: thread id, engine presence and the log.
#include "frame/export_guard.h"
#include "frame/log.h"
#include "frame/platform.h"
#include "frame/registry.h"

using namespace orlix;

namespace {
constexpr ExportSite kThreadId{"ibGetCurrentThreadId", FailureLine::kSilent};
constexpr ExportSite kVarExists{"ibVarExists", FailureLine::kDot};
constexpr ExportSite kIbLog{"ib_Log", FailureLine::kSilent};
constexpr ExportSite kOrlixLog{"ibOrlixLog", FailureLine::kSilent};
constexpr ExportSite kSetLog{"ibOrlixSetLog", FailureLine::kSilent};

int32_t WriteMessage(const ExportSite& site, const char* message) {
  return Guard(site, 0, [&] {
    WriteLog(StrArg(message), false);
    return 1;
  });
}
}  // namespace

// The calling thread's id, the number every log line of the thread carries.
ORLIX_EXPORT int32_t ibGetCurrentThreadId(const int32_t* /*unused*/) {
  return Guard(kThreadId, 0, [] { return static_cast<int32_t>(platform::CurrentThreadId()); });
}

// 1 when this thread's object registry holds an engine of that name.
ORLIX_EXPORT int32_t ibVarExists(const char* name) {
  return Guard(kVarExists, -1, [&] {
    TEngineRegistry* registry = GetObjectRegistry();
    if (!registry) return 0;
    const int index = registry->IndexOf(StrArg(name));
    return index >= 0 && registry->Object(index) ? 1 : 0;
  });
}

ORLIX_EXPORT int32_t ib_Log(const char* message) { return WriteMessage(kIbLog, message); }

ORLIX_EXPORT int32_t ibOrlixLog(const char* message) { return WriteMessage(kOrlixLog, message); }

// Names the log file for the whole process; an empty name switches it off.
ORLIX_EXPORT int32_t ibOrlixSetLog(const char* file_name) {
  return Guard(kSetLog, 0, [&] {
    SetLogFileName(StrArg(file_name));
    return 1;
  });
}
