// Day spreading and merging of the remains engine, checked against a literal
// rendering of the plain method (copy each merged movement onto every later
// day up to LastDate, merge, drop the empty, keep dates up to LastDate).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <tuple>

#include "remains/ostatok.h"

namespace orlix {
namespace {

using Key = std::tuple<int32_t, int32_t, int32_t, double>;  // place, pack, rz, date
using Sums = std::map<Key, std::pair<double, double>>;

struct Movement {
  double date;
  int32_t pack, rz, place;
  double q, rq;
};

bool Empty(const std::pair<double, double>& s) {
  return std::fabs(s.first) <= kZeroTolerance && std::fabs(s.second) <= kZeroTolerance;
}
void DropEmpty(Sums& sums) { std::erase_if(sums, [](const auto& e) { return Empty(e.second); }); }

// Sums rows by key under a mask, dropping the empty results.
Sums Fold(const Sums& rows, bool use_date, bool use_pack, bool use_rz) {
  Sums out;
  for (const auto& [key, s] : rows) {
    auto& o = out[{std::get<0>(key), use_pack ? std::get<1>(key) : -1, use_rz ? std::get<2>(key) : -1,
                   use_date ? std::get<3>(key) : 0.0}];
    o.first += s.first;
    o.second += s.second;
  }
  DropEmpty(out);
  return out;
}

// The movements summed by full key and date, empty sums dropped.
Sums Merged(const std::vector<Movement>& moves) {
  Sums full;
  for (const Movement& m : moves) {
    auto& s = full[{m.place, m.pack, m.rz, m.date}];
    s.first += m.q;
    s.second += m.rq;
  }
  DropEmpty(full);
  return full;
}

// The plain method, step by step.
Sums LiteralDaily(const std::vector<Movement>& moves, double last, bool use_pack, bool use_rz) {
  const Sums full = Merged(moves);
  Sums spread = full;
  for (const auto& [key, s] : full) {
    const double date = std::get<3>(key);
    if (!(date < last)) continue;
    const double days = std::trunc(last - date);
    for (double k = 1; k <= days; ++k) {
      auto& t = spread[{std::get<0>(key), std::get<1>(key), std::get<2>(key), date + k}];
      t.first += s.first;
      t.second += s.second;
    }
  }
  DropEmpty(spread);
  std::erase_if(spread, [last](const auto& e) { return std::get<3>(e.first) > last; });
  return Fold(spread, true, use_pack, use_rz);
}

Sums TableRows(const TOstatokList& list) {
  Sums rows;
  for (int i = 0; i < list.Count(); ++i) {
    const auto& r = list.ItemAs<TOstatokItem>(i);
    EXPECT_TRUE(rows.emplace(Key{r.placeindex, r.pack, r.rz, r.ostdate}, std::pair{r.Quantity, r.resquantity}).second)
        << "key twice in a table";
  }
  return rows;
}

void ExpectSameRows(const Sums& expected, const Sums& actual, const char* table) {
  ASSERT_EQ(expected.size(), actual.size()) << table;
  for (auto e = expected.begin(), a = actual.begin(); e != expected.end(); ++e, ++a) {
    ASSERT_EQ(e->first, a->first) << table << std::hexfloat << " date " << std::get<3>(e->first);
    EXPECT_NEAR(e->second.first, a->second.first, 1e-9) << table;
    EXPECT_NEAR(e->second.second, a->second.second, 1e-9) << table;
  }
}

class DailyTables : public ::testing::Test {
 protected:
  void Run(const std::vector<Movement>& moves, double last) {
    engine.Clear();
    engine.Period = TOstatok::kDailyPeriod;
    engine.LastDate = last;
    engine.UseOstPack = engine.UseOstSize = engine.UseOstPackSize = true;
    engine.UseOstDaily = engine.UseOstDailyPack = engine.UseOstDailySize = engine.UseOstDailyPackSize = true;
    for (const Movement& m : moves) engine.Append(m.date, m.pack, m.rz, m.place, m.q, m.rq);
    engine.Execute();
    ExpectSameRows(LiteralDaily(moves, last, false, false), TableRows(*engine.OstDaily), "ostdaily");
    ExpectSameRows(LiteralDaily(moves, last, true, false), TableRows(*engine.OstDailyPack), "ostdaily_pack");
    ExpectSameRows(LiteralDaily(moves, last, false, true), TableRows(*engine.OstDailySize), "ostdaily_rz");
    ExpectSameRows(LiteralDaily(moves, last, true, true), TableRows(*engine.OstDailyPackSize), "ostdaily_packrz");
    // The totals over all dates, for every key, whatever LastDate.
    const Sums all = Merged(moves);
    ExpectSameRows(Fold(all, false, false, false), TableRows(*engine.OstShort), "ostatok_short");
    ExpectSameRows(Fold(all, false, true, false), TableRows(*engine.OstPack), "ostatok_pack");
    ExpectSameRows(Fold(all, false, false, true), TableRows(*engine.OstSize), "ostatok_rz");
    ExpectSameRows(Fold(all, false, true, true), TableRows(*engine.OstPackSize), "ostatok_packrz");
  }

  TOstatok engine;
};

TEST_F(DailyTables, RunningBalanceOfTwoMovements) {
  Run({{10, 1, 1, 7, 5, 0}, {12, 1, 1, 7, -2, 0}}, 13);
  const TOstatokList& daily = *engine.OstDaily;
  ASSERT_EQ(daily.Count(), 4);
  const double expected[][2] = {{10, 5}, {11, 5}, {12, 3}, {13, 3}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(daily.ItemAs<TOstatokItem>(i).ostdate, expected[i][0]);
    EXPECT_EQ(daily.ItemAs<TOstatokItem>(i).Quantity, expected[i][1]);
    EXPECT_TRUE(daily.ItemAs<TOstatokItem>(i).New);
  }
}

TEST_F(DailyTables, BalanceThatNetsToZeroEndsTheRowsUntilTheNextMovement) {
  // Days 3-4 hold 2; from day 5 the key is empty in both quantities; day 8
  // opens it again. The second key keeps a row while only rq is non-zero.
  Run({{3, 1, 1, 1, 2, 0}, {5, 1, 1, 1, -2, 0}, {8, 1, 1, 1, 1, 0}, {4, 2, 2, 1, 1, 1}, {6, 2, 2, 1, -1, 0}}, 9);
  EXPECT_EQ(TableRows(*engine.OstDailyPackSize).count({1, 1, 1, 5.0}), 0u);
  EXPECT_EQ(TableRows(*engine.OstDailyPackSize).count({1, 2, 2, 9.0}), 1u);
}

TEST_F(DailyTables, MovementsAfterOrOnLastDate) {
  // Day 20 is after LastDate: in the totals only. Day 15 is LastDate itself.
  Run({{10, 1, 1, 1, 1, 0}, {15, 1, 1, 1, 2, 0}, {20, 1, 1, 1, 4, 0}, {15, 2, 2, 2, 8, 0}}, 15);
  EXPECT_EQ(engine.OstShort->GetQuantity(0, 0, 0, 1), 7.0);
  EXPECT_EQ(engine.OstDaily->GetQuantity(15, 0, 0, 1), 3.0);
  EXPECT_EQ(engine.OstDaily->GetQuantity(15, 0, 0, 2), 8.0);
  EXPECT_EQ(engine.OstDaily->GetQuantity(14, 0, 0, 2), 0.0);
}

TEST_F(DailyTables, RandomMovementsMatchThePlainMethod) {
  constexpr int kRounds = 60;
  std::mt19937 random(20240601);
  for (int round = 0; round < kRounds; ++round) {
    std::vector<Movement> moves;
    const int count = 1 + static_cast<int>(random() % 120);
    for (int i = 0; i < count; ++i) {
      // Whole days mostly; some at dyadic and some at non-dyadic times of day,
      // some before day 0 and some after LastDate.
      double date = static_cast<double>(random() % 60) - 5;
      if (random() % 5 == 0) date += 0.5;
      if (random() % 7 == 0) date += 0.3;
      if (random() % 29 == 0) date = random() % 2 == 0 ? -1e-20 : 3.7e-300;
      const double q = static_cast<double>(static_cast<int>(random() % 9) - 4) * 0.25;
      const double rq = random() % 3 == 0 ? 1.0 : 0.0;
      moves.push_back({date, static_cast<int32_t>(random() % 3), static_cast<int32_t>(random() % 2),
                       static_cast<int32_t>(random() % 4), q, rq});
    }
    // Reversals make balances that net to zero.
    for (int i = 0; i < count / 4; ++i) {
      Movement back = moves[random() % moves.size()];
      back.q = -back.q;
      back.rq = -back.rq;
      back.date += static_cast<double>(random() % 4);
      moves.push_back(back);
    }
    const double last = 40 + (random() % 2 == 0 ? 0.0 : 0.7);
    Run(moves, last);
    if (HasFatalFailure()) return;
  }
}

TEST_F(DailyTables, FractionsThatMeetOnlyByRoundingFoldTogether) {
  // 30000.3 + 10000 rounds onto the same double as 40000.3 once the dates
  // cross into a coarser binade; the plain method then sums both movements on
  // that date, and so must the spreading.
  const double a = 30000.3, b = 40000.3;
  ASSERT_EQ(a + 10000.0, b);
  Run({{a, 1, 1, 1, 1, 0}, {b, 1, 1, 1, 2, 0}}, 40005);
  EXPECT_EQ(engine.OstDaily->GetQuantity(b, 0, 0, 1), 3.0);
}

TEST_F(DailyTables, MemoryFollowsTheRowsProduced) {
  // 1,000 movements of one key on days 0..999 spread to day 1999: the plain
  // method appends about 1.5 million copies; the result is 2,000 rows.
  std::vector<Movement> moves;
  for (int day = 0; day < 1000; ++day) moves.push_back({static_cast<double>(day), 1, 1, 1, 1, 0});
  Run(moves, 1999);
  EXPECT_EQ(engine.OstDailyPackSize->Count(), 2000);
  EXPECT_LE(engine.OstDailyWork->Size(), 2000 + TOstatokList::kCapacity);
  EXPECT_EQ(engine.OstDaily->GetQuantity(1999, 0, 0, 1), 1000.0);
}

TEST(DaySpreadingLimits, AbsurdLastDatesAndSpansAreRefusedAndKeepTheDailyTables) {
  TOstatok engine;
  engine.Period = 2;
  engine.UseOstDaily = true;
  engine.LastDate = 12;
  engine.Append(10, 1, 1, 1, 5, 0);
  engine.Execute();
  ASSERT_EQ(engine.OstDaily->Count(), 3);

  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double last : {nan, std::numeric_limits<double>::infinity(), 1e300, -4e9}) {
    engine.LastDate = last;
    EXPECT_THROW(engine.Execute(), EOrlixError) << last;
    EXPECT_EQ(engine.OstDaily->Count(), 3) << last;
    EXPECT_EQ(engine.OstShort->Count(), 1) << "a refused Execute changes no table";
  }
  try {
    engine.LastDate = nan;
    engine.Execute();
  } catch (const EOrlixError& e) {
    EXPECT_STREQ(e.what(), "TOstatok.Execute: LastDate nan is out of range");
  }

  engine.LastDate = 12;
  engine.Append(-std::numeric_limits<double>::infinity(), 1, 1, 2, 1, 0);
  EXPECT_THROW(engine.Execute(), EOrlixError);
  EXPECT_EQ(engine.OstDaily->Count(), 3);

  // The limit counts every row the daily part builds: 100 running balances
  // and at most 100 rows of the one daily table asked for.
  engine.Clear();
  engine.DailyRowLimit = 200;
  engine.Append(0, 1, 1, 1, 1, 0);
  engine.LastDate = 99;  // exactly 200 rows: allowed
  engine.Execute();
  EXPECT_EQ(engine.OstDaily->Count(), 100);
  engine.LastDate = 100;
  try {
    engine.Execute();
    ADD_FAILURE() << "202 rows allowed";
  } catch (const EOrlixError& e) {
    EXPECT_STREQ(e.what(), "TOstatok.Execute: day spreading up to LastDate 09.04.1900 needs more than 200 rows");
  }
  EXPECT_EQ(engine.OstDaily->Count(), 100) << "a refused Execute keeps the daily tables";
}

TEST(DaySpreadingLimits, TheDailyTablesCountInTheBoundAndARefusalChangesNoTable) {
  // Two keys of one place on day 0, spread to day 9: 20 running balances,
  // "ostdaily" at most 10 rows (one place), "ostdaily_packrz" at most 20.
  TOstatok engine;
  engine.Period = 2;
  engine.LastDate = 9;
  engine.UseOstDaily = engine.UseOstDailyPackSize = true;
  engine.Append(0, 1, 1, 1, 1, 0);
  engine.Append(0, 2, 1, 1, 1, 0);
  engine.DailyRowLimit = 50;
  engine.Execute();
  EXPECT_EQ(engine.OstDaily->Count(), 10);
  EXPECT_EQ(engine.OstDailyPackSize->Count(), 20);
  EXPECT_EQ(engine.OstShort->GetQuantity(0, 0, 0, 1), 2.0);

  // A third key: the plan is now 30 + 10 + 30 = 70 rows.
  engine.Append(0, 3, 1, 1, 1, 0);
  engine.DailyRowLimit = 69;
  EXPECT_THROW(engine.Execute(), EOrlixError);
  EXPECT_EQ(engine.OstShort->GetQuantity(0, 0, 0, 1), 2.0) << "tables 0-3 keep the previous run too";
  EXPECT_EQ(engine.OstDailyPackSize->Count(), 20);
  engine.DailyRowLimit = 70;
  engine.Execute();
  EXPECT_EQ(engine.OstShort->GetQuantity(0, 0, 0, 1), 3.0);
  EXPECT_EQ(engine.OstDailyPackSize->Count(), 30);
}

TEST(DaySpreadingLimits, NanDatedMovementsStayOutOfTheDailyTables) {
  TOstatok engine;
  engine.Period = 2;
  engine.UseOstDaily = true;
  engine.LastDate = 11;
  engine.Append(std::numeric_limits<double>::quiet_NaN(), 1, 1, 1, 4, 0);
  engine.Append(10, 1, 1, 1, 1, 0);
  engine.Execute();
  EXPECT_EQ(engine.OstShort->GetQuantity(0, 0, 0, 1), 5.0);
  EXPECT_EQ(engine.OstDaily->Count(), 2);
  EXPECT_EQ(engine.OstDaily->GetQuantity(11, 0, 0, 1), 1.0);
}

}  // namespace
}  // namespace orlix
