// The value-list exports as the server calls them: handles shared by the three
// kinds, reuse and replacement, wrong-kind warnings, failure values, null
// pointers, trimming, substring searches and the bound on the caller's buffer.
// The ordinary roads (sorting side effects, Print lines) are proven from SQL
// in tests/sql/values_*.sql.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "frame/registry.h"
#include "support/test_support.h"
#include "values/list_str.h"
#include "values/value_exports.h"

namespace orlix {
namespace {

using testing::ScratchLog;

// "внимание - неверный тип в ": warning, wrong type in.
const std::string kWrongKind = "\xE2\xED\xE8\xEC\xE0\xED\xE8\xE5 - \xED\xE5\xE2\xE5\xF0\xED\xFB\xE9 \xF2\xE8\xEF \xE2 ";
// "  замена": replacement.
const std::string kReplaced = "  \xE7\xE0\xEC\xE5\xED\xE0";
// "Список" and "СПИСОК" (list), one name in two letter cases.
const char* const kListLower = "\xD1\xEF\xE8\xF1\xEE\xEA";
const char* const kListUpper = "\xD1\xCF\xC8\xD1\xCE\xCA";

// Each test starts on a thread whose list registry is empty.
class ValueExports : public ::testing::Test {
 protected:
  void SetUp() override { DestroyThreadRegistries(); }
  void TearDown() override { DestroyThreadRegistries(); }
};

// Takes a fresh-string result and frees it the way the server does.
std::string Fresh(char* result) {
  EXPECT_NE(result, nullptr);
  if (!result) return "<null>";
  std::string text(result);
  std::free(result);  // the server's allocator is malloc
  return text;
}

int32_t AddStr(int32_t h, const char* value) { return ibListStrAdd(&h, value); }
int32_t AddInt(int32_t h, int32_t value) { return ibListIntAdd(&h, &value); }

TEST_F(ValueExports, OneHandleSpaceForAllKindsWithFreedEntriesReused) {
  const int32_t s = ibListStrCreate("a");
  const int32_t i = ibListIntCreate("b");
  const int32_t d = ibListDoubleCreate("c");
  EXPECT_EQ(s, 1);
  EXPECT_EQ(i, 2);
  EXPECT_EQ(d, 3);
  EXPECT_EQ(ibListStrFree(&s), 1);
  EXPECT_EQ(ibListIntCreate("d"), 1);  // the freed entry, renamed
  EXPECT_EQ(ibListStrByName("a"), 0);
  EXPECT_EQ(ibListIntByName("D"), 1);
  EXPECT_EQ(ibListDoubleByName("C"), 3);
  EXPECT_EQ(ibListDoubleCreate("e"), 4);
}

TEST_F(ValueExports, CreateUnderAPresentNameReplacesTheListWhateverItsKind) {
  const int32_t h = ibListStrCreate(kListLower);
  AddStr(h, "x");
  ScratchLog log;
  EXPECT_EQ(ibListIntCreate(kListUpper), h);  // Cyrillic names fold case
  EXPECT_EQ(ibListIntCount(&h), 0);
  EXPECT_EQ(ibListStrCount(&h), 0);
  EXPECT_EQ(ibListIntByName(kListLower), h);
  EXPECT_EQ(log.Messages(), (std::vector<std::string>{kReplaced, "TListStr.Destroy", "TListInt.Create",
                                                      kWrongKind + "ibListStrCount"}));
}

// Every export that takes a handle, called with a handle of another kind:
// the failure value, and the warning naming exactly that export.
TEST_F(ValueExports, WrongKindAnswersTheFailureValueAndNamesTheExport) {
  const int32_t s = ibListStrCreate("s");
  const int32_t i = ibListIntCreate("i");
  AddStr(s, "v");
  AddInt(i, 7);
  const int32_t zero = 0, one = 1;
  const double half = 0.5;
  char sub[8] = "v";
  ScratchLog log;
  struct Call {
    const char* name;
    std::function<bool()> fails;
  };
  const std::vector<Call> calls = {
      {"ibListStrPrint", [&] { return ibListStrPrint(&i) == 0; }},
      {"ibListStrByName", [&] { return ibListStrByName("I") == 0; }},
      {"ibListStrClear", [&] { return ibListStrClear(&i) == 0; }},
      {"ibListStrAdd", [&] { return ibListStrAdd(&i, "v") == 0; }},
      {"ibListStrDelete", [&] { return ibListStrDelete(&i, "v") == 0; }},
      {"ibListStrCount", [&] { return ibListStrCount(&i) == 0; }},
      {"ibListStrExists", [&] { return ibListStrExists(&i, "v") == 0; }},
      {"ibListStrExistsByPos", [&] { return ibListStrExistsByPos(&i, "v", &zero) == 0; }},
      {"ibListStrSort", [&] { return ibListStrSort(&i, &one) == 0; }},
      {"ibListStrIndex", [&] { return ibListStrIndex(&i, "v") == -1; }},
      {"ibListStrGetItemByIndex", [&] { return Fresh(ibListStrGetItemByIndex(&i, &zero)).empty(); }},
      {"ibListStrGetItemBySubStr", [&] { return ibListStrGetItemBySubStr(&i, sub) == sub && sub[0] == 0; }},
      {"ibListIntPrint", [&] { return ibListIntPrint(&s) == 0; }},
      {"ibListIntByName", [&] { return ibListIntByName("S") == 0; }},
      {"ibListIntClear", [&] { return ibListIntClear(&s) == 0; }},
      {"ibListIntAdd", [&] { return ibListIntAdd(&s, &one) == 0; }},
      {"ibListIntDelete", [&] { return ibListIntDelete(&s, &one) == 0; }},
      {"ibListIntCount", [&] { return ibListIntCount(&s) == 0; }},
      {"ibListIntExists", [&] { return ibListIntExists(&s, &one) == 0; }},
      {"ibListIntIndexOf", [&] { return ibListIntIndexOf(&s, &one) == -1; }},
      {"ibListIntGetItemByIndex", [&] { return ibListIntGetItemByIndex(&s, &zero) == -1000; }},
      {"ibListDoublePrint", [&] { return ibListDoublePrint(&i) == 0; }},
      {"ibListDoubleByName", [&] { return ibListDoubleByName("i") == 0; }},
      {"ibListDoubleClear", [&] { return ibListDoubleClear(&i) == 0; }},
      {"ibListDoubleAdd", [&] { return ibListDoubleAdd(&i, &half) == 0; }},
      {"ibListDoubleDelete", [&] { return ibListDoubleDelete(&i, &half) == 0; }},
      {"ibListDoubleCount", [&] { return ibListDoubleCount(&i) == 0; }},
      {"ibListDoubleExists", [&] { return ibListDoubleExists(&i, &half) == 0; }},
      {"ibListDoubleIndexOf", [&] { return ibListDoubleIndexOf(&i, &half) == -1; }},
      {"ibListDoubleGetItemByIndex", [&] { return ibListDoubleGetItemByIndex(&i, &zero) == -1000.0; }},
      {"ibListDoubleSort", [&] { return ibListDoubleSort(&i, &one) == 0; }},
  };
  std::vector<std::string> expected;
  for (const Call& call : calls) {
    EXPECT_TRUE(call.fails()) << call.name;
    expected.push_back(kWrongKind + call.name);
  }
  EXPECT_EQ(log.Messages(), expected);
  // The lists themselves were not touched.
  EXPECT_EQ(ibListStrCount(&s), 1);
  EXPECT_EQ(ibListIntCount(&i), 1);
  EXPECT_EQ(ibListIntGetItemByIndex(&i, &zero), 7);
}

// Free with another kind's handle warns and frees all the same; a second free
// of the same handle warns again and still answers 1.
TEST_F(ValueExports, FreeWarnsAboutTheKindButFrees) {
  const int32_t s = ibListStrCreate("s");
  const int32_t d = ibListDoubleCreate("d");
  ScratchLog log;
  EXPECT_EQ(ibListIntFree(&s), 1);
  EXPECT_EQ(ibListStrFree(&s), 1);
  EXPECT_EQ(ibListDoubleFree(&d), 1);
  EXPECT_EQ(log.Messages(), (std::vector<std::string>{kWrongKind + "ibListIntFree", "TListStr.Destroy",
                                                      kWrongKind + "ibListStrFree", "TListDouble.Destroy"}));
  EXPECT_EQ(ibListStrByName("s"), 0);
}

TEST_F(ValueExports, HandlesOutOfRangeFailQuietly) {
  ibListIntCreate("only");
  ScratchLog log;
  for (const int32_t h : {0, -1, 2, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()}) {
    const int32_t index = 0;
    EXPECT_EQ(ibListIntFree(&h), 0);
    EXPECT_EQ(ibListStrFree(&h), 0);
    EXPECT_EQ(ibListIntCount(&h), 0);
    EXPECT_EQ(ibListStrIndex(&h, "x"), -1);
    EXPECT_EQ(ibListIntGetItemByIndex(&h, &index), -1000);
    EXPECT_EQ(ibListDoubleGetItemByIndex(&h, &index), -1000.0);
    EXPECT_EQ(Fresh(ibListStrGetItemByIndex(&h, &index)), "");
  }
  EXPECT_EQ(log.Contents(), "");
}

// Null pointers end the one call with its failure value and one failure line
// (export name, ".except=", the message, the error part); a null string
// counts as the empty string.
TEST_F(ValueExports, NullPointersEndAsLoggedFailures) {
  const int32_t h = ibListIntCreate("n");
  const int32_t s = ibListStrCreate("s");
  AddStr(s, "abc");
  ScratchLog log;
  EXPECT_EQ(ibListIntAdd(nullptr, nullptr), 0);
  EXPECT_EQ(ibListIntAdd(&h, nullptr), 0);
  EXPECT_EQ(ibListIntGetItemByIndex(&h, nullptr), -1000);
  EXPECT_EQ(ibListDoubleGetItemByIndex(nullptr, nullptr), -1000.0);
  EXPECT_EQ(Fresh(ibListStrGetItemByIndex(&s, nullptr)), "");
  EXPECT_EQ(ibListStrExistsByPos(&s, "abc", nullptr), 0);
  EXPECT_EQ(log.Messages(),
            (std::vector<std::string>{"ibListIntAdd.except=Null argument", "ibListIntAdd.except=Null argument",
                                      "ibListIntGetItemByIndex.except=Null argument",
                                      "ibListDoubleGetItemByIndex.except=Null argument",
                                      "ibListStrGetItemByIndex.except=Null argument",
                                      "ibListStrExistsByPos.except=Null argument"}));
  EXPECT_NE(log.Contents().find("ErrCode="), std::string::npos);
  EXPECT_EQ(ibListIntCount(&h), 0);
  EXPECT_EQ(ibListStrGetItemBySubStr(&s, nullptr), nullptr);
  EXPECT_EQ(ibListStrExists(&s, nullptr), 0);
  EXPECT_EQ(AddStr(s, nullptr), 1);  // the empty string
  EXPECT_EQ(ibListStrCount(&s), 2);
}

TEST_F(ValueExports, StringValuesAreTrimmedAndComparedExactly) {
  const int32_t h = ibListStrCreate("t");
  EXPECT_EQ(AddStr(h, "abc  "), 1);
  EXPECT_EQ(AddStr(h, "  lead\t\r\n"), 1);
  const int32_t zero = 0, one = 1;
  EXPECT_EQ(Fresh(ibListStrGetItemByIndex(&h, &zero)), "abc");
  EXPECT_EQ(Fresh(ibListStrGetItemByIndex(&h, &one)), "  lead");
  EXPECT_EQ(ibListStrExists(&h, "abc"), 1);
  EXPECT_EQ(ibListStrExists(&h, "abc "), 1);
  EXPECT_EQ(ibListStrExists(&h, "ABC"), 0);
  EXPECT_EQ(ibListStrExists(&h, "lead"), 0);  // leading blanks stay
  EXPECT_EQ(ibListStrDelete(&h, "abc\x01"), 1);
  EXPECT_EQ(ibListStrCount(&h), 1);
}

TEST_F(ValueExports, SubstringSearchesWriteIntoTheCallerBuffer) {
  const int32_t h = ibListStrCreate("t");
  for (const char* s : {"foo", "bar", "baz"}) AddStr(h, s);
  char sub[16] = "ar  ";
  EXPECT_EQ(ibListStrGetItemBySubStr(&h, sub), sub);
  EXPECT_STREQ(sub, "bar");
  std::strcpy(sub, "");
  EXPECT_EQ(ibListStrGetItemBySubStr(&h, sub), sub);
  EXPECT_STREQ(sub, "");
  std::strcpy(sub, "qq");
  ibListStrGetItemBySubStr(&h, sub);
  EXPECT_STREQ(sub, "");

  const int32_t order = ibListStrCreate("o");
  AddStr(order, "ORDER");
  const int32_t any = 0, first = 1, third = 3;
  EXPECT_EQ(ibListStrExistsByPos(&order, "ORDER-17  ", &any), 1);
  EXPECT_EQ(ibListStrExistsByPos(&order, "X-ORDER", &any), 1);
  EXPECT_EQ(ibListStrExistsByPos(&order, "ORDER-17", &first), 1);
  EXPECT_EQ(ibListStrExistsByPos(&order, "X-ORDER", &first), 0);
  EXPECT_EQ(ibListStrExistsByPos(&order, "X-ORDER", &third), 1);
}

// The caller's buffer is declared kMaxValueLength bytes plus the terminator:
// a longer stored string is cut to that, and nothing past it is touched.
TEST_F(ValueExports, SubstringResultNeverOverrunsTheDeclaredBuffer) {
  const int32_t h = ibListStrCreate("long");
  const std::string huge = "key" + std::string(32 * 1024, 'x');
  AddStr(h, huge.c_str());
  constexpr size_t kGuard = 64;
  std::vector<char> buffer(kMaxValueLength + 1 + kGuard, '#');
  std::strcpy(buffer.data(), "key");
  EXPECT_EQ(ibListStrGetItemBySubStr(&h, buffer.data()), buffer.data());
  EXPECT_EQ(std::strlen(buffer.data()), static_cast<size_t>(kMaxValueLength));
  EXPECT_EQ(std::string(buffer.data()), huge.substr(0, kMaxValueLength));
  EXPECT_EQ(std::string(buffer.end() - kGuard, buffer.end()), std::string(kGuard, '#'));
  // The whole string stays readable through the fresh-string result.
  const int32_t zero = 0;
  EXPECT_EQ(Fresh(ibListStrGetItemByIndex(&h, &zero)), huge);
  EXPECT_EQ(ibListStrExists(&h, huge.c_str()), 1);
}

// Lists belong to the thread that made them and die with it.
TEST_F(ValueExports, ListsArePerThreadAndDieWithTheirThread) {
  const int32_t mine = ibListIntCreate("shared name");
  ScratchLog log;
  int32_t other = 0, seen_from_other = -1;
  std::thread([&] {
    other = ibListStrCreate("shared name");
    seen_from_other = ibListIntByName("shared name");
  }).join();
  EXPECT_EQ(other, 1);
  EXPECT_EQ(seen_from_other, 0);  // that thread's list of the name is a string list
  EXPECT_EQ(ibListIntByName("shared name"), mine);
  EXPECT_EQ(log.Messages(), (std::vector<std::string>{"TListStr.Create", kWrongKind + "ibListIntByName",
                                                      "TListStr.Destroy"}));
}

}  // namespace
}  // namespace orlix
