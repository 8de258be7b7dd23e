// Field descriptors of a memory table (TDescMemField, TDescMemFields) and the
// value of one field in one row (TMemField).
//
// A field is declared with a type (which value slot counts), a key flag and a
// merge action (what happens to the field when a row with an equal key is
// folded into an existing one). Descriptors are fixed once the table has a
// record pool: every row holds exactly one TMemField per descriptor.
#ifndef ORLIX_MEMTABLE_MEM_FIELD_H_
#define ORLIX_MEMTABLE_MEM_FIELD_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orlix {

// Declared type of a field; the codes are the table's stored bytes.
enum class TFieldType : uint8_t { String = 1, Int = 2, Double = 3, DateTime = 4 };

// Merge action of a non-key field.
enum class TFieldAction : uint8_t { Miss = 1, Update = 2, Sum = 3, Min = 4, Max = 5, Count = 6 };

// Type and action names as a procedure writes them (exact, case counts);
// false when the name is unknown.
bool FieldTypeByName(std::string_view name, TFieldType& type);
bool FieldActionByName(std::string_view name, TFieldAction& action);

struct TDescMemField final {
  int32_t Index = 0;
  std::string Name;
  TFieldType FieldType = TFieldType::String;
  bool IsKey = false;
  TFieldAction Action = TFieldAction::Miss;
};

// The ordered descriptors of one table. Besides the descriptors it keeps the
// positions of the key fields and of the folded (non-key) fields, so that the
// hot comparison and merge loops skip the others without testing them.
class TDescMemFields final {
 public:
  TDescMemFields() = default;
  TDescMemFields(const TDescMemFields&) = delete;
  TDescMemFields& operator=(const TDescMemFields&) = delete;

  // Appends a field; returns its index.
  int32_t Add(std::string_view name, TFieldType type, bool is_key, TFieldAction action);
  // Takes the last field back (an add whose row rebuild failed).
  void RemoveLast();
  // Index of the first field named exactly name, or -1.
  int32_t FieldByName(std::string_view name) const;

  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  bool ValidIndex(int32_t index) const { return index >= 0 && index < Count(); }
  const TDescMemField& operator[](int32_t index) const { return items_[static_cast<size_t>(index)]; }
  const std::vector<int32_t>& KeyIndexes() const { return key_indexes_; }
  const std::vector<int32_t>& FoldIndexes() const { return fold_indexes_; }

 private:
  std::vector<TDescMemField> items_;
  std::vector<int32_t> key_indexes_;
  std::vector<int32_t> fold_indexes_;
};

// The string slot of a field: one pointer, to a heap block holding the
// length, the room and the characters (with a closing NUL), or null while
// the slot has never held a character. A field of any type carries this
// slot, so it is kept to a word instead of a std::string's four. The
// characters move only when the slot is changed and needs more room.
class TFieldText final {
 public:
  TFieldText() = default;
  TFieldText(const TFieldText& other) { *this = other; }
  TFieldText& operator=(const TFieldText& other) { return assign(other.view()); }
  TFieldText& operator=(std::string_view text) { return assign(text); }
  ~TFieldText() { ::operator delete(block_); }

  TFieldText& assign(std::string_view text);
  TFieldText& operator+=(const TFieldText& other);
  // Empties the text, keeping its room.
  void clear();

  size_t size() const { return block_ ? block_->size : 0; }
  bool empty() const { return size() == 0; }
  // The characters, closed by a NUL; "" when the slot is empty.
  const char* c_str() const { return block_ ? block_->chars() : ""; }
  std::string_view view() const { return {c_str(), size()}; }
  operator std::string_view() const { return view(); }
  operator std::string() const { return std::string(view()); }
  friend bool operator==(const TFieldText& a, std::string_view b) { return a.view() == b; }

 private:
  struct Block {
    size_t size, room;
    char* chars() { return reinterpret_cast<char*>(this + 1); }
    const char* chars() const { return reinterpret_cast<const char*>(this + 1); }
  };
  // A block with room for room characters and the NUL; size 0. The only
  // step that allocates: a failure leaves the text as it was.
  static Block* NewBlock(size_t room);
  // Takes block (its characters filled up to its size) in place of this
  // text's own, which is freed.
  void Replace(Block* block) noexcept;

  Block* block_ = nullptr;
};

// One field's value in one row. All four slots exist whatever the declared
// type; setters write the slot of their own kind, and the declared type
// decides which slot keys, folding and printing use.
class TMemField final {
 public:
  // Empties the string (keeping its buffer) and zeroes the numbers.
  void Clear();
  // Copies the four value slots.
  void AssignValues(const TMemField& source);
  // Order of two values of a key field of the given type: -1, 0 or 1.
  int CompareKey(const TMemField& other, TFieldType type) const;
  // Folds an incoming value into this one by the field's type and action.
  void Fold(const TMemField& incoming, TFieldType type, TFieldAction action);
  // Text form for Print lines, by declared type: string "<length> <bytes>",
  // int decimal, double general form, date-time short date and time.
  std::string AsString(TFieldType type) const;

  double DoubleValue = 0.0;
  double DateValue = 0.0;
  int32_t IntValue = 0;
  TFieldText StrValue;
};

}  // namespace orlix

#endif  // ORLIX_MEMTABLE_MEM_FIELD_H_
