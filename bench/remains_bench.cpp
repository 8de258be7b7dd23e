// Speed of the remains engine against a plain baseline in the same run:
//   totals: 1,000,000 movements over 10,000 keys (100 places x 10 packs x 10
//     sizes, 365 days) through Append and Execute with the four total tables;
//   daily: 100,000 movements over 1,000 keys (10 x 10 x 10) over 365 days
//     with all four daily tables up to the last day.
// The baselines compute the same tables with std::sort over plain rows and
// linear passes. Run with --benchmark_repetitions=5 and compare medians.
//
// ExportsFold goes through the exported functions a procedure calls: the
// 1,000,000 movements by ibOstatokAppend, then ibOstatokExecute building no
// table but the totals by place, on a fresh engine each time (a procedure's
// engine starts empty). Its baseline sorts (key, quantities) and folds.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

#include "frame/registry.h"
#include "remains/ostatok.h"

extern "C" {
int32_t ibOstatokCreate(const int32_t*);
int32_t ibOstatokFree(const int32_t*);
int32_t ibOstatokAppend(const int32_t* date, const int32_t* pack, const int32_t* rz, const int32_t* placeindex,
                        const double* quantity, const double* resquantity);
int32_t ibOstatokExecute(const int32_t*);
}

namespace {

using orlix::TOstatok;

constexpr int kDays = 365;

struct Row {
  int32_t place, pack, rz;
  double date, q, rq;
};

auto KeyOf(const Row& r) { return std::tie(r.place, r.pack, r.rz, r.date); }

std::vector<Row> Movements(int count, int places, int packs, int sizes) {
  std::mt19937 random(7);
  std::vector<Row> rows(static_cast<size_t>(count));
  for (Row& r : rows) {
    r.place = static_cast<int32_t>(random() % places);
    r.pack = static_cast<int32_t>(random() % packs);
    r.rz = static_cast<int32_t>(random() % sizes);
    r.date = static_cast<double>(random() % kDays);
    r.q = static_cast<double>(static_cast<int>(random() % 21) - 10);
    r.rq = static_cast<double>(random() % 3);
  }
  return rows;
}

// Sorts by key and folds equal keys, dropping rows empty in both quantities.
void SortAndFold(std::vector<Row>& rows) {
  std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return KeyOf(a) < KeyOf(b); });
  size_t kept = 0;
  for (size_t i = 0; i < rows.size();) {
    Row sum = rows[i];
    size_t j = i + 1;
    for (; j < rows.size() && KeyOf(rows[j]) == KeyOf(sum); ++j) {
      sum.q += rows[j].q;
      sum.rq += rows[j].rq;
    }
    if (std::abs(sum.q) > orlix::kZeroTolerance || std::abs(sum.rq) > orlix::kZeroTolerance) rows[kept++] = sum;
    i = j;
  }
  rows.resize(kept);
}

// One table: the rows masked as the table keeps keys, sorted and folded.
size_t FoldTable(const std::vector<Row>& from, bool use_date, bool use_pack, bool use_rz) {
  std::vector<Row> table(from);
  for (Row& r : table) {
    if (!use_date) r.date = 0;
    if (!use_pack) r.pack = -1;
    if (!use_rz) r.rz = -1;
  }
  SortAndFold(table);
  return table.size();
}

void AppendAll(TOstatok& engine, const std::vector<Row>& rows) {
  engine.Clear();
  for (const Row& r : rows) engine.Append(r.date, r.pack, r.rz, r.place, r.q, r.rq);
}

const std::vector<Row>& TotalsInput() {
  static const std::vector<Row> rows = Movements(1'000'000, 100, 10, 10);
  return rows;
}
const std::vector<Row>& DailyInput() {
  static const std::vector<Row> rows = Movements(100'000, 10, 10, 10);
  return rows;
}

void BM_EngineTotals(benchmark::State& state) {
  TOstatok engine;
  engine.UseOstPack = engine.UseOstSize = engine.UseOstPackSize = true;
  for (auto _ : state) {
    AppendAll(engine, TotalsInput());
    engine.Execute();
    benchmark::DoNotOptimize(engine.OstPackSize->Count());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(TotalsInput().size()));
}

void BM_BaselineTotals(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<Row> full(TotalsInput());
    SortAndFold(full);
    size_t rows = FoldTable(full, false, false, false) + FoldTable(full, false, true, false) +
                  FoldTable(full, false, false, true) + FoldTable(full, false, true, true);
    benchmark::DoNotOptimize(rows);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(TotalsInput().size()));
}

void BM_EngineDaily(benchmark::State& state) {
  TOstatok engine;
  engine.Period = TOstatok::kDailyPeriod;
  engine.LastDate = kDays - 1;
  engine.UseOstDaily = engine.UseOstDailyPack = engine.UseOstDailySize = engine.UseOstDailyPackSize = true;
  for (auto _ : state) {
    AppendAll(engine, DailyInput());
    engine.Execute();
    benchmark::DoNotOptimize(engine.OstDailyPackSize->Count());
  }
  state.counters["daily_rows"] = static_cast<double>(engine.OstDailyPackSize->Count());
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(DailyInput().size()));
}

void BM_BaselineDaily(benchmark::State& state) {
  const double last = kDays - 1;
  size_t daily_rows = 0;
  for (auto _ : state) {
    std::vector<Row> full(DailyInput());
    SortAndFold(full);
    size_t rows = FoldTable(full, false, false, false);
    // Running balance per key, one row per day from its first movement.
    std::vector<Row> spread;
    for (size_t i = 0; i < full.size();) {
      Row balance = full[i];
      balance.q = balance.rq = 0;
      size_t j = i;
      for (double day = full[i].date; day <= last; ++day) {
        for (; j < full.size() && full[j].place == full[i].place && full[j].pack == full[i].pack &&
               full[j].rz == full[i].rz && full[j].date <= day;
             ++j) {
          balance.q += full[j].q;
          balance.rq += full[j].rq;
        }
        balance.date = day;
        if (std::abs(balance.q) > orlix::kZeroTolerance || std::abs(balance.rq) > orlix::kZeroTolerance)
          spread.push_back(balance);
      }
      while (j < full.size() && full[j].place == full[i].place && full[j].pack == full[i].pack &&
             full[j].rz == full[i].rz)
        ++j;
      i = j;
    }
    daily_rows = spread.size();
    rows += FoldTable(spread, true, false, false) + FoldTable(spread, true, true, false) +
            FoldTable(spread, true, false, true) + FoldTable(spread, true, true, true);
    benchmark::DoNotOptimize(rows);
  }
  state.counters["daily_rows"] = static_cast<double>(daily_rows);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(DailyInput().size()));
}

// The day numbers a procedure passes: days from 1858-11-17, here in 2024.
constexpr int32_t kFirstDay = 60310;

// Kept out of line (as is the baseline's) so that an instruction count can
// take exactly this (valgrind --tool=callgrind --toggle-collect='*ExportsAppendExecute*').
__attribute__((noinline)) int32_t ExportsAppendExecute(const std::vector<Row>& rows) {
  ibOstatokCreate(nullptr);
  for (const Row& r : rows) {
    const int32_t day = kFirstDay + static_cast<int32_t>(r.date);
    ibOstatokAppend(&day, &r.pack, &r.rz, &r.place, &r.q, &r.rq);
  }
  return ibOstatokExecute(nullptr);
}

__attribute__((noinline)) size_t BaselineSortFold(const std::vector<Row>& rows) {
  std::vector<Row> full(rows);
  SortAndFold(full);
  return full.size();
}

void BM_ExportsFold(benchmark::State& state) {
  const std::vector<Row>& rows = TotalsInput();
  for (auto _ : state) {
    benchmark::DoNotOptimize(ExportsAppendExecute(rows));
    state.PauseTiming();
    ibOstatokFree(nullptr);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(rows.size()));
}

void BM_BaselineFold(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(BaselineSortFold(TotalsInput()));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(TotalsInput().size()));
}

BENCHMARK(BM_ExportsFold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaselineFold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineTotals)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaselineTotals)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineDaily)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaselineDaily)->Unit(benchmark::kMillisecond);

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
