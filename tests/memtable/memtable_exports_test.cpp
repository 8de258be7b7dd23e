// The ibMemTable exports as the server calls them: every argument by
// pointer, failure values for bad handles, fields and cursors, the log lines
// of caught failures, New flags, borrowed strings and date blocks.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "frame/registry.h"
#include "memtable/memtable_exports.h"
#include "support/test_support.h"

namespace orlix {
namespace {

// The server's day number of a date-time.
int32_t Day(int32_t date_time) { return date_time + kServerDayOffset; }

class MemTableExportsTest : public ::testing::Test {
 protected:
  void SetUp() override { DestroyThreadRegistries(); }
  void TearDown() override { DestroyThreadRegistries(); }

  // A table "t" with int key k (0), double sum q (1), string max s (2) and
  // date min d (3), filled with keys 1..3 (key 2 twice).
  int32_t MakeFilled() {
    const int32_t t = ibMemTableCreate("t");
    const int32_t key = 1, not_key = 0;
    EXPECT_EQ(ibMemTableAddField(&t, "k", "int", &key, "miss"), 0);
    EXPECT_EQ(ibMemTableAddField(&t, "q", "double", &not_key, "sum"), 1);
    EXPECT_EQ(ibMemTableAddField(&t, "s", "string", &not_key, "max"), 2);
    EXPECT_EQ(ibMemTableAddField(&t, "d", "date", &not_key, "min"), 3);
    struct In {
      int32_t k;
      double q;
      const char* s;
      int32_t d;
    };
    for (const In& in : {In{2, 1.5, "b", Day(100)}, In{1, 4.0, "a", Day(50)}, In{3, 0.25, "c", Day(7)},
                         In{2, 2.0, "z", Day(90)}}) {
      ibMemTableRowClear(&t);
      ibMemTableRowFieldSetInt(&t, &kK, &in.k);
      ibMemTableRowFieldSetDouble(&t, &kQ, &in.q);
      ibMemTableRowFieldSetStr(&t, &kS, in.s);
      ibMemTableRowFieldSetDate(&t, &kD, &in.d);
      ibMemTableInsert(&t);
    }
    return t;
  }

  bool LocateKey(int32_t t, int32_t key) {
    ibMemTableRowClear(&t);
    ibMemTableRowFieldSetInt(&t, &kK, &key);
    return ibMemTableLocate(&t) == 1;
  }

  static constexpr int32_t kK = 0, kQ = 1, kS = 2, kD = 3;
  testing::ScratchLog log_;
};

TEST_F(MemTableExportsTest, RoadOfFillLookupAndWalk) {
  const int32_t t = MakeFilled();
  EXPECT_EQ(t, 1);
  EXPECT_EQ(ibMemTableByName("T"), t);
  EXPECT_EQ(ibMemTableFieldByName(&t, "s"), kS);

  ASSERT_TRUE(LocateKey(t, 2));
  EXPECT_DOUBLE_EQ(ibMemTableFieldGetDouble(&t, &kQ), 3.5);
  EXPECT_STREQ(ibMemTableFieldGetStr(&t, &kS), "z");
  ServerTimestamp* date = ibMemTableFieldGetDate(&t, &kD);
  ASSERT_NE(date, nullptr);
  EXPECT_EQ(date->date, Day(90));
  EXPECT_EQ(date->time, 0u);
  std::free(date);
  EXPECT_FALSE(LocateKey(t, 4));
  EXPECT_EQ(ibMemTableFieldGetInt(&t, &kK), 2) << "a failed lookup keeps the cursor";

  std::vector<int32_t> walked;
  for (ibMemTableFirst(&t); ibMemTableEOF(&t) == 0; ibMemTableNext(&t)) walked.push_back(ibMemTableFieldGetInt(&t, &kK));
  EXPECT_EQ(walked, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(ibMemTableBOF(&t), 0);
  std::vector<int32_t> back;
  for (ibMemTableLast(&t); ibMemTableBOF(&t) == 0; ibMemTablePrior(&t)) back.push_back(ibMemTableFieldGetInt(&t, &kK));
  EXPECT_EQ(back, (std::vector<int32_t>{3, 2, 1}));

  EXPECT_EQ(ibMemTableClear(&t), 1);
  ibMemTableFirst(&t);
  EXPECT_EQ(ibMemTableEOF(&t), 1);
  EXPECT_EQ(ibMemTableBOF(&t), 1);
  EXPECT_EQ(ibMemTableFree(&t), 1);
  EXPECT_EQ(ibMemTableByName("t"), 0);
}

// A walk over the rows that no lookup read: SetNew, lookups that read, then
// FirstNew/NextNew. Setters leave the flag; another SetNew brings rows back.
TEST_F(MemTableExportsTest, NewWalkSkipsRowsThatWereRead) {
  const int32_t t = MakeFilled();
  EXPECT_EQ(ibMemTableSetNew(&t), 1);
  ASSERT_TRUE(LocateKey(t, 2));
  ibMemTableFieldGetInt(&t, &kK);
  ASSERT_TRUE(LocateKey(t, 3));
  const double q = 9.0;
  EXPECT_EQ(ibMemTableFieldSetDouble(&t, &kQ, &q), 1) << "setting does not clear New";
  auto walk_new = [&] {
    std::vector<int32_t> keys;
    for (ibMemTableFirstNew(&t); ibMemTableEOF(&t) == 0; ibMemTableNextNew(&t)) {
      // Reading the key of a visited row clears its flag too; collect first.
      keys.push_back(ibMemTableFieldGetInt(&t, &kK));
    }
    return keys;
  };
  EXPECT_EQ(walk_new(), (std::vector<int32_t>{1, 3}));
  EXPECT_EQ(walk_new(), (std::vector<int32_t>{})) << "the walk itself read them";
  ibMemTableSetNew(&t);
  EXPECT_EQ(walk_new(), (std::vector<int32_t>{1, 2, 3}));
  ASSERT_TRUE(LocateKey(t, 3));
  EXPECT_DOUBLE_EQ(ibMemTableFieldGetDouble(&t, &kQ), 9.0);
}

TEST_F(MemTableExportsTest, CurrentRowSettersWriteTheirSlotAndKeepTheCursor) {
  const int32_t t = MakeFilled();
  ASSERT_TRUE(LocateKey(t, 1));
  const int32_t i = 77, d = Day(45000);
  const double x = -2.5;
  EXPECT_EQ(ibMemTableFieldSetStr(&t, &kS, "new text"), 1);
  EXPECT_EQ(ibMemTableFieldSetInt(&t, &kQ, &i), 1);  // the int slot of a double field
  EXPECT_EQ(ibMemTableFieldSetDouble(&t, &kQ, &x), 1);
  EXPECT_EQ(ibMemTableFieldSetDate(&t, &kD, &d), 1);
  EXPECT_STREQ(ibMemTableFieldGetStr(&t, &kS), "new text");
  EXPECT_EQ(ibMemTableFieldGetInt(&t, &kQ), 77);
  EXPECT_DOUBLE_EQ(ibMemTableFieldGetDouble(&t, &kQ), -2.5);
  ServerTimestamp* date = ibMemTableFieldGetDate(&t, &kD);
  EXPECT_EQ(date->date, d);
  std::free(date);
  EXPECT_EQ(ibMemTableFieldGetInt(&t, &kK), 1);
}

// Unknown handles, fields outside the table and a cursor off the rows answer
// each export's failure value and leave the log empty.
TEST_F(MemTableExportsTest, QuietFailuresLogNothing) {
  const int32_t live = MakeFilled();
  const int32_t freed = ibMemTableCreate("gone");
  ASSERT_EQ(ibMemTableFree(&freed), 1);
  const std::string before = log_.Contents();
  const int32_t one = 1, zero = 0;
  const double dbl = 1.0;
  for (int32_t h : {0, -1, freed, 99, INT_MAX, INT_MIN}) {
    SCOPED_TRACE(h);
    EXPECT_EQ(ibMemTablePrint(&h), 0);
    EXPECT_EQ(ibMemTableClear(&h), 0);
    EXPECT_EQ(ibMemTableAddField(&h, "x", "int", &one, "sum"), -1);
    EXPECT_EQ(ibMemTableFieldByName(&h, "k"), -1);
    EXPECT_EQ(ibMemTableRowClear(&h), 0);
    EXPECT_EQ(ibMemTableRowFieldSetStr(&h, &zero, "a"), 0);
    EXPECT_EQ(ibMemTableRowFieldSetInt(&h, &zero, &one), 0);
    EXPECT_EQ(ibMemTableRowFieldSetDouble(&h, &zero, &dbl), 0);
    EXPECT_EQ(ibMemTableRowFieldSetDate(&h, &zero, &one), 0);
    EXPECT_EQ(ibMemTableInsert(&h), -1);
    EXPECT_EQ(ibMemTableSetNew(&h), 0);
    EXPECT_EQ(ibMemTableLocate(&h), -1);
    EXPECT_EQ(ibMemTableFieldSetStr(&h, &zero, "a"), 0);
    EXPECT_EQ(ibMemTableFieldSetInt(&h, &zero, &one), 0);
    EXPECT_EQ(ibMemTableFieldSetDouble(&h, &zero, &dbl), 0);
    EXPECT_EQ(ibMemTableFieldSetDate(&h, &zero, &one), 0);
    EXPECT_STREQ(ibMemTableFieldGetStr(&h, &zero), "");
    EXPECT_EQ(ibMemTableFieldGetInt(&h, &zero), 0);
    EXPECT_EQ(ibMemTableFieldGetDouble(&h, &zero), 0.0);
    ServerTimestamp* date = ibMemTableFieldGetDate(&h, &zero);
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->date, kServerDayOffset);
    std::free(date);
    EXPECT_EQ(ibMemTableBOF(&h), 1);
    EXPECT_EQ(ibMemTableEOF(&h), 1);
    EXPECT_EQ(ibMemTableFirst(&h), 0);
    EXPECT_EQ(ibMemTableLast(&h), 0);
    EXPECT_EQ(ibMemTableNext(&h), 0);
    EXPECT_EQ(ibMemTablePrior(&h), 0);
    EXPECT_EQ(ibMemTableFirstNew(&h), 0);
    EXPECT_EQ(ibMemTableNextNew(&h), 0);
  }
  const int32_t t = live;
  ASSERT_TRUE(LocateKey(t, 1));
  for (int32_t field : {-1, 4, 1000, INT_MIN, INT_MAX}) {
    SCOPED_TRACE(field);
    EXPECT_EQ(ibMemTableRowFieldSetInt(&t, &field, &one), 0);
    EXPECT_EQ(ibMemTableFieldSetInt(&t, &field, &one), 0);
    EXPECT_STREQ(ibMemTableFieldGetStr(&t, &field), "");
    EXPECT_EQ(ibMemTableFieldGetInt(&t, &field), 0);
  }
  ibMemTableLast(&t);
  ibMemTableNext(&t);  // EOF
  EXPECT_EQ(ibMemTableFieldGetInt(&t, &kK), 0);
  EXPECT_EQ(ibMemTableFieldSetInt(&t, &kK, &one), 0);
  ibMemTableFirst(&t);
  ibMemTablePrior(&t);  // before the first row
  EXPECT_EQ(ibMemTableBOF(&t), 1);
  EXPECT_EQ(ibMemTableFieldGetInt(&t, &kK), 0);
  EXPECT_EQ(ibMemTableFree(&zero), 0);
  EXPECT_EQ(log_.Contents(), before);
}

TEST_F(MemTableExportsTest, CaughtFailuresLogOneLineAndAnswerTheFailureValue) {
  const int32_t t = ibMemTableCreate("Stock");
  const int32_t one = 1, missing = 5;
  EXPECT_EQ(ibMemTableCreate("STOCK"), 0);
  EXPECT_EQ(ibMemTableFree(&missing), 0);
  EXPECT_EQ(ibMemTableInsert(&t), -1) << "no fields, no work row";
  EXPECT_EQ(ibMemTableLocate(&t), -1);
  EXPECT_EQ(ibMemTableAddField(&t, "k", "Int", &one, "sum"), -1);
  EXPECT_EQ(ibMemTableAddField(&t, nullptr, nullptr, &one, nullptr), -1);
  EXPECT_EQ(ibMemTableAddField(&t, "k", "int", nullptr, "miss"), -1);
  EXPECT_EQ(ibMemTableAddField(&t, "k", "int", &one, "miss"), 0);
  EXPECT_EQ(ibMemTableInsert(&t), -1);
  EXPECT_EQ(ibMemTableAddField(&t, "q", "double", &one, "sum"), -1);
  EXPECT_EQ(ibMemTableFirst(nullptr), 0);

  // "Таблица ... уже существует ..." and "... не существует ..." in Windows-1251.
  const std::string table = "\xD2\xE0\xE1\xEB\xE8\xF6\xE0 ";
  const std::vector<std::string> want = {
      "TMemTable.CreateTable=Stock",
      "ibMemTableCreate.except=" + table + "STOCK \xF3\xE6\xE5 \xF1\xF3\xF9\xE5\xF1\xF2\xE2\xF3\xE5\xF2 TTableList.CreateTable",
      "ibMemTableFree.except=" + table + "5 \xED\xE5 \xF1\xF3\xF9\xE5\xF1\xF2\xE2\xF3\xE5\xF2 TTableList.FreeTable",
      "ibMemTableInsert.except=Row = nil in the TMemTable.Insert",
      "ibMemTableLocate.except=Row = nil in the TMemTable.Locate",
      "ibMemTableAddField.except=TDescMemFields.Add - The type Int unknown",
      "ibMemTableAddField.except=TDescMemFields.Add - The type  unknown",
      "ibMemTableAddField.except=Null argument",
      "ibMemTableAddField.except=Except: TDescMemFields.Add - Table.Size=100",
      "ibMemTableFirst.except=Null argument",
  };
  EXPECT_EQ(log_.Messages(), want);
  // Every failure line, and only those, carries the error part.
  const std::string contents = log_.Contents();
  size_t with_error = 0;
  for (size_t at = contents.find("  ErrCode="); at != std::string::npos; at = contents.find("  ErrCode=", at + 1))
    ++with_error;
  EXPECT_EQ(with_error, want.size() - 1);
}

TEST_F(MemTableExportsTest, GetStrAnswersEmptyErrorThenEmptyAgain) {
  const int32_t t = MakeFilled();
  ASSERT_TRUE(LocateKey(t, 1));
  EXPECT_EQ(ibMemTableFieldSetStr(&t, &kS, ""), 1);
  EXPECT_STREQ(ibMemTableFieldGetStr(&t, &kS), "");
  EXPECT_STREQ(ibMemTableFieldGetStr(&t, nullptr), "Error");
  EXPECT_STREQ(ibMemTableFieldGetStr(&t, &kS), "");
  EXPECT_EQ(ibMemTableFieldSetStr(&t, &kS, nullptr), 1) << "a null string is the empty string";
  EXPECT_STREQ(ibMemTableFieldGetStr(&t, &kS), "");
}

// The borrowed characters stay valid through folds into the row, inserts of
// other rows, and Clear; they change only with the field.
TEST_F(MemTableExportsTest, BorrowedStringOutlivesFoldsInsertsAndClear) {
  const int32_t t = MakeFilled();
  ASSERT_TRUE(LocateKey(t, 3));
  const char* held = ibMemTableFieldGetStr(&t, &kS);
  ASSERT_STREQ(held, "c");
  for (int32_t k = -200; k < 200; ++k) {
    ibMemTableRowClear(&t);
    ibMemTableRowFieldSetInt(&t, &kK, &k);
    ibMemTableRowFieldSetStr(&t, &kS, "a");  // max keeps "c" in row 3
    ibMemTableInsert(&t);
  }
  EXPECT_STREQ(held, "c");
  ibMemTableClear(&t);
  EXPECT_STREQ(held, "c");
}

TEST_F(MemTableExportsTest, HugeStringsAndGrowingSumsRoundTrip) {
  const int32_t t = ibMemTableCreate("big");
  const int32_t not_key = 0, s = 0;
  ibMemTableAddField(&t, "s", "string", &not_key, "sum");
  const std::string huge(8 << 20, 'q');
  for (int i = 0; i < 3; ++i) {
    ibMemTableRowFieldSetStr(&t, &s, huge.c_str());
    ibMemTableInsert(&t);
  }
  ibMemTableFirst(&t);
  EXPECT_EQ(std::string(ibMemTableFieldGetStr(&t, &s)).size(), 3 * huge.size());
}

}  // namespace
}  // namespace orlix
