// Sixteen threads run every family's road over and over, each with its own
// data, and check every answer, while another thread keeps switching the log
// file (and switching it off). Built with ThreadSanitizer (ORLIX_TSAN) this
// proves the threads share nothing unguarded; in any build it proves that
// no thread sees another's lists, tables or engines.
//
//   orlix_stress_tests <ORLIX.so> <orlix.sql>   (ORLIX_STRESS_ROUNDS: rounds a thread)
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "reliability/roads.h"

namespace {

const char* g_module_path = nullptr;
const char* g_script_path = nullptr;

constexpr int kThreads = 16;

TEST(Stress, SixteenThreadsRunEveryRoadWhileTheLogSwitches) {
  ASSERT_NE(nullptr, g_script_path) << "usage: orlix_stress_tests <ORLIX.so> <orlix.sql>";
  orlix::roads::Module module(g_module_path, g_script_path);
  ASSERT_TRUE(module.loaded()) << module.error();
  const char* rounds_text = std::getenv("ORLIX_STRESS_ROUNDS");
  const int rounds = rounds_text ? std::atoi(rounds_text) : 100;

  char pattern[] = "/tmp/orlix-stress-XXXXXX";
  const std::string dir = mkdtemp(pattern);
  const std::string logs[] = {dir + "/a.log", dir + "/b.log", ""};

  std::atomic<int> running{kThreads};
  std::atomic<int> switches{0};
  std::mutex failures_mutex;
  std::vector<std::string> failures;
  std::atomic<int> checks{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      while (switches.load() == 0) std::this_thread::yield();  // the switcher is running
      for (int round = 0; round < rounds; ++round)
        for (const orlix::roads::Road& road : orlix::roads::Roads()) {
          // Seeds differ between threads, so a thread that saw another's
          // data would fail its checks.
          orlix::roads::Caller caller(module, road.name);
          road.run(caller, t * 1000 + round, /*free_at_end=*/true);
          checks += caller.checks();
          if (!caller.failures().empty()) {
            std::lock_guard<std::mutex> lock(failures_mutex);
            for (const std::string& f : caller.failures())
              failures.push_back("thread " + std::to_string(t) + " round " + std::to_string(round) + ": " + f);
          }
        }
      --running;
    });
  std::thread switcher([&] {
    while (running.load() > 0) {
      module.SetLog(logs[switches++ % 3]);
    }
  });
  for (auto& thread : threads) thread.join();
  switcher.join();
  module.SetLog("");

  // Every road makes at least ten checks.
  EXPECT_GE(checks.load(), kThreads * rounds * static_cast<int>(orlix::roads::Roads().size()) * 10);
  for (size_t i = 0; i < failures.size() && i < 20; ++i) ADD_FAILURE() << failures[i];
  EXPECT_TRUE(failures.empty()) << failures.size() << " failed checks of " << checks.load();
  // Lines from the roads' creates and frees landed in the two files.
  std::ifstream a(logs[0]), b(logs[1]);
  EXPECT_TRUE(a.good() || b.good());
  for (const std::string& log : {logs[0], logs[1]}) unlink(log.c_str());
  rmdir(dir.c_str());
  std::printf("stress: %d threads x %d rounds x %zu roads, %d checks, %d log switches\n", kThreads, rounds,
              orlix::roads::Roads().size(), checks.load(), switches.load());
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
