// Keys and clicks as the dialog manager takes them from a person.
#include "tests/platform/DialogFixture.h"

#include <functional>

#include "platform/dialog/input.h"
#include "platform/dialog/window.h"

namespace {

class InputTest : public DialogFixture {};

using layer::Key;

layer::Window* Model(HWND d) { return layer::FromHandle(d); }


TEST_F(InputTest, TabFollowsTemplateOrderWrapsAndSkipsHiddenAndDisabled) {
  During(ui, [&](HWND d) {
    EnableWindow(GetDlgItem(d, IDC_EDIT), FALSE);
    std::vector<int> order;
    for (int i = 0; i < 10; ++i) {
      ui.Tab();
      order.push_back(ui.Focused());
    }
    EXPECT_EQ(order, (std::vector<int>{IDC_DATE, IDC_PAYEE, IDC_CREDIT, IDC_DEBIT, IDC_BALANCE, IDC_NEW, IDC_DELETE,
                                       IDC_REGISTER, IDC_CHECKNUM, IDC_DATE}));
    ui.Tab(true);
    ui.Tab(true);
    EXPECT_EQ(ui.Focused(), IDC_REGISTER);
  });
  Run(IDD_REGISTER);
}

TEST_F(InputTest, EnteringAnEditByTabSelectsItsTextAndTypingReplacesIt) {
  During(ui, [&](HWND d) {
    SetDlgItemTextA(d, IDC_INITIALBALANCE, "100.00");
    commands.clear();
    ui.Tab();
    layer::TypeChar('5');
    EXPECT_EQ(ui.Text(IDC_INITIALBALANCE), "5");
    EXPECT_EQ(CommandsFor(IDC_INITIALBALANCE).back().code, EN_CHANGE);

    for (char c : std::string("abc")) layer::TypeChar(c);
    layer::PressKey(Key::Home);
    layer::PressKey(Key::Right);
    layer::PressKey(Key::Backspace);
    EXPECT_EQ(ui.Text(IDC_INITIALBALANCE), "abc");  // "5abc" less the 5
    layer::PressKey(Key::Delete);
    EXPECT_EQ(ui.Text(IDC_INITIALBALANCE), "bc");
    layer::PressKey(Key::End);
    layer::PressKey(Key::Left, layer::kShift);
    layer::TypeChar('x');
    EXPECT_EQ(ui.Text(IDC_INITIALBALANCE), "bx");
  });
  Run(IDD_ACCOUNT);
}

TEST_F(InputTest, EveryTabIntoTheComboBoxSelectsItsText) {
  During(ui, [&](HWND d) {
    SendMessageA(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(d, IDC_PAYEE)), TRUE);
    for (const char* payee : {"Aa", "Bb", "Cc"}) {
      for (char c : std::string(payee)) layer::TypeChar(c);
      EXPECT_EQ(ui.Text(IDC_PAYEE), payee);
      ui.Tab();
      ui.Tab(true);
    }
  });
  Run(IDD_REGISTER);
}

TEST_F(InputTest, MultilineNoteTakesLineBreaksWithCtrlEnter) {
  During(ui, [&](HWND) {
    ui.Type(IDC_NOTE, "one\ntwo");
    EXPECT_EQ(ui.Text(IDC_NOTE), "one\r\ntwo");
    layer::PressKey(Key::Up);
    layer::TypeChar('!');
    EXPECT_EQ(ui.Text(IDC_NOTE), "one!\r\ntwo");
    layer::PressKey(Key::Right);
    layer::PressKey(Key::Backspace);  // the line break goes as one
    EXPECT_EQ(ui.Text(IDC_NOTE), "one!two");
    commands.clear();
    ui.Enter();  // without Ctrl it is the default button's
    EXPECT_EQ(CommandsFor(IDOK).size(), 1u);
  });
  Run(IDD_ACCOUNT);
}

TEST_F(InputTest, EnterSendsTheFocusedButtonOrTheDefaultId) {
  During(ui, [&](HWND d) {
    ui.Enter();  // no default push button and no control 1
    SendMessageA(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(d, IDC_EDIT)), TRUE);
    ui.Enter();
    EXPECT_EQ(commands, (std::vector<CommandRecord>{{d, IDOK, BN_CLICKED, nullptr},
                                                    {d, IDC_EDIT, BN_CLICKED, GetDlgItem(d, IDC_EDIT)}}));
  });
  Run(IDD_REGISTER);

  During(ui, [&](HWND d) {
    commands.clear();
    ui.Enter();
    EXPECT_EQ(commands, (std::vector<CommandRecord>{{d, IDOK, BN_CLICKED, GetDlgItem(d, IDOK)}}));
    EnableWindow(GetDlgItem(d, IDOK), FALSE);
    ui.Enter();
    EXPECT_EQ(commands.size(), 1u);
  });
  Run(IDD_ACCOUNT);
}

TEST_F(InputTest, EnterPressesTheFocusedButtonOnlyWhenTheDialogMadeItTheDefault) {
  struct Case {
    const char* how;
    std::function<void(HWND)> reach;
    int focused;
    int shownAsDefault;  // 0: none
    int pressed;
  };
  auto startIsDefault = [](HWND d) { SendMessageA(d, DM_SETDEFID, IDC_START, 0); };
  auto tabs = [&](int n) {
    for (int i = 0; i < n; ++i) ui.Tab();
  };
  const Case cases[] = {
      {"Tab", [&](HWND) { ui.Tab(); }, IDC_START, IDC_START, IDC_START},
      {"an arrow", [&](HWND) { ui.Tab(), layer::PressKey(Key::Right); }, IDC_HIDE, IDC_HIDE, IDC_HIDE},
      {"its letter", [&](HWND) { ui.Alt('g'); }, IDC_GO, 0, IDOK},
      {"SetFocus", [](HWND d) { SetFocus(GetDlgItem(d, IDC_GO)); }, IDC_GO, 0, IDOK},
      {"Tab over the buttons into the list", [&](HWND) { tabs(4); }, IDC_LINES, 0, IDOK},
      {"a default id, then a letter", [&](HWND d) { startIsDefault(d), ui.Alt('g'); }, IDC_GO, IDC_START, IDC_START},
      {"a default id, then Tab onto another", [&](HWND d) { startIsDefault(d), tabs(2); }, IDC_HIDE, IDC_HIDE, IDC_HIDE},
      {"a default id, then Tab on into the list", [&](HWND d) { startIsDefault(d), tabs(4); }, IDC_LINES, IDC_START,
       IDC_START},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    During(ui, [&](HWND d) {
      c.reach(d);
      EXPECT_EQ(ui.Focused(), c.focused);
      int shown = 0;
      for (int id : {IDC_START, IDC_HIDE, IDC_GO})
        if (Model(GetDlgItem(d, id))->DefaultButton()) shown = shown ? -1 : id;
      EXPECT_EQ(shown, c.shownAsDefault);
      commands.clear();
      ui.Enter();
      ASSERT_EQ(commands.size(), 1u);
      EXPECT_EQ(commands[0].id, c.pressed);
    });
    Run(IDD_KEYS);
  }
}

TEST_F(InputTest, HidingTheFocusedButtonKeepsTheFocusThereAndTabGoesOnFromIt) {
  // Hide hides itself when pressed, as a button does that is only there for a while.
  handler = [](HWND d, UINT m, WPARAM w, LPARAM) -> INT_PTR {
    if (m == WM_COMMAND && LOWORD(w) == IDC_HIDE) ShowWindow(GetDlgItem(d, IDC_HIDE), SW_HIDE);
    return m == WM_INITDIALOG || m == WM_COMMAND;
  };
  for (bool back : {false, true}) {
    SCOPED_TRACE(back ? "Shift+Tab" : "Tab");
    During(ui, [&](HWND d) {
      ui.Alt('h');
      EXPECT_FALSE(IsWindowVisible(GetDlgItem(d, IDC_HIDE)));
      EXPECT_EQ(GetFocus(), GetDlgItem(d, IDC_HIDE));
      ui.Tab(back);
      EXPECT_EQ(ui.Focused(), back ? IDC_START : IDC_GO);
    });
    Run(IDD_KEYS);
  }
}

TEST_F(InputTest, EscapeSendsCancelUnlessADisabledCancelButtonIsThere) {
  During(ui, [&](HWND d) {
    ui.Escape();
    EXPECT_EQ(commands, (std::vector<CommandRecord>{{d, IDCANCEL, BN_CLICKED, nullptr}}));
  });
  Run(IDD_REGISTER);

  During(ui, [&](HWND d) {
    commands.clear();
    ui.Escape();
    EXPECT_EQ(CommandsFor(IDCANCEL).size(), 1u);
    EnableWindow(GetDlgItem(d, IDCANCEL), FALSE);
    ui.Escape();
    ui.CloseBox();
    EXPECT_EQ(CommandsFor(IDCANCEL).size(), 1u);
  });
  Run(IDD_ACCOUNT);
}

TEST_F(InputTest, CloseBoxIsCancelOnlyWhenTheProcedureLeavesWmClose) {
  handler = [](HWND d, UINT m, WPARAM w, LPARAM) -> INT_PTR {
    if (m == WM_CLOSE) return EndDialog(d, 7);
    if (m == WM_COMMAND && LOWORD(w) == IDCANCEL) EndDialog(d, 9);
    return m == WM_INITDIALOG || m == WM_COMMAND;
  };
  ui.Then([&] { ui.CloseBox(); });
  EXPECT_EQ(Run(IDD_REGISTER), 7);
  ui.Then([&] { layer::PressKey(Key::F4, layer::kAlt); });
  EXPECT_EQ(Run(IDD_REGISTER), 7);
  EXPECT_TRUE(commands.empty());

  handler = [](HWND d, UINT m, WPARAM w, LPARAM) -> INT_PTR {
    if (m == WM_COMMAND && LOWORD(w) == IDCANCEL) EndDialog(d, 9);
    return m == WM_INITDIALOG || m == WM_COMMAND;
  };
  ui.Then([&] { ui.CloseBox(); });
  EXPECT_EQ(Run(IDD_ACCOUNT), 9);
}

TEST_F(InputTest, MnemonicsClickButtonsMoveFromLabelsAndFallBackToTheMenu) {
  During(ui, [&](HWND d) {
    ui.Alt('n');
    EXPECT_EQ(commands, (std::vector<CommandRecord>{{d, IDC_NEW, BN_CLICKED, GetDlgItem(d, IDC_NEW)}}));
    EXPECT_EQ(ui.Focused(), IDC_NEW);
    layer::TypeChar('D');  // a button takes no characters: the letter is a mnemonic
    EXPECT_EQ(commands.back().id, IDC_DELETE);

    SetDlgItemTextA(d, IDC_BALANCEDAMOUNT, "&Zebra");
    SetDlgItemTextA(d, IDC_CHECKNUM, "17");
    ui.Alt('Z');
    EXPECT_EQ(ui.Focused(), IDC_CHECKNUM);
    EXPECT_EQ(SendDlgItemMessageA(d, IDC_CHECKNUM, EM_GETSEL, 0, 0), MAKELONG(0, 2));

    commands.clear();
    ui.Alt('p');  // Postpone is hidden and no popup has P
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(Model(d)->dialog.menuBar.mode, layer::MenuBarState::Closed);

    ui.Alt('r');  // no control: the Record popup
    EXPECT_EQ(Model(d)->dialog.menuBar.mode, layer::MenuBarState::Popup);
    EXPECT_EQ(Model(d)->dialog.menuBar.popup, 0);
    layer::TypeChar('e');  // Edit and Exit share the letter: only the highlight moves
    EXPECT_EQ(Model(d)->dialog.menuBar.item, 1);
    layer::TypeChar('e');
    EXPECT_EQ(Model(d)->dialog.menuBar.item, 7);
    EXPECT_TRUE(commands.empty());
    ui.Enter();
    EXPECT_EQ(commands, (std::vector<CommandRecord>{{d, ID_RECORD_EXIT, 0, nullptr}}));
    ui.Alt('r');
    layer::TypeChar('p');
    EXPECT_EQ(commands.back().id, ID_RECORD_REPORT);
    EXPECT_EQ(Model(d)->dialog.menuBar.mode, layer::MenuBarState::Closed);
  });
  Run(IDD_REGISTER);
}

TEST_F(InputTest, MenuBarByKeyboard) {
  During(ui, [&](HWND d) {
    layer::PressKey(Key::F10);
    layer::PressKey(Key::Right);
    layer::PressKey(Key::Down);
    EXPECT_EQ(Model(d)->dialog.menuBar.item, 0);
    layer::PressKey(Key::Down);  // over the separator
    EXPECT_EQ(Model(d)->dialog.menuBar.item, 2);
    layer::PressKey(Key::Escape);
    EXPECT_EQ(Model(d)->dialog.menuBar.mode, layer::MenuBarState::Bar);
    layer::PressKey(Key::Escape);
    EXPECT_TRUE(commands.empty());  // Esc went to the menu, not the dialog
    layer::PressKey(Key::Alt);
    layer::PressKey(Key::Enter);
    layer::PressKey(Key::Up);  // wraps to the last item
    layer::PressKey(Key::Enter);
    EXPECT_EQ(commands, (std::vector<CommandRecord>{{d, ID_RECORD_EXIT, 0, nullptr}}));
  });
  Run(IDD_REGISTER);
}

TEST_F(InputTest, ListKeysMoveTheSelectionAndNotify) {
  During(ui, [&](HWND d) {
    HWND list = GetDlgItem(d, IDC_REGISTER);
    for (int i = 0; i < 40; ++i) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("line"));
    ui.Focus(IDC_REGISTER);
    std::vector<int> seen;
    for (Key k : {Key::Down, Key::Down, Key::End, Key::Up, Key::Home, Key::PageDown}) {
      layer::PressKey(k);
      seen.push_back(ui.Selection(IDC_REGISTER));
    }
    int page = layer::VisibleLines(*Model(list)) - 1;
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 39, 38, 0, page}));
    EXPECT_EQ(CommandsFor(IDC_REGISTER).size(), 6u);
    layer::PressKey(Key::End);
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 40 - layer::VisibleLines(*Model(list)));

    layer::Wheel(list, -100);
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 0);
    layer::Wheel(list, 3);
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 3);
  });
  Run(IDD_REGISTER);
}

// A register resized smaller would hide its newest lines, and one resized
// larger would show empty lines below its end.
TEST_F(InputTest, ResizedListKeepsItsLastLineInSightAndNoEmptyLinesBelowIt) {
  struct Case {
    const char* name;
    bool atEnd;   // scrolled to the end before, else `top`
    int top;
    int grow;     // dialog units of height
    int expected; // the top line after, -1: the last line at the bottom
  } cases[] = {{"at the end, smaller", true, 0, -80, -1},
               {"at the end, larger", true, 0, 40, -1},
               {"at the start, smaller", false, 0, -80, 0},
               {"in the middle, larger past the end", false, 20, 120, -1},
               {"in the middle, smaller", false, 10, -40, 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    During(ui, [&](HWND d) {
      HWND list = GetDlgItem(d, IDC_REGISTER);
      for (int i = 0; i < 40; ++i) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("line"));
      layer::Window* model = Model(list);
      SendMessageA(list, LB_SETTOPINDEX, c.atEnd ? 39 : c.top, 0);
      int before = layer::VisibleLines(*model);
      model->rect.cy += c.grow;
      layer::ListResized(list, before);
      int shown = layer::VisibleLines(*model);
      int expected = c.expected >= 0 ? c.expected : std::max(0, 40 - shown);
      EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), expected) << shown << " lines shown";
    });
    Run(IDD_REGISTER);
  }
}

TEST_F(InputTest, FirstKeyInAListWhoseCaretLineIsNotSelectedSelectsThatLine) {
  struct Case {
    Key key;
    int second;  // the selection after the same key again; -1 for the last line, -2 a page down
  };
  const Case cases[] = {{Key::Up, 0},  {Key::Down, 1},   {Key::Home, 0},
                        {Key::End, -1}, {Key::PageUp, 0}, {Key::PageDown, -2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.key));
    During(ui, [&](HWND d) {
      commands.clear();
      HWND list = GetDlgItem(d, IDC_LINES);
      auto fill = [list] {
        for (int i = 0; i < 20; ++i) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("line"));
      };
      fill();
      SendMessageA(list, LB_SETCURSEL, 7, 0);
      SendMessageA(list, LB_RESETCONTENT, 0, 0);  // the caret goes back to the first line
      fill();
      ASSERT_EQ(SendMessageA(list, LB_GETCARETINDEX, 0, 0), 0);
      ui.Focus(IDC_LINES);
      layer::PressKey(c.key);
      EXPECT_EQ(ui.Selection(IDC_LINES), 0);
      layer::PressKey(c.key);
      int page = layer::VisibleLines(*Model(list)) - 1;
      EXPECT_EQ(ui.Selection(IDC_LINES), c.second == -1 ? 19 : c.second == -2 ? page : c.second);
      EXPECT_EQ(CommandsFor(IDC_LINES),
                (std::vector<CommandRecord>(2, CommandRecord{d, IDC_LINES, LBN_SELCHANGE, list})));
    });
    Run(IDD_KEYS);
  }

  During(ui, [&](HWND d) {
    HWND list = GetDlgItem(d, IDC_LINES);
    for (const char* line : {"a", "b", "c", "d", "e", "f"})
      SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    SendMessageA(list, LB_SETCURSEL, 4, 0);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);  // unselected, the caret stays
    SendMessageA(list, LB_DELETESTRING, 0, 0);  // and keeps to its line
    EXPECT_EQ(SendMessageA(list, LB_GETCARETINDEX, 0, 0), 3);
    ui.Focus(IDC_LINES);
    layer::PressKey(Key::Down);
    EXPECT_EQ(ui.Selection(IDC_LINES), 3);
  });
  Run(IDD_KEYS);
}

TEST_F(InputTest, ComboListOpensMovesChoosesAndCloses) {
  During(ui, [&](HWND d) {
    HWND combo = GetDlgItem(d, IDC_PAYEE);
    for (const char* p : {"Grocer", "Rent", "Salary"}) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p));
    ui.Type(IDC_PAYEE, "Re");
    layer::PressKey(Key::F4);
    EXPECT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(Model(combo)->combo.highlight, 1);  // what the field begins with
    layer::PressKey(Key::Down);
    commands.clear();
    ui.Enter();
    EXPECT_EQ(ui.Text(IDC_PAYEE), "Salary");
    EXPECT_EQ(commands, (std::vector<CommandRecord>{{d, IDC_PAYEE, CBN_SELCHANGE, combo}}));
    EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));

    layer::PressKey(Key::Down, layer::kAlt);
    layer::PressKey(Key::Up);
    ui.Escape();
    EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(ui.Text(IDC_PAYEE), "Salary");
    EXPECT_EQ(commands.size(), 2u);  // the drop-down notice, no Cancel

    layer::ClickComboArrow(combo);
    layer::ClickComboLine(combo, 0);
    EXPECT_EQ(ui.Text(IDC_PAYEE), "Grocer");
  });
  Run(IDD_REGISTER);
}

TEST_F(InputTest, ClicksPressButtonsSelectLinesAndPlaceTheCaret) {
  During(ui, [&](HWND d) {
    HWND list = GetDlgItem(d, IDC_REGISTER);
    for (const char* l : {"a", "b", "c"}) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(l));
    layer::ClickControl(GetDlgItem(d, IDC_NEW));
    EXPECT_EQ(commands.back().id, IDC_NEW);
    layer::ClickListLine(list, 2);
    EXPECT_EQ(ui.Selection(IDC_REGISTER), 2);
    EXPECT_EQ(commands.back().code, LBN_SELCHANGE);
    SetDlgItemTextA(d, IDC_DATE, "01/15/2003");
    layer::ClickEdit(GetDlgItem(d, IDC_DATE), 1);
    EXPECT_EQ(ui.Focused(), IDC_DATE);
    EXPECT_EQ(Model(GetDlgItem(d, IDC_DATE))->edit.caret, 1u);
    EXPECT_EQ(Model(GetDlgItem(d, IDC_DATE))->edit.anchor, 1u) << "a click selects nothing";
  });
  Run(IDD_REGISTER);
}

}  // namespace
