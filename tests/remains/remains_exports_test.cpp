// The 32 exports of the remains family called as the server calls them:
// quiet failures without an engine, logged failures with their prefix, flags
// read as one byte, the date block on every path, null arguments.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "frame/dates.h"
#include "frame/registry.h"
#include "support/test_support.h"

extern "C" {
int32_t ibOstatokCreate(const int32_t*);
int32_t ibOstatokFree(const int32_t*);
int32_t ibOstatokClear(const int32_t*);
int32_t ibOstatokPrint(const int32_t*);
int32_t ibOstatokSetParams(const int32_t*, const int32_t*, const int32_t*, const int32_t*);
int32_t ibOstatokSetUseParams(const int32_t*, const int32_t*, const int32_t*, const int32_t*, const int32_t*,
                              const int32_t*, const int32_t*);
int32_t ibOstatokAppend(const int32_t*, const int32_t*, const int32_t*, const int32_t*, const double*, const double*);
int32_t ibOstatokExecute(const int32_t*);
int32_t ibOstatokGetTableNumber(const char*);
int32_t ibOstatokGetFieldNumber(const char*);
double ibOstatokGetQuantity(const int32_t*, const int32_t*, const int32_t*, const int32_t*, const int32_t*);
double ibOstatokGetResQuantity(const int32_t*);
orlix::ServerTimestamp* ibOstatokGetFieldDate(const int32_t*, const int32_t*);
int32_t ibOstatokGetFieldInteger(const int32_t*, const int32_t*);
double ibOstatokGetFieldDouble(const int32_t*, const int32_t*);
int32_t ibOstatokFirstNew(const int32_t*);
int32_t ibOstatokNextNew(const int32_t*);
int32_t ibOstatokEOF(const int32_t*);
int32_t ibOstStoreCreate(const int32_t*);
int32_t ibOstStoreFree(const int32_t*);
int32_t ibOstStoreClear(const int32_t*);
int32_t ibOstStorePrint(const int32_t*);
int32_t ibOstStoreAppend(const int32_t*, const int32_t*, const int32_t*, const int32_t*, const double*);
int32_t ibOstStoreExecute(const int32_t*);
int32_t ibOstStoreGetFieldNumber(const char*);
double ibOstStoreGetQuantity(const int32_t*, const int32_t*, const int32_t*, const int32_t*);
orlix::ServerTimestamp* ibOstStoreGetFieldDate(const int32_t*);
int32_t ibOstStoreGetFieldInteger(const int32_t*);
double ibOstStoreGetFieldDouble(const int32_t*);
int32_t ibOstStoreFirstNew(const int32_t*);
int32_t ibOstStoreNextNew(const int32_t*);
int32_t ibOstStoreEOF(const int32_t*);
}

namespace {

using orlix::ServerTimestamp;
using orlix::testing::ScratchLog;

constexpr int32_t kZero = 0;
const int32_t kDay45000 = 45000 + orlix::kServerDayOffset;  // server day of date-time 45000

class RemainsExports : public ::testing::Test {
 protected:
  void SetUp() override { orlix::DestroyThreadRegistries(); }
  void TearDown() override { orlix::DestroyThreadRegistries(); }

  int32_t AppendOstatok(int32_t day, int32_t pack, int32_t rz, int32_t place, double q, double rq) {
    return ibOstatokAppend(&day, &pack, &rz, &place, &q, &rq);
  }
  // Reads a date block and frees it as the server would.
  static int32_t Day(ServerTimestamp* block) {
    EXPECT_NE(block, nullptr);
    if (!block) return -1;
    EXPECT_EQ(block->time, 0u);
    const int32_t day = block->date;
    std::free(block);
    return day;
  }
};

TEST_F(RemainsExports, WithoutAnEngineEveryExportFailsQuietly) {
  ScratchLog log;
  const int32_t t = 0;
  EXPECT_EQ(ibOstatokFree(&kZero), 0);
  EXPECT_EQ(ibOstatokClear(&kZero), 0);
  EXPECT_EQ(ibOstatokPrint(&kZero), 0);
  EXPECT_EQ(ibOstatokSetParams(nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(ibOstatokSetUseParams(&t, &t, &t, &t, &t, &t, &t), 0);
  EXPECT_EQ(AppendOstatok(kDay45000, 1, 1, 1, 1, 1), -1);
  EXPECT_EQ(ibOstatokExecute(&kZero), 0);
  EXPECT_EQ(ibOstatokGetTableNumber("ostdaily"), -1);
  EXPECT_EQ(ibOstatokGetFieldNumber("quantity"), -1);
  EXPECT_EQ(ibOstatokGetQuantity(&t, &kDay45000, &t, &t, &t), 0.0);
  EXPECT_EQ(ibOstatokGetResQuantity(&t), 0.0);
  EXPECT_EQ(Day(ibOstatokGetFieldDate(&t, &t)), orlix::kServerDayOffset);
  EXPECT_EQ(ibOstatokGetFieldInteger(&t, &t), 0);
  EXPECT_EQ(ibOstatokGetFieldDouble(&t, &t), 0.0);
  EXPECT_EQ(ibOstatokFirstNew(&t), 0);
  EXPECT_EQ(ibOstatokNextNew(&t), 0);
  EXPECT_EQ(ibOstatokEOF(&t), 1);
  EXPECT_EQ(ibOstStoreFree(&kZero), 0);
  EXPECT_EQ(ibOstStoreClear(&kZero), 0);
  EXPECT_EQ(ibOstStorePrint(&kZero), 0);
  const double q = 1;
  EXPECT_EQ(ibOstStoreAppend(&kDay45000, &t, &t, &t, &q), -1);
  EXPECT_EQ(ibOstStoreExecute(&kZero), 0);
  EXPECT_EQ(ibOstStoreGetFieldNumber("QUANTITY"), -1);
  EXPECT_EQ(ibOstStoreGetQuantity(&kDay45000, &t, &t, &t), 0.0);
  EXPECT_EQ(Day(ibOstStoreGetFieldDate(&t)), orlix::kServerDayOffset);
  EXPECT_EQ(ibOstStoreGetFieldInteger(&t), 0);
  EXPECT_EQ(ibOstStoreGetFieldDouble(&t), 0.0);
  EXPECT_EQ(ibOstStoreFirstNew(&kZero), 0);
  EXPECT_EQ(ibOstStoreNextNew(&kZero), 0);
  EXPECT_EQ(ibOstStoreEOF(&kZero), 1);
  EXPECT_EQ(log.Contents(), "");
}

TEST_F(RemainsExports, RemainsRoadWithLoggedFailures) {
  ScratchLog log;
  ASSERT_EQ(ibOstatokCreate(nullptr), 1);
  EXPECT_EQ(ibOstatokCreate(nullptr), 0);
  EXPECT_EQ(AppendOstatok(kDay45000, 1, 2, 7, 5, 1), 0);
  EXPECT_EQ(AppendOstatok(kDay45000 + 2, 1, 2, 7, -2, 0), 1);
  const int32_t period = 2, first = kDay45000, last = kDay45000 + 3, on = 1, off = 0, byte_off = 256;
  EXPECT_EQ(ibOstatokSetParams(&period, &first, &last, &first), 1);
  // 256 has a zero first byte: off.
  EXPECT_EQ(ibOstatokSetUseParams(&byte_off, &off, &off, &on, &off, &off, &off), 1);
  EXPECT_EQ(ibOstatokExecute(nullptr), 1);

  const int32_t pack_table = ibOstatokGetTableNumber("Ostatok_Pack");
  EXPECT_EQ(pack_table, 1);
  EXPECT_EQ(ibOstatokFirstNew(&pack_table), 1);
  EXPECT_EQ(ibOstatokEOF(&pack_table), 1) << "the pack flag read as off";

  const int32_t daily = ibOstatokGetTableNumber("ostdaily"), date_field = ibOstatokGetFieldNumber(" OstDate ");
  const int32_t day_count = 4, day3 = kDay45000 + 2, zero = 0, place = 7;
  EXPECT_EQ(ibOstatokGetQuantity(&daily, &day3, &zero, &zero, &place), 3.0);
  EXPECT_EQ(ibOstatokGetResQuantity(&daily), 1.0);
  int32_t walked = 0;
  for (ibOstatokFirstNew(&daily); ibOstatokEOF(&daily) == 0; ibOstatokNextNew(&daily)) {
    const int32_t day = Day(ibOstatokGetFieldDate(&daily, &date_field));
    EXPECT_NE(day, day3);
    EXPECT_GE(day, kDay45000);
    ++walked;
  }
  EXPECT_EQ(walked, day_count - 1);

  const int32_t bad_table = 8, bad_field = 3;
  EXPECT_EQ(ibOstatokGetQuantity(&bad_table, &day3, &zero, &zero, &place), 0.0);
  ibOstatokFirstNew(&daily);
  EXPECT_EQ(Day(ibOstatokGetFieldDate(&daily, &bad_field)), orlix::kServerDayOffset);
  EXPECT_EQ(ibOstatokGetFieldNumber("qty"), -1);
  EXPECT_EQ(AppendOstatok(kDay45000, 1, 2, 7, 5, 1), 2);
  EXPECT_EQ(ibOstatokAppend(&kDay45000, &zero, &zero, &zero, nullptr, nullptr), -1);
  EXPECT_EQ(ibOstatokPrint(nullptr), 1);
  EXPECT_EQ(ibOstatokClear(nullptr), 1);
  EXPECT_EQ(AppendOstatok(kDay45000, 1, 2, 7, 5, 1), 0) << "numbering restarts after Clear";
  EXPECT_EQ(ibOstatokFree(nullptr), 1);
  EXPECT_EQ(ibOstatokFree(nullptr), 0);

  const auto messages = log.Messages();
  const auto has = [&](const std::string& head) {
    for (const auto& m : messages)
      if (m.rfind(head, 0) == 0) return true;
    return false;
  };
  EXPECT_TRUE(has("ibOstatokCreate: except=String list does not allow duplicates"));
  EXPECT_TRUE(has("ibOstatokGetQuantity: except=List index (8) out of bounds"));
  EXPECT_TRUE(has("ibOstatokGetFieldDate: except=TOstatok.GetFieldDate: \xCF\xEE\xEB\xE5 3"));
  EXPECT_TRUE(has("ibOstatokGetFieldNumber: except=\xC2\xE0\xF0\xE8\xE0\xED\xF2 TOstatok.GetFieldNumber(qty)"));
  EXPECT_TRUE(has("ibOstatokAppend: except=Null argument"));
  EXPECT_TRUE(has("id=0  od=15.03.2023  pack=1  rz=2  pi=7  q=5  rq=1"));
  // The five failure lines, and only they, carry the error part.
  const std::string text = log.Contents();
  size_t with_error = 0;
  for (size_t at = text.find("ErrCode="); at != std::string::npos; at = text.find("ErrCode=", at + 1)) ++with_error;
  EXPECT_EQ(with_error, 5u);
  EXPECT_EQ(messages.front(), "TOstatok.Create");
  EXPECT_EQ(messages.back(), "TOstatok.Destroy");
}

TEST_F(RemainsExports, StoreRoadWithLoggedFailures) {
  ScratchLog log;
  ASSERT_EQ(ibOstStoreCreate(nullptr), 1);
  EXPECT_EQ(ibOstStoreCreate(nullptr), 0);
  const int32_t pack = 1, asrt = 2, palet = 3, other_palet = 4;
  const double q = 2.5, minus = -2.5;
  EXPECT_EQ(ibOstStoreAppend(&kDay45000, &pack, &asrt, &palet, &q), 0);
  EXPECT_EQ(ibOstStoreAppend(&kDay45000, &pack, &asrt, &palet, &q), 1);
  EXPECT_EQ(ibOstStoreAppend(&kDay45000, &pack, &asrt, &other_palet, &q), 2);
  EXPECT_EQ(ibOstStoreAppend(&kDay45000, &pack, &asrt, &other_palet, &minus), 3);
  EXPECT_EQ(ibOstStoreExecute(nullptr), 1);
  EXPECT_EQ(ibOstStoreGetQuantity(&kDay45000, &pack, &asrt, &palet), 5.0);
  EXPECT_EQ(ibOstStoreGetQuantity(&kDay45000, &pack, &asrt, &other_palet), 0.0);
  const int32_t date_field = ibOstStoreGetFieldNumber("gooddate"), palet_field = ibOstStoreGetFieldNumber("Palet");
  EXPECT_EQ(ibOstStoreGetFieldInteger(&palet_field), 0) << "cursor at -1 after a failed lookup";
  EXPECT_EQ(ibOstStoreFirstNew(nullptr), 1);
  EXPECT_EQ(ibOstStoreEOF(nullptr), 1) << "the one row was found by a lookup";
  EXPECT_EQ(ibOstStoreGetQuantity(&kDay45000, &pack, &asrt, &palet), 5.0);
  EXPECT_EQ(Day(ibOstStoreGetFieldDate(&date_field)), kDay45000);
  EXPECT_EQ(ibOstStoreGetFieldInteger(&palet_field), 3);
  const int32_t quantity_field = ibOstStoreGetFieldNumber("QUANTITY");
  EXPECT_EQ(ibOstStoreGetFieldDouble(&quantity_field), 5.0);
  EXPECT_EQ(Day(ibOstStoreGetFieldDate(&palet_field)), orlix::kServerDayOffset);
  EXPECT_EQ(ibOstStoreGetFieldDouble(nullptr), 0.0);
  EXPECT_EQ(ibOstStoreFree(nullptr), 1);
  const auto messages = log.Messages();
  ASSERT_GE(messages.size(), 7u);
  EXPECT_EQ(messages[0], "TOstStore.Create");
  EXPECT_EQ(messages[1], "TOstStore.Create");
  EXPECT_EQ(messages[2], "TOstStore.Destroy");
  EXPECT_EQ(messages[3].rfind("ibOstStoreCreate: except=String list does not allow duplicates", 0), 0u);
  EXPECT_EQ(messages[4].rfind("ibOstStoreGetFieldDate: except=TOstStore.GetFieldDate: \xCF\xEE\xEB\xE5 3", 0), 0u);
  EXPECT_EQ(messages[5].rfind("ibOstStoreGetFieldDouble: except=Null argument", 0), 0u);
  EXPECT_EQ(messages.back(), "TOstStore.Destroy");
}

}  // namespace
