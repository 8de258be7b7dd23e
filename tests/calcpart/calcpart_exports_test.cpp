// The 31 exports of the batch engine called as the server calls them: quiet
// failure values without an engine, one logged line for every refusal
// (second engine, unknown field, no current row, bad date, NaN quantity,
// null argument), the cursor on the appended row for the Update calls.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <thread>

#include "frame/dates.h"
#include "frame/registry.h"
#include "support/test_support.h"

extern "C" {
int32_t ibCalcPartCreate(const int32_t*);
int32_t ibCalcPartFree(const int32_t*);
int32_t ibCalcPartClear(const int32_t*);
int32_t ibCalcPartPrint(const int32_t*);
int32_t ibCalcPartFixKindSort(const int32_t*);
int32_t ibCalcPartExecute(const int32_t*);
int32_t ibCalcPartXMoveCycle(const int32_t*);
int32_t ibCalcPartPriorityInAppend(const int32_t*, const int32_t*, const int32_t*, const int32_t*);
int32_t ibCalcPartFixKindAppend(const int32_t*, const int32_t*, const int32_t*);
int32_t ibCalcPartRemainsAppend(const int32_t*, const int32_t*, const int32_t*, const int32_t*, const int32_t*,
                                const int32_t*, const double*, const int32_t*);
int32_t ibCalcPartXPartAppend(const int32_t*, const int32_t*, const int32_t*, const int32_t*, const int32_t*,
                              const int32_t*, const double*, const int32_t*, const int32_t*, const int32_t*);
int32_t ibCalcPartXPartUpdate(const double*, const double*, const int32_t*);
int32_t ibCalcPartXRetAppend(const int32_t*, const int32_t*, const int32_t*, const int32_t*, const int32_t*,
                             const double*, const int32_t*, const int32_t*);
int32_t ibCalcPartXRetUpdate(const double*, const double*, const int32_t*);
int32_t ibCalcPartPartSpecAppend(const int32_t*, const int32_t*, const int32_t*, const int32_t*, const int32_t*,
                                 const int32_t*, const int32_t*, const double*, const int32_t*, const int32_t*);
int32_t ibCalcPartPartSpecUpdate(const double*, const double*, const int32_t*, const int32_t*, const int32_t*,
                                 const int32_t*);
int32_t ibCalcPartPartSpecUpdate2(const double*, const double*, const int32_t*, const int32_t*, const int32_t*,
                                  const int32_t*, const int32_t*);
int32_t ibCalcPartRetSpecAppend(const int32_t*, const int32_t*, const int32_t*, const int32_t*, const int32_t*,
                                const int32_t*, const double*, const int32_t*, const int32_t*);
int32_t ibCalcPartRetSpecUpdate(const double*, const double*, const int32_t*);
int32_t ibCalcPartRetSpecUpdate2(const double*, const double*, const int32_t*, const int32_t*);
double ibCalcPartRemainsGetQuantity(const int32_t*, const int32_t*);
double ibCalcPartPartSpecGetQuantity(const int32_t*, const int32_t*, const int32_t*);
double ibCalcPartRetSpecGetQuantity(const int32_t*, const int32_t*, const int32_t*, const int32_t*);
double ibCalcPartXPartGetQuantity(const int32_t*, const int32_t*);
double ibCalcPartXRetGetQuantity(const int32_t*, const int32_t*, const int32_t*);
int32_t ibCalcPartCount(const char*);
int32_t ibCalcPartFirstNew(const char*);
int32_t ibCalcPartNextNew(const char*);
int32_t ibCalcPartEOF(const char*);
int32_t ibCalcPartGetFieldInteger(const char*, const char*);
double ibCalcPartGetFieldDouble(const char*, const char*);
int32_t ibVarExists(const char*);
}

namespace {

using orlix::testing::ScratchLog;

const int32_t kZero = 0;
const int32_t kMinus = -1;
const int32_t kOne = 1;
const int32_t kTwo = 2;
const int32_t kDay = 45000 + orlix::kServerDayOffset;
const int32_t kLaterDay = kDay + 5;

class CalcPartExports : public ::testing::Test {
 protected:
  void SetUp() override { orlix::DestroyThreadRegistries(); }
  void TearDown() override { orlix::DestroyThreadRegistries(); }

  static int32_t Party(int32_t dh, int32_t day, double q) {
    return ibCalcPartRemainsAppend(&dh, &kMinus, &day, &kOne, &kZero, &kZero, &q, &kZero);
  }
  static int32_t Consumption(int32_t dh, int32_t day, double q) {
    return ibCalcPartXPartAppend(&dh, &kMinus, &day, &kOne, &kZero, &kOne, &q, &kZero, &kZero, &kZero);
  }
};

TEST_F(CalcPartExports, WithoutAnEngineEveryExportFailsQuietly) {
  ScratchLog log;
  const double q = 1, money = 0;
  EXPECT_EQ(0, ibCalcPartFree(&kZero));
  EXPECT_EQ(0, ibCalcPartClear(&kZero));
  EXPECT_EQ(0, ibCalcPartPrint(&kZero));
  EXPECT_EQ(0, ibCalcPartFixKindSort(&kZero));
  EXPECT_EQ(0, ibCalcPartExecute(&kZero));
  EXPECT_EQ(-1, ibCalcPartXMoveCycle(&kZero));
  EXPECT_EQ(0, ibCalcPartPriorityInAppend(&kZero, &kZero, &kZero, &kZero));
  EXPECT_EQ(0, ibCalcPartFixKindAppend(&kZero, &kZero, &kZero));
  EXPECT_EQ(0, Party(1, kDay, q));
  EXPECT_EQ(0, Consumption(1, kDay, q));
  EXPECT_EQ(0, ibCalcPartXPartUpdate(&money, &money, &kZero));
  EXPECT_EQ(0, ibCalcPartXRetAppend(&kZero, &kZero, &kZero, &kDay, &kZero, &q, &kZero, &kZero));
  EXPECT_EQ(0, ibCalcPartXRetUpdate(&money, &money, &kZero));
  EXPECT_EQ(0, ibCalcPartPartSpecAppend(&kZero, &kZero, &kZero, &kDay, &kZero, &kZero, &kZero, &q, &kZero, &kZero));
  EXPECT_EQ(0, ibCalcPartPartSpecUpdate(&money, &money, &kZero, &kZero, &kDay, &kZero));
  EXPECT_EQ(0, ibCalcPartPartSpecUpdate2(&money, &money, &kZero, &kZero, &kDay, &kZero, &kZero));
  EXPECT_EQ(0, ibCalcPartRetSpecAppend(&kZero, &kZero, &kZero, &kZero, &kDay, &kZero, &q, &kZero, &kZero));
  EXPECT_EQ(0, ibCalcPartRetSpecUpdate(&money, &money, &kZero));
  EXPECT_EQ(0, ibCalcPartRetSpecUpdate2(&money, &money, &kZero, &kZero));
  EXPECT_EQ(-1.0, ibCalcPartRemainsGetQuantity(&kZero, &kZero));
  EXPECT_EQ(-1.0, ibCalcPartPartSpecGetQuantity(&kZero, &kZero, &kZero));
  EXPECT_EQ(-1.0, ibCalcPartRetSpecGetQuantity(&kZero, &kZero, &kZero, &kZero));
  EXPECT_EQ(-1.0, ibCalcPartXPartGetQuantity(&kZero, &kZero));
  EXPECT_EQ(-1.0, ibCalcPartXRetGetQuantity(&kZero, &kZero, &kZero));
  EXPECT_EQ(-1, ibCalcPartCount("xpart"));
  EXPECT_EQ(0, ibCalcPartFirstNew("xpart"));
  EXPECT_EQ(0, ibCalcPartNextNew("xpart"));
  EXPECT_EQ(1, ibCalcPartEOF("xpart"));
  EXPECT_EQ(-1, ibCalcPartGetFieldInteger("xpart", "DocHead"));
  EXPECT_EQ(-1.0, ibCalcPartGetFieldDouble("xpart", "q"));
  EXPECT_TRUE(log.Messages().empty());
}

TEST_F(CalcPartExports, OneEnginePerThreadRegisteredAsCalcPart) {
  ScratchLog log;
  EXPECT_EQ(0, ibVarExists("CalcPart"));
  ASSERT_EQ(1, ibCalcPartCreate(nullptr));
  ASSERT_EQ(1, Party(100, kDay, 10));
  EXPECT_EQ(0, ibCalcPartCreate(nullptr));  // the first engine keeps its data
  EXPECT_EQ(1, ibCalcPartCount("REMAINS"));
  EXPECT_EQ(1, ibVarExists("calcpart"));
  int32_t elsewhere = -1, created_elsewhere = -1;
  std::thread([&] {
    elsewhere = ibVarExists("CalcPart");
    created_elsewhere = ibCalcPartCreate(nullptr);
  }).join();  // that thread's engine dies with it
  EXPECT_EQ(0, elsewhere);
  EXPECT_EQ(1, created_elsewhere);
  EXPECT_EQ(1, ibCalcPartFree(nullptr));
  EXPECT_EQ(0, ibVarExists("CalcPart"));
  // The second engine is made, refused by the registry and destroyed.
  const std::vector<std::string> expected{
      "TCalcPart.Create",  "TCalcPart.Create",
      "TCalcPart.Destroy", "ibCalcPartCreate: except=String list does not allow duplicates",
      "TCalcPart.Create",  "TCalcPart.Destroy",
      "TCalcPart.Destroy"};
  EXPECT_EQ(expected, log.Messages());
  EXPECT_NE(std::string::npos, log.Contents().find("ErrCode="));  // the failure line has its error part
}

// A road: append, update the row just appended, execute, read by key and by
// walking the new rows.
TEST_F(CalcPartExports, ARoadFromAppendToTheNewRows) {
  ASSERT_EQ(1, ibCalcPartCreate(nullptr));
  ASSERT_EQ(1, ibCalcPartClear(&kZero));
  ASSERT_EQ(1, Party(100, kDay, 10));
  ASSERT_EQ(1, Consumption(1, kLaterDay, 4));
  ASSERT_EQ(1, Consumption(2, kLaterDay, 3));
  const double rub = 12.5, cur = 1.5;
  const int32_t th = 7;
  ASSERT_EQ(1, ibCalcPartXPartUpdate(&rub, &cur, &th));  // consumption 2, the row just appended
  ASSERT_EQ(1, ibCalcPartExecute(nullptr));
  EXPECT_EQ(1, ibCalcPartXMoveCycle(nullptr));
  EXPECT_EQ(2, ibCalcPartCount("PartSpec"));
  const int32_t dh = 1, idh = 100;
  EXPECT_EQ(4.0, ibCalcPartPartSpecGetQuantity(&dh, &idh, &kMinus));
  EXPECT_EQ(0.0, ibCalcPartPartSpecGetQuantity(&kTwo, &kTwo, &kMinus));
  EXPECT_EQ(3.0, ibCalcPartRemainsGetQuantity(&idh, &kMinus));
  ASSERT_EQ(1, ibCalcPartFirstNew("partspec"));
  ASSERT_EQ(0, ibCalcPartEOF("partspec"));
  EXPECT_EQ(2, ibCalcPartGetFieldInteger("partspec", "DocHead"));
  EXPECT_EQ(100, ibCalcPartGetFieldInteger("partspec", "InDocHead"));
  EXPECT_EQ(3.0, ibCalcPartGetFieldDouble("partspec", "whatever"));
  ASSERT_EQ(1, ibCalcPartNextNew("partspec"));
  EXPECT_EQ(1, ibCalcPartEOF("partspec"));
  EXPECT_EQ(-1, ibCalcPartCount("fixkind"));
  EXPECT_EQ(-1, ibCalcPartCount("tmpxret"));
  EXPECT_EQ(1, ibCalcPartPrint(nullptr));
  EXPECT_EQ(1, ibCalcPartFree(nullptr));
}

TEST_F(CalcPartExports, RefusalsAnswerTheFailureValueWithOneLine) {
  ScratchLog log;
  ASSERT_EQ(1, ibCalcPartCreate(nullptr));
  const double money = 0, nan = std::numeric_limits<double>::quiet_NaN(), inf = HUGE_VAL;
  EXPECT_EQ(0, ibCalcPartXPartUpdate(&money, &money, &kZero));  // nothing appended yet
  EXPECT_EQ(0, Party(1, 3000000, 1));                           // beyond 9999-12-31
  EXPECT_EQ(0, Party(1, kDay, nan));
  EXPECT_EQ(0, Consumption(1, kDay, inf));
  EXPECT_EQ(0, ibCalcPartRemainsAppend(nullptr, &kMinus, &kDay, &kOne, &kZero, &kZero, &money, &kZero));
  EXPECT_EQ(0, ibCalcPartCount("remains"));  // nothing was appended
  ASSERT_EQ(1, Party(1, kDay, 2));           // the cursor is on it
  EXPECT_EQ(-1, ibCalcPartGetFieldInteger("remains", "dochead"));
  ASSERT_EQ(1, ibCalcPartXRetAppend(&kOne, &kZero, &kZero, &kDay, &kOne, &money, &kZero, &kZero));
  EXPECT_EQ(0, ibCalcPartXRetUpdate(&nan, &money, &kZero));
  ASSERT_EQ(1, ibCalcPartExecute(nullptr));
  // Off the rows after a walk: the field reads refuse with a line.
  ibCalcPartFirstNew("xret");
  ibCalcPartNextNew("xret");
  EXPECT_EQ(-1.0, ibCalcPartGetFieldDouble("xret", "q"));
  const std::vector<std::string> expected{
      "TCalcPart.Create",
      "ibCalcPartXPartUpdate: except=TCalcPart: no current row in XPart",
      "ibCalcPartRemainsAppend: except=TCalcPart: date (server day 3000000) is out of range",
      "ibCalcPartRemainsAppend: except=TCalcPart: q nan is not a finite number",
      "ibCalcPartXPartAppend: except=TCalcPart: q inf is not a finite number",
      "ibCalcPartRemainsAppend: except=Null argument",
      "ibCalcPartGetFieldInteger: except=TCalcPart.GetFieldInteger: no field \"dochead\" in Remains",
      "ibCalcPartXRetUpdate: except=TCalcPart: rub nan is not a finite number",
      "ibCalcPartGetFieldDouble: except=TCalcPart: no current row in xret"};
  EXPECT_EQ(expected, log.Messages());
}

}  // namespace
