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
class TObjectRegistry : public TObject, public TNameList<std::unique_ptr<TObject>> {
 public:
  TObjectRegistry() : TNameList(kSorted) {}
  ~TObjectRegistry() override {
    for (int i = 0; i < Count(); ++i) Object(i).reset();
  }
};

// The engines, one per fixed name and thread. Every export of an engine
// looks it up by the same name constant, so the registry keeps its last
// answer (name bytes, class, engine) until an engine is created or freed:
// a repeated lookup then costs a short byte comparison, not a search
// ignoring case and a checked cast.
class TEngineRegistry final : public TObjectRegistry<true> {
 public:
  // The engine kept for exactly these name bytes and this class, or nullptr.
  template <class T>
  T* Remembered(std::string_view name) const {
    if (last_.tag != &kClassTag<T> || name.size() != last_.name_size) return nullptr;
    return name.compare(0, name.size(), last_.name, last_.name_size) == 0 ? static_cast<T*>(last_.engine) : nullptr;
  }
  template <class T>
  void Remember(std::string_view name, T* engine) {
    Forget();
    if (name.size() > sizeof(last_.name)) return;
    last_ = {&kClassTag<T>, engine, {}, name.size()};
    name.copy(last_.name, name.size());
  }
  // Called whenever an engine is added or removed.
  void Forget() { last_ = {}; }

 private:
  template <class T>
  static constexpr char kClassTag = 0;  // one address per engine class

  struct {
    const char* tag = nullptr;
    void* engine = nullptr;
    char name[16] = {};
    size_t name_size = 0;
  } last_;
};

// ---- Thread slots ---------------------------------------------------------------

// The three slots, in the order they are allocated and emptied.
enum class ThreadSlot { kObjects = 0, kTables, kLists, kCount };

// Slot allocation at library load and release at unload; lines go to the log.
void AllocateThreadSlots();
void ReleaseThreadSlots();

// The calling thread's registry in slot, made by make() on first use; nullptr
// when the slot is unusable or the new registry could not be stored (logged).
TObject* MakeThreadRegistry(ThreadSlot slot, TObject* (*make)());

// The calling thread's registries as its slots hold them, read by every
// export: a plain thread-local read instead of the slot lookup. Written only
// where the slots are (made, destroyed, released).
extern constinit thread_local TObject* t_thread_registries[static_cast<size_t>(ThreadSlot::kCount)];

inline TObject* ThreadRegistry(ThreadSlot slot, TObject* (*make)()) {
  if (TObject* held = t_thread_registries[static_cast<size_t>(slot)]) return held;
  return MakeThreadRegistry(slot, make);
}

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
  registry->Forget();
  registry->Add(name, std::move(engine));
  return 1;
}

// The engine registered under name, or nullptr.
template <class T>
T* FindEngine(std::string_view name) {
  TEngineRegistry* registry = GetObjectRegistry();
  if (!registry) return nullptr;
  if (T* engine = registry->template Remembered<T>(name)) return engine;
  const int index = registry->IndexOf(name);
  if (index < 0) return nullptr;
  TObject* object = registry->Object(index).get();
  if (!object) return nullptr;
  T* engine = &CheckedCast<T>(*object);
  registry->Remember(name, engine);
  return engine;
}

// Destroys and unregisters the engine: 1, or 0 when there is none.
int FreeEngine(std::string_view name);

}  // namespace orlix

#endif  // ORLIX_FRAME_REGISTRY_H_
