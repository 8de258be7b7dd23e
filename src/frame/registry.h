// Per-thread registries. Each server thread has three, created on first use
// and destroyed with everything in them when the thread ends:
//   the object registry: the calculation engines by fixed name (sorted, unique);
//   the table registry: one object owning the thread's memory tables;
//   the list registry: the value lists, handle = position + 1 (never sorted,
//   entries never removed, so handles stay stable).
// Nothing here is shared between threads, so nothing is locked.
#ifndef ORLIX_FRAME_REGISTRY_H_
#define ORLIX_FRAME_REGISTRY_H_

#include <memory>
#include <string>
#include <string_view>

#include "frame/failure.h"
#include "frame/log.h"
#include "frame/messages.h"
#include "frame/name_list.h"

namespace orlix {

// Root of everything a registry owns (engines, tables, lists).
class TObject {
 public:
  virtual ~TObject() = default;
};

using TRegistry = TNameList<std::unique_ptr<TObject>>;

// Slot allocation at library load and release at unload; lines go to the log.
void AllocateThreadSlots();
void ReleaseThreadSlots();

// The calling thread's registries, created on first use; nullptr when the
// slot is unusable or the new registry could not be stored (logged).
TRegistry* GetObjectRegistry();
TRegistry* GetListRegistry();
// The table registry is made by the memory-table family: it passes a factory.
TObject* GetTableRegistrySlot(TObject* (*make)());

// Destroys the calling thread's registries: objects, then tables, then lists.
// Runs at thread end; tests call it to simulate one.
void DestroyThreadRegistries();

// ---- Engines ------------------------------------------------------------------

// Registers a new engine of class T under name: 1, or 0 with no registry. A
// present name raises the duplicates message; the earlier engine stays.
template <class T>
int CreateEngine(std::string_view name) {
  TRegistry* registry = GetObjectRegistry();
  if (!registry) return 0;
  auto engine = std::make_unique<T>();
  registry->Add(name, std::move(engine));
  return 1;
}

// The engine registered under name, or nullptr.
template <class T>
T* FindEngine(std::string_view name) {
  TRegistry* registry = GetObjectRegistry();
  if (!registry) return nullptr;
  const int index = registry->IndexOf(name);
  if (index < 0) return nullptr;
  TObject* object = registry->Object(index).get();
  if (!object) return nullptr;
  return &CheckedCast<T>(*object);
}

// Destroys and unregisters the engine: 1, or 0 when there is none.
int FreeEngine(std::string_view name);

// ---- Value lists --------------------------------------------------------------

// "внимание - неверный тип в <export>", without the error part.
void WriteWrongKind(std::string_view export_name);

// Puts a fresh list of class L under name: reuses the entry of that name
// (logging the replacement when it held a list), else the first empty entry,
// else appends one. Returns the handle, or 0.
template <class L>
int CreateList(std::string_view name) {
  TRegistry* registry = GetListRegistry();
  if (!registry) return 0;
  int index = registry->IndexOf(name);
  if (index >= 0) {
    if (registry->Object(index)) {
      WriteLog(messages::kReplaced);
      registry->Object(index).reset();
    }
  } else {
    for (int i = 0; i < registry->Count() && index < 0; ++i)
      if (!registry->Object(i)) index = i;
    if (index >= 0) registry->Rename(index, name);
    else index = registry->Add(name, nullptr);
  }
  registry->Object(index) = std::make_unique<L>();
  return registry->Object(index) ? index + 1 : 0;
}

// Frees the list behind handle: 1, or 0 for handle 0 or out of range. An entry
// of another kind (or empty) is warned about and freed all the same.
template <class L>
int FreeList(int handle, std::string_view export_name) {
  if (handle == 0) return 0;
  TRegistry* registry = GetListRegistry();
  if (!registry) return 0;
  if (handle < 1 || handle > registry->Count()) return 0;
  auto& object = registry->Object(handle - 1);
  if (!dynamic_cast<L*>(object.get())) WriteWrongKind(export_name);
  object.reset();
  return 1;
}

// The list behind handle if it is of class L. An empty entry or a list of
// another kind writes the wrong-kind warning for export_name; handles out of
// range answer nullptr silently.
template <class L>
L* ResolveList(int handle, std::string_view export_name) {
  TRegistry* registry = GetListRegistry();
  if (!registry || handle < 1 || handle > registry->Count()) return nullptr;
  L* list = dynamic_cast<L*>(registry->Object(handle - 1).get());
  if (!list) WriteWrongKind(export_name);
  return list;
}

// The handle of the list named name if it is of class L, else 0 (a list of
// another kind is warned about).
template <class L>
int FindList(std::string_view name, std::string_view export_name) {
  TRegistry* registry = GetListRegistry();
  if (!registry) return 0;
  const int index = registry->IndexOf(name);
  if (index < 0) return 0;
  TObject* object = registry->Object(index).get();
  if (!object) return 0;
  if (!dynamic_cast<L*>(object)) {
    WriteWrongKind(export_name);
    return 0;
  }
  return index + 1;
}

}  // namespace orlix

#endif  // ORLIX_FRAME_REGISTRY_H_
