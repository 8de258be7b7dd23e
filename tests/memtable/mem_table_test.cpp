// The memory table model: merge actions per type, key order over several
// fields and types, folding, the two phases, the work row exchange, lookups,
// Print lines and the lifetime of a field's characters.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "memtable/mem_table.h"

namespace orlix {
namespace {

struct FieldSpec {
  const char* name;
  const char* type;
  bool key;
  const char* action;
};

std::unique_ptr<TMemTable> MakeTable(std::initializer_list<FieldSpec> fields) {
  auto table = TMemTable::CreateTable("t");
  for (const FieldSpec& f : fields) table->AddField(f.name, f.type, f.key, f.action);
  return table;
}

TMemField& Work(TMemTable& table, int field) { return table.Row()->Fields[static_cast<size_t>(field)]; }
const TMemField& At(const TMemTable& table, int row, int field) {
  return table.ItemAs<TMemFields>(row).Fields[static_cast<size_t>(field)];
}

// Inserts (key, value) into a table of an int key and a double field.
int InsertInt(TMemTable& table, int32_t key, double value) {
  table.RowClear();
  Work(table, 0).IntValue = key;
  Work(table, 1).DoubleValue = value;
  return table.Insert();
}

std::string RaisedMessage(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(nothing raised)";
}

// A field's string slot is one pointer to its own block: texts taken from
// the slot itself, sums that outgrow it, bytes past a NUL, and emptying
// that keeps the room (the characters do not move).
TEST(MemTableTest, StringSlotCopiesGrowsAndEmpties) {
  TMemField field;
  EXPECT_EQ(field.StrValue.size(), 0u);
  EXPECT_STREQ(field.StrValue.c_str(), "");
  field.StrValue = std::string_view("ab\0c", 4);
  field.StrValue += field.StrValue;  // onto itself, past its room
  EXPECT_EQ(field.StrValue, std::string_view("ab\0cab\0c", 8));
  field.StrValue = field.StrValue.view().substr(2);  // from within itself
  EXPECT_EQ(field.StrValue, std::string_view("\0cab\0c", 6));
  std::string sum;
  TMemField piece;
  piece.StrValue = "xyz";
  for (int i = 0; i < 1000; ++i) {
    field.StrValue += piece.StrValue;
    sum += "xyz";
  }
  EXPECT_EQ(field.StrValue.view().substr(6), sum);
  const char* held = field.StrValue.c_str();
  field.Clear();
  EXPECT_TRUE(field.StrValue.empty());
  field.StrValue = "short";
  EXPECT_EQ(field.StrValue.c_str(), held) << "emptied and refilled within its room, in place";
  TMemField copy;
  copy.AssignValues(field);
  EXPECT_EQ(copy.StrValue, "short");
  EXPECT_NE(copy.StrValue.c_str(), field.StrValue.c_str());
}

TEST(MemTableTest, EqualKeysFoldAndInsertTellsAddedFromFolded) {
  auto table = MakeTable({{"k", "int", true, "miss"}, {"q", "double", false, "sum"}});
  EXPECT_EQ(InsertInt(*table, 1, 2), -1);
  EXPECT_EQ(InsertInt(*table, 2, 5), -1);
  EXPECT_EQ(InsertInt(*table, 1, 3), 0);
  ASSERT_EQ(table->Count(), 2);
  EXPECT_EQ(At(*table, 0, 0).IntValue, 1);
  EXPECT_DOUBLE_EQ(At(*table, 0, 1).DoubleValue, 5.0);
  EXPECT_EQ(At(*table, 1, 0).IntValue, 2);
  EXPECT_DOUBLE_EQ(At(*table, 1, 1).DoubleValue, 5.0);
  EXPECT_EQ(table->Size(), TMemTable::kPoolCapacity);
}

// Three rows of one key, with the second value below the first and the third
// above both, so min and max each have one fold that changes and one that keeps.
TEST(MemTableTest, EveryActionOnEveryType) {
  const char* const actions[] = {"miss", "update", "sum", "min", "max", "count"};
  const char* const types[] = {"string", "int", "double", "datetime"};
  auto table = TMemTable::CreateTable("t");
  table->AddField("k", "int", true, "miss");
  for (const char* type : types)
    for (const char* action : actions) table->AddField(std::string(type) + "_" + action, type, false, action);

  const char* const strings[] = {"m", "b", "x"};
  const int32_t ints[] = {7, 3, 12};
  const double doubles[] = {2.5, -1.0, 8.0};
  const double dates[] = {100.0, 50.0, 200.0};
  for (int step = 0; step < 3; ++step) {
    table->RowClear();
    Work(*table, 0).IntValue = 1;
    for (int a = 0; a < 6; ++a) {
      Work(*table, 1 + a).StrValue = strings[step];
      Work(*table, 7 + a).IntValue = ints[step];
      Work(*table, 13 + a).DoubleValue = doubles[step];
      Work(*table, 19 + a).DateValue = dates[step];
    }
    EXPECT_EQ(table->Insert(), step == 0 ? -1 : 0);
  }
  ASSERT_EQ(table->Count(), 1);

  const std::vector<std::string> want_str = {"m", "x", "mbx", "b", "x", "m"};
  const std::vector<int32_t> want_int = {7, 12, 22, 3, 12, 9};
  const std::vector<double> want_double = {2.5, 8.0, 9.5, -1.0, 8.0, 4.5};
  const std::vector<double> want_date = {100.0, 200.0, 100.0, 50.0, 200.0, 100.0};
  for (int a = 0; a < 6; ++a) {
    SCOPED_TRACE(actions[a]);
    EXPECT_EQ(At(*table, 0, 1 + a).StrValue, want_str[static_cast<size_t>(a)]);
    EXPECT_EQ(At(*table, 0, 7 + a).IntValue, want_int[static_cast<size_t>(a)]);
    EXPECT_DOUBLE_EQ(At(*table, 0, 13 + a).DoubleValue, want_double[static_cast<size_t>(a)]);
    EXPECT_DOUBLE_EQ(At(*table, 0, 19 + a).DateValue, want_date[static_cast<size_t>(a)]);
  }
}

TEST(MemTableTest, IntegerSumsAndCountsWrapIn32Bits) {
  auto table = MakeTable({{"k", "int", true, "miss"}, {"s", "int", false, "sum"}, {"c", "int", false, "count"}});
  const int32_t max = std::numeric_limits<int32_t>::max();
  for (int32_t value : {max, 1}) {
    table->RowClear();
    Work(*table, 1).IntValue = value;
    Work(*table, 2).IntValue = max;
    table->Insert();
  }
  EXPECT_EQ(At(*table, 0, 1).IntValue, std::numeric_limits<int32_t>::min());
  EXPECT_EQ(At(*table, 0, 2).IntValue, std::numeric_limits<int32_t>::min());
}

// Only the slot of the declared type takes part in keys and folding.
TEST(MemTableTest, OnlyTheDeclaredSlotCounts) {
  auto table = MakeTable({{"k", "int", true, "miss"}, {"q", "double", false, "sum"}});
  for (const char* other : {"a", "b"}) {
    table->RowClear();
    Work(*table, 0).IntValue = 4;
    Work(*table, 0).StrValue = other;  // not the key's slot
    Work(*table, 1).DoubleValue = 1.0;
    Work(*table, 1).IntValue = 100;  // not the folded slot
    table->Insert();
  }
  ASSERT_EQ(table->Count(), 1);
  EXPECT_EQ(At(*table, 0, 0).StrValue, "a");
  EXPECT_DOUBLE_EQ(At(*table, 0, 1).DoubleValue, 2.0);
  EXPECT_EQ(At(*table, 0, 1).IntValue, 100);
}

// Locale order: letters before letter case, lower case first on a tie, Latin
// before Cyrillic; byte order would answer differently for each pair.
TEST(MemTableTest, StringKeysAndMinMaxFollowTheLocaleOrder) {
  auto table = MakeTable({{"k", "string", true, "miss"}, {"hi", "string", false, "max"}, {"lo", "string", false, "min"}});
  // "б" (Cyrillic b) in Windows-1251.
  const std::string cyrillic_b = "\xE1";
  const std::vector<std::string> keys = {"Banana", "apple", "A", "a", cyrillic_b, "z"};
  for (const std::string& key : keys) {
    table->RowClear();
    Work(*table, 0).StrValue = key;
    table->Insert();
    table->RowClear();
    Work(*table, 0).StrValue = "same";
    Work(*table, 1).StrValue = key;
    Work(*table, 2).StrValue = key;
    table->Insert();
  }
  std::vector<std::string> order;
  for (int i = 0; i < table->Count(); ++i) order.push_back(At(*table, i, 0).StrValue);
  EXPECT_EQ(order, (std::vector<std::string>{"a", "A", "apple", "Banana", "same", "z", cyrillic_b}));
  const int same = 4;
  EXPECT_EQ(At(*table, same, 1).StrValue, cyrillic_b);
  EXPECT_EQ(At(*table, same, 2).StrValue, "a");
}

// Keys of four types in one row, inserted in random order with negative
// values and repeats: rows come out in the order of the key tuple, one each.
TEST(MemTableTest, SeveralKeyFieldsOfEveryTypeOrderRowsLexicographically) {
  auto table = MakeTable({{"a", "int", true, "miss"},
                          {"n", "double", false, "count"},
                          {"b", "double", true, "miss"},
                          {"s", "string", true, "miss"},
                          {"d", "date", true, "miss"}});
  using Key = std::tuple<int32_t, double, std::string, double>;
  std::vector<Key> keys;
  for (int32_t a : {-3, 0, 2})
    for (double b : {-1.5, 0.0, 7.25})
      for (const char* s : {"x", "y"})
        for (double d : {-10.0, 45000.0}) keys.emplace_back(a, b, s, d);
  std::vector<Key> inserts = keys;
  inserts.insert(inserts.end(), keys.begin(), keys.end());  // every key twice
  std::mt19937 random(42);
  std::shuffle(inserts.begin(), inserts.end(), random);
  for (const Key& key : inserts) {
    table->RowClear();
    Work(*table, 0).IntValue = std::get<0>(key);
    Work(*table, 2).DoubleValue = std::get<1>(key);
    Work(*table, 3).StrValue = std::get<2>(key);
    Work(*table, 4).DateValue = std::get<3>(key);
    table->Insert();
  }
  std::sort(keys.begin(), keys.end());
  ASSERT_EQ(table->Count(), static_cast<int>(keys.size()));
  for (int i = 0; i < table->Count(); ++i) {
    const Key got{At(*table, i, 0).IntValue, At(*table, i, 2).DoubleValue, At(*table, i, 3).StrValue,
                  At(*table, i, 4).DateValue};
    EXPECT_EQ(got, keys[static_cast<size_t>(i)]) << "row " << i;
    EXPECT_DOUBLE_EQ(At(*table, i, 1).DoubleValue, 1.0) << "one fold per key";
  }
}

TEST(MemTableTest, TableWithoutKeysFoldsEverythingIntoOneRow) {
  auto table = MakeTable({{"q", "double", false, "sum"}, {"n", "int", false, "count"}});
  for (int i = 1; i <= 5; ++i) {
    table->RowClear();
    Work(*table, 0).DoubleValue = i;
    Work(*table, 1).IntValue = 1;
    EXPECT_EQ(table->Insert(), i == 1 ? -1 : 0);
  }
  ASSERT_EQ(table->Count(), 1);
  EXPECT_DOUBLE_EQ(At(*table, 0, 0).DoubleValue, 15.0);
  EXPECT_EQ(At(*table, 0, 1).IntValue, 5);
}

// NaN keys form one group after all numbers; numbers keep their own rows and
// every one stays reachable by bisection. -0.0 and 0.0 are one key.
TEST(MemTableTest, NanKeysSortLastAndDoNotDisturbTheSearch) {
  auto table = MakeTable({{"k", "double", true, "miss"}, {"n", "int", false, "count"}});
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::vector<double> inserts;
  for (int i = -50; i < 50; ++i) {
    inserts.push_back(i);
    inserts.push_back(nan);
  }
  inserts.push_back(-0.0);
  std::mt19937 random(7);
  std::shuffle(inserts.begin(), inserts.end(), random);
  for (double key : inserts) {
    table->RowClear();
    Work(*table, 0).DoubleValue = key;
    table->Insert();
  }
  ASSERT_EQ(table->Count(), 101);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(At(*table, i, 0).DoubleValue, i - 50);
  EXPECT_TRUE(std::isnan(At(*table, 100, 0).DoubleValue));
  EXPECT_EQ(At(*table, 100, 1).IntValue, 99);  // 100 NaN rows folded into one
  EXPECT_EQ(At(*table, 50, 1).IntValue, 1);    // 0.0 and -0.0
  for (double key : {-50.0, 0.0, 49.0, nan}) {
    table->RowClear();
    Work(*table, 0).DoubleValue = key;
    table->SetCursor(0);
    EXPECT_TRUE(table->Locate()) << key;
  }
  EXPECT_EQ(table->Cursor(), 100);
}

TEST(MemTableTest, FieldsAreFixedOnceThePoolExistsEvenAfterClear) {
  auto table = MakeTable({{"k", "int", true, "miss"}});
  Work(*table, 0).IntValue = 9;
  table->AddField("q", "double", false, "sum");
  EXPECT_EQ(Work(*table, 0).IntValue, 0) << "a new field rebuilds the work row";
  EXPECT_EQ(table->Row()->Fields.size(), 2u);
  table->Insert();
  EXPECT_EQ(RaisedMessage([&] { table->AddField("x", "int", false, "sum"); }),
            "Except: TDescMemFields.Add - Table.Size=100");
  table->Clear();
  EXPECT_EQ(RaisedMessage([&] { table->AddField("x", "int", false, "sum"); }),
            "Except: TDescMemFields.Add - Table.Size=100");
  EXPECT_EQ(table->FieldDefs().Count(), 2);
}

TEST(MemTableTest, AddFieldNamesTypesAndActionsExactly) {
  auto table = TMemTable::CreateTable("t");
  EXPECT_EQ(RaisedMessage([&] { table->AddField("a", "Int", false, "sum"); }),
            "TDescMemFields.Add - The type Int unknown");
  EXPECT_EQ(RaisedMessage([&] { table->AddField("a", "float", false, "avg"); }),
            "TDescMemFields.Add - The type float unknown");
  EXPECT_EQ(RaisedMessage([&] { table->AddField("a", "int", false, "Sum"); }),
            "TDescMemFields.Add - The action Sum unknown");
  EXPECT_EQ(table->FieldDefs().Count(), 0);
  EXPECT_FALSE(table->Row()) << "failed adds leave the table without fields";
  for (const char* type : {"string", "int", "double", "datetime", "date", "time"})
    table->AddField("f", type, false, "miss");
  EXPECT_EQ(table->AddField("F", "int", false, "count"), 6);
  EXPECT_EQ(table->FieldDefs()[3].FieldType, TFieldType::DateTime);
  EXPECT_EQ(table->FieldDefs()[5].FieldType, TFieldType::DateTime);
  EXPECT_EQ(table->FieldDefs().FieldByName("f"), 0) << "the first of equal names";
  EXPECT_EQ(table->FieldDefs().FieldByName("F"), 6) << "letter case counts";
  EXPECT_EQ(table->FieldDefs().FieldByName("g"), -1);
}

TEST(MemTableTest, HundredsOfFieldsWork) {
  auto table = TMemTable::CreateTable("wide");
  table->AddField("k", "int", true, "miss");
  for (int i = 1; i < 500; ++i) table->AddField("f" + std::to_string(i), "int", false, "sum");
  for (int round = 0; round < 3; ++round)
    for (int32_t key = 0; key < 10; ++key) {
      table->RowClear();
      Work(*table, 0).IntValue = key;
      for (int i = 1; i < 500; ++i) Work(*table, i).IntValue = i;
      table->Insert();
    }
  ASSERT_EQ(table->Count(), 10);
  EXPECT_EQ(At(*table, 9, 499).IntValue, 3 * 499);
}

// A new row takes the work row object; the spare handed back keeps whatever
// it last held (here a row from before Clear), and never a stale New flag.
TEST(MemTableTest, InsertHandsBackASpareWithStaleValuesButNoNewFlag) {
  auto table = MakeTable({{"k", "int", true, "miss"}, {"q", "double", false, "sum"}});
  InsertInt(*table, 1, 10);
  InsertInt(*table, 2, 20);
  table->SetNew();
  table->Clear();
  EXPECT_EQ(table->Count(), 0);
  table->RowClear();
  Work(*table, 0).IntValue = 5;
  EXPECT_EQ(table->Insert(), -1);
  EXPECT_EQ(Work(*table, 0).IntValue, 1) << "the spare at position 0 was the row of key 1";
  EXPECT_DOUBLE_EQ(Work(*table, 1).DoubleValue, 10.0);
  EXPECT_EQ(table->ItemAs<TMemFields>(0).ID, 0) << "numbering restarts after Clear";
  Work(*table, 0).IntValue = 6;
  EXPECT_EQ(table->Insert(), -1) << "the stale spare, flagged New before Clear, enters";
  table->FirstNew();
  EXPECT_TRUE(table->Eof()) << "an inserted row is not new";
}

TEST(MemTableTest, LocateMovesTheCursorOnlyWhenFound) {
  auto table = MakeTable({{"k", "int", true, "miss"}, {"q", "double", false, "sum"}});
  for (int32_t key : {30, -10, 20, 0}) InsertInt(*table, key, key);
  table->RowClear();
  Work(*table, 0).IntValue = 20;
  ASSERT_TRUE(table->Locate());
  EXPECT_EQ(table->Cursor(), 2);
  EXPECT_DOUBLE_EQ(table->CurrentRow()->Fields[1].DoubleValue, 20.0);
  Work(*table, 0).IntValue = 21;
  EXPECT_FALSE(table->Locate());
  EXPECT_EQ(table->Cursor(), 2);
  table->Next();
  table->Next();
  EXPECT_EQ(table->CurrentRow(), nullptr) << "off the rows at EOF";
}

TEST(MemTableTest, TableWithoutFieldsHasNoWorkRow) {
  auto table = TMemTable::CreateTable("bare");
  EXPECT_EQ(RaisedMessage([&] { table->Insert(); }), "Row = nil in the TMemTable.Insert");
  EXPECT_EQ(RaisedMessage([&] { table->Locate(); }), "Row = nil in the TMemTable.Locate");
  EXPECT_EQ(RaisedMessage([&] { table->RowClear(); }), "Row = nil in the TMemTable.RowClear");
  TLines lines;
  table->Print(lines);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3], "Count=0  Size=0  Capacity=100");
}

// A fold into an existing row lands one call late, at the next Insert; every
// reader in between must see it all the same: the row by position, the
// cursor's row, Print, and the spares Clear leaves. Folds into one row twice
// in a row keep their order, and a table freed with a fold held back loses
// nothing it still owns.
TEST(MemTableTest, AFoldHeldBackIsSeenByEveryReader) {
  auto table = MakeTable({{"k", "int", true, "miss"}, {"q", "double", false, "sum"}, {"u", "int", false, "update"}});
  const auto insert = [&](int32_t key, double q, int32_t u) {
    table->RowClear();
    Work(*table, 0).IntValue = key;
    Work(*table, 1).DoubleValue = q;
    Work(*table, 2).IntValue = u;
    return table->Insert();
  };
  insert(1, 1, 10);
  insert(2, 2, 20);
  EXPECT_EQ(insert(1, 4, 11), 0);
  EXPECT_DOUBLE_EQ(At(*table, 0, 1).DoubleValue, 5.0);
  EXPECT_EQ(insert(2, 8, 21), 1);
  table->RowClear();
  Work(*table, 0).IntValue = 2;
  ASSERT_TRUE(table->Locate());
  EXPECT_DOUBLE_EQ(table->CurrentRow()->Fields[1].DoubleValue, 10.0);
  insert(2, 1, 22);
  insert(2, 1, 23);
  TLines lines;
  table->Print(lines);
  EXPECT_EQ(lines.back(), "new=0   f0=2   f1=12   f2=23   ");
  insert(1, 1, 12);
  table->Clear();
  EXPECT_EQ(insert(5, 0, 0), -1);
  EXPECT_DOUBLE_EQ(Work(*table, 1).DoubleValue, 6.0) << "the spare of key 1, its last fold included";
  EXPECT_EQ(Work(*table, 2).IntValue, 12);
  EXPECT_EQ(insert(5, 1, 1), 0);
}

TEST(MemTableTest, PrintWritesHeaderWorkRowAndRows) {
  auto table = MakeTable({{"k", "int", true, "miss"},
                          {"s", "string", false, "update"},
                          {"q", "double", false, "sum"},
                          {"d", "datetime", false, "max"}});
  table->RowClear();
  Work(*table, 0).IntValue = -4;
  Work(*table, 1).StrValue = "ab c";
  Work(*table, 2).DoubleValue = 2.5;
  Work(*table, 3).DateValue = 45000.75;
  table->Insert();
  table->RowClear();
  Work(*table, 0).IntValue = 7;
  table->SetNew();
  TLines lines;
  table->Print(lines);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0].size(), std::string("dd.mm.yyyy hh:mm:ss").size());
  EXPECT_EQ(lines[1], "MemTable");
  EXPECT_EQ(lines[2], "Row");
  EXPECT_EQ(lines[3], "new=0   f0=7   f1=0    f2=0   f3=30.12.1899 00:00:00   ");
  EXPECT_EQ(lines[4], "Count=1  Size=100  Capacity=100");
  EXPECT_EQ(lines[5], "new=1   f0=-4   f1=4 ab c   f2=2.5   f3=15.03.2023 18:00:00   ");
}


// The characters of a row's field stay where they are through folds into
// other rows, inserts that shift rows and grow the pool, and Clear; only a
// change of that field may move them. Under the sanitizers a dangling read
// would fail here.
TEST(MemTableTest, FieldCharactersOutliveShiftsGrowthAndClear) {
  auto table = MakeTable({{"k", "int", true, "miss"}, {"s", "string", false, "miss"}});
  const std::string long_text(100, 'x');
  std::vector<std::pair<const char*, std::string>> held;
  for (const std::string& text : {std::string("short"), long_text}) {
    table->RowClear();
    Work(*table, 0).IntValue = 1000 + static_cast<int32_t>(held.size());
    Work(*table, 1).StrValue = text;
    table->Insert();
    table->RowClear();
    Work(*table, 0).IntValue = 1000 + static_cast<int32_t>(held.size());
    ASSERT_TRUE(table->Locate());
    held.emplace_back(table->CurrentRow()->Fields[1].StrValue.c_str(), text);
  }
  for (int32_t key = 999; key >= 0; --key) {  // each new key shifts both rows up
    table->RowClear();
    Work(*table, 0).IntValue = key;
    Work(*table, 1).StrValue = "other";
    table->Insert();
    Work(*table, 0).IntValue = 1000;  // folds into a held row ("miss")
    table->Insert();
  }
  EXPECT_GT(table->Size(), 1000);
  for (const auto& [pointer, text] : held) EXPECT_EQ(std::string(pointer), text);
  table->Clear();
  for (const auto& [pointer, text] : held) EXPECT_EQ(std::string(pointer), text);
}

}  // namespace
}  // namespace orlix
