#include "app/start/Startup.h"

#include "app/AppState.h"
#include "app/SettingsFile.h"
#include "resources/resource.h"
#include "ui/RegisterWindow.h"

namespace {

void ShutDown() {
  CloseTables();
  appState.engine->Close();
  appState.engine->Release();
  appState.engine = nullptr;
  WriteSettings();
}

}  // namespace

int RunCheckbook(HINSTANCE instance) {
  appState.engine = LoadDatabaseEngine(appState.registry);
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

  OpenTables(appState.engine);

  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_REGISTER), nullptr, RegisterWindowProc, 0);

  ShutDown();
  return 0;
}
