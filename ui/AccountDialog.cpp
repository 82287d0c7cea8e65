#include "ui/AccountDialog.h"

#include "app/AppState.h"
#include "resources/resource.h"
#include "storage/Money.h"
#include "storage/TextConvert.h"
#include "ui/RegisterList.h"

namespace {

constexpr int kFieldSize = 128;
const char kBeyondCents[] =
    "The initial balance and the balance must stay between\n-131072.00 and 131072.00, where the register keeps\n"
    "every cent. Nothing was stored.";

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

// False, with nothing stored, when the new initial balance or balance is one
// single precision can not keep to the cent.
bool StoreAccount(HWND dialog) {
  bool exists = appState.accounts->RowCount() > 0;
  // Before the first account exists the table object itself is the new row.
  AccountRecord* target = exists ? static_cast<AccountRecord*>(appState.accounts->FirstRow()) : appState.accounts;
  char text[kFieldSize];
  ReadBox(dialog, IDC_INITIALBALANCE, text);
  // The running balance moves by as much as the initial balance does, in
  // whole cents of the amounts as the fields hold them. A value that does not
  // change stays as stored, even one an older build left beyond the limit.
  const float typed = TextToReal(text);
  const bool retyped = typed != target->mInitialBalance;
  const int64_t change = Difference(typed, target->mInitialBalance);
  const int64_t balance = AddCents(ToCents(target->mAccBalance), change);
  if ((retyped && !KeepsEveryCent(ToCents(typed))) || (change != 0 && !KeepsEveryCent(balance))) {
    MessageBoxA(dialog, kBeyondCents, "Account Information", MB_OK | MB_ICONERROR);
    SetFocus(GetDlgItem(dialog, IDC_INITIALBALANCE));
    return false;
  }

  ReadBox(dialog, IDC_ACCOUNTNAME, text);
  target->SetBankName(text);
  ReadBox(dialog, IDC_NOTE, text);
  target->SetBankAccN(text);
  if (retyped) target->mInitialBalance = FromCents(ToCents(typed));
  if (change != 0) target->mAccBalance = FromCents(balance);

  if (exists) {
    target->Update();
  } else {
    target->Insert();
    appState.accounts->ClearRows();
    appState.accounts->Select();
  }
  return true;
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
