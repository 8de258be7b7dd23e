// Speed of the memory table as a grouping engine: 1,000,000 inserts folding
// into 100,000 distinct int keys in random order (one double field summed),
// and 1,000,000 key lookups, each beside a std::map doing the same work in the
// same run. A third table case folds into a table that already holds every
// key, so the difference to the first shows what inserting new keys costs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "memtable/mem_table.h"

namespace orlix {
namespace {

constexpr int kRows = 1'000'000;
constexpr int kDistinctKeys = 100'000;
constexpr int kKeyField = 0;
constexpr int kSumField = 1;

struct Input {
  std::vector<int32_t> keys;
  std::vector<double> values;
};

// Every key kRows / kDistinctKeys times, spread over a wide range, shuffled.
const Input& Rows() {
  static const Input input = [] {
    Input in;
    std::mt19937 random(2024);
    std::vector<int32_t> distinct(kDistinctKeys);
    for (int i = 0; i < kDistinctKeys; ++i) distinct[static_cast<size_t>(i)] = i * 37 - 1'000'000;
    in.keys.reserve(kRows);
    for (int i = 0; i < kRows; ++i) in.keys.push_back(distinct[static_cast<size_t>(i % kDistinctKeys)]);
    std::shuffle(in.keys.begin(), in.keys.end(), random);
    std::uniform_real_distribution<double> value(0.0, 100.0);
    in.values.reserve(kRows);
    for (int i = 0; i < kRows; ++i) in.values.push_back(value(random));
    return in;
  }();
  return input;
}

std::unique_ptr<TMemTable> NewTable() {
  auto table = TMemTable::CreateTable("bench");
  table->AddField("k", "int", true, "miss");
  table->AddField("q", "double", false, "sum");
  return table;
}

void InsertAll(TMemTable& table, const Input& in) {
  for (int i = 0; i < kRows; ++i) {
    TMemFields& row = *table.Row();
    row.Fields[kKeyField].IntValue = in.keys[static_cast<size_t>(i)];
    row.Fields[kSumField].DoubleValue = in.values[static_cast<size_t>(i)];
    table.Insert();
  }
}

void SetRowsProcessed(benchmark::State& state) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kRows);
}

void BM_MemTableInsertFold(benchmark::State& state) {
  const Input& in = Rows();
  for (auto _ : state) {
    auto table = NewTable();
    InsertAll(*table, in);
    benchmark::DoNotOptimize(table->Count());
    state.PauseTiming();
    table.reset();  // freeing 100,000 rows is not part of the work
    state.ResumeTiming();
  }
  SetRowsProcessed(state);
}

void BM_MapInsertFold(benchmark::State& state) {
  const Input& in = Rows();
  for (auto _ : state) {
    std::map<int32_t, double> sums;
    for (int i = 0; i < kRows; ++i) sums[in.keys[static_cast<size_t>(i)]] += in.values[static_cast<size_t>(i)];
    benchmark::DoNotOptimize(sums.size());
    state.PauseTiming();
    sums.clear();
    state.ResumeTiming();
  }
  SetRowsProcessed(state);
}

// Folding only: every key is present before the timed inserts.
void BM_MemTableFoldIntoExistingKeys(benchmark::State& state) {
  const Input& in = Rows();
  auto table = NewTable();
  InsertAll(*table, in);
  for (auto _ : state) {
    InsertAll(*table, in);
    benchmark::DoNotOptimize(table->Count());
  }
  SetRowsProcessed(state);
}

void BM_MemTableLocate(benchmark::State& state) {
  const Input& in = Rows();
  auto table = NewTable();
  InsertAll(*table, in);
  for (auto _ : state) {
    double total = 0.0;
    for (int i = 0; i < kRows; ++i) {
      table->Row()->Fields[kKeyField].IntValue = in.keys[static_cast<size_t>(i)];
      if (table->Locate()) total += table->CurrentRow()->Fields[kSumField].DoubleValue;
    }
    benchmark::DoNotOptimize(total);
  }
  SetRowsProcessed(state);
}

void BM_MapLocate(benchmark::State& state) {
  const Input& in = Rows();
  std::map<int32_t, double> sums;
  for (int i = 0; i < kRows; ++i) sums[in.keys[static_cast<size_t>(i)]] += in.values[static_cast<size_t>(i)];
  for (auto _ : state) {
    double total = 0.0;
    for (int i = 0; i < kRows; ++i) {
      const auto found = sums.find(in.keys[static_cast<size_t>(i)]);
      if (found != sums.end()) total += found->second;
    }
    benchmark::DoNotOptimize(total);
  }
  SetRowsProcessed(state);
}

BENCHMARK(BM_MemTableInsertFold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapInsertFold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemTableFoldIntoExistingKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemTableLocate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapLocate)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orlix

BENCHMARK_MAIN();
