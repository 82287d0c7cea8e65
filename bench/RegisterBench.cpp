// The register window over years of transactions: what a list refresh, a
// balancing mark and a new transaction cost with the real engine and the
// real window code, driven through the headless front end.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "app/AppState.h"
#include "app/SettingsFile.h"
#include "platform/headless/headless.h"
#include "resources/ProgramResources.h"
#include "resources/resource.h"
#include "ui/RegisterWindow.h"

namespace {

// A register in a temporary folder with one account and `rows` transactions,
// a few a day over the years.
class Register {
 public:
  explicit Register(int rows) {
    UseProgramResources();
    home_ = std::filesystem::current_path();
    char pattern[] = "/tmp/checkbook-register-bench-XXXXXX";
    folder_ = mkdtemp(pattern) ? pattern : "";
    std::filesystem::current_path(folder_);
    BuildSettingsPath();
    appState.instance = GetModuleHandleA(nullptr);
    appState.engine =
        LoadDatabaseEngine(appState.registry);
    if (appState.engine == nullptr || appState.engine->Open("Ledger.dat") == 0) return;
    OpenTables(appState.engine);
    appState.accounts->Execute(
        "INSERT INTO QAccounts VALUES (NULL, 1000.00, 0.00, 0, 'Household', NULL, NULL, 1000.00, 0.00, 0.00, NULL)");
    appState.accounts->ClearRows();
    appState.accounts->Select();
    LedgerRecord& entry = *appState.ledger;
    entry.Execute("BEGIN");
    for (int i = 0; i < rows; ++i) {
      char date[16];
      snprintf(date, sizeof date, "%02d/%02d/%04d", i / 3 % 12 + 1, i / 36 % 28 + 1, 2000 + i / 1000);
      entry.SetDate(date);
      entry.SetPayee(i % 5 ? "Corner Grocery" : "Salary");
      entry.mCheckNum = i % 5 ? 1000 + i : 0;
      entry.mDebit = i % 5 ? 12.5f + static_cast<float>(i % 40) : 0.0f;
      entry.mCredit = i % 5 ? 0.0f : 1500.0f;
      entry.mAccID = 1;
      entry.mStatus = i % 7 == 0 ? StatusReconciled : StatusPlain;
      entry.Insert();
    }
    entry.mStatus = StatusPlain;
    entry.Execute("COMMIT");
    ready_ = true;
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

// What every data-changing command ends with: re-query, rebuild the list and both totals.
void RefreshRegister(benchmark::State& state) {
  Register reg(static_cast<int>(state.range(0)));
  if (!reg.Ready()) return state.SkipWithError("engine component not available");
  reg.Run([&] {
    for (auto _ : state) RefreshList();
  });
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(RefreshRegister)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// A person marking one transaction while balancing: the row is written and the list refreshed.
void MarkWhileBalancing(benchmark::State& state) {
  Register reg(static_cast<int>(state.range(0)));
  if (!reg.Ready()) return state.SkipWithError("engine component not available");
  headless::Session& ui = reg.Ui();
  reg.Run([&] {
    ui.Click(IDC_BALANCE);
    int line = static_cast<int>(ui.Lines(IDC_REGISTER).size()) - 1;
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
