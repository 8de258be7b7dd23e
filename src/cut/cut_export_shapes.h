// Export shape of the write-off family for the exports whose failure line
// carries the number they were given: "<export>(<number>): except=<message>".
// Otherwise as CallEngine: without an engine the failure value at once, and
// nothing logged.
#ifndef ORLIX_CUT_CUT_EXPORT_SHAPES_H_
#define ORLIX_CUT_CUT_EXPORT_SHAPES_H_

#include <cstdint>
#include <cstdio>

#include "engines/engine_exports.h"

namespace orlix {

template <class Engine, class R, class Body>
R CallEngineNumbered(const char* export_name, const int32_t* number, R failure, Body&& body) noexcept {
  // Built on the stack before the guard runs, so naming the site can fail
  // in nothing; a null number leaves the plain name (the body then fails).
  char site_name[96];
  if (number)
    std::snprintf(site_name, sizeof site_name, "%s(%d)", export_name, static_cast<int>(*number));
  else
    std::snprintf(site_name, sizeof site_name, "%s", export_name);
  return Guard(ExportSite{site_name, FailureLine::kColon}, failure, [&]() -> R {
    Engine* engine = FindEngine<Engine>(Engine::kRegistryName);
    return engine ? static_cast<R>(body(*engine)) : failure;
  });
}

}  // namespace orlix

#endif  // ORLIX_CUT_CUT_EXPORT_SHAPES_H_
