#include "ui/EntryCommands.h"

#include <climits>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "app/AppState.h"
#include "resources/resource.h"
#include "storage/CalendarDate.h"
#include "storage/LedgerCore.h"
#include "storage/Money.h"
#include "ui/PayeeList.h"
#include "ui/RegisterList.h"

namespace {

constexpr int kFieldSize = 128;
const char kNoAccount[] = "Account is not setup yet. Please setup Account";
const char kDataEntry[] = "Data Entry";
const char kAmountBeyondCents[] =
    "An amount must lie between -131072.00 and 131072.00:\nbeyond that the register can not keep every cent.";
const char kBalanceBeyondCents[] =
    "The balance would reach 131072.00 or more\n(or -131072.00 or less), where the register can not\nkeep every "
    "cent. Nothing was stored.";
const char kCheckNumberForm[] = "The Check# must be digits only, such as 1042, or left empty.";
const char kDateForm[] = "The Date must be a real date written month/day/year, such as 01/31/2026.";
const char kCreditForm[] = "The Credit amount must be a number such as 1,200.00 or -25.50.";
const char kDebitForm[] = "The Debit amount must be a number such as 1,200.00 or -25.50.";

void ShowError(HWND window, const char* text, const char* caption) {
  MessageBoxA(window, text, caption, MB_OK | MB_ICONERROR);
}

void ReadField(HWND window, int id, char (&text)[kFieldSize]) {
  text[0] = '\0';
  GetWindowTextA(GetDlgItem(window, id), text, kFieldSize);
}

AccountRecord* CurrentAccount() { return static_cast<AccountRecord*>(appState.accounts->FirstRow()); }

struct Selected {
  int index;
  AccountRecord* account;
  LedgerRecord* row;
};

// The selected line's row for Edit and Delete. Without a selection nothing is
// shown; a missing account or row is reported under the command's caption.
bool FindSelected(HWND window, const char* caption, const char* rowMissing, Selected& target) {
  target.index = static_cast<int>(SendMessageA(GetDlgItem(window, IDC_REGISTER), LB_GETCURSEL, 0, 0));
  if (target.index < 0) return false;
  target.account = CurrentAccount();
  if (target.account == nullptr) {
    ShowError(window, kNoAccount, caption);
    return false;
  }
  target.row = static_cast<LedgerRecord*>(appState.ledger->RowAt(target.index));
  if (target.row == nullptr) {
    ShowError(window, rowMissing, caption);
    return false;
  }
  return true;
}

// Set by the program, so the list sends no selection change and the entry row stays as it is.
void SelectLine(HWND window, int index) {
  SendMessageA(GetDlgItem(window, IDC_REGISTER), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// The line that shows the row with this key; -1 when no line does.
int LineOf(int32_t transID) {
  int line = 0;
  for (TableRecord* row = appState.ledger->FirstRow(); row != nullptr; row = row->nextRow, ++line) {
    if (static_cast<LedgerRecord*>(row)->mTransID == transID) return line;
  }
  return -1;
}

// The command's own message for a refused statement; one for a balance beyond the cents.
const char* Refusal(LedgerResult result, const char* refused) {
  return result == LedgerResult::BeyondCents ? kBalanceBeyondCents : refused;
}

void FocusCheckNumber(HWND window) { SetFocus(GetDlgItem(window, IDC_CHECKNUM)); }

// Blanks around a field's text are not part of what was meant.
std::string_view Trimmed(const char* text) {
  std::string_view view(text);
  while (!view.empty() && (view.front() == ' ' || view.front() == '\t')) view.remove_prefix(1);
  while (!view.empty() && (view.back() == ' ' || view.back() == '\t')) view.remove_suffix(1);
  return view;
}

// The row just inserted has the table's highest key. The refresh showed the
// list's end; when that row lies above it, the list scrolls up to it.
void ShowInsertedRow(HWND window) {
  int line = -1, index = 0;
  int32_t highest = 0;
  for (TableRecord* row = appState.ledger->FirstRow(); row != nullptr; row = row->nextRow, ++index) {
    int32_t key = static_cast<LedgerRecord*>(row)->mTransID;
    if (line < 0 || key > highest) line = index, highest = key;
  }
  HWND list = GetDlgItem(window, IDC_REGISTER);
  if (line >= 0 && line < SendMessageA(list, LB_GETTOPINDEX, 0, 0))
    SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(line), 0);
}

// Refuses the field's text: the message names the field and the form it
// takes, and the focus goes back to it.
int32_t Refuse(HWND window, int id, const char* text) {
  ShowError(window, text, kDataEntry);
  SetFocus(GetDlgItem(window, id));
  return 0;
}

// Empty, or digits only.
std::optional<int32_t> ReadCheckNumber(std::string_view text) {
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > INT32_MAX) return std::nullopt;
  }
  return static_cast<int32_t>(value);
}

// Empty is 0.
std::optional<int64_t> ReadEntryAmount(std::string_view text) {
  if (text.empty()) return 0;
  return ReadAmount(text);
}

// A new amount must be one the row keeps to the cent; one that does not
// change stays as it is stored, even one an older build left beyond that.
bool Acceptable(int64_t cents, float stored) { return cents == ToCents(stored) || KeepsEveryCent(cents); }

void StoreCents(float& field, int64_t cents) {
  if (cents != ToCents(field)) field = FromCents(cents);
}

}  // namespace

int32_t ReadEntryFields(HWND window, LedgerRecord* row) {
  char text[kFieldSize];
  ReadField(window, IDC_CHECKNUM, text);
  const std::optional<int32_t> checkNum = ReadCheckNumber(Trimmed(text));
  if (!checkNum) return Refuse(window, IDC_CHECKNUM, kCheckNumberForm);
  row->mCheckNum = *checkNum;

  ReadField(window, IDC_DATE, text);
  if (text[0] == '\0') {
    ShowError(window, "Please enter the Date.", kDataEntry);
    return 0;
  }
  const std::string date(Trimmed(text));
  if (CalendarDay(date) == 0) return Refuse(window, IDC_DATE, kDateForm);
  row->SetDate(date.c_str());

  ReadField(window, IDC_PAYEE, text);
  if (text[0] == '\0') {
    ShowError(window, "Enter or Select a Payee from the list", kDataEntry);
    return 0;
  }
  row->SetPayee(text);

  ReadField(window, IDC_CREDIT, text);
  const std::optional<int64_t> credit = ReadEntryAmount(Trimmed(text));
  if (!credit) return Refuse(window, IDC_CREDIT, kCreditForm);
  ReadField(window, IDC_DEBIT, text);
  const std::optional<int64_t> debit = ReadEntryAmount(Trimmed(text));
  if (!debit) return Refuse(window, IDC_DEBIT, kDebitForm);
  if (*debit == 0 && *credit == 0) {
    ShowError(window, "Please enter Debit or credit ammount", kDataEntry);
    return 0;
  }
  if (*debit != 0 && *credit != 0) {
    ShowError(window, "Enter either debit or credit ammount, not both", kDataEntry);
    return 0;
  }
  if (!Acceptable(*debit, row->mDebit) || !Acceptable(*credit, row->mCredit)) {
    ShowError(window, kAmountBeyondCents, kDataEntry);
    return 0;
  }
  StoreCents(row->mDebit, *debit);
  StoreCents(row->mCredit, *credit);
  return 1;
}

void NewTransaction(HWND window) {
  const char caption[] = "Insert New Record";
  AccountRecord* account = CurrentAccount();
  if (account == nullptr) {
    ShowError(window, kNoAccount, caption);
    return;
  }
  LedgerRecord* entry = appState.ledger;
  entry->mAccID = account->mAccID;
  if (ReadEntryFields(window, entry) == 0) return;

  if (LedgerResult result = AddRow(entry, account); result != LedgerResult::Done) {
    ShowError(window, Refusal(result, "Error inserting a Record"), caption);
    return;
  }
  RememberPayee(window, entry->Payee());
  RefreshList();
  ShowInsertedRow(window);
  FocusCheckNumber(window);
}

void EditTransaction(HWND window) {
  const char caption[] = "Edit Record";
  Selected target;
  if (!FindSelected(window, caption, "Error accessing a Record information.", target)) return;
  auto [index, account, row] = target;
  if (row->mStatus == StatusReconciled) {
    ShowError(window, "Can not change this record.\nRecord is read-only.", caption);
    return;
  }
  float oldDebit = row->mDebit;
  float oldCredit = row->mCredit;
  // An edit that is not stored must not linger in the row object: a balancing
  // mark writes the whole row back, and would store it without moving the balance.
  const int32_t oldCheckNum = row->mCheckNum;
  const std::string oldDate = row->Date();
  const std::string oldPayee = row->Payee();
  auto restore = [&] {
    row->mCheckNum = oldCheckNum;
    row->SetDate(oldDate.c_str());
    row->SetPayee(oldPayee.c_str());
    row->mDebit = oldDebit;
    row->mCredit = oldCredit;
  };
  if (ReadEntryFields(window, row) == 0) {
    restore();
    return;
  }

  if (LedgerResult result = ChangeRow(row, account, oldDebit, oldCredit); result != LedgerResult::Done) {
    restore();
    ShowError(window, Refusal(result, "Error updating the Record information."), caption);
    return;
  }
  RememberPayee(window, row->Payee());
  const int32_t edited = row->mTransID;
  RefreshList();
  // A new date can move the row: its line is selected wherever it now is,
  // so the entry row, which holds its values, goes with the line it shows.
  SelectLine(window, LineOf(edited));
  FocusCheckNumber(window);
}

void DeleteTransaction(HWND window) {
  const char caption[] = "Delete Record";
  Selected target;
  if (!FindSelected(window, caption, "Record not found.", target)) return;
  auto [index, account, row] = target;
  if (LedgerResult result = RemoveRow(row, account); result != LedgerResult::Done) {
    ShowError(window, Refusal(result, "Error removing the Record."), caption);
    return;
  }
  RefreshList();
  // The line above the deleted one; -1 for the first line leaves none selected.
  // The entry row shows the line now selected, as if it had been picked, so
  // an Edit that follows never writes the deleted transaction over it.
  SelectLine(window, index - 1);
  if (const auto* above = static_cast<LedgerRecord*>(appState.ledger->RowAt(index - 1))) ShowInEntryRow(window, *above);
  FocusCheckNumber(window);
}
