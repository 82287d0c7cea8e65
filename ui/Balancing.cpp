#include "ui/Balancing.h"

#include "app/AppState.h"
#include "resources/resource.h"
#include "storage/LedgerBackup.h"
#include "storage/LedgerCore.h"
#include "ui/RegisterList.h"

namespace {

// The entry row and the buttons that change transactions, in the order they are switched.
constexpr int kEntryControls[] = {IDC_CHECKNUM, IDC_DATE, IDC_PAYEE, IDC_CREDIT,
                                  IDC_DEBIT,    IDC_NEW,  IDC_EDIT,  IDC_DELETE};

}  // namespace

void ToggleBalancing(HWND window) {
  if (appState.balancing != 0) {
    AccountRecord* account = static_cast<AccountRecord*>(appState.accounts->FirstRow());
    if (account == nullptr) return;
    appState.balancing = 0;
    FinishBalancing(account);
    RefreshList();
    SetBalancingMode(window, 0);
  } else {
    appState.balancing = 1;
    SetBalancingMode(window, 1);
  }
}

void PostponeBalancing(HWND window) { SetBalancingMode(window, 0); }

void SetBalancingMode(HWND window, int32_t on) {
  appState.balancing = on;
  SetWindowTextA(GetDlgItem(window, IDC_BALANCE), on != 0 ? "&Finish" : "&Balance");
  ShowWindow(GetDlgItem(window, IDC_POSTPONE), on != 0 ? SW_SHOW : SW_HIDE);
  for (int id : kEntryControls) EnableWindow(GetDlgItem(window, id), on != 0 ? FALSE : TRUE);
}

int32_t FinishBalancing(AccountRecord* account) {
  return ReconcileMarkedRows(appState.balanceLedger, account->mAccID);
}

void ToggleBalanceMark(LedgerRecord* row, int32_t index) {
  if (row->mStatus == StatusPlain) {
    SetRowStatus(row, StatusMarked);
  } else if (row->mStatus == StatusMarked) {
    SetRowStatus(row, StatusPlain);
  } else {
    return;  // cleared and reconciled rows are not marked
  }
  RefreshList();
  // The refreshed list holds the same rows in the same order; selecting from
  // the program sends no selection change, so the mark is not toggled back.
  SendMessageA(GetDlgItem(appState.mainWindow, IDC_REGISTER), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void RemoveReconciled(HWND window) {
  int answer = MessageBoxA(window,
                           "Are you sure you want to permanetly remove\nall Reconciled transactions?\n"
                           "The transaction information will be lost!\n"
                           "You may need to backup your database file before proceeding.",
                           "Warning", MB_OKCANCEL | MB_ICONWARNING);
  if (answer != IDOK) return;
  // The rows are gone for good: refuse unless a copy of the ledger was kept.
  if (std::string problem = BackupLedger(appState.engine); !problem.empty()) {
    MessageBoxA(window, BackupRefusal(problem).c_str(), "Remove Reconciled", MB_OK | MB_ICONERROR);
    return;
  }
  RemoveReconciledRows(appState.ledger);
  RefreshList();
}
