// Speed of the memory table as a grouping engine: 1,000,000 inserts folding
// into 100,000 distinct int keys in random order (one double field summed),
// and 1,000,000 key lookups, each beside a std::map doing the same work in the
// same run. A third table case folds into a table that already holds every
// key, so the difference to the first shows what inserting new keys costs.
//
// The Exports cases do the same through the exported functions a procedure
// calls (4 calls a row to insert, 3 to look up and read), which is what the
// map is the baseline for. The Interleaved case mixes inserts of new keys,
// lookups and cursor steps one after another, so no pattern of calls can hide
// a cost per call that grows with the table. table_bytes is the heap a table
// of 100,000 rows holds (the allocator's statistics).
//
//   memtable_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "frame/registry.h"
#include "memtable/mem_table.h"
#include "memtable/memtable_exports.h"

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

// The measured loops of the baselines and of the export cases are kept out
// of line, so an instruction count (valgrind --tool=callgrind
// --toggle-collect='*MapFold*') can take exactly the loop.
__attribute__((noinline)) void MapFold(std::map<int32_t, double>& sums, const Input& in) {
  for (int i = 0; i < kRows; ++i) sums[in.keys[static_cast<size_t>(i)]] += in.values[static_cast<size_t>(i)];
}

__attribute__((noinline)) double MapFind(const std::map<int32_t, double>& sums, const Input& in) {
  double total = 0.0;
  for (int i = 0; i < kRows; ++i) {
    const auto found = sums.find(in.keys[static_cast<size_t>(i)]);
    if (found != sums.end()) total += found->second;
  }
  return total;
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
    MapFold(sums, in);
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
    benchmark::DoNotOptimize(MapFind(sums, in));
  }
  SetRowsProcessed(state);
}

// ---- Through the exports -------------------------------------------------------

// A table made by the exports: an int key and a double summed. Frees it on
// destruction.
class ExportTable {
 public:
  ExportTable() {
    handle_ = ibMemTableCreate("bench");
    const int32_t key = 1, no_key = 0;
    ibMemTableAddField(&handle_, "k", "int", &key, "miss");
    ibMemTableAddField(&handle_, "q", "double", &no_key, "sum");
  }
  ~ExportTable() { ibMemTableFree(&handle_); }
  ExportTable(const ExportTable&) = delete;
  ExportTable& operator=(const ExportTable&) = delete;

  // One row as a procedure inserts it: 4 calls.
  int32_t Insert(int32_t key, double value) {
    ibMemTableRowClear(&handle_);
    ibMemTableRowFieldSetInt(&handle_, &kKey, &key);
    ibMemTableRowFieldSetDouble(&handle_, &kSum, &value);
    return ibMemTableInsert(&handle_);
  }
  __attribute__((noinline)) void InsertAll(const Input& in) {
    for (int i = 0; i < kRows; ++i) Insert(in.keys[static_cast<size_t>(i)], in.values[static_cast<size_t>(i)]);
  }
  // One lookup as a procedure does it: 3 calls.
  double Lookup(int32_t key) {
    ibMemTableRowFieldSetInt(&handle_, &kKey, &key);
    if (ibMemTableLocate(&handle_) != 1) return 0.0;
    return ibMemTableFieldGetDouble(&handle_, &kSum);
  }
  __attribute__((noinline)) double LookupAll(const Input& in) {
    double total = 0.0;
    for (int i = 0; i < kRows; ++i) total += Lookup(in.keys[static_cast<size_t>(i)]);
    return total;
  }
  const int32_t* handle() const { return &handle_; }

 private:
  static constexpr int32_t kKey = kKeyField;
  static constexpr int32_t kSum = kSumField;
  int32_t handle_ = 0;
};

void BM_ExportsInsertFold(benchmark::State& state) {
  const Input& in = Rows();
  for (auto _ : state) {
    auto table = std::make_unique<ExportTable>();
    table->InsertAll(in);
    benchmark::DoNotOptimize(table->handle());
    state.PauseTiming();
    table.reset();
    state.ResumeTiming();
  }
  SetRowsProcessed(state);
}

void BM_ExportsLocate(benchmark::State& state) {
  const Input& in = Rows();
  ExportTable table;
  table.InsertAll(in);
  for (auto _ : state) {
    benchmark::DoNotOptimize(table.LookupAll(in));
  }
  SetRowsProcessed(state);
}

// Per round: insert a new key, look up an earlier one, step the cursor
// forward and back and read. The table grows to state.range(0) rows; the
// time per round stays flat as the table grows tenfold when no call costs
// more than logarithmic-or-block time.
void BM_ExportsInterleaved(benchmark::State& state) {
  const Input& in = Rows();
  const int rows = static_cast<int>(state.range(0));
  auto scattered = [rows](int i) { return static_cast<int32_t>((static_cast<int64_t>(i) * 7919) % rows) * 3; };
  for (auto _ : state) {
    ExportTable table;
    double total = 0.0;
    for (int i = 0; i < rows; ++i) {
      table.Insert(scattered(i), in.values[static_cast<size_t>(i)]);
      total += table.Lookup(scattered(i / 2));
      ibMemTableNext(table.handle());
      ibMemTablePrior(table.handle());
      total += ibMemTableFieldGetDouble(table.handle(), &kSumField);
    }
    benchmark::DoNotOptimize(total);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * rows);
}

// The heap a table of every distinct key holds, by the allocator's count.
void BM_ExportsTableBytes(benchmark::State& state) {
  const Input& in = Rows();
  size_t bytes = 0;
  for (auto _ : state) {
    const size_t before = mallinfo2().uordblks;
    ExportTable table;
    table.InsertAll(in);
    bytes = mallinfo2().uordblks - before;
    benchmark::DoNotOptimize(table.handle());
  }
  state.counters["table_bytes"] = static_cast<double>(bytes);
}

BENCHMARK(BM_MemTableInsertFold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportsInsertFold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapInsertFold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemTableFoldIntoExistingKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemTableLocate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportsLocate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapLocate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportsInterleaved)->Unit(benchmark::kMillisecond)->Arg(kDistinctKeys / 10)->Arg(kDistinctKeys);
BENCHMARK(BM_ExportsTableBytes)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace orlix

int main(int argc, char** argv) {
  // What the module does when the server loads it.
  orlix::AllocateThreadSlots();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
