#include "memtable/table_list.h"

#include <limits>
#include <string>

#include "memtable/memtable_messages.h"

namespace orlix {

TTableList::~TTableList() {
  // Tables in handle order, then the names.
  for (auto& table : tables_) table.reset();
}

int32_t TTableList::CreateTable(std::string_view name) {
  if (TableByName(name) != 0)
    throw ETableExists(memtable_messages::kTablePrefix + std::string(name) + memtable_messages::kTableExistsSuffix);
  int32_t handle = 0;
  for (int32_t h = 1; h <= count_ && handle == 0; ++h)
    if (!tables_[static_cast<size_t>(h)]) handle = h;
  const bool fresh_handle = handle == 0;
  if (fresh_handle) {
    if (count_ == std::numeric_limits<int32_t>::max()) throw EOrlixError("Too many tables in the TTableList");
    handle = count_ + 1;
    if (static_cast<size_t>(handle) >= tables_.size()) tables_.resize(tables_.size() + kHandleStep);
  }
  std::unique_ptr<TMemTable> table = TMemTable::CreateTable(name);
  names_.Add(name, handle);
  tables_[static_cast<size_t>(handle)] = std::move(table);
  if (fresh_handle) count_ = handle;
  return handle;
}

void TTableList::FreeTable(int32_t handle) {
  for (int i = 0; i < names_.Count(); ++i) {
    if (names_.Object(i) != handle) continue;
    names_.Delete(i);
    tables_[static_cast<size_t>(handle)].reset();
    return;
  }
  throw ETableExists(memtable_messages::kTablePrefix + std::to_string(handle) + memtable_messages::kTableMissingSuffix);
}

int32_t TTableList::TableByName(std::string_view name) const {
  const int index = names_.IndexOf(name);
  return index < 0 ? 0 : names_.Object(index);
}

}  // namespace orlix
