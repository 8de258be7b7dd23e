// TTableList: the calling thread's table registry. It owns the thread's
// memory tables, finds them by name (letter case ignored) and gives each a
// small positive handle, by which the exports name their table. A freed
// table's handle goes to the next table created; the lowest free one first.
#ifndef ORLIX_MEMTABLE_TABLE_LIST_H_
#define ORLIX_MEMTABLE_TABLE_LIST_H_

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "frame/failure.h"
#include "frame/name_list.h"
#include "frame/registry.h"
#include "memtable/mem_table.h"

namespace orlix {

// Raised for a duplicate table name and for freeing a handle no table has.
class ETableExists final : public EOrlixError {
 public:
  using EOrlixError::EOrlixError;
};

class TTableList final : public TObject {
 public:
  // The handle array grows by this many entries when a new handle does not fit.
  static constexpr int kHandleStep = 10;

  TTableList() = default;
  ~TTableList() override;
  TTableList(const TTableList&) = delete;
  TTableList& operator=(const TTableList&) = delete;

  // Builds a table and returns its handle; a name already present (in any
  // letter case) raises ETableExists.
  int32_t CreateTable(std::string_view name);
  // Destroys the table behind handle; ETableExists when there is none.
  void FreeTable(int32_t handle);
  // The handle of the table of that name, or 0.
  int32_t TableByName(std::string_view name) const;
  // The table behind handle, or nullptr (0, negative, too high, freed).
  TMemTable* TableByHandle(int32_t handle) const {
    if (handle < 1 || handle > count_ || static_cast<size_t>(handle) >= tables_.size()) return nullptr;
    return tables_[static_cast<size_t>(handle)].get();
  }

  // The highest handle ever given out.
  int32_t Count() const { return count_; }
  // Entries of the handle array (handles below it need no growth).
  size_t HandleCapacity() const { return tables_.size(); }

 private:
  TNameList<int32_t> names_{/*sorted=*/true};  // name -> handle
  int32_t count_ = 0;
  std::vector<std::unique_ptr<TMemTable>> tables_;  // by handle; entry 0 unused
};

// The calling thread's table registry, created on first use; nullptr when the
// thread's slot cannot hold one.
inline TTableList* GetTableRegistry() { return GetThreadRegistry<TTableList>(ThreadSlot::kTables); }

}  // namespace orlix

#endif  // ORLIX_MEMTABLE_TABLE_LIST_H_
