// The platform layer: the one place that knows the operating system.
// Everything else in the library reaches threads, errors, clocks, files and
// text order through these functions. platform_posix.cpp implements them for
// Linux; a Windows implementation would sit beside it with the same interface.
#ifndef ORLIX_FRAME_PLATFORM_H_
#define ORLIX_FRAME_PLATFORM_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Marks a function the server resolves by name.
#define ORLIX_EXPORT extern "C" __attribute__((visibility("default")))

namespace orlix::platform {

// ---- Thread-local slots -------------------------------------------------
// A slot holds one pointer per thread. Slots are allocated at library load and
// released at unload. When a thread that stored anything in a slot ends, the
// thread-end handler runs once on that thread, while every slot still answers.

using SlotId = int;
inline constexpr SlotId kNoSlot = -1;

// Returns kNoSlot when no slot is free (or the thread-end hook cannot be set up).
SlotId SlotAlloc();
// False when the slot was not allocated.
bool SlotFree(SlotId slot);
// The calling thread's value; nullptr when empty or the slot is not allocated.
void* SlotGet(SlotId slot);
// False when the value could not be stored (slot not allocated, no memory).
bool SlotSet(SlotId slot, void* value);

using ThreadEndHandler = void (*)();
// One handler for the whole library; it reads the slots and empties them.
void SetThreadEndHandler(ThreadEndHandler handler);

// ---- Large blocks ------------------------------------------------------------
// Whole pages straight from the system for arrays of tens of megabytes, on
// large pages where the system offers them: filling such a block then costs
// one page fault per large page instead of one per 4 KB page. Sizes are
// rounded up to kLargePage, so this is for blocks of several of them. None of
// these changes the thread's last error code.

inline constexpr size_t kLargePage = size_t{2} << 20;

// nullptr when the system has no memory for it.
void* LargeAlloc(size_t bytes);
// The block grown to new_bytes with its first old_bytes kept: pages move, bytes
// are not copied. nullptr leaves the block as it was.
void* LargeGrow(void* block, size_t old_bytes, size_t new_bytes);
// old_bytes as passed to LargeAlloc or LargeGrow.
void LargeFree(void* block, size_t bytes);

// ---- Threads and errors ---------------------------------------------------
// The kernel's id of the calling thread (the number log lines carry).
uint32_t CurrentThreadId();
// The calling thread's last system error code, and its text (at most 254 bytes).
int LastErrorCode();
std::string ErrorText(int code);

// ---- Text order over Windows-1251 bytes -------------------------------------
// Case-insensitive order for registry, table and list names: ASCII and
// Cyrillic letters (Ё/ё included) fold case. Returns -1, 0 or 1.
int CompareNamesIgnoreCase(std::string_view a, std::string_view b);
// Locale-aware, case-sensitive order: alphabetical by letter (Latin before
// Cyrillic), letter case only as the tiebreak, lower case first. -1, 0 or 1.
int CompareLocale(std::string_view a, std::string_view b);

// ---- Regional formats -------------------------------------------------------
// Fixed and documented: short date "dd.mm.yyyy", time "hh:mm:ss", numbers in the
// general form with up to 15 significant digits and "." as decimal separator.
std::string FormatShortDate(int year, int month, int day);
std::string FormatTime(int hour, int minute, int second);
std::string FormatGeneral(double value);
// The local calendar date and time of day now.
struct LocalClock {
  int year, month, day;
  int hour, minute, second;
};
LocalClock LocalNow();

// ---- Files -------------------------------------------------------------------
// Appends bytes to the named file (created when missing) with one write, so
// lines of concurrent threads land whole. The file is opened and closed for
// this call only. Returns false on any failure; the caller's errno is kept.
bool AppendToFile(const std::string& path, std::string_view bytes);

}  // namespace orlix::platform

#endif  // ORLIX_FRAME_PLATFORM_H_
