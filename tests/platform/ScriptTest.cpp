// The script front end driving a small account form.
#include "tests/platform/DialogFixture.h"

#include <sstream>

#include "platform/script/script.h"

namespace {

// OK asks before it stores; an empty name is refused with a message.
INT_PTR CALLBACK AccountForm(HWND d, UINT m, WPARAM w, LPARAM) {
  if (m == WM_INITDIALOG) return TRUE;
  if (m != WM_COMMAND) return FALSE;
  if (LOWORD(w) == IDCANCEL) EndDialog(d, 0);
  if (LOWORD(w) != IDOK) return TRUE;
  if (GetWindowTextLengthA(GetDlgItem(d, IDC_ACCOUNTNAME)) == 0) {
    MessageBoxA(d, "Enter a name.", "Account", MB_OK | MB_ICONERROR);
  } else if (MessageBoxA(d, "Store it?", "Account", MB_YESNO | MB_ICONQUESTION) == IDYES) {
    EndDialog(d, 1);
  }
  return TRUE;
}

std::string RunScript(const std::string& script, int& result) {
  std::istringstream in(script);
  std::ostringstream out;
  result = RunWithScriptFrontEnd(in, out, [] {
    return static_cast<int>(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_ACCOUNT), nullptr, AccountForm, 0));
  });
  return out.str();
}

TEST(ScriptFrontEnd, RunsActionsPrintsStateAndAnswersMessageBoxes) {
  int result = -1;
  std::string out = RunScript(R"(# an empty name is refused first
click 1

type 1013 Savings "main"
type 1015 "two\nlines"
print
answer no
click 1
enter
answer yes
)",
                              result);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(out,
            "messagebox caption \"Account\" style 0x10 text \"Enter a name.\"\n"
            "answer 1\n"
            "dialog 105 \"Account Information\"\n"
            "  control 1013 Edit \"Savings \\\"main\\\"\" enabled visible\n"
            "  control 1014 Edit \"\" enabled visible\n"
            "  control 1015 Edit \"two\\r\\nlines\" enabled visible focused\n"
            "  control 1 Button \"OK\" enabled visible\n"
            "  control 2 Button \"Cancel\" enabled visible\n"
            "  control -1 Static \"Account Name\" enabled visible\n"
            "  control -1 Static \"Initial Balance\" enabled visible\n"
            "  control -1 Static \"Note\" enabled visible\n"
            "end\n"
            "messagebox caption \"Account\" style 0x24 text \"Store it?\"\n"
            "answer 7\n"
            "messagebox caption \"Account\" style 0x24 text \"Store it?\"\n"
            "answer 6\n");
}

TEST(ScriptFrontEnd, EndOfInputClosesTheDialogAsItsCloseBox) {
  int result = -1;
  EXPECT_EQ(RunScript("type 1013 x\n", result), "");
  EXPECT_EQ(result, 0);
}

TEST(ScriptFrontEnd, ReportsLinesItCannotRun) {
  int result = -1;
  std::string out = RunScript("click 4242\nfrobnicate 1\ntype 1013 \"open\nescape\nprint\n", result);
  EXPECT_EQ(out,
            "error: line 1: no control 4242 in \"Account Information\"\n"
            "error: line 2: cannot read \"frobnicate 1\"\n"
            "error: line 3: unterminated text\n"
            "error: line 5: the program ended before this line\n");
  EXPECT_EQ(result, 0);
}

TEST(ScriptFrontEnd, ListsAndMenusOfTheRegisterWindow) {
  std::istringstream in("select 1001 1\nmenu 40003\nprint\nmenu 40002\n");
  std::ostringstream out;
  std::vector<int> selections;
  static std::vector<int>* seen;
  seen = &selections;
  RunWithScriptFrontEnd(in, out, [] {
    return static_cast<int>(DialogBoxParamA(
        nullptr, MAKEINTRESOURCEA(IDD_REGISTER), nullptr,
        [](HWND d, UINT m, WPARAM w, LPARAM) -> INT_PTR {
          if (m == WM_INITDIALOG) {
            for (const char* line : {"a\tb", "c"})
              SendDlgItemMessageA(d, IDC_REGISTER, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
            return TRUE;
          }
          if (m != WM_COMMAND) return FALSE;
          if (LOWORD(w) == IDC_REGISTER && HIWORD(w) == LBN_SELCHANGE)
            seen->push_back(static_cast<int>(SendDlgItemMessageA(d, IDC_REGISTER, LB_GETCURSEL, 0, 0)));
          if (LOWORD(w) == ID_SETUP_HIDERECONCILED)
            CheckMenuItem(GetMenu(d), ID_SETUP_HIDERECONCILED, MF_BYCOMMAND | MF_CHECKED);
          if (LOWORD(w) == ID_RECORD_EXIT) EndDialog(d, 0);
          return TRUE;
        },
        0));
  });
  EXPECT_EQ(selections, std::vector<int>{1});
  std::string text = out.str();
  EXPECT_NE(text.find("  control 1001 ListBox \"\" enabled visible focused selection 1 lines 2\n"
                      "    line 0 \"a\\tb\"\n"
                      "    line 1 \"c\"\n"),
            std::string::npos);
  EXPECT_NE(text.find("  control 1012 Button \"&Postpone\" enabled hidden\n"), std::string::npos);
  EXPECT_NE(text.find("  popup \"&Setup\"\n"
                      "    item 40001 \"&Account Details...\" unchecked\n"
                      "    item 40003 \"&Hide Reconciled..\" checked\n"),
            std::string::npos);
  EXPECT_EQ(text.find("error"), std::string::npos) << text;
}

}  // namespace
