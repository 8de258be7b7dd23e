// The cycle search over move links: depth first in index order, marks on the
// path, continuation after a returned cycle, used-up links skipped.
#include "calcpart/move_cycles.h"

#include <gtest/gtest.h>

namespace orlix {
namespace {

class MoveCyclesTest : public ::testing::Test {
 protected:
  TMoveLinkList links{100, 10};
  TXPart a, b, c;
  void SetUp() override {
    a.dh = 1;  // place 1 -> 2
    b.dh = 2;  // place 2 -> 1
    c.dh = 3;  // place 2 -> 3
  }
};

// Links A->B (md B, bmd A, 4) and B->A (md A, bmd B, 6).
// First: start marker out, link 0 (A->B) becomes the first step (q 4,
// marked); extend from B: link 1 (bmd B) continues, marked, q min(6, 4) = 4;
// its md A is the first link's bmd: a cycle. The caller uses 4 up; Next drops
// link 1, backtracks: link 0 is used up (q 0), so the first step goes too and
// the search starts again from index 1: link 1 as first step, its md A has no
// usable continuation (link 0 used up): no cycle, empty path.
TEST_F(MoveCyclesTest, TwoMovesThereAndBackMakeOneCycle) {
  links.Add(b, a, 4);
  links.Add(a, b, 6);
  TMoveLoopList& loops = links.Loops();
  loops.First();
  ASSERT_EQ(2, loops.Count());
  EXPECT_EQ(&links.At(0), loops.At(0).link);
  EXPECT_EQ(&links.At(1), loops.At(1).link);
  EXPECT_EQ(4, loops.At(1).q);
  EXPECT_TRUE(links.At(0).Deleted);
  EXPECT_TRUE(links.At(1).Deleted);
  links.At(0).q -= 4;
  links.At(1).q -= 4;
  loops.Next();
  EXPECT_EQ(0, loops.Count());
  EXPECT_FALSE(links.At(0).Deleted);
  EXPECT_FALSE(links.At(1).Deleted);
}

// A move to its own place links to itself; no path takes that link twice,
// so it makes no cycle (it would send the goods around it twice).
TEST_F(MoveCyclesTest, ALinkFromAMoveToItselfIsNoCycle) {
  links.Add(a, a, 3);
  TMoveLoopList& loops = links.Loops();
  loops.First();
  EXPECT_EQ(0, loops.Count());
}

// Without using the cycle up, Next continues after it: the same two links
// are found again the other way round (starting from link 1), then nothing.
TEST_F(MoveCyclesTest, NextContinuesAfterAReturnedCycle) {
  links.Add(b, a, 4);
  links.Add(a, b, 6);
  TMoveLoopList& loops = links.Loops();
  loops.First();
  ASSERT_EQ(2, loops.Count());
  loops.Next();
  ASSERT_EQ(2, loops.Count());
  EXPECT_EQ(&links.At(1), loops.At(0).link);
  EXPECT_EQ(&links.At(0), loops.At(1).link);
  loops.Next();
  EXPECT_EQ(0, loops.Count());
}

TEST_F(MoveCyclesTest, ChainsEmptyListsAndUsedUpLinksMakeNoCycle) {
  TMoveLoopList& loops = links.Loops();
  loops.First();
  EXPECT_EQ(0, loops.Count());
  links.Add(b, a, 4);  // A->B
  links.Add(c, b, 4);  // B->C, nothing back to A
  loops.First();
  EXPECT_EQ(0, loops.Count());
  links.Add(a, c, 0);  // C->A with nothing left
  loops.First();
  EXPECT_EQ(0, loops.Count());
  links.At(2).q = 1;
  loops.First();
  ASSERT_EQ(3, loops.Count());
  EXPECT_EQ(1, loops.At(2).q);
}

// Link order: by the fed move's date; links whose base move is later come last.
TEST_F(MoveCyclesTest, LinksSortByTheFedMovesDate) {
  a.d = 5;
  b.d = 3;
  c.d = 4;
  links.Add(a, b, 1);  // md dated 5
  links.Add(c, a, 1);  // md dated 4, its base (5) after it
  links.Add(c, b, 1);  // md dated 4, base 3 before it
  links.SetSortMode(TMoveLinkList::kByDate);
  links.Sort();
  EXPECT_EQ(&b, links.At(0).bmd);
  EXPECT_EQ(&a, links.At(1).bmd);
  EXPECT_EQ(&a, links.At(2).md);
  EXPECT_EQ("id=2  del=0  md=3  bmd=2  q=1", links.At(0).PrintLine());
}

}  // namespace
}  // namespace orlix
