// The shared row shape: key orders answer exactly -1, 0 or 1 over whole
// value ranges, the sort of a row list gives the order its comparisons
// give, and merging folds equal keys and drops what nets to zero.
#include "lists/row.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace orlix {
namespace {

class TProbeRow final : public TRow<TProbeRow> {
 public:
  void AddQuantities(const TProbeRow& other) { Quantity += other.Quantity; }
  std::string PrintLine() const {
    return Format("id=%d  k=%d  d=%s  q=%s", ID, k, FormatDouble(d).c_str(), FormatDouble(Quantity).c_str());
  }

  int32_t k = 0;
  double d = 0.0;
  bool fix = false;

  using Order = KeyOrder<Desc<&TProbeRow::fix>, Asc<&TProbeRow::k>, Desc<&TProbeRow::d>>;
};

class TProbeList final : public TRowList<TProbeRow> {
 public:
  using TRowList::TRowList;
  int Append(bool fix, int32_t k, double d, double q) {
    Work().fix = fix;
    Work().k = k;
    Work().d = d;
    Work().Quantity = q;
    return AddWork();
  }
};

TEST(RowShape, KeyOrdersAnswerMinusOneZeroOneOverWholeRanges) {
  TProbeRow a, b;
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min(), kMax = std::numeric_limits<int32_t>::max();
  a.k = kMin;
  b.k = kMax;  // a subtraction would overflow here
  EXPECT_EQ(-1, a.Compare(b));
  EXPECT_EQ(1, b.Compare(a));
  b.k = kMin;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  a.d = nan;
  b.d = nan;
  EXPECT_EQ(0, a.Compare(b)) << "NaN equals NaN, so an order stays total";
  b.d = 1e308;
  EXPECT_EQ(-1, a.Compare(b)) << "descending: NaN, after every number ascending, comes first";
  a.d = -0.0;
  b.d = 0.0;
  EXPECT_EQ(0, a.Compare(b));
  a.fix = true;
  EXPECT_EQ(-1, a.Compare(b)) << "a descending flag puts set rows first";
}

TEST(RowShape, SortMatchesThePairwiseOrderAndMergeFoldsEqualKeys) {
  std::mt19937 random(11);
  TProbeList list(0, 7);
  double total = 0.0;
  for (int i = 0; i < 2000; ++i) {
    const double q = static_cast<double>(static_cast<int>(random() % 7) - 3);
    total += q;
    list.Append(random() % 2 == 0, static_cast<int32_t>(random() % 40) - 20, static_cast<double>(random() % 5), q);
  }
  list.Sort();
  for (int i = 1; i < list.Count(); ++i) ASSERT_LE(list.At(i - 1).Compare(list.At(i)), 0) << i;

  list.MergeDuplicates();
  double merged = 0.0;
  for (int i = 0; i < list.Count(); ++i) {
    merged += list.At(i).Quantity;
    EXPECT_FALSE(list.At(i).IsEmpty());
    if (i > 0) {
      EXPECT_EQ(-1, list.At(i - 1).Compare(list.At(i))) << "each key once, in order";
    }
  }
  EXPECT_EQ(total, merged) << "folding loses nothing but rows that net to zero";
  EXPECT_LE(list.Count(), 2 * 40 * 5);

  TProbeRow copy;
  copy.Assign(list.At(0));
  EXPECT_EQ(0, copy.Compare(list.At(0)));
  EXPECT_EQ(-1, copy.ID) << "a copy keeps its own number";
}

}  // namespace
}  // namespace orlix
