// Row lists of the write-off engine: sort modes, payment consumption, return
// linking, the indexed portion search against a plain scan, and the chain
// and cycle print lines.
#include "cut/cut_lists.h"

#include <gtest/gtest.h>

#include <random>

#include "cut/cut_chain.h"

namespace orlix {
namespace {

TEST(TCutPartSpecList, DateKindOrderPutsKind2FirstAndOutgoingLastWithinADate) {
  TCutPartSpecList list;
  list.Append(5, -1, 1, 100, 0, 0, kDkOutgoing, 0, 0);
  list.Append(6, -1, 1, 100, 0, 0, 0, 0, 0);
  list.Append(7, -1, 1, 100, 0, 0, kDkFirstOfDay, 0, 0);
  list.Append(1, -1, 1, 101, 0, 0, kDkFirstOfDay, 0, 0);
  list.Append(-2147483647 - 1, -1, 1, 100, 0, 0, 0, 0, 0);  // the whole integer range compares
  list.SetSortMode(kSortByDateKind);
  list.Sort();
  const int32_t expected[] = {7, -2147483647 - 1, 6, 5, 1};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(list.At(i).dh, expected[i]);
  list.SetSortMode(kSortByDate);
  list.Sort();
  EXPECT_EQ(list.At(0).dh, -2147483647 - 1);
  EXPECT_EQ(list.At(3).dh, 7);
  list.SetSortMode(kSortByKey);
  EXPECT_FALSE(list.Sorted());
  EXPECT_EQ(list.FindKey(6, -1), 2) << "unsorted: found by scanning";
  EXPECT_EQ(list.FindKey(6, 0), -1);
}

class Payments : public ::testing::Test {
 protected:
  void SetUp() override {
    pay.Append(9, 1, -1, 50, 50, 4);  // later payment of document 9
    pay.Append(9, 2, -1, 40, 40, 3);  // earlier one: used first
    pay.Append(8, 3, -1, 10, 10, 100);
  }
  TCutOutDocPayList pay;
};

// CutPay(9, 5): the earlier payment (rest 3) is used up, 2 come from the
// later one (rest 4 -> 2). CutPay(9, 10) over fresh rows uses both fully
// and answers false; what it took stays taken.
TEST_F(Payments, CutPayUsesPaymentsOldestFirst) {
  EXPECT_EQ(pay.RestOf(9), 7);
  EXPECT_TRUE(pay.CutPay(9, 5));
  EXPECT_EQ(pay.At(1).ph, 2);
  EXPECT_EQ(pay.At(1).rest, 0);
  EXPECT_EQ(pay.At(1).cq, 3);
  EXPECT_EQ(pay.At(2).rest, 2);
  EXPECT_EQ(pay.At(2).cq, 2);
  EXPECT_EQ(pay.RestOf(8), 100) << "another document's payments are untouched";

  pay.ResetPay();
  EXPECT_FALSE(pay.CutPay(9, 10));
  EXPECT_EQ(pay.RestOf(9), 0);
  EXPECT_EQ(pay.At(1).cq + pay.At(2).cq, 7);
  EXPECT_EQ(pay.RestOf(7), 0) << "no payment row";
  EXPECT_TRUE(pay.CutPay(8, 100 - 1e-11)) << "a rest within the tolerance counts as used up";
  EXPECT_EQ(pay.At(0).rest, 0);
}

TEST_F(Payments, NewAreUsedPaymentsThatNameAPaymentDocument) {
  pay.Append(9, -1, -1, 60, 60, 5);
  pay.CutPay(9, 9);
  pay.SetNew();
  for (int i = 0; i < pay.Count(); ++i) EXPECT_EQ(pay.At(i).New, pay.At(i).ph != -1 && pay.At(i).cq > 0) << i;
  EXPECT_TRUE(pay.At(3).cq > 0 && !pay.At(3).New);
}

// Portions built directly: each party row, optionally with its return.
class Portions : public ::testing::Test {
 protected:
  int Add(int32_t dh, int32_t mdh, double q, int32_t ret_dh = 0, bool deleted = false) {
    TCutPartSpec& p = parts.At(parts.Append(dh, mdh, q, 0, 0, 0, ret_dh ? kDkOutgoing : 0, 0, 0));
    TCutRetSpec* r = ret_dh ? &rets.At(rets.Append(ret_dh, dh, mdh, q, 0, 0, 0, 0)) : nullptr;
    return any.Add(&p, r, q, deleted);
  }
  TCutPartSpecList parts;
  TCutRetSpecList rets;
  TCutAnyPartList any;
};

// Marker 1 (party 7 from 3, returned by 3). Candidates returned by 3:
// portion 0 (party 8) and portion 2 (party 7): the one of the same party
// document wins although it comes later. A deleted marker deletes it.
TEST_F(Portions, AMarkerLinksToAPortionOfItsOwnPartyDocumentFirst) {
  Add(8, 1, 1, 3);
  Add(7, 3, 1, 3, /*deleted=*/true);
  Add(7, 1, 1, 3);
  Add(9, -1, 1);
  any.LinkReturns();
  EXPECT_EQ(any.ErrorCode, 0);
  EXPECT_EQ(any.At(1).c_ret_idx, TCutAnyPart::kReturnMarker);
  EXPECT_EQ(any.At(2).c_ret_idx, 1);
  EXPECT_TRUE(any.At(2).Deleted);
  EXPECT_EQ(any.At(0).c_ret_idx, TCutAnyPart::kNoLink);
  EXPECT_EQ(any.At(3).c_ret_idx, TCutAnyPart::kNoLink);

  Add(5, 3, 1, 3);  // a second marker: only portion 0 is left
  any.LinkReturns();
  EXPECT_EQ(any.At(0).c_ret_idx, 4);
  Add(6, 3, 1, 3);  // a third: none left
  any.LinkReturns();
  EXPECT_EQ(any.ErrorCode, kCutNoPartner);
}

// Linking as the plain method does it: for each marker in order, scan from
// the top for an unlinked portion of the same return document, of the
// marker's own party document first. The grouped linking must agree.
TEST_F(Portions, LinkReturnsMatchesThePlainScan) {
  std::mt19937 random(9);
  for (int round = 0; round < 200; ++round) {
    any.Clear();
    parts.Clear();
    rets.Clear();
    const int n = 1 + static_cast<int>(random() % 40);
    for (int i = 0; i < n; ++i) {
      const int32_t mdh = static_cast<int32_t>(random() % 4);
      Add(static_cast<int32_t>(random() % 4), mdh, 1, random() % 3 == 0 ? 0 : static_cast<int32_t>(random() % 4));
    }
    std::vector<int32_t> expected(static_cast<size_t>(any.Count()));
    int32_t expected_code = 0;
    for (int i = 0; i < any.Count(); ++i) {
      const TCutAnyPart& r = any.At(i);
      expected[i] = r.ret && r.ret->dh == r.part->mdh ? TCutAnyPart::kReturnMarker : TCutAnyPart::kNoLink;
    }
    for (int m = 0; m < any.Count() && expected_code == 0; ++m) {
      if (expected[m] != TCutAnyPart::kReturnMarker) continue;
      int partner = -1;
      for (int pass = 0; pass < 2 && partner < 0; ++pass)
        for (int p = 0; p < any.Count(); ++p)
          if (p != m && any.At(p).ret && any.At(p).ret->dh == any.At(m).ret->dh &&
              expected[p] == TCutAnyPart::kNoLink && (pass == 1 || any.At(p).part->dh == any.At(m).part->dh)) {
            partner = p;
            break;
          }
      if (partner < 0)
        expected_code = kCutNoPartner;
      else
        expected[partner] = m;
    }
    any.ErrorCode = 0;
    any.LinkReturns();
    ASSERT_EQ(any.ErrorCode, expected_code) << "round " << round;
    for (int i = 0; i < any.Count(); ++i) ASSERT_EQ(any.At(i).c_ret_idx, expected[i]) << "round " << round;
  }
}

// The indexed search answers exactly what a scan from start in list order
// answers, for every key, start and filter, and so does the walk's search
// for the rows that may follow a portion.
TEST_F(Portions, FindAnyPartMatchesAPlainScan) {
  std::mt19937 random(5);
  for (int i = 0; i < 300; ++i) {
    const int idx = Add(static_cast<int32_t>(random() % 20), static_cast<int32_t>(random() % 8) - 1,
                        random() % 4 == 0 ? 0.0 : 1.0, 0, random() % 3 == 0);
    if (random() % 5 == 0) any.At(idx).c_ret_idx = TCutAnyPart::kReturnMarker;
  }
  for (int trial = 0; trial < 3000; ++trial) {
    const int32_t key = static_cast<int32_t>(random() % 9) - 2;
    const int start = static_cast<int>(random() % 320) - 10;
    const int flags = static_cast<int>(random() % 8);
    const bool by_move_doc = random() % 4 != 0;
    int expected = -1;
    for (int i = start < 0 ? any.Count() : start; i < any.Count(); ++i) {
      const TCutAnyPart& row = any.At(i);
      if ((by_move_doc ? row.part->mdh : row.part->dh) != key) continue;
      if ((flags & 1) && row.Deleted) continue;
      if ((flags & 2) && row.IsEmpty()) continue;
      if ((flags & 4) && row.c_ret_idx < -1) continue;
      expected = i;
      break;
    }
    ASSERT_EQ(any.FindAnyPart(key, by_move_doc, start, flags), expected)
        << "key " << key << " start " << start << " flags " << flags;
    // The walk's form: the rows that may follow a portion (or begin a chain).
    const int after = static_cast<int>(random() % 301) - 1;
    const int32_t source = after < 0 ? -1 : any.At(after).DocHeadOf();
    ASSERT_EQ(any.FindNextOf(after, start, flags), any.FindAnyPart(source, true, start, flags)) << after;
    if (trial == 1500) any.At(7).Quantity = 0;  // emptiness is read live, not indexed
  }
}

// Rows 0 (q 5), 4 (q 3, in cycle 1) and 9 (q 3, in the cycle from
// position 2, linked to return portion 12 holding 2).
TEST_F(Portions, ChainLineShowsCyclesAndLinks) {
  for (int i = 0; i < 13; ++i) Add(i, i - 1, i == 0 ? 5 : (i == 12 ? 2 : 3));
  any.At(4).cycle_idx = {1};
  any.At(9).c_ret_idx = 12;
  TCutChainList chain;
  chain.SetAnyPartList(&any);
  chain.Push(0);
  chain.Push(4);
  EXPECT_EQ(chain.ChainLine(), " 0(5) 4(3)+[1]");
  EXPECT_EQ(any.At(0).PrintLine(), "id=0 del=0 new=1 dh=0 mdh=-1 rdh=nil q=5 d=30.12.1899 rd=nil c_ret_idx=-1");
  chain.Push(9);
  chain.CycleStart = 2;
  EXPECT_EQ(chain.ChainLine(), " 0(5) 4(3)+[1] 9[3]+12{2}");
  EXPECT_EQ(chain.PositionOf(9), 2);
  EXPECT_EQ(chain.PositionOf(5), -1);
}

TEST(TCutCycleList, PrintsEachCycleOnItsLine) {
  TCutCycleList cycles;
  TLines lines;
  cycles.PrintCycles(lines);
  EXPECT_EQ(lines, TLines{" nil"});
  cycles.Append(2, 1.5);
  cycles.Append(4, 0);
  cycles.Append(7, 0);
  cycles.At(cycles.Append(0, 3)).Deleted = true;
  lines.clear();
  cycles.PrintCycles(lines);
  EXPECT_EQ(lines, (TLines{" idx=0 n=2 q=1.5 del=0 AP=[4,7]", " idx=3 n=0 q=3 del=1 AP=[]"}));

  TCutChainList chain;
  chain.WithoutDeleted = 1;
  lines.clear();
  chain.Print(lines);
  EXPECT_EQ(lines, (TLines{"  WithoutDeleted=1", "  nil"})) << "no portions bound";
}

}  // namespace
}  // namespace orlix
