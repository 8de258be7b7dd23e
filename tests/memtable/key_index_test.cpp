// The key index under a memory table: positions in key order stay right
// under any mix of inserts, lookups, cursor steps and Clear, across many
// blocks, for every key type (NaN and signed zeros among doubles, strings
// sharing their first characters, keys of two fields); and an insert that
// runs out of memory at any allocation leaves the table as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "frame/platform.h"
#include "memtable/mem_table.h"

// ---- Allocation failure on demand ------------------------------------------------
// When armed, the n-th allocation from now fails. Every ordinary and
// aligned form of new and delete is replaced, so all of them meet the same
// allocator.
namespace {
thread_local long allocations_left = -1;

void* Allocate(size_t size) noexcept {
  if (allocations_left == 0) return nullptr;
  if (allocations_left > 0) --allocations_left;
  return std::malloc(size == 0 ? 1 : size);
}
void* AllocateOrThrow(size_t size) {
  if (void* block = Allocate(size)) return block;
  throw std::bad_alloc();
}
void* AllocateAlignedOrThrow(size_t size, std::align_val_t align) {
  const size_t alignment = static_cast<size_t>(align);
  if (allocations_left == 0) throw std::bad_alloc();
  if (allocations_left > 0) --allocations_left;
  if (void* block = std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment)) return block;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(size_t size) { return AllocateOrThrow(size); }
void* operator new[](size_t size) { return AllocateOrThrow(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
void* operator new(size_t size, std::align_val_t align) { return AllocateAlignedOrThrow(size, align); }
void* operator new[](size_t size, std::align_val_t align) { return AllocateAlignedOrThrow(size, align); }
void operator delete(void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t, std::align_val_t) noexcept { std::free(block); }

namespace orlix {
namespace {

struct Disarm {
  ~Disarm() { allocations_left = -1; }
};

// ---- A model of the table: its keys in order, with their sums ------------------

enum class KeyKind { Int, Double, String, IntString };

struct Key {
  int32_t i = 0;
  double d = 0.0;
  std::string s;
};

// The order the table promises, written out independently: doubles with NaN
// last and equal to NaN, strings by the locale, two-field keys field by field.
int Order(KeyKind kind, const Key& a, const Key& b) {
  auto ints = [](int32_t x, int32_t y) { return x < y ? -1 : (y < x ? 1 : 0); };
  switch (kind) {
    case KeyKind::Int:
      return ints(a.i, b.i);
    case KeyKind::Double: {
      const bool an = std::isnan(a.d), bn = std::isnan(b.d);
      if (an || bn) return an == bn ? 0 : (an ? 1 : -1);
      return a.d < b.d ? -1 : (b.d < a.d ? 1 : 0);
    }
    case KeyKind::String:
      return platform::CompareLocale(a.s, b.s);
    case KeyKind::IntString: {
      const int r = ints(a.i, b.i);
      return r != 0 ? r : platform::CompareLocale(a.s, b.s);
    }
  }
  return 0;
}

struct Model {
  KeyKind kind;
  std::vector<Key> keys;  // in order
  std::vector<double> sums;
  // Position of key, and whether it is there.
  std::pair<int, bool> Find(const Key& key) const {
    int lo = 0, hi = static_cast<int>(keys.size());
    while (lo < hi) {
      const int mid = (lo + hi) / 2;
      if (Order(kind, keys[static_cast<size_t>(mid)], key) < 0) lo = mid + 1;
      else hi = mid;
    }
    return {lo, lo < static_cast<int>(keys.size()) && Order(kind, keys[static_cast<size_t>(lo)], key) == 0};
  }
};

std::unique_ptr<TMemTable> MakeTable(KeyKind kind) {
  auto table = TMemTable::CreateTable("t");
  switch (kind) {
    case KeyKind::Int:
      table->AddField("k", "int", true, "miss");
      break;
    case KeyKind::Double:
      table->AddField("k", "double", true, "miss");
      break;
    case KeyKind::String:
      table->AddField("k", "string", true, "miss");
      break;
    case KeyKind::IntString:
      table->AddField("k", "int", true, "miss");
      table->AddField("s", "string", true, "miss");
      break;
  }
  table->AddField("q", "double", false, "sum");
  return table;
}

int SumField(KeyKind kind) { return kind == KeyKind::IntString ? 2 : 1; }

void SetKey(TMemTable& table, KeyKind kind, const Key& key) {
  auto& fields = table.Row()->Fields;
  fields[0].IntValue = key.i;
  fields[0].DoubleValue = key.d;
  fields[0].StrValue = key.s;
  if (kind == KeyKind::IntString) fields[1].StrValue = key.s;
}

bool SameKey(KeyKind kind, const TMemFields& row, const Key& key) {
  Key got{row.Fields[0].IntValue, row.Fields[0].DoubleValue, row.Fields[0].StrValue};
  if (kind == KeyKind::IntString) got.s = row.Fields[1].StrValue;
  return Order(kind, got, key) == 0;
}

// Few distinct values per kind, so keys repeat and fold; doubles include NaN,
// both zeros and both infinities; strings share long first parts.
Key RandomKey(KeyKind kind, std::mt19937& random, int spread) {
  Key key;
  const int n = static_cast<int>(random() % static_cast<unsigned>(spread));
  key.i = n * 7919 % spread - spread / 2;
  switch (random() % 16) {
    case 0:
      key.d = std::numeric_limits<double>::quiet_NaN();
      break;
    case 1:
      key.d = -0.0;
      break;
    case 2:
      key.d = 0.0;
      break;
    case 3:
      key.d = (n & 1) ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
      break;
    default:
      key.d = (n - spread / 2) / 4.0;
  }
  key.s = std::string(static_cast<size_t>(n % 5), 'a') + "prefix-shared-by-many-" + std::to_string(n);
  if (kind == KeyKind::IntString) key.i = n % 13;
  return key;
}

void ExpectSameRows(const TMemTable& table, const Model& model, KeyKind kind) {
  ASSERT_EQ(table.Count(), static_cast<int32_t>(model.keys.size()));
  for (size_t p = 0; p < model.keys.size(); ++p) {
    const TMemFields& row = table.Item(static_cast<int>(p));
    ASSERT_TRUE(SameKey(kind, row, model.keys[p])) << "row " << p;
    ASSERT_DOUBLE_EQ(row.Fields[static_cast<size_t>(SumField(kind))].DoubleValue, model.sums[p]) << "row " << p;
  }
}

// Random interleavings of every operation, checked call by call against the
// model: Insert's answer, Locate's answer and the cursor, the cursor's row
// after steps, and the whole walk now and then. Clear comes twice per run.
void RunAgainstModel(KeyKind kind, unsigned seed) {
  std::mt19937 random(seed);
  auto table = MakeTable(kind);
  Model model{kind, {}, {}};
  const int sum = SumField(kind);
  constexpr int kSteps = 12000;
  for (int step = 0; step < kSteps; ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    const unsigned what = random() % 100;
    if (step == kSteps / 3 || step == 2 * kSteps / 3) {
      table->Clear();
      model.keys.clear();
      model.sums.clear();
      table->RowClear();
      SetKey(*table, kind, RandomKey(kind, random, 3000));
      ASSERT_FALSE(table->Locate()) << "nothing is found after Clear";
      ExpectSameRows(*table, model, kind);
    } else if (what < 60) {
      const Key key = RandomKey(kind, random, 3000);
      const double value = static_cast<double>(random() % 100);
      table->RowClear();
      SetKey(*table, kind, key);
      table->Row()->Fields[static_cast<size_t>(sum)].DoubleValue = value;
      const auto [position, present] = model.Find(key);
      const int cursor = table->Cursor();
      ASSERT_EQ(table->Insert(), present ? position : -1);
      ASSERT_EQ(table->Cursor(), cursor) << "Insert leaves the cursor";
      if (present) {
        model.sums[static_cast<size_t>(position)] += value;
      } else {
        model.keys.insert(model.keys.begin() + position, key);
        model.sums.insert(model.sums.begin() + position, value);
      }
    } else if (what < 85) {
      const Key key = RandomKey(kind, random, 3000);
      table->RowClear();
      SetKey(*table, kind, key);
      const auto [position, present] = model.Find(key);
      const int cursor = table->Cursor();
      ASSERT_EQ(table->Locate(), present);
      ASSERT_EQ(table->Cursor(), present ? position : cursor);
    } else {
      if (what < 90) table->Next();
      else if (what < 95) table->Prior();
      else if (what < 97) table->First();
      else table->Last();
      TMemFields* row = table->CurrentRow();
      const int cursor = table->Cursor();
      ASSERT_EQ(row != nullptr, cursor >= 0 && cursor < static_cast<int>(model.keys.size()));
      if (row) {
        ASSERT_TRUE(SameKey(kind, *row, model.keys[static_cast<size_t>(cursor)]));
      }
    }
    if (step % 2000 == 0) ExpectSameRows(*table, model, kind);
  }
  ExpectSameRows(*table, model, kind);
  ASSERT_GT(model.keys.size(), 2 * TMemKeyIndex::kBlockMax) << "the run spans several blocks";
}

TEST(MemKeyIndexTest, PositionsFollowTheModelForIntKeys) { RunAgainstModel(KeyKind::Int, 1); }
TEST(MemKeyIndexTest, PositionsFollowTheModelForDoubleKeysWithNanAndZeros) { RunAgainstModel(KeyKind::Double, 2); }
TEST(MemKeyIndexTest, PositionsFollowTheModelForStringsWithEqualPrefixes) { RunAgainstModel(KeyKind::String, 3); }
TEST(MemKeyIndexTest, PositionsFollowTheModelForTwoFieldKeys) { RunAgainstModel(KeyKind::IntString, 4); }

// Descending and ascending runs fill blocks only at one end, where a split
// happens on every block boundary.
TEST(MemKeyIndexTest, SortedArrivalsInEitherDirection) {
  for (const int direction : {1, -1}) {
    auto table = MakeTable(KeyKind::Int);
    constexpr int kRows = 5000;
    for (int i = 0; i < kRows; ++i) {
      table->RowClear();
      table->Row()->Fields[0].IntValue = direction * i;
      ASSERT_EQ(table->Insert(), -1);
    }
    ASSERT_EQ(table->Count(), kRows);
    table->First();
    for (int p = 0; p < kRows; ++p, table->Next())
      ASSERT_EQ(table->CurrentRow()->Fields[0].IntValue, direction > 0 ? p : p - (kRows - 1));
    EXPECT_TRUE(table->Eof());
  }
}

// After Clear the pool hands its spares out in the key order the rows had,
// however they arrived and however many blocks they spanned.
TEST(MemKeyIndexTest, ClearHandsSparesBackInKeyOrder) {
  auto table = MakeTable(KeyKind::Int);
  constexpr int kRows = 1000;
  for (int i = 0; i < kRows; ++i) {
    table->RowClear();
    table->Row()->Fields[0].IntValue = (i * 7919) % kRows;
    table->Insert();
  }
  table->Clear();
  for (int i = 0; i < kRows; ++i) {
    table->RowClear();
    table->Row()->Fields[0].IntValue = kRows + i;
    ASSERT_EQ(table->Insert(), -1);
    ASSERT_EQ(table->Row()->Fields[0].IntValue, i) << "the spare handed back is the row of key " << i;
  }
}

// Every allocation an insert of a new key makes is made to fail in turn;
// each failure leaves the rows, their order and the numbering as they were,
// and the insert then goes through. Ascending even keys fill blocks of
// kBlockMax / 2 and a last one: the 410th key outgrows the key hash of 512
// slots, after 512 rows the last block is full (the next key at the end
// splits it), after 600 the pool is (the next key, in a half-full block,
// grows the pool).
TEST(MemKeyIndexTest, AnInsertFailingAtAnyAllocationChangesNothing) {
  static_assert(TMemKeyIndex::kBlockMax == 256 && TMemTable::kPoolCapacity == 100);
  auto table = MakeTable(KeyKind::Int);
  Model model{KeyKind::Int, {}, {}};
  auto add = [&](int32_t key, double value) {
    const auto [position, present] = model.Find(Key{key, 0.0, ""});
    ASSERT_FALSE(present);
    model.keys.insert(model.keys.begin() + position, Key{key, 0.0, ""});
    model.sums.insert(model.sums.begin() + position, value);
  };
  int32_t next_even = 0;
  struct Case {
    int32_t rows_before;
    int32_t key;  // odd, so new
    bool needs_allocation;
  };
  for (const Case& c : {Case{409, 815, true}, Case{512, 1023, true}, Case{600, -1, true}, Case{600, 301, false}}) {
    SCOPED_TRACE("key " + std::to_string(c.key));
    while (table->Count() < c.rows_before) {
      table->RowClear();
      table->Row()->Fields[0].IntValue = next_even;
      table->Row()->Fields[1].DoubleValue = next_even;
      ASSERT_EQ(table->Insert(), -1);
      add(next_even, next_even);
      next_even += 2;
    }
    int failures = 0;
    for (long allow = 0;; ++allow) {
      table->RowClear();
      table->Row()->Fields[0].IntValue = c.key;
      table->Row()->Fields[1].DoubleValue = 0.5;
      const int32_t last_id = table->LastID();
      bool failed = false;
      {
        Disarm disarm;
        allocations_left = allow;
        try {
          table->Insert();
        } catch (const std::bad_alloc&) {
          failed = true;
        }
      }
      if (!failed) break;
      ++failures;
      ASSERT_EQ(table->LastID(), last_id);
      ExpectSameRows(*table, model, KeyKind::Int);
      ASSERT_FALSE(table->Locate()) << "the failed key is not there";
    }
    add(c.key, 0.5);
    ExpectSameRows(*table, model, KeyKind::Int);
    if (c.needs_allocation) {
      EXPECT_GT(failures, 0);
    }
  }
}

}  // namespace
}  // namespace orlix
