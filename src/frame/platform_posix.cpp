// POSIX implementation of the platform layer (Linux, glibc).
#include "frame/platform.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <ctime>
#include <mutex>
#include <new>

namespace orlix::platform {
namespace {

// ---- Slots -------------------------------------------------------------------
// All slots of a thread live in one block held by a single pthread key. One key
// means one destructor, so the thread-end handler sees every slot at once: with
// a key per slot the C library would clear some of them before others' turn.

constexpr int kMaxSlots = 8;

struct SlotBlock {
  std::array<void*, kMaxSlots> values{};
};

std::mutex g_slot_mutex;                  // guards allocation and release only
std::array<bool, kMaxSlots> g_slot_used{};
int g_slots_in_use = 0;
pthread_key_t g_key;
std::atomic<bool> g_key_live{false};
std::atomic<ThreadEndHandler> g_thread_end{nullptr};

void OnThreadExit(void* raw) {
  auto* block = static_cast<SlotBlock*>(raw);
  // The C library has already emptied the key; put the block back for the
  // handler's reads, then drop it for good.
  if (pthread_setspecific(g_key, block) == 0) {
    if (ThreadEndHandler handler = g_thread_end.load()) handler();
    pthread_setspecific(g_key, nullptr);
  }
  delete block;
}

bool ValidSlot(SlotId slot) { return slot >= 0 && slot < kMaxSlots; }

SlotBlock* CurrentBlock() {
  if (!g_key_live.load(std::memory_order_acquire)) return nullptr;
  return static_cast<SlotBlock*>(pthread_getspecific(g_key));
}

// The order of primary weights of the letters, lower case, Windows-1251 codes.
// Latin first, then Cyrillic; the letters of other Cyrillic alphabets follow
// the Russian letter they sort with.
constexpr unsigned char kLatinOrder[] = "abcdefghijklmnopqrstuvwxyz";
constexpr unsigned char kCyrillicOrder[] = {
    0xE0, 0xE1, 0xE2, 0xE3, 0xB4, 0x83, 0xE4, 0x90, 0xE5, 0xB8, 0xBA, 0xE6, 0xE7, 0xBE,
    0xE8, 0xB3, 0xBF, 0xE9, 0xBC, 0xEA, 0x9D, 0xEB, 0x9A, 0xEC, 0xED, 0x9C, 0xEE, 0xEF,
    0xF0, 0xF1, 0xF2, 0x9E, 0xF3, 0xA2, 0xF4, 0xF5, 0xF6, 0xF7, 0x9F, 0xF8, 0xF9, 0xFA,
    0xFB, 0xFC, 0xFD, 0xFE, 0xFF};
// Upper-case partner of each lower-case Cyrillic letter outside the А..я block.
constexpr unsigned char kCyrillicPairs[][2] = {
    {0xB4, 0xA5}, {0x83, 0x81}, {0x90, 0x80}, {0xB8, 0xA8}, {0xBA, 0xAA}, {0xBE, 0xBD},
    {0xB3, 0xB2}, {0xBF, 0xAF}, {0xBC, 0xA3}, {0x9D, 0x8D}, {0x9A, 0x8A}, {0x9C, 0x8C},
    {0x9E, 0x8E}, {0xA2, 0xA1}, {0x9F, 0x8F}};

struct Weights {
  std::array<uint16_t, 256> primary{};  // equal for the two cases of a letter
  std::array<uint8_t, 256> upper{};     // 1 for an upper-case letter
};

// Non-letters keep their byte order and come first, digits next, then letters.
constexpr Weights MakeWeights() {
  Weights w;
  for (int b = 0; b < 256; ++b) w.primary[b] = static_cast<uint16_t>(b);
  for (int d = 0; d < 10; ++d) w.primary['0' + d] = static_cast<uint16_t>(0x200 + d);
  uint16_t rank = 0x300;
  for (int i = 0; i < 26; ++i, ++rank) {
    w.primary[kLatinOrder[i]] = rank;
    w.primary[kLatinOrder[i] - 'a' + 'A'] = rank;
    w.upper[kLatinOrder[i] - 'a' + 'A'] = 1;
  }
  for (unsigned char lower : kCyrillicOrder) {
    w.primary[lower] = rank;
    unsigned char upper = 0;
    if (lower >= 0xE0) upper = static_cast<unsigned char>(lower - 0x20);
    for (const auto& pair : kCyrillicPairs)
      if (pair[0] == lower) upper = pair[1];
    w.primary[upper] = rank;
    w.upper[upper] = 1;
    ++rank;
  }
  return w;
}

constexpr Weights kWeights = MakeWeights();

int ComparePrimary(std::string_view a, std::string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const uint16_t wa = kWeights.primary[static_cast<unsigned char>(a[i])];
    const uint16_t wb = kWeights.primary[static_cast<unsigned char>(b[i])];
    if (wa != wb) return wa < wb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::string TwoDigits(int v) {
  char buf[3] = {static_cast<char>('0' + v / 10 % 10), static_cast<char>('0' + v % 10), 0};
  return buf;
}

}  // namespace

SlotId SlotAlloc() {
  std::lock_guard<std::mutex> lock(g_slot_mutex);
  if (!g_key_live.load()) {
    if (pthread_key_create(&g_key, OnThreadExit) != 0) return kNoSlot;
    g_key_live.store(true, std::memory_order_release);
  }
  for (int i = 0; i < kMaxSlots; ++i) {
    if (!g_slot_used[i]) {
      g_slot_used[i] = true;
      ++g_slots_in_use;
      return i;
    }
  }
  return kNoSlot;
}

bool SlotFree(SlotId slot) {
  std::lock_guard<std::mutex> lock(g_slot_mutex);
  if (!ValidSlot(slot) || !g_slot_used[slot]) return false;
  // Values other threads still hold in this slot are left alone.
  if (SlotBlock* block = CurrentBlock()) block->values[slot] = nullptr;
  g_slot_used[slot] = false;
  if (--g_slots_in_use == 0 && g_key_live.load()) {
    // With the key gone no thread-end call can reach code being unloaded.
    g_key_live.store(false);
    pthread_key_delete(g_key);
  }
  return true;
}

void* SlotGet(SlotId slot) {
  if (!ValidSlot(slot)) return nullptr;
  SlotBlock* block = CurrentBlock();
  return block ? block->values[slot] : nullptr;
}

bool SlotSet(SlotId slot, void* value) {
  if (!ValidSlot(slot) || !g_key_live.load(std::memory_order_acquire)) return false;
  SlotBlock* block = CurrentBlock();
  if (!block) {
    block = new (std::nothrow) SlotBlock;
    if (!block) return false;
    if (pthread_setspecific(g_key, block) != 0) {
      delete block;
      return false;
    }
  }
  block->values[slot] = value;
  return true;
}

void SetThreadEndHandler(ThreadEndHandler handler) { g_thread_end.store(handler); }

namespace {

// Bytes rounded up to whole large pages; 0 when that overflows.
size_t LargeRound(size_t bytes) {
  if (bytes == 0 || bytes > SIZE_MAX - kLargePage) return 0;
  return (bytes + kLargePage - 1) & ~(kLargePage - 1);
}

// A mapping of rounded bytes that starts on a large-page boundary: one large
// page more is mapped and the ends are trimmed. The advice is only a request;
// where it is refused the block simply has small pages.
void* MapLarge(size_t rounded) {
  const size_t span = rounded + kLargePage;
  void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const uintptr_t start = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t aligned = (start + kLargePage - 1) & ~(uintptr_t{kLargePage} - 1);
  if (aligned > start) munmap(raw, aligned - start);
  if (const size_t tail = start + span - (aligned + rounded)) munmap(reinterpret_cast<void*>(aligned + rounded), tail);
  void* block = reinterpret_cast<void*>(aligned);
  madvise(block, rounded, MADV_HUGEPAGE);
  return block;
}

}  // namespace

void* LargeAlloc(size_t bytes) {
  const size_t rounded = LargeRound(bytes);
  if (!rounded) return nullptr;
  const int saved = errno;
  void* block = MapLarge(rounded);
  errno = saved;
  return block;
}

void* LargeGrow(void* block, size_t old_bytes, size_t new_bytes) {
  const size_t old_rounded = LargeRound(old_bytes), new_rounded = LargeRound(new_bytes);
  if (!block || !old_rounded) return LargeAlloc(new_bytes);
  if (!new_rounded) return nullptr;
  if (new_rounded <= old_rounded) return block;
  // The system grows the mapping in place or moves its pages elsewhere; no
  // byte is copied. A moved block need not start on a large page, but every
  // whole large page inside it still gets one.
  const int saved = errno;
  void* grown = mremap(block, old_rounded, new_rounded, MREMAP_MAYMOVE);
  if (grown == MAP_FAILED) {
    grown = nullptr;
  } else {
    madvise(grown, new_rounded, MADV_HUGEPAGE);
  }
  errno = saved;
  return grown;
}

void LargeFree(void* block, size_t bytes) {
  if (!block) return;
  const int saved = errno;
  munmap(block, LargeRound(bytes));
  errno = saved;
}

uint32_t CurrentThreadId() { return static_cast<uint32_t>(syscall(SYS_gettid)); }

int LastErrorCode() { return errno; }

std::string ErrorText(int code) {
  char buf[255] = {};
  // GNU strerror_r may return a static string instead of filling buf.
  const char* text = strerror_r(code, buf, sizeof buf - 1);
  if (!text) return std::string();
  return std::string(text, strnlen(text, sizeof buf - 1));
}

int CompareNamesIgnoreCase(std::string_view a, std::string_view b) { return ComparePrimary(a, b); }

int CompareLocale(std::string_view a, std::string_view b) {
  if (int r = ComparePrimary(a, b)) return r;
  for (size_t i = 0; i < a.size(); ++i) {
    const uint8_t ua = kWeights.upper[static_cast<unsigned char>(a[i])];
    const uint8_t ub = kWeights.upper[static_cast<unsigned char>(b[i])];
    if (ua != ub) return ua < ub ? -1 : 1;
  }
  return 0;
}

std::string FormatShortDate(int year, int month, int day) {
  std::string year_text = std::to_string(year);
  if (year >= 0 && year < 1000) year_text.insert(0, 4 - year_text.size(), '0');
  return TwoDigits(day) + "." + TwoDigits(month) + "." + year_text;
}

std::string FormatTime(int hour, int minute, int second) {
  return TwoDigits(hour) + ":" + TwoDigits(minute) + ":" + TwoDigits(second);
}

std::string FormatGeneral(double value) {
  char buf[64];
  auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  return std::string(buf, result.ptr);
}

LocalClock LocalNow() {
  const time_t now = time(nullptr);
  tm parts{};
  if (!localtime_r(&now, &parts)) {
    parts = tm{};
    parts.tm_year = 70;
    parts.tm_mday = 1;
  }
  return LocalClock{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
}

bool AppendToFile(const std::string& path, std::string_view bytes) {
  const int saved_errno = errno;
  bool ok = false;
  // O_NONBLOCK: a FIFO without a reader fails at once instead of hanging.
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0644);
  if (fd >= 0) {
    ssize_t written;
    do {
      written = write(fd, bytes.data(), bytes.size());
    } while (written < 0 && errno == EINTR);
    ok = written == static_cast<ssize_t>(bytes.size());
    close(fd);
  }
  errno = saved_errno;
  return ok;
}

}  // namespace orlix::platform
