// The export guard: failure lines per family form, failure values, argument
// readers and the result buffers the server frees.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

#include "frame/export_guard.h"
#include "frame/log.h"
#include "support/test_support.h"

namespace orlix {
namespace {

using testing::ScratchLog;

constexpr ExportSite kDot{"ibListStrAdd", FailureLine::kDot};
constexpr ExportSite kColon{"ibOstatokAppend", FailureLine::kColon};
constexpr ExportSite kSilent{"ib_Log", FailureLine::kSilent};

TEST(Guard, PassesTheBodyResultThrough) {
  ScratchLog log;
  EXPECT_EQ(7, Guard(kDot, -1, [] { return 7; }));
  EXPECT_EQ("", log.Contents());
}

TEST(Guard, WritesOneFailureLinePerFamilyFormWithTheErrorPart) {
  ScratchLog log;
  EXPECT_EQ(-1, Guard(kDot, -1, []() -> int { throw EOrlixError("List index (3) out of bounds"); }));
  EXPECT_EQ(0, Guard(kColon, 0, []() -> int { throw EOrlixError("bad"); }));
  const auto messages = log.Messages();
  ASSERT_EQ(2u, messages.size());
  EXPECT_EQ("ibListStrAdd.except=List index (3) out of bounds", messages[0]);
  EXPECT_EQ("ibOstatokAppend: except=bad", messages[1]);
  // The error part follows the time on every failure line.
  const std::string text = log.Contents();
  size_t lines = 0;
  for (size_t pos = text.find(" Time="); pos != std::string::npos; pos = text.find(" Time=", pos + 1)) {
    EXPECT_EQ(pos + 14, text.find("  ErrCode=", pos));
    ++lines;
  }
  EXPECT_EQ(2u, lines);
}

TEST(Guard, TurnsEveryKindOfFailureIntoTheFailureValue) {
  ScratchLog log;
  EXPECT_EQ(0, Guard(kDot, 0, []() -> int { throw std::bad_alloc(); }));
  EXPECT_EQ(0, Guard(kDot, 0, []() -> int { throw 42; }));
  EXPECT_EQ(0, Guard(kDot, 0, []() -> int { throw std::logic_error("logic"); }));
  EXPECT_EQ(0, Guard(kDot, 0, []() -> int { return IntArg(nullptr); }));
  EXPECT_EQ(0, Guard(kDot, 0, []() -> int { return static_cast<int>(DoubleArg(nullptr)); }));
  EXPECT_EQ(0, Guard(kDot, 0, []() -> int { return ByteFlagArg(nullptr); }));
  EXPECT_EQ(0, Guard(kDot, 0, []() -> int { return static_cast<int>(DateArg(nullptr)); }));
  const auto messages = log.Messages();
  ASSERT_EQ(7u, messages.size());
  EXPECT_EQ("ibListStrAdd.except=Out of memory", messages[0]);
  EXPECT_EQ("ibListStrAdd.except=Unknown failure", messages[1]);
  EXPECT_EQ("ibListStrAdd.except=logic", messages[2]);
  for (int i = 3; i < 7; ++i) EXPECT_EQ("ibListStrAdd.except=Null argument", messages[i]);
}

TEST(Guard, SilentExportsLogNothing) {
  ScratchLog log;
  EXPECT_EQ(0, Guard(kSilent, 0, []() -> int { throw EOrlixError("quiet"); }));
  EXPECT_EQ("", log.Contents());
}

TEST(Guard, WithTheLogOffAFailureStillEndsAsAValue) {
  SetLogFileName("");
  EXPECT_EQ(-1, Guard(kDot, -1, []() -> int { throw EOrlixError("nobody hears"); }));
}

TEST(Arguments, StringsAreTakenAsBytesAndTrimmedOnlyAtTheEnd) {
  EXPECT_EQ("", StrArg(nullptr));
  EXPECT_EQ("", TrimmedStrArg(nullptr));
  EXPECT_EQ("  abc", TrimmedStrArg("  abc  \t\r\n\x01"));
  EXPECT_EQ("", TrimmedStrArg(" \x1F "));
  EXPECT_EQ("\xE0\xE1", TrimmedStrArg("\xE0\xE1 "));  // bytes above 127 are kept
}

TEST(Arguments, FlagsReadOnlyTheFirstByte) {
  const int32_t on = 1, off = 256, high = 0x01000000, byte = 0x101;
  EXPECT_TRUE(ByteFlagArg(&on));
  EXPECT_FALSE(ByteFlagArg(&off));
  EXPECT_FALSE(ByteFlagArg(&high));
  EXPECT_TRUE(ByteFlagArg(&byte));
}

TEST(Arguments, DatesBecomeWholeDateTimes) {
  const int32_t timestamp[2] = {15018, 12345678};  // the time half is not read
  EXPECT_EQ(0.0, DateArg(timestamp));
  const int32_t day = 60018;
  EXPECT_EQ(45000.0, DateArg(&day));
}

TEST(Results, FreshStringsHoldLengthPlusOneBytes) {
  char* empty = NewResultString("");
  ASSERT_NE(nullptr, empty);
  EXPECT_EQ('\0', empty[0]);
  free(empty);
  const std::string bytes("a\0b", 3);  // embedded zeros are copied as they are
  char* copy = NewResultString(bytes);
  ASSERT_NE(nullptr, copy);
  EXPECT_EQ(0, std::memcmp(copy, "a\0b\0", 4));
  free(copy);
}

TEST(Results, DateBlocksStartAtDayZeroAndTakeWholeDays) {
  ServerTimestamp* block = NewDateBlock();
  ASSERT_NE(nullptr, block);
  EXPECT_EQ(15018, block->date);
  EXPECT_EQ(0u, block->time);
  SetDateBlock(block, 45000.75);
  EXPECT_EQ(60018, block->date);
  EXPECT_EQ(0u, block->time);
  free(block);
  SetDateBlock(nullptr, 1.0);  // no block: nothing to do
}

}  // namespace
}  // namespace orlix
