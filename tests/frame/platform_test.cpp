// Text order, regional formats, date conversion and large blocks of the
// platform layer.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "frame/dates.h"
#include "frame/format.h"
#include "frame/platform.h"

namespace orlix {
namespace {

using platform::CompareLocale;
using platform::CompareNamesIgnoreCase;

// Windows-1251 bytes of a few Cyrillic letters.
constexpr const char* kCyrA = "\xE0";        // а
constexpr const char* kCyrBigA = "\xC0";     // А
constexpr const char* kCyrYe = "\xE5";       // е
constexpr const char* kCyrYo = "\xB8";       // ё
constexpr const char* kCyrBigYo = "\xA8";    // Ё
constexpr const char* kCyrZhe = "\xE6";      // ж
constexpr const char* kCyrYa = "\xFF";       // я
constexpr const char* kSpisok = "\xD1\xEF\xE8\xF1\xEE\xEA";  // Список
constexpr const char* kSPISOK = "\xD1\xCF\xC8\xD1\xCE\xCA";  // СПИСОК

TEST(NameComparison, FoldsLatinAndCyrillicCase) {
  EXPECT_EQ(0, CompareNamesIgnoreCase("CalcPart", "calcpart"));
  EXPECT_EQ(0, CompareNamesIgnoreCase(kSpisok, kSPISOK));
  EXPECT_EQ(0, CompareNamesIgnoreCase(kCyrYo, kCyrBigYo));
  EXPECT_EQ(0, CompareNamesIgnoreCase(kCyrA, kCyrBigA));
  EXPECT_NE(0, CompareNamesIgnoreCase("a", "b"));
  EXPECT_NE(0, CompareNamesIgnoreCase(kCyrYe, kCyrYo));
  EXPECT_EQ(-1, CompareNamesIgnoreCase("abc", "ABCD"));  // a prefix sorts first
  EXPECT_EQ(1, CompareNamesIgnoreCase("b", "A"));
}

TEST(LocaleOrder, IsAlphabeticalWithCaseAsTiebreak) {
  EXPECT_EQ(-1, CompareLocale("a", "A"));   // lower case first on a tie
  EXPECT_EQ(-1, CompareLocale("A", "b"));   // but the letter decides first
  EXPECT_EQ(-1, CompareLocale("Ab", "aC"));
  EXPECT_EQ(1, CompareLocale("aB", "ab"));
  EXPECT_EQ(0, CompareLocale("same", "same"));
  EXPECT_EQ(-1, CompareLocale("z", kCyrA));  // Latin before Cyrillic
  EXPECT_EQ(-1, CompareLocale(kCyrYe, kCyrYo));
  EXPECT_EQ(-1, CompareLocale(kCyrYo, kCyrZhe));  // ё between е and ж
  EXPECT_EQ(-1, CompareLocale(kCyrBigYo, kCyrZhe));
  EXPECT_EQ(-1, CompareLocale(kCyrA, kCyrYa));
  EXPECT_EQ(-1, CompareLocale("9", "a"));  // digits before letters
  EXPECT_EQ(-1, CompareLocale("-", "0"));  // punctuation before digits
  EXPECT_EQ(-1, CompareLocale("ab", "abc"));
}

TEST(LocaleOrder, IsAConsistentTotalOrder) {
  // Antisymmetry and transitivity over all one- and two-byte strings of a
  // sample of bytes: sorting must never see a contradiction.
  std::vector<std::string> words;
  const unsigned char sample[] = {' ', '0', '9', 'A', 'a', 'Z', 'z', 0x80, 0x90, 0xA8, 0xB8,
                                  0xC0, 0xE0, 0xDF, 0xFF, 0x01, 0x7F};
  for (unsigned char x : sample) {
    words.emplace_back(1, static_cast<char>(x));
    for (unsigned char y : sample) words.push_back(std::string{static_cast<char>(x), static_cast<char>(y)});
  }
  for (const auto& a : words)
    for (const auto& b : words) {
      ASSERT_EQ(CompareLocale(a, b), -CompareLocale(b, a)) << a << " / " << b;
      ASSERT_EQ(CompareLocale(a, b) == 0, a == b);
    }
  std::vector<std::string> sorted = words;
  std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return CompareLocale(a, b) < 0; });
  for (size_t i = 1; i < sorted.size(); ++i) ASSERT_LT(CompareLocale(sorted[i - 1], sorted[i]), 0);
}

TEST(RegionalFormats, AreFixed) {
  EXPECT_EQ("05.03.2024", platform::FormatShortDate(2024, 3, 5));
  EXPECT_EQ("07:08:09", platform::FormatTime(7, 8, 9));
  EXPECT_EQ("0.1", FormatDouble(0.1));
  EXPECT_EQ("0.3", FormatDouble(0.1 + 0.2));  // 15 significant digits
  EXPECT_EQ("123456789012345", FormatDouble(123456789012345.0));
  EXPECT_EQ("1.5", FormatDouble(1.5));
  EXPECT_EQ("-2", FormatDouble(-2.0));
  EXPECT_EQ("1e+20", FormatDouble(1e20));
}

TEST(Dates, ConvertBetweenServerDaysAndDateTimes) {
  EXPECT_EQ(0.0, DateTimeFromServerDay(15018));
  EXPECT_EQ(60018, ServerDayFromDateTime(45000.75));
  EXPECT_EQ(15018, ServerDayFromDateTime(0.999));
  EXPECT_EQ(15018, ServerDayFromDateTime(-0.5));  // truncated toward zero
  EXPECT_EQ(INT32_MAX, ServerDayFromDateTime(1e300));
  EXPECT_EQ(INT32_MIN, ServerDayFromDateTime(-1e300));
  EXPECT_EQ("30.12.1899", FormatDate(0.0));
  EXPECT_EQ("17.11.1858", FormatDate(DateTimeFromServerDay(0)));
  EXPECT_EQ("01.03.2000", FormatDate(36586.0));
  EXPECT_EQ("29.02.2000 18:00:00", FormatDateTime(36585.75));
  EXPECT_EQ(36585.75, EncodeDateTime(2000, 2, 29, 18, 0, 0));
  EXPECT_EQ(0.0, EncodeDateTime(1899, 12, 30, 0, 0, 0));
  for (double day : {-700000.0, -1.0, 0.0, 59.0, 60.0, 61.0, 45000.0, 2958465.0}) {
    int year, month, mday;
    DecodeDate(day, year, month, mday);
    ASSERT_EQ(day, EncodeDateTime(year, month, mday, 0, 0, 0)) << day;
  }
  const double now = LocalDateTimeNow();
  EXPECT_GT(now, 45000.0);  // after 2023
  EXPECT_LT(now, 80000.0);
}

// A block starts on a large page, keeps its bytes through growth, in place
// and moved, and no step changes the thread's error code.
TEST(LargeBlocks, KeepTheirBytesThroughGrowth) {
  using platform::kLargePage;
  const auto aligned = [](const void* p) { return reinterpret_cast<uintptr_t>(p) % kLargePage == 0; };
  // A byte every 4093, from its offset.
  const auto fill = [](uint8_t* block, size_t from, size_t to) {
    for (size_t i = (from + 4092) / 4093 * 4093; i < to; i += 4093) block[i] = static_cast<uint8_t>(i * 7);
  };
  const auto filled = [](const uint8_t* block, size_t bytes) {
    for (size_t i = 0; i < bytes; i += 4093)
      if (block[i] != static_cast<uint8_t>(i * 7)) return false;
    return true;
  };
  errno = EDOM;
  size_t bytes = kLargePage + 100;
  auto* block = static_cast<uint8_t*>(platform::LargeAlloc(bytes));
  ASSERT_NE(nullptr, block);
  EXPECT_TRUE(aligned(block));
  fill(block, 0, bytes);

  // A page taken right after the block leaves growth no room in place.
  void* next = block + 2 * kLargePage;
  void* fence = mmap(next, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
  const size_t grown_bytes = 3 * kLargePage + 1;
  auto* grown = static_cast<uint8_t*>(platform::LargeGrow(block, bytes, grown_bytes));
  ASSERT_NE(nullptr, grown);
  if (fence == next) {
    EXPECT_NE(block, grown);
  }
  EXPECT_TRUE(filled(grown, bytes));
  fill(grown, bytes, grown_bytes);
  bytes = grown_bytes;

  auto* again = static_cast<uint8_t*>(platform::LargeGrow(grown, bytes, 9 * kLargePage));
  ASSERT_NE(nullptr, again);
  EXPECT_TRUE(filled(again, bytes));
  again[9 * kLargePage - 1] = 1;
  EXPECT_EQ(again, platform::LargeGrow(again, 9 * kLargePage, 100));  // never shrinks
  EXPECT_EQ(nullptr, platform::LargeAlloc(SIZE_MAX));
  EXPECT_EQ(nullptr, platform::LargeGrow(again, 9 * kLargePage, SIZE_MAX));
  EXPECT_EQ(EDOM, errno);
  platform::LargeFree(again, 9 * kLargePage);
  if (fence != MAP_FAILED) munmap(fence, 4096);
}

}  // namespace
}  // namespace orlix
