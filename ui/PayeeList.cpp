#include "ui/PayeeList.h"

#include <cctype>
#include <cstdint>
#include <string>

#include "app/AppState.h"
#include "app/SettingsFile.h"
#include "app/SettingsText.h"
#include "resources/resource.h"

namespace {

const char kCountKey[] = "NumPayees";
constexpr int kPayeeSize = 80;
// More payees than anyone enters; a larger count in the file would make
// start-up probe keys for hours.
constexpr int32_t kMaxPayees = 100000;

// The count is read from the file each time, never kept, and taken as 0 to
// kMaxPayees whatever the file says.
int32_t PayeeCount() {
  auto count = static_cast<int32_t>(GetPrivateProfileIntA(kSettingsSection, kCountKey, 0, appState.iniPath.Text()));
  return count < 0 ? 0 : count > kMaxPayees ? kMaxPayees : count;
}

// The profile readers drop white space around a value and one pair of quotes
// around it, so such a payee is written inside one more pair of double quotes
// and reads back as typed.
std::string ProfileValue(const char* payee) {
  std::string value = payee;
  if (value.empty()) return value;
  auto loses = [](char c) { return c == '"' || c == '\'' || std::isspace(static_cast<unsigned char>(c)); };
  if (loses(value.front()) || loses(value.back())) value = '"' + value + '"';
  return value;
}

const char* PayeeKey(int32_t n) {
  return appState.scratch.Assign("Payee_").AppendInt(n).Text();
}

}  // namespace

void LoadPayees(HWND window) {
  HWND box = GetDlgItem(window, IDC_PAYEE);
  int32_t count = PayeeCount();
  SettingsText settings;
  for (int32_t n = 1; n <= count; ++n) {
    char payee[kPayeeSize];
    if (settings.Read(PayeeKey(n), payee, kPayeeSize) > 0)
      SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(payee));
  }
}

void RememberPayee(HWND window, const char* payee) {
  HWND box = GetDlgItem(window, IDC_PAYEE);
  // Starting after entry 0 and wrapping, the search compares every entry.
  if (SendMessageA(box, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>(payee)) != CB_ERR) return;
  SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(payee));
  // At the bound the last key is taken over, so every key written is one that
  // the next start loads.
  int32_t count = PayeeCount();
  int32_t next = (count < kMaxPayees ? count : kMaxPayees - 1) + 1;
  appState.scratch.AssignInt(next);
  WriteSetting(kCountKey, appState.scratch.Text());
  WriteSetting(PayeeKey(next), ProfileValue(payee).c_str());
}
