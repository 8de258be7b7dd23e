// The 20 exports of the write-off family called as the server calls them:
// quiet failure values without an engine, the create-twice road, the three
// failure lines that carry a number, switches read as "equal to 1", null
// arguments, and one road from appends to reads.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "frame/dates.h"
#include "frame/registry.h"
#include "support/test_support.h"

extern "C" {
int32_t ibCutCreate(const int32_t*);
int32_t ibCutFree(const int32_t*);
int32_t ibCutClear(const int32_t*);
int32_t ibCutPrint(const int32_t*);
int32_t ibCutExecute(const int32_t*);
int32_t ibCutSetParams(const int32_t*, const double*, const double*, const double*, const int32_t*, const int32_t*);
int32_t ibCutPartSpecAppend(const int32_t*, const int32_t*, const int32_t*, const int32_t*, const int32_t*,
                            const int32_t*, const int32_t*, const int32_t*, const double*);
double ibCutPartSpecCutQ(const int32_t*, const int32_t*);
int32_t ibCutRetSpecAppend(const int32_t*, const int32_t*, const int32_t*, const int32_t*, const int32_t*,
                           const int32_t*, const int32_t*, const double*);
double ibCutRetSpecCutQ(const int32_t*, const int32_t*, const int32_t*);
int32_t ibCutOutDocPayAppend(const int32_t*, const int32_t*, const int32_t*, const int32_t*, const int32_t*,
                             const double*);
int32_t ibCutGetTableNumber(const char*);
int32_t ibCutGetFieldNumber(const char*);
int32_t ibCutGetFieldInteger(const int32_t*, const int32_t*);
double ibCutGetFieldDouble(const int32_t*, const int32_t*);
int32_t ibCutFirstNew(const int32_t*);
int32_t ibCutNextNew(const int32_t*);
int32_t ibCutEOF(const int32_t*);
double ibCutGetCutQuantity(const int32_t*);
double ibCutGetCutRetQuantity(const int32_t*);
}

namespace {

using orlix::testing::ScratchLog;

constexpr int32_t kZero = 0;
const int32_t kServerDay = 45000 + orlix::kServerDayOffset;  // date-time 45000

class CutExports : public ::testing::Test {
 protected:
  void SetUp() override { orlix::DestroyThreadRegistries(); }
  void TearDown() override { orlix::DestroyThreadRegistries(); }

  static int32_t Part(int32_t dh, int32_t mdh, int32_t dk, double q) {
    const int32_t zero = 0;
    return ibCutPartSpecAppend(&dh, &mdh, &kServerDay, &zero, &dk, &zero, &zero, &zero, &q);
  }
  static int32_t Params(double in, int32_t is_pay, int32_t ver_pay) {
    const double pay = 1, ret = 1;
    const int32_t to_date = kServerDay + 10;
    return ibCutSetParams(&to_date, &in, &pay, &ret, &is_pay, &ver_pay);
  }
  static int32_t Int(int32_t table, int32_t field) { return ibCutGetFieldInteger(&table, &field); }
  static double Dbl(int32_t table, int32_t field) { return ibCutGetFieldDouble(&table, &field); }
};

TEST_F(CutExports, WithoutAnEngineEveryExportAnswersItsFailureValueQuietly) {
  ScratchLog log;
  const int32_t t = 2, f = 0, one = 1;
  const double q = 1;
  EXPECT_EQ(ibCutFree(&kZero), 0);
  EXPECT_EQ(ibCutClear(&kZero), 0);
  EXPECT_EQ(ibCutPrint(&kZero), 0);
  EXPECT_EQ(ibCutExecute(&kZero), 2);
  EXPECT_EQ(ibCutSetParams(&kServerDay, &q, &q, &q, &one, &one), 0);
  EXPECT_EQ(Part(1, -1, 0, 1), 0);
  EXPECT_EQ(ibCutPartSpecCutQ(&t, &f), 0.0);
  EXPECT_EQ(ibCutRetSpecAppend(&t, &t, &t, &kServerDay, &t, &t, &t, &q), 0);
  EXPECT_EQ(ibCutRetSpecCutQ(&t, &t, &t), 0.0);
  EXPECT_EQ(ibCutOutDocPayAppend(&t, &t, &t, &kServerDay, &kServerDay, &q), 0);
  EXPECT_EQ(ibCutGetTableNumber("docspec"), -1);
  EXPECT_EQ(ibCutGetFieldNumber("quantity"), -1);
  EXPECT_EQ(ibCutGetFieldInteger(&t, &f), -1);
  EXPECT_EQ(ibCutGetFieldDouble(&t, &f), 0.0);
  EXPECT_EQ(ibCutFirstNew(&t), 0);
  EXPECT_EQ(ibCutNextNew(&t), 0);
  EXPECT_EQ(ibCutEOF(&t), 1);
  EXPECT_EQ(ibCutGetCutQuantity(&kZero), 0.0);
  EXPECT_EQ(ibCutGetCutRetQuantity(&kZero), 0.0);
  EXPECT_EQ(log.Contents(), "");
}

TEST_F(CutExports, ASecondCreateIsRefusedAndTheFirstEngineKeepsItsRows) {
  ScratchLog log;
  EXPECT_EQ(ibCutCreate(&kZero), 1);
  EXPECT_EQ(Part(7, -1, 0, 1), 1);
  EXPECT_EQ(ibCutCreate(&kZero), 0);
  EXPECT_EQ(Int(2, 0), 7) << "the first engine's appended row is under the cursor";
  EXPECT_EQ(ibCutFree(&kZero), 1);
  EXPECT_EQ(ibCutFree(&kZero), 0);
  const std::vector<std::string> expected{"TCut.Create", "TCut.Create", "TCut.Destroy",
                                          "ibCutCreate: except=String list does not allow duplicates", "TCut.Destroy"};
  EXPECT_EQ(log.Messages(), expected);
}

TEST_F(CutExports, FailureLinesOfFieldReadsAndFirstNewCarryTheirNumber) {
  ScratchLog log;
  ASSERT_EQ(ibCutCreate(&kZero), 1);
  EXPECT_EQ(Int(2, 5), -1);
  EXPECT_EQ(Dbl(9, 6), 0.0);
  const int32_t table = 8;
  EXPECT_EQ(ibCutFirstNew(&table), 0);
  EXPECT_EQ(ibCutEOF(&table), 1);
  EXPECT_EQ(Int(2, 0), -1) << "no row under the cursor";
  EXPECT_EQ(ibCutGetFieldNumber(" qty"), -1);
  EXPECT_EQ(ibCutGetFieldInteger(&table, nullptr), -1);
  EXPECT_EQ(ibCutSetParams(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  const std::vector<std::string> expected{
      "TCut.Create",
      // "Вариант TCut.GetFieldInteger(2,5) не предусмотрен."
      "ibCutGetFieldInteger(5): except=\xC2\xE0\xF0\xE8\xE0\xED\xF2 TCut.GetFieldInteger(2,5) "
      "\xED\xE5 \xEF\xF0\xE5\xE4\xF3\xF1\xEC\xEE\xF2\xF0\xE5\xED.",
      "ibCutGetFieldDouble(6): except=List index (9) out of bounds",
      "ibCutFirstNew(8): except=List index (8) out of bounds",
      "ibCutEOF: except=List index (8) out of bounds",
      "ibCutGetFieldInteger(0): except=TCut.GetFieldInteger(2,0): no current row in partspec",
      // "Вариант TCut.GetFieldNumber( qty) не предусмотрен."
      "ibCutGetFieldNumber: except=\xC2\xE0\xF0\xE8\xE0\xED\xF2 TCut.GetFieldNumber( qty) "
      "\xED\xE5 \xEF\xF0\xE5\xE4\xF3\xF1\xEC\xEE\xF2\xF0\xE5\xED.",
      "ibCutGetFieldInteger: except=Null argument",
      "ibCutSetParams: except=Null argument",
  };
  EXPECT_EQ(log.Messages(), expected);
  const std::string text = log.Contents();
  EXPECT_NE(text.find("ibCutFirstNew(8): except=List index (8) out of bounds Time="), std::string::npos);
  EXPECT_NE(text.find("  ErrCode="), std::string::npos) << "failure lines carry the error part";
}

// Receipt 1 (q 5) -> outgoing 2 (q 3) paid 2 by payment 100 on account 200.
TEST_F(CutExports, ARoadFromAppendsToReads) {
  ASSERT_EQ(ibCutCreate(&kZero), 1);
  ASSERT_EQ(ibCutClear(&kZero), 1);
  ASSERT_EQ(Part(1, -1, 0, 5), 1);
  ASSERT_EQ(Part(2, 1, 1, 3), 1);
  const int32_t dh = 2, ph = 100, ah = 200;
  const double paid = 2;
  ASSERT_EQ(ibCutOutDocPayAppend(&dh, &ph, &ah, &kServerDay, &kServerDay, &paid), 1);
  EXPECT_EQ(Int(4, 3), 100) << "the payment table's cursor is on the new row";

  ASSERT_EQ(Params(10, 2, 1), 1);  // IsPay 2 is off, VerPay 1 is on
  ASSERT_EQ(ibCutExecute(&kZero), 0);
  EXPECT_EQ(ibCutGetCutQuantity(&kZero), 2);
  EXPECT_EQ(ibCutGetCutRetQuantity(&kZero), 0);
  const int32_t one = 1, minus_one = -1, nine = 9;
  EXPECT_EQ(ibCutPartSpecCutQ(&one, &minus_one), 2);
  EXPECT_EQ(ibCutPartSpecCutQ(&nine, &nine), 0);

  const int32_t docspec = ibCutGetTableNumber("  DocSpec "), dochead = ibCutGetTableNumber("DOCHEAD");
  ASSERT_EQ(docspec, 5);
  const int32_t f_dh = ibCutGetFieldNumber("DocHead"), f_cq = ibCutGetFieldNumber(" cutquantity ");
  std::string rows;
  for (ibCutFirstNew(&docspec); ibCutEOF(&docspec) == 0; ibCutNextNew(&docspec))
    rows += std::to_string(Int(docspec, f_dh)) + "=" + std::to_string(static_cast<int>(Dbl(docspec, f_cq))) + " ";
  EXPECT_EQ(rows, "1=2 2=2 200=2 ");
  std::string heads;
  for (ibCutFirstNew(&dochead); ibCutEOF(&dochead) == 0; ibCutNextNew(&dochead))
    heads += std::to_string(Int(dochead, f_dh)) + " ";
  EXPECT_EQ(heads, "1 2 100 200 ");

  ASSERT_EQ(Params(10, 1, 256), 1);  // IsPay on (PayQuantity 1), VerPay off: only 1 is equal to 1
  ASSERT_EQ(ibCutExecute(&kZero), 0);
  EXPECT_EQ(ibCutGetCutQuantity(&kZero), 1);
  EXPECT_EQ(ibCutPrint(&kZero), 1);
  EXPECT_EQ(ibCutFree(&kZero), 1);
}

}  // namespace
