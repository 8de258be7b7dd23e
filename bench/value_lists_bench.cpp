// Speed of the value lists: 1,000,000 appends, and 1,000,000 presence tests
// on a sorted list of 100,000 values, for each kind. Each case has a baseline
// in the same run (std::vector with push_back, std::sort and
// std::binary_search) so the ratio means something on a noisy machine.
//
//   value_lists_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "frame/format.h"
#include "frame/registry.h"
#include "values/value_exports.h"
#include "values/list_num.h"
#include "values/list_str.h"

namespace {

constexpr int kAdds = 1000000;
constexpr int kListSize = 100000;
constexpr int kLookups = 1000000;

// Values in a scattered order; every other lookup key is absent (odd values).
int32_t IntValue(int i) { return static_cast<int32_t>((static_cast<int64_t>(i) * 7919) % kListSize) * 2; }
double DoubleValue(int i) { return IntValue(i) / 8.0; }
std::string StrValue(int i) { return orlix::Format("DOC-%08d", IntValue(i)); }

int32_t IntKey(int i) { return IntValue(i % kListSize) + (i & 1); }
double DoubleKey(int i) { return IntKey(i) / 8.0; }
std::string StrKey(int i) { return orlix::Format("DOC-%08d", IntKey(i)); }

template <class T>
struct Values {
  static T Value(int i);
  static T Key(int i);
};
template <> int32_t Values<int32_t>::Value(int i) { return IntValue(i); }
template <> int32_t Values<int32_t>::Key(int i) { return IntKey(i); }
template <> double Values<double>::Value(int i) { return DoubleValue(i); }
template <> double Values<double>::Key(int i) { return DoubleKey(i); }
template <> std::string Values<std::string>::Value(int i) { return StrValue(i); }
template <> std::string Values<std::string>::Key(int i) { return StrKey(i); }

// Inputs made once, outside the timed loops.
template <class T>
const std::vector<T>& AddInputs() {
  static const std::vector<T> inputs = [] {
    std::vector<T> v;
    for (int i = 0; i < kAdds; ++i) v.push_back(Values<T>::Value(i % kListSize));
    return v;
  }();
  return inputs;
}
template <class T>
const std::vector<T>& LookupKeys() {
  static const std::vector<T> keys = [] {
    std::vector<T> v;
    for (int i = 0; i < kLookups; ++i) v.push_back(Values<T>::Key(i));
    return v;
  }();
  return keys;
}

template <class L>
void BM_ListAdd(benchmark::State& state) {
  using T = typename L::Value;
  const std::vector<T>& inputs = AddInputs<T>();
  for (auto _ : state) {
    L list;
    for (const T& value : inputs) list.Add(value);
    benchmark::DoNotOptimize(list.Count());
  }
  state.SetItemsProcessed(state.iterations() * kAdds);
}

template <class T>
void BM_VectorAdd(benchmark::State& state) {
  const std::vector<T>& inputs = AddInputs<T>();
  for (auto _ : state) {
    std::vector<T> vector;
    for (const T& value : inputs) vector.push_back(value);
    benchmark::DoNotOptimize(vector.data());
  }
  state.SetItemsProcessed(state.iterations() * kAdds);
}

// The presence test of the exports: sort once (the flag then stays), then
// bisection for every key.
template <class L>
void BM_ListExists(benchmark::State& state) {
  using T = typename L::Value;
  const std::vector<T>& keys = LookupKeys<T>();
  L list;
  for (int i = 0; i < kListSize; ++i) list.Add(Values<T>::Value(i));
  list.SetSorted(true);
  for (auto _ : state) {
    int found = 0;
    for (const T& key : keys) found += list.IndexOf(key) >= 0;
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * kLookups);
}

template <class T>
void BM_VectorBinarySearch(benchmark::State& state) {
  const std::vector<T>& keys = LookupKeys<T>();
  std::vector<T> vector;
  for (int i = 0; i < kListSize; ++i) vector.push_back(Values<T>::Value(i));
  std::sort(vector.begin(), vector.end());
  for (auto _ : state) {
    int found = 0;
    for (const T& key : keys) found += std::binary_search(vector.begin(), vector.end(), key);
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * kLookups);
}

// One trivial export call in the process, the figure beside the server's
// cost of the same call (scripts/bench_sql.sh): ibListIntCount on a list.
void BM_ExportListIntCount(benchmark::State& state) {
  const int32_t handle = ibListIntCreate("bench");
  for (auto _ : state) {
    int32_t total = 0;
    for (int i = 0; i < kLookups; ++i) total += ibListIntCount(&handle);
    benchmark::DoNotOptimize(total);
  }
  ibListIntFree(&handle);
  state.SetItemsProcessed(state.iterations() * kLookups);
}

using orlix::TListDouble;
using orlix::TListInt;
using orlix::TListStr;

BENCHMARK(BM_ListAdd<TListInt>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VectorAdd<int32_t>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListAdd<TListDouble>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VectorAdd<double>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListAdd<TListStr>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VectorAdd<std::string>)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_ListExists<TListInt>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VectorBinarySearch<int32_t>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListExists<TListDouble>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VectorBinarySearch<double>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListExists<TListStr>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VectorBinarySearch<std::string>)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_ExportListIntCount)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // What the module does when the server loads it.
  orlix::AllocateThreadSlots();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
