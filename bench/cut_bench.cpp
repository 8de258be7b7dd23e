// Speed of the write-off engine on documents shaped like a warehouse's:
// at n = 100,000 party rows, 20,000 receipts each starting a chain of 1 to 8
// documents (the last one outgoing), every other chain with a second
// outgoing row leaving from one of its documents (so 30,000 chains share
// prefixes), and 2% of the chains closed into a cycle by a row that brings
// goods from their last moved document back to the first. 2n doubles the
// receipts. InQuantity covers everything, so every chain is cut.
//   BM_CutExecute: Execute alone on appended rows (it rebuilds every
//     working list, so repeated runs do the same work);
//   BM_CutAppendExecute: Clear, the appends, Execute.
// Run with --benchmark_repetitions=5 and compare medians; the 2n/n ratio
// shows how the time grows.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "cut/cut.h"

namespace {

using orlix::TCut;

struct PartRow {
  int32_t dh, mdh, dk;
  double d, q;
};

constexpr int kRowsPerChainTree = 5;  // 100,000 rows for 20,000 receipts
constexpr int kCyclePercent = 2;

std::vector<PartRow> Documents(int rows) {
  std::mt19937 random(2024);
  std::vector<PartRow> out;
  out.reserve(static_cast<size_t>(rows) + 64);
  const int receipts = rows / kRowsPerChainTree;
  int32_t next_doc = 1;
  for (int chain = 0; chain < receipts; ++chain) {
    const int depth = 1 + static_cast<int>(random() % 8);
    double date = static_cast<double>(45000 + random() % 365);
    std::vector<int32_t> docs;
    for (int level = 0; level < depth; ++level) {
      const int32_t dh = next_doc++;
      const bool last = level == depth - 1;
      out.push_back({dh, level == 0 ? -1 : docs.back(), last ? 1 : 0, date, 10.0 + static_cast<double>(random() % 20)});
      docs.push_back(dh);
      date += 1 + random() % 3;
    }
    if (chain % 2 == 0) {  // a second shipment from one of the documents
      const int32_t from = docs[random() % docs.size()];
      out.push_back({next_doc++, from, 1, date, 1.0 + static_cast<double>(random() % 5)});
    }
    if (depth >= 3 && static_cast<int>(random() % 600) < kCyclePercent * 8) {  // 2% of all chains
      // Goods of the last moved document come back to the first: a cycle
      // through every document but the outgoing one.
      out.push_back({docs[0], docs[depth - 2], 0, date, 1.0});
    }
  }
  // Fill up to exactly the asked number of rows with receipts shipped at once.
  while (static_cast<int>(out.size()) < rows) {
    const int32_t dh = next_doc++;
    out.push_back({dh, -1, 1, 45000, 5});
  }
  out.resize(static_cast<size_t>(rows));
  return out;
}

void Fill(TCut& cut, const std::vector<PartRow>& rows) {
  cut.Clear();
  for (const PartRow& r : rows) cut.AppendPartSpec(r.dh, r.mdh, r.q, r.d, 0, 0, r.dk, 0, 0);
  cut.SetParams(46000, 1e12, 0, 0, false, false);
}

void BM_CutExecute(benchmark::State& state) {
  const std::vector<PartRow> rows = Documents(static_cast<int>(state.range(0)));
  TCut cut;
  Fill(cut, rows);
  int32_t code = 0;
  for (auto _ : state) {
    code = cut.Execute();
    benchmark::DoNotOptimize(code);
  }
  int cycles = 0;
  for (int c = 0; c < cut.Cycle->Count(); c += cut.Cycle->At(c).n + 1) ++cycles;
  state.counters["code"] = code;
  state.counters["cycles"] = cycles;
  state.counters["cut"] = cut.GetCutQuantity(false);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_CutAppendExecute(benchmark::State& state) {
  const std::vector<PartRow> rows = Documents(static_cast<int>(state.range(0)));
  TCut cut;
  for (auto _ : state) {
    Fill(cut, rows);
    benchmark::DoNotOptimize(cut.Execute());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_CutExecute)->Arg(100'000)->Arg(200'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CutAppendExecute)->Arg(100'000)->Arg(200'000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
