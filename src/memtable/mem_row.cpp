#include "memtable/mem_row.h"

#include <algorithm>
#include <string>

#include "frame/failure.h"
#include "memtable/mem_table.h"

namespace orlix {
namespace {

TBaseItem* MakeMemFields(TBaseList* owner) { return new TMemFields(owner); }

TMemTable* OwnerTable(TBaseList* owner) {
  if (!owner) throw EInvalidCast();
  return &CheckedCast<TMemTable>(*owner);
}

constexpr const char* kFieldSeparator = "   ";

}  // namespace

const TItemClass TMemFields::Class{"TMemFields", &TBaseItem::Class, &MakeMemFields};

TMemFields::TMemFields(TBaseList* owner) : TBaseItem(owner), Table(OwnerTable(owner)) {
  const int32_t count = Table->FieldDefs.Count();
  Fields.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) Fields.emplace_back(Table, i);
}

void TMemFields::Print(TLines& lines) const {
  std::string line = New ? "new=1" : "new=0";
  line += kFieldSeparator;
  for (size_t i = 0; i < Fields.size(); ++i) {
    line += 'f';
    line += std::to_string(i);
    line += '=';
    line += Fields[i].AsString();
    line += kFieldSeparator;
  }
  lines.push_back(std::move(line));
}

void TMemFields::Assign(const TBaseItem& source) {
  const auto& other = CheckedCast<const TMemFields>(source);
  const size_t count = std::min(Fields.size(), other.Fields.size());
  for (size_t i = 0; i < count; ++i) Fields[i].AssignValues(other.Fields[i]);
}

void TMemFields::Merge(const TBaseItem& other) { MergeRow(CheckedCast<const TMemFields>(other)); }

int TMemFields::Compare(const TBaseItem& other) const { return CompareKeys(CheckedCast<const TMemFields>(other)); }

// Rows of one table have one value per descriptor; a row of another table
// (reachable only through the checked overrides) is compared or folded over
// the fields both rows have.
void TMemFields::MergeRow(const TMemFields& incoming) {
  const TDescMemFields& defs = Table->FieldDefs;
  const size_t count = std::min(Fields.size(), incoming.Fields.size());
  for (int32_t i : defs.FoldIndexes()) {
    if (static_cast<size_t>(i) >= count) break;
    const TDescMemField& def = defs[i];
    Fields[static_cast<size_t>(i)].Fold(incoming.Fields[static_cast<size_t>(i)], def.FieldType, def.Action);
  }
}

int TMemFields::CompareKeys(const TMemFields& other) const {
  const TDescMemFields& defs = Table->FieldDefs;
  const size_t count = std::min(Fields.size(), other.Fields.size());
  for (int32_t i : defs.KeyIndexes()) {
    if (static_cast<size_t>(i) >= count) break;
    const int r = Fields[static_cast<size_t>(i)].CompareKey(other.Fields[static_cast<size_t>(i)], defs[i].FieldType);
    if (r != 0) return r;
  }
  return 0;
}

void TMemFields::ClearFields() {
  for (TMemField& field : Fields) field.Clear();
}

}  // namespace orlix
