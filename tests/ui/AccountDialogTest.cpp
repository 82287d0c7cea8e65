#include "tests/ui/RegisterFixture.h"

namespace {

// Opens the account dialog, then runs the steps inside it.
void InAccountDialog(headless::Session& ui, const std::function<void()>& steps) {
  ui.Then([&ui] { ui.ChooseMenu(ID_SETUP_ACCOUNTDETAILS); });
  ui.Then(steps);
}

TEST_F(RegisterTest, AccountDialogCreatesTheAccountAndMovesTheBalanceWithTheInitialOne) {
  const std::string longName(41, 'n');
  InAccountDialog(ui, [&] {
    EXPECT_EQ(ui.Text(0), "Account Information");
    EXPECT_EQ(ui.Text(IDC_ACCOUNTNAME), "");
    EXPECT_EQ(ui.Text(IDC_INITIALBALANCE), "");
    ui.Type(IDC_ACCOUNTNAME, longName);
    ui.Type(IDC_INITIALBALANCE, "100");
    ui.Type(IDC_NOTE, "Joint");
    ui.Click(IDOK);
  });
  ui.Then([&] {
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ 100.00");
    EXPECT_EQ(ui.Text(IDC_BALANCEDAMOUNT), "$ 0.00");
  });
  InAccountDialog(ui, [&] {
    EXPECT_EQ(ui.Text(IDC_ACCOUNTNAME), longName.substr(0, 40));
    EXPECT_EQ(ui.Text(IDC_INITIALBALANCE), "100.00");
    EXPECT_EQ(ui.Text(IDC_NOTE), "Joint");
    ui.Type(IDC_INITIALBALANCE, "150");
    ui.Click(IDOK);
  });
  ui.Then([&] { EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ 150.00"); });
  InAccountDialog(ui, [&] {
    ui.Type(IDC_INITIALBALANCE, "12abc");  // refused, the dialog stays open with it
    ui.Click(IDOK);
    EXPECT_EQ(LastMessage(), "Data Entry: The Initial Balance must be a number such as 1,200.00 or -25.50.");
    EXPECT_EQ(ui.Text(0), "Account Information");
    EXPECT_EQ(ui.Focused(), IDC_INITIALBALANCE);
    ui.Type(IDC_INITIALBALANCE, " $1,000.005 ");
    ui.Click(IDOK);
  });
  ui.Then([&] { EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ 1000.01"); });
  InAccountDialog(ui, [&] {
    ui.Type(IDC_INITIALBALANCE, "12");
    ui.Click(IDOK);
  });
  InAccountDialog(ui, [&] {
    ui.Type(IDC_ACCOUNTNAME, "Changed");
    ui.Type(IDC_INITIALBALANCE, "999");
    ui.Click(IDCANCEL);
  });
  ui.Then([&] { EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ 12.00"); });
  Run();
  EXPECT_EQ(StoredBalance(), "$ 12.00");
  AccountRecord stored(engine.real, "QAccounts");
  stored.Select();
  ASSERT_EQ(stored.RowCount(), 1);
  auto* account = static_cast<AccountRecord*>(stored.FirstRow());
  EXPECT_STREQ(account->BankName(), longName.substr(0, 40).c_str());
  EXPECT_EQ(account->mInitialBalance, 12.0f);
  stored.ClearRows();
}

TEST_F(RegisterTest, RegisterStaysUsableWhileTheAccountDialogIsOpen) {
  AddAccount(100);
  InAccountDialog(ui, [&] {
    HWND dialog = ui.Active();
    ui.Use(appState.mainWindow);
    Fill("", "01/01/2003", "Gift", "10", "");
    ui.Click(IDC_NEW);
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ 110.00");
    ui.Use(dialog);
    ui.Type(IDC_INITIALBALANCE, "150");
    ui.Click(IDOK);
  });
  ui.Then([&] {
    ui.Use(nullptr);
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ 160.00");
  });
  Run();
  EXPECT_EQ(StoredBalance(), "$ 160.00");
}

// A write the database refuses is reported, memory keeps what the database
// holds, and the dialog stays open with what was typed, so OK can try again.
TEST_F(RegisterTest, RefusedAccountWriteKeepsTheDialogOpenAndMemoryAsStored) {
  struct Case {
    const char *refuse, *name, *initial, *message, *heldName;
    float heldBalance;
    const char* balanceAfter;
  } cases[] = {
      {"INSERT INTO QAccounts", "Savings", "150", "Account Details: Error inserting the Account information.", "", 0,
       "$ 150.00"},
      {"UPDATE QAccounts", "Renamed", "200", "Account Details: Error updating the Account information.", "Savings", 150,
       "$ 200.00"},
  };
  for (const Case& c : cases) {
    InAccountDialog(ui, [&] {
      engine.refuse = c.refuse;
      ui.Type(IDC_ACCOUNTNAME, c.name);
      ui.Type(IDC_INITIALBALANCE, c.initial);
      ui.Click(IDOK);
      EXPECT_EQ(LastMessage(), c.message);
      EXPECT_EQ(ui.MessageBoxes().back().style, static_cast<UINT>(MB_OK | MB_ICONERROR));
      EXPECT_EQ(ui.Text(0), "Account Information");
      EXPECT_EQ(ui.Text(IDC_ACCOUNTNAME), c.name);
      EXPECT_EQ(ui.Text(IDC_INITIALBALANCE), c.initial);
      auto* held = appState.accounts->RowCount() > 0 ? static_cast<AccountRecord*>(appState.accounts->FirstRow())
                                                     : appState.accounts;
      EXPECT_STREQ(held->BankName(), c.heldName);
      EXPECT_EQ(held->mAccBalance, c.heldBalance);
      engine.refuse.clear();
      ui.Click(IDOK);  // tried again, the change is taken from what is stored
    });
    ui.Then([&] { EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), c.balanceAfter); });
  }
  Run();
  EXPECT_EQ(ui.MessageBoxes().size(), 2u);
  EXPECT_EQ(StoredBalance(), "$ 200.00");
}

}  // namespace
