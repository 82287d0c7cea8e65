#include "ui/StatementCommands.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/AppState.h"
#include "io/Fields.h"
#include "io/LedgerTransfer.h"
#include "io/StatementImport.h"
#include "resources/resource.h"
#include "storage/Money.h"
#include "ui/RegisterList.h"

namespace {

namespace fs = std::filesystem;

constexpr char kImportCaption[] = "Import Statement";
constexpr char kExportCaption[] = "Export";
constexpr char kStatementFilter[] = "Bank statements\0*.ofx;*.qfx;*.qif;*.csv\0All files\0*.*\0";
constexpr char kExportFilter[] = "CSV (comma separated)\0*.csv\0QIF\0*.qif\0";
// How the register writes dates, as checkbook-io writes them by default.
constexpr char kDatePattern[] = "%m/%d/%Y";

std::string Money(int64_t cents) {
  char text[kCentsArea + 1];
  *WriteCents(text, cents) = '\0';
  return std::string("$ ") + text;
}

std::string FileName(const std::string& path) {
  return fs::path(std::u8string(reinterpret_cast<const char8_t*>(path.c_str()))).filename().string();
}

// The common dialogs may leave the process in the chosen folder; the
// program finds Ledger.dat, its backups and its settings in its own.
class KeepCurrentFolder {
 public:
  KeepCurrentFolder() {
    char folder[MAX_PATH * 4] = {};
    DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    if (length > 0 && length < sizeof folder) folder_ = folder;
  }
  ~KeepCurrentFolder() {
    if (!folder_.empty()) SetCurrentDirectoryA(folder_.c_str());
  }
  const std::string& Folder() const { return folder_; }

 private:
  std::string folder_;
};

// The chosen file's path, or empty when the person cancelled.
std::string ChooseFile(HWND window, bool save, const char* filter, const char* defaultExtension, DWORD* filterIndex) {
  KeepCurrentFolder keep;
  char file[MAX_PATH * 4] = {};
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = window;
  ofn.lpstrFilter = filter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = keep.Folder().empty() ? nullptr : keep.Folder().c_str();
  ofn.lpstrDefExt = defaultExtension;
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
              (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  BOOL chosen = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!chosen) {
    if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL)
      MessageBoxA(window, "The file's path is too long.", save ? kExportCaption : kImportCaption, MB_OK | MB_ICONERROR);
    return {};
  }
  if (filterIndex) *filterIndex = ofn.nFilterIndex;
  return file;
}

void Refuse(HWND window, const std::string& text) {
  MessageBoxA(window, text.c_str(), kImportCaption, MB_OK | MB_ICONERROR);
}

// What checkbook-io would say of a refused file, with the options that only
// it has where they would help.
std::string Refusal(const std::string& path, int line, const std::string& cause, FileFormat format) {
  // Appended piece by piece: GCC 12 for Windows warns falsely on one long sum.
  std::string text = FileName(path);
  if (line > 0) text.append(":").append(std::to_string(line));
  text.append(": ").append(cause).append("\n\nNothing was changed.");
  if (cause.find("--") != std::string::npos)
    text += "\nThe options named are checkbook-io's: run checkbook-io import FILE with them in the data folder.";
  else if (format == FileFormat::Csv && (cause.find("column") != std::string::npos || cause.find("date") != std::string::npos))
    text += "\nFor this file, checkbook-io import can name the columns (--columns) and how it writes dates "
            "(--input-date-format).";
  return text;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  char block[65536];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.append(block, got);
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  return !failed;
}

// The account's balance counting only the rows the bank has booked: the
// balance after the plan less every row of the register that is still plain
// or marked. Counted from the balance, it stays right after Remove Reconciled.
int64_t BookedBalance(LedgerRecord* rows, const ImportPlan& plan, int64_t balanceAfter) {
  std::vector<int32_t> clearing;
  for (const PlannedMatch& match : plan.matches)
    if (match.clears) clearing.push_back(match.transID);
  int64_t open = 0;
  for (TableRecord* found = rows->FirstRow(); found; found = found->nextRow) {
    auto* row = static_cast<LedgerRecord*>(found);
    if (row->mStatus == StatusCleared || row->mStatus == StatusReconciled) continue;
    if (std::find(clearing.begin(), clearing.end(), row->mTransID) != clearing.end()) continue;
    open = ChangeAfterRow(open, row->mDebit, row->mCredit);
  }
  // The statement's own rows are booked by the bank, whatever status they are added with.
  return AddCents(balanceAfter, -open);
}

std::string Preview(const std::string& path, const ReadResult& read, const ImportPlan& plan, int64_t balanceAfter,
                    const std::optional<int64_t>& closing, int64_t booked) {
  std::string text = "Import " + FileName(path) + "?\n\n";
  text += "To add: " + std::to_string(plan.add.size()) + "\n";
  text += "Matched: " + std::to_string(plan.matches.size()) + " (" + std::to_string(plan.cleared) + " newly cleared)\n";
  text += "Skipped: " + std::to_string(plan.duplicates) + " as duplicates";
  if (read.withoutAmount > 0) text += ", " + std::to_string(read.withoutAmount) + " without an amount";
  text += "\nBalance after: " + Money(balanceAfter) + "\n";
  if (closing) {
    text += "\nStatement's closing balance: " + Money(*closing) + "\n";
    text += "Register's cleared and reconciled balance: " + Money(booked) + "\n";
    text += "Difference: " + Money(AddCents(*closing, -booked)) + "\n";
  }
  if (!read.warning.empty()) text += "\nNote: " + read.warning + "\n";
  return text;
}

// Brings the first row the import added or matched into view.
void ShowImportedRows(HWND window, int32_t lastIdBefore, const ImportPlan& plan) {
  int index = 0, first = -1;
  for (TableRecord* found = appState.ledger->FirstRow(); found; found = found->nextRow, ++index) {
    auto* row = static_cast<LedgerRecord*>(found);
    bool touched = row->mTransID > lastIdBefore;
    for (const PlannedMatch& match : plan.matches) touched = touched || match.transID == row->mTransID;
    if (touched) {
      first = index;
      break;
    }
  }
  if (first >= 0) SendMessageA(GetDlgItem(window, IDC_REGISTER), LB_SETTOPINDEX, static_cast<WPARAM>(first), 0);
}

// A name ending .qif or .csv says what it holds whatever type was left
// chosen; any other name goes by the type.
bool AsQif(const std::string& path, DWORD type) {
  std::string extension = fs::path(path).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == ".qif") return true;
  if (extension == ".csv") return false;
  return type == 2;
}

// The accounts a person chooses among, and the one chosen.
struct AccountChoice {
  const ReadResult* read = nullptr;
  std::vector<size_t> offered;
};

INT_PTR CALLBACK ChooseAccountProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      const auto* choice = reinterpret_cast<const AccountChoice*>(lParam);
      for (size_t index : choice->offered) {
        std::string text = AccountText(choice->read->accounts[index]);
        SendDlgItemMessageA(dialog, IDC_ACCOUNTLIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
      }
      SendDlgItemMessageA(dialog, IDC_ACCOUNTLIST, LB_SETCURSEL, 0, 0);
      return TRUE;
    }
    case WM_COMMAND: {
      // The dialog's result: the chosen line plus one, 0 for Cancel.
      bool chosen = LOWORD(wParam) == IDOK || (LOWORD(wParam) == IDC_ACCOUNTLIST && HIWORD(wParam) == LBN_DBLCLK);
      if (chosen) {
        LRESULT line = SendDlgItemMessageA(dialog, IDC_ACCOUNTLIST, LB_GETCURSEL, 0, 0);
        if (line != LB_ERR) EndDialog(dialog, line + 1);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      return FALSE;
    }
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

// The account to import: asked when the file holds several with
// transactions. False when the person cancelled.
bool ChooseAccount(HWND window, const ReadResult& read, size_t& chosen) {
  AccountChoice choice{&read, AccountsWithRows(read)};
  if (choice.offered.size() <= 1) {
    chosen = OnlyAccount(read);
    return true;
  }
  INT_PTR line = DialogBoxParamA(appState.instance, MAKEINTRESOURCEA(IDD_CHOOSEACCOUNT), window, ChooseAccountProc,
                                 reinterpret_cast<LPARAM>(&choice));
  if (line < 1 || static_cast<size_t>(line) > choice.offered.size()) return false;
  chosen = choice.offered[static_cast<size_t>(line) - 1];
  return true;
}

}  // namespace

void ImportStatement(HWND window) {
  std::string path = ChooseFile(window, false, kStatementFilter, nullptr, nullptr);
  if (!path.empty()) ImportStatementFile(window, path);
}

void ImportStatementFile(HWND window, const std::string& path) {
  AccountRecord* account = static_cast<AccountRecord*>(appState.accounts->FirstRow());
  if (!account) {
    Refuse(window, FileName(path) + ": the register has no account yet; set it up first.\n\nNothing was changed.");
    return;
  }
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) {
    Refuse(window, path + ": the file cannot be read.\n\nNothing was changed.");
    return;
  }
  StatementRead statement = ReadStatement(bytes);
  if (statement.read.Failed()) {
    Refuse(window, Refusal(path, statement.read.errorLine, statement.read.error, statement.format));
    return;
  }
  size_t chosen = SIZE_MAX;
  if (!ChooseAccount(window, statement.read, chosen)) return;
  if (std::string refusal = AccountRefusal(statement.read, chosen); !refusal.empty()) {
    Refuse(window, Refusal(path, 0, refusal, statement.format));
    return;
  }
  LedgerFile ledger;
  ledger.Borrow(appState.engine, account);
  ImportPlan plan = PlanImport(ledger, AccountRows(statement.read, chosen), kDatePattern);
  if (!plan.error.empty()) {
    Refuse(window, Refusal(path, plan.errorLine, plan.error, statement.format));
    return;
  }
  const int64_t change = ImportChange(plan);
  if (std::string problem = BalanceProblem(account->mAccBalance, change); !problem.empty()) {
    Refuse(window, Refusal(path, 0, problem, statement.format));
    return;
  }
  const int64_t balanceAfter = AddCents(ToCents(account->mAccBalance), change);
  int32_t lastId = 0;
  SelectAccountRows(ledger.Ledger(), account->mAccID);
  for (TableRecord* found = ledger.Ledger()->FirstRow(); found; found = found->nextRow)
    lastId = std::max(lastId, static_cast<LedgerRecord*>(found)->mTransID);
  const int64_t booked = BookedBalance(ledger.Ledger(), plan, balanceAfter);
  std::string preview = Preview(path, statement.read, plan, balanceAfter, StatedClosing(statement, chosen), booked);
  if (MessageBoxA(window, preview.c_str(), kImportCaption, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
  std::string problem = ApplyImport(ledger, plan, {});
  RefreshList();
  if (!problem.empty()) {
    Refuse(window, FileName(path) + ": " + problem);
    return;
  }
  ShowImportedRows(window, lastId, plan);
}

void ImportDroppedFiles(HWND window, HDROP drop) {
  std::string path(DragQueryFileA(drop, 0, nullptr, 0), '\0');
  if (!path.empty()) DragQueryFileA(drop, 0, path.data(), static_cast<UINT>(path.size() + 1));
  DragFinish(drop);
  if (!path.empty()) ImportStatementFile(window, path);
}

void ExportStatement(HWND window) {
  AccountRecord* account = static_cast<AccountRecord*>(appState.accounts->FirstRow());
  if (!account) return;
  DWORD type = 1;
  std::string path = ChooseFile(window, true, kExportFilter, "csv", &type);
  if (path.empty()) return;
  std::error_code error;
  if (fs::equivalent(path, "Ledger.dat", error)) {
    MessageBoxA(window, "The export will not write over Ledger.dat.", kExportCaption, MB_OK | MB_ICONERROR);
    return;
  }
  LedgerFile ledger;
  ledger.Borrow(appState.engine, account);
  std::vector<ExportRow> rows = RowsForExport(ledger, kDatePattern);
  bool made = !fs::exists(path, error);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  bool written = file != nullptr;
  if (file) {
    // A new file holds what the ledger holds: its owner's alone.
    if (made) fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace, error);
    written = AsQif(path, type) ? WriteQif(file, rows) : WriteCsv(file, rows);
    if (std::fclose(file) != 0) written = false;
  }
  if (!written) {
    std::string text = FileName(path) + ": the file cannot be written.";
    MessageBoxA(window, text.c_str(), kExportCaption, MB_OK | MB_ICONERROR);
  }
}
