// The engine's input rows are kept flat rather than as pool records; what a
// procedure can see of them (positions, IDs, Print with the pool's Size, the
// merged rows) must be what a record list of the same rows shows.
#include "remains/movement_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "remains/ostatok_list.h"

namespace orlix {
namespace {

// Rounds of appends, merges and clears on both lists, compared through
// Print after every step. Few keys, so rows fold; dates -0.0 and 0.0, NaN,
// and times of day; quantities that often cancel, so rows are dropped.
TEST(TMovementList, ShowsWhatARecordListOfTheSameRowsShows) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::mt19937 random(5);
  TOstatokList records(true, true, true);
  TMovementList movements;
  const auto Lines = [](const auto& list) {
    TLines lines;
    list.Print(lines);
    return lines;
  };
  for (int round = 0; round < 60; ++round) {
    const int appends = static_cast<int>(random() % 400);
    for (int i = 0; i < appends; ++i) {
      const int day = static_cast<int>(random() % 6);
      const double date = day == 5 ? nan : (day == 0 && (random() & 1) ? -0.0 : day + (random() % 2) * 0.25);
      const int32_t place = static_cast<int32_t>(random() % 4) - 1, pack = static_cast<int32_t>(random() % 3);
      const int32_t rz = static_cast<int32_t>(random() % 2);
      const double q = static_cast<double>(static_cast<int>(random() % 3) - 1);
      const double rq = random() % 5 == 0 ? 0.5 : 0.0;
      ASSERT_EQ(movements.Append(date, pack, rz, place, q, rq), records.Append(date, pack, rz, place, q, rq));
    }
    switch (random() % 4) {
      case 0:
        records.Clear();
        movements.Clear();
        break;
      case 1:
        break;
      default:
        records.MergeDuplicates();
        movements.MergeDuplicates();
        EXPECT_TRUE(movements.Sorted());
    }
    ASSERT_EQ(Lines(movements), Lines(records)) << "round " << round;
  }
}

}  // namespace
}  // namespace orlix
