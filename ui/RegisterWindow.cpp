#include "ui/RegisterWindow.h"

#include "app/AppState.h"
#include "resources/resource.h"
#include "ui/AccountDialog.h"
#include "ui/Balancing.h"
#include "ui/EntryCommands.h"
#include "ui/PayeeList.h"
#include "ui/RegisterList.h"
#include "ui/Report.h"
#include "ui/StatementCommands.h"

namespace {

void InitRegisterWindow(HWND window) {
  HICON icon = LoadIconA(appState.instance, MAKEINTRESOURCEA(IDI_CHECKBOOK));
  SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  appState.mainWindow = window;
  INT tabStops[5] = {44, 94, 274, 338, 406};
  SendMessageA(GetDlgItem(window, IDC_REGISTER), LB_SETTABSTOPS, 5, reinterpret_cast<LPARAM>(tabStops));
  LoadPayees(window);
  RefreshList();
  DragAcceptFiles(window, TRUE);  // a statement file dropped here is imported
}

void RouteCommand(HWND window, int id, int notification) {
  switch (id) {
    case IDC_REGISTER:
      if (notification == LBN_SELCHANGE) ListSelectionChanged();
      break;
    case IDC_NEW: NewTransaction(window); break;
    case IDC_EDIT: EditTransaction(window); break;
    case IDC_DELETE: DeleteTransaction(window); break;
    case IDC_BALANCE: ToggleBalancing(window); break;
    case IDC_POSTPONE: PostponeBalancing(window); break;
    case ID_SETUP_ACCOUNTDETAILS: ShowAccountDialog(window); break;
    case ID_RECORD_EXIT: EndDialog(window, 0); break;
    case ID_SETUP_HIDERECONCILED: ToggleHideReconciled(window); break;
    case ID_RECORD_REMOVERECONCILED: RemoveReconciled(window); break;
    case ID_RECORD_REPORT: WriteReport(); break;
    case ID_RECORD_IMPORT: ImportStatement(window); break;
    case ID_RECORD_EXPORT: ExportStatement(window); break;
    default: break;  // Enter (IDOK) and Escape (IDCANCEL) among them: no default button
  }
}

}  // namespace

INT_PTR CALLBACK RegisterWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      InitRegisterWindow(window);
      return TRUE;
    case WM_CLOSE:
      EndDialog(window, 0);
      return TRUE;
    case WM_COMMAND:
      RouteCommand(window, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_DROPFILES:
      ImportDroppedFiles(window, reinterpret_cast<HDROP>(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

void ListSelectionChanged() {
  HWND window = appState.mainWindow;
  int index = static_cast<int>(SendMessageA(GetDlgItem(window, IDC_REGISTER), LB_GETCURSEL, 0, 0));
  if (index == LB_ERR) return;
  TableRecord* found = appState.ledger->FirstRow();
  for (int step = 0; step < index && found != nullptr; ++step) found = found->nextRow;
  if (found == nullptr) return;
  LedgerRecord* row = static_cast<LedgerRecord*>(found);
  if (appState.balancing != 0) {
    ToggleBalanceMark(row, index);
    return;
  }
  ShowInEntryRow(window, *row);
}

void ToggleHideReconciled(HWND) {
  appState.hideReconciled = appState.hideReconciled != 0 ? 0 : 1;
  RefreshList();
}
