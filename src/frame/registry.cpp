#include "frame/registry.h"

#include <array>

#include "frame/log.h"
#include "frame/platform.h"

namespace orlix {
namespace {

struct SlotSpec {
  const char* alloc_failure;
  const char* free_failure;
  const char* store_failure;
};
constexpr std::array<SlotSpec, static_cast<size_t>(ThreadSlot::kCount)> kSlotSpecs{{
    {"IBVarTLSIndex is not alloc.", "IBVarTLSIndex is not free.", "IBVarTLSIndex is error"},
    {"IBTableTLSIndex is not alloc.", "IBTableTLSIndex is not free.", "IBTableTLSIndex is error"},
    {"IBListTLSIndex is not alloc.", "IBListTLSIndex is not free.", "IBListTLSIndex is error"},
}};

// The three slot numbers (IBVarTLSIndex, IBTableTLSIndex, IBListTLSIndex): the
// only process-wide state besides the log name. Written at load and unload
// only, when no export runs.
std::array<platform::SlotId, kSlotSpecs.size()> slots{platform::kNoSlot, platform::kNoSlot, platform::kNoSlot};

}  // namespace

void AllocateThreadSlots() {
  for (size_t i = 0; i < slots.size(); ++i) {
    slots[i] = platform::SlotAlloc();
    if (slots[i] == platform::kNoSlot) WriteLog(kSlotSpecs[i].alloc_failure, true);
  }
  platform::SetThreadEndHandler(&DestroyThreadRegistries);
}

void ReleaseThreadSlots() {
  platform::SetThreadEndHandler(nullptr);
  for (size_t i = 0; i < slots.size(); ++i) {
    t_thread_registries[i] = nullptr;
    if (slots[i] == platform::kNoSlot) continue;
    if (!platform::SlotFree(slots[i])) WriteLog(kSlotSpecs[i].free_failure, true);
    slots[i] = platform::kNoSlot;
  }
}

constinit thread_local TObject* t_thread_registries[kSlotSpecs.size()] = {};

TObject* MakeThreadRegistry(ThreadSlot which, TObject* (*make)()) {
  const size_t i = static_cast<size_t>(which);
  const platform::SlotId slot = slots[i];
  if (slot == platform::kNoSlot) return nullptr;
  if (void* held = platform::SlotGet(slot)) return t_thread_registries[i] = static_cast<TObject*>(held);
  std::unique_ptr<TObject> fresh(make());
  if (!fresh || !platform::SlotSet(slot, fresh.get())) {
    WriteLog(kSlotSpecs[i].store_failure, false);
    return nullptr;
  }
  return t_thread_registries[i] = fresh.release();
}

void DestroyThreadRegistries() {
  for (size_t i = 0; i < slots.size(); ++i) {
    t_thread_registries[i] = nullptr;
    const platform::SlotId slot = slots[i];
    if (slot == platform::kNoSlot) continue;
    auto* registry = static_cast<TObject*>(platform::SlotGet(slot));
    if (!registry) continue;
    // The slot is emptied first so nothing destroyed here can reach a
    // half-dead registry.
    platform::SlotSet(slot, nullptr);
    delete registry;
  }
}

int FreeEngine(std::string_view name) {
  TEngineRegistry* registry = GetObjectRegistry();
  if (!registry) return 0;
  const int index = registry->IndexOf(name);
  if (index < 0) return 0;
  registry->Forget();
  registry->Object(index).reset();
  registry->Delete(index);
  return 1;
}

}  // namespace orlix
