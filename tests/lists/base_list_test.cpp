// The pooled record list: pool exchange, numbering, cursor, sorting,
// bisection, merging, removal of empty records and printing.
#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "lists/base_list.h"
#include "lists/row.h"

namespace orlix {
namespace {

// A record with one integer key whose Merge adds quantities.
class TKeyItem : public TBaseItem {
 public:
  void Assign(const TBaseItem& source) override {
    const auto& other = CheckedCast<const TKeyItem>(source);
    Key = other.Key;
    Quantity = other.Quantity;
    Deleted = other.Deleted;
  }
  void Merge(const TBaseItem& other) override { Quantity += other.Quantity; }
  int Compare(const TBaseItem& other) const override {
    return Compare3(Key, static_cast<const TKeyItem&>(other).Key);
  }

  int Key = 0;
};

constexpr TRecordKind kKeyItem = RecordKindOf<TKeyItem>();

// A descendant list in the usual pattern: its record maker, then a work item.
class TKeyList final : public TBaseList {
 public:
  TKeyList(int size, int capacity, TRecordKind kind = kKeyItem)
      : TBaseList(size, capacity, kind), work_(new TKeyItem) {}
  ~TKeyList() override { ReleaseRecord(work_); }

  int CompareItems(const TBaseItem& a, const TBaseItem& b) const override {
    ++compares;
    if (SortMode() == 1) return -TBaseList::CompareItems(a, b);  // descending
    return TBaseList::CompareItems(a, b);
  }

  TKeyItem& Work() { return static_cast<TKeyItem&>(*work_); }
  int Append(int key, double quantity = 1.0) {
    Work().Key = key;
    Work().Quantity = quantity;
    return Add(work_);
  }
  int Insert(int key, double quantity = 1.0) {
    Work().Key = key;
    Work().Quantity = quantity;
    return AddSorted(work_);
  }
  int FindKey(int key) {
    Work().Key = key;
    return Find(*work_);
  }
  int FoldIn(int key, double quantity) {
    Work().Key = key;
    Work().Quantity = quantity;
    return FindMerge(work_);
  }
  std::vector<int> Keys() const {
    std::vector<int> keys;
    for (int i = 0; i < Count(); ++i) keys.push_back(ItemAs<TKeyItem>(i).Key);
    return keys;
  }

  TBaseItem* work_;
  mutable int compares = 0;
};

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EOrlixError& e) {
    return e.what();
  }
  return "<no failure>";
}

TEST(BaseListPool, ExchangesTheWorkItemForASpare) {
  TKeyList list(2, 10);
  EXPECT_EQ(2, list.Size());
  TBaseItem* spare0 = &list.Item(0);
  TBaseItem* filled = list.work_;
  EXPECT_EQ(0, list.Append(5));
  EXPECT_EQ(filled, &list.Item(0)) << "the filled work item becomes the record";
  EXPECT_EQ(spare0, list.work_) << "the caller gets the former spare back";
  EXPECT_EQ(0, list.Item(0).ID);
  EXPECT_FALSE(list.Item(0).Deleted);
}

TEST(BaseListPool, GrowsByCapacityAndCapacityZeroMeansOne) {
  TKeyList list(0, 0);
  EXPECT_EQ(1, list.Capacity());
  for (int i = 0; i < 3; ++i) {
    list.Append(i);
    EXPECT_EQ(i + 1, list.Size());
  }
  TKeyList stepped(0, 100);
  stepped.Append(1);
  EXPECT_EQ(100, stepped.Size());
  for (int i = 0; i < 100; ++i) stepped.Append(i);
  EXPECT_EQ(200, stepped.Size());
}

TEST(BaseListPool, DeleteKeepsTheRecordAsTheNextSpare) {
  TKeyList list(0, 4);
  for (int k : {10, 20, 30}) list.Append(k);
  TBaseItem* removed = &list.Item(1);
  list.Delete(1);
  EXPECT_EQ((std::vector<int>{10, 30}), list.Keys());
  EXPECT_EQ(removed, &list.Item(2));
  list.Append(40);
  EXPECT_EQ(removed, list.work_) << "the next Add hands back the deleted record";
  EXPECT_EQ(3, list.Item(2).ID) << "Delete does not give an ID back";
}

TEST(BaseListPool, NumberingRestartsAfterClearAndPackFreesSpares) {
  TKeyList list(0, 10);
  for (int k : {1, 2, 3}) list.Append(k);
  list.Clear();
  EXPECT_EQ(0, list.Count());
  EXPECT_EQ(10, list.Size());
  list.Append(9);
  EXPECT_EQ(0, list.Item(0).ID);
  list.Pack();
  EXPECT_EQ(1, list.Size());
  EXPECT_EQ(1, list.Count());
  list.TrimEnd(0);
  EXPECT_EQ(0, list.Count());
}

TEST(BaseListPool, MisuseRaisesItsMessage) {
  TKeyList list(0, 1);
  list.Append(1);
  EXPECT_EQ("(Index<0) or (Index>=Count) in the TBaseList.Delete", MessageOf([&] { list.Delete(1); }));
  EXPECT_EQ("(Index<0) or (Index>=Count) in the TBaseList.Delete", MessageOf([&] { list.Delete(-1); }));
  EXPECT_EQ("(FromIndex<0) or (FromIndex>=Count) in the TBaseList.TrimEnd", MessageOf([&] { list.TrimEnd(1); }));
  EXPECT_EQ("Value < 0 in the TBaseList.SetSize", MessageOf([&] { list.SetSize(-1); }));
  EXPECT_EQ("Assign don't exist in the TBaseItem", MessageOf([] { TBaseItem a, b; a.Assign(b); }));
  EXPECT_EQ(1, list.Count()) << "a failed call leaves the list as it was";
}

// Counts the records alive, to see every record built also end.
int g_live_records = 0;
struct TCountedItem final : TKeyItem {
  TCountedItem() { ++g_live_records; }
  ~TCountedItem() override { --g_live_records; }
};

// Makes records until its budget runs out, then fails like an exhausted heap.
int g_records_left = 0;
constexpr TRecordKind kRationedItem = {sizeof(TCountedItem), alignof(TCountedItem),
                                       [](void* place, const TBaseList&) -> TBaseItem* {
                                         if (g_records_left-- <= 0) throw std::bad_alloc();
                                         return new (place) TCountedItem;
                                       }};

TEST(BaseListPool, FailedGrowthKeepsThePoolConsistent) {
  {
    g_records_left = 5;
    TKeyList list(2, 10, kRationedItem);
    list.Append(1);
    list.Append(2);                                // the two spares are used up
    EXPECT_THROW(list.Append(3), std::bad_alloc);  // needs 10 more, 3 are left
    EXPECT_EQ(2, list.Count()) << "a failed growth adds no record";
    EXPECT_EQ(5, list.Size());
    EXPECT_EQ(5, g_live_records);
    g_records_left = 100;
    EXPECT_EQ(2, list.Append(3));
    list.SetSize(1);  // shrinking ends every record beyond; their places are built on again
    EXPECT_EQ(1, list.Size());
    EXPECT_EQ(1, g_live_records);
    list.SetSize(30);
    EXPECT_EQ(30, g_live_records);
    EXPECT_EQ(1, list.Append(4));
  }
  EXPECT_EQ(0, g_live_records) << "the list ends its records, the work item's place changes included";
  g_records_left = 3;
  EXPECT_THROW(TKeyList(8, 8, kRationedItem), std::bad_alloc);
  EXPECT_EQ(0, g_live_records) << "a list failing to construct ends the records it made";
}

TEST(BaseListSorting, AddSortedNeedsASortedListAndKeepsTheOrder) {
  TKeyList list(0, 10);
  list.Append(3);
  const std::string unsorted =
      "\xCD\xE5\xE2\xEE\xE7\xEC\xEE\xE6\xED\xEE \xE2\xF1\xF2\xE0\xE2\xE8\xF2\xFC \xFD\xEB\xE5\xEC\xE5\xED\xF2 "
      "\xE2 \xED\xE5\xEE\xF2\xF1\xEE\xF0\xF2\xE8\xF0\xEE\xE2\xE0\xED\xED\xFB\xE9 \xF1\xEF\xE8\xF1\xEE\xEA";
  EXPECT_EQ(unsorted, MessageOf([&] { list.Insert(1); }));
  EXPECT_EQ(1, list.Count()) << "nothing was added";
  list.Sort();
  EXPECT_EQ(0, list.Insert(1));
  EXPECT_EQ(2, list.Insert(7));
  EXPECT_EQ(1, list.Insert(2));
  EXPECT_EQ((std::vector<int>{1, 2, 3, 7}), list.Keys());
  EXPECT_TRUE(list.Sorted());
}

TEST(BaseListSorting, EqualNewRecordLandsBeforeTheEqualRecordMet) {
  TKeyList list(0, 10);
  for (int k : {1, 5, 9}) list.Insert(k);
  const int at = list.Insert(5);
  EXPECT_EQ(1, at);
  EXPECT_EQ(3, list.Item(1).ID) << "the newest record stands first among equals";
  EXPECT_EQ(1, list.Item(2).ID);
}

TEST(BaseListSorting, QuicksortMatchesAReferenceSortForAnyInput) {
  std::mt19937 random(7);
  for (int n : {0, 1, 2, 3, 17, 1000}) {
    for (int range : {3, 1000000}) {
      TKeyList list(0, 64);
      std::vector<int> expected;
      for (int i = 0; i < n; ++i) {
        const int key = static_cast<int>(random() % range) - range / 2;
        list.Append(key);
        expected.push_back(key);
      }
      list.Sort();
      std::sort(expected.begin(), expected.end());
      ASSERT_EQ(expected, list.Keys()) << n << " records in range " << range;
    }
  }
  TKeyList sorted_input(0, 64);
  for (int i = 0; i < 100000; ++i) sorted_input.Append(i);
  sorted_input.Sort();  // already ordered input must not degrade or overflow the stack
  EXPECT_EQ(99999, sorted_input.ItemAs<TKeyItem>(99999).Key);
}

TEST(BaseListSorting, SortModeSwitchesTheComparisonAndMarksUnsorted) {
  TKeyList list(0, 10);
  for (int k : {2, 3, 1}) list.Append(k);
  list.Sort();
  EXPECT_EQ((std::vector<int>{1, 2, 3}), list.Keys());
  list.SetSortMode(1);
  EXPECT_FALSE(list.Sorted());
  list.Sort();
  EXPECT_EQ((std::vector<int>{3, 2, 1}), list.Keys());
  list.SetSortMode(1);
  EXPECT_TRUE(list.Sorted()) << "the same mode again changes nothing";
}

TEST(BaseListFind, TriesTheCursorThenBisectsFromTheLastRecord) {
  TKeyList list(0, 100);
  for (int k = 0; k < 64; ++k) list.Append(k * 2);
  list.Sort();
  list.SetCursor(-1);
  list.compares = 0;
  EXPECT_EQ(63, list.FindKey(126));
  EXPECT_EQ(1, list.compares) << "the first probe is the last record";
  list.SetCursor(10);
  list.compares = 0;
  EXPECT_EQ(10, list.FindKey(20));
  EXPECT_EQ(1, list.compares) << "the record under the cursor answers first";
  EXPECT_EQ(-1, list.FindKey(21));
  EXPECT_EQ(-1, list.FindKey(-5));
  EXPECT_EQ(-1, list.FindKey(1000));
  for (int k = 0; k < 64; ++k) ASSERT_EQ(k, list.FindKey(k * 2));
}

TEST(BaseListFind, UnsortedListAnswersTheFirstEqualRecord) {
  TKeyList list(0, 10);
  for (int k : {4, 8, 4}) list.Append(k);
  list.SetCursor(-1);
  EXPECT_EQ(0, list.FindKey(4));
  EXPECT_EQ(-1, list.FindKey(5));
  TKeyList empty(0, 1);
  EXPECT_EQ(-1, empty.FindKey(0));
}

TEST(BaseListFind, FindMergeFoldsOrInsertsInOrder) {
  TKeyList list(0, 10);
  EXPECT_EQ(-1, list.FoldIn(1, 2.0));
  EXPECT_EQ(-1, list.FoldIn(2, 5.0));
  EXPECT_EQ(0, list.FoldIn(1, 3.0));
  ASSERT_EQ(2, list.Count());
  EXPECT_EQ(5.0, list.Item(0).Quantity);
  EXPECT_EQ(5.0, list.Item(1).Quantity);
}

TEST(BaseListMerge, MergesDuplicatesAndDropsEmptyRecords) {
  TKeyList list(0, 10);
  list.Append(2, 3.0);
  list.Append(1, 1.0);
  list.Append(1, 2.0);
  list.MergeDuplicates();
  ASSERT_EQ((std::vector<int>{1, 2}), list.Keys());
  EXPECT_EQ(3.0, list.Item(0).Quantity);
  EXPECT_EQ(3.0, list.Item(1).Quantity);

  TKeyList netting(0, 10);
  netting.Append(5, 1.0);
  netting.Append(5, -1.0 + 1e-11);  // nets to within the zero tolerance
  netting.Append(6, 1e-10);         // exactly at the tolerance: empty
  netting.Append(7, 2e-10);
  netting.MergeDuplicates();
  EXPECT_EQ((std::vector<int>{7}), netting.Keys());
  EXPECT_TRUE(netting.Sorted());
}

TEST(BaseListMerge, RemoveEmptyKeepsTheOrderOfTheRest) {
  TKeyList list(0, 10);
  for (int k : {5, 1, 4, 2}) list.Append(k, k % 2 ? 1.0 : 0.0);
  list.Item(0).Deleted = true;
  list.RemoveEmpty();
  EXPECT_EQ((std::vector<int>{1}), list.Keys());
  EXPECT_EQ(10, list.Size()) << "removed records stay as spares";
}

TEST(BaseListCursor, MovesWithinBoundsAndWalksNewRecords) {
  TKeyList list(0, 10);
  EXPECT_TRUE(list.Bof()) << "an empty list is at BOF whatever the cursor";
  EXPECT_TRUE(list.Eof());
  for (int k : {1, 2, 3, 4}) list.Append(k);
  list.Last();
  list.Next();
  EXPECT_TRUE(list.Eof());
  list.Next();
  EXPECT_EQ(4, list.Cursor()) << "Next at EOF changes nothing";
  list.SetCursor(-1);
  list.Prior();
  EXPECT_EQ(-1, list.Cursor()) << "Prior at BOF changes nothing";
  list.First();
  EXPECT_FALSE(list.Bof());

  list.SetNew();
  list.Item(0).New = false;
  list.Item(2).New = false;
  std::vector<int> walked;
  for (list.FirstNew(); !list.Eof(); list.NextNew()) walked.push_back(list.ItemAs<TKeyItem>(list.Cursor()).Key);
  EXPECT_EQ((std::vector<int>{2, 4}), walked);
  list.First();
  EXPECT_EQ(1.0, list.GetFieldDouble("anything"));
  list.SetCursor(4);
  EXPECT_EQ(0.0, list.GetFieldDouble("anything"));
  EXPECT_EQ(0, list.GetFieldInteger("anything"));
}

TEST(BaseListPrint, WritesTheHeaderThenOneLinePerRecord) {
  TLines lines;
  TKeyList empty(100, 100);
  empty.Print(lines);
  EXPECT_EQ((TLines{"Count=0  Size=100  Capacity=100"}), lines);

  TKeyList list(0, 3);
  list.Append(1);
  list.Append(2);
  list.Item(1).Deleted = true;
  lines.clear();
  list.Print(lines);
  EXPECT_EQ((TLines{"Count=2  Size=3  Capacity=3", "ID=0  Deleted=0", "ID=1  Deleted=1"}), lines);
}

TEST(BaseListCopies, AddCopiesAssignsEveryRecordInOrder) {
  TKeyList source(0, 4);
  for (int k : {3, 1}) source.Append(k, k * 1.5);
  TKeyList target(0, 4);
  target.Append(9);
  target.AddCopies(source);
  EXPECT_EQ((std::vector<int>{9, 3, 1}), target.Keys());
  EXPECT_EQ(1.5, target.Item(2).Quantity);
}

}  // namespace
}  // namespace orlix
