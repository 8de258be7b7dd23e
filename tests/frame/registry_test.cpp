// Per-thread registries: engines by name, the typed thread slots, and the
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

// Stand-ins for the value lists and for the table registry.
class TListA final : public TProbe {
 public:
  TListA() : TProbe("listA") {}
};
class TListB final : public TProbe {
 public:
  TListB() : TProbe("listB") {}
};
class TTables final : public TProbe {
 public:
  TTables() : TProbe("tables") {}
};
using TLists = TObjectRegistry<false>;

TLists& Lists() { return *GetThreadRegistry<TLists>(ThreadSlot::kLists); }

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
  // The last answer kept for quick lookups never outlives the engine.
  TEngineA* first = FindEngine<TEngineA>("Cut");
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(first, FindEngine<TEngineA>("Cut"));
  ASSERT_EQ(1, FreeEngine("Cut"));
  EXPECT_EQ(nullptr, FindEngine<TEngineA>("Cut"));
  ASSERT_EQ(1, CreateEngine<TEngineB>("Cut"));
  EXPECT_THROW(FindEngine<TEngineA>("Cut"), EInvalidCast);
  EXPECT_NE(nullptr, FindEngine<TEngineB>("cut"));
}

TEST_F(RegistryTest, ObjectRegistryStaysSortedWhateverTheOrderOfCreation) {
  for (const char* name : {"Ostatok", "Cut", "OstStore", "CalcPart"}) ASSERT_EQ(1, CreateEngine<TEngineB>(name));
  TEngineRegistry* registry = GetObjectRegistry();
  ASSERT_EQ(4, registry->Count());
  EXPECT_EQ("CalcPart", registry->Name(0));
  EXPECT_EQ("Cut", registry->Name(1));
  EXPECT_EQ("Ostatok", registry->Name(2));
  EXPECT_EQ("OstStore", registry->Name(3));
  for (const char* name : {"calcpart", "CUT", "ostatok", "oststore"}) EXPECT_NE(nullptr, FindEngine<TEngineB>(name));
}

TEST_F(RegistryTest, ThreadEndDestroysEnginesThenTablesThenLists) {
  std::vector<std::string> order;
  g_destroyed = &order;
  std::thread([] {
    Lists().Add("l1", std::make_unique<TListA>());
    Lists().Add("l2", std::make_unique<TListB>());
    ASSERT_NE(nullptr, GetThreadRegistry<TTables>(ThreadSlot::kTables));
    ASSERT_EQ(1, CreateEngine<TEngineA>("Ostatok"));
    ASSERT_EQ(1, CreateEngine<TEngineB>("Cut"));
  }).join();
  // Engines in registry order (Cut before Ostatok), then tables, then lists.
  EXPECT_EQ((std::vector<std::string>{"probe", "engine", "tables", "listA", "listB"}), order);
  g_destroyed = &destroyed_;
}

TEST_F(RegistryTest, ANewThreadStartsWithEmptyRegistries) {
  Lists().Add("mine", std::make_unique<TListA>());
  ASSERT_EQ(1, CreateEngine<TEngineA>("Cut"));
  int index = -2;
  bool engine_seen = true;
  std::thread([&] {
    index = Lists().IndexOf("mine");
    engine_seen = FindEngine<TEngineA>("Cut") != nullptr;
  }).join();
  EXPECT_EQ(-1, index);
  EXPECT_FALSE(engine_seen);
  EXPECT_EQ(0, Lists().IndexOf("mine"));
}

TEST_F(RegistryTest, TableSlotIsMadeOnceAndKeptPerThread) {
  TTables* first = GetThreadRegistry<TTables>(ThreadSlot::kTables);
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(first, GetThreadRegistry<TTables>(ThreadSlot::kTables));
  TTables* other = nullptr;
  std::thread([&] { other = GetThreadRegistry<TTables>(ThreadSlot::kTables); }).join();
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
