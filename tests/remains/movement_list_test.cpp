// The engine's input rows are kept flat rather than as pool records; what a
// procedure can see of them (positions, IDs, Print with the pool's Size, the
// merged rows) must be what a record list of the same rows shows.
#include "remains/movement_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <tuple>

#include "remains/ostatok_list.h"

namespace orlix {
namespace {

template <class List>
TLines Lines(const List& list) {
  TLines lines;
  list.Print(lines);
  return lines;
}

// Rounds of appends, merges and clears on both lists, compared through
// Print after every step. Few keys, so rows fold; quantities that often
// cancel, so rows are dropped. The key parts come from the given makers.
template <class Date, class Place, class Pack>
void CompareThroughRounds(Date date_of, Place place_of, Pack pack_of) {
  std::mt19937 random(5);
  TOstatokList records(true, true, true);
  TMovementList movements;
  for (int round = 0; round < 60; ++round) {
    const int appends = static_cast<int>(random() % 400);
    for (int i = 0; i < appends; ++i) {
      const double date = date_of(random);
      const int32_t place = place_of(random), pack = pack_of(random), rz = static_cast<int32_t>(random() % 2);
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

int32_t SmallPart(std::mt19937& random) { return static_cast<int32_t>(random() % 4) - 1; }

// Dates -0.0 and 0.0, NaN and times of day: the sort compares the fields.
TEST(TMovementList, ShowsWhatARecordListShowsWhateverTheDates) {
  CompareThroughRounds(
      [](std::mt19937& random) {
        const int day = static_cast<int>(random() % 6);
        if (day == 5) return std::numeric_limits<double>::quiet_NaN();
        return day == 0 && (random() & 1) ? -0.0 : day + (random() % 2) * 0.25;
      },
      SmallPart, SmallPart);
}

// Whole days, negative ones too: the sort packs each key into one word.
// Then places at both ends of their range and packs 31 bits apart, with the
// size's bit: exactly 64 bits; and with a date's bit more, which the
// packing refuses.
TEST(TMovementList, ShowsWhatARecordListShowsWithKeysPackedIntoAWord) {
  CompareThroughRounds([](std::mt19937& random) { return static_cast<double>(random() % 9) - 4.0; }, SmallPart,
                       SmallPart);
  const auto place = [](std::mt19937& random) { return random() % 2 ? INT32_MIN : INT32_MAX; };
  const auto pack = [](std::mt19937& random) { return static_cast<int32_t>(random() % 2) << 30; };
  CompareThroughRounds([](std::mt19937&) { return 45000.0; }, place, pack);
  CompareThroughRounds([](std::mt19937& random) { return 45000.0 + static_cast<double>(random() % 2); }, place, pack);
}

// Long lists: past a few megabytes the rows move into large blocks and grow
// there, and the merge sorts packed keys byte by byte, stably, relying on the
// rows of a key standing in ID order (also after a merge and more appends).
// Keys of 32 bits with two bytes all rows share (two passes), then keys of 8
// bits (one pass, the rows copied back).
template <class Key>
void CompareLongList(Key key_of) {
  std::mt19937 random(9);
  TOstatokList records(true, true, true);
  TMovementList movements;
  for (const int appends : {300'000, 100'000}) {
    for (int i = 0; i < appends; ++i) {
      const auto [date, place, pack] = key_of(random);
      const double q = static_cast<double>(static_cast<int>(random() % 3) - 1);
      ASSERT_EQ(movements.Append(date, pack, 0, place, q, 0.0), records.Append(date, pack, 0, place, q, 0.0));
    }
    records.MergeDuplicates();
    movements.MergeDuplicates();
    ASSERT_EQ(Lines(movements), Lines(records));
  }
}

TEST(TMovementList, ShowsWhatARecordListShowsForLongLists) {
  CompareLongList([](std::mt19937& random) {
    return std::tuple(static_cast<double>(random() % 30), static_cast<int32_t>(random() % 50),
                      static_cast<int32_t>(random() % 2) << 20);
  });
  CompareLongList([](std::mt19937& random) {
    return std::tuple(45000.0 + static_cast<double>(random() % 200), int32_t{7}, int32_t{-3});
  });
}

}  // namespace
}  // namespace orlix
