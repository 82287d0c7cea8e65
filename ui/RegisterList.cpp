#include "ui/RegisterList.h"

#include <charconv>
#include <cstring>

#include "app/AppState.h"
#include "resources/resource.h"
#include "storage/Money.h"
#include "storage/RegisterOrder.h"
#include "storage/TextConvert.h"

namespace {

constexpr int kSetupMenu = 1;

// A whole line (11-character check number, 20-byte date, 80-byte payee, two
// amounts, tabs and mark) fits in 256 bytes.
constexpr size_t kLineArea = 256;
// What a line of the list usually takes: a check number, a date, a payee, an amount.
constexpr LPARAM kLineBytesTypical = 48;

// Writes a text at out; returns the end.
char* Put(char* out, const char* text) {
  size_t length = std::strlen(text);
  std::memcpy(out, text, length);
  return out + length;
}

// Composes the list line of one row in `line`: check number (when not 0),
// date, payee, credit and debit (when not 0, with their sign), then the status mark, with a
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
  if (row.mCredit != 0) out = FormatMoney(out, row.mCredit);  // as AppendReal at precision 2
  *out++ = '\t';
  if (row.mDebit != 0) out = FormatMoney(out, row.mDebit);
  if (const char* letter = StatusLetter(row.mStatus); *letter != '\0') {
    *out++ = '\t';
    out = Put(out, letter);
  }
  *out = '\0';
  line.Assign(area);
}

void SetAmountText(HWND window, int id, float amount) {
  appState.scratch.Assign("$ ").AppendReal(amount);
  SetWindowTextA(GetDlgItem(window, id), appState.scratch.Text());
}

// The same text as SetAmountText for the cents' amount, exact at any size.
void SetCentsText(HWND window, int id, int64_t cents) {
  char amount[kCentsArea + 1];
  *WriteCents(amount, cents) = '\0';
  appState.scratch.Assign("$ ").Append(amount);
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

}  // namespace

void ShowInEntryRow(HWND window, const LedgerRecord& row) {
  appState.scratch.SetPrecision(2);
  if (row.mCheckNum != 0) {
    appState.scratch.AssignInt(row.mCheckNum);
  } else {
    appState.scratch.Assign("");
  }
  SetWindowTextA(GetDlgItem(window, IDC_CHECKNUM), appState.scratch.Text());
  SetWindowTextA(GetDlgItem(window, IDC_DATE), row.Date());
  SetWindowTextA(GetDlgItem(window, IDC_PAYEE), row.Payee());
  SetFieldAmount(window, IDC_CREDIT, row.mCredit);
  SetFieldAmount(window, IDC_DEBIT, row.mDebit);
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
  // Fetched by key, then put in calendar order here: the engine would order the date's text.
  where.Append(" ORDER BY mTransID");
  appState.ledger->ClearRows();
  appState.ledger->Select();
  SortRegisterRows(*appState.ledger);
  // Room for every line at once, rather than the list growing a line at a time.
  const int32_t rows = appState.ledger->RowCount();
  SendMessageA(list, LB_INITSTORAGE, static_cast<WPARAM>(rows), static_cast<LPARAM>(rows) * kLineBytesTypical);

  for (TableRecord* row = appState.ledger->FirstRow(); row != nullptr; row = row->nextRow) {
    ComposeLine(appState.scratch, *static_cast<LedgerRecord*>(row));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(appState.scratch.Text()));
  }
  SetCentsText(window, IDC_BALANCEDAMOUNT, BalancedAmount(account));
  SetAmountText(window, IDC_BALANCETOTAL, account->mAccBalance);
  // A register is read from its newest rows: the list scrolls to its end.
  LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  if (count > 0) SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(count - 1), 0);
}

int64_t BalancedAmount(AccountRecord* account) {
  LedgerRecord* marked = appState.balanceLedger;
  marked->whereClause.Assign("mAccID = '")
      .AppendInt(account->mAccID)
      .Append("' AND mStatus = '")
      .AppendInt(StatusMarked)
      .Append("'");
  marked->ClearRows();
  marked->Select();

  int64_t sum = 0;
  for (TableRecord* row = marked->FirstRow(); row != nullptr; row = row->nextRow) {
    const LedgerRecord* entry = static_cast<LedgerRecord*>(row);
    sum = AddCents(AddCents(sum, ToCents(entry->mCredit)), -ToCents(entry->mDebit));
  }
  return sum;
}

void SetMenuCheck(HWND window, int popupPosition, UINT commandId, int on) {
  HMENU menu = GetMenu(window);
  if (menu == nullptr) return;
  HMENU popup = GetSubMenu(menu, popupPosition);
  if (popup == nullptr) return;
  CheckMenuItem(popup, commandId, MF_BYCOMMAND | (on != 0 ? MF_CHECKED : MF_UNCHECKED));
}
