// Out of memory at every allocation of every call of every road: this
// program replaces the global operator new, so that the n-th allocation made
// inside one chosen call fails. For each road, each call of it and each n
// until the call makes fewer than n allocations, the road runs from the start
// on a fresh thread, and the chosen call must
//   - come back (nothing escapes the library),
//   - when it fails, answer its failure value and write exactly one log line,
// and the road then repeats the call and goes on: every later answer must be
// right, so a failed call leaves nothing half done.
//
//   orlix_alloc_failure_tests <ORLIX.so> <orlix.sql>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <new>
#include <sstream>
#include <string>
#include <thread>

#include "reliability/roads.h"

namespace {

// Counting down to the failing allocation, on the armed thread only.
thread_local long t_countdown = 0;  // 0: disarmed
thread_local bool t_failed = false;

void* Allocate(std::size_t size, std::size_t alignment = 0) {
  if (t_countdown > 0 && --t_countdown == 0) {
    t_failed = true;
    return nullptr;
  }
  if (size == 0) size = 1;
  if (alignment > alignof(std::max_align_t)) return std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
  return std::malloc(size);
}

}  // namespace

void* operator new(std::size_t size) {
  if (void* p = Allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) {
  if (void* p = Allocate(size, static_cast<std::size_t>(alignment))) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t alignment) { return operator new(size, alignment); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace {

const char* g_module_path = nullptr;
const char* g_script_path = nullptr;

// Fails the n-th allocation inside the call numbered target of the road.
class FailingCaller final : public orlix::roads::Caller {
 public:
  FailingCaller(const orlix::roads::Module& module, const std::string& road, int target, long n,
                const std::string& log)
      : Caller(module, road), target_(target), n_(n), log_(log) {}

  double Around(const char* name, double failure, const std::function<double()>& call) override {
    if (call_index_++ != target_) return call();
    reached_ = true;
    const size_t log_before = LogSize();
    t_failed = false;
    t_countdown = n_;
    const double result = call();
    t_countdown = 0;
    fired_ = t_failed;
    if (!fired_) return result;
    // Failure lines: the guard's "<export>.except=..." / "<export>: except=...",
    // or a registry that could not be made. Other lines are the call's own.
    const std::string added = LogTail(log_before);
    size_t failure_lines = 0;
    std::istringstream lines(added);
    for (std::string line; std::getline(lines, line);)
      if (line.find("except=") != std::string::npos || line.find("TLSIndex is error") != std::string::npos)
        ++failure_lines;
    const std::string where = std::string(name) + " with allocation " + std::to_string(n_) + " failing";
    if (failure_lines == 0) {
      // Only an informational line of the call was lost (the create and
      // destroy lines of lists, tables and engines): the call went through.
      Check(result != failure, where + " answers its failure value without a failure line");
      return result;
    }
    Check(failure_lines == 1, where + " writes one failure line, wrote: " + added);
    Check(result == failure, where + " answers its failure value " + std::to_string(failure) + ", got " +
                                 std::to_string(result));
    return call();  // the next call works, and the road goes on
  }

  bool reached() const { return reached_; }
  bool fired() const { return fired_; }

 private:
  size_t LogSize() const {
    std::ifstream in(log_, std::ios::binary | std::ios::ate);
    return in ? static_cast<size_t>(in.tellg()) : 0;
  }
  std::string LogTail(size_t from) const {
    std::ifstream in(log_, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(from));
    std::stringstream tail;
    tail << in.rdbuf();
    return tail.str();
  }

  const int target_;
  const long n_;
  const std::string log_;
  int call_index_ = 0;
  bool reached_ = false;
  bool fired_ = false;
};

TEST(AllocationFailure, EveryCallOfEveryRoadSurvivesEachFailingAllocation) {
  ASSERT_NE(nullptr, g_script_path) << "usage: orlix_alloc_failure_tests <ORLIX.so> <orlix.sql>";
  orlix::roads::Module module(g_module_path, g_script_path);
  ASSERT_TRUE(module.loaded()) << module.error();
  char pattern[] = "/tmp/orlix-alloc-XXXXXX";
  const std::string dir = mkdtemp(pattern);
  const std::string log = dir + "/orlix.log";
  module.SetLog(log);

  long runs = 0, failures_injected = 0;
  for (const orlix::roads::Road& road : orlix::roads::Roads()) {
    for (int target = 0;; ++target) {
      bool reached = false;
      for (long n = 1;; ++n) {
        FailingCaller caller(module, road.name, target, n, log);
        std::thread([&] { road.run(caller, 3, /*free_at_end=*/true); }).join();
        ++runs;
        for (const std::string& failure : caller.failures()) ADD_FAILURE() << failure;
        if (!caller.failures().empty()) return;  // the first fault tells enough
        reached = caller.reached();
        if (!caller.fired()) break;  // the call makes fewer than n allocations
        ++failures_injected;
      }
      if (!reached) break;  // past the road's last call
    }
    unlink(log.c_str());  // keep the log short; it is created again
  }
  module.SetLog("");
  rmdir(dir.c_str());
  EXPECT_GT(failures_injected, 100);
  std::printf("allocation failure: %ld road runs, %ld allocations made to fail\n", runs, failures_injected);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc > 2) {
    g_module_path = argv[1];
    g_script_path = argv[2];
  }
  return RUN_ALL_TESTS();
}
