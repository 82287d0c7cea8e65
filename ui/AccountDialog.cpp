#include "ui/AccountDialog.h"

#include <optional>
#include <string>
#include <string_view>

#include "app/AppState.h"
#include "resources/resource.h"
#include "storage/LedgerCore.h"
#include "storage/Money.h"
#include "ui/RegisterList.h"

namespace {

constexpr int kFieldSize = 128;
const char kBeyondCents[] =
    "The initial balance and the balance must stay between\n-131072.00 and 131072.00, where the register keeps\n"
    "every cent. Nothing was stored.";
const char kInitialBalanceForm[] = "The Initial Balance must be a number such as 1,200.00 or -25.50.";

void InitAccountDialog(HWND dialog) {
  HICON icon = LoadIconA(appState.instance, MAKEINTRESOURCEA(IDI_CHECKBOOK));
  SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  if (appState.accounts->RowCount() <= 0) return;
  AccountRecord* account = static_cast<AccountRecord*>(appState.accounts->FirstRow());
  SetWindowTextA(GetDlgItem(dialog, IDC_ACCOUNTNAME), account->BankName());
  SetWindowTextA(GetDlgItem(dialog, IDC_NOTE), account->BankAccN());
  TextBuffer initial;
  initial.SetPrecision(2);
  initial.AppendReal(account->mInitialBalance);
  SetWindowTextA(GetDlgItem(dialog, IDC_INITIALBALANCE), initial.Text());
}

void ReadBox(HWND dialog, int id, char (&text)[kFieldSize]) {
  text[0] = '\0';
  GetWindowTextA(GetDlgItem(dialog, id), text, kFieldSize);
}

// Refuses what was typed in a box; the dialog stays open with it, the focus in that box.
bool Refuse(HWND dialog, int id, const char* text, const char* caption) {
  MessageBoxA(dialog, text, caption, MB_OK | MB_ICONERROR);
  SetFocus(GetDlgItem(dialog, id));
  return false;
}

// False, with nothing stored and memory as it was, when the initial balance
// is not an amount, when it or the balance would leave what single precision
// keeps to the cent, or when the database refuses the write.
bool StoreAccount(HWND dialog) {
  bool exists = appState.accounts->RowCount() > 0;
  // Before the first account exists the table object itself is the new row.
  AccountRecord* target = exists ? static_cast<AccountRecord*>(appState.accounts->FirstRow()) : appState.accounts;
  char text[kFieldSize];
  ReadBox(dialog, IDC_INITIALBALANCE, text);
  std::string_view typedText(text);
  while (!typedText.empty() && (typedText.front() == ' ' || typedText.front() == '\t')) typedText.remove_prefix(1);
  // An empty box is 0.
  const std::optional<int64_t> typed = typedText.empty() ? 0 : ReadAmount(typedText);
  if (!typed) return Refuse(dialog, IDC_INITIALBALANCE, kInitialBalanceForm, "Data Entry");
  // What memory held, put back when the database refuses the write.
  const std::string oldName = target->BankName(), oldNote = target->BankAccN();
  const float oldInitial = target->mInitialBalance, oldBalance = target->mAccBalance;
  if (!SetInitialBalance(target, *typed)) return Refuse(dialog, IDC_INITIALBALANCE, kBeyondCents, "Account Information");
  ReadBox(dialog, IDC_ACCOUNTNAME, text);
  target->SetBankName(text);
  ReadBox(dialog, IDC_NOTE, text);
  target->SetBankAccN(text);

  if (exists ? target->Update() != 0 : target->Insert() != 0) {
    if (!exists) {
      appState.accounts->ClearRows();
      appState.accounts->Select();
    }
    return true;
  }
  target->SetBankName(oldName.c_str());
  target->SetBankAccN(oldNote.c_str());
  target->mInitialBalance = oldInitial;
  target->mAccBalance = oldBalance;
  return Refuse(dialog, IDC_ACCOUNTNAME,
                exists ? "Error updating the Account information." : "Error inserting the Account information.",
                "Account Details");
}

}  // namespace

INT_PTR CALLBACK AccountDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      InitAccountDialog(dialog);
      return 1;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        if (StoreAccount(dialog)) EndDialog(dialog, 1);
      } else if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
      }
      return 1;
    default:
      return 0;
  }
}

void ShowAccountDialog(HWND) {
  DialogBoxParamA(appState.instance, MAKEINTRESOURCEA(IDD_ACCOUNT), nullptr, AccountDialog, 0);
  RefreshList();
}
