#include "app/SettingsFile.h"

#include <string>

#include "app/AppState.h"
#include "app/SettingsText.h"
#include "platform/win32.h"

namespace {
constexpr const char* kFileName = "RErivaRude.ini";
constexpr const char* kHideKey = "HideRec";
}  // namespace

void BuildSettingsPath() {
  // In UTF-8 a folder's name can take three bytes a character, so a path
  // Windows accepts may not fit MAX_PATH bytes: the room is the size asked for.
  std::string dir(MAX_PATH, '\0');
  DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(dir.size()), dir.data());
  if (length >= dir.size()) {
    dir.assign(length, '\0');
    length = GetCurrentDirectoryA(static_cast<DWORD>(dir.size()), dir.data());
  }
  if (length == 0 || length >= dir.size()) {
    appState.iniPath.Assign(kFileName);
    return;
  }
  dir.resize(length);
  // The separator goes in even when the directory already ends in one.
  appState.iniPath.Assign(dir.c_str()).Append("\\").Append(kFileName);
}

void ReadSettings() {
  appState.hideReconciled =
      static_cast<int32_t>(GetPrivateProfileIntA(kSettingsSection, kHideKey, 0, appState.iniPath.Text()));
}

void WriteSettings() {
  WriteSetting(kHideKey, appState.hideReconciled != 0 ? "1" : "0");
}
