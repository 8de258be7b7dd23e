// The store remains engine: folding by pallet, assortment, pack and goods
// date, the lone-row rule of Execute, lookups, the walk and field readers.
#include <gtest/gtest.h>

#include "frame/failure.h"
#include "remains/ost_store.h"

namespace orlix {
namespace {

const TOstStoreItem& Row(const TOstStore& store, int i) { return store.List->ItemAs<TOstStoreItem>(i); }

TEST(TOstStore, ExecuteFoldsEqualKeysDropsZeroSumsAndOrdersByKey) {
  TOstStore store;
  store.Append(45002, 1, 5, 9, 2);
  store.Append(45001, 1, 5, 9, 3);  // same pallet, asrt, pack: ordered by date
  store.Append(45002, 1, 5, 9, 4);  // folded into the first
  store.Append(45000, 7, 1, 9, 6);  // asrt 1 before asrt 5 on pallet 9
  store.Append(45000, 1, 5, 2, 1);  // pallet 2 first
  store.Append(45000, 1, 5, 2, -1);
  store.Append(45000, 0, 0, 1, 1e-11);  // nets to zero within tolerance
  store.Execute();
  ASSERT_EQ(store.List->Count(), 3);
  EXPECT_EQ(Row(store, 0).ASRT, 1);
  EXPECT_EQ(Row(store, 1).GOODDATE, 45001);
  EXPECT_EQ(Row(store, 2).Quantity, 6);
  EXPECT_EQ(store.GetQuantity(45002, 1, 5, 9), 6);
  EXPECT_EQ(store.GetQuantity(45002, 1, 5, 8), 0);
  EXPECT_EQ(store.List->Cursor(), -1);
  EXPECT_EQ(store.GetFieldDouble(TOstStore::kQuantity), 0);
}

TEST(TOstStore, ALoneRowIsKeptAsItIsAndMarkedNew) {
  TOstStore store;
  store.Append(45000, 1, 2, 3, 0);
  store.FirstNew();
  EXPECT_TRUE(store.Eof()) << "no row is new before Execute";
  store.Execute();
  EXPECT_EQ(store.List->Count(), 1) << "a lone row is not tested for emptiness";
  store.FirstNew();
  ASSERT_FALSE(store.Eof());
  EXPECT_EQ(store.GetFieldInteger(TOstStore::kPalet), 3);

  // Rows reused after Clear start without New, whatever they carried.
  store.Clear();
  store.Append(45000, 1, 2, 3, 1);
  store.FirstNew();
  EXPECT_TRUE(store.Eof());
}

TEST(TOstStore, WalkSkipsRowsALookupFound) {
  TOstStore store;
  for (int palet = 1; palet <= 3; ++palet) store.Append(45000 + palet, 1, 2, palet, palet);
  store.Execute();
  EXPECT_EQ(store.GetQuantity(45002, 1, 2, 2), 2);
  int32_t walked = 0;
  for (store.FirstNew(); !store.Eof(); store.NextNew()) {
    walked = walked * 10 + store.GetFieldInteger(TOstStore::kPalet);
    EXPECT_EQ(store.GetFieldDate(TOstStore::kGoodDate), 45000 + store.GetFieldInteger(TOstStore::kPalet));
    EXPECT_EQ(store.GetFieldInteger(TOstStore::kPack), 1);
    EXPECT_EQ(store.GetFieldInteger(TOstStore::kAsrt), 2);
  }
  EXPECT_EQ(walked, 13);
}

TEST(TOstStore, FieldNumbersAndFieldMessages) {
  EXPECT_EQ(TOstStore::GetFieldNumber("quantity"), 4);
  EXPECT_EQ(TOstStore::GetFieldNumber("GoodDate"), 0);
  EXPECT_EQ(TOstStore::GetFieldNumber(" QUANTITY"), -1);
  EXPECT_EQ(TOstStore::GetFieldNumber("ostdate"), -1);
  TOstStore store;
  try {
    store.GetFieldDate(1);  // checked even off the rows
    ADD_FAILURE();
  } catch (const EOrlixError& e) {
    // "... Поле 1 не сущeствует в таблице Остатков по палетам"
    EXPECT_STREQ(e.what(), "TOstStore.GetFieldDate: \xCF\xEE\xEB\xE5 1 \xED\xE5 \xF1\xF3\xF9" "e"
                           "\xF1\xF2\xE2\xF3\xE5\xF2 \xE2 \xF2\xE0\xE1\xEB\xE8\xF6\xE5 "
                           "\xCE\xF1\xF2\xE0\xF2\xEA\xEE\xE2 \xEF\xEE \xEF\xE0\xEB\xE5\xF2\xE0\xEC");
  }
  EXPECT_THROW(store.GetFieldInteger(4), EOrlixError);
  EXPECT_THROW(store.GetFieldDouble(0), EOrlixError);
}

TEST(TOstStore, Print) {
  TOstStore store;
  store.Append(45000, 1, 2, 3, 2.5);
  TLines lines;
  store.Print(lines);
  const TLines expected{"OstStore", "Count=1  Size=100  Capacity=100",
                        "id=0  gd=15.03.2023  pack=1  asrt=2  p=3  q=2.5  del=0", ""};
  EXPECT_EQ(lines, expected);
}

}  // namespace
}  // namespace orlix
