#include "app/SettingsFile.h"

#include "app/AppState.h"
#include "platform/win32.h"

namespace {
constexpr const char* kFileName = "RErivaRude.ini";
constexpr const char* kHideKey = "HideRec";
}  // namespace

void BuildSettingsPath() {
  char dir[MAX_PATH];
  DWORD length = GetCurrentDirectoryA(sizeof dir, dir);
  if (length == 0 || length >= sizeof dir) {
    appState.iniPath.Assign(kFileName);
    return;
  }
  // The separator goes in even when the directory already ends in one.
  appState.iniPath.Assign(dir).Append("\\").Append(kFileName);
}

void ReadSettings() {
  appState.hideReconciled =
      static_cast<int32_t>(GetPrivateProfileIntA(kSettingsSection, kHideKey, 0, appState.iniPath.Text()));
}

void WriteSettings() {
  WritePrivateProfileStringA(kSettingsSection, kHideKey, appState.hideReconciled != 0 ? "1" : "0",
                             appState.iniPath.Text());
}
