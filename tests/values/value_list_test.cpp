// The value-list classes: growth, order, bisection, quicksort (including
// values that compare unordered), deletes, substring searches and the log
// lines of a list's life.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "values/list_num.h"
#include "values/list_str.h"

namespace orlix {
namespace {

using testing::ScratchLog;

template <class L>
std::vector<typename L::Value> Items(const L& list) {
  std::vector<typename L::Value> items;
  for (int i = 0; i < list.Count(); ++i) items.push_back(list.Item(i));
  return items;
}

TEST(ValueList, GrowsByFourThenSixteenThenAQuarter) {
  TListInt list;
  std::vector<int> capacities;
  for (int i = 0; i < 100; ++i) {
    list.Add(i);
    if (capacities.empty() || capacities.back() != list.Capacity()) capacities.push_back(list.Capacity());
  }
  EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118}));
  EXPECT_EQ(list.Count(), 100);
}

TEST(ValueList, SetCapacityTruncatesAndClearReleasesButKeepsSorted) {
  TListStr list;
  for (const char* s : {"c", "a", "b"}) list.Add(s);
  list.SetCapacity(2);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"c", "a"}));
  list.SetCapacity(-5);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 0);

  for (const char* s : {"c", "a"}) list.Add(s);
  list.SetSorted(true);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 0);
  EXPECT_TRUE(list.Sorted());
  list.Add("z");
  EXPECT_FALSE(list.Sorted());
}

TEST(ValueList, SortedFlagAndSearchOrder) {
  TListInt list;
  for (int v : {5, 3, 9, 3}) list.Add(v);
  EXPECT_EQ(list.IndexOf(3), 1);  // unsorted: the first equal position
  list.Sort();                    // Sort alone does not set the flag...
  EXPECT_FALSE(list.Sorted());
  EXPECT_EQ(Items(list), (std::vector<int32_t>{3, 3, 5, 9}));
  list.SetSorted(true);
  EXPECT_TRUE(list.Sorted());
  EXPECT_EQ(list.IndexOf(9), 3);
  EXPECT_EQ(list.IndexOf(4), -1);
  list.SetSorted(false);  // switching off never reorders
  EXPECT_EQ(Items(list), (std::vector<int32_t>{3, 3, 5, 9}));
}

TEST(ValueList, DeleteRemovesOneOccurrence) {
  TListStr list;
  for (const char* s : {"x", "y", "x", "z"}) list.Add(s);
  list.Delete("x");
  EXPECT_EQ(Items(list), (std::vector<std::string>{"y", "x", "z"}));
  list.Delete("absent");
  EXPECT_EQ(list.Count(), 3);
  list.SetSorted(true);  // now found by bisection
  list.Delete("z");
  EXPECT_EQ(Items(list), (std::vector<std::string>{"x", "y"}));
}

TEST(ValueList, IntBisectionCoversTheWholeRange) {
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  TListInt list;
  for (int32_t v : {0, kMax, -1, kMin, 1}) list.Add(v);
  list.SetSorted(true);
  EXPECT_EQ(Items(list), (std::vector<int32_t>{kMin, -1, 0, 1, kMax}));
  EXPECT_EQ(list.IndexOf(kMin), 0);
  EXPECT_EQ(list.IndexOf(kMax), 4);
}

TEST(ValueList, StringOrderIsUnsignedBytesWithPrefixFirst) {
  TListStr list;
  // "\xE0" (Cyrillic a) sorts after every ASCII byte; a prefix sorts first.
  for (const char* s : {"\xE0", "b", "ab", "a", "B", "", "a\x01"}) list.Add(s);
  list.SetSorted(true);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"", "B", "a", "a\x01", "ab", "b", "\xE0"}));
  EXPECT_EQ(list.IndexOf("\xE0"), 6);
  EXPECT_EQ(list.IndexOf("A"), -1);  // letter case matters for values
}

// Random data with many duplicates against std::sort, for each kind; every
// value must then be found by bisection.
TEST(ValueList, QuicksortAgreesWithStdSort) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 50; ++round) {
    const int n = static_cast<int>(random() % 300);
    TListInt ints;
    TListDouble doubles;
    TListStr strings;
    std::vector<int32_t> int_values;
    std::vector<double> double_values;
    std::vector<std::string> string_values;
    for (int i = 0; i < n; ++i) {
      const int32_t v = static_cast<int32_t>(random() % 50) - 25;
      int_values.push_back(v);
      ints.Add(v);
      double_values.push_back(v / 4.0);
      doubles.Add(v / 4.0);
      string_values.push_back(std::to_string(v));
      strings.Add(string_values.back());
    }
    ints.SetSorted(true);
    doubles.SetSorted(true);
    strings.SetSorted(true);
    std::sort(int_values.begin(), int_values.end());
    std::sort(double_values.begin(), double_values.end());
    std::sort(string_values.begin(), string_values.end());
    ASSERT_EQ(Items(ints), int_values);
    ASSERT_EQ(Items(doubles), double_values);
    ASSERT_EQ(Items(strings), string_values);
    for (int i = 0; i < n; ++i) {
      ASSERT_EQ(ints.Item(ints.IndexOf(int_values[i])), int_values[i]);
      ASSERT_EQ(doubles.Item(doubles.IndexOf(double_values[i])), double_values[i]);
      ASSERT_EQ(strings.Item(strings.IndexOf(string_values[i])), string_values[i]);
    }
  }
}

TEST(ValueList, DoubleEqualityIsExactAndNaNMatchesNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  TListDouble list;
  for (double v : {0.3, nan, -0.0, 5.0}) list.Add(v);
  EXPECT_EQ(list.IndexOf(0.1 + 0.2), -1);
  EXPECT_EQ(list.IndexOf(0.3), 0);
  EXPECT_EQ(list.IndexOf(nan), -1);
  EXPECT_EQ(list.IndexOf(0.0), 2);  // -0.0 and 0.0 are the same number
  EXPECT_EQ(list.IndexOf(5.0), 3);  // the NaN before it matches nothing
  list.Delete(nan);
  EXPECT_EQ(list.Count(), 4);
}

// NaN goes after every number, so a sorted list is still ordered for the
// numbers and bisection finds each of them.
TEST(ValueList, SortPutsNaNLastAndBisectionStillFindsNumbers) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  std::mt19937 random(7);
  for (int round = 0; round < 30; ++round) {
    TListDouble list;
    std::vector<double> numbers;
    for (int i = 0; i < 200; ++i) {
      if (random() % 3 == 0) {
        list.Add(nan);
      } else {
        const double v = random() % 5 == 0 ? -inf : static_cast<double>(random() % 100);
        numbers.push_back(v);
        list.Add(v);
      }
    }
    list.SetSorted(true);
    std::sort(numbers.begin(), numbers.end());
    for (int i = 0; i < list.Count(); ++i) {
      if (i < static_cast<int>(numbers.size())) ASSERT_EQ(list.Item(i), numbers[i]);
      else ASSERT_TRUE(std::isnan(list.Item(i)));
    }
    for (double v : numbers) ASSERT_GE(list.IndexOf(v), 0);
    ASSERT_EQ(list.IndexOf(nan), -1);
    ASSERT_EQ(list.IndexOf(1000.0), -1);
  }
}

// The bare IEEE "<" is not a strict weak order once NaN is about. The
// quicksort must still stay inside the array and keep every value (run under
// the sanitizers, an overrun fails here).
struct RawDoubleOrder {
  using Value = double;
  using Key = double;
  static constexpr const char* kCreateLine = "RawDouble.Create";
  static constexpr const char* kDestroyLine = "RawDouble.Destroy";
  static bool Less(double a, double b) { return a < b; }
  static bool Equal(double a, double b) { return a == b; }
};

TEST(ValueList, QuicksortStaysInsideTheArrayWithUnorderedValues) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::mt19937 random(99);
  for (int round = 0; round < 200; ++round) {
    TValueList<RawDoubleOrder> list;
    const int n = 1 + static_cast<int>(random() % 64);
    int nans = 0;
    double sum = 0;
    for (int i = 0; i < n; ++i) {
      if (random() % 2) {
        list.Add(nan);
        ++nans;
      } else {
        const double v = static_cast<double>(random() % 10);
        list.Add(v);
        sum += v;
      }
    }
    list.SetSorted(true);
    int nans_after = 0;
    double sum_after = 0;
    for (int i = 0; i < list.Count(); ++i) {
      if (std::isnan(list.Item(i))) ++nans_after;
      else sum_after += list.Item(i);
    }
    ASSERT_EQ(list.Count(), n);
    ASSERT_EQ(nans_after, nans);
    ASSERT_EQ(sum_after, sum);
  }
}

TEST(ValueList, LargeOrderedAndEqualInputsSortWithoutDeepRecursion) {
  TListInt descending, equal;
  constexpr int kCount = 1000000;
  for (int i = 0; i < kCount; ++i) {
    descending.Add(kCount - i);
    equal.Add(7);
  }
  descending.SetSorted(true);
  equal.SetSorted(true);
  EXPECT_EQ(descending.Item(0), 1);
  EXPECT_EQ(descending.Item(kCount - 1), kCount);
  const std::vector<int32_t> items = Items(descending);
  EXPECT_TRUE(std::is_sorted(items.begin(), items.end()));
  EXPECT_GE(equal.IndexOf(7), 0);
}

TEST(ListStr, FindContainingIsCaseSensitiveAndIgnoresEmptySub) {
  TListStr list;
  for (const char* s : {"foo", "bar", "baz"}) list.Add(s);
  EXPECT_EQ(list.FindContaining("ar"), 1);
  EXPECT_EQ(list.FindContaining("ba"), 1);
  EXPECT_EQ(list.FindContaining("AR"), -1);
  EXPECT_EQ(list.FindContaining(""), -1);
}

TEST(ListStr, FindContainedInAnywhereOrAtOnePosition) {
  TListStr list;
  for (const char* s : {"", "17", "ORDER"}) list.Add(s);
  EXPECT_EQ(list.FindContainedIn("ORDER-17", 0), 1);   // first list string found anywhere
  EXPECT_EQ(list.FindContainedIn("ORDER-17", -3), 1);
  EXPECT_EQ(list.FindContainedIn("ORDER-17", 1), 2);   // only "ORDER" starts at 1
  EXPECT_EQ(list.FindContainedIn("ORDER-17", 7), 1);
  EXPECT_EQ(list.FindContainedIn("ORDER-17", 2), -1);
  EXPECT_EQ(list.FindContainedIn("ORDER-17", 8), -1);  // "7" alone is not a list string
  EXPECT_EQ(list.FindContainedIn("ORDER-17", 9), -1);  // beyond the text
  EXPECT_EQ(list.FindContainedIn("ORDER-17", std::numeric_limits<int>::max()), -1);
  // A later occurrence counts, not only the first one.
  TListStr ab;
  ab.Add("ab");
  EXPECT_EQ(ab.FindContainedIn("abab", 3), 0);
  TListStr only_empty;
  only_empty.Add("");
  EXPECT_EQ(only_empty.FindContainedIn("ORDER-17", 0), -1);
}

TEST(ValueList, CreateAndDestroyAreLogged) {
  ScratchLog log;
  { TListStr s; }
  { TListInt i; }
  { TListDouble d; }
  EXPECT_EQ(log.Messages(), (std::vector<std::string>{"TListStr.Create", "TListStr.Destroy", "TListInt.Create",
                                                      "TListInt.Destroy", "TListDouble.Create",
                                                      "TListDouble.Destroy"}));
}

TEST(ValueList, DoublesPrintWithFifteenSignificantDigits) {
  TListDouble list;
  for (double v : {1.0, -2.5, 0.1 + 0.2, 1.0 / 3.0, 123456789012345678.0}) list.Add(v);
  TLines lines;
  list.PrintItems(lines);
  EXPECT_EQ(lines, (TLines{"1", "-2.5", "0.3", "0.333333333333333", "1.23456789012346e+17"}));
}

}  // namespace
}  // namespace orlix
