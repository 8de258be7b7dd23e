#include "frame/registry.h"

#include "frame/platform.h"

namespace orlix {
namespace {

// The three slot numbers: the only process-wide state besides the log name.
// Written at load and unload only, when no export runs.
platform::SlotId IBVarTLSIndex = platform::kNoSlot;
platform::SlotId IBTableTLSIndex = platform::kNoSlot;
platform::SlotId IBListTLSIndex = platform::kNoSlot;

void AllocateSlot(platform::SlotId& slot, const char* failure_line) {
  slot = platform::SlotAlloc();
  if (slot == platform::kNoSlot) WriteLog(failure_line, true);
}

void ReleaseSlot(platform::SlotId& slot, const char* failure_line) {
  if (slot == platform::kNoSlot) return;
  if (!platform::SlotFree(slot)) WriteLog(failure_line, true);
  slot = platform::kNoSlot;
}

// Returns the registry in slot, making it with make() when the slot is empty.
template <class T, class Make>
T* GetOrCreate(platform::SlotId slot, const char* failure_line, Make make) {
  if (slot == platform::kNoSlot) return nullptr;
  if (void* held = platform::SlotGet(slot)) return static_cast<T*>(held);
  std::unique_ptr<T> fresh(make());
  if (!fresh || !platform::SlotSet(slot, fresh.get())) {
    WriteLog(failure_line, false);
    return nullptr;
  }
  return fresh.release();
}

void DestroyNameList(platform::SlotId slot) {
  if (slot == platform::kNoSlot) return;
  auto* registry = static_cast<TRegistry*>(platform::SlotGet(slot));
  if (!registry) return;
  // Objects go in position order, then the registry itself. The slot is
  // emptied first so nothing destroyed here can reach a half-dead registry.
  platform::SlotSet(slot, nullptr);
  for (int i = 0; i < registry->Count(); ++i) registry->Object(i).reset();
  delete registry;
}

}  // namespace

void AllocateThreadSlots() {
  AllocateSlot(IBVarTLSIndex, "IBVarTLSIndex is not alloc.");
  AllocateSlot(IBTableTLSIndex, "IBTableTLSIndex is not alloc.");
  AllocateSlot(IBListTLSIndex, "IBListTLSIndex is not alloc.");
  platform::SetThreadEndHandler(&DestroyThreadRegistries);
}

void ReleaseThreadSlots() {
  platform::SetThreadEndHandler(nullptr);
  ReleaseSlot(IBVarTLSIndex, "IBVarTLSIndex is not free.");
  ReleaseSlot(IBTableTLSIndex, "IBTableTLSIndex is not free.");
  ReleaseSlot(IBListTLSIndex, "IBListTLSIndex is not free.");
}

TRegistry* GetObjectRegistry() {
  return GetOrCreate<TRegistry>(IBVarTLSIndex, "IBVarTLSIndex is error",
                                [] { return new TRegistry(/*sorted=*/true); });
}

TRegistry* GetListRegistry() {
  return GetOrCreate<TRegistry>(IBListTLSIndex, "IBListTLSIndex is error",
                                [] { return new TRegistry(/*sorted=*/false); });
}

TObject* GetTableRegistrySlot(TObject* (*make)()) {
  return GetOrCreate<TObject>(IBTableTLSIndex, "IBTableTLSIndex is error", make);
}

void DestroyThreadRegistries() {
  DestroyNameList(IBVarTLSIndex);
  if (IBTableTLSIndex != platform::kNoSlot) {
    auto* tables = static_cast<TObject*>(platform::SlotGet(IBTableTLSIndex));
    platform::SlotSet(IBTableTLSIndex, nullptr);
    delete tables;
  }
  DestroyNameList(IBListTLSIndex);
}

int FreeEngine(std::string_view name) {
  TRegistry* registry = GetObjectRegistry();
  if (!registry) return 0;
  const int index = registry->IndexOf(name);
  if (index < 0) return 0;
  registry->Object(index).reset();
  registry->Delete(index);
  return 1;
}

void WriteWrongKind(std::string_view export_name) {
  std::string line = messages::kWrongKind;
  line += export_name;
  WriteLog(line, false);
}

}  // namespace orlix
