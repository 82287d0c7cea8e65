#include "tests/ui/RegisterFixture.h"

namespace {

using Lines = std::vector<std::string>;

TEST_F(RegisterTest, NewRefusesIncompleteEntriesAndStoresNothing) {
  struct Case {
    const char *date, *payee, *credit, *debit, *message;
  };
  const Case cases[] = {
      {"", "Rent", "10", "", "Please enter the Date."},
      {"01/01/2003", "", "10", "", "Enter or Select a Payee from the list"},
      {"01/01/2003", "Rent", "0", "0", "Please enter Debit or credit ammount"},
      {"01/01/2003", "Rent", "", "", "Please enter Debit or credit ammount"},
      {"01/01/2003", "Rent", "  ", " ", "Please enter Debit or credit ammount"},
      {"01/01/2003", "Rent", "10", "10", "Enter either debit or credit ammount, not both"},
  };
  ui.Then([&] {
    Fill("", "01/01/2003", "Rent", "10", "");
    ui.Click(IDC_NEW);
    EXPECT_EQ(LastMessage(), "Insert New Record: Account is not setup yet. Please setup Account");
    AddAccount(100);
  });
  for (const Case& c : cases) {
    ui.Then([&] {
      Fill("1", c.date, c.payee, c.credit, c.debit);
      ui.Click(IDC_NEW);
      EXPECT_EQ(LastMessage(), std::string("Data Entry: ") + c.message);
      EXPECT_EQ(ui.MessageBoxes().back().style, static_cast<UINT>(MB_OK | MB_ICONERROR));
    });
  }
  Run();
  EXPECT_EQ(ui.MessageBoxes().size(), std::size(cases) + 1);
  EXPECT_TRUE(Stored().empty());
  EXPECT_EQ(StoredBalance(), "$ 100.00");
}

TEST_F(RegisterTest, NewStoresTheEntryAndMovesTheBalance) {
  AddAccount(100);
  const std::string longPayee(100, 'p');
  ui.Then([&] {
    Fill("0", "01/01/2003", "Salary", "100", "");
    ui.Click(IDC_NEW);
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ 200.00");
    Fill("", "01/02/2003", "Shop", "0", "40");
    ui.Click(IDC_NEW);
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ 160.00");
    Fill(" 3", "1/3/03", longPayee, "", "-5");
    ui.Click(IDC_NEW);
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ 165.00");
    EXPECT_EQ(ui.Lines(IDC_REGISTER).back(), "3\t1/3/03\t" + longPayee.substr(0, 80) + "\t\t-5.00");
    EXPECT_EQ(ui.Lines(IDC_PAYEE), (Lines{longPayee.substr(0, 80), "Salary", "Shop"}));
    EXPECT_EQ(ui.Text(IDC_DATE), "1/3/03");  // the entry row keeps what was typed
    EXPECT_EQ(ui.Selection(IDC_REGISTER), -1);
    EXPECT_EQ(ui.Focused(), IDC_CHECKNUM);
  });
  Run();
  EXPECT_TRUE(ui.MessageBoxes().empty());
  EXPECT_EQ(Stored(), (Lines{"01/01/2003|0|Salary|0.00|100.00|0", "01/02/2003|0|Shop|40.00|0.00|0",
                             "1/3/03|3|" + longPayee.substr(0, 80) + "|-5.00|0.00|0"}));
  EXPECT_EQ(StoredBalance(), "$ 165.00");
}

TEST_F(RegisterTest, EditReplacesTheRowAndKeepsItsLineSelected) {
  AddAccount(100);
  AddRow("01/01/2003", 0, "Shop", 40, 0, 0);
  AddRow("01/02/2003", 0, "Old", 9, 0, 2);
  const std::string typedDate = "1/1/2003";
  ui.Then([&] {
    ui.Click(IDC_EDIT);  // nothing selected: nothing happens
    EXPECT_TRUE(ui.MessageBoxes().empty());
    ui.SelectLine(IDC_REGISTER, 0);
    Fill("7", typedDate, "Shop", "40", "");
    ui.Click(IDC_EDIT);
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ 180.00");
    EXPECT_EQ(ui.Selection(IDC_REGISTER), 0);
    EXPECT_EQ(ui.Text(IDC_DATE), typedDate);  // re-selecting did not copy the row back
    ui.SelectLine(IDC_REGISTER, 1);
    Fill("", "01/02/2003", "Old", "", "1");
    ui.Click(IDC_EDIT);
    EXPECT_EQ(LastMessage(), "Edit Record: Can not change this record.\nRecord is read-only.");
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ 180.00");
  });
  Run();
  EXPECT_EQ(Stored(), (Lines{typedDate + "|7|Shop|0.00|40.00|0", "01/02/2003|0|Old|9.00|0.00|2"}));
  EXPECT_EQ(StoredBalance(), "$ 180.00");
}

TEST_F(RegisterTest, DeleteTakesTheAmountsBackAndSelectsTheLineAbove) {
  AddAccount(100);
  AddRow("01/01/2003", 0, "A", 10, 0, 0);
  AddRow("01/02/2003", 0, "B", 0, 20, 2);
  AddRow("01/03/2003", 0, "C", 5, 0, 0);
  ui.Then([&] {
    ui.Click(IDC_DELETE);
    EXPECT_TRUE(ui.MessageBoxes().empty());
    ui.SelectLine(IDC_REGISTER, 2);
    ui.Click(IDC_DELETE);
    EXPECT_EQ(ui.Selection(IDC_REGISTER), 1);
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ 105.00");
    ui.Click(IDC_DELETE);  // the reconciled row goes too
    EXPECT_EQ(ui.Selection(IDC_REGISTER), 0);
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ 85.00");
    ui.Click(IDC_DELETE);
    EXPECT_EQ(ui.Selection(IDC_REGISTER), -1);
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ 95.00");
  });
  Run();
  EXPECT_TRUE(ui.MessageBoxes().empty());
  EXPECT_TRUE(Stored().empty());
  EXPECT_EQ(StoredBalance(), "$ 95.00");
}

struct Refusal {
  const char* statement;
  int command;
  const char* message;
};

void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.statement; }

class RefusedStatementTest : public RegisterTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedStatementTest, ShowsItsMessageAndChangesNothing) {
  AddAccount(100);
  AddRow("01/01/2003", 0, "Shop", 40, 0, 0);
  AddRow("01/02/2003", 0, "Gift", 0, 15, 0);
  ui.Then([&] {
    engine.refuse = GetParam().statement;
    ui.SelectLine(IDC_REGISTER, 0);
    Fill("", "01/05/2003", "Other", "25", "");
    ui.Click(GetParam().command);
    EXPECT_EQ(LastMessage(), GetParam().message);
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ 100.00");
    // Marks made now are kept: the failed command left no transaction open,
    // and marking writes the row as stored, not as typed.
    engine.refuse.clear();
    ui.Click(IDC_BALANCE);
    ui.SelectLine(IDC_REGISTER, 0);
    ui.SelectLine(IDC_REGISTER, 1);
  });
  Run();
  Restart();
  EXPECT_EQ(Stored(), (Lines{"01/01/2003|0|Shop|40.00|0.00|3", "01/02/2003|0|Gift|0.00|15.00|3"}));
  EXPECT_EQ(StoredBalance(), "$ 100.00");
}

INSTANTIATE_TEST_SUITE_P(
    EachCommand, RefusedStatementTest,
    ::testing::Values(Refusal{"INSERT INTO QLedger", IDC_NEW, "Insert New Record: Error inserting a Record"},
                      Refusal{"UPDATE QLedger", IDC_EDIT, "Edit Record: Error updating the Record information."},
                      Refusal{"DELETE FROM QLedger", IDC_DELETE, "Delete Record: Error removing the Record."},
                      // The balance write-back or the commit refused: the command fails as a whole.
                      Refusal{"UPDATE QAccounts", IDC_NEW, "Insert New Record: Error inserting a Record"},
                      Refusal{"UPDATE QAccounts", IDC_EDIT, "Edit Record: Error updating the Record information."},
                      Refusal{"COMMIT", IDC_DELETE, "Delete Record: Error removing the Record."}),
    [](const ::testing::TestParamInfo<Refusal>& info) {
      std::string name = std::string(info.param.statement) + "_" + std::to_string(info.param.command);
      for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

TEST_F(RegisterTest, ACrashBeforeTheBalanceIsWrittenLosesTheWholeCommand) {
  AddAccount(100);
  AddRow("01/01/2003", 0, "Shop", 40, 0, 0);
  ui.Then([&] {
    engine.crashAt = "UPDATE QAccounts";
    ui.SelectLine(IDC_REGISTER, 0);
    ui.Click(IDC_DELETE);
  });
  Run();
  Restart();
  EXPECT_EQ(Stored(), Lines{"01/01/2003|0|Shop|40.00|0.00|0"});
  EXPECT_EQ(StoredBalance(), "$ 100.00");
}

// Amounts within single precision whose sum is not: the balance would become
// infinite and swallow every later amount, so the command fails as a whole.
TEST_F(RegisterTest, ABalanceBeyondSinglePrecisionFailsTheCommand) {
  AddAccount(3e38);
  AddRow("01/01/2003", 0, "Loan", 3e38, 0, 0);
  const std::string balance = StoredBalance();
  ui.Then([&] {
    Fill("", "01/02/2003", "Huge", "300,000,000,000,000,000,000", "");
    ui.Click(IDC_NEW);
    EXPECT_EQ(LastMessage().substr(0, 30), "Data Entry: An amount must lie");
    ui.SelectLine(IDC_REGISTER, 0);
    ui.Click(IDC_DELETE);
    EXPECT_EQ(LastMessage().substr(0, 44), "Delete Record: The balance would reach 13107");
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), balance);
  });
  Run();
  Restart();
  EXPECT_EQ(Stored(), Lines{"01/01/2003|0|Loan|" + balance.substr(2) + "|0.00|0"});
  EXPECT_EQ(StoredBalance(), balance);
}

// What is typed is what is stored: each field's text is read as a person
// means it, or refused with a message that names the field and shows its
// form, the focus on that field and nothing stored; never its leading number.
TEST_F(RegisterTest, EntryFieldsAreStoredAsTypedOrRefusedWithTheirForm) {
  const char kCredit[] = "Data Entry: The Credit amount must be a number such as 1,200.00 or -25.50.";
  const char kDebit[] = "Data Entry: The Debit amount must be a number such as 1,200.00 or -25.50.";
  const char kDate[] = "Data Entry: The Date must be a real date written month/day/year, such as 01/31/2026.";
  const char kCheck[] = "Data Entry: The Check# must be digits only, such as 1042, or left empty.";
  struct Case {
    const char *check, *date, *credit, *debit;
    const char* stored;   // the row stored, or nullptr
    const char* message;  // the refusal, or nullptr
    int focus;
  } cases[] = {
      {"", "01/31/2026", "1,200.00", "", "01/31/2026|0|Pay|0.00|1200.00|0", nullptr, 0},
      {" 105", "1/2/26", "", " $12,345.67 ", "1/2/26|105|Pay|12345.67|0.00|0", nullptr, 0},
      {"", " 02/29/2024 ", "", "-25", "02/29/2024|0|Pay|-25.00|0.00|0", nullptr, 0},
      {"", "12/31/2025", "10.005", "", "12/31/2025|0|Pay|0.00|10.01|0", nullptr, 0},
      {"", "01/02/2026", "1,2", "", nullptr, kCredit, IDC_CREDIT},
      {"", "01/02/2026", "", "12abc", nullptr, kDebit, IDC_DEBIT},
      {"", "01/02/2026", "", "1.2.3", nullptr, kDebit, IDC_DEBIT},
      {"", "01/02/2026", "", "1e3x", nullptr, kDebit, IDC_DEBIT},
      {"", "01/02/2026", "abc", "5", nullptr, kCredit, IDC_CREDIT},
      {"1O5", "01/02/2026", "5", "", nullptr, kCheck, IDC_CHECKNUM},
      {"-3", "01/02/2026", "5", "", nullptr, kCheck, IDC_CHECKNUM},
      {"99999999999", "01/02/2026", "5", "", nullptr, kCheck, IDC_CHECKNUM},
      {"", "13/45/2025", "5", "", nullptr, kDate, IDC_DATE},
      {"", "02/30/2026", "5", "", nullptr, kDate, IDC_DATE},
      {"", "yesterday", "5", "", nullptr, kDate, IDC_DATE},
      {"", "2025-02-03", "5", "", nullptr, kDate, IDC_DATE},
      {"", "   ", "5", "", nullptr, kDate, IDC_DATE},
  };
  AddAccount(0);
  for (const Case& c : cases) {
    ui.Then([&] {
      const size_t shown = ui.MessageBoxes().size();
      ui.Click(IDC_BALANCE);  // the focus elsewhere, then back, so a refusal must move it
      ui.Click(IDC_POSTPONE);
      Fill(c.check, c.date, "Pay", c.credit, c.debit);
      ui.Click(IDC_NEW);
      if (c.message == nullptr) {
        EXPECT_EQ(ui.MessageBoxes().size(), shown) << LastMessage();
        EXPECT_EQ(Stored().back(), c.stored);
        return;
      }
      ASSERT_EQ(ui.MessageBoxes().size(), shown + 1) << c.date;
      EXPECT_EQ(LastMessage(), c.message);
      EXPECT_EQ(ui.MessageBoxes().back().style, static_cast<UINT>(MB_OK | MB_ICONERROR));
      EXPECT_EQ(ui.Focused(), c.focus);
    });
  }
  Run();
  EXPECT_EQ(Stored().size(), 4u);
  EXPECT_EQ(StoredBalance(), "$ -11110.66");
}

// Delete selects the line above and shows it in the entry row, so an Edit
// right after it changes that transaction as it is, and nothing else.
TEST_F(RegisterTest, EditAfterDeleteChangesOnlyTheLineNowSelected) {
  AddAccount(100);
  AddRow("01/01/2026", 0, "Gift", 0, 75, 0);
  AddRow("01/02/2026", 0, "Shop", 99.99, 0, 0);
  ui.Then([&] {
    ui.SelectLine(IDC_REGISTER, 1);
    ui.Click(IDC_DELETE);
    EXPECT_EQ(ui.Selection(IDC_REGISTER), 0);
    EXPECT_EQ(ui.Text(IDC_PAYEE), "Gift");
    EXPECT_EQ(ui.Text(IDC_CREDIT), "75.00");
    EXPECT_EQ(ui.Text(IDC_DEBIT), "");
    ui.Click(IDC_EDIT);
  });
  Run();
  EXPECT_TRUE(ui.MessageBoxes().empty()) << LastMessage();
  EXPECT_EQ(Stored(), Lines{"01/01/2026|0|Gift|0.00|75.00|0"});
  EXPECT_EQ(StoredBalance(), "$ 199.99");
}

// An edited date can move its row; the selection goes with it, so the
// entry row (which holds the edit) and the selected line stay one transaction.
TEST_F(RegisterTest, EditThatMovesTheRowSelectsItWhereItNowIs) {
  AddAccount(0);
  AddRow("01/01/2026", 0, "First", 1, 0, 0);
  AddRow("01/02/2026", 0, "Second", 2, 0, 0);
  ui.Then([&] {
    ui.SelectLine(IDC_REGISTER, 0);
    ui.Type(IDC_DATE, "02/01/2026");
    ui.Click(IDC_EDIT);
    EXPECT_EQ(ui.Lines(IDC_REGISTER)[1], "\t02/01/2026\tFirst\t\t1.00");
    EXPECT_EQ(ui.Selection(IDC_REGISTER), 1);
    ui.Type(IDC_DEBIT, "3");
    ui.Click(IDC_EDIT);
  });
  Run();
  EXPECT_EQ(Stored(), (Lines{"02/01/2026|0|First|3.00|0.00|0", "01/02/2026|0|Second|2.00|0.00|0"}));
}

}  // namespace
