#include "ui/PayeeList.h"

#include <cstdint>

#include "app/AppState.h"
#include "app/SettingsFile.h"
#include "resources/resource.h"

namespace {

const char kCountKey[] = "NumPayees";
constexpr int kPayeeSize = 80;

// The count is read from the file each time, never kept.
int32_t PayeeCount() {
  return static_cast<int32_t>(GetPrivateProfileIntA(kSettingsSection, kCountKey, 0, appState.iniPath.Text()));
}

const char* PayeeKey(int32_t n) {
  return appState.scratch.Assign("Payee_").AppendInt(n).Text();
}

}  // namespace

void LoadPayees(HWND window) {
  HWND box = GetDlgItem(window, IDC_PAYEE);
  int32_t count = PayeeCount();
  for (int32_t n = 1; n <= count; ++n) {
    char payee[kPayeeSize];
    DWORD length = GetPrivateProfileStringA(kSettingsSection, PayeeKey(n), "", payee, kPayeeSize, appState.iniPath.Text());
    if (length > 0) SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(payee));
  }
}

void RememberPayee(HWND window, const char* payee) {
  HWND box = GetDlgItem(window, IDC_PAYEE);
  // Starting after entry 0 and wrapping, the search compares every entry.
  if (SendMessageA(box, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>(payee)) != CB_ERR) return;
  SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(payee));
  int32_t next = PayeeCount() + 1;
  appState.scratch.AssignInt(next);
  WritePrivateProfileStringA(kSettingsSection, kCountKey, appState.scratch.Text(), appState.iniPath.Text());
  WritePrivateProfileStringA(kSettingsSection, PayeeKey(next), payee, appState.iniPath.Text());
}
