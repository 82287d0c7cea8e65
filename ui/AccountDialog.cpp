#include "ui/AccountDialog.h"

#include <cmath>

#include "app/AppState.h"
#include "resources/resource.h"
#include "storage/TextConvert.h"
#include "ui/RegisterList.h"

namespace {

constexpr int kFieldSize = 128;

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

void StoreAccount(HWND dialog) {
  bool exists = appState.accounts->RowCount() > 0;
  // Before the first account exists the table object itself is the new row.
  AccountRecord* target = exists ? static_cast<AccountRecord*>(appState.accounts->FirstRow()) : appState.accounts;
  char text[kFieldSize];
  ReadBox(dialog, IDC_ACCOUNTNAME, text);
  target->SetBankName(text);
  ReadBox(dialog, IDC_NOTE, text);
  target->SetBankAccN(text);
  ReadBox(dialog, IDC_INITIALBALANCE, text);
  double typed = TextToDouble(text);

  // The running balance moves by as much as the initial balance does.
  double old = target->mInitialBalance;
  double change = typed - old;
  float storedChange = static_cast<float>(change);
  float balance = static_cast<float>(static_cast<double>(target->mAccBalance) + storedChange);
  // A change that would take a balance beyond single precision leaves both as they were.
  if (std::isfinite(storedChange) && std::isfinite(balance)) {
    target->mInitialBalance = static_cast<float>(change + old);
    target->mAccBalance = balance;
  }

  if (exists) {
    target->Update();
  } else {
    target->Insert();
    appState.accounts->ClearRows();
    appState.accounts->Select();
  }
}

}  // namespace

INT_PTR CALLBACK AccountDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      InitAccountDialog(dialog);
      return 1;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        StoreAccount(dialog);
        EndDialog(dialog, 1);
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
