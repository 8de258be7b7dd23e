#include "memtable/mem_table.h"

#include <cstdint>

#include "frame/dates.h"
#include "frame/failure.h"
#include "frame/format.h"
#include "frame/log.h"

namespace orlix {

TMemTable::TMemTable(int size, int capacity) : TBaseList(0, capacity, {0, 0, &MakeRow}) {
  // Pool records are built from the fields, so the pool is filled only now
  // that the descriptors exist.
  SetSize(size);
}

// Rows are allocated one by one rather than in the pool's blocks: their size
// depends on the fields, which are added after the list is built.
TBaseItem* TMemTable::MakeRow(void* /*place*/, const TBaseList& owner) {
  return TMemFields::Make(static_cast<const TMemTable&>(owner).field_defs_);
}

TMemTable::~TMemTable() {
  held_row_ = nullptr;  // its row goes with the pool
  row_.reset();
  held_values_.reset();
  try {
    WriteLog("TMemTable.Destroy=" + table_name_);
  } catch (...) {
    // Out of memory building the line: it is lost, the table still goes.
  }
}

std::unique_ptr<TMemTable> TMemTable::CreateTable(std::string_view name) {
  WriteLog("TMemTable.CreateTable=" + std::string(name));
  auto table = std::make_unique<TMemTable>(0, kPoolCapacity);
  table->table_name_ = name;
  table->Sort();
  return table;
}

// Every record of the pool and the work row are TMemFields of this table
// (the pool is filled by MakeRow), so no checked cast is needed on this hot
// path.
int TMemTable::CompareItems(const TBaseItem& a, const TBaseItem& b) const {
  return static_cast<const TMemFields&>(a).CompareKeys(static_cast<const TMemFields&>(b), field_defs_);
}

void TMemTable::Print(TLines& lines) const {
  ApplyHeldFold();
  lines.push_back(FormatDateTime(LocalDateTimeNow()));
  lines.push_back("MemTable");
  lines.push_back("Row");
  if (row_) row_->PrintWith(lines, field_defs_);
  lines.push_back(Format("Count=%d  Size=%d  Capacity=%d", Count(), Size(), Capacity()));
  index_.ForEach([&](const TMemFields& row) { row.PrintWith(lines, field_defs_); });
}

void TMemTable::Clear() {
  // The rows become spares that keep their values, so the fold lands first.
  ApplyHeldFold();
  // The pool's first Count records are the indexed rows; they are written
  // back in key order, the order the spares had before there was an index.
  TBaseItem** records = Records();
  int position = 0;
  index_.ForEach([&](TMemFields& row) { records[position++] = &row; });
  index_.Clear();
  TBaseList::Clear();
}

void TMemTable::First() {
  TBaseList::First();
  PrefetchFromCursor();
}

void TMemTable::Next() {
  TBaseList::Next();
  PrefetchFromCursor();
}

void TMemTable::PrefetchFromCursor() const {
  for (int position = Cursor(); position <= Cursor() + 1; ++position) {
    if (position < 0 || position >= index_.Count()) continue;
    // Both lines a row of a few fields may span.
    const char* row = reinterpret_cast<const char*>(&index_.RowAt(position));
    __builtin_prefetch(row);
    __builtin_prefetch(row + 64);
  }
}

void TMemTable::FirstNew() {
  First();
  while (!Eof() && !Item(Cursor()).New) Next();
}

void TMemTable::NextNew() {
  Next();
  while (!Eof() && !Item(Cursor()).New) Next();
}

int32_t TMemTable::AddField(std::string_view name, std::string_view type_name, bool is_key,
                            std::string_view action_name) {
  TFieldType type;
  if (!FieldTypeByName(type_name, type))
    throw EOrlixError("TDescMemFields.Add - The type " + std::string(type_name) + " unknown");
  TFieldAction action;
  if (!FieldActionByName(action_name, action))
    throw EOrlixError("TDescMemFields.Add - The action " + std::string(action_name) + " unknown");
  if (Size() > 0) throw EOrlixError(Format("Except: TDescMemFields.Add - Table.Size=%d", Size()));
  const int32_t index = field_defs_.Add(name, type, is_key, action);
  try {
    std::unique_ptr<TMemFields, TReleaseRow> row(TMemFields::Make(field_defs_));
    held_values_.reset(TMemFields::Make(field_defs_));
    row_ = std::move(row);
  } catch (...) {
    // Leave the descriptors as they were, matching the work row kept.
    field_defs_.RemoveLast();
    throw;
  }
  return index;
}

void TMemTable::NoWorkRow(const char* operation) {
  throw EOrlixError(std::string("Row = nil in the TMemTable.") + operation);
}

void TMemTable::RowClear() { WorkRow("RowClear").ClearFields(); }

int TMemTable::Insert() {
  TMemFields& row = WorkRow("Insert");
  TMemKeyIndex::TPlace place = index_.Search(row);
  // The fold held by the last Insert lands now: its row has had this
  // search's time to arrive.
  ApplyHeldFold();
  if (place.found) {
    TMemFields& target = index_.RowAt(place);
    if (!HoldFold(target, row)) target.MergeRow(row, field_defs_);
    return place.position;
  }
  // A spare may carry a New flag from before a Clear; a row enters unmarked.
  row.New = false;
  // Room in the index, then in the pool: either may fail, and neither
  // changes what the table holds. Only then do the rows change hands.
  index_.MakeRoom(place);
  TBaseItem* work = row_.get();
  Add(work);
  (void)row_.release();  // now a record of the pool
  row_.reset(static_cast<TMemFields*>(work));
  index_.InsertAt(place, row);
  return -1;
}

void TMemTable::ApplyHeldFoldNow() const {
  TMemFields* row = held_row_;
  held_row_ = nullptr;
  row->MergeRow(*held_values_, field_defs_);
}

bool TMemTable::HoldFold(TMemFields& target, const TMemFields& row) {
  for (const int32_t i : field_defs_.FoldIndexes())
    if (field_defs_[i].FieldType == TFieldType::String) return false;
  // Numbers only: a fold of a number field reads nothing else, and copying
  // them cannot fail.
  for (const int32_t i : field_defs_.FoldIndexes()) {
    const TMemField& from = row.Fields[static_cast<size_t>(i)];
    TMemField& to = held_values_->Fields[static_cast<size_t>(i)];
    to.IntValue = from.IntValue;
    to.DoubleValue = from.DoubleValue;
    to.DateValue = from.DateValue;
  }
  // Both lines a row of a few fields may span.
  __builtin_prefetch(&target, 1);
  __builtin_prefetch(reinterpret_cast<const char*>(&target) + 64, 1);
  held_row_ = &target;
  return true;
}

bool TMemTable::Locate() {
  const TMemKeyIndex::TPlace place = index_.Search(WorkRow("Locate"));
  if (!place.found) return false;
  SetCursor(place.position);
  return true;
}

}  // namespace orlix
