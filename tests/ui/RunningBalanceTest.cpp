// The running balance and the balanced amount to the cent: long sessions at
// different sizes of balance, many marked rows, and what happens where single
// precision no longer keeps every cent.
#include <random>

#include "tests/ui/RegisterFixture.h"

namespace {

using Lines = std::vector<std::string>;

std::string Money(int64_t cents) {
  char text[40];
  std::snprintf(text, sizeof text, "%s%lld.%02lld", cents < 0 ? "-" : "", static_cast<long long>(std::llabs(cents) / 100),
                static_cast<long long>(std::llabs(cents) % 100));
  return text;
}

int64_t Cents(const std::string& money) { return std::llround(std::stod(money) * 100); }

int32_t FirstNumber(void* context, int32_t, char** texts, char**) {
  *static_cast<int64_t*>(context) = texts[0] ? std::stoll(texts[0]) : 0;
  return 0;
}

class CentsTest : public RegisterTest {
 protected:
  int64_t Query(const char* sql) {
    int64_t value = 0;
    EXPECT_NE(engine.real->Execute(sql, &value, FirstNumber), 0) << sql;
    return value;
  }

  // The initial balance plus the credits minus the debits of the stored rows,
  // each counted as the two-decimal amount its statement wrote.
  int64_t RowsSay() {
    return Query("SELECT CAST(round(mInitialBalance * 100) AS INTEGER) FROM QAccounts") +
           Query("SELECT total(CAST(round(mCredit * 100) AS INTEGER) - CAST(round(mDebit * 100) AS INTEGER)) "
                 "FROM QLedger");
  }

  void ExpectBalanceIsTheRows(int commands) {
    const int64_t exact = RowsSay();
    EXPECT_EQ(StoredBalance(), "$ " + Money(exact)) << "after " << commands << " commands";
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ " + Money(exact)) << "after " << commands << " commands";
  }
};

class LongSessionTest : public CentsTest, public ::testing::WithParamInterface<int64_t> {};

// 2,000 commands of every kind that moves the balance, typed as a person
// types amounts (now and then with a third decimal, which the row rounds);
// the balance is kept near the size under test.
TEST_P(LongSessionTest, BalanceStaysTheInitialBalancePlusTheRowsToTheCent) {
  const int64_t target = GetParam();
  Sql("PRAGMA synchronous = OFF");  // thousands of commits; what is tested is the arithmetic
  AddAccount(static_cast<double>(target) / 100);
  std::mt19937 random(static_cast<unsigned>(target));
  auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  auto amount = [&] {
    char text[40];
    int kind = below(20);
    if (kind == 0) std::snprintf(text, sizeof text, "%d.%03d", 1 + below(300), below(1000));
    else if (kind == 1) std::snprintf(text, sizeof text, "%d.%d", 1 + below(300), 125 + 250 * below(4));  // halves of a cent
    else std::snprintf(text, sizeof text, "%d.%02d", 1 + below(300), below(100));
    return std::string(text);
  };
  auto shown = [&] { return Cents(ui.Text(IDC_BALANCETOTAL).substr(2)); };
  auto typeAmounts = [&] {
    bool credit = shown() < target;
    ui.Type(IDC_CREDIT, credit ? amount() : "");
    ui.Type(IDC_DEBIT, credit ? "" : amount());
  };
  constexpr int kCommands = 2000;
  int commands = 0;
  std::function<void()> next = [&] {
    if (commands > 0 && commands % 100 == 0) ExpectBalanceIsTheRows(commands);
    if (commands == kCommands) return;
    ++commands;
    int rows = static_cast<int>(ui.Lines(IDC_REGISTER).size());
    int kind = rows == 0 ? 0 : below(20);
    if (kind < 9) {
      ui.Type(IDC_DATE, "01/" + std::to_string(10 + below(20)) + "/2003");
      ui.Type(IDC_PAYEE, "Payee " + std::to_string(below(8)));
      typeAmounts();
      ui.Click(IDC_NEW);
    } else if (kind < 13) {
      ui.SelectLine(IDC_REGISTER, below(rows));
      typeAmounts();
      ui.Click(IDC_EDIT);
    } else if (kind < 17) {
      ui.SelectLine(IDC_REGISTER, below(rows));
      ui.Click(IDC_DELETE);
    } else {
      // The initial balance moves, and the balance with it, by a random step
      // that brings it back towards the size under test.
      const int64_t step = target - shown() + below(60001) - 30000;
      ui.Then([&, step] {
        ui.Type(IDC_INITIALBALANCE, Money(Cents(ui.Text(IDC_INITIALBALANCE)) + step));
        ui.Click(IDOK);
      });
      ui.Then(next);
      ui.ChooseMenu(ID_SETUP_ACCOUNTDETAILS);
      return;
    }
    ui.Then(next);
  };
  ui.Then(next);
  Run();
  EXPECT_EQ(commands, kCommands);
  EXPECT_TRUE(ui.MessageBoxes().empty()) << LastMessage();
}

INSTANTIATE_TEST_SUITE_P(AroundEachSize, LongSessionTest, ::testing::Values(100000, 4500000, 12000000),
                         [](const ::testing::TestParamInfo<int64_t>& info) {
                           return "Balance" + std::to_string(info.param / 100);
                         });

class MarkedRowsTest : public CentsTest, public ::testing::WithParamInterface<int> {};

// 2,000 marked rows, all or seven in ten of them credits, so their sum goes
// where single precision no longer keeps every cent.
TEST_P(MarkedRowsTest, BalancedAmountIsTheirExactSum) {
  const int creditsInTen = GetParam();
  AddAccount(100);
  std::mt19937 random(static_cast<unsigned>(creditsInTen));
  int64_t exact = 0;
  Sql("BEGIN");
  for (int i = 0; i < 2000; ++i) {
    int64_t cents = 1 + static_cast<int64_t>(random() % 20000);
    bool credit = static_cast<int>(random() % 10) < creditsInTen;
    exact += credit ? cents : -cents;
    AddRow("02/01/2003", 0, "Marked", credit ? 0 : cents / 100.0, credit ? cents / 100.0 : 0, StatusMarked);
  }
  AddRow("02/02/2003", 0, "Not marked", 0, 12.34, 0);
  Sql("COMMIT");
  ui.Then([&] { EXPECT_EQ(ui.Text(IDC_BALANCEDAMOUNT), "$ " + Money(exact)); });
  Run();
}

INSTANTIATE_TEST_SUITE_P(CreditsInTen, MarkedRowsTest, ::testing::Values(10, 7),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == 10 ? std::string("AllCredits") : "SevenInTen";
                         });

const char kAmountMessage[] =
    "Data Entry: An amount must lie between -131072.00 and 131072.00:\nbeyond that the register can not keep every "
    "cent.";
const char kBalanceMessage[] =
    "The balance would reach 131072.00 or more\n(or -131072.00 or less), where the register can not\nkeep every "
    "cent. Nothing was stored.";
const char kAccountMessage[] =
    "Account Information: The initial balance and the balance must stay between\n-131072.00 and 131072.00, where "
    "the register keeps\nevery cent. Nothing was stored.";

struct Refusal {
  const char* name;
  double balance;  // the account's before; it holds one row, a debit of 10.00
  int command;     // New, Edit or Delete of that row, or the account dialog's OK
  const char *credit, *debit;  // typed; for the account dialog the initial balance
  std::string message;
};

void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.name; }

class LimitTest : public RegisterTest, public ::testing::WithParamInterface<Refusal> {};

// What would store an amount or a balance single precision can not keep to
// the cent is refused with a message, and nothing is stored.
TEST_P(LimitTest, RefusesAndStoresNothing) {
  const Refusal& refusal = GetParam();
  AddAccount(refusal.balance);
  AddRow("01/01/2003", 0, "Shop", 10, 0, 0);
  const Lines rows = Stored();
  const std::string balance = StoredBalance();
  ui.Then([&] {
    if (refusal.command == IDOK) {
      ui.Then([&] {
        ui.Type(IDC_INITIALBALANCE, refusal.credit);
        ui.Click(IDOK);
        EXPECT_EQ(ui.Text(0), "Account Information");  // still open, to be put right
        EXPECT_EQ(ui.Focused(), IDC_INITIALBALANCE);
      });
      ui.ChooseMenu(ID_SETUP_ACCOUNTDETAILS);
    } else {
      if (refusal.command == IDC_NEW) Fill("", "01/02/2003", "Gift", "", "");
      else ui.SelectLine(IDC_REGISTER, 0);
      ui.Type(IDC_CREDIT, refusal.credit);
      ui.Type(IDC_DEBIT, refusal.debit);
      ui.Click(refusal.command);
    }
    EXPECT_EQ(LastMessage(), refusal.message);
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), balance);
  });
  Run();
  Restart();
  EXPECT_EQ(Stored(), rows);
  EXPECT_EQ(StoredBalance(), balance);
}

INSTANTIATE_TEST_SUITE_P(
    AtAMillion, LimitTest,
    ::testing::Values(Refusal{"NewCredit", 100, IDC_NEW, "1000000.00", "", kAmountMessage},
                      Refusal{"NewDebit", 100, IDC_NEW, "", "1000000", kAmountMessage},
                      Refusal{"EditToAMillion", 100, IDC_EDIT, "", "-1000000", kAmountMessage},
                      Refusal{"NewBalanceOnTheLimit", 131052, IDC_NEW, "20", "",
                              std::string("Insert New Record: ") + kBalanceMessage},
                      Refusal{"EditBalanceBeyond", 131000, IDC_EDIT, "100", "",
                              std::string("Edit Record: ") + kBalanceMessage},
                      Refusal{"DeleteBalanceBeyond", 131065, IDC_DELETE, "", "",
                              std::string("Delete Record: ") + kBalanceMessage},
                      Refusal{"InitialBalanceOfAMillion", 100, IDOK, "1000000.00", "", kAccountMessage},
                      Refusal{"InitialBalanceTakingTheBalanceBeyond", 131000, IDOK, "131100", "", kAccountMessage}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

// A ledger an older build left at a million still opens and shows what it
// holds; changes that keep the balance are taken, and so is one that brings
// it back, while one that would take it out of reach again is refused.
TEST_F(RegisterTest, ALedgerAtAMillionOpensAndCanBeBroughtBack) {
  AddAccount(0);
  AddRow("01/01/2003", 0, "Inheritance", 0, 1000000, 0);
  Sql("UPDATE QAccounts SET mAccBalance = 1000000.00, mInitialBalance = 1000000.00");
  appState.accounts->ClearRows();
  appState.accounts->Select();
  ui.Then([&] {
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ 1000000.00");
    EXPECT_EQ(ui.Lines(IDC_REGISTER), Lines{"\t01/01/2003\tInheritance\t1000000.00\t"});
    Fill("", "01/02/2003", "Shop", "", "10");
    ui.Click(IDC_NEW);
    EXPECT_EQ(LastMessage(), std::string("Insert New Record: ") + kBalanceMessage);
    ui.ClearMessageBoxes();
    ui.SelectLine(IDC_REGISTER, 0);
    ui.Type(IDC_PAYEE, "Estate");
    ui.Click(IDC_EDIT);
    EXPECT_EQ(ui.Lines(IDC_REGISTER), Lines{"\t01/01/2003\tEstate\t1000000.00\t"});
  });
  ui.Then([&] { ui.ChooseMenu(ID_SETUP_ACCOUNTDETAILS); });
  ui.Then([&] {
    ui.Type(IDC_ACCOUNTNAME, "Renamed");  // the initial balance as it is: taken
    ui.Click(IDOK);
  });
  ui.Then([&] { ui.ChooseMenu(ID_SETUP_ACCOUNTDETAILS); });
  ui.Then([&] {
    EXPECT_EQ(ui.Text(IDC_ACCOUNTNAME), "Renamed");
    ui.Type(IDC_INITIALBALANCE, "0");
    ui.Click(IDOK);
  });
  ui.Then([&] {
    EXPECT_TRUE(ui.MessageBoxes().empty());
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ 0.00");
    ui.SelectLine(IDC_REGISTER, 0);
    ui.Click(IDC_DELETE);
    EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), "$ 0.00");
  });
  Run();
  EXPECT_EQ(LastMessage(), std::string("Delete Record: ") + kBalanceMessage);
  EXPECT_EQ(Stored(), Lines{"01/01/2003|0|Estate|0.00|1000000.00|0"});
  EXPECT_EQ(StoredBalance(), "$ 0.00");
}

}  // namespace
