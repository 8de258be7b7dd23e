// The chain walk and the cycle search: which chains a walk hands out and in
// what order, which cycles are stored, how deletion spreads through cycles,
// and the limits that turn runaway documents into result codes: chains
// 10,000 documents deep, a cycle through 10,000 documents, branching that
// makes more paths than a walk may try.
#include <gtest/gtest.h>

#include <string>

#include "cut/cut.h"

namespace orlix {
namespace {

constexpr double kDay = 45000;

class Walk : public ::testing::Test {
 protected:
  void Part(int32_t dh, int32_t mdh, double q, int32_t dk = 0, double d = kDay) {
    cut.AppendPartSpec(dh, mdh, q, d, 0, 0, dk, 0, 0);
  }
  // Portions as Execute builds them, then every chain of a walk as a line.
  std::string Chains(int without_deleted, double to_date = kDay + 100) {
    cut.SetParams(to_date, 0, 0, 0, false, false);
    cut.Execute();  // InQuantity 0: builds portions and cycles, cuts nothing
    cut.Chain->WithoutDeleted = without_deleted;
    std::string lines;
    for (cut.Chain->First(); !cut.Chain->Eof(); cut.Chain->Next()) lines += cut.Chain->ChainLine() + "\n";
    return lines;
  }
  TCut cut;
};

// 1 (root) feeds 2 and 3; 2 feeds outgoing 4; 3 feeds 5, which goes nowhere
// and is no outgoing document: that branch is never handed out.
// Portions in date order: 1, 2, 3, 4, 5.
TEST_F(Walk, OnlyBranchesEndingInAnOutgoingRowAreHandedOut) {
  Part(1, -1, 9, 0, kDay);
  Part(2, 1, 5, 0, kDay + 1);
  Part(3, 1, 4, 0, kDay + 2);
  Part(4, 2, 3, kDkOutgoing, kDay + 3);
  Part(5, 3, 2, 0, kDay + 4);
  Part(6, 2, 1, kDkOutgoing, kDay + 5);
  EXPECT_EQ(Chains(1), " 0(9) 1(5) 3(3)\n 0(9) 1(5) 5(1)\n");
}

TEST_F(Walk, WithoutARootThereIsNoChain) {
  Part(2, 1, 5);
  Part(3, 2, 5, kDkOutgoing);
  EXPECT_EQ(Chains(0), "");
}

// Portion 1 (document 2) is dated after ToDate: Deleted, so only a walk
// that takes Deleted rows passes through it.
TEST_F(Walk, DeletedRowsAreOnChainsOnlyWhenAllowed) {
  Part(1, -1, 5, 0, kDay);
  Part(2, 1, 5, 0, kDay + 1);
  Part(3, 2, 5, kDkOutgoing, kDay);
  EXPECT_EQ(Chains(0, kDay), " 0(5) 2(5) 1(5)\n");
  EXPECT_EQ(Chains(1, kDay), "");
}

// Root 1 feeds 2 and 3, and 2 and 3 feed each other: the cycle of the rows
// 2<-3 and 3<-2 is met from both entries and stored once.
TEST_F(Walk, TheSameCycleFromTwoEntriesIsStoredOnce) {
  Part(1, -1, 9);
  Part(2, 1, 5);
  Part(3, 1, 5);
  Part(2, 3, 2);
  Part(3, 2, 3);
  Part(9, 2, 1, kDkOutgoing);
  cut.SetParams(kDay, 0, 0, 0, false, false);
  cut.Execute();
  // Portions: 0 = 1, 1 = 2<-1, 2 = 2<-3, 3 = 3<-1, 4 = 3<-2, 5 = 9<-2.
  int headers = 0;
  for (int c = 0; c < cut.Cycle->Count(); c += cut.Cycle->At(c).n + 1) ++headers;
  TLines lines;
  cut.Cycle->PrintCycles(lines);
  // Through 2<-1: 2<-1, 3<-2, 2<-3 back to 3<-2: cycle {4, 2}. Through 3<-1:
  // 3<-1, 2<-3, 3<-2 back to 2<-3: the same {2, 4}, not stored again.
  EXPECT_EQ(lines, TLines{" idx=0 n=2 q=2 del=0 AP=[4,2]"});
  EXPECT_EQ(headers, 1);
  EXPECT_EQ(cut.AnyPart->At(2).cycle_idx, std::vector<int32_t>{0});
  EXPECT_EQ(cut.AnyPart->At(4).cycle_idx, std::vector<int32_t>{0});
  EXPECT_EQ(cut.AnyPart->At(2).Quantity, 0);
  EXPECT_EQ(cut.AnyPart->At(4).Quantity, 1);
}

// Cycles {X, Y} (10 -> 20 -> 10) and {X, Z, W} (10 -> 20 -> 30 -> 10) share
// X; Z is dated after ToDate. The second cycle is Deleted through Z, X
// through it, the first cycle through X, and Y through the first cycle.
// Portions: 0 A(10), 1 Y(10<-20), 2 W(10<-30), 3 X(20<-10), 4 F(40<-10), 5 Z.
TEST_F(Walk, ADeletedRowDeletesEveryCycleConnectedToIt) {
  Part(10, -1, 9);
  Part(20, 10, 9);
  Part(10, 20, 1);
  Part(30, 20, 1, 0, kDay + 30);
  Part(10, 30, 1);
  Part(40, 10, 1, kDkOutgoing);
  cut.SetParams(kDay, 0, 0, 0, false, false);
  ASSERT_EQ(cut.Execute(), kCutNothing);
  TLines lines;
  cut.Cycle->PrintCycles(lines);
  EXPECT_EQ(lines, (TLines{" idx=0 n=2 q=1 del=1 AP=[3,1]", " idx=3 n=3 q=1 del=1 AP=[3,5,2]"}));
  for (int i = 0; i < cut.AnyPart->Count(); ++i) EXPECT_EQ(cut.AnyPart->At(i).Deleted, i != 0 && i != 4) << i;
  EXPECT_EQ(cut.AnyPart->At(3).Quantity, 7) << "X: 9 less both cycles";
}

// 10,000 documents in a row: receipt 1, moves 2..9999, outgoing 10000. The
// chain is the walk's own list, not the call stack.
TEST_F(Walk, AChain10000DocumentsDeepIsWrittenOff) {
  constexpr int kDepth = 10'000;
  Part(1, -1, 7);
  for (int dh = 2; dh < kDepth; ++dh) Part(dh, dh - 1, 7);
  Part(kDepth, kDepth - 1, 5, kDkOutgoing);
  cut.SetParams(kDay, 100, 0, 0, false, false);
  ASSERT_EQ(cut.Execute(), kCutDone);
  EXPECT_EQ(cut.GetCutQuantity(false), 5);
  EXPECT_EQ(cut.DocSpec->Count(), kDepth);
}

// The same line closed into a cycle through all 10,000 documents (1 also
// comes back from 10000), with an outgoing row leaving from the middle.
TEST_F(Walk, ACycleThrough10000DocumentsIsSetAsideAndWrittenOff) {
  constexpr int kDepth = 10'000;
  Part(1, -1, 7);
  for (int dh = 2; dh <= kDepth; ++dh) Part(dh, dh - 1, 7);
  Part(1, kDepth, 2);
  Part(kDepth + 1, kDepth / 2, 1, kDkOutgoing);
  cut.SetParams(kDay, 100, 0, 0, false, false);
  ASSERT_EQ(cut.Execute(), kCutDone);
  ASSERT_EQ(cut.Cycle->At(0).n, kDepth);
  EXPECT_EQ(cut.Cycle->At(0).Quantity, 2);
  EXPECT_EQ(cut.GetCutQuantity(false), 1);
  EXPECT_EQ(cut.PartSpecCutQ(kDepth, kDepth - 1), 2) << "the cycle's 2, on the far side of the exit";
  EXPECT_EQ(cut.PartSpecCutQ(2, 1), 3) << "the chain's 1 and the cycle's 2";
}

// Documents 1..40, each with two rows from the one before: 2^40 paths. The
// walk stops at its step limit and Execute answers 256.
TEST_F(Walk, BranchingBeyondTheStepLimitIsCode256) {
  Part(1, -1, 5);
  for (int dh = 2; dh <= 40; ++dh) {
    cut.AppendPartSpec(dh, dh - 1, 5, kDay, 1, 0, 0, 0, 0);
    cut.AppendPartSpec(dh, dh - 1, 5, kDay, 2, 0, 0, 0, 0);
  }
  Part(41, 40, 1, kDkOutgoing);
  cut.Chain->StepLimit = 100'000;
  cut.SetParams(kDay, 100, 0, 0, false, false);
  EXPECT_EQ(cut.Execute(), kCutSearchTooLarge);

  TLines lines;
  cut.Chain->WithoutDeleted = 0;
  cut.Chain->Print(lines);
  EXPECT_EQ(lines.back().rfind("  walk stopped after ", 0), 0u) << lines.back();
  EXPECT_LT(lines.size(), 100'000u);
}

TEST_F(Walk, CyclesBeyondTheRowLimitAreCode256) {
  constexpr int kDepth = 50;
  Part(1, -1, 7);
  for (int dh = 2; dh <= kDepth; ++dh) Part(dh, dh - 1, 7);
  Part(1, kDepth, 2);
  cut.MaxCycleRows = kDepth;  // the cycle needs kDepth + 1 rows
  cut.SetParams(kDay, 100, 0, 0, false, false);
  EXPECT_EQ(cut.Execute(), kCutSearchTooLarge);
  cut.MaxCycleRows = kDepth + 1;
  EXPECT_EQ(cut.Execute(), kCutNothing) << "no outgoing row";
}

}  // namespace
}  // namespace orlix
