#include "tests/ui/RegisterFixture.h"

namespace {

using Lines = std::vector<std::string>;

constexpr int kEntryControls[] = {IDC_CHECKNUM, IDC_DATE, IDC_PAYEE, IDC_CREDIT,
                                  IDC_DEBIT,    IDC_NEW,  IDC_EDIT,  IDC_DELETE};

TEST_F(RegisterTest, BalancingMarksFinishesAndPostpones) {
  AddAccount(500);
  AddRow("01/01/2003", 0, "Deposit", 0, 100, 0);
  AddRow("01/02/2003", 0, "Shop", 30, 0, 0);
  AddRow("01/03/2003", 0, "Cleared", 7, 0, 1);
  AddRow("01/04/2003", 0, "Old", 9, 0, 2);
  ui.Then([&] {
    ui.Click(IDC_BALANCE);
    EXPECT_EQ(ui.Text(IDC_BALANCE), "&Finish");
    EXPECT_TRUE(ui.Visible(IDC_POSTPONE));
    for (int id : kEntryControls) EXPECT_FALSE(ui.Enabled(id)) << id;
    EXPECT_TRUE(ui.Enabled(IDC_REGISTER));
    EXPECT_EQ(ui.Text(IDC_BALANCEDAMOUNT), "$ 0.00");
    ui.SelectLine(IDC_REGISTER, 0);
    ui.SelectLine(IDC_REGISTER, 1);
    EXPECT_EQ(ui.Text(IDC_BALANCEDAMOUNT), "$ 70.00");
    EXPECT_EQ(ui.Selection(IDC_REGISTER), 1);
    EXPECT_EQ(ui.Text(IDC_DATE), "");  // marking leaves the entry row alone
    EXPECT_EQ(Stored()[1], "01/02/2003|0|Shop|30.00|0.00|3");
    ui.SelectLine(IDC_REGISTER, 0);
    EXPECT_EQ(ui.Text(IDC_BALANCEDAMOUNT), "$ -30.00");
    ui.SelectLine(IDC_REGISTER, 2);
    ui.SelectLine(IDC_REGISTER, 3);
    ui.Click(IDC_POSTPONE);
    EXPECT_EQ(ui.Text(IDC_BALANCE), "&Balance");
    EXPECT_FALSE(ui.Visible(IDC_POSTPONE));
    for (int id : kEntryControls) EXPECT_TRUE(ui.Enabled(id)) << id;
    EXPECT_EQ(ui.Text(IDC_BALANCEDAMOUNT), "$ -30.00");
  });
  ui.Then([&] {
    ui.Click(IDC_BALANCE);
    EXPECT_EQ(ui.Text(IDC_BALANCEDAMOUNT), "$ -30.00");
    ui.Click(IDC_BALANCE);
    EXPECT_EQ(ui.Text(IDC_BALANCE), "&Balance");
    EXPECT_EQ(ui.Text(IDC_BALANCEDAMOUNT), "$ 0.00");
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ 500.00");
    EXPECT_EQ(ui.Lines(IDC_REGISTER)[1], "\t01/02/2003\tShop\t\t30.00\tR");
  });
  Run();
  EXPECT_EQ(Stored(), (Lines{"01/01/2003|0|Deposit|0.00|100.00|0", "01/02/2003|0|Shop|30.00|0.00|2",
                             "01/03/2003|0|Cleared|7.00|0.00|1", "01/04/2003|0|Old|9.00|0.00|2"}));
  EXPECT_EQ(StoredBalance(), "$ 500.00");
}

TEST_F(RegisterTest, MarksSurviveLeavingTheProgramInBalancingMode) {
  AddAccount(0);
  AddRow("01/01/2003", 0, "Deposit", 0, 100, 0);
  ui.Then([&] {
    ui.Click(IDC_BALANCE);
    ui.SelectLine(IDC_REGISTER, 0);
  });
  Run();
  Restart();
  ui.Then([&] {
    EXPECT_EQ(ui.Text(IDC_BALANCE), "&Balance");
    EXPECT_TRUE(ui.Enabled(IDC_NEW));
    EXPECT_EQ(ui.Lines(IDC_REGISTER), Lines{"\t01/01/2003\tDeposit\t100.00\t\tB"});
    EXPECT_EQ(ui.Text(IDC_BALANCEDAMOUNT), "$ 100.00");
  });
  Run();
}

TEST_F(RegisterTest, RemoveReconciledDeletesEveryAccountsReconciledRowsAfterAWarning) {
  AddAccount(50);
  AddRow("01/01/2003", 0, "Old", 9, 0, 2);
  AddRow("01/02/2003", 0, "Marked", 5, 0, 3);
  AddRow("01/03/2003", 0, "Plain", 0, 8, 0);
  AddRow("01/04/2003", 0, "Elsewhere", 1, 0, 2, 2);
  const Lines before = Stored();
  ui.Then([&] {
    ui.AnswerNextMessageBox(IDCANCEL);
    ui.ChooseMenu(ID_RECORD_REMOVERECONCILED);
    ASSERT_EQ(ui.MessageBoxes().size(), 1u);
    EXPECT_EQ(ui.MessageBoxes()[0].caption, "Warning");
    EXPECT_EQ(ui.MessageBoxes()[0].text,
              "Are you sure you want to permanetly remove\nall Reconciled transactions?\nThe transaction "
              "information will be lost!\nYou may need to backup your database file before proceeding.");
    EXPECT_EQ(ui.MessageBoxes()[0].style, static_cast<UINT>(MB_OKCANCEL | MB_ICONWARNING));
    EXPECT_EQ(Stored(), before);
    ui.AnswerNextMessageBox(IDOK);
    ui.ChooseMenu(ID_RECORD_REMOVERECONCILED);
    EXPECT_EQ(ui.Lines(IDC_REGISTER).size(), 2u);
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ 50.00");
  });
  Run();
  EXPECT_EQ(Stored(), (Lines{"01/02/2003|0|Marked|5.00|0.00|3", "01/03/2003|0|Plain|0.00|8.00|0"}));
}

// Remove Reconciled deletes for good: it goes ahead only over a copy kept in
// Backups, and with no copy it changes nothing.
TEST_F(RegisterTest, RemoveReconciledKeepsACopyFirstAndWithoutOneRemovesNothing) {
  AddAccount(50);
  AddRow("01/01/2003", 0, "Old", 9, 0, 2);
  AddRow("01/03/2003", 0, "Plain", 0, 8, 0);
  const Lines before = Stored();
  std::ofstream("Backups") << "a file where the folder should be";
  ui.Then([&] {
    ui.AnswerNextMessageBox(IDOK);
    ui.ChooseMenu(ID_RECORD_REMOVERECONCILED);
    ASSERT_EQ(ui.MessageBoxes().size(), 2u);
    EXPECT_EQ(ui.MessageBoxes()[1].caption, "Remove Reconciled");
    EXPECT_EQ(ui.MessageBoxes()[1].text.rfind("A backup copy of Ledger.dat could not be made, so nothing was changed.\n", 0),
              0u)
        << ui.MessageBoxes()[1].text;
    EXPECT_EQ(ui.MessageBoxes()[1].style, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(ui.Lines(IDC_REGISTER).size(), 2u);
    std::filesystem::remove("Backups");
    ui.AnswerNextMessageBox(IDOK);
    ui.ChooseMenu(ID_RECORD_REMOVERECONCILED);
    EXPECT_EQ(ui.Lines(IDC_REGISTER).size(), 1u);
  });
  Run();
  EXPECT_EQ(Stored(), (Lines{"01/03/2003|0|Plain|0.00|8.00|0"}));
  std::vector<std::filesystem::path> copies;
  for (const auto& entry : std::filesystem::directory_iterator("Backups")) copies.push_back(entry.path());
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(copies[0].filename().string().rfind("Ledger-", 0), 0u);
}

}  // namespace
