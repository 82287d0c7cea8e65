#include "app/Startup.h"

#include "app/AppState.h"
#include "app/SettingsFile.h"
#include "resources/resource.h"
#include "ui/RegisterWindow.h"

namespace {

constexpr uint32_t kEngineVersion = 100;

void ShutDown() {
  appState.accounts->ClearRows();
  appState.ledger->ClearRows();
  appState.balanceLedger->ClearRows();
  delete appState.accounts;
  delete appState.ledger;
  delete appState.balanceLedger;
  appState.accounts = nullptr;
  appState.ledger = nullptr;
  appState.balanceLedger = nullptr;
  appState.engine->Close();
  appState.engine->Release();
  appState.engine = nullptr;
  WriteSettings();
}

}  // namespace

int RunCheckbook(HINSTANCE instance) {
  appState.engine =
      static_cast<DatabaseEngine*>(appState.registry.LoadComponent("REDivizud.DLL", "REDivizud", kEngineVersion));
  if (appState.engine == nullptr) {
    MessageBoxA(nullptr, "Can not start application\nRequired components are missing.", "Error", MB_OK);
    return 0;
  }
  BuildSettingsPath();
  appState.instance = instance;
  ReadSettings();
  if (appState.engine->Open("Ledger.dat") == 0) {
    MessageBoxA(nullptr, "Can not open Database.", "RErivarude", MB_ICONERROR);
    return 1;
  }

  appState.accounts = new AccountRecord(appState.engine, "QAccounts");
  appState.ledger = new LedgerRecord(appState.engine, "QLedger");
  appState.balanceLedger = new LedgerRecord(appState.engine, "QLedger");
  // From the second run on the tables exist and the engine refuses these harmlessly.
  appState.accounts->CreateTable();
  appState.ledger->CreateTable();
  appState.accounts->Select();

  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_REGISTER), nullptr, RegisterWindowProc, 0);

  ShutDown();
  return 0;
}
