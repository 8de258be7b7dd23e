// Roads through every family of ORLIX.so, called by name through the loaded
// module the way the server calls them (every argument by reference). A road
// creates its list, table or engine with data derived from a seed, fills it,
// calculates, reads every answer back and compares it with the answer
// computed here, then frees what it made (unless told not to).
//
// The stress, leak and allocation-failure tests run the roads of Roads(); a
// new engine's road is one more entry there.
#ifndef ORLIX_TESTS_RELIABILITY_ROADS_H_
#define ORLIX_TESTS_RELIABILITY_ROADS_H_

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace orlix::roads {

// ORLIX.so loaded with dlopen, every entry point of the declaration script
// resolved once (lookups afterwards take no lock).
class Module {
 public:
  Module(const std::string& module_path, const std::string& script_path);
  ~Module();
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  bool loaded() const { return handle_ != nullptr && !symbols_.empty(); }
  const std::string& error() const { return error_; }
  // The address of an export; aborts on a name the script does not declare.
  void* Symbol(const std::string& name) const;
  // Names the log file for the whole process ("" switches it off).
  void SetLog(const std::string& path) const;

 private:
  void* handle_ = nullptr;
  std::map<std::string, void*> symbols_;
  std::string error_;
};

// A DATE argument: the server's day number (0 = 1858-11-17).
struct Day {
  int32_t day;
};
// A CSTRING argument the export may write into: its declared size plus the
// terminator, as the server provides it.
struct Buffer {
  Buffer(const std::string& text, size_t declared);
  std::vector<char> bytes;
};

// Day numbers of 2024-03-01 (the centre of the roads' dates) and of
// 1899-12-30, the date the exports answer on a failure.
inline constexpr int32_t kBaseDay = 60370;
inline constexpr int32_t kFailureDay = 15018;

inline void* Pointer(const char*& text) { return const_cast<char*>(text); }
inline void* Pointer(Buffer& buffer) { return buffer.bytes.data(); }
template <class T>
void* Pointer(T& value) {
  return &value;
}
template <class R, class... A>
R Invoke(void* fn, A&... args) {
  return reinterpret_cast<R (*)(decltype(Pointer(args))...)>(fn)(Pointer(args)...);
}

// Makes a road's calls and collects its failed checks. The base class calls
// straight through; a test overrides Around() to act around each call.
class Caller {
 public:
  Caller(const Module& module, std::string road) : module_(module), road_(std::move(road)) {}
  virtual ~Caller() = default;

  // Runs one export call (call() answers its result as a double); failure is
  // the export's failure value.
  virtual double Around(const char* /*name*/, double /*failure*/, const std::function<double()>& call) {
    return call();
  }

  template <class... A>
  int32_t Int(const char* name, int32_t failure, A... args) {
    void* fn = module_.Symbol(name);
    return static_cast<int32_t>(Around(name, failure, [&] { return double(Invoke<int32_t>(fn, args...)); }));
  }
  template <class... A>
  double Dbl(const char* name, double failure, A... args) {
    void* fn = module_.Symbol(name);
    return Around(name, failure, [&] { return Invoke<double>(fn, args...); });
  }
  // A string result (the empty string on a failure); FREE_IT ones are freed.
  template <class... A>
  std::string Str(const char* name, bool frees, A... args) {
    void* fn = module_.Symbol(name);
    std::string text;
    Around(name, 0, [&] {
      char* result = Invoke<char*>(fn, args...);
      text = result ? result : "";
      if (frees) std::free(result);
      return text.empty() ? 0.0 : 1.0;
    });
    return text;
  }
  // The day of a TIMESTAMP FREE_IT result.
  template <class... A>
  int32_t Date(const char* name, A... args) {
    void* fn = module_.Symbol(name);
    return static_cast<int32_t>(Around(name, kFailureDay, [&] {
      auto* block = Invoke<int32_t*>(fn, args...);
      const int32_t day = block ? block[0] : kFailureDay;
      std::free(block);
      return double(day);
    }));
  }

  // Records a failed check as "<road>: <what>".
  void Check(bool ok, const std::string& what) {
    ++checks_;
    if (!ok) failures_.push_back(road_ + ": " + what);
  }
  int checks() const { return checks_; }
  const std::vector<std::string>& failures() const { return failures_; }

 private:
  const Module& module_;
  std::string road_;
  int checks_ = 0;
  std::vector<std::string> failures_;
};

struct Road {
  const char* name;
  // Runs the road with data of the seed; frees what it made when free_at_end.
  void (*run)(Caller& caller, int seed, bool free_at_end);
};

// One road per family and kind: string, integer and double lists, memory
// tables, remains, store remains, batch calculation, write-off.
const std::vector<Road>& Roads();

}  // namespace orlix::roads

#endif  // ORLIX_TESTS_RELIABILITY_ROADS_H_
