// Chain substitution and the re-attribution steps, each on a warehouse
// traced by hand (the conservation identities of calc_part_test.cpp are
// checked there by Execute; here the steps are also called on their own).
#include <gtest/gtest.h>

#include "calcpart/calc_part.h"

namespace orlix {
namespace {

class ReattributionTest : public ::testing::Test {
 protected:
  TCalcPart e;
  double Spec(int32_t dh, int32_t idh, int32_t mdh) { return e.PartSpec.GetQuantity(dh, idh, mdh); }
  double Ret(int32_t dh, int32_t odh, int32_t idh, int32_t mdh) { return e.RetSpec.GetQuantity(dh, odh, idh, mdh); }
};

// Party r (100) of 5 on day 1; open consumptions x (1) and o (2) of 5 on day
// 10 at place 1; return y (50) of 5 on day 10.
// S1: in latest-first order o (dh 2) is met first: y is tied to o (rq 5).
// S2: x has no returns, so it comes first; AllocatePair(x, r) tries the
// chain: y is a candidate (tied to o, not x; o may take r; y dated no later
// than x): o takes 5 of r, y gives them back as party (100, 50) on day 10,
// and x takes that party (bd day 10, bot 0). x takes nothing from r directly.
TEST_F(ReattributionTest, AReturnedConsumptionPassesThePartyOn) {
  e.Remains.Append(100, -1, 1, 1, 0, 0, 5, 0, 0, -1, 0);
  e.XPart.Append(1, -1, 10, 1, 0, 1, 5, false, 0, 0, 0, -1, 0);
  e.XPart.Append(2, -1, 10, 1, 0, 1, 5, false, 0, 0, 0, -1, 0);
  e.XRet.Append(50, -1, -1, 10, 1, 5, false, 0, 0, -1, 0);
  e.Execute();
  EXPECT_EQ(5, Spec(2, 100, -1));
  EXPECT_EQ(5, Ret(50, 2, 100, -1));
  EXPECT_EQ(5, Spec(1, 100, 50));
  EXPECT_EQ(0, Spec(1, 100, -1));
  EXPECT_EQ(2, e.PartSpec.Count());
  EXPECT_EQ(0, e.Remains.Count() + e.XPart.Count() + e.XRet.Count());
  e.PartSpec.SetSortMode(-1);
  const int at = e.PartSpec.Find(e.PartSpec.At(0));
  ASSERT_GE(at, 0);
  const TPartSpec& x_row = e.PartSpec.At(0).dh == 1 ? e.PartSpec.At(0) : e.PartSpec.At(1);
  EXPECT_EQ(10, x_row.bd);
  EXPECT_EQ(0, x_row.bot);
}

// Party 100 of 4 at place 2 on day 1; consumption 9 at place 2 on day 6 takes
// it in S2. Moves A (5: place 1 to 2, day 5) and B (6: place 2 to 1, day 7) of
// 4 find no party. S3 links them both ways, [A->B, B->A] is a cycle of 4
// starting at B: B is booked against party 100 (mdh -1, bd day 1, bot 0), A
// against the party as moved by B (mdh 6, bd day 7), consumption 9 against
// the party as moved by A (mdh 5, bd day 5); its old split ends at 0.
TEST_F(ReattributionTest, ACycleOfMovesCarriesASplitAround) {
  e.Remains.Append(100, -1, 1, 2, 0, 0, 4, 0, 0, -1, 0);
  e.XPart.Append(9, -1, 6, 2, 0, 1, 4, false, 0, 0, 0, -1, 0);
  e.XPart.Append(5, -1, 5, 1, 0, 2, 4, false, 0, 0, 0, -1, 2);
  e.XPart.Append(6, -1, 7, 2, 3, 2, 4, false, 0, 0, 0, -1, 1);
  e.Execute();
  EXPECT_EQ(4, Spec(6, 100, -1));
  EXPECT_EQ(4, Spec(5, 100, 6));
  EXPECT_EQ(4, Spec(9, 100, 5));
  EXPECT_EQ(0, Spec(9, 100, -1));
  EXPECT_EQ(3, e.PartSpec.Count());
  for (int i = 0; i < e.PartSpec.Count(); ++i) {
    const TPartSpec& row = e.PartSpec.At(i);
    if (row.dh == 5) {
      EXPECT_EQ(7, row.bd);
      EXPECT_EQ(3, row.bot);  // B's ot
    }
  }
  EXPECT_EQ(0, e.XPart.Count());
}

// Step S4 alone: split h (consumption 9 took 3 of party 100, day 5, bd day 1),
// open consumption x (20, 2 on day 4) and its return y (50, 2 on day 4).
// h fits (bd 1 <= x's day 4, h's day 5 >= y's day 4): x takes 2 of h's
// party (bd day 1), y gives 2 back against that party, and h takes the
// returned goods (party 100 as brought back by 50, bd day 4, bot 0).
TEST_F(ReattributionTest, AReturnOfAnOpenConsumptionIsPassedThroughALaterSplit) {
  e.PartSpec.Append(9, 100, -1, 3, 5, 1, 0, 1, false, 0, 0, -1, 0, 0, 1, 0);
  e.XPart.Append(20, -1, 4, 1, 0, 1, 2, false, 0, 0, 0, -1, 0);
  e.XRet.Append(50, 20, -1, 4, 1, 2, false, 0, 0, -1, 0);
  e.RerouteReturns();
  EXPECT_EQ(1, Spec(9, 100, -1));
  EXPECT_EQ(2, Spec(9, 100, 50));
  EXPECT_EQ(2, Spec(20, 100, -1));
  EXPECT_EQ(2, Ret(50, 20, 100, -1));
  EXPECT_EQ(0, e.XPart.At(0).Quantity);
  EXPECT_EQ(0, e.XRet.At(0).Quantity);
}

// No split fits the return's place: S4 changes nothing.
TEST_F(ReattributionTest, WithoutAFittingSplitRerouteLeavesEverything) {
  e.PartSpec.Append(9, 100, -1, 3, 5, 2, 0, 1, false, 0, 0, -1, 0, 0, 1, 0);
  e.XPart.Append(20, -1, 4, 1, 0, 1, 2, false, 0, 0, 0, -1, 0);
  e.XRet.Append(50, 20, -1, 4, 1, 2, false, 0, 0, -1, 0);
  e.RerouteReturns();
  EXPECT_EQ(1, e.PartSpec.Count());
  EXPECT_EQ(0, e.RetSpec.Count());
  EXPECT_EQ(2, e.XRet.At(0).Quantity);
}

// Step S5 alone: open consumption x (1, 2 on day 10), moved party r (200 as
// moved by 300, 5 on day 3) and a fixed kind-2 split h of consumption 9
// (party 100, 4 on day 8, bd day 2) that may also take party 200 (kind 2).
// h takes 2 of r instead (bd day 3), and x takes the 2 of party 100 that h
// gave up (bd day 2). No party arrives, so nothing asks for another round.
TEST_F(ReattributionTest, AnOpenConsumptionTakesTheFixedSplitsParty) {
  e.FixKind.Append(9, 100, 2);
  e.FixKind.Append(9, 200, 2);
  e.PartSpec.Append(9, 100, -1, 4, 8, 1, 0, 1, false, 0, 0, -1, 0, 0, 2, 0);
  e.Remains.Append(200, 300, 3, 1, 0, 2, 5, 0, 0, -1, 0);
  e.XPart.Append(1, -1, 10, 1, 0, 1, 2, false, 0, 0, 0, -1, 0);
  ASSERT_EQ(2, e.PartSpec.At(0).fk);
  e.SwapFixedParties();
  EXPECT_EQ(2, Spec(9, 100, -1));
  EXPECT_EQ(2, Spec(9, 200, 300));
  EXPECT_EQ(2, Spec(1, 100, -1));
  EXPECT_EQ(3, e.Remains.GetQuantity(200, 300));
  EXPECT_FALSE(e.Changed);
  // Fixed consumptions and unmoved parties are left alone.
  TCalcPart other;
  other.FixKind.Append(9, 100, 2);
  other.FixKind.Append(9, 200, 2);
  other.PartSpec.Append(9, 100, -1, 4, 8, 1, 0, 1, false, 0, 0, -1, 0, 0, 2, 0);
  other.Remains.Append(200, -1, 3, 1, 0, 0, 5, 0, 0, -1, 0);
  other.XPart.Append(1, -1, 10, 1, 0, 1, 2, false, 0, 0, 0, -1, 0);
  other.SwapFixedParties();
  EXPECT_EQ(1, other.PartSpec.Count());
}

}  // namespace
}  // namespace orlix
