// The thread's list registry and its handle rules, shared by the string,
// integer and double lists. A handle is the entry's position + 1; entries are
// never removed (a freed entry keeps its name and waits for reuse), so
// handles stay stable, and one handle space serves all three kinds.
#ifndef ORLIX_VALUES_LIST_REGISTRY_H_
#define ORLIX_VALUES_LIST_REGISTRY_H_

#include <memory>
#include <string_view>

#include "frame/registry.h"

namespace orlix {

// Unsorted: positions are handles.
using TListRegistry = TObjectRegistry<false>;

inline TListRegistry* GetListRegistry() { return GetThreadRegistry<TListRegistry>(ThreadSlot::kLists); }

// "внимание - неверный тип в <export>", without the error part.
void WriteWrongKind(std::string_view export_name);
// "  замена": a create under an existing name replaced that list.
void WriteReplaced();

// Puts a fresh list of class L under name: reuses the entry of that name
// (logging the replacement when it held a list), else the first empty entry,
// else appends one. Returns the handle, or 0.
template <class L>
int CreateList(std::string_view name) {
  TListRegistry* registry = GetListRegistry();
  if (!registry) return 0;
  int index = registry->IndexOf(name);
  if (index >= 0) {
    if (registry->Object(index)) {
      WriteReplaced();
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
  TListRegistry* registry = GetListRegistry();
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
  TListRegistry* registry = GetListRegistry();
  if (!registry || handle < 1 || handle > registry->Count()) return nullptr;
  L* list = dynamic_cast<L*>(registry->Object(handle - 1).get());
  if (!list) WriteWrongKind(export_name);
  return list;
}

// The handle of the list named name if it is of class L, else 0 (a list of
// another kind is warned about).
template <class L>
int FindList(std::string_view name, std::string_view export_name) {
  TListRegistry* registry = GetListRegistry();
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

#endif  // ORLIX_VALUES_LIST_REGISTRY_H_
