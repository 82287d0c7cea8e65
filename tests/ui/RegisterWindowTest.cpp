#include <algorithm>

#include "tests/ui/RegisterFixture.h"

#include <fstream>

namespace {

using Lines = std::vector<std::string>;

// Calendar order across a year, rows of one date in the order they were
// entered, dates that cannot be read (older files, other programs) first in
// text order; amounts below 0 shown with their sign.
TEST_F(RegisterTest, ListShowsRowsInCalendarOrderWithMarksAndTotals) {
  AddAccount(1234.5);
  AddRow("02/01/2003", 101, "Corner Grocery", 45.2, 0, 1);
  AddRow("01/31/2004", 0, "Salary", 0, 1200, 0);
  AddRow("01/01/2003", -7, "Refund", 0, 12.5, 2);
  AddRow("03/01/2003", 0, "Odd", 0, 1234.567, 9);
  AddRow("04/01/2003", 5, "Marked", 30, 0, 3);
  AddRow("05/01/2003", 6, "Negative", -5, 0, 3);
  AddRow("06/01/2003", 7, "Other account", 0, 99, 3, 2);
  AddRow("1/2/2026", 0, "New Year", 1, 0, 0);
  AddRow("12/31/2025", 0, "Eve", 2, 0, 0);
  AddRow("01/02/26", 0, "Same day, later", 3, 0, 0);
  AddRow("yesterday", 0, "Unread b", 4, 0, 0);
  AddRow("2003-01-01", 0, "Unread a", 5, 0, 0);
  AddRow("01/18/2025", 0, "Year before", 6, 0, 0);
  AddRow("1/2/2026", 0, "Same day, last", 7, 0, 0);
  ui.Then([&] {
    EXPECT_EQ(ui.Lines(IDC_REGISTER), (Lines{"\t2003-01-01\tUnread a\t\t5.00",
                                             "\tyesterday\tUnread b\t\t4.00",
                                             "-7\t01/01/2003\tRefund\t12.50\t\tR",
                                             "101\t02/01/2003\tCorner Grocery\t\t45.20\tC",
                                             "\t03/01/2003\tOdd\t1234.57\t",
                                             "5\t04/01/2003\tMarked\t\t30.00\tB",
                                             "6\t05/01/2003\tNegative\t\t-5.00\tB",
                                             "\t01/31/2004\tSalary\t1200.00\t",
                                             "\t01/18/2025\tYear before\t\t6.00",
                                             "\t12/31/2025\tEve\t\t2.00",
                                             "\t1/2/2026\tNew Year\t\t1.00",
                                             "\t01/02/26\tSame day, later\t\t3.00",
                                             "\t1/2/2026\tSame day, last\t\t7.00"}));
    EXPECT_EQ(ui.Text(IDC_BALANCEDAMOUNT), "$ -25.00");
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ 1234.50");
    EXPECT_EQ(ui.Selection(IDC_REGISTER), -1);
    // The report writes the rows the list shows, in the same order.
    ui.ChooseMenu(ID_RECORD_REPORT);
  });
  Run();
  std::ifstream report("Report.txt");
  std::vector<std::string> payees;
  int banner = 4;
  for (std::string line; std::getline(report, line);)
    if (banner-- <= 0) payees.push_back(line.substr(18, 15));
  EXPECT_EQ(payees, (Lines{"Unread a       ", "Unread b       ", "Refund         ", "Corner Grocery ",
                           "Odd            ", "Marked         ", "Negative       ", "Salary         ",
                           "Year before    ", "Eve            ", "New Year       ", "Same day, later",
                           "Same day, last "}));
}

TEST_F(RegisterTest, SelectingALineCopiesItIntoTheEntryRowEvenWithReconciledHidden) {
  AddAccount(0);
  AddRow("01/01/2003", 11, "Reconciled", 0, 5, 2);
  AddRow("01/02/2003", 0, "Refund", -5, 0, 0);
  AddRow("01/03/2003", 12, "Pay", 0, 12.5, 0);
  ui.Then([&] {
    ui.ChooseMenu(ID_SETUP_HIDERECONCILED);
    EXPECT_TRUE(ui.MenuChecked(ID_SETUP_HIDERECONCILED));
    ASSERT_EQ(ui.Lines(IDC_REGISTER).size(), 2u);
    ui.SelectLine(IDC_REGISTER, 0);
    EXPECT_EQ(ui.Text(IDC_CHECKNUM), "");
    EXPECT_EQ(ui.Text(IDC_DATE), "01/02/2003");
    EXPECT_EQ(ui.Text(IDC_PAYEE), "Refund");
    EXPECT_EQ(ui.Text(IDC_CREDIT), "");
    EXPECT_EQ(ui.Text(IDC_DEBIT), "-5.00");
    ui.SelectLine(IDC_REGISTER, 1);
    EXPECT_EQ(ui.Text(IDC_CHECKNUM), "12");
    EXPECT_EQ(ui.Text(IDC_CREDIT), "12.50");
    EXPECT_EQ(ui.Text(IDC_DEBIT), "");
    EXPECT_TRUE(ui.Lines(IDC_PAYEE).empty());
  });
  ui.Then([&] {
    ui.ChooseMenu(ID_SETUP_HIDERECONCILED);
    EXPECT_FALSE(ui.MenuChecked(ID_SETUP_HIDERECONCILED));
    EXPECT_EQ(ui.Lines(IDC_REGISTER).size(), 3u);
  });
  Run();
  EXPECT_EQ(appState.hideReconciled, 0);
}

// A register of years read from its oldest rows hides what was just written.
TEST_F(RegisterTest, ListShowsItsNewestRowsAndARowJustAddedAboveThem) {
  struct Case {
    const char* date;
    bool onTop;  // the new row's line is the first one shown
  } cases[] = {{"01/01/1990", true}, {"12/31/2099", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.date);
    Sql("DELETE FROM QLedger");
    Sql("DELETE FROM QAccounts");
    AddAccount(0);
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= 5; ++day) {
        char date[16];
        std::snprintf(date, sizeof date, "%02d/%02d/2003", month, day);
        AddRow(date, day, "Rent", 1, 0, 0);
      }
    }
    ui.Then([&] {
      HWND list = GetDlgItem(ui.Active(), IDC_REGISTER);
      LRESULT top = SendMessageA(list, LB_GETTOPINDEX, 0, 0);
      EXPECT_GT(top, 0);
      Fill("", c.date, "Gas", "", "9");
      ui.Click(IDC_NEW);
      std::string line = "\t" + std::string(c.date) + "\tGas\t\t9.00";
      Lines lines = ui.Lines(IDC_REGISTER);
      int at = static_cast<int>(std::find(lines.begin(), lines.end(), line) - lines.begin());
      ASSERT_LT(at, static_cast<int>(lines.size())) << LastMessage() << " " << lines.back();
      LRESULT shown = SendMessageA(list, LB_GETTOPINDEX, 0, 0);
      if (c.onTop) EXPECT_EQ(shown, at);
      else EXPECT_EQ(shown, top + 1);  // the end, one line further
    });
    Run();
  }
}

TEST_F(RegisterTest, WithoutAccountTheListStaysEmptyAndTheTotalsUntouched) {
  appState.hideReconciled = 1;
  AddRow("01/01/2003", 0, "Orphan", 0, 5, 0);
  ui.Then([&] {
    EXPECT_TRUE(ui.MenuChecked(ID_SETUP_HIDERECONCILED));
    EXPECT_TRUE(ui.Lines(IDC_REGISTER).empty());
    EXPECT_EQ(ui.Text(IDC_BALANCEDAMOUNT), "");
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "0");
    EXPECT_EQ(ui.Focused(), IDC_CHECKNUM);
  });
  Run();
}

TEST_F(RegisterTest, EnterAndEscapeDoNothingWhileExitEndsEvenInBalancingMode) {
  AddAccount(0);
  bool ranAfterExit = false;
  ui.Then([&] {
    Fill("", "01/01/2003", "Rent", "10", "");
    ui.Focus(IDC_DATE);
    ui.Enter();
    ui.Escape();
    EXPECT_TRUE(ui.IsOpen(appState.mainWindow));
    EXPECT_TRUE(ui.Lines(IDC_REGISTER).empty());
    ui.Click(IDC_BALANCE);
    ui.ChooseMenu(ID_RECORD_EXIT);
  });
  ui.Then([&] { ranAfterExit = true; });
  Run();
  EXPECT_FALSE(ranAfterExit);
  EXPECT_TRUE(Stored().empty());
}

}  // namespace
