// Load and unload of ORLIX.so: thread slots are allocated when the server
// loads the module and released when it unloads it. Registries of threads
// still running at unload are left alone; from then on no thread-end call can
// reach the unloaded code.
#include "frame/registry.h"

namespace {

__attribute__((constructor)) void OnLibraryLoad() { orlix::AllocateThreadSlots(); }

__attribute__((destructor)) void OnLibraryUnload() { orlix::ReleaseThreadSlots(); }

}  // namespace
