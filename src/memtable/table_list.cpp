#include "memtable/table_list.h"

#include <limits>
#include <string>

#include "memtable/memtable_messages.h"

namespace orlix {
namespace {
TObject* MakeTableList() { return new TTableList; }
}  // namespace

TTableList::~TTableList() {
  // Tables in handle order, then the names.
  for (auto& table : Tables) table.reset();
}

int32_t TTableList::CreateTable(std::string_view name) {
  if (TableByName(name) != 0)
    throw ETableExists(messages::kTablePrefix + std::string(name) + messages::kTableExistsSuffix);
  int32_t handle = 0;
  for (int32_t h = 1; h <= Count && handle == 0; ++h)
    if (!Tables[static_cast<size_t>(h)]) handle = h;
  const bool fresh_handle = handle == 0;
  if (fresh_handle) {
    if (Count == std::numeric_limits<int32_t>::max()) throw EOrlixError("Too many tables in the TTableList");
    handle = Count + 1;
    if (static_cast<size_t>(handle) >= Tables.size()) Tables.resize(Tables.size() + kHandleStep);
  }
  std::unique_ptr<TMemTable> table = TMemTable::CreateTable(name);
  Names.Add(name, handle);
  Tables[static_cast<size_t>(handle)] = std::move(table);
  if (fresh_handle) Count = handle;
  return handle;
}

void TTableList::FreeTable(int32_t handle) {
  for (int i = 0; i < Names.Count(); ++i) {
    if (Names.Object(i) != handle) continue;
    Names.Delete(i);
    Tables[static_cast<size_t>(handle)].reset();
    return;
  }
  throw ETableExists(messages::kTablePrefix + std::to_string(handle) + messages::kTableMissingSuffix);
}

int32_t TTableList::TableByName(std::string_view name) const {
  const int index = Names.IndexOf(name);
  return index < 0 ? 0 : Names.Object(index);
}

TMemTable* TTableList::TableByHandle(int32_t handle) const {
  if (handle < 1 || handle > Count || static_cast<size_t>(handle) >= Tables.size()) return nullptr;
  return Tables[static_cast<size_t>(handle)].get();
}

TTableList* GetTableRegistry() { return dynamic_cast<TTableList*>(GetTableRegistrySlot(&MakeTableList)); }

}  // namespace orlix
