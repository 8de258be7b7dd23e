// Per-thread registries. Each server thread has three slots, filled on first
// use and emptied with everything in them when the thread ends, in this order:
// the object registry (the engines by fixed name, sorted, unique), then the
// table and list slots, whose registries the families that keep them there
// define. Nothing here is shared between threads, so nothing is locked.
#ifndef ORLIX_FRAME_REGISTRY_H_
#define ORLIX_FRAME_REGISTRY_H_

#include <memory>
#include <string_view>
#include <utility>

#include "frame/failure.h"
#include "frame/name_list.h"

namespace orlix {

// Root of everything a registry owns (engines, tables, lists) and of the
// registries themselves.
class TObject {
 public:
  virtual ~TObject() = default;
};

// A name list owning its objects, destroyed in position order with it.
// Sorted: bisection and unique names; unsorted: positions stay stable.
template <bool kSorted>
class TObjectRegistry final : public TObject, public TNameList<std::unique_ptr<TObject>> {
 public:
  TObjectRegistry() : TNameList(kSorted) {}
  ~TObjectRegistry() override {
    for (int i = 0; i < Count(); ++i) Object(i).reset();
  }
};

// The engines, one per fixed name and thread.
using TEngineRegistry = TObjectRegistry<true>;

// ---- Thread slots ---------------------------------------------------------------

// The three slots, in the order they are allocated and emptied.
enum class ThreadSlot { kObjects = 0, kTables, kLists, kCount };

// Slot allocation at library load and release at unload; lines go to the log.
void AllocateThreadSlots();
void ReleaseThreadSlots();

// The calling thread's registry in slot, made by make() on first use; nullptr
// when the slot is unusable or the new registry could not be stored (logged).
TObject* ThreadRegistry(ThreadSlot slot, TObject* (*make)());

// The same, typed: each slot is always reached with its one registry type.
template <class Registry>
Registry* GetThreadRegistry(ThreadSlot slot) {
  return static_cast<Registry*>(ThreadRegistry(slot, []() -> TObject* { return new Registry; }));
}

// Destroys the calling thread's registries: objects, then tables, then lists.
// Runs at thread end; tests call it to simulate one.
void DestroyThreadRegistries();

// ---- Engines ------------------------------------------------------------------

inline TEngineRegistry* GetObjectRegistry() { return GetThreadRegistry<TEngineRegistry>(ThreadSlot::kObjects); }

// Registers a new engine of class T under name: 1, or 0 with no registry. A
// present name raises the duplicates message; the earlier engine stays.
template <class T>
int CreateEngine(std::string_view name) {
  TEngineRegistry* registry = GetObjectRegistry();
  if (!registry) return 0;
  auto engine = std::make_unique<T>();
  registry->Add(name, std::move(engine));
  return 1;
}

// The engine registered under name, or nullptr.
template <class T>
T* FindEngine(std::string_view name) {
  TEngineRegistry* registry = GetObjectRegistry();
  if (!registry) return nullptr;
  const int index = registry->IndexOf(name);
  if (index < 0) return nullptr;
  TObject* object = registry->Object(index).get();
  if (!object) return nullptr;
  return &CheckedCast<T>(*object);
}

// Destroys and unregisters the engine: 1, or 0 when there is none.
int FreeEngine(std::string_view name);

}  // namespace orlix

#endif  // ORLIX_FRAME_REGISTRY_H_
