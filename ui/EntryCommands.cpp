#include "ui/EntryCommands.h"

#include <string>

#include "app/AppState.h"
#include "resources/resource.h"
#include "storage/LedgerCore.h"
#include "storage/Money.h"
#include "storage/TextConvert.h"
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

// The command's own message for a refused statement; one for a balance beyond the cents.
const char* Refusal(LedgerResult result, const char* refused) {
  return result == LedgerResult::BeyondCents ? kBalanceBeyondCents : refused;
}

void FocusCheckNumber(HWND window) { SetFocus(GetDlgItem(window, IDC_CHECKNUM)); }

// A value stays as it is stored when it does not change (even one an older
// build left beyond what single precision keeps to the cent); a new one must
// be kept to the cent.
bool Acceptable(float value, float stored) { return value == stored || KeepsEveryCent(ToCents(value)); }

// The field takes the value's whole cents; an unchanged value stays as stored.
void StoreCents(float& field, float value) {
  if (value != field) field = FromCents(ToCents(value));
}

}  // namespace

int32_t ReadEntryFields(HWND window, LedgerRecord* row) {
  char text[kFieldSize];
  ReadField(window, IDC_CHECKNUM, text);
  row->mCheckNum = TextToInt(text);

  ReadField(window, IDC_DATE, text);
  if (text[0] == '\0') {
    ShowError(window, "Please enter the Date.", kDataEntry);
    return 0;
  }
  row->SetDate(text);

  ReadField(window, IDC_PAYEE, text);
  if (text[0] == '\0') {
    ShowError(window, "Enter or Select a Payee from the list", kDataEntry);
    return 0;
  }
  row->SetPayee(text);

  ReadField(window, IDC_CREDIT, text);
  float credit = TextToReal(text);
  ReadField(window, IDC_DEBIT, text);
  float debit = TextToReal(text);
  if (debit == 0 && credit == 0) {
    ShowError(window, "Please enter Debit or credit ammount", kDataEntry);
    return 0;
  }
  if (debit != 0 && credit != 0) {
    ShowError(window, "Enter either debit or credit ammount, not both", kDataEntry);
    return 0;
  }
  // The row holds what its statement writes: whole cents, half away from zero.
  if (!Acceptable(debit, row->mDebit) || !Acceptable(credit, row->mCredit)) {
    ShowError(window, kAmountBeyondCents, kDataEntry);
    return 0;
  }
  StoreCents(row->mDebit, debit);
  StoreCents(row->mCredit, credit);
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
  RefreshList();
  SelectLine(window, index);
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
  SelectLine(window, index - 1);
  FocusCheckNumber(window);
}
