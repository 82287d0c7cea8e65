// The register and account templates as drawn on a terminal, and mouse
// clicks landing on what is drawn.
#include "tests/terminal/ScreenFixture.h"

namespace {

using term::Style;

TEST_F(ScreenTest, RegisterWindowFitsItsTerminalCentredAndIsSqueezedWhenSmaller) {
  Then([&] {
    term::Canvas screen = Screen();
    int row = 0, col = 0;
    ASSERT_TRUE(Find(screen, "Qarvo's Checkbook v1.01", row, col)) << All(screen);
    // 108 x 32 cells of client area, a frame, a title line and a menu bar: 110 x 35, centred in 110 x 36.
    EXPECT_EQ(row, 0);
    EXPECT_EQ(screen.At(0, 0).ch, U'╔');
    EXPECT_EQ(screen.At(0, kCols - 1).ch, U'╗');
    EXPECT_EQ(screen.At(34, 0).ch, U'╚');
    EXPECT_NE(screen.Row(0).find("[×]"), std::string::npos);
    EXPECT_NE(screen.Row(1).find("Record  Setup"), std::string::npos);
    EXPECT_NE(screen.Row(0).find("■"), std::string::npos) << "the window icon's place";

    term::Canvas exact(35, 110);
    EXPECT_TRUE(term::Draw(exact, Windows(), layer::ActiveWindow()));
    // A row or a column less and the window is laid out denser on that axis alone.
    for (auto [rows, cols] : {std::pair{34, 110}, std::pair{35, 109}}) {
      term::Canvas small(rows, cols);
      EXPECT_TRUE(term::Draw(small, Windows(), layer::ActiveWindow()));
      term::Placement p = term::Place(*Register(), rows, cols);
      EXPECT_EQ(p.frame.height, rows);
      EXPECT_EQ(p.frame.width, cols);
      EXPECT_EQ(p.grid.down.Dense(), rows < 35);
      EXPECT_EQ(p.grid.across.Dense(), cols < 110);
    }
  });
  RunRegister();
}

TEST_F(ScreenTest, ListColumnsFallUnderTheirHeadings) {
  lines = {"101\t01/15/2003\tGrocery Store\t\t25.50\tR", "\t02/01/2003\tSalary\t500.00\t"};
  Then([&] {
    term::Canvas screen = Screen();
    int listRow = 0, col = 0;
    ASSERT_TRUE(Find(screen, "Grocery Store", listRow, col, 6)) << All(screen);
    const std::pair<const char*, const char*> columns[] = {
        {"Check#", "101"}, {"Date", "01/15/2003"}, {"Description", "Grocery Store"}, {"Debit", "25.50"}, {"St.", "R"}};
    for (auto [heading, value] : columns) {
      term::Box box = BoxOf(Labelled(heading));
      int row = 0, at = 0;
      ASSERT_TRUE(Find(screen, value, row, at, listRow)) << value;
      EXPECT_EQ(row, listRow) << value;
      EXPECT_GT(at, box.col) << value << " starts left of " << heading;
      EXPECT_LE(at + static_cast<int>(std::string(value).size()), box.col + box.width) << value << " runs past " << heading;
    }
    int row = 0, at = 0;
    ASSERT_TRUE(Find(screen, "500.00", row, at, listRow));
    term::Box credit = BoxOf(Labelled("Credit"));
    EXPECT_EQ(row, listRow + 1);
    EXPECT_TRUE(at > credit.col && at < credit.col + credit.width);
  });
  RunRegister();
}

// The focused field has double side bars and the focus colours; the other one single bars.
void ExpectFocusedField(const term::Canvas& screen, const term::Box& focused, const term::Box& other) {
  int text = focused.row + focused.height - 1;
  EXPECT_EQ(screen.At(text, focused.col).ch, U'║');
  EXPECT_EQ(screen.At(text, other.col).ch, U'│');
  EXPECT_EQ(screen.At(text, focused.col + 1).style, Style::FieldFocused);
  EXPECT_EQ(screen.At(text, other.col + 1).style, Style::Field);
}

TEST_F(ScreenTest, FocusDisabledStateAndMnemonicsAreVisible) {
  Then([&] {
    term::Canvas screen = Screen();
    term::Box check = BoxOf(Control(IDC_CHECKNUM)), date = BoxOf(Control(IDC_DATE));
    ExpectFocusedField(screen, check, date);
    ASSERT_TRUE(screen.cursor.has_value());
    EXPECT_EQ(screen.cursor->first, check.row + check.height - 1);
    EXPECT_EQ(screen.cursor->second, check.col + 1);

    int row = 0, col = 0;
    ASSERT_TRUE(Find(screen, "[ New ]", row, col));
    EXPECT_TRUE(screen.At(row, col + 2).underline) << "N of New";
    EXPECT_FALSE(screen.At(row, col + 3).underline);
    EXPECT_EQ(screen.At(row, col + 2).style, Style::Button);

    EnableWindow(Item(IDC_NEW), FALSE);
    layer::PressKey(layer::Key::Tab);
  });
  Then([&] {
    term::Canvas screen = Screen();
    ExpectFocusedField(screen, BoxOf(Control(IDC_DATE)), BoxOf(Control(IDC_CHECKNUM)));
    int row = 0, col = 0;
    EXPECT_FALSE(Find(screen, "[ New ]", row, col));
    ASSERT_TRUE(Find(screen, "  New  ", row, col, BoxOf(Control(IDC_NEW)).row));
    EXPECT_EQ(screen.At(row, col + 2).style, Style::Disabled);
    EXPECT_FALSE(screen.At(row, col + 2).underline) << "a disabled button offers no mnemonic";
  });
  RunRegister();
}

TEST_F(ScreenTest, LongListShowsTheSelectionAndClicksSelectTheLineDrawn) {
  for (int i = 0; i < 40; ++i) lines.push_back("Line " + std::to_string(100 + i));
  Then([&] {
    SendMessageA(Item(IDC_REGISTER), LB_SETCURSEL, 39, 0);
    term::Canvas screen = Screen();
    int last = 0, col = 0, first = 0;
    ASSERT_TRUE(Find(screen, "Line 139", last, col)) << All(screen);
    EXPECT_FALSE(Find(screen, "Line 100", first, col));
    EXPECT_EQ(screen.At(last, col).style, Style::Selected);
    // The scroll indicator on the right edge: its thumb at the bottom of the track.
    term::Box list = BoxOf(Control(IDC_REGISTER));
    int edge = list.col + list.width - 1;
    EXPECT_EQ(screen.At(last, edge).ch, U'▼');
    EXPECT_EQ(screen.At(last - 1, edge).ch, U'█');
    EXPECT_EQ(screen.At(list.row + 1, edge).ch, U'▲');

    int row = 0;
    ASSERT_TRUE(Find(screen, "Line 130", row, col));
    commands.clear();
    EXPECT_TRUE(Click(row, col + 2));
  });
  Then([&] {
    EXPECT_EQ(Control(IDC_REGISTER)->list.selection, 30);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].id, IDC_REGISTER);
    EXPECT_EQ(commands[0].code, LBN_SELCHANGE);
    term::Canvas screen = Screen();
    int row = 0, col = 0;
    ASSERT_TRUE(Find(screen, "Line 130", row, col));
    EXPECT_EQ(screen.At(row, col).style, Style::SelectedFocused);
  });
  RunRegister();
}

// Without a mark, a person tabbing into a list with nothing selected could not
// see which line the first key would select.
TEST_F(ScreenTest, FocusedListShowsItsCaretLineUntilTheFocusLeaves) {
  lines = {"Line 1", "Line 2", "Line 3"};
  Then([&] {
    SetFocus(Item(IDC_REGISTER));
    term::Canvas screen = Screen();
    int row = 0, col = 0;
    ASSERT_TRUE(Find(screen, "Line 1", row, col)) << All(screen);
    EXPECT_EQ(screen.At(row, col).style, Style::Caret);
    ASSERT_TRUE(screen.cursor.has_value());
    EXPECT_EQ(screen.cursor->first, row);
    ASSERT_TRUE(Find(screen, "Line 2", row, col));
    EXPECT_EQ(screen.At(row, col).style, Style::ListArea);
    layer::PressKey(layer::Key::Down);  // selects the caret line
  });
  Then([&] {
    term::Canvas screen = Screen();
    int row = 0, col = 0;
    ASSERT_TRUE(Find(screen, "Line 1", row, col));
    EXPECT_EQ(screen.At(row, col).style, Style::SelectedFocused);
    ASSERT_TRUE(screen.cursor.has_value());
    EXPECT_EQ(screen.cursor->first, row);
    SendMessageA(Item(IDC_REGISTER), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetFocus(Item(IDC_CHECKNUM));
  });
  Then([&] {
    term::Canvas screen = Screen();
    int row = 0, col = 0;
    ASSERT_TRUE(Find(screen, "Line 1", row, col));
    EXPECT_EQ(screen.At(row, col).style, Style::ListArea) << "no mark once the focus has left";
  });
  RunRegister();
}

TEST_F(ScreenTest, LongTextScrollsInItsFieldAndAClickPutsTheCaretOnTheCharacterThere) {
  const std::string typed = "01/15/2003 paid \xc3\xa9t\xc3\xa9 bills";
  Then([&] {
    term::Box date = BoxOf(Control(IDC_DATE));
    EXPECT_TRUE(Click(date.row + date.height - 1, date.col + 1));
    for (char c : typed) layer::TypeChar(c);
  });
  Then([&] {
    layer::Window* field = Control(IDC_DATE);
    ASSERT_EQ(field->text, typed);
    term::Canvas screen = Screen();
    term::Box date = BoxOf(field);
    ASSERT_TRUE(screen.cursor.has_value());
    auto [row, col] = *screen.cursor;
    EXPECT_EQ(row, date.row + date.height - 1);
    EXPECT_GT(col, date.col);
    EXPECT_LT(col, date.col + date.width - 1) << "the caret stays inside the field";
    EXPECT_EQ(screen.At(row, col - 1).ch, U's') << "the end of the text is in view";
    // A click on a shown character puts the caret before that very character.
    for (int target : {date.col + 1, col - 4}) {
      char32_t shown = screen.At(row, target).ch;
      EXPECT_TRUE(Click(row, target));
      size_t caret = field->edit.caret;
      ASSERT_LT(caret, field->text.size());
      EXPECT_EQ(text::Decode(field->text.substr(caret)).front(), shown);
    }
  });
  RunRegister();
}

TEST_F(ScreenTest, PayeeDropDownShowsItsLinesBelowTheBoxAndTakesAClick) {
  payees = {"Salary", "grocery store", "Rent"};
  Then([&] {
    term::Canvas screen = Screen();
    int row = 0, col = 0;
    ASSERT_TRUE(Find(screen, "▼", row, col));
    EXPECT_TRUE(Click(row, col));
  });
  Then([&] {
    ASSERT_TRUE(Control(IDC_PAYEE)->combo.dropped);
    term::Canvas screen = Screen();
    term::Box box = BoxOf(Control(IDC_PAYEE));
    int row = 0, col = 0;
    const char* sorted[] = {"grocery store", "Rent", "Salary"};
    for (int i = 0; i < 3; ++i) {
      ASSERT_TRUE(Find(screen, sorted[i], row, col)) << All(screen);
      EXPECT_EQ(row, box.row + 2 + i) << sorted[i];
      EXPECT_EQ(col, box.col + 1);
    }
    EXPECT_TRUE(Click(box.row + 3, box.col + 3));
  });
  Then([&] {
    layer::Window* payee = Control(IDC_PAYEE);
    EXPECT_EQ(payee->text, "Rent");
    EXPECT_FALSE(payee->combo.dropped);
    int row = 0, col = 0;
    term::Canvas screen = Screen();
    ASSERT_TRUE(Find(screen, "▼", row, col));
    EXPECT_TRUE(Click(row, col));
  });
  Then([&] {
    // Open, a click anywhere else only closes the list.
    ASSERT_TRUE(Control(IDC_PAYEE)->combo.dropped);
    term::Box list = BoxOf(Control(IDC_REGISTER));
    EXPECT_TRUE(Click(list.row + 20, list.col + 80));
    EXPECT_FALSE(Control(IDC_PAYEE)->combo.dropped);
    EXPECT_EQ(Control(IDC_PAYEE)->text, "Rent");
  });
  RunRegister();
}

TEST_F(ScreenTest, MenuPopupShowsItsItemsAndChecksAndAClickChoosesOne) {
  Then([&] {
    CheckMenuItem(GetMenu(layer::ToHandle(Register())), ID_SETUP_HIDERECONCILED, MF_BYCOMMAND | MF_CHECKED);
    term::Canvas screen = Screen();
    int row = 0, col = 0;
    ASSERT_TRUE(Find(screen, "Setup", row, col));
    EXPECT_TRUE(screen.At(row, col).underline);
    EXPECT_TRUE(Click(row, col + 2));
  });
  Then([&] {
    term::Canvas screen = Screen();
    int row = 0, col = 0, checked = 0;
    ASSERT_TRUE(Find(screen, "Account Details...", row, col)) << All(screen);
    ASSERT_TRUE(Find(screen, "✓ Hide Reconciled..", checked, col));
    EXPECT_EQ(checked, row + 2) << "a separator between them";
    EXPECT_FALSE(Find(screen, "✓ Account Details", row, col));
    commands.clear();
    EXPECT_TRUE(Click(checked, col + 4));
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].id, ID_SETUP_HIDERECONCILED);
    EXPECT_FALSE(Find(Screen(), "Account Details...", row, col)) << "the popup closed";
  });
  RunRegister();
}

TEST_F(ScreenTest, AccountDialogLiesCentredOverTheRegisterWhichStaysUsable) {
  Then([&] { SendMessageA(layer::ToHandle(Register()), WM_COMMAND, ID_SETUP_ACCOUNTDETAILS, 0); });
  Then([&] {
    layer::Window* dialog = layer::ActiveWindow();
    ASSERT_NE(dialog, Register());
    term::Canvas screen = Screen();
    term::Placement p = term::Place(*dialog, kRows, kCols);
    int row = 0, col = 0;
    ASSERT_TRUE(Find(screen, "Account Information", row, col)) << All(screen);
    EXPECT_EQ(row, p.frame.row);
    EXPECT_LE(std::abs((p.frame.col + p.frame.width / 2) - kCols / 2), 1);
    EXPECT_LE(std::abs((p.frame.row + p.frame.height / 2) - kRows / 2), 1);
    // A shadow right of and below the dialog; the register's title shows it is not active.
    EXPECT_EQ(screen.At(p.frame.row + 1, p.frame.col + p.frame.width).style, Style::Shadow);
    EXPECT_EQ(screen.At(p.frame.row + p.frame.height, p.frame.col + 2).style, Style::Shadow);
    EXPECT_EQ(screen.At(row, col).style, Style::TitleActive);
    EXPECT_EQ(screen.At(0, 5).style, Style::TitleInactive);

    // Labels share the row of their fields' text, whole; fields too close
    // for frames of their own take one row each, with side bars.
    term::Box name = BoxOf(dialog->Child(IDC_ACCOUNTNAME)), balance = BoxOf(dialog->Child(IDC_INITIALBALANCE));
    for (auto [label, field] : {std::pair{"Account Name", name}, std::pair{"Initial Balance", balance}}) {
      ASSERT_TRUE(Find(screen, label, row, col, p.frame.row)) << All(screen);
      EXPECT_EQ(field.height, 1) << label;
      EXPECT_EQ(row, field.row) << label;
      EXPECT_LT(col + static_cast<int>(std::string(label).size()), field.col) << label;
      EXPECT_EQ(screen.At(row, field.col).ch, label == std::string("Account Name") ? U'║' : U'│') << All(screen);
      EXPECT_EQ(screen.At(row, field.col + field.width - 1).ch, screen.At(row, field.col).ch);
    }
    EXPECT_GT(balance.row, name.row + 1) << "a bare row between the fields";

    // A click on the register outside the dialog brings it to the front; its commands still run.
    term::Box newButton = BoxOf(Control(IDC_NEW));
    commands.clear();
    EXPECT_TRUE(Click(newButton.row + newButton.height - 1, newButton.col + 2));
    EXPECT_EQ(layer::ActiveWindow(), Register());
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].id, IDC_NEW);
    EXPECT_EQ(Screen().At(0, 5).style, Style::TitleActive);
  });
  Then([&] {
    layer::Window* dialog = layer::TopLevelWindows().front();
    ASSERT_NE(dialog, Register()) << "the register came to the front";
    layer::Activate(layer::ToHandle(dialog));
    layer::PressKey(layer::Key::Escape);
  });
  RunRegister();
  EXPECT_EQ(commands.back().id, IDC_NEW) << "the dialog ended without troubling the register";
}

TEST_F(ScreenTest, MessageBoxIsDrawnOverItsOwnerAndAnsweredByAClick) {
  Then([&] { SendMessageA(layer::ToHandle(Register()), WM_COMMAND, kShowMessage, 0); });
  Then([&] {
    term::Canvas screen = Screen();
    int first = 0, second = 0, col = 0, buttons = 0, cancel = 0;
    ASSERT_TRUE(Find(screen, "First line of the message", first, col)) << All(screen);
    ASSERT_TRUE(Find(screen, "and a second", second, col));
    EXPECT_EQ(second, first + 1);
    ASSERT_TRUE(Find(screen, "Notice", buttons, col));
    EXPECT_LT(buttons, first);
    int icon = 0;
    ASSERT_TRUE(Find(screen, "/!\\", icon, col)) << "the warning icon";
    EXPECT_EQ(icon, first);
    EXPECT_EQ(screen.At(icon, col).style, Style::IconAlert);
    ASSERT_TRUE(Find(screen, "▶ OK ◀", buttons, col));
    ASSERT_TRUE(Find(screen, "Cancel", buttons, cancel));
    EXPECT_GT(buttons, second);
    EXPECT_EQ(screen.At(buttons, col + 2).style, Style::ButtonFocused) << "the default button has the focus";
    // The owner is disabled: a click on it does nothing.
    term::Box list = BoxOf(Control(IDC_REGISTER));
    Click(list.row + 2, list.col + 2);
    EXPECT_TRUE(layer::ActiveWindow()->dialog.messageBox);
    EXPECT_TRUE(Click(buttons, cancel + 1));
  });
  RunRegister();
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0], IDCANCEL);
}

}  // namespace
