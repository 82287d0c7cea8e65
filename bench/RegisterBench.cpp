// The register window over years of transactions: what a list refresh, a
// balancing mark and a new transaction cost with the real engine and the
// real window code, driven through the headless front end.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/SettingsFile.h"
#include "bench/DataSet.h"
#include "platform/headless/headless.h"
#include "resources/ProgramResources.h"
#include "resources/resource.h"
#include "ui/RegisterList.h"
#include "ui/RegisterWindow.h"
#include "ui/Report.h"

namespace {

// A register in a temporary folder with one account and `rows` transactions:
// the data set ledger-<rows>.dat from the folder CHECKBOOK_BENCH_DATA names
// (scripts/bench.sh makes them), or one made here the same way.
class Register {
 public:
  explicit Register(int rows) {
    UseProgramResources();
    home_ = std::filesystem::current_path();
    char pattern[] = "/tmp/checkbook-register-bench-XXXXXX";
    folder_ = mkdtemp(pattern) ? pattern : "";
    std::filesystem::current_path(folder_);
    const char* data = getenv("CHECKBOOK_BENCH_DATA");
    std::filesystem::path source = std::filesystem::path(data ? data : "") / ("ledger-" + std::to_string(rows) + ".dat");
    std::error_code missing;
    bool copied = data != nullptr && std::filesystem::copy_file(source, "Ledger.dat", missing);
    BuildSettingsPath();
    appState.instance = GetModuleHandleA(nullptr);
    appState.engine =
        LoadDatabaseEngine(appState.registry);
    if (appState.engine == nullptr || appState.engine->Open("Ledger.dat") == 0) return;
    if (!copied && !FillLedger(appState.engine, rows)) return;
    OpenTables(appState.engine);
    ready_ = appState.accounts->FirstRow() != nullptr;
  }

  ~Register() {
    if (appState.accounts != nullptr) CloseTables();
    if (appState.engine != nullptr) {
      appState.engine->Close();
      appState.engine->Release();
      appState.engine = nullptr;
    }
    std::filesystem::current_path(home_);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  bool Ready() const { return ready_; }

  // Runs the register window with `step` as the person's only action.
  void Run(std::function<void()> step) {
    ui_.Then(std::move(step));
    DialogBoxParamA(appState.instance, MAKEINTRESOURCEA(IDD_REGISTER), nullptr, RegisterWindowProc, 0);
  }

  headless::Session& Ui() { return ui_; }

 private:
  std::filesystem::path home_;
  std::string folder_;
  bool ready_ = false;
  headless::Session ui_;
};

int32_t IgnoreRow(void*, int32_t, char**, char**) { return 0; }

// What every data-changing command ends with: re-query, rebuild the list and both totals.
void BenchRefreshList(benchmark::State& state) {
  Register reg(static_cast<int>(state.range(0)));
  if (!reg.Ready()) return state.SkipWithError("engine component not available");
  reg.Run([&] {
    for (auto _ : state) ::RefreshList();
  });
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Its floor: the same two queries with a callback that drops every row.
void BenchRefreshListFloor(benchmark::State& state) {
  Register reg(static_cast<int>(state.range(0)));
  if (!reg.Ready()) return state.SkipWithError("engine component not available");
  for (auto _ : state) {
    appState.engine->Execute("SELECT * FROM QLedger WHERE mAccID = '1' ORDER BY mTransID", nullptr, IgnoreRow);
    appState.engine->Execute("SELECT * FROM QLedger WHERE mAccID = '1' AND mStatus = '3'", nullptr, IgnoreRow);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Writing the list of the last refresh to Report.txt.
void BenchWriteReport(benchmark::State& state) {
  Register reg(static_cast<int>(state.range(0)));
  if (!reg.Ready()) return state.SkipWithError("engine component not available");
  reg.Run([&] {
    for (auto _ : state) ::WriteReport();
  });
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Its floor: the same bytes, composed beforehand, written to the same file.
void BenchWriteReportFloor(benchmark::State& state) {
  Register reg(static_cast<int>(state.range(0)));
  if (!reg.Ready()) return state.SkipWithError("engine component not available");
  reg.Run([] { ::WriteReport(); });
  std::string report;
  if (FILE* file = std::fopen("Report.txt", "r")) {
    char block[65536];
    for (size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;) report.append(block, got);
    std::fclose(file);
  }
  for (auto _ : state) {
    FILE* file = std::fopen("Report.txt", "w");
    if (file == nullptr) return state.SkipWithError("Report.txt cannot be written");
    std::fwrite(report.data(), 1, report.size(), file);
    std::fclose(file);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
}
BENCHMARK(BenchRefreshList)->Name("RefreshList")->Apply(Sizes);
BENCHMARK(BenchRefreshListFloor)->Name("RefreshListFloor")->Apply(Sizes);
BENCHMARK(BenchWriteReport)->Name("WriteReport")->Apply(Sizes);
BENCHMARK(BenchWriteReportFloor)->Name("WriteReportFloor")->Apply(Sizes);

// A person marking one transaction while balancing: the row is written and the list refreshed.
void MarkWhileBalancing(benchmark::State& state) {
  Register reg(static_cast<int>(state.range(0)));
  if (!reg.Ready()) return state.SkipWithError("engine component not available");
  headless::Session& ui = reg.Ui();
  reg.Run([&] {
    ui.Click(IDC_BALANCE);
    // The last open transaction: its line carries no status mark.
    std::vector<std::string> lines = ui.Lines(IDC_REGISTER);
    int line = static_cast<int>(lines.size()) - 1;
    while (line > 0 && std::count(lines[line].begin(), lines[line].end(), '\t') != 4) --line;
    for (auto _ : state) ui.SelectLine(IDC_REGISTER, line);
  });
}
BENCHMARK(MarkWhileBalancing)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// A person typing a transaction and pressing New: insert, balance write-back, commit, refresh.
void NewTransactionTyped(benchmark::State& state) {
  Register reg(static_cast<int>(state.range(0)));
  if (!reg.Ready()) return state.SkipWithError("engine component not available");
  headless::Session& ui = reg.Ui();
  reg.Run([&] {
    ui.Type(IDC_DATE, "12/31/2010");
    ui.Type(IDC_PAYEE, "Corner Grocery");
    ui.Type(IDC_DEBIT, "10");
    for (auto _ : state) ui.Click(IDC_NEW);
  });
}
BENCHMARK(NewTransactionTyped)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
