// Dialogs and controls through the Win32 calls the program makes.
#include "tests/platform/DialogFixture.h"

#include <locale.h>

#include <cstdlib>

#include "platform/dialog/window.h"

namespace {

class DialogTest : public DialogFixture {};


DWORD SelStart(HWND edit) {
  DWORD start = 0, end = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return start;
}

DWORD SelEnd(HWND edit) {
  DWORD start = 0, end = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return end;
}

LRESULT Add(HWND control, UINT message, const char* text) {
  return SendMessageA(control, message, 0, reinterpret_cast<LPARAM>(text));
}

TEST_F(DialogTest, MissingTemplateGivesMinusOneWithoutCallingTheProcedure) {
  bool called = false;
  handler = [&](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return called = true; };
  EXPECT_EQ(Run(999), -1);
  EXPECT_EQ(DialogBoxParamA(nullptr, "no such dialog", nullptr, Proc, 0), -1);
  EXPECT_FALSE(called);
}

TEST_F(DialogTest, InitDialogOffersTheFirstTabStopAndFocusesItWhenTrue) {
  int offered = 0;
  LPARAM param = 0;
  handler = [&](HWND d, UINT m, WPARAM w, LPARAM l) -> INT_PTR {
    if (m != WM_INITDIALOG) return FALSE;
    offered = GetDlgCtrlID(reinterpret_cast<HWND>(w));
    param = l;
    SetDlgItemTextA(d, IDC_ACCOUNTNAME, "Savings");
    return TRUE;
  };
  During(ui, [&](HWND d) {
    EXPECT_EQ(ui.Focused(), IDC_ACCOUNTNAME);
    EXPECT_EQ(SelStart(GetDlgItem(d, IDC_ACCOUNTNAME)), 0u);
    EXPECT_EQ(SelEnd(GetDlgItem(d, IDC_ACCOUNTNAME)), 7u);
  });
  EXPECT_EQ(Run(IDD_ACCOUNT, nullptr, 77), 0);
  EXPECT_EQ(offered, IDC_ACCOUNTNAME);
  EXPECT_EQ(param, 77);
}

TEST_F(DialogTest, FocusAfterInitDialogIsCheckedAgainAndFalseSetsNone) {
  handler = [&](HWND d, UINT m, WPARAM, LPARAM) -> INT_PTR {
    if (m != WM_INITDIALOG) return FALSE;
    EnableWindow(GetDlgItem(d, IDC_CHECKNUM), FALSE);
    return TRUE;
  };
  During(ui, [&](HWND) { EXPECT_EQ(ui.Focused(), IDC_DATE); });
  Run(IDD_REGISTER);

  handler = [&](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
  During(ui, [&](HWND) { EXPECT_EQ(ui.Focused(), 0); });
  Run(IDD_REGISTER);
}

TEST_F(DialogTest, EndDialogDuringInitSkipsTheLoop) {
  handler = [&](HWND d, UINT m, WPARAM, LPARAM) -> INT_PTR {
    if (m == WM_INITDIALOG) EndDialog(d, 42);
    return TRUE;
  };
  bool stepRan = false;
  ui.Then([&] { stepRan = true; });
  EXPECT_EQ(Run(IDD_ACCOUNT), 42);
  EXPECT_FALSE(stepRan);
}

TEST_F(DialogTest, WindowTextsAreCutToTheBuffer) {
  During(ui, [&](HWND d) {
    HWND date = GetDlgItem(d, IDC_DATE);
    commands.clear();
    ASSERT_TRUE(SetWindowTextA(date, "Hello world"));
    EXPECT_EQ(CommandsFor(IDC_DATE), (std::vector<CommandRecord>{{d, IDC_DATE, EN_CHANGE, date}}));
    char buffer[5] = "xxxx";
    EXPECT_EQ(GetWindowTextA(date, buffer, 5), 4);
    EXPECT_STREQ(buffer, "Hell");
    EXPECT_EQ(SendMessageA(date, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(GetWindowTextLengthA(date), 11);
    EXPECT_EQ(GetDlgItemTextA(d, IDC_DATE, buffer, 3), 2u);
    EXPECT_STREQ(buffer, "He");
    EXPECT_EQ(GetDlgItemTextA(d, 4242, buffer, 3), 0u);
    EXPECT_STREQ(buffer, "");

    char caption[64];
    GetWindowTextA(d, caption, sizeof caption);
    EXPECT_STREQ(caption, "Qarvo's Checkbook v1.01");
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "0");

    commands.clear();
    SetDlgItemTextA(d, IDC_PAYEE, "Corner Grocery");
    EXPECT_EQ(ui.Text(IDC_PAYEE), "Corner Grocery");
    EXPECT_TRUE(commands.empty());
  });
  Run(IDD_REGISTER);
}

TEST_F(DialogTest, ListSelectionByTheProgramIsSilentAndByAPersonNotifies) {
  ui.Then([&] {
    HWND list = GetDlgItem(ui.Active(), IDC_REGISTER);
    EXPECT_EQ(Add(list, LB_ADDSTRING, "b"), 0);
    EXPECT_EQ(Add(list, LB_ADDSTRING, "a"), 1);
    EXPECT_EQ(Add(list, LB_ADDSTRING, "c"), 2);
    EXPECT_EQ(ui.Lines(IDC_REGISTER), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
    commands.clear();
    EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 3, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0), LB_ERR);
    EXPECT_EQ(ui.Selection(IDC_REGISTER), -1);

    char line[8];
    EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(line)), 1);
    EXPECT_STREQ(line, "c");
    EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, 5, 0), LB_ERR);
  });
  ui.Then([&] {
    ui.SelectLine(IDC_REGISTER, 2);
    HWND list = GetDlgItem(ui.Active(), IDC_REGISTER);
    EXPECT_EQ(CommandsFor(IDC_REGISTER), (std::vector<CommandRecord>{{ui.Active(), IDC_REGISTER, LBN_SELCHANGE, list}}));
    EXPECT_EQ(ui.Selection(IDC_REGISTER), 2);
    ui.SelectLine(IDC_REGISTER, 2);  // the same line again still tells
    EXPECT_EQ(CommandsFor(IDC_REGISTER).size(), 2u);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
  });
  Run(IDD_REGISTER);
}

TEST_F(DialogTest, ListTabStopsExpandLines) {
  During(ui, [&](HWND d) {
    int stops[] = {44, 94, 274, 338, 406};
    EXPECT_TRUE(SendDlgItemMessageA(d, IDC_REGISTER, LB_SETTABSTOPS, 5, reinterpret_cast<LPARAM>(stops)));
    const layer::Window& list = *layer::FromHandle(GetDlgItem(d, IDC_REGISTER));
    std::string line = layer::ExpandTabs(list, "101\t01/15/2003\tCorner Grocery\t\t45.20\tC");
    EXPECT_EQ(line.find("01/15"), 11u);
    EXPECT_EQ(line.find("Corner"), 23u);
    EXPECT_EQ(line.find("45.20"), 84u);
    EXPECT_EQ(line.find('C', 90), 101u);

    int interval = 20;
    SendDlgItemMessageA(d, IDC_REGISTER, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&interval));
    EXPECT_EQ(layer::ExpandTabs(list, "ab\tc\td"), "ab   c    d");
    SendDlgItemMessageA(d, IDC_REGISTER, LB_SETTABSTOPS, 0, 0);
    EXPECT_EQ(layer::ExpandTabs(list, "\tx"), "        x");
  });
  Run(IDD_REGISTER);
}

TEST_F(DialogTest, SortedComboKeepsCaseInsensitiveOrderAndExactSearchWraps) {
  During(ui, [&](HWND d) {
    HWND combo = GetDlgItem(d, IDC_PAYEE);
    EXPECT_EQ(Add(combo, CB_ADDSTRING, "beta"), 0);
    EXPECT_EQ(Add(combo, CB_ADDSTRING, "Alpha"), 0);
    EXPECT_EQ(Add(combo, CB_ADDSTRING, "gamma"), 2);
    EXPECT_EQ(Add(combo, CB_ADDSTRING, "BETA2"), 2);
    EXPECT_EQ(ui.Lines(IDC_PAYEE), (std::vector<std::string>{"Alpha", "beta", "BETA2", "gamma"}));

    auto exact = [&](int start, const char* text) {
      return SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(text));
    };
    EXPECT_EQ(exact(-1, "ALPHA"), 0);
    EXPECT_EQ(exact(0, "alpha"), 0);  // from 1 on, wrapping round to 0
    EXPECT_EQ(exact(1, "Beta"), 1);
    EXPECT_EQ(exact(0, "gamma"), 3);
    EXPECT_EQ(exact(0, "bet"), CB_ERR);
    Add(combo, CB_ADDSTRING, "alpha");
    EXPECT_EQ(exact(0, "ALPHA"), 1);
    EXPECT_EQ(exact(1, "ALPHA"), 0);
    EXPECT_EQ(SendMessageA(combo, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("BE")), 2);
  });
  Run(IDD_REGISTER);
}

// Windows sorts a sorted box by the user's locale, case ignored; bytes would
// put "électricité" after "Zeta". Where the locale has no collation of its
// own, accented Latin letters still sort with their base letter.
TEST_F(DialogTest, SortedComboOrdersByUserCollationAndFindsExactTextWhateverItsCase) {
  struct Case {
    const char* collation;
  } cases[] = {{"en_US.UTF-8"}, {"C.UTF-8"}, {"C"}};
  const char* saved = std::getenv("LC_ALL");
  std::string before = saved ? saved : "";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.collation);
    if (locale_t l = newlocale(LC_COLLATE_MASK, c.collation, nullptr)) {
      freelocale(l);
    } else {
      ADD_FAILURE() << c.collation << " is not installed: scripts/setup.sh generates it";
      continue;
    }
    setenv("LC_ALL", c.collation, 1);
    During(ui, [&](HWND d) {
      HWND combo = GetDlgItem(d, IDC_PAYEE);
      for (const char* payee : {"Zeta", "\xc3\xa9lectricit\xc3\xa9", "Banana", "apple"}) Add(combo, CB_ADDSTRING, payee);
      EXPECT_EQ(ui.Lines(IDC_PAYEE),
                (std::vector<std::string>{"apple", "Banana", "\xc3\xa9lectricit\xc3\xa9", "Zeta"}));
      auto exact = [&](const char* text) {
        return SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
      };
      EXPECT_EQ(exact("\xc3\x89LECTRICIT\xc3\x89"), 2);  // upper-case accented letters
      EXPECT_EQ(exact("BANANA"), 1);
      EXPECT_EQ(exact("electricite"), CB_ERR);  // accents are not case
      EXPECT_EQ(exact("\xc3\xa9lectricit"), CB_ERR);
    });
    Run(IDD_REGISTER);
  }
  if (saved) setenv("LC_ALL", before.c_str(), 1);
  else unsetenv("LC_ALL");
}

TEST_F(DialogTest, ComboEditPartTakesTextsAndChoices) {
  ui.Then([&] {
    HWND combo = GetDlgItem(ui.Active(), IDC_PAYEE);
    Add(combo, CB_ADDSTRING, "Rent");
    Add(combo, CB_ADDSTRING, "Grocer");
    commands.clear();
    EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(ui.Text(IDC_PAYEE), "Rent");
    EXPECT_TRUE(commands.empty());
    ui.PickItem(IDC_PAYEE, 0);
    EXPECT_EQ(ui.Text(IDC_PAYEE), "Grocer");
    EXPECT_EQ(ui.Selection(IDC_PAYEE), 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
    ASSERT_FALSE(CommandsFor(IDC_PAYEE).empty());
    EXPECT_EQ(CommandsFor(IDC_PAYEE).back().code, CBN_SELCHANGE);
    commands.clear();
    ui.Type(IDC_PAYEE, "Ba");
    EXPECT_EQ(ui.Text(IDC_PAYEE), "Ba");
    EXPECT_EQ(CommandsFor(IDC_PAYEE).size(), 2u);
    EXPECT_EQ(CommandsFor(IDC_PAYEE).back().code, CBN_EDITCHANGE);
    EndDialog(ui.Active(), 0);
  });
  Run(IDD_REGISTER);
}

TEST_F(DialogTest, MenuCheckMarksByCommandAndPosition) {
  During(ui, [&](HWND d) {
    HMENU menu = GetMenu(d);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_EQ(GetSubMenu(menu, 2), nullptr);
    HMENU setup = GetSubMenu(menu, 1);
    EXPECT_EQ(GetMenuItemCount(setup), 3);
    EXPECT_EQ(GetMenuItemID(setup, 0), static_cast<UINT>(ID_SETUP_ACCOUNTDETAILS));
    EXPECT_EQ(GetMenuItemID(setup, 1), 0u);
    EXPECT_EQ(GetMenuItemID(menu, 0), static_cast<UINT>(-1));

    EXPECT_EQ(CheckMenuItem(menu, ID_SETUP_HIDERECONCILED, MF_BYCOMMAND | MF_CHECKED), 0u);
    EXPECT_EQ(CheckMenuItem(menu, ID_SETUP_HIDERECONCILED, MF_BYCOMMAND | MF_CHECKED), 8u);
    EXPECT_TRUE(ui.MenuChecked(ID_SETUP_HIDERECONCILED));
    EXPECT_TRUE(GetMenuState(setup, ID_SETUP_HIDERECONCILED, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(CheckMenuItem(setup, 2, MF_BYPOSITION | MF_UNCHECKED), 8u);
    EXPECT_FALSE(ui.MenuChecked(ID_SETUP_HIDERECONCILED));
    EXPECT_EQ(CheckMenuItem(menu, 4242, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(-1));
    EXPECT_EQ(CheckMenuItem(setup, 3, MF_BYPOSITION | MF_CHECKED), static_cast<DWORD>(-1));
    EXPECT_EQ(GetMenuState(menu, 0, MF_BYPOSITION), (8u << 8) | MF_POPUP);
  });
  Run(IDD_REGISTER);
  During(ui, [&](HWND d) { EXPECT_EQ(GetMenu(d), nullptr); });
  Run(IDD_ACCOUNT);
}

TEST_F(DialogTest, EnableAndShowTellThePreviousStateAndDisablingMovesTheFocusOn) {
  During(ui, [&](HWND d) {
    HWND checknum = GetDlgItem(d, IDC_CHECKNUM), date = GetDlgItem(d, IDC_DATE);
    HWND payee = GetDlgItem(d, IDC_PAYEE), postpone = GetDlgItem(d, IDC_POSTPONE);
    ASSERT_EQ(GetFocus(), checknum);
    EXPECT_EQ(EnableWindow(date, FALSE), FALSE);
    EXPECT_NE(EnableWindow(date, FALSE), FALSE);
    EXPECT_FALSE(IsWindowEnabled(date));
    EnableWindow(checknum, FALSE);
    EXPECT_EQ(GetFocus(), payee);
    EXPECT_NE(EnableWindow(checknum, TRUE), FALSE);
    EXPECT_EQ(GetFocus(), payee);

    EXPECT_EQ(ShowWindow(postpone, SW_SHOW), FALSE);
    EXPECT_TRUE(IsWindowVisible(postpone));
    EXPECT_EQ(GetFocus(), payee);
    EXPECT_NE(ShowWindow(postpone, SW_HIDE), FALSE);
    EXPECT_FALSE(ui.Visible(IDC_POSTPONE));
    ShowWindow(payee, SW_HIDE);
    EXPECT_EQ(ui.Focused(), IDC_PAYEE);  // hiding leaves the focus where it is
    EXPECT_EQ(SetFocus(date), nullptr);  // disabled: refused
    EXPECT_EQ(ui.Focused(), IDC_PAYEE);
    EXPECT_EQ(SetFocus(checknum), payee);
    EXPECT_EQ(GetFocus(), checknum);
  });
  Run(IDD_REGISTER);
}

TEST_F(DialogTest, HandlesOfEndedDialogsAreRefused) {
  HWND dialog = nullptr, item = nullptr;
  During(ui, [&](HWND d) {
    dialog = d;
    item = GetDlgItem(d, IDC_NOTE);
    EXPECT_TRUE(IsWindow(item));
    EXPECT_EQ(GetParent(item), d);
    EXPECT_EQ(GetDlgCtrlID(item), IDC_NOTE);
  });
  Run(IDD_ACCOUNT);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_FALSE(IsWindow(item));
  EXPECT_EQ(SendMessageA(item, WM_GETTEXTLENGTH, 0, 0), 0);
  EXPECT_EQ(GetDlgItem(dialog, IDC_NOTE), nullptr);
  EXPECT_FALSE(EndDialog(dialog, 1));
}

TEST_F(DialogTest, IconsComeFromTheScript) {
  HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(IDI_CHECKBOOK));
  EXPECT_NE(icon, nullptr);
  EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(IDI_CHECKBOOK)), icon);
  EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(IDD_REGISTER)), nullptr);
  During(ui, [&](HWND d) {
    EXPECT_EQ(SendMessageA(d, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon)), 0);
    EXPECT_EQ(SendMessageA(d, WM_SETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(icon));
  });
  Run(IDD_ACCOUNT);
}

}  // namespace
