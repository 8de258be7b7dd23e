// Per-thread registries: engines by name, value lists by handle, and the
// destruction of everything a thread built when it ends.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "frame/export_guard.h"
#include "frame/registry.h"
#include "support/test_support.h"

extern "C" int32_t ibVarExists(const char* name);

namespace orlix {
namespace {

using testing::ScratchLog;

// Records destruction so tests can see order and thread.
std::vector<std::string>* g_destroyed = nullptr;

class TProbe : public TObject {
 public:
  explicit TProbe(std::string label = "probe") : label_(std::move(label)) {}
  ~TProbe() override {
    if (g_destroyed) g_destroyed->push_back(label_);
  }
  std::string label_;
};

class TEngineA final : public TProbe {
 public:
  TEngineA() : TProbe("engine") {}
  int data = 0;
};
class TEngineB final : public TProbe {};

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

class TTables final : public TProbe {
 public:
  TTables() : TProbe("tables") {}
};
TObject* MakeTables() { return new TTables; }

constexpr ExportSite kCreateSite{"ibTestEngineCreate", FailureLine::kColon};

class RegistryTest : public ::testing::Test {
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

TEST_F(RegistryTest, SecondEngineOfANameIsRefusedAndTheFirstKeepsItsData) {
  ScratchLog log;
  ASSERT_EQ(1, CreateEngine<TEngineA>("CalcPart"));
  FindEngine<TEngineA>("CalcPart")->data = 42;
  const int second = Guard(kCreateSite, 0, [] { return CreateEngine<TEngineA>("CALCPART"); });
  EXPECT_EQ(0, second);
  EXPECT_EQ(42, FindEngine<TEngineA>("calcpart")->data);
  EXPECT_EQ(std::vector<std::string>{"engine"}, destroyed_) << "the refused engine is destroyed";
  const auto messages = log.Messages();
  ASSERT_EQ(1u, messages.size());
  EXPECT_EQ(0u, messages[0].find("ibTestEngineCreate: except=String list does not allow duplicates")) << messages[0];
  EXPECT_NE(std::string::npos, log.Contents().find("  ErrCode="));

  // Another thread has its own registry: the same name is free there.
  int on_other_thread = -1;
  std::thread([&] { on_other_thread = CreateEngine<TEngineA>("CalcPart"); }).join();
  EXPECT_EQ(1, on_other_thread);
}

TEST_F(RegistryTest, VarExistsAnswersPerThreadAndIgnoresCase) {
  EXPECT_EQ(0, ibVarExists("CalcPart"));
  ASSERT_EQ(1, CreateEngine<TEngineA>("CalcPart"));
  EXPECT_EQ(1, ibVarExists("calcpart"));
  EXPECT_EQ(0, ibVarExists("calcpart "));  // the name is not trimmed
  EXPECT_EQ(0, ibVarExists(nullptr));
  int elsewhere = -1;
  std::thread([&] { elsewhere = ibVarExists("CalcPart"); }).join();
  EXPECT_EQ(0, elsewhere);
  EXPECT_EQ(1, FreeEngine("CALCPART"));
  EXPECT_EQ(0, ibVarExists("CalcPart"));
  EXPECT_EQ(0, FreeEngine("CalcPart"));
}

TEST_F(RegistryTest, FindEngineOfTheWrongClassIsAnInvalidCast) {
  ASSERT_EQ(1, CreateEngine<TEngineA>("Cut"));
  EXPECT_EQ(nullptr, FindEngine<TEngineA>("Ostatok"));
  EXPECT_THROW(FindEngine<TEngineB>("Cut"), EInvalidCast);
}

TEST_F(RegistryTest, ObjectRegistryStaysSortedWhateverTheOrderOfCreation) {
  for (const char* name : {"Ostatok", "Cut", "OstStore", "CalcPart"}) ASSERT_EQ(1, CreateEngine<TEngineB>(name));
  TRegistry* registry = GetObjectRegistry();
  ASSERT_EQ(4, registry->Count());
  EXPECT_EQ("CalcPart", registry->Name(0));
  EXPECT_EQ("Cut", registry->Name(1));
  EXPECT_EQ("Ostatok", registry->Name(2));
  EXPECT_EQ("OstStore", registry->Name(3));
  for (const char* name : {"calcpart", "CUT", "ostatok", "oststore"}) EXPECT_NE(nullptr, FindEngine<TEngineB>(name));
}

TEST_F(RegistryTest, HandlesArePositionsAndFreedEntriesAreReused) {
  EXPECT_EQ(1, CreateList<TListA>("a"));
  EXPECT_EQ(2, CreateList<TListA>("b"));
  EXPECT_EQ(1, FreeList<TListA>(1, "ibFree"));
  EXPECT_EQ(1, CreateList<TListA>("c"));
  EXPECT_EQ(0, FindList<TListA>("a", "ibByName"));
  EXPECT_EQ(1, FindList<TListA>("C", "ibByName"));
  EXPECT_EQ(2, FindList<TListA>("b", "ibByName"));
  EXPECT_EQ(3, CreateList<TListB>("d"));
}

TEST_F(RegistryTest, CreatingAnExistingNameReplacesTheListInPlace) {
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

TEST_F(RegistryTest, BadHandlesAreSilentAndWrongKindsAreWarned) {
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

TEST_F(RegistryTest, FreeingAListOfAnotherKindWarnsAndFreesIt) {
  ScratchLog log;
  ASSERT_EQ(1, CreateList<TListA>("s"));
  EXPECT_EQ(1, FreeList<TListB>(1, "ibListIntFree"));
  EXPECT_EQ(std::vector<std::string>{"listA"}, destroyed_);
  EXPECT_EQ(1u, log.Messages().size());
}

TEST_F(RegistryTest, ThreadEndDestroysEnginesThenTablesThenLists) {
  std::vector<std::string> order;
  g_destroyed = &order;
  std::thread([] {
    ASSERT_EQ(1, CreateList<TListA>("l1"));
    ASSERT_EQ(2, CreateList<TListB>("l2"));
    ASSERT_NE(nullptr, GetTableRegistrySlot(&MakeTables));
    ASSERT_EQ(1, CreateEngine<TEngineA>("Ostatok"));
    ASSERT_EQ(1, CreateEngine<TEngineB>("Cut"));
  }).join();
  // Engines in registry order (Cut before Ostatok), then tables, then lists.
  EXPECT_EQ((std::vector<std::string>{"probe", "engine", "tables", "listA", "listB"}), order);
  g_destroyed = &destroyed_;
}

TEST_F(RegistryTest, ANewThreadStartsWithEmptyRegistries) {
  ASSERT_EQ(1, CreateList<TListA>("mine"));
  ASSERT_EQ(1, CreateEngine<TEngineA>("Cut"));
  int handle = -1;
  bool engine_seen = true;
  std::thread([&] {
    handle = FindList<TListA>("mine", "ibX");
    engine_seen = FindEngine<TEngineA>("Cut") != nullptr;
  }).join();
  EXPECT_EQ(0, handle);
  EXPECT_FALSE(engine_seen);
  EXPECT_EQ(1, FindList<TListA>("mine", "ibX"));
}

TEST_F(RegistryTest, TableSlotIsMadeOnceAndKeptPerThread) {
  TObject* first = GetTableRegistrySlot(&MakeTables);
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(first, GetTableRegistrySlot(&MakeTables));
  TObject* other = nullptr;
  std::thread([&] { other = GetTableRegistrySlot(&MakeTables); }).join();
  EXPECT_NE(nullptr, other);
}

TEST(NameList, IndexErrorsCarryTheIndex) {
  TNameList<int> names(/*sorted=*/false);
  names.Add("x", 1);
  try {
    names.Object(8);
    FAIL() << "no failure raised";
  } catch (const EOrlixError& e) {
    EXPECT_STREQ("List index (8) out of bounds", e.what());
  }
  EXPECT_THROW(names.Object(-1), EOrlixError);
  EXPECT_EQ(1, names.Object(0));
}

TEST(NameList, UnsortedListTakesTheFirstMatchAndAllowsDuplicates) {
  TNameList<int> names(/*sorted=*/false);
  names.Add("dup", 1);
  names.Add("DUP", 2);
  EXPECT_EQ(0, names.IndexOf("Dup"));
  names.Delete(0);
  EXPECT_EQ(2, names.Object(names.IndexOf("dup")));
}

}  // namespace
}  // namespace orlix
