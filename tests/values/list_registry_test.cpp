// The value lists' handle rules: handles are registry positions + 1, freed
// entries are reused, a create under a present name replaces that list, and a
// handle of another kind is warned about under the export that received it.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "values/list_registry.h"

namespace orlix {
namespace {

using testing::ScratchLog;

// Records destruction so tests can see what a create or free destroyed.
std::vector<std::string>* g_destroyed = nullptr;

class TProbe : public TObject {
 public:
  explicit TProbe(std::string label) : label_(std::move(label)) {}
  ~TProbe() override {
    if (g_destroyed) g_destroyed->push_back(label_);
  }
  std::string label_;
};

// Two list kinds standing in for the value lists.
class TListA final : public TProbe {
 public:
  TListA() : TProbe("listA") {}
  std::vector<int> items;
};
class TListB final : public TProbe {
 public:
  TListB() : TProbe("listB") {}
};

class ListRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DestroyThreadRegistries();
    g_destroyed = &destroyed_;
  }
  void TearDown() override {
    DestroyThreadRegistries();
    g_destroyed = nullptr;
  }
  std::vector<std::string> destroyed_;
};

TEST_F(ListRegistryTest, HandlesArePositionsAndFreedEntriesAreReused) {
  EXPECT_EQ(1, CreateList<TListA>("a"));
  EXPECT_EQ(2, CreateList<TListA>("b"));
  EXPECT_EQ(1, FreeList<TListA>(1, "ibFree"));
  EXPECT_EQ(1, CreateList<TListA>("c"));
  EXPECT_EQ(0, FindList<TListA>("a", "ibByName"));
  EXPECT_EQ(1, FindList<TListA>("C", "ibByName"));
  EXPECT_EQ(2, FindList<TListA>("b", "ibByName"));
  EXPECT_EQ(3, CreateList<TListB>("d"));
}

TEST_F(ListRegistryTest, CreatingAnExistingNameReplacesTheListInPlace) {
  ScratchLog log;
  const std::string spisok = "\xD1\xEF\xE8\xF1\xEE\xEA";  // Список
  const std::string SPISOK = "\xD1\xCF\xC8\xD1\xCE\xCA";  // СПИСОК
  ASSERT_EQ(1, CreateList<TListA>(spisok));
  ResolveList<TListA>(1, "x")->items.push_back(7);
  ASSERT_EQ(1, CreateList<TListA>(SPISOK));
  EXPECT_TRUE(ResolveList<TListA>(1, "x")->items.empty());
  ASSERT_EQ(1, CreateList<TListB>(spisok));  // another kind under the same name
  EXPECT_NE(nullptr, ResolveList<TListB>(1, "x"));
  EXPECT_EQ((std::vector<std::string>{"  \xE7\xE0\xEC\xE5\xED\xE0", "  \xE7\xE0\xEC\xE5\xED\xE0"}), log.Messages());
  EXPECT_EQ((std::vector<std::string>{"listA", "listA"}), destroyed_);
}

TEST_F(ListRegistryTest, BadHandlesAreSilentAndWrongKindsAreWarned) {
  ScratchLog log;
  const std::string warning = "\xE2\xED\xE8\xEC\xE0\xED\xE8\xE5 - \xED\xE5\xE2\xE5\xF0\xED\xFB\xE9 \xF2\xE8\xEF \xE2 ";
  ASSERT_EQ(1, CreateList<TListA>("a"));
  EXPECT_EQ(nullptr, ResolveList<TListA>(0, "ibX"));
  EXPECT_EQ(nullptr, ResolveList<TListA>(-5, "ibX"));
  EXPECT_EQ(nullptr, ResolveList<TListA>(2, "ibX"));
  EXPECT_EQ(nullptr, ResolveList<TListA>(INT32_MIN, "ibX"));
  EXPECT_EQ(0, FreeList<TListA>(0, "ibX"));
  EXPECT_EQ(0, FreeList<TListA>(INT32_MIN, "ibX"));
  EXPECT_EQ(0, FreeList<TListA>(9, "ibX"));
  EXPECT_TRUE(log.Messages().empty());

  EXPECT_EQ(nullptr, ResolveList<TListB>(1, "ibListIntCount"));  // another kind
  EXPECT_EQ(0, FindList<TListB>("a", "ibListIntByName"));
  EXPECT_EQ(1, FreeList<TListA>(1, "ibListStrFree"));
  EXPECT_EQ(1, FreeList<TListA>(1, "ibListStrFree"));  // twice: warned, still 1
  EXPECT_EQ(nullptr, ResolveList<TListA>(1, "ibListStrCount"));  // freed
  EXPECT_EQ(0, FindList<TListA>("a", "ibListStrByName"));         // freed: silent
  EXPECT_EQ((std::vector<std::string>{warning + "ibListIntCount", warning + "ibListIntByName",
                                      warning + "ibListStrFree", warning + "ibListStrCount"}),
            log.Messages());
}

TEST_F(ListRegistryTest, FreeingAListOfAnotherKindWarnsAndFreesIt) {
  ScratchLog log;
  ASSERT_EQ(1, CreateList<TListA>("s"));
  EXPECT_EQ(1, FreeList<TListB>(1, "ibListIntFree"));
  EXPECT_EQ(std::vector<std::string>{"listA"}, destroyed_);
  EXPECT_EQ(1u, log.Messages().size());
}

}  // namespace
}  // namespace orlix
