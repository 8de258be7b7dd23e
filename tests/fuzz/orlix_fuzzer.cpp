// libFuzzer harness: decodes each input into a sequence of calls to the
// exports of ORLIX.so, loaded with dlopen the way the server loads it.
//
// Table-driven: at start-up it reads the declaration script (sql/orlix.sql)
// for every export's argument kinds and result, and the quoted words of its
// comments (type, action, table, field and engine names) as a dictionary. A
// new export is fuzzed without any edit here.
//
// An input is a mix of single calls to any export and roads: a family's
// Create, then calls that fill it (Add..., Append..., Set..., Insert...),
// Execute, then reads, and most of the time Free. Arguments come from small
// values, earlier results (handles, indexes), extremes (negative and huge
// integers, NaN, infinities, denormals, dates from year 1 to 9999), strings
// from the dictionary, empty, up to their declared CSTRING size and with bytes
// 0x80-0xFF, and now and then a null pointer. Each argument lives in a heap
// block of exactly its declared size, so the sanitizers see any access past
// it. Each input runs on a fresh thread, whose registries die with it.
#include <dlfcn.h>
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

enum class Kind { kInt16, kInt32, kInt64, kFloat, kDouble, kDate, kTimestamp, kCString };
enum class Result { kInt16, kInt32, kInt64, kFloat, kDouble, kPointer };

struct Export {
  std::string name;
  std::vector<Kind> args;
  std::vector<size_t> string_sizes;  // declared n of each CSTRING(n), 0 for others
  Result result;
  bool frees_result;  // FREE_IT: the caller frees the returned block
  bool is_string_result;
  void* address;
  std::vector<std::string> words;  // from the comments just before the declaration
};

struct Family {
  const Export* create = nullptr;
  // fill: Add..., Append..., Set..., Insert...; define: the Add... and
  // Append... among them, called first so that later calls meet fields and rows.
  std::vector<const Export*> define, fill, execute, read, free;
  std::vector<std::string> words;  // the members' words: the names this family expects
};

constexpr int kMaxArgs = 16;
// Day numbers of the server (counted from 1858-11-17): 0001-01-01, 9999-12-31
// and 2024-03-01, the centre of most dates drawn.
constexpr int32_t kFirstDay = -678575;
constexpr int32_t kLastDay = 2973483;
constexpr int32_t kBaseDay = 60370;
constexpr size_t kMaxCallsPerInput = 200;

std::vector<Export> g_exports;
std::vector<Family> g_families;
std::vector<std::string> g_words;  // the dictionary
std::string g_log_path;
bool g_trace = false;  // ORLIX_FUZZ_TRACE=1: each call on stderr, for reproducers

[[noreturn]] void Die(const std::string& why) {
  std::fprintf(stderr, "orlix_fuzzer: %s\n", why.c_str());
  std::exit(1);
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

Kind ArgKind(const std::string& text, size_t* string_size) {
  const std::string t = Upper(text);
  std::smatch m;
  if (std::regex_search(t, m, std::regex(R"(^CSTRING\s*\(\s*(\d+)\s*\))"))) {
    *string_size = std::stoul(m[1]);
    return Kind::kCString;
  }
  if (t.rfind("INTEGER", 0) == 0) return Kind::kInt32;
  if (t.rfind("SMALLINT", 0) == 0) return Kind::kInt16;
  if (t.rfind("BIGINT", 0) == 0) return Kind::kInt64;
  if (t.rfind("DOUBLE PRECISION", 0) == 0) return Kind::kDouble;
  if (t.rfind("FLOAT", 0) == 0) return Kind::kFloat;
  if (t.rfind("DATE", 0) == 0) return Kind::kDate;
  if (t.rfind("TIMESTAMP", 0) == 0) return Kind::kTimestamp;
  Die("argument kind not known to the harness: " + text);
}

void ReadScript(const std::string& path, void* module) {
  std::ifstream in(path);
  if (!in) Die("cannot read " + path);
  std::stringstream buffer;
  buffer << in.rdbuf();
  const std::string script = buffer.str();

  // Names the exports expect, from the comments: quoted words, words with an
  // underscore, words in capitals, and words numbered in a list, as in
  // "ostdate 0, pack 1" (a few prose words slip in; they only dilute). Each
  // declaration keeps the words of the comments between it and the one
  // before (its own description and any section header).
  const std::regex comment(R"(/\*[\s\S]*?\*/)");
  const std::regex word(R"('([A-Za-z_]\w{0,31})'|\b([a-z]+_\w+|[A-Z][A-Z_]{2,31})\b|(?:, |: )([A-Za-z]\w{1,31}) \d\b)");
  std::vector<std::pair<size_t, std::vector<std::string>>> comment_words;  // position, words
  std::string code = script;  // the script with its comments blanked, positions kept
  std::map<std::string, bool> seen;
  for (auto c = std::sregex_iterator(script.begin(), script.end(), comment); c != std::sregex_iterator(); ++c) {
    const std::string text = c->str();
    std::fill_n(code.begin() + c->position(), text.size(), ' ');
    comment_words.emplace_back(c->position(), std::vector<std::string>());
    for (auto w = std::sregex_iterator(text.begin(), text.end(), word); w != std::sregex_iterator(); ++w)
      for (int group = 1; group <= 3; ++group)
        if ((*w)[group].matched) {
          comment_words.back().second.push_back((*w)[group]);
          if (!seen[(*w)[group]]) {
            seen[(*w)[group]] = true;
            g_words.push_back((*w)[group]);
          }
        }
  }
  const std::regex declaration(
      R"(DECLARE\s+EXTERNAL\s+FUNCTION\s+(\w+)([\s\S]*?)\bRETURNS\b([\s\S]*?)\bENTRY_POINT\s+'(\w+)')",
      std::regex::icase);
  size_t previous_end = 0;
  for (auto d = std::sregex_iterator(code.begin(), code.end(), declaration); d != std::sregex_iterator(); ++d) {
    Export e;
    e.name = (*d)[4];
    const size_t start = d->position();
    for (const auto& [at, words] : comment_words)
      if (at >= previous_end && at < start) e.words.insert(e.words.end(), words.begin(), words.end());
    previous_end = start + d->length();
    std::stringstream args((*d)[2].str());
    for (std::string arg; std::getline(args, arg, ',');) {
      arg = std::regex_replace(arg, std::regex(R"(^\s+|\s+$)"), "");
      if (arg.empty()) continue;
      size_t size = 0;
      e.args.push_back(ArgKind(arg, &size));
      e.string_sizes.push_back(size);
    }
    if (e.args.size() > kMaxArgs) Die(e.name + " has more arguments than the harness passes");
    const std::string result = Upper((*d)[3]);
    e.frees_result = result.find("FREE_IT") != std::string::npos;
    e.is_string_result = result.find("CSTRING") != std::string::npos;
    const bool by_value = result.find("BY VALUE") != std::string::npos;
    if (!by_value) e.result = Result::kPointer;
    else if (result.find("DOUBLE") != std::string::npos) e.result = Result::kDouble;
    else if (result.find("FLOAT") != std::string::npos) e.result = Result::kFloat;
    else if (result.find("BIGINT") != std::string::npos) e.result = Result::kInt64;
    else if (result.find("SMALLINT") != std::string::npos) e.result = Result::kInt16;
    else if (result.find("INTEGER") != std::string::npos) e.result = Result::kInt32;
    else Die("result kind not known to the harness: " + result);
    e.address = dlsym(module, e.name.c_str());
    if (!e.address) Die("declared but not exported: " + e.name);
    g_exports.push_back(std::move(e));
  }
  if (g_exports.empty()) Die("no declaration found in " + path);

  // Families: the exports sharing the prefix of a ...Create export.
  for (const Export& create : g_exports) {
    const size_t at = create.name.rfind("Create");
    if (at == std::string::npos || at + 6 != create.name.size()) continue;
    const std::string prefix = create.name.substr(0, at);
    Family family;
    family.create = &create;
    family.words = create.words;
    for (const Export& e : g_exports) {
      if (&e == &create || e.name.rfind(prefix, 0) != 0) continue;
      family.words.insert(family.words.end(), e.words.begin(), e.words.end());
      const std::string verb = e.name.substr(prefix.size());
      if (verb.rfind("Free", 0) == 0) family.free.push_back(&e);
      else if (verb.rfind("Execute", 0) == 0) family.execute.push_back(&e);
      else if (verb.find("Add") != std::string::npos || verb.find("Append") != std::string::npos ||
               verb.find("Set") != std::string::npos || verb.find("Insert") != std::string::npos) {
        family.fill.push_back(&e);
        if (verb.find("Add") != std::string::npos || verb.find("Append") != std::string::npos)
          family.define.push_back(&e);
      } else family.read.push_back(&e);
    }
    g_families.push_back(std::move(family));
  }
}

// One input's calls, with the results they gave so far.
class Session {
 public:
  explicit Session(FuzzedDataProvider& data) : data_(data) {}

  void Run() {
    while (data_.remaining_bytes() > 0 && calls_ < kMaxCallsPerInput) {
      if (g_families.empty() || data_.ConsumeBool()) {
        Call(g_exports[data_.ConsumeIntegralInRange<size_t>(0, g_exports.size() - 1)]);
      } else {
        Road(g_families[data_.ConsumeIntegralInRange<size_t>(0, g_families.size() - 1)]);
      }
    }
  }

 private:
  const Export* Pick(const std::vector<const Export*>& from) {
    return from.empty() ? nullptr : from[data_.ConsumeIntegralInRange<size_t>(0, from.size() - 1)];
  }

  void Road(const Family& family) {
    road_ = &family;
    Call(*family.create, /*in_road=*/true);
    road_handle_ = ints_.empty() ? 1 : ints_.back();
    // Once the input is used up every draw is zero: the road stops filling
    // and reading then, rather than repeat one call with null arguments.
    const int defines = data_.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < defines && data_.remaining_bytes() > 0; ++i)
      if (const Export* e = Pick(family.define)) Call(*e, true);
    const int fills = data_.ConsumeIntegralInRange(0, 24);
    for (int i = 0; i < fills && data_.remaining_bytes() > 0; ++i)
      if (const Export* e = Pick(family.fill)) Call(*e, true);
    for (const Export* e : family.execute) Call(*e, true);
    const int reads = data_.ConsumeIntegralInRange(0, 16);
    for (int i = 0; i < reads && data_.remaining_bytes() > 0; ++i)
      if (const Export* e = Pick(family.read)) Call(*e, true);
    if (data_.ConsumeIntegralInRange(0, 3) > 0)
      if (const Export* e = Pick(family.free)) Call(*e, true);
    road_ = nullptr;
  }

  int64_t Integer(bool in_road) {
    switch (data_.ConsumeIntegralInRange(0, in_road ? 9 : 11)) {
      case 0:
      case 1:
      case 2:
      case 3:
        return data_.ConsumeIntegralInRange(0, 4);
      case 4:
      case 5:
      case 6:
        if (!ints_.empty()) return ints_[data_.ConsumeIntegralInRange<size_t>(0, ints_.size() - 1)];
        return 1;
      case 7:
        return data_.ConsumeIntegralInRange(-3, 40);
      case 8:
        return 256 * data_.ConsumeIntegralInRange(0, 2) + data_.ConsumeIntegralInRange(0, 1);
      case 9:
        return data_.ConsumeIntegral<int32_t>();
      case 10:
        return data_.PickValueInArray(
            {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), -1, -1000});
      default:
        return data_.ConsumeIntegral<int64_t>();
    }
  }

  double Double() {
    switch (data_.ConsumeIntegralInRange(0, 9)) {
      case 0:
      case 1:
      case 2:
      case 3:
        return data_.ConsumeIntegralInRange(-8, 8) / 4.0;
      case 4:
        if (!doubles_.empty()) return doubles_[data_.ConsumeIntegralInRange<size_t>(0, doubles_.size() - 1)];
        return 1.5;
      case 5:
        return data_.ConsumeIntegralInRange(-100000, 100000);
      case 6: {
        uint64_t bits = data_.ConsumeIntegral<uint64_t>();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;  // any pattern: NaNs with payloads, denormals
      }
      default:
        return data_.PickValueInArray(
            {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
             -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::denorm_min(),
             std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(), -0.0, 1e15, -1000.0, 0.1});
    }
  }

  int32_t Day() {
    switch (data_.ConsumeIntegralInRange(0, 7)) {
      case 0:
      case 1:
      case 2:
      case 3:
      case 4:
        return kBaseDay + data_.ConsumeIntegralInRange(-20, 40);
      case 5:
        return data_.PickValueInArray({kFirstDay, kLastDay, 0, 15018 /* 1899-12-30 */, kBaseDay});
      default:
        return data_.ConsumeIntegralInRange(kFirstDay, kLastDay);
    }
  }

  std::string Text(size_t declared, bool in_road) {
    std::string text;
    // In a road, names mostly come from the words of the road's family.
    const std::vector<std::string>& words = in_road && road_ && !road_->words.empty() ? road_->words : g_words;
    switch (data_.ConsumeIntegralInRange(0, in_road ? 7 : 9)) {
      case 0:
      case 1:
      case 2:
      case 3:
      case 4:
        if (!words.empty()) text = words[data_.ConsumeIntegralInRange<size_t>(0, words.size() - 1)];
        break;
      case 5:
        if (!strings_.empty()) text = strings_[data_.ConsumeIntegralInRange<size_t>(0, strings_.size() - 1)];
        break;
      case 6:
      case 7:
        text = data_.ConsumeRandomLengthString(64);
        break;
      case 8:
        text.assign(declared, static_cast<char>(data_.ConsumeIntegralInRange(0x20, 0xFF)));
        break;
      default: {
        const size_t size = data_.ConsumeIntegralInRange<size_t>(0, declared);
        for (size_t i = 0; i < size; ++i) text += static_cast<char>(0x80 + data_.ConsumeIntegralInRange(0, 0x7F));
      }
    }
    if (data_.ConsumeIntegralInRange(0, 3) == 0) {  // letter case varies, as callers' does
      for (char& c : text)
        if (c >= 'a' && c <= 'z' && data_.ConsumeBool()) c = static_cast<char>(c - 'a' + 'A');
    }
    const size_t nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    if (text.size() > declared) text.resize(declared);
    return text;
  }

  // A heap block of exactly the declared size of the argument.
  std::unique_ptr<char[]> Argument(const Export& e, size_t i, bool in_road, bool is_log_name) {
    const Kind kind = e.args[i];
    auto put = [](auto value) {
      std::unique_ptr<char[]> block(new char[sizeof value]);
      std::memcpy(block.get(), &value, sizeof value);
      return block;
    };
    switch (kind) {
      case Kind::kInt16:
        return put(static_cast<int16_t>(Integer(in_road)));
      case Kind::kInt32:
        // In a road the first integer is mostly the handle the road's Create gave.
        if (in_road && i == 0 && data_.ConsumeIntegralInRange(0, 3) > 0) return put(static_cast<int32_t>(road_handle_));
        return put(static_cast<int32_t>(Integer(in_road)));
      case Kind::kInt64:
        return put(Integer(in_road));
      case Kind::kFloat:
        return put(static_cast<float>(Double()));
      case Kind::kDouble:
        return put(Double());
      case Kind::kDate:
        return put(Day());
      case Kind::kTimestamp:
        return put(int64_t{Day()} | (int64_t{data_.ConsumeIntegral<uint32_t>()} << 32));
      case Kind::kCString: {
        const size_t declared = e.string_sizes[i];
        // The log switch names a real file: a fuzzed name would create files
        // anywhere the fuzzer may write. Only the choice of name is fuzzed.
        const std::string text = is_log_name ? data_.PickValueInArray<std::string>({"", g_log_path, g_log_path + ".2"})
                                             : Text(declared, in_road);
        std::unique_ptr<char[]> block(new char[declared + 1]);
        std::memcpy(block.get(), text.c_str(), text.size() + 1);
        return block;
      }
    }
    return nullptr;
  }

  // Calls an export with kMaxArgs pointers; the calling convention lets a
  // callee ignore those past its own arguments.
  template <size_t>
  using AnyPointer = void*;
  template <class R, size_t... I>
  static R CallWith(void* address, void* const* args, std::index_sequence<I...>) {
    return reinterpret_cast<R (*)(AnyPointer<I>...)>(address)(args[I]...);
  }
  template <class R>
  static R CallWith(void* address, void* const* args) {
    return CallWith<R>(address, args, std::make_index_sequence<kMaxArgs>());
  }

  void Call(const Export& e, bool in_road = false) {
    ++calls_;
    const bool is_log_name = e.name.find("SetLog") != std::string::npos;
    std::unique_ptr<char[]> blocks[kMaxArgs];
    void* args[kMaxArgs] = {};
    for (size_t i = 0; i < e.args.size(); ++i) {
      if (!is_log_name && data_.ConsumeIntegralInRange(0, in_road ? 63 : 15) == 0) continue;  // a null pointer
      blocks[i] = Argument(e, i, in_road, is_log_name);
      args[i] = blocks[i].get();
    }
    if (g_trace) Trace(e, args);
    switch (e.result) {
      case Result::kInt16:
      case Result::kInt32: {
        const int32_t r = CallWith<int32_t>(e.address, args);
        ints_.push_back(e.result == Result::kInt16 ? static_cast<int16_t>(r) : r);
        break;
      }
      case Result::kInt64:
        ints_.push_back(CallWith<int64_t>(e.address, args));
        break;
      case Result::kFloat:
        doubles_.push_back(CallWith<float>(e.address, args));
        break;
      case Result::kDouble:
        doubles_.push_back(CallWith<double>(e.address, args));
        break;
      case Result::kPointer: {
        void* r = CallWith<void*>(e.address, args);
        // The server reads every result at once: a string to its terminator.
        if (r && e.is_string_result) strings_.emplace_back(static_cast<const char*>(r));
        else if (r) ints_.push_back(*static_cast<const int32_t*>(r));
        if (e.frees_result) std::free(r);
        break;
      }
    }
    if (ints_.size() > 64) ints_.erase(ints_.begin());
    if (doubles_.size() > 64) doubles_.erase(doubles_.begin());
    if (strings_.size() > 16) strings_.erase(strings_.begin());
  }

  static void Trace(const Export& e, void* const* args) {
    std::string line = e.name + "(";
    for (size_t i = 0; i < e.args.size(); ++i) {
      if (i) line += ", ";
      if (!args[i]) {
        line += "null";
        continue;
      }
      switch (e.args[i]) {
        case Kind::kInt16:
          line += std::to_string(*static_cast<int16_t*>(args[i]));
          break;
        case Kind::kInt32:
          line += std::to_string(*static_cast<int32_t*>(args[i]));
          break;
        case Kind::kInt64:
          line += std::to_string(*static_cast<int64_t*>(args[i]));
          break;
        case Kind::kFloat:
          line += std::to_string(*static_cast<float*>(args[i]));
          break;
        case Kind::kDouble:
          line += std::to_string(*static_cast<double*>(args[i]));
          break;
        case Kind::kDate:
        case Kind::kTimestamp:
          line += "day " + std::to_string(*static_cast<int32_t*>(args[i]));
          break;
        case Kind::kCString: {
          const size_t size = std::strlen(static_cast<char*>(args[i]));
          line +=
              "'" + std::string(static_cast<char*>(args[i]), std::min<size_t>(size, 40)) + (size > 40 ? "...'" : "'");
          line += size > 40 ? " (" + std::to_string(size) + " bytes)" : "";
        }
      }
    }
    std::fprintf(stderr, "%s)\n", line.c_str());
  }

  FuzzedDataProvider& data_;
  const Family* road_ = nullptr;  // the family of the road being run
  int64_t road_handle_ = 0;       // what its Create answered
  size_t calls_ = 0;
  std::vector<int64_t> ints_;
  std::vector<double> doubles_;
  std::vector<std::string> strings_;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_trace = std::getenv("ORLIX_FUZZ_TRACE") != nullptr;
  const char* module_path = std::getenv("ORLIX_FUZZ_MODULE");
  const char* script_path = std::getenv("ORLIX_FUZZ_SCRIPT");
  void* module = dlopen(module_path ? module_path : ORLIX_FUZZ_MODULE, RTLD_NOW | RTLD_LOCAL);
  if (!module) Die(std::string("cannot load the module: ") + dlerror());
  ReadScript(script_path ? script_path : ORLIX_FUZZ_SCRIPT, module);
  // The log is on (a scratch file, emptied now and then) so that failure and
  // print paths run too.
  const char* log_dir = std::getenv("ORLIX_FUZZ_LOG_DIR");
  g_log_path = std::string(log_dir ? log_dir : "/tmp") + "/orlix-fuzz.log";
  if (auto set_log = reinterpret_cast<int32_t (*)(const char*)>(dlsym(module, "ibOrlixSetLog")))
    set_log(g_log_path.c_str());
  std::fprintf(stderr, "orlix_fuzzer: %zu exports, %zu families, %zu dictionary words; log %s\n", g_exports.size(),
               g_families.size(), g_words.size(), g_log_path.c_str());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  static size_t inputs = 0;
  if (++inputs % 4096 == 0) {  // keep the scratch log small
    std::remove(g_log_path.c_str());
    std::remove((g_log_path + ".2").c_str());
  }
  std::thread([&] {
    FuzzedDataProvider data(bytes, size);
    Session(data).Run();
  }).join();
  return 0;
}
