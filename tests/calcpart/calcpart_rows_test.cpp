// Rows and lists of the batch engine: fix-kind and priority lookups made on
// append, keyed reads, fields by name, the sort modes (three-way answers over
// the whole integer range, desc keys reversed) and the print lines.
#include "calcpart/calcpart_rows.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "frame/failure.h"

namespace orlix {
namespace {

TEST(CalcPartRows, FixKindsAreLookedUpOnAppend) {
  TFixKindList kinds(100, 100);
  EXPECT_EQ(0, kinds.Append(5, 7, 2));
  ASSERT_EQ(2, kinds.Count());
  EXPECT_EQ("id=1  dh=5  bdh=-1  k=0", kinds.At(1).PrintLine());
  EXPECT_EQ(2, kinds.Lookup(5, 7));
  EXPECT_EQ(-1, kinds.Lookup(5, 8));
  EXPECT_TRUE(kinds.Exists(5));
  EXPECT_FALSE(kinds.Exists(6));
  kinds.MergeDuplicates();  // sorted: lookups bisect and still answer
  EXPECT_EQ(2, kinds.Lookup(5, 7));

  TXPartList consumptions(100, 100, kinds);
  consumptions.Append(5, -1, 1, 1, 0, 1, 3, /*fix=*/false, 0, 0, 0, -1, 0);
  consumptions.Append(6, -1, 1, 1, 0, 1, 3, /*fix=*/true, 0, 0, 0, -1, 0);
  EXPECT_TRUE(consumptions.At(0).fix);
  EXPECT_FALSE(consumptions.At(1).fix);

  TPartSpecList specs(100, 100, kinds);
  specs.Append(5, 7, -1, 1, 2, 1, 0, 1, false, 0, 0, -1, 0, 0, 1, 0);
  specs.Append(5, 9, -1, 1, 2, 1, 0, 1, false, 0, 0, -1, 0, 0, 1, 0);
  specs.Append(6, 7, -1, 1, 2, 1, 0, 1, false, 0, 0, -1, 0, 0, 1, 0);
  EXPECT_EQ(2, specs.At(0).fk);
  EXPECT_EQ(-1, specs.At(1).fk);  // fixed document, no kind against party 9
  EXPECT_TRUE(specs.At(1).fix);
  EXPECT_EQ(-1, specs.At(2).fk);
}

TEST(CalcPartRows, PartiesTakeTheirPriorityAndAreReadByKey) {
  TRemainsList parties(100, 100);
  parties.Priorities().Append(0, 1, 7, 8);
  parties.Append(10, -1, 45000, 1, 1, 0, 2.5, 0, 0, -1, 3);
  parties.Append(11, 4, 45001, 1, 9, 9, 1, 0, 0, -1, 3);
  EXPECT_EQ(7, parties.At(0).p);
  EXPECT_EQ(8, parties.At(0).pfm);
  EXPECT_EQ(-1, parties.At(1).p);
  EXPECT_EQ(-1, parties.At(1).pfm);
  EXPECT_EQ("id=0 new=0 del=0 dh=10 mdh=-1 d=15.03.2023 pi=1 ot=1 dk=0 q=2.5 p=7 pfm=8 rub=0 cur=0 th=-1 ci=3 fq=0",
            parties.At(0).PrintLine());

  parties.SetNew();
  EXPECT_EQ(0.0, parties.GetQuantity(10, 4));  // absent: 0, nothing changes
  EXPECT_TRUE(parties.At(0).New);
  EXPECT_EQ(2.5, parties.GetQuantity(10, -1));
  EXPECT_FALSE(parties.At(0).New);
  parties.FirstNew();
  EXPECT_EQ(11, parties.Current().dh);
  EXPECT_EQ(4, parties.GetFieldInteger("MoveDocHead"));
  EXPECT_EQ(1.0, parties.GetFieldDouble("anything"));
  EXPECT_THROW(parties.GetFieldInteger("dochead"), EOrlixError);  // names are exact
  parties.NextNew();
  EXPECT_THROW(parties.GetFieldInteger("DocHead"), EOrlixError);  // no current row
}

TEST(CalcPartRows, SplitsLoadedByTheCallerAreNeverNew) {
  TFixKindList kinds(100, 100);
  TPartSpecList specs(100, 100, kinds);
  TRetSpecList rets(10, 10, kinds);
  specs.Append(1, 2, -1, 1, 0, 1, 0, 1, false, 0, 0, -1, 0, 0, 0, 0);
  specs.Append(3, 2, -1, 1, 0, 1, 0, 1, false, 0, 0, -1, 0, 0, 0, 0);
  specs.At(0).cp = 3;
  rets.Append(1, 2, 3, 4, 1, 0, 1, false, 0, 0, -1, 0);
  rets.At(0).cp = 1;
  specs.SetNew();
  rets.SetNew();
  EXPECT_FALSE(specs.At(0).New);
  EXPECT_TRUE(specs.At(1).New);
  EXPECT_FALSE(rets.At(0).New);
  EXPECT_EQ("id=0 new=0 del=0 dh=1 odh=2 idh=3 mdh=4 q=1 d=30.12.1899 pi=1 fix=0 rub=0 cur=0 th=-1 ci=0 cp=1",
            rets.At(0).PrintLine());
  EXPECT_EQ(3, rets.GetFieldInteger("InDocHead"));
  EXPECT_EQ(2, rets.GetFieldInteger("OutDocHead"));
}

// Every mode answers exactly -1, 0 or 1, both ways round, and compares the
// extremes of the integer range without overflow.
template <class List, class Row>
void ExpectOrdered(const List& list, const Row& low, const Row& high) {
  EXPECT_EQ(-1, list.CompareItems(low, high));
  EXPECT_EQ(1, list.CompareItems(high, low));
  EXPECT_EQ(0, list.CompareItems(low, low));
}

TEST(CalcPartRows, SortModesOrderAsTheEngineNeeds) {
  TFixKindList kinds(100, 100);
  TXPartList xpart(10, 10, kinds);
  TXPart a, b;
  a.dh = INT_MIN;
  b.dh = INT_MAX;
  ExpectOrdered(xpart, a, b);  // default: dh, mdh
  xpart.SetSortMode(TXPartList::kFifo);
  ExpectOrdered(xpart, a, b);
  b.fix = true;  // fixed first
  ExpectOrdered(xpart, b, a);
  b.fix = false;
  a.rq = 1;  // rows without returns first, before dh
  ExpectOrdered(xpart, b, a);
  xpart.SetSortMode(TXPartList::kLatestFirst);  // dk, d desc, dh desc
  ExpectOrdered(xpart, b, a);
  a.d = 2;
  ExpectOrdered(xpart, a, b);
  xpart.SetSortMode(TXPartList::kMovesFirst);  // moves first, then d
  ExpectOrdered(xpart, b, a);
  a.dk = 2;
  ExpectOrdered(xpart, a, b);

  TXRetList xret(10, 10, kinds);
  TXRet y, z;
  y.d = 1;
  z.d = 2;
  z.mdh = INT_MIN;
  xret.SetSortMode(TXRetList::kFifo);  // d, then mdh desc
  ExpectOrdered(xret, y, z);
  z.d = 1;
  ExpectOrdered(xret, y, z);
  xret.SetSortMode(TXRetList::kLatestFirst);
  z.d = 3;
  ExpectOrdered(xret, z, y);
  xret.SetSortMode(TXRetList::kLinkedFirst);
  TXPart open;
  y.xp = &open;
  ExpectOrdered(xret, y, z);

  TPartSpecList specs(10, 10, kinds);
  TPartSpec s, t;
  s.bd = 1;
  t.bd = 1;
  t.mdh = 5;
  specs.SetSortMode(TPartSpecList::kByBaseDate);  // moved parties first
  ExpectOrdered(specs, t, s);
  s.mdh = 6;
  ExpectOrdered(specs, t, s);
  specs.SetSortMode(TPartSpecList::kFixedByPlace);
  s.fix = t.fix = true;
  s.dk = t.dk = 1;
  s.fk = 2;
  t.fk = 1;
  ExpectOrdered(specs, s, t);  // fk desc between fixed dk-1 rows
  s.dk = t.dk = 2;
  ExpectOrdered(specs, t, s);  // otherwise fk does not count: mdh decides

  TRemainsList parties(10, 10);
  TRemains r1, r2;
  r1.d = 5;
  r1.pi = 1;
  r2.d = 1;
  r2.pi = 2;
  parties.SetSortMode(TRemainsList::kByDate);
  ExpectOrdered(parties, r2, r1);
  parties.SetSortMode(TRemainsList::kByPlaceDate);
  ExpectOrdered(parties, r1, r2);
}

// The sort modes sort on copied keys; they must still order as the pairwise
// rules they state: moved parties first and mdh only between moved ones (by
// base date); fk descending only between fixed rows of dk 1 (fixed by place).
struct MovedThenMdh {
  static int Compare(const TPartSpec& a, const TPartSpec& b) {
    const bool a_moved = a.mdh != kNoDoc, b_moved = b.mdh != kNoDoc;
    if (a_moved != b_moved) return a_moved ? -1 : 1;
    return a_moved ? Compare3(a.mdh, b.mdh) : 0;
  }
};
struct FixedKindDesc {
  static int Compare(const TPartSpec& a, const TPartSpec& b) {
    return a.fix && b.fix && a.dk == 1 && b.dk == 1 ? Compare3(b.fk, a.fk) : 0;
  }
};

TEST(CalcPartRows, ModeSortsFollowTheirPairwiseRules) {
  using ByBaseDate = KeyOrder<Asc<&TPartSpec::cp>, Asc<&TPartSpec::bd>, MovedThenMdh, Asc<&TPartSpec::idh>>;
  using FixedByPlace =
      KeyOrder<Asc<&TPartSpec::dk>, Desc<&TPartSpec::fix>, FixedKindDesc, Asc<&TPartSpec::pi>, Asc<&TPartSpec::bd>,
               Asc<&TPartSpec::d>, Asc<&TPartSpec::dh>, Asc<&TPartSpec::idh>, Asc<&TPartSpec::mdh>>;
  TFixKindList kinds(10, 10);
  TPartSpecList specs(0, 64, kinds);
  std::mt19937 random(5);
  auto pick = [&](int n) { return static_cast<int32_t>(random() % static_cast<unsigned>(n)); };
  for (int round = 0; round < 50; ++round) {
    specs.Clear();
    for (int i = 0; i < 100; ++i) {
      TPartSpec& row = specs.At(
          specs.Append(pick(4), pick(4), pick(3) - 1, 1.0, pick(3), pick(3), 0, 1, false, 0, 0, -1, 0, 0, pick(3), 0));
      row.fix = pick(2) == 1;
      row.fk = pick(4);
      row.cp = pick(2);
      row.dk = 1 + pick(2);
    }
    specs.SetSortMode(TPartSpecList::kByBaseDate);
    specs.Sort();
    for (int i = 1; i < specs.Count(); ++i) ASSERT_LE(ByBaseDate::Compare(specs.At(i - 1), specs.At(i)), 0) << i;
    specs.SetSortMode(TPartSpecList::kFixedByPlace);
    specs.Sort();
    for (int i = 1; i < specs.Count(); ++i) ASSERT_LE(FixedByPlace::Compare(specs.At(i - 1), specs.At(i)), 0) << i;
  }
}

TEST(CalcPartRows, ReferenceListsOrderByTheRowsTheyReferTo) {
  TPartSpec early, late;
  early.bd = 1;
  late.bd = 2;
  TTPartSpecList refs(10, 10);
  refs.Add(late);
  refs.Add(early);
  refs.SetSortMode(TTPartSpecList::kByBaseDate);
  refs.Sort();
  EXPECT_EQ(&early, refs.At(0).row);
  early.ID = 9;
  EXPECT_EQ(0, refs.At(1).ID);
  EXPECT_EQ(refs.At(1).PrintLine().substr(0, 25), "id=0 new=0 del=0 dh=0 idh");

  TXPart first, second;
  first.d = 1;
  second.d = 2;
  TXRet a, b, c;
  a.xp = &second;
  b.xp = &first;
  TTXRetList rets(10, 10);
  rets.Add(c);
  rets.Add(a);
  rets.Add(b);
  rets.SetSortMode(TTXRetList::kCandidates);
  rets.Sort();
  EXPECT_EQ(&b, rets.At(0).row);  // tied returns first, by their consumption's d
  EXPECT_EQ(&a, rets.At(1).row);
  EXPECT_EQ(&c, rets.At(2).row);
  EXPECT_EQ("ID=0  Deleted=0", rets.At(2).PrintLine());
}

}  // namespace
}  // namespace orlix
