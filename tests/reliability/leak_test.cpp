// Threads create lists, tables and every engine, check them, and end without
// freeing anything: what they made must die with them. Run under valgrind
// (or, in the sanitizer build, LeakSanitizer), which fails the test on any
// byte lost.
//
//   orlix_leak_tests <ORLIX.so> <orlix.sql>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "reliability/roads.h"

namespace {

const char* g_module_path = nullptr;
const char* g_script_path = nullptr;

TEST(Leaks, ThreadsEndingWithoutFreeingLeaveNothingBehind) {
  ASSERT_NE(nullptr, g_script_path) << "usage: orlix_leak_tests <ORLIX.so> <orlix.sql>";
  orlix::roads::Module module(g_module_path, g_script_path);
  ASSERT_TRUE(module.loaded()) << module.error();
  constexpr int kThreads = 4;
  std::vector<std::vector<std::string>> failures(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      // Every road once unfreed; the string list road twice, so that a list
      // is replaced under its name too.
      for (const orlix::roads::Road& road : orlix::roads::Roads()) {
        orlix::roads::Caller caller(module, road.name);
        road.run(caller, t, /*free_at_end=*/false);
        failures[t].insert(failures[t].end(), caller.failures().begin(), caller.failures().end());
      }
      orlix::roads::Caller again(module, "string list again");
      orlix::roads::Roads().front().run(again, t, false);
      failures[t].insert(failures[t].end(), again.failures().begin(), again.failures().end());
    });
  for (auto& thread : threads) thread.join();
  for (const auto& thread_failures : failures)
    for (const std::string& failure : thread_failures) ADD_FAILURE() << failure;
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
