// Export shapes shared by the calculation engines (one engine per thread,
// registered under a fixed name given by Engine::kRegistryName): each export
// finds the thread's engine and runs one operation on it under the guard.
// Without an engine an export answers its failure value at once and logs
// nothing. Failures are logged as "<export>: except=<message>", so an export
// names only itself:
//
//   ORLIX_EXPORT int32_t ibEngineClear(const int32_t*) { return ClearEngineExport<TEngine>("ibEngineClear"); }
#ifndef ORLIX_ENGINES_ENGINE_EXPORTS_H_
#define ORLIX_ENGINES_ENGINE_EXPORTS_H_

#include <cstdint>

#include "frame/export_guard.h"
#include "frame/format.h"
#include "frame/log.h"
#include "frame/registry.h"

namespace orlix {

// Failure values: -1 where 0 is a valid answer (row, field and table
// numbers), 1 for the end-of-data test so that a reading loop ends.
inline constexpr int32_t kNoIndex = -1;
inline constexpr int32_t kAtEnd = 1;

// The failure-line form of every engine export.
constexpr ExportSite EngineSite(const char* export_name) { return {export_name, FailureLine::kColon}; }

// body(engine) gives the result; failure when there is no engine or a
// failure is raised (then logged for the export).
template <class Engine, class R, class Body>
R CallEngine(const char* export_name, R failure, Body&& body) noexcept {
  return Guard(EngineSite(export_name), failure, [&]() -> R {
    Engine* engine = FindEngine<Engine>(Engine::kRegistryName);
    return engine ? static_cast<R>(body(*engine)) : failure;
  });
}

// One step on the engine; 1 when done, else 0.
template <class Engine, class Step>
int32_t EngineStep(const char* export_name, Step&& step) noexcept {
  return CallEngine<Engine>(export_name, int32_t{0}, [&](Engine& engine) {
    step(engine);
    return 1;
  });
}

// A date result: the block is obtained first, so every path returns one; it
// holds date-time 0 (1899-12-30) unless body(engine) gives the date.
template <class Engine, class Body>
ServerTimestamp* EngineDate(const char* export_name, Body&& body) noexcept {
  ServerTimestamp* block = NewDateBlock();
  EngineStep<Engine>(export_name, [&](Engine& engine) { SetDateBlock(block, body(engine)); });
  return block;
}

template <class Engine>
int32_t CreateEngineExport(const char* export_name) noexcept {
  return Guard(EngineSite(export_name), int32_t{0},
               [] { return static_cast<int32_t>(CreateEngine<Engine>(Engine::kRegistryName)); });
}

template <class Engine>
int32_t FreeEngineExport(const char* export_name) noexcept {
  return Guard(EngineSite(export_name), int32_t{0},
               [] { return static_cast<int32_t>(FreeEngine(Engine::kRegistryName)); });
}

template <class Engine>
int32_t ClearEngineExport(const char* export_name) noexcept {
  return EngineStep<Engine>(export_name, [](Engine& engine) { engine.Clear(); });
}

template <class Engine>
int32_t ExecuteEngineExport(const char* export_name) noexcept {
  return EngineStep<Engine>(export_name, [](Engine& engine) { engine.Execute(); });
}

// Print into a fresh line list and hand it to the log.
template <class Engine>
int32_t PrintEngineExport(const char* export_name) noexcept {
  return EngineStep<Engine>(export_name, [](Engine& engine) {
    TLines lines;
    engine.Print(lines);
    LogLines(&lines);
  });
}

}  // namespace orlix

#endif  // ORLIX_ENGINES_ENGINE_EXPORTS_H_
