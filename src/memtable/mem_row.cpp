#include "memtable/mem_row.h"

#include <algorithm>
#include <new>
#include <string>

#include "frame/failure.h"

namespace orlix {
namespace {
constexpr const char* kFieldSeparator = "   ";
}  // namespace

// Fields is the row's only member and ends it: the values that follow the
// row follow Fields, aligned.
static_assert(sizeof(TMemFields) == sizeof(TBaseItem) + sizeof(TRowFields), "Fields ends the row");
static_assert(sizeof(TMemFields) % alignof(TMemField) == 0, "values follow the row aligned");

void* TMemFields::operator new(size_t size, TFieldCount fields) {
  return ::operator new(size + fields.count * sizeof(TMemField));
}

TMemFields* TMemFields::Make(const TDescMemFields& defs) {
  const size_t count = static_cast<size_t>(defs.Count());
  return new (TFieldCount{count}) TMemFields(count);
}

TMemFields::TMemFields(size_t count) noexcept {
  TMemField* values = Fields.data();
  for (size_t i = 0; i < count; ++i) new (&values[i]) TMemField();
  Fields.size_ = count;
}

TMemFields::~TMemFields() {
  for (TMemField& field : Fields) field.~TMemField();
}

void TMemFields::PrintWith(TLines& lines, const TDescMemFields& defs) const {
  std::string line = New ? "new=1" : "new=0";
  line += kFieldSeparator;
  for (size_t i = 0; i < Fields.size(); ++i) {
    const int32_t index = static_cast<int32_t>(i);
    if (!defs.ValidIndex(index)) throw EOrlixError(Format("List index (%d) out of bounds", index));
    line += 'f';
    line += std::to_string(i);
    line += '=';
    line += Fields[i].AsString(defs[index].FieldType);
    line += kFieldSeparator;
  }
  lines.push_back(std::move(line));
}

void TMemFields::Assign(const TBaseItem& source) {
  const auto& other = CheckedCast<const TMemFields>(source);
  const size_t count = std::min(Fields.size(), other.Fields.size());
  for (size_t i = 0; i < count; ++i) Fields[i].AssignValues(other.Fields[i]);
}

// Rows of one table have one value per descriptor; the bounds only guard a
// row built before a field was added.
void TMemFields::MergeRow(const TMemFields& incoming, const TDescMemFields& defs) {
  const size_t count = std::min(Fields.size(), incoming.Fields.size());
  for (int32_t i : defs.FoldIndexes()) {
    if (static_cast<size_t>(i) >= count) break;
    const TDescMemField& def = defs[i];
    Fields[static_cast<size_t>(i)].Fold(incoming.Fields[static_cast<size_t>(i)], def.FieldType, def.Action);
  }
}

int TMemFields::CompareKeys(const TMemFields& other, const TDescMemFields& defs) const {
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
