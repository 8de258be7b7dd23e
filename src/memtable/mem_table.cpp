#include "memtable/mem_table.h"

#include <cstdint>

#include "frame/dates.h"
#include "frame/failure.h"
#include "frame/format.h"
#include "frame/log.h"

namespace orlix {

TMemTable::TMemTable(int size, int capacity, const TItemClass& item_class)
    : TBaseList(0, capacity, CheckItemClass(item_class, TMemFields::Class, "TMemTable")) {
  // Pool records are built from the fields, so the pool is filled only now
  // that FieldDefs exists.
  SetSize(size);
}

TMemTable::~TMemTable() {
  Row.reset();
  try {
    WriteLog("TMemTable.Destroy=" + TableName);
  } catch (...) {
    // Out of memory building the line: it is lost, the table still goes.
  }
}

std::unique_ptr<TMemTable> TMemTable::CreateTable(std::string_view name) {
  WriteLog("TMemTable.CreateTable=" + std::string(name));
  auto table = std::make_unique<TMemTable>(0, kPoolCapacity, TMemFields::Class);
  table->TableName = name;
  table->Sort();
  return table;
}

// Every record of the pool and the work row are TMemFields of this table
// (the item class is checked at construction), so no checked cast is needed
// on this hot path.
int TMemTable::CompareItems(const TBaseItem& a, const TBaseItem& b) const {
  return static_cast<const TMemFields&>(a).CompareKeys(static_cast<const TMemFields&>(b));
}

void TMemTable::Print(TLines& lines) const {
  lines.push_back(FormatDateTime(LocalDateTimeNow()));
  lines.push_back("MemTable");
  lines.push_back("Row");
  if (Row) Row->Print(lines);
  TBaseList::Print(lines);
}

void TMemTable::RebuildRow() {
  std::unique_ptr<TBaseItem> fresh(ItemClass->make(this));
  Row.reset(&CheckedCast<TMemFields>(*fresh));
  fresh.release();
}

TMemFields& TMemTable::WorkRow(const char* operation) {
  if (!Row) throw EOrlixError(std::string("Row = nil in the TMemTable.") + operation);
  return *Row;
}

void TMemTable::RowClear() { WorkRow("RowClear").ClearFields(); }

int TMemTable::Insert() {
  TMemFields& row = WorkRow("Insert");
  const int found = Find(row);
  if (found >= 0) {
    ItemAs<TMemFields>(found).MergeRow(row);
    return found;
  }
  // A spare may carry a New flag from before a Clear; a row enters unmarked.
  row.New = false;
  // AddSorted can fail only before the exchange (growing the pool), so the
  // work row changes hands only on success.
  TBaseItem* work = Row.get();
  AddSorted(work);
  Row.release();  // now a record of the pool
  Row.reset(static_cast<TMemFields*>(work));
  return -1;
}

bool TMemTable::Locate() {
  const int found = Find(WorkRow("Locate"));
  if (found < 0) return false;
  Cursor = found;
  return true;
}

}  // namespace orlix
