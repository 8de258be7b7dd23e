#include "memtable/mem_field.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>

#include "frame/failure.h"
#include "frame/format.h"
#include "frame/platform.h"
#include "lists/row.h"

namespace orlix {
namespace {

// A name a procedure writes and the code it stands for.
template <class Code>
struct NamedCode {
  const char* name;
  Code code;
};

constexpr NamedCode<TFieldType> kTypeNames[] = {
    {"string", TFieldType::String}, {"int", TFieldType::Int},       {"double", TFieldType::Double},
    {"datetime", TFieldType::DateTime}, {"date", TFieldType::DateTime}, {"time", TFieldType::DateTime},
};

constexpr NamedCode<TFieldAction> kActionNames[] = {
    {"miss", TFieldAction::Miss}, {"update", TFieldAction::Update}, {"sum", TFieldAction::Sum},
    {"min", TFieldAction::Min},   {"max", TFieldAction::Max},       {"count", TFieldAction::Count},
};

// Exact match, letter case included.
template <class Code, size_t N>
bool CodeByName(const NamedCode<Code> (&table)[N], std::string_view name, Code& code) {
  for (const NamedCode<Code>& entry : table)
    if (name == entry.name) {
      code = entry.code;
      return true;
    }
  return false;
}

// Exact order of doubles for keys. NaN compares false with everything, which
// would make a NaN key "equal" to every row and the order intransitive, so
// bisection could skip rows; NaNs instead sort after all numbers and equal
// each other. -0.0 and 0.0 stay equal, as exact comparison has them.
int CompareDoubleKeys(double a, double b) {
  if (a < b) return -1;
  if (b < a) return 1;
  if (a == b) return 0;
  const bool a_nan = std::isnan(a), b_nan = std::isnan(b);
  if (a_nan && b_nan) return 0;
  return a_nan ? 1 : -1;
}

// Integer sums and counts wrap around in 32 bits instead of overflowing.
int32_t WrappingAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

template <class T>
void FoldMinMax(T& old_value, const T& new_value, TFieldAction action) {
  if (action == TFieldAction::Min ? new_value < old_value : old_value < new_value) old_value = new_value;
}

}  // namespace

bool FieldTypeByName(std::string_view name, TFieldType& type) { return CodeByName(kTypeNames, name, type); }

bool FieldActionByName(std::string_view name, TFieldAction& action) {
  return CodeByName(kActionNames, name, action);
}

// ---- TDescMemFields -------------------------------------------------------------

int32_t TDescMemFields::Add(std::string_view name, TFieldType type, bool is_key, TFieldAction action) {
  const int32_t index = Count();
  std::vector<int32_t>& group = is_key ? key_indexes_ : fold_indexes_;
  group.reserve(group.size() + 1);
  items_.push_back(TDescMemField{index, std::string(name), type, is_key, action});
  group.push_back(index);
  return index;
}

void TDescMemFields::RemoveLast() {
  if (items_.empty()) return;
  (items_.back().IsKey ? key_indexes_ : fold_indexes_).pop_back();
  items_.pop_back();
}

int32_t TDescMemFields::FieldByName(std::string_view name) const {
  for (int32_t i = 0; i < Count(); ++i)
    if (items_[static_cast<size_t>(i)].Name == name) return i;
  return -1;
}

// ---- TFieldText ----------------------------------------------------------------

TFieldText::Block* TFieldText::NewBlock(size_t room) {
  if (room > SIZE_MAX / 2 - sizeof(Block)) throw std::bad_alloc();
  auto* block = static_cast<Block*>(::operator new(sizeof(Block) + room + 1));
  block->size = 0;
  block->room = room;
  return block;
}

void TFieldText::Replace(Block* block) noexcept {
  block->chars()[block->size] = '\0';
  ::operator delete(block_);
  block_ = block;
}

TFieldText& TFieldText::assign(std::string_view text) {
  if (block_ && block_->room >= text.size()) {
    // text may be part of this one; an empty one may have no characters at all.
    if (!text.empty()) std::memmove(block_->chars(), text.data(), text.size());
    block_->size = text.size();
    block_->chars()[text.size()] = '\0';
  } else if (!text.empty()) {
    Block* fresh = NewBlock(text.size());
    std::memcpy(fresh->chars(), text.data(), text.size());
    fresh->size = text.size();
    Replace(fresh);
  }
  return *this;
}

TFieldText& TFieldText::operator+=(const TFieldText& other) {
  const size_t added = other.size();
  if (added == 0) return *this;
  const size_t size = this->size();
  if (!block_ || block_->room - size < added) {
    if (added > SIZE_MAX / 4 - size) throw std::bad_alloc();
    // Grown geometrically, so repeated sums of strings stay linear.
    Block* fresh = NewBlock(std::max(size + added, block_ ? block_->room * 2 : size_t{0}));
    std::memcpy(fresh->chars(), c_str(), size);
    std::memcpy(fresh->chars() + size, other.c_str(), added);  // other may be this text: still whole
    fresh->size = size + added;
    Replace(fresh);
    return *this;
  }
  std::memcpy(block_->chars() + size, other.c_str(), added);  // this text's own first part, if other is it
  block_->size = size + added;
  block_->chars()[block_->size] = '\0';
  return *this;
}

void TFieldText::clear() {
  if (!block_) return;
  block_->size = 0;
  block_->chars()[0] = '\0';
}

// ---- TMemField ------------------------------------------------------------------

void TMemField::Clear() {
  StrValue.clear();
  IntValue = 0;
  DoubleValue = 0.0;
  DateValue = 0.0;
}

void TMemField::AssignValues(const TMemField& source) {
  StrValue = source.StrValue;
  IntValue = source.IntValue;
  DoubleValue = source.DoubleValue;
  DateValue = source.DateValue;
}

int TMemField::CompareKey(const TMemField& other, TFieldType type) const {
  switch (type) {
    case TFieldType::String:
      return platform::CompareLocale(StrValue, other.StrValue);
    case TFieldType::Int:
      return Compare3(IntValue, other.IntValue);
    case TFieldType::Double:
      return CompareDoubleKeys(DoubleValue, other.DoubleValue);
    case TFieldType::DateTime:
      return CompareDoubleKeys(DateValue, other.DateValue);
  }
  return 0;
}

void TMemField::Fold(const TMemField& incoming, TFieldType type, TFieldAction action) {
  if (action == TFieldAction::Miss) return;
  switch (type) {
    case TFieldType::String:
      if (action == TFieldAction::Update) StrValue = incoming.StrValue;
      else if (action == TFieldAction::Sum) StrValue += incoming.StrValue;
      else if (action == TFieldAction::Min && platform::CompareLocale(StrValue, incoming.StrValue) > 0)
        StrValue = incoming.StrValue;
      else if (action == TFieldAction::Max && platform::CompareLocale(StrValue, incoming.StrValue) < 0)
        StrValue = incoming.StrValue;
      break;  // count keeps the old string
    case TFieldType::Int:
      if (action == TFieldAction::Update) IntValue = incoming.IntValue;
      else if (action == TFieldAction::Sum) IntValue = WrappingAdd(IntValue, incoming.IntValue);
      else if (action == TFieldAction::Count) IntValue = WrappingAdd(IntValue, 1);
      else FoldMinMax(IntValue, incoming.IntValue, action);
      break;
    case TFieldType::Double:
      if (action == TFieldAction::Update) DoubleValue = incoming.DoubleValue;
      else if (action == TFieldAction::Sum) DoubleValue += incoming.DoubleValue;
      else if (action == TFieldAction::Count) DoubleValue += 1.0;
      else FoldMinMax(DoubleValue, incoming.DoubleValue, action);
      break;
    case TFieldType::DateTime:
      // Sums and counts of moments mean nothing: they keep the old value.
      if (action == TFieldAction::Update) DateValue = incoming.DateValue;
      else if (action == TFieldAction::Min || action == TFieldAction::Max)
        FoldMinMax(DateValue, incoming.DateValue, action);
      break;
  }
}

std::string TMemField::AsString(TFieldType type) const {
  switch (type) {
    case TFieldType::String:
      return std::to_string(StrValue.size()) + " " + std::string(StrValue.view());
    case TFieldType::Int:
      return std::to_string(IntValue);
    case TFieldType::Double:
      return FormatDouble(DoubleValue);
    case TFieldType::DateTime:
      return FormatDateTime(DateValue);
  }
  return std::string();
}

}  // namespace orlix
