// The write-off engine: the worked examples traced by hand, every result
// code that input can produce, the VerPay and IsPay switches, the readers,
// and a property over random documents: the total cut equals what the rows
// report, never exceeds what was asked, and no row gives more than it holds.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <string>

#include "cut/cut.h"
#include "frame/failure.h"

namespace orlix {
namespace {

constexpr double kDay = 45000;  // one date for rows whose order does not depend on it

class CutEngine : public ::testing::Test {
 protected:
  int Part(int32_t dh, int32_t mdh, double q, int32_t dk = 0, int32_t ot = 0, double d = kDay) {
    return cut.AppendPartSpec(dh, mdh, q, d, 0, ot, dk, 0, 0);
  }
  const TCutPartSpec& PartRow(int32_t dh, int32_t mdh) {
    const int i = cut.PartSpec->FindKey(dh, mdh);
    EXPECT_GE(i, 0) << dh << "<-" << mdh;
    return cut.PartSpec->At(i < 0 ? 0 : i);
  }
  // (q, cq) of the DocSpec row of dh; (-1, -1) when there is none.
  std::pair<double, double> DocSpecOf(int32_t dh) const {
    for (int i = 0; i < cut.DocSpec->Count(); ++i)
      if (cut.DocSpec->At(i).dh == dh) return {cut.DocSpec->At(i).Quantity, cut.DocSpec->At(i).cq};
    return {-1, -1};
  }
  std::vector<int32_t> DocHeads() const {
    std::vector<int32_t> heads;
    for (int i = 0; i < cut.DocHead->Count(); ++i) heads.push_back(cut.DocHead->At(i).dh);
    return heads;
  }
  void Params(double in, bool ver_pay = false, bool is_pay = false, double pay = 0, double ret = 0) {
    cut.SetParams(kDay + 10, in, pay, ret, is_pay, ver_pay);
  }

  TCut cut;
};

// One receipt (dh 1, q 5) moved out by an outgoing document (dh 2, q 3).
// The only chain is 1 -> 2; its amount is min(InQuantity, 3, 5).
//   InQuantity 10: amount 3, both rows cq 3, no further chain.
//   InQuantity 2:  amount 2, the loop stops on RestIn = 0.
TEST_F(CutEngine, OneChainOfAReceiptAndAnOutgoingDocument) {
  Part(1, -1, 5);
  Part(2, 1, 3, kDkOutgoing);
  Params(10);
  ASSERT_EQ(cut.Execute(), kCutDone);
  EXPECT_EQ(PartRow(1, -1).cq, 3);
  EXPECT_EQ(PartRow(2, 1).cq, 3);
  EXPECT_EQ(cut.GetCutQuantity(false), 3);
  EXPECT_EQ(DocSpecOf(1), std::make_pair(5.0, 3.0));
  EXPECT_EQ(DocSpecOf(2), std::make_pair(3.0, 3.0));
  EXPECT_EQ(DocHeads(), (std::vector<int32_t>{1, 2}));
  EXPECT_TRUE(cut.Chain->Eof());

  Params(2);
  ASSERT_EQ(cut.Execute(), kCutDone);
  EXPECT_EQ(cut.GetCutQuantity(false), 2);
  EXPECT_EQ(PartRow(1, -1).cq, 2);
  EXPECT_EQ(PartRow(2, 1).cq, 2);
  // A second run rebuilds the document rows rather than adding to them.
  EXPECT_EQ(DocSpecOf(1), std::make_pair(5.0, 2.0));
  EXPECT_EQ(cut.DocSpec->Count(), 2);
}

// A (10<-out, q5), B (20<-10, q4), E (10<-20, q2), F (30<-20, out, q1), one date.
// Party order (date, dk rank, dh, mdh): A, E, B, F = portions 0..3.
// Cycle search: A -> B (mdh 10) -> E (mdh 20) -> B again: cycle {B, E},
// q = min(4, 2) = 2; B keeps 2, E 0. Then A -> B -> F: a chain, not a cycle.
// Execute: E is empty, so the only chain is A, B, F: amount min(10, 1, 2, 5) = 1.
// B's cycle goes with it: B and E each +2. cq: A 1, B 3, E 2, F 1; cut 1.
// DocSpec: dh 10 = A + E (q 7, cq 3), dh 20 (q 4, cq 3), dh 30 (q 1, cq 1).
TEST_F(CutEngine, TheCycleIsWrittenOffWithTheFirstChainThroughIt) {
  Part(10, -1, 5);
  Part(20, 10, 4);
  Part(10, 20, 2);
  Part(30, 20, 1, kDkOutgoing);
  Params(10);
  ASSERT_EQ(cut.Execute(), kCutDone);

  ASSERT_EQ(cut.AnyPart->Count(), 4);
  const int32_t order[][2] = {{10, -1}, {10, 20}, {20, 10}, {30, 20}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(cut.AnyPart->At(i).part->dh, order[i][0]);
    EXPECT_EQ(cut.AnyPart->At(i).part->mdh, order[i][1]);
  }
  ASSERT_EQ(cut.Cycle->Count(), 3);
  EXPECT_EQ(cut.Cycle->At(0).n, 2);
  EXPECT_EQ(cut.Cycle->At(0).Quantity, 2);
  EXPECT_TRUE(cut.Cycle->At(0).Deleted) << "written off";
  EXPECT_EQ(cut.Cycle->At(1).n, 2);  // B, then E, in walk order
  EXPECT_EQ(cut.Cycle->At(2).n, 1);
  EXPECT_EQ(cut.AnyPart->At(2).Quantity, 1) << "B: 4, less the cycle's 2, less the chain's 1";
  EXPECT_EQ(cut.AnyPart->At(1).Quantity, 0) << "E: all of it was the cycle's";

  EXPECT_EQ(PartRow(10, -1).cq, 1);
  EXPECT_EQ(PartRow(20, 10).cq, 3);
  EXPECT_EQ(PartRow(10, 20).cq, 2);
  EXPECT_EQ(PartRow(30, 20).cq, 1);
  EXPECT_EQ(cut.GetCutQuantity(false), 1);
  EXPECT_EQ(DocSpecOf(10), std::make_pair(7.0, 3.0));
  EXPECT_EQ(DocSpecOf(20), std::make_pair(4.0, 3.0));
  EXPECT_EQ(DocSpecOf(30), std::make_pair(1.0, 1.0));

  TLines lines;
  cut.Print(lines);
  const auto at = [&](const std::string& label) {
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i] == label) return i;
    return lines.size();
  };
  ASSERT_LT(at("Cycle") + 1, lines.size());
  EXPECT_EQ(lines[at("Cycle") + 1], " idx=0 n=2 q=2 del=1 AP=[2,1]");
  EXPECT_EQ(lines[at("Chain") + 1], "  WithoutDeleted=1");
  // After the cut: A has 4, B 1 (cycle 0), F nothing; E empty. The walk
  // finds no outgoing row with goods left.
  EXPECT_EQ(lines[at("Chain") + 2], "  nil");
  EXPECT_EQ(lines[at("AnyPart") + 2], "id=0 del=0 new=1 dh=10 mdh=-1 rdh=nil q=4 d=15.03.2023 rd=nil c_ret_idx=-1");
  EXPECT_EQ(lines[at("AnyPart") + 3],
            "id=1 del=0 new=1 dh=10 mdh=20 rdh=nil q=0 d=15.03.2023 rd=nil c_ret_idx=-1 cycle_idx=[0]");
}

TEST_F(CutEngine, NothingToDo) {
  Params(10);
  EXPECT_EQ(cut.Execute(), kCutNothing) << "no party row";
  Part(1, -1, 5);
  Part(2, 7, 3, kDkOutgoing);  // its source never arrived: no chain
  EXPECT_EQ(cut.Execute(), kCutNothing);
  EXPECT_EQ(cut.GetCutQuantity(false), 0);
}

// A row dated after ToDate, and a row of kind 11, are Deleted portions that
// no chain uses.
TEST_F(CutEngine, RowsAfterToDateOrOfKind11AreNotWrittenOff) {
  Part(1, -1, 5);
  Part(2, 1, 3, kDkOutgoing, 0, kDay + 11);
  Part(3, -1, 5, kDkNeverCut);
  Part(4, 3, 3, kDkOutgoing);
  Params(10);
  EXPECT_EQ(cut.Execute(), kCutNothing);
  for (int i = 0; i < cut.AnyPart->Count(); ++i) {
    const TCutPartSpec& p = *cut.AnyPart->At(i).part;
    EXPECT_EQ(cut.AnyPart->At(i).Deleted, p.dh == 2 || p.dh == 3) << p.dh;
  }
}

// Shipment 2 (from 1, q 5) returned by document 3 (q 2); document 4 ships
// the returned goods on (from 3, q 2). Portions: 1 (q 5), 2 returned by 3
// (q 2), 2 not returned (q 3), 4 (q 2).
// Chains in order: 1 -> 2 returned -> 4 (amount 2), then 1 -> 2 (amount 3).
TEST_F(CutEngine, ReturnedGoodsGoOnThroughTheReturnDocument) {
  Part(1, -1, 5);
  Part(2, 1, 5, kDkOutgoing);
  Part(4, 3, 2, kDkOutgoing);
  cut.AppendRetSpec(3, 2, 1, 2, kDay, 0, 0, 0);
  Params(10);
  ASSERT_EQ(cut.Execute(), kCutDone);
  EXPECT_EQ(cut.GetCutQuantity(false), 5);
  EXPECT_EQ(PartRow(1, -1).cq, 5);
  EXPECT_EQ(PartRow(2, 1).cq, 5);
  EXPECT_EQ(PartRow(4, 3).cq, 2);
  EXPECT_EQ(cut.RetSpec->At(0).cq, 2);
  EXPECT_EQ(cut.RetSpecCutQ(3, 2, 1), 2);
  EXPECT_EQ(DocSpecOf(3), std::make_pair(2.0, 2.0)) << "the return document";
}

TEST_F(CutEngine, AReturnLargerThanItsPartyIsCode8) {
  Part(1, -1, 5);
  Part(2, 1, 3, kDkOutgoing);
  cut.AppendRetSpec(3, 2, 1, 4, kDay, 0, 0, 0);
  Params(10);
  EXPECT_EQ(cut.Execute(), kCutReturnTooLarge);
}

// Two party rows share the key (2, 1); the return of 2 is matched once.
TEST_F(CutEngine, AReturnRowIsMatchedToPartiesOnce) {
  Part(1, -1, 10);
  Part(2, 1, 3, kDkOutgoing);
  Part(2, 1, 3, kDkOutgoing);
  cut.AppendRetSpec(3, 2, 1, 2, kDay, 0, 0, 0);
  Params(0);
  cut.Execute();
  double returned = 0;
  for (int i = 0; i < cut.AnyPart->Count(); ++i)
    if (cut.AnyPart->At(i).ret) returned += cut.AnyPart->At(i).Quantity;
  EXPECT_EQ(returned, 2);
}

// Goods of shipment 5 (from return document 3) returned by 3 itself: a
// marker portion. Its partner is another portion returned by 3; without
// one, code 16.
TEST_F(CutEngine, AReturnMarkerWithoutPartnerIsCode16) {
  Part(1, -1, 5);
  Part(5, 3, 2, kDkOutgoing);
  cut.AppendRetSpec(3, 5, 3, 1, kDay, 0, 0, 0);
  Params(10);
  EXPECT_EQ(cut.Execute(), kCutNoPartner);
}

// Two cycles through B (q 3): {B, E} q 2 and {B, G} q 2 take 4 > 3.
TEST_F(CutEngine, CyclesTakingMoreThanARowHoldsAreCode130) {
  Part(10, -1, 5);
  Part(20, 10, 3);
  Part(10, 20, 2);
  Part(30, 20, 2);
  Part(20, 30, 2);
  Part(40, 20, 1, kDkOutgoing);
  Params(10);
  EXPECT_EQ(cut.Execute(), kCutCyclesOverlap);
}

// VerPay: outgoing document 2 gives only what its payments cover; the
// amount is charged against them oldest first.
TEST_F(CutEngine, VerPayLimitsAndChargesPayments) {
  Part(1, -1, 5);
  Part(2, 1, 4, kDkOutgoing);
  Params(10, /*ver_pay=*/true);
  EXPECT_EQ(cut.Execute(), kCutNothing) << "no payment: nothing can go";

  cut.AppendOutDocPay(2, 100, 200, kDay + 1, kDay + 1, 1.5);
  cut.AppendOutDocPay(2, 101, -1, kDay, kDay, 1);
  ASSERT_EQ(cut.Execute(), kCutDone);
  EXPECT_EQ(cut.GetCutQuantity(false), 2.5);
  const TCutOutDocPay& older = cut.OutDocPay->At(0);
  EXPECT_EQ(older.ph, 101);
  EXPECT_EQ(older.cq, 1);
  EXPECT_EQ(cut.OutDocPay->At(1).cq, 1.5);
  EXPECT_EQ(cut.OutDocPay->At(1).rest, 0);
  // The account document gets a DocSpec row; both payments name a DocHead.
  EXPECT_EQ(DocSpecOf(200), std::make_pair(1.5, 1.5));
  EXPECT_EQ(DocHeads(), (std::vector<int32_t>{1, 2, 100, 101, 200}));

  Params(10, /*ver_pay=*/false);
  ASSERT_EQ(cut.Execute(), kCutDone);
  EXPECT_EQ(cut.GetCutQuantity(false), 4) << "without VerPay payments do not limit";
  EXPECT_EQ(cut.OutDocPay->At(0).cq, 0);
}

// With VerPay, a cycle is charged to the payments of its outgoing members
// when it is written off. Receipt 10 (q 5) goes out by shipment 20 (q 4),
// 3 of it come back by return 25; from 25 they go back to 10 (q 2: the
// cycle 20r -> 10) and out by 30 (q 1).
// Portions: 0 A(10), 1 E(10<-25), 2 B returned (q 3), 3 B kept (q 1), 4 F(30).
// Cycle {2, 1} q 2: portion 2 keeps 1, portion 1 none. Chain 0, 2, 4 is
// limited to 1 by the payments and takes its cycle along: 2 more charged
// to the documents of portion 2, whose payments covered only the chain.
void CycleThroughAReturnedShipment(TCut& cut, double paid_20, double paid_25) {
  cut.AppendPartSpec(10, -1, 5, kDay, 0, 0, 0, 0, 0);
  cut.AppendPartSpec(20, 10, 4, kDay, 0, 0, kDkOutgoing, 0, 0);
  cut.AppendPartSpec(10, 25, 2, kDay, 0, 0, 0, 0, 0);
  cut.AppendPartSpec(30, 25, 1, kDay, 0, 0, kDkOutgoing, 0, 0);
  cut.AppendRetSpec(25, 20, 10, 3, kDay, 0, 0, 0);
  cut.AppendOutDocPay(30, 1, -1, kDay, kDay, 10);
  cut.AppendOutDocPay(20, 2, -1, kDay, kDay, paid_20);
  cut.AppendOutDocPay(25, 3, -1, kDay, kDay, paid_25);
  cut.SetParams(kDay, 10, 0, 0, false, true);
}

TEST_F(CutEngine, VerPayCycleBeyondThePaymentsOfItsShipmentIsCode32) {
  CycleThroughAReturnedShipment(cut, 1, 10);
  EXPECT_EQ(cut.Execute(), kCutPartUnpaid);
  EXPECT_EQ(cut.GetCutQuantity(false), 1) << "the chain stays written off";
}

TEST_F(CutEngine, VerPayCycleBeyondThePaymentsOfItsReturnIsCode64) {
  CycleThroughAReturnedShipment(cut, 10, 1);
  EXPECT_EQ(cut.Execute(), kCutReturnUnpaid);
}

TEST_F(CutEngine, VerPayCycleWithinThePaymentsIsWrittenOff) {
  CycleThroughAReturnedShipment(cut, 10, 10);
  ASSERT_EQ(cut.Execute(), kCutDone);
  EXPECT_EQ(cut.RetSpec->At(0).cq, 3) << "1 with the chain, 2 with the cycle";
  EXPECT_EQ(cut.OutDocPay->At(1).cq, 3);
}

// IsPay: chains ending in a party with ot = 1 draw on RetQuantity (and
// reduce their last row directly), the others on PayQuantity; InQuantity
// bounds the whole.
//   receipt 1 (q 10) -> shipment 2 (q 4) and shipment 3 (ot 1, q 5).
TEST_F(CutEngine, IsPaySplitsByTheLastPartysOperation) {
  Part(1, -1, 10);
  Part(2, 1, 4, kDkOutgoing);
  Part(3, 1, 5, kDkOutgoing, kOtReturn);
  cut.SetParams(kDay, 10, 3, 2, /*is_pay=*/true, false);
  ASSERT_EQ(cut.Execute(), kCutDone);
  EXPECT_EQ(PartRow(2, 1).cq, 3);
  EXPECT_EQ(PartRow(3, 1).cq, 2);
  EXPECT_EQ(PartRow(1, -1).cq, 5);
  EXPECT_EQ(cut.GetCutQuantity(false), 5);
  EXPECT_EQ(cut.GetCutQuantity(true), 2);

  // InQuantity 4 under PayQuantity 3 + RetQuantity 2: the second chain gets 1.
  cut.SetParams(kDay, 4, 3, 2, true, false);
  ASSERT_EQ(cut.Execute(), kCutDone);
  EXPECT_EQ(cut.GetCutQuantity(false), 4);
  EXPECT_EQ(cut.GetCutQuantity(true), 1);

  // Only return chains cut: CutRetQuantity is CutQuantity exactly.
  cut.SetParams(kDay, 10, 0, 2, true, false);
  ASSERT_EQ(cut.Execute(), kCutDone);
  EXPECT_EQ(cut.GetCutQuantity(true), cut.GetCutQuantity(false));
  EXPECT_EQ(cut.GetCutQuantity(false), 2);

  // Without IsPay the same ot only counts the part that went that way.
  Params(100);
  ASSERT_EQ(cut.Execute(), kCutDone);
  EXPECT_EQ(cut.GetCutQuantity(false), 9);
  EXPECT_EQ(cut.GetCutQuantity(true), 5);
}

TEST_F(CutEngine, ReadersTablesFieldsAndTheirFailures) {
  EXPECT_EQ(cut.GetTableNumber("  DocSpec "), 5);
  EXPECT_EQ(cut.GetTableNumber("chains"), -1);
  EXPECT_EQ(TCut::GetFieldNumber(" CutQuantity "), 6);
  EXPECT_EQ(TCut::GetFieldNumber("AccountDocHead"), 4);
  try {
    TCut::GetFieldNumber(" qty ");
    ADD_FAILURE();
  } catch (const EOrlixError& e) {
    // "Вариант TCut.GetFieldNumber( qty ) не предусмотрен."
    EXPECT_STREQ(e.what(),
                 "\xC2\xE0\xF0\xE8\xE0\xED\xF2 TCut.GetFieldNumber( qty ) "
                 "\xED\xE5 \xEF\xF0\xE5\xE4\xF3\xF1\xEC\xEE\xF2\xF0\xE5\xED.");
  }
  try {
    cut.GetFieldInteger(2, 5);
    ADD_FAILURE();
  } catch (const EOrlixError& e) {
    EXPECT_STREQ(e.what(),
                 "\xC2\xE0\xF0\xE8\xE0\xED\xF2 TCut.GetFieldInteger(2,5) "
                 "\xED\xE5 \xEF\xF0\xE5\xE4\xF3\xF1\xEC\xEE\xF2\xF0\xE5\xED.");
  }
  EXPECT_THROW(cut.GetFieldDouble(6, 5), EOrlixError) << "dochead has no double field";
  EXPECT_THROW(cut.GetFieldInteger(8, 0), EOrlixError);
  EXPECT_THROW(cut.Eof(-1), EOrlixError);

  // The cursor stands on an appended row; off the rows a read fails.
  Part(1, -1, 5);
  Part(2, 1, 3, kDkOutgoing);
  EXPECT_EQ(cut.GetFieldInteger(TCut::kPartSpec, TCut::kFieldDocHead), 2);
  EXPECT_THROW(cut.GetFieldInteger(TCut::kDocSpec, TCut::kFieldDocHead), EOrlixError);
  Params(10);
  ASSERT_EQ(cut.Execute(), kCutDone);
  EXPECT_THROW(cut.GetFieldDouble(TCut::kPartSpec, TCut::kFieldCutQ), EOrlixError) << "cursor -1 after Execute";

  // Walks: docspec rows with a cut, in dh order, with their source list.
  std::string walked;
  for (cut.FirstNew(TCut::kDocSpec); !cut.Eof(TCut::kDocSpec); cut.NextNew(TCut::kDocSpec))
    walked += std::to_string(cut.GetFieldInteger(TCut::kDocSpec, TCut::kFieldDocHead)) + ":" +
              std::to_string(cut.GetFieldInteger(TCut::kDocSpec, TCut::kFieldDocList)) + "=" +
              std::to_string(static_cast<int>(cut.GetFieldDouble(TCut::kDocSpec, TCut::kFieldCutQ))) + " ";
  EXPECT_EQ(walked, "1:2=3 2:2=3 ");
  EXPECT_THROW(cut.GetFieldDouble(TCut::kDocSpec, TCut::kFieldCutQ), EOrlixError) << "past the last row";

  // The chain table walks the chains that are left: none.
  cut.FirstNew(TCut::kChain);
  EXPECT_TRUE(cut.Eof(TCut::kChain));
}

// After Execute the parties are in date order with the cursor before them:
// asked in that order, each lookup finds its row at the stepped cursor.
TEST_F(CutEngine, PartSpecCutQStepsTheCursorAlongTheDateOrder) {
  Part(3, -1, 1, 0, 0, kDay + 2);
  Part(1, -1, 2, 0, 0, kDay);
  Part(2, 1, 2, kDkOutgoing, 0, kDay + 1);
  Part(4, 3, 1, kDkOutgoing, 0, kDay + 3);
  Params(10);
  ASSERT_EQ(cut.Execute(), kCutDone);
  EXPECT_EQ(cut.PartSpec->Cursor(), -1);
  const int32_t keys[][2] = {{1, -1}, {2, 1}, {3, -1}, {4, 3}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_GT(cut.PartSpecCutQ(keys[i][0], keys[i][1]), 0);
    EXPECT_EQ(cut.PartSpec->Cursor(), i);
    EXPECT_EQ(cut.PartSpec->At(i).dh, keys[i][0]);
  }
  EXPECT_EQ(cut.PartSpecCutQ(9, 9), 0) << "no such row";
  EXPECT_EQ(cut.PartSpecCutQ(1, -1), 2) << "found by scanning, the cursor past the rows";
  EXPECT_EQ(cut.PartSpec->Cursor(), 4);
  EXPECT_EQ(cut.RetSpecCutQ(1, 2, 3), 0);
}

TEST_F(CutEngine, NumbersThatAreNotNumbersAreRefused) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_THROW(cut.AppendPartSpec(1, -1, nan, kDay, 0, 0, 0, 0, 0), EOrlixError);
  EXPECT_THROW(cut.AppendRetSpec(1, 2, 3, inf, kDay, 0, 0, 0), EOrlixError);
  EXPECT_THROW(cut.AppendOutDocPay(1, 2, 3, kDay, nan, 1), EOrlixError);
  EXPECT_EQ(cut.PartSpec->Count() + cut.RetSpec->Count() + cut.OutDocPay->Count(), 0);
  Params(7);
  try {
    cut.SetParams(kDay, -inf, 0, 0, false, false);
    ADD_FAILURE();
  } catch (const EOrlixError& e) {
    EXPECT_STREQ(e.what(), "TCut.SetParams: InQuantity -inf is not a finite number");
  }
  EXPECT_EQ(cut.ToDate(), kDay + 10) << "a refused call changes nothing";
}

TEST_F(CutEngine, ClearKeepsToDateAndEmptiesTheRest) {
  Part(1, -1, 5);
  Part(2, 1, 3, kDkOutgoing);
  cut.SetParams(kDay + 0.75, 10, 1, 1, true, true);
  EXPECT_EQ(cut.ToDate(), kDay) << "a whole day";
  cut.Clear();
  EXPECT_EQ(cut.ToDate(), kDay);
  EXPECT_FALSE(cut.IsPay());
  EXPECT_EQ(cut.PartSpec->Count(), 0);
  EXPECT_EQ(cut.Execute(), kCutNothing);
  EXPECT_EQ(cut.AppendPartSpec(1, -1, 5, kDay, 0, 0, 0, 0, 0), 0) << "numbering starts again";
}

// ---- Property ---------------------------------------------------------------------

// Random documents: receipts, moves between documents (some back to earlier
// ones: cycles), outgoing rows, returns and payments, random switches. For
// every run that ends with code 0:
//   - the total cut equals what left through the outgoing rows: the cq of
//     the outgoing parties less the cq of the returns matched to them (what
//     came back and went on is counted where it finally left);
//   - it never exceeds InQuantity;
//   - no party, return or payment gives more than it holds;
//   - DocSpec folds exactly the rows' cuts per document.
TEST(CutProperty, TotalCutIsWhatTheRowsReportAndNeverMoreThanAsked) {
  std::mt19937 random(11);
  std::map<int32_t, int> codes;
  constexpr int kRounds = 2000;
  for (int round = 0; round < kRounds; ++round) {
    TCut cut;
    const int docs = 3 + static_cast<int>(random() % 12);
    const auto doc = [&] { return static_cast<int32_t>(1 + random() % docs); };
    std::map<std::pair<int32_t, int32_t>, bool> keys;  // party keys are unique
    const int parties = 2 + static_cast<int>(random() % 25);
    for (int i = 0; i < parties; ++i) {
      const int32_t dh = doc();
      const int32_t mdh = random() % 4 == 0 ? -1 : doc();
      if (mdh == dh || !keys.emplace(std::make_pair(dh, mdh), true).second) continue;
      const int32_t dk = random() % 3 == 0 ? kDkOutgoing : static_cast<int32_t>(random() % 3);
      const int32_t ot = random() % 5 == 0 ? kOtReturn : 0;
      const double q = static_cast<double>(1 + random() % 8) / (random() % 4 == 0 ? 4 : 1);
      cut.AppendPartSpec(dh, mdh, q, kDay + random() % 5, 0, ot, dk, 0, 0);
    }
    for (int i = 0, n = static_cast<int>(random() % 4); i < n; ++i)
      cut.AppendRetSpec(doc(), doc(), doc(), 1 + random() % 3, kDay, 0, 0, 0);
    for (int i = 0, n = static_cast<int>(random() % 6); i < n; ++i)
      cut.AppendOutDocPay(doc(), 500 + i, random() % 2 ? 600 + i : -1, kDay, kDay, 1 + random() % 6);
    const double in = static_cast<double>(random() % 30);
    const bool is_pay = random() % 3 == 0, ver_pay = random() % 3 == 0;
    cut.SetParams(kDay + 3, in, static_cast<double>(random() % 10), static_cast<double>(random() % 10), is_pay,
                  ver_pay);
    const int32_t code = cut.Execute();
    ++codes[code];
    if (code != kCutDone) continue;

    const double total = cut.GetCutQuantity(false);
    EXPECT_LE(total, in + 1e-9) << "round " << round;
    double left = 0;
    std::map<int32_t, double> doc_cut;
    for (int i = 0; i < cut.PartSpec->Count(); ++i) {
      const TCutPartSpec& p = cut.PartSpec->At(i);
      EXPECT_LE(p.cq, p.Quantity + 1e-9) << "round " << round << " party " << p.dh;
      EXPECT_GE(p.cq, 0) << "round " << round;
      if (p.dk == kDkOutgoing) left += p.cq;
      if (p.cq > kZeroTolerance) doc_cut[p.dh] += p.cq;
    }
    for (int i = 0; i < cut.RetSpec->Count(); ++i) {
      const TCutRetSpec& r = cut.RetSpec->At(i);
      EXPECT_LE(r.cq, r.Quantity + 1e-9) << "round " << round;
      left -= r.cq;
      if (r.cq > kZeroTolerance) doc_cut[r.dh] += r.cq;
    }
    for (int i = 0; i < cut.OutDocPay->Count(); ++i) {
      const TCutOutDocPay& y = cut.OutDocPay->At(i);
      EXPECT_LE(y.cq, y.Quantity + 1e-9) << "round " << round;
      EXPECT_NEAR(y.cq + y.rest, y.Quantity, 1e-9) << "round " << round;
      if (y.ah > -1 && y.cq > kZeroTolerance) doc_cut[y.ah] += y.cq;
    }
    EXPECT_NEAR(total, left, 1e-9) << "round " << round;
    EXPECT_LE(cut.GetCutQuantity(true), total + 1e-9);
    for (int i = 0; i < cut.DocSpec->Count(); ++i)
      EXPECT_NEAR(cut.DocSpec->At(i).cq, doc_cut[cut.DocSpec->At(i).dh], 1e-9) << "round " << round;
  }
  // The random documents reach the interesting ends too.
  EXPECT_GT(codes[kCutDone], kRounds / 4);
  for (const auto& [code, count] : codes) std::printf("code %d: %d runs\n", code, count);
}

}  // namespace
}  // namespace orlix
