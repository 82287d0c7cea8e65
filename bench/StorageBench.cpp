// Composing statements and fetching rows, with a synthetic engine and with
// the real engine component over a temporary database.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "component/ComponentRegistry.h"
#include "storage/LedgerRecord.h"

namespace {

// Delivers the same ledger row a given number of times for every statement.
class SyntheticEngine final : public DatabaseEngine {
 public:
  ~SyntheticEngine() = default;
  void AddRef() override {}
  void Release() override {}
  int32_t Close() override { return 1; }
  const char* LastError() override { return ""; }
  int32_t Open(const char*) override { return 1; }
  int32_t Backup(const char*) override { return 0; }
  int32_t Execute(const char* sql, void* context, RowCallbackFn callback) override {
    benchmark::DoNotOptimize(sql);
    for (int i = 0; i < rows; ++i) {
      std::string texts[] = {std::to_string(i), "01/15/2003", "1042", "Corner Grocery", "23.5", "0", "1", "0"};
      char* pointers[8];
      for (int c = 0; c < 8; ++c) pointers[c] = texts[c].data();
      callback(context, 8, pointers, pointers);
    }
    return 1;
  }
  int rows = 0;
};

// The engine component over a database in a temporary folder, loaded once.
struct RealDatabase {
  RealDatabase() {
    char pattern[] = "/tmp/checkbook-bench-XXXXXX";
    folder = mkdtemp(pattern) ? pattern : "/tmp";
    engine = LoadDatabaseEngine(registry);
    if (engine && !engine->Open((folder + "/Ledger.dat").c_str())) engine = nullptr;
  }
  ~RealDatabase() {
    if (engine) {
      engine->Close();
      engine->Release();
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  std::string folder;
  ComponentRegistry registry;
  DatabaseEngine* engine = nullptr;
};

RealDatabase& Database() {
  static RealDatabase database;
  return database;
}

void FillGrocery(LedgerRecord& ledger, int i) {
  ledger.SetDate(i % 2 ? "01/15/2003" : "12/02/2003");
  ledger.SetPayee("O'Brien's Corner Grocery");
  ledger.mCheckNum = 1000 + i;
  ledger.mDebit = 23.5f + static_cast<float>(i);
  ledger.mAccID = 1;
}

void ComposeInsert(benchmark::State& state) {
  SyntheticEngine engine;
  LedgerRecord ledger(&engine, "QLedger");
  FillGrocery(ledger, 7);
  for (auto _ : state) benchmark::DoNotOptimize(ledger.Insert());
}
BENCHMARK(ComposeInsert);

void ComposeUpdate(benchmark::State& state) {
  SyntheticEngine engine;
  LedgerRecord ledger(&engine, "QLedger");
  FillGrocery(ledger, 7);
  for (auto _ : state) benchmark::DoNotOptimize(ledger.Update());
}
BENCHMARK(ComposeUpdate);

// Select, CreateRow for every row, and ClearRows: what a list refresh costs
// apart from the engine itself.
void SelectSyntheticRows(benchmark::State& state) {
  SyntheticEngine engine;
  engine.rows = static_cast<int>(state.range(0));
  LedgerRecord ledger(&engine, "QLedger");
  ledger.whereClause.Assign("mAccID = '1' ORDER BY mDate");
  for (auto _ : state) {
    ledger.ClearRows();
    benchmark::DoNotOptimize(ledger.Select());
  }
  ledger.ClearRows();
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(SelectSyntheticRows)->Arg(1000)->Arg(5000);

// Mapping the last list line to its row walks the whole list.
void RowAtLast(benchmark::State& state) {
  SyntheticEngine engine;
  engine.rows = static_cast<int>(state.range(0));
  LedgerRecord ledger(&engine, "QLedger");
  ledger.Select();
  for (auto _ : state) benchmark::DoNotOptimize(ledger.RowAt(ledger.RowCount() - 1));
  ledger.ClearRows();
}
BENCHMARK(RowAtLast)->Arg(5000);

// One transaction typed in: an INSERT committed to the file.
void EngineInsert(benchmark::State& state) {
  DatabaseEngine* engine = Database().engine;
  if (!engine) return state.SkipWithError("engine component not available");
  LedgerRecord ledger(engine, "QLedgerInsert");
  ledger.CreateTable();
  int i = 0;
  for (auto _ : state) {
    FillGrocery(ledger, i++);
    if (!ledger.Insert()) return state.SkipWithError(engine->LastError());
  }
}
BENCHMARK(EngineInsert)->Unit(benchmark::kMicrosecond);

// A list refresh over the real engine: select and order thousands of rows.
void EngineSelect(benchmark::State& state) {
  DatabaseEngine* engine = Database().engine;
  if (!engine) return state.SkipWithError("engine component not available");
  std::string table = "QLedger" + std::to_string(state.range(0));
  LedgerRecord ledger(engine, table.c_str());
  ledger.CreateTable();
  ledger.Execute(("DELETE FROM " + table).c_str());  // the function runs more than once
  ledger.Execute("BEGIN");
  for (int i = 0; i < state.range(0); ++i) {
    FillGrocery(ledger, i);
    ledger.Insert();
  }
  ledger.Execute("COMMIT");
  ledger.whereClause.Assign("mAccID = '1' AND mStatus != '2' ORDER BY mDate");
  for (auto _ : state) {
    ledger.ClearRows();
    ledger.Select();
  }
  if (ledger.RowCount() != state.range(0)) state.SkipWithError("rows went missing");
  ledger.ClearRows();
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(EngineSelect)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
