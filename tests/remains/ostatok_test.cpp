// The remains engine: rows and masking, merging, the tables each flag builds,
// lookups and the walk over unread rows, field and table numbers, Print.
#include "remains/ostatok.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <tuple>

#include "frame/failure.h"

namespace orlix {
namespace {

TEST(TOstatokItem, MergingSumsBothQuantitiesAndDropsOnlyRowsEmptyInBoth) {
  TOstatokList list(true, true, true);
  list.Append(5, 1, 2, 3, 1.5, 10);
  list.Append(5, 1, 2, 3, 2.5, -4);  // same key: folded
  list.Append(6, 1, 2, 3, 7, 7);     // reversed below: gone
  list.Append(6, 1, 2, 3, -7, -7);
  list.Append(7, 1, 2, 3, 1, 0);  // quantity nets to zero, resquantity does not
  list.Append(7, 1, 2, 3, -1, 2);
  list.Append(8, 1, 2, 3, 0, 1e-11);  // both within tolerance
  list.Append(4, 9, 2, 3, 1, 0);      // a larger pack sorts after, whatever the date
  list.MergeDuplicates();
  ASSERT_EQ(list.Count(), 3);
  EXPECT_TRUE(list.Sorted());
  const auto& first = list.ItemAs<TOstatokItem>(0);
  EXPECT_EQ(first.ostdate, 5);
  EXPECT_EQ(first.Quantity, 4);
  EXPECT_EQ(first.resquantity, 6);
  EXPECT_EQ(list.ItemAs<TOstatokItem>(1).ostdate, 7);
  EXPECT_EQ(list.ItemAs<TOstatokItem>(1).resquantity, 2);
  EXPECT_EQ(list.ItemAs<TOstatokItem>(2).pack, 9);
}

TEST(TOstatokItem, AssignCopiesKeyAndQuantitiesButRefusesOtherClasses) {
  TOstatokItem from, to;
  from.ostdate = 3;
  from.pack = 4;
  from.rz = 5;
  from.placeindex = 6;
  from.Quantity = 7;
  from.resquantity = 8;
  from.Deleted = true;
  from.ID = 9;
  from.New = true;
  to.Assign(from);
  EXPECT_EQ(TOstatokItem::Order::Compare(from, to), 0);
  EXPECT_EQ(to.Quantity, 7);
  EXPECT_EQ(to.resquantity, 8);
  EXPECT_TRUE(to.Deleted);
  EXPECT_EQ(to.ID, -1);
  EXPECT_FALSE(to.New);
  TBaseItem other;
  EXPECT_THROW(to.Assign(other), EInvalidCast);
}


TEST(TOstatokList, MaskingAppliesToAppendAndLookup) {
  TOstatokList list(false, true, false);
  EXPECT_EQ(list.Append(45000, 2, 3, 1, 5, 6), 0);
  EXPECT_EQ(list.Append(45001, 2, 4, 1, 1, 0), 1);
  list.MergeDuplicates();
  ASSERT_EQ(list.Count(), 1);
  const auto& row = list.ItemAs<TOstatokItem>(0);
  EXPECT_EQ(row.ostdate, 0);
  EXPECT_EQ(row.rz, -1);
  EXPECT_EQ(list.GetQuantity(123, 2, 99, 1), 6);
  EXPECT_EQ(list.GetResQuantity(), 6);
  EXPECT_EQ(list.GetQuantity(123, 3, 99, 1), 0);
  EXPECT_EQ(list.Cursor(), -1);
  EXPECT_EQ(list.GetResQuantity(), 0);
}

TEST(TOstatokList, FoldingOnArrivalTreatsSignedZeroAndNanDatesAsTheCompareDoes) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  TOstatokList from(true, true, true);
  from.Append(-0.0, 1, 0, 1, 1, 0);
  from.Append(nan, 1, 0, 1, 3, 0);
  from.Append(0.0, 2, 0, 1, 2, 0);
  from.Append(nan, 2, 0, 1, 4, 0);
  from.MergeDuplicates();
  TOstatokList daily(true, false, false);  // pack masked: equal keys arrive apart
  daily.AppendFolding(from);
  EXPECT_EQ(daily.Count(), 2);
  EXPECT_EQ(daily.LastID(), 3) << "folded rows are numbered as if appended";
  daily.MergeDuplicates();
  ASSERT_EQ(daily.Count(), 2);
  EXPECT_EQ(daily.ItemAs<TOstatokItem>(0).Quantity, 3);
  EXPECT_TRUE(std::isnan(daily.ItemAs<TOstatokItem>(1).ostdate));
  EXPECT_EQ(daily.ItemAs<TOstatokItem>(1).Quantity, 7);
}

// Many rows over few keys arrive shuffled, so the merge folds by key rather
// than by neighbours. Against a map of the same rows: one row per non-empty
// key, in key order, holding the sums and the ID of the key's first row;
// dates -0.0 and 0.0 are one key, and every NaN date another, after all days.
// Rows deleted before the merge count for nothing, and every record of the
// pool is still there once, kept or spare.
TEST(TOstatokList, MergingShuffledRowsFoldsEachKeyIntoItsFirstArrival) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::mt19937 random(11);
  TOstatokList list(true, true, true);
  // Key: place, pack, rz, day (day 10 stands for NaN). Value: sums, first ID.
  // Some dates carry a time of day, so every byte of a date can differ.
  const auto DateOfDay = [](int day) { return day + (day % 3) / 3.0; };
  struct Sums {
    double q = 0, rq = 0;
    int32_t first_id = -1;
  };
  std::map<std::tuple<int32_t, int32_t, int32_t, int>, Sums> model;
  for (int32_t id = 0; id < 20000; ++id) {
    const int32_t place = static_cast<int32_t>(random() % 7) - 3, pack = static_cast<int32_t>(random() % 5) - 1;
    const int32_t rz = static_cast<int32_t>(random() % 3);
    const int day = static_cast<int>(random() % 11);
    const double date = day == 10 ? nan : (day == 0 && (random() & 1) ? -0.0 : DateOfDay(day));
    // Whole quantities, mostly cancelling, so sums are exact and some keys empty.
    const double q = static_cast<double>(static_cast<int>(random() % 3) - 1);
    const double rq = (random() % 8 == 0) ? 1.0 : 0.0;
    ASSERT_EQ(list.Append(date, pack, rz, place, q, rq), id);
    if (random() % 16 == 0) {
      list.At(id).Deleted = true;
      continue;
    }
    Sums& sums = model[{place, pack, rz, day}];
    sums.q += q;
    sums.rq += rq;
    if (sums.first_id < 0) sums.first_id = id;
  }
  std::set<const TBaseItem*> records;
  for (int i = 0; i < list.Size(); ++i) records.insert(&list.Item(i));
  list.MergeDuplicates();
  EXPECT_TRUE(list.Sorted());
  std::set<const TBaseItem*> after;
  for (int i = 0; i < list.Size(); ++i) after.insert(&list.Item(i));
  EXPECT_EQ(after, records);
  int position = 0;
  for (const auto& [key, sums] : model) {
    if (sums.q == 0 && sums.rq == 0) continue;
    ASSERT_LT(position, list.Count());
    const TOstatokItem& row = list.At(position++);
    const auto& [place, pack, rz, day] = key;
    EXPECT_EQ(row.placeindex, place);
    EXPECT_EQ(row.pack, pack);
    EXPECT_EQ(row.rz, rz);
    if (day == 10) EXPECT_TRUE(std::isnan(row.ostdate));
    else EXPECT_EQ(row.ostdate, DateOfDay(day));
    EXPECT_EQ(row.Quantity, sums.q);
    EXPECT_EQ(row.resquantity, sums.rq);
    EXPECT_EQ(row.ID, sums.first_id);
  }
  EXPECT_EQ(list.Count(), position);
}

class Engine : public ::testing::Test {
 protected:
  void Fill() {
    engine.Append(10, 1, 1, 7, 5, 1);
    engine.Append(12, 1, 2, 7, -2, 0);
    engine.Append(11, 2, 1, 7, 4, 0);
    engine.Append(10, 1, 1, 8, 3, 0);
  }
  TOstatok engine;
};

TEST_F(Engine, TablesAreBuiltPerFlagAndEmptiedWhenTheFlagIsOff) {
  engine.UseOstPack = engine.UseOstSize = engine.UseOstPackSize = true;
  Fill();
  engine.Execute();
  EXPECT_EQ(engine.GetQuantity(TOstatok::kShort, 99, 99, 99, 7), 7);
  EXPECT_EQ(engine.GetQuantity(TOstatok::kPack, 0, 1, 0, 7), 3);
  EXPECT_EQ(engine.GetQuantity(TOstatok::kSize, 0, 0, 1, 7), 9);
  EXPECT_EQ(engine.GetQuantity(TOstatok::kPackSize, 0, 1, 2, 7), -2);
  EXPECT_EQ(engine.OstShort->Count(), 2);

  engine.UseOstPack = false;
  engine.Execute();  // a second Execute sees each movement once
  EXPECT_EQ(engine.OstPack->Count(), 0);
  EXPECT_EQ(engine.GetQuantity(TOstatok::kShort, 0, 0, 0, 7), 7);
  engine.Append(1, 1, 1, 7, 1, 0);
  engine.Execute();
  EXPECT_EQ(engine.GetQuantity(TOstatok::kShort, 0, 0, 0, 7), 8);
}

TEST_F(Engine, DailyTablesNeedPeriodTwoAndAFlag) {
  Fill();
  engine.UseOstDaily = true;
  engine.LastDate = 13;
  engine.Period = 2;
  engine.Execute();
  EXPECT_EQ(engine.OstDaily->Count(), 8);  // place 7: days 10-13, place 8: days 10-13
  EXPECT_EQ(engine.OstDailyPack->Count(), 0);

  engine.Period = 1;  // no daily part: the daily tables keep their rows
  engine.LastDate = 20;
  engine.Execute();
  EXPECT_EQ(engine.OstDaily->Count(), 8);
  engine.Period = 2;
  engine.UseOstDaily = false;
  engine.Execute();
  EXPECT_EQ(engine.OstDaily->Count(), 8);

  engine.UseOstDailyPack = true;  // the daily part runs: all four are cleared
  engine.Execute();
  EXPECT_EQ(engine.OstDaily->Count(), 0);
  EXPECT_EQ(engine.GetQuantity(TOstatok::kDailyPack, 20, 2, 0, 7), 4);
}

TEST_F(Engine, WalkVisitsOnlyRowsNoLookupFound) {
  Fill();
  engine.Execute();
  engine.FirstNew(TOstatok::kShort);
  EXPECT_EQ(engine.GetFieldInteger(TOstatok::kShort, TOstatok::kPlaceIndex), 7);
  EXPECT_EQ(engine.GetQuantity(TOstatok::kShort, 0, 0, 0, 7), 7);
  engine.FirstNew(TOstatok::kShort);
  EXPECT_EQ(engine.GetFieldInteger(TOstatok::kShort, TOstatok::kPlaceIndex), 8);
  EXPECT_EQ(engine.GetFieldDouble(TOstatok::kShort, TOstatok::kQuantity), 3);
  EXPECT_EQ(engine.GetFieldDate(TOstatok::kShort, TOstatok::kOstdate), 0);
  engine.NextNew(TOstatok::kShort);
  EXPECT_TRUE(engine.Eof(TOstatok::kShort));

  // A failed lookup leaves the cursor before the rows: not at the end, and
  // every reader answers 0.
  EXPECT_EQ(engine.GetQuantity(TOstatok::kShort, 0, 0, 0, 99), 0);
  EXPECT_FALSE(engine.Eof(TOstatok::kShort));
  EXPECT_EQ(engine.GetResQuantity(TOstatok::kShort), 0);
  EXPECT_EQ(engine.GetFieldInteger(TOstatok::kShort, TOstatok::kPackField), 0);
  EXPECT_EQ(engine.GetFieldDate(TOstatok::kShort, 5), 0) << "off the rows the date field is not checked";
}

TEST_F(Engine, FieldReadersRefuseOtherFieldsWithTheirMessage) {
  Fill();
  engine.Execute();
  engine.FirstNew(TOstatok::kShort);
  const auto message = [&](auto read) -> std::string {
    try {
      read();
    } catch (const EOrlixError& e) {
      return e.what();
    }
    return "no failure";
  };
  // "Поле 4 не сущeствует в таблице 0", Latin e after "сущ".
  const std::string tail = "\xCF\xEE\xEB\xE5 4 \xED\xE5 \xF1\xF3\xF9" "e" "\xF1\xF2\xE2\xF3\xE5\xF2 \xE2 "
                           "\xF2\xE0\xE1\xEB\xE8\xF6\xE5 0";
  EXPECT_EQ(message([&] { engine.GetFieldDate(0, 4); }), "TOstatok.GetFieldDate: " + tail);
  EXPECT_EQ(message([&] { engine.GetFieldInteger(0, 4); }), "TOstatok.GetFieldInteger: " + tail);
  EXPECT_EQ(message([&] { engine.GetFieldDouble(0, 3); }).substr(0, 31), "TOstatok.GetFieldDouble: \xCF\xEE\xEB\xE5 3");
  EXPECT_EQ(message([&] { engine.GetQuantity(8, 0, 0, 0, 0); }), "List index (8) out of bounds");
  EXPECT_EQ(message([&] { engine.FirstNew(-1); }), "List index (-1) out of bounds");
}

TEST(TOstatokNames, TableAndFieldNumbers) {
  TOstatok engine;
  EXPECT_EQ(engine.GetTableNumber("OSTDAILY"), 4);
  EXPECT_EQ(engine.GetTableNumber("ostdaily_packrz   "), 7) << "padding of a CHAR value";
  EXPECT_EQ(engine.GetTableNumber(" ostdaily_packrz"), -1) << "a leading blank is part of the name";
  EXPECT_EQ(engine.GetTableNumber("ostdaily_packrz\t"), -1);
  EXPECT_EQ(engine.GetTableNumber("ostatokfull"), -1);
  EXPECT_EQ(TOstatok::GetFieldNumber("  QUANTITY "), 4);
  EXPECT_EQ(TOstatok::GetFieldNumber("ResQuantity"), 5);
  try {
    TOstatok::GetFieldNumber(" qty");
    ADD_FAILURE();
  } catch (const EOrlixError& e) {
    // "Вариант TOstatok.GetFieldNumber( qty) не предусмотрен."
    EXPECT_STREQ(e.what(), "\xC2\xE0\xF0\xE8\xE0\xED\xF2 TOstatok.GetFieldNumber( qty) "
                           "\xED\xE5 \xEF\xF0\xE5\xE4\xF3\xF1\xEC\xEE\xF2\xF0\xE5\xED.");
  }
}

TEST(TOstatokPrint, ReportsParametersAndTheTablesWhoseFlagIsSet) {
  TOstatok engine;
  engine.Period = 2;
  engine.LastDate = 45000;
  engine.UseOstSize = true;
  engine.Append(45000, 1, 2, 3, 1.5, 0.25);
  engine.Execute();
  TLines lines;
  engine.Print(lines);
  const TLines expected{"Ostatok",
                        "Period=2  FirstDate=30.12.1899  LastDate=15.03.2023  MaxDate=30.12.1899  UseOstPack=0  "
                        "UseOstSize=1  UseOstPackSize=0",
                        "UseOstDaily=0  UseOstDailyPack=0  UseOstDailySize=0  UseOstDailyPackSize=0",
                        "OstatokFull",
                        "Count=1  Size=100  Capacity=100",
                        "id=0  od=15.03.2023  pack=1  rz=2  pi=3  q=1.5  rq=0.25",
                        "OstShort",
                        "Count=1  Size=100  Capacity=100",
                        "id=0  od=30.12.1899  pack=-1  rz=-1  pi=3  q=1.5  rq=0.25",
                        "OstSize",
                        "Count=1  Size=100  Capacity=100",
                        "id=0  od=30.12.1899  pack=-1  rz=2  pi=3  q=1.5  rq=0.25",
                        ""};
  EXPECT_EQ(lines, expected);
}

}  // namespace
}  // namespace orlix
