// Loads ORLIX.so the way the server does (dlopen, symbols by name) and checks
// its life cycle: registries die with their thread, and unloading the module
// while threads that used it are still running leaves nothing behind that
// could call into the unloaded code.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

namespace {

const char* g_module_path = nullptr;

using StrFn = int32_t (*)(const char*);
using IntFn = int32_t (*)(const int32_t*);

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(nullptr, g_module_path) << "usage: orlix_module_tests <path of ORLIX.so>";
    handle_ = dlopen(g_module_path, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, handle_) << dlerror();
    char pattern[] = "/tmp/orlix-module-XXXXXX";
    dir_ = mkdtemp(pattern);
    log_ = dir_ + "/orlix.log";
  }
  void TearDown() override {
    if (handle_) dlclose(handle_);
    unlink(log_.c_str());
    rmdir(dir_.c_str());
  }
  template <class Fn>
  Fn Symbol(const char* name) {
    return reinterpret_cast<Fn>(dlsym(handle_, name));
  }

  void* handle_ = nullptr;
  std::string dir_;
  std::string log_;
};

TEST_F(ModuleTest, ExportsOnlyTheEntryPointsByName) {
  for (const char* name : {"ibGetCurrentThreadId", "ibVarExists", "ib_Log", "ibOrlixLog", "ibOrlixSetLog"})
    EXPECT_NE(nullptr, dlsym(handle_, name)) << name;
  EXPECT_EQ(nullptr, dlsym(handle_, "_ZN5orlix8WriteLogESt17basic_string_viewIcSt11char_traitsIcEEb"));
}

TEST_F(ModuleTest, ThreadEndDestroysWhatTheThreadBuilt) {
  auto set_log = Symbol<StrFn>("ibOrlixSetLog");
  auto list_create = Symbol<StrFn>("ibListStrCreate");
  auto var_exists = Symbol<StrFn>("ibVarExists");
  ASSERT_EQ(1, set_log(log_.c_str()));
  auto calc_create = Symbol<IntFn>("ibCalcPartCreate");
  std::thread([&] {
    EXPECT_EQ(0, var_exists("CalcPart"));  // makes the thread's object registry
    if (list_create) {
      EXPECT_EQ(1, list_create("on a worker thread"));
    }
    if (calc_create) {
      EXPECT_EQ(1, calc_create(nullptr));
      EXPECT_EQ(1, var_exists("calcpart"));
    }
  }).join();
  const std::string text = ReadFile(log_);
  if (list_create) {
    EXPECT_NE(std::string::npos, text.find(". TListStr.Create Time=")) << text;
    EXPECT_NE(std::string::npos, text.find(". TListStr.Destroy Time=")) << text;
  }
  if (calc_create) {
    // Engines die first, then tables, then lists.
    const size_t engine_gone = text.find(". TCalcPart.Destroy Time=");
    EXPECT_NE(std::string::npos, engine_gone) << text;
    if (list_create) {
      EXPECT_LT(engine_gone, text.find(". TListStr.Destroy Time=")) << text;
    }
  }
  set_log("");
}

TEST_F(ModuleTest, UnloadWhileAThreadStillHoldsRegistriesIsSafe) {
  auto var_exists = Symbol<StrFn>("ibVarExists");
  auto thread_id = Symbol<IntFn>("ibGetCurrentThreadId");
  ASSERT_NE(nullptr, var_exists);
  std::mutex mutex;
  std::condition_variable cv;
  bool used = false, unloaded = false;
  std::thread worker([&] {
    EXPECT_EQ(0, var_exists("Cut"));
    EXPECT_GT(thread_id(nullptr), 0);
    std::unique_lock<std::mutex> lock(mutex);
    used = true;
    cv.notify_all();
    cv.wait(lock, [&] { return unloaded; });
    // The thread now ends after the module is gone: its registries are left
    // alone, and no thread-end call may reach the unloaded code.
  });
  {
    std::unique_lock<std::mutex> lock(mutex);
    cv.wait(lock, [&] { return used; });
  }
  ASSERT_EQ(0, dlclose(handle_));
  handle_ = nullptr;
  // The module is really gone from the process, not kept loaded.
  EXPECT_EQ(nullptr, dlopen(g_module_path, RTLD_NOW | RTLD_NOLOAD));
  {
    std::lock_guard<std::mutex> lock(mutex);
    unloaded = true;
  }
  cv.notify_all();
  worker.join();
  SUCCEED() << "the worker ended without calling into the unloaded module";
}

TEST_F(ModuleTest, LoadingTwiceInARowStartsFresh) {
  // Calls run on threads that end before the unload, as server threads that
  // finish their work do; a thread still running keeps its registries.
  auto var_exists = Symbol<StrFn>("ibVarExists");
  std::thread([&] { EXPECT_EQ(0, var_exists("Ostatok")); }).join();
  ASSERT_EQ(0, dlclose(handle_));
  handle_ = dlopen(g_module_path, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(nullptr, handle_) << dlerror();
  var_exists = Symbol<StrFn>("ibVarExists");
  std::thread([&] { EXPECT_EQ(0, var_exists("Ostatok")); }).join();
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc > 1) g_module_path = argv[1];
  return RUN_ALL_TESTS();
}
