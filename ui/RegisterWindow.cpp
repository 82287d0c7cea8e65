#include "ui/RegisterWindow.h"

#include <charconv>
#include <cstring>

#include "app/AppState.h"
#include "resources/resource.h"
#include "storage/TextConvert.h"
#include "ui/AccountDialog.h"
#include "ui/Balancing.h"
#include "ui/EntryCommands.h"
#include "ui/PayeeList.h"
#include "ui/Report.h"

namespace {

constexpr int kSetupMenu = 1;

// A whole line (11-character check number, 20-byte date, 80-byte payee, two
// amounts, tabs and mark) fits in 256 bytes.
constexpr size_t kLineArea = 256;

// Writes a text at out; returns the end.
char* Put(char* out, const char* text) {
  size_t length = std::strlen(text);
  std::memcpy(out, text, length);
  return out + length;
}

// Composes the list line of one row in `line`: check number (when not 0),
// date, payee, credit and debit (when above 0), then the status mark, with a
// tab between the columns. The pieces are joined in a local area first and
// stored in `line` with one Assign, which leaves the same text there.
void ComposeLine(TextBuffer& line, const LedgerRecord& row) {
  char area[kLineArea];
  char* out = area;
  if (row.mCheckNum != 0) out = std::to_chars(out, out + 16, row.mCheckNum).ptr;
  *out++ = '\t';
  out = Put(out, row.Date());
  *out++ = '\t';
  out = Put(out, row.Payee());
  *out++ = '\t';
  if (row.mCredit > 0) out = FormatMoney(out, row.mCredit);  // as AppendReal at precision 2
  *out++ = '\t';
  if (row.mDebit > 0) out = FormatMoney(out, row.mDebit);
  switch (row.mStatus) {
    case StatusCleared: out = Put(out, "\tC"); break;
    case StatusReconciled: out = Put(out, "\tR"); break;
    case StatusMarked: out = Put(out, "\tB"); break;
    default: break;
  }
  *out = '\0';
  line.Assign(area);
}

void SetAmountText(HWND window, int id, float amount) {
  appState.scratch.Assign("$ ").AppendReal(amount);
  SetWindowTextA(GetDlgItem(window, id), appState.scratch.Text());
}

// Entry fields show an amount of 0 as nothing.
void SetFieldAmount(HWND window, int id, float amount) {
  if (amount != 0) {
    appState.scratch.AssignReal(amount);
  } else {
    appState.scratch.Assign("");
  }
  SetWindowTextA(GetDlgItem(window, id), appState.scratch.Text());
}

void InitRegisterWindow(HWND window) {
  HICON icon = LoadIconA(appState.instance, MAKEINTRESOURCEA(IDI_CHECKBOOK));
  SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  appState.mainWindow = window;
  INT tabStops[5] = {44, 94, 274, 338, 406};
  SendMessageA(GetDlgItem(window, IDC_REGISTER), LB_SETTABSTOPS, 5, reinterpret_cast<LPARAM>(tabStops));
  LoadPayees(window);
  RefreshList();
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
    default:
      return FALSE;
  }
}

void RefreshList() {
  HWND window = appState.mainWindow;
  SetMenuCheck(window, kSetupMenu, ID_SETUP_HIDERECONCILED, appState.hideReconciled);
  HWND list = GetDlgItem(window, IDC_REGISTER);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);

  AccountRecord* account = static_cast<AccountRecord*>(appState.accounts->FirstRow());
  if (account == nullptr) return;
  appState.scratch.SetPrecision(2);

  TextBuffer& where = appState.ledger->whereClause;
  where.Assign("mAccID = '").AppendInt(account->mAccID).Append("'");
  if (appState.hideReconciled != 0) where.Append(" AND mStatus != '").AppendInt(StatusReconciled).Append("'");
  where.Append(" ORDER BY mDate");
  appState.ledger->ClearRows();
  appState.ledger->Select();

  for (TableRecord* row = appState.ledger->FirstRow(); row != nullptr; row = row->nextRow) {
    ComposeLine(appState.scratch, *static_cast<LedgerRecord*>(row));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(appState.scratch.Text()));
  }
  SetAmountText(window, IDC_BALANCEDAMOUNT, BalancedAmount(account));
  SetAmountText(window, IDC_BALANCETOTAL, account->mAccBalance);
}

float BalancedAmount(AccountRecord* account) {
  LedgerRecord* marked = appState.balanceLedger;
  marked->whereClause.Assign("mAccID = '")
      .AppendInt(account->mAccID)
      .Append("' AND mStatus = '")
      .AppendInt(StatusMarked)
      .Append("'");
  marked->ClearRows();
  marked->Select();

  float sum = 0;
  for (TableRecord* row = marked->FirstRow(); row != nullptr; row = row->nextRow) {
    const LedgerRecord* entry = static_cast<LedgerRecord*>(row);
    sum = static_cast<float>(static_cast<double>(sum) + entry->mCredit - static_cast<double>(entry->mDebit));
  }
  return sum;
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

  appState.scratch.SetPrecision(2);
  if (row->mCheckNum != 0) {
    appState.scratch.AssignInt(row->mCheckNum);
  } else {
    appState.scratch.Assign("");
  }
  SetWindowTextA(GetDlgItem(window, IDC_CHECKNUM), appState.scratch.Text());
  SetWindowTextA(GetDlgItem(window, IDC_DATE), row->Date());
  SetWindowTextA(GetDlgItem(window, IDC_PAYEE), row->Payee());
  SetFieldAmount(window, IDC_CREDIT, row->mCredit);
  SetFieldAmount(window, IDC_DEBIT, row->mDebit);
}

void ToggleHideReconciled(HWND) {
  appState.hideReconciled = appState.hideReconciled != 0 ? 0 : 1;
  RefreshList();
}

void SetMenuCheck(HWND window, int popupPosition, UINT commandId, int on) {
  HMENU menu = GetMenu(window);
  if (menu == nullptr) return;
  HMENU popup = GetSubMenu(menu, popupPosition);
  if (popup == nullptr) return;
  CheckMenuItem(popup, commandId, MF_BYCOMMAND | (on != 0 ? MF_CHECKED : MF_UNCHECKED));
}
