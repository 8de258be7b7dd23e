// Calls every declared export the way a careless caller could: null argument
// pointers, and arguments whose bytes read as -1, NaN and an unterminated-
// looking string of 0xFF bytes. Every call must come back; results the server
// frees are freed here. Run under the sanitizers this proves that no export
// reads or writes through a bad pointer or past its arguments.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

const char* g_module_path = nullptr;
const char* g_script_path = nullptr;

struct Declared {
  std::string entry;
  bool frees_result;  // FREE_IT: the caller frees the returned buffer
};

// Entry points of sql/orlix.sql, with whether their result is FREE_IT.
std::vector<Declared> ReadDeclarations(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  const std::string script = text.str();
  std::vector<Declared> declared;
  size_t pos = 0;
  while ((pos = script.find("DECLARE EXTERNAL FUNCTION", pos)) != std::string::npos) {
    const size_t entry = script.find("ENTRY_POINT '", pos);
    if (entry == std::string::npos) break;
    const size_t name_start = entry + 13;
    const size_t name_end = script.find('\'', name_start);
    declared.push_back({script.substr(name_start, name_end - name_start),
                        script.substr(pos, entry - pos).find("FREE_IT") != std::string::npos});
    pos = name_end;
  }
  return declared;
}

// Every export takes at most nine pointers (ibCutPartSpecAppend); extra
// ones are ignored by the calling convention.
using AnyExport = void* (*)(void*, void*, void*, void*, void*, void*, void*, void*, void*);

void CallAll(void* module, const std::vector<Declared>& exports, void* arg) {
  // Creates first, so later calls meet live lists, tables and engines.
  for (int pass = 0; pass < 2; ++pass)
    for (const Declared& d : exports) {
      const bool create = d.entry.find("Create") != std::string::npos;
      if (create != (pass == 0) || d.entry == "ibOrlixSetLog") continue;
      auto fn = reinterpret_cast<AnyExport>(dlsym(module, d.entry.c_str()));
      ASSERT_NE(nullptr, fn) << d.entry;
      void* result = fn(arg, arg, arg, arg, arg, arg, arg, arg, arg);
      if (d.frees_result) free(result);
    }
}

TEST(HostileArguments, EveryExportSurvivesNullAndGarbageArguments) {
  ASSERT_NE(nullptr, g_module_path);
  ASSERT_NE(nullptr, g_script_path);
  const std::vector<Declared> exports = ReadDeclarations(g_script_path);
  ASSERT_GE(exports.size(), 100u);
  void* module = dlopen(g_module_path, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(nullptr, module) << dlerror();

  // Room for the longest string an export may write into its argument.
  std::vector<unsigned char> garbage(1 << 16, 0);
  std::memset(garbage.data(), 0xFF, 8);  // -1 as an integer, NaN as a double
  std::vector<unsigned char> zeros(1 << 16, 0);
  std::vector<unsigned char> big(1 << 16, 0);
  const int32_t big_value = INT32_MAX;
  std::memcpy(big.data(), &big_value, sizeof big_value);

  // With the log on, the null pass must show up as failure lines: proof that
  // the calls reached the exports' argument checks.
  char dir_pattern[] = "/tmp/orlix-hostile-XXXXXX";
  const std::string log_path = std::string(mkdtemp(dir_pattern)) + "/orlix.log";
  auto set_log = reinterpret_cast<int32_t (*)(const char*)>(dlsym(module, "ibOrlixSetLog"));
  ASSERT_NE(nullptr, set_log);
  set_log(log_path.c_str());

  std::thread([&] {
    CallAll(module, exports, nullptr);
    CallAll(module, exports, garbage.data());
    std::memset(garbage.data(), 0xFF, 8);  // some exports write into their argument
    CallAll(module, exports, zeros.data());
    CallAll(module, exports, big.data());
  }).join();  // the thread's registries die here, with whatever the calls left
  set_log("");
  EXPECT_EQ(0, dlclose(module));

  std::ifstream log(log_path, std::ios::binary);
  std::stringstream lines;
  lines << log.rdbuf();
  const std::string text = lines.str();
  size_t null_lines = 0;
  for (size_t at = text.find("except=Null argument"); at != std::string::npos;
       at = text.find("except=Null argument", at + 1))
    ++null_lines;
  EXPECT_GE(null_lines, 50u) << "the null pass should fail argument checks in most exports";
  std::remove(log_path.c_str());
  std::remove(log_path.substr(0, log_path.rfind('/')).c_str());
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
