// The table registry: handles (lowest free one reused, array grown in steps),
// names without regard to letter case, its two failures, and its life with
// the thread.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <thread>

#include "frame/registry.h"
#include "memtable/table_list.h"
#include "support/test_support.h"

namespace orlix {
namespace {

// "Таблица " and the two endings, in Windows-1251.
const std::string kTable = "\xD2\xE0\xE1\xEB\xE8\xF6\xE0 ";
const std::string kExists = " \xF3\xE6\xE5 \xF1\xF3\xF9\xE5\xF1\xF2\xE2\xF3\xE5\xF2 TTableList.CreateTable";
const std::string kMissing = " \xED\xE5 \xF1\xF3\xF9\xE5\xF1\xF2\xE2\xF3\xE5\xF2 TTableList.FreeTable";

TEST(TableListTest, TheLowestFreeHandleIsReused) {
  TTableList tables;
  EXPECT_EQ(tables.CreateTable("a"), 1);
  EXPECT_EQ(tables.CreateTable("b"), 2);
  EXPECT_EQ(tables.CreateTable("c"), 3);
  tables.FreeTable(2);
  EXPECT_EQ(tables.CreateTable("d"), 2);
  tables.FreeTable(3);
  EXPECT_EQ(tables.CreateTable("e"), 3);
  EXPECT_EQ(tables.CreateTable("f"), 4);
  EXPECT_EQ(tables.TableByName("B"), 0) << "a freed name is gone";
  EXPECT_EQ(tables.TableByName("D"), 2);
  EXPECT_EQ(tables.Count(), 4);
}

TEST(TableListTest, TwelveTablesStayReachableByHandleAndName) {
  TTableList tables;
  for (int i = 1; i <= 12; ++i) EXPECT_EQ(tables.CreateTable("t" + std::to_string(i)), i);
  EXPECT_EQ(tables.HandleCapacity(), 20u) << "grown twice by ten";
  for (int i = 1; i <= 12; ++i) {
    const std::string name = "t" + std::to_string(i);
    ASSERT_NE(tables.TableByHandle(i), nullptr);
    EXPECT_EQ(tables.TableByHandle(i)->TableName(), name);
    EXPECT_EQ(tables.TableByName(name), i);
  }
}

TEST(TableListTest, HandlesOfNoTableYieldNothing) {
  TTableList tables;
  tables.CreateTable("a");
  tables.CreateTable("b");
  tables.FreeTable(2);
  for (int handle : {0, -1, 2, 3, 10, 11, INT_MAX, INT_MIN}) EXPECT_EQ(tables.TableByHandle(handle), nullptr) << handle;
  EXPECT_NE(tables.TableByHandle(1), nullptr);
}

TEST(TableListTest, DuplicateNamesAndUnknownHandlesRaiseTableExists) {
  TTableList tables;
  const int handle = tables.CreateTable("Stock");
  tables.TableByHandle(handle)->AddField("k", "int", true, "miss");
  try {
    tables.CreateTable("sTOCK");
    FAIL() << "duplicate accepted";
  } catch (const ETableExists& e) {
    EXPECT_EQ(e.what(), kTable + "sTOCK" + kExists);
  }
  EXPECT_EQ(tables.TableByHandle(handle)->FieldDefs().Count(), 1) << "the existing table is untouched";
  try {
    tables.FreeTable(7);
    FAIL() << "unknown handle freed";
  } catch (const ETableExists& e) {
    EXPECT_EQ(e.what(), kTable + "7" + kMissing);
  }
  EXPECT_THROW(tables.FreeTable(-1), ETableExists);
  EXPECT_EQ(tables.TableByName("stock"), handle);
}

TEST(TableListTest, TablesLogTheirCreationAndDestruction) {
  testing::ScratchLog log;
  {
    TTableList tables;
    tables.CreateTable("one");
    tables.CreateTable("two");
    tables.FreeTable(1);
  }
  EXPECT_EQ(log.Messages(), (std::vector<std::string>{"TMemTable.CreateTable=one", "TMemTable.CreateTable=two",
                                                      "TMemTable.Destroy=one", "TMemTable.Destroy=two"}));
}

// The registry is per thread: another thread starts empty, and its tables
// die when it ends.
TEST(TableListTest, EachThreadHasItsOwnRegistryThatDiesWithIt) {
  testing::ScratchLog log;
  DestroyThreadRegistries();
  TTableList* mine = GetTableRegistry();
  ASSERT_NE(mine, nullptr);
  EXPECT_EQ(GetTableRegistry(), mine);
  mine->CreateTable("main");
  std::thread other([&] {
    TTableList* theirs = GetTableRegistry();
    ASSERT_NE(theirs, nullptr);
    EXPECT_NE(theirs, mine);
    EXPECT_EQ(theirs->TableByName("main"), 0);
    EXPECT_EQ(theirs->CreateTable("worker"), 1);
  });
  other.join();
  EXPECT_EQ(mine->TableByName("main"), 1);
  const auto messages = log.Messages();
  EXPECT_NE(std::find(messages.begin(), messages.end(), "TMemTable.Destroy=worker"), messages.end());
  DestroyThreadRegistries();
  EXPECT_EQ(log.Messages().back(), "TMemTable.Destroy=main");
}

}  // namespace
}  // namespace orlix
