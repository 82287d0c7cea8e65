// Import Statement and Export from the Record menu, and a statement dropped
// on the window, over a register kept by hand.
#include <fstream>

#include "tests/ui/RegisterFixture.h"

namespace {

using Lines = std::vector<std::string>;

const char kOfx[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<?OFX OFXHEADER=\"200\" VERSION=\"211\"?>\n<OFX>\n"
    "<SIGNONMSGSRSV1><SONRS><STATUS><CODE>0</CODE><SEVERITY>INFO</SEVERITY></STATUS></SONRS></SIGNONMSGSRSV1>\n"
    "<BANKMSGSRSV1><STMTTRNRS><STMTRS><BANKTRANLIST>\n"
    "<STMTTRN><TRNTYPE>POS</TRNTYPE><DTPOSTED>20030117</DTPOSTED><TRNAMT>-23.50</TRNAMT>"
    "<FITID>a1</FITID><NAME>CORNER GROCERY #123</NAME></STMTTRN>\n"
    "<STMTTRN><TRNTYPE>CHECK</TRNTYPE><DTPOSTED>20030210</DTPOSTED><TRNAMT>-100.00</TRNAMT><FITID>a2</FITID>"
    "<CHECKNUM>1043</CHECKNUM><NAME>CHECK 1043</NAME></STMTTRN>\n"
    "<STMTTRN><TRNTYPE>INT</TRNTYPE><DTPOSTED>20030131</DTPOSTED><TRNAMT>0.42</TRNAMT><FITID>a3</FITID>"
    "<NAME>INTEREST PAYMENT</NAME></STMTTRN>\n"
    "</BANKTRANLIST><LEDGERBAL><BALAMT>126.00</BALAMT><DTASOF>20030228</DTASOF></LEDGERBAL>"
    "</STMTRS></STMTTRNRS></BANKMSGSRSV1>\n</OFX>\n";

const char kPreview[] =
    "Import march.ofx?\n\nTo add: 1\nMatched: 2 (2 newly cleared)\nSkipped: 0 as duplicates\n"
    "Balance after: $ 26.92\n\nStatement's closing balance: $ 126.00\n"
    "Register's cleared and reconciled balance: $ 76.92\nDifference: $ 49.08\n";

class StatementTest : public RegisterTest {
 protected:
  // An opening 250.00, two rows entered by hand that the bank has booked and
  // one it has not.
  void HandKept() {
    AddAccount(26.50);
    AddRow("01/15/2003", 0, "Corner Grocery", 23.50, 0, 0);
    AddRow("01/16/2003", 1043, "City Water", 100.00, 0, 0);
    AddRow("02/20/2003", 1044, "Landlord", 50.00, 0, 0);
    std::ofstream("march.ofx", std::ios::binary) << kOfx;
  }
  size_t Copies() {
    std::error_code error;
    size_t count = 0;
    for (std::filesystem::directory_iterator it("Backups", error), end; !error && it != end; it.increment(error)) ++count;
    return count;
  }
};

const Lines kHeld = {"01/15/2003|0|Corner Grocery|23.50|0.00|0", "01/16/2003|1043|City Water|100.00|0.00|0",
                     "02/20/2003|1044|Landlord|50.00|0.00|0"};
const Lines kImported = {"01/15/2003|0|Corner Grocery|23.50|0.00|1", "01/16/2003|1043|City Water|100.00|0.00|1",
                         "02/20/2003|1044|Landlord|50.00|0.00|0", "01/31/2003|0|INTEREST PAYMENT|0.00|0.42|0"};

// The preview comes before any change: Cancel leaves the ledger as it was,
// OK imports, through the menu's file dialog or a drop alike.
TEST_F(StatementTest, ImportPreviewsTheDryRunAndOnlyOkChangesTheLedger) {
  struct Case {
    const char* name;
    bool drop;
    int answer;
    Lines stored;
    const char* balance;
    size_t copies;
  } cases[] = {
      {"menu, Cancel", false, IDCANCEL, kHeld, "$ 26.50", 0},
      {"menu, OK", false, IDOK, kImported, "$ 26.92", 1},
      {"dropped, OK", true, IDOK, kImported, "$ 26.92", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sql("DELETE FROM QLedger");
    Sql("DELETE FROM QAccounts");
    std::filesystem::remove_all("Backups");
    HandKept();
    ui.ClearMessageBoxes();
    if (c.drop) {
      ui.Then([&] {
        ui.AnswerNextMessageBox(c.answer);
        ui.Drop((std::filesystem::current_path() / "march.ofx").string());
      });
    } else {
      ui.Then([&] { ui.ChooseMenu(ID_RECORD_IMPORT); });
      ui.Then([&] {
        EXPECT_EQ(ui.Text(0), "Open");
        ui.AnswerNextMessageBox(c.answer);
        ui.Type(edt1, "march.ofx");
        ui.Enter();
      });
    }
    ui.Then([&] {
      ASSERT_EQ(ui.MessageBoxes().size(), 1u);
      EXPECT_EQ(ui.MessageBoxes()[0].caption, "Import Statement");
      EXPECT_EQ(ui.MessageBoxes()[0].text, kPreview);
      EXPECT_EQ(ui.MessageBoxes()[0].style, static_cast<UINT>(MB_OKCANCEL | MB_ICONQUESTION));
      EXPECT_EQ(ui.Lines(IDC_REGISTER).size(), c.stored.size());
      EXPECT_EQ(ui.Text(IDC_BALANCETOTAL), c.balance);
    });
    Run();
    EXPECT_EQ(Stored(), c.stored);
    EXPECT_EQ(StoredBalance(), c.balance);
    EXPECT_EQ(Copies(), c.copies);
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(folder.path));
  }
}

// A file the readers refuse names itself, its line and the cause, and
// nothing changes; a file that is not UTF-8 is read as Windows-1252.
TEST_F(StatementTest, RefusedFilesSayWhyAndOtherEncodingsAreFound) {
  struct Case {
    const char* file;
    std::string text;
    std::string box;  // the refusal; empty: the preview, answered OK
    Lines stored;
  } cases[] = {
      {"zero.csv", "date,payee,amount\n01/02/2003,Nothing,0.00\n", "zero.csv:2: the amount is 0; the register holds a debit or a credit\n\nNothing was changed.",
       {}},
      {"noheader.csv", "01/02/2003,Shop,1.00\n",
       "noheader.csv:1: no date column: name the columns in the header or with --columns\n\nNothing was changed.\n"
       "The options named are checkbook-io's: run checkbook-io import FILE with them in the data folder.",
       {}},
      {"cafe.csv", "date,payee,amount\n01/02/2003,Caf\xE9,-1.00\n", "", {"01/02/2003|0|Caf\xC3\xA9|1.00|0.00|0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    Sql("DELETE FROM QLedger");
    Sql("DELETE FROM QAccounts");
    AddAccount(0);
    std::ofstream(c.file, std::ios::binary) << c.text;
    ui.ClearMessageBoxes();
    ui.Then([&] { ui.ChooseMenu(ID_RECORD_IMPORT); });
    ui.Then([&] {
      ui.Type(edt1, c.file);
      ui.Enter();
    });
    ui.Then([&] {
      ASSERT_EQ(ui.MessageBoxes().size(), 1u);
      if (!c.box.empty()) {
        EXPECT_EQ(ui.MessageBoxes()[0].text, c.box);
        EXPECT_EQ(ui.MessageBoxes()[0].style, static_cast<UINT>(MB_OK | MB_ICONERROR));
      } else {
        EXPECT_EQ(ui.MessageBoxes()[0].text.rfind("Import cafe.csv?\n\nTo add: 1\n", 0), 0u);
      }
    });
    Run();
    EXPECT_EQ(Stored(), c.stored);
  }
}

// A file of several accounts must not merge them into the one register:
// the account chosen from the list is the only one imported, Cancel imports
// nothing, and an investment account is refused as checkbook-io refuses it.
TEST_F(StatementTest, AFileOfSeveralAccountsImportsOnlyTheOneChosen) {
  std::ofstream("two.qif", std::ios::binary)
      << "!Account\nNChecking\nTBank\n^\n!Type:Bank\nD01/02/2003\nT-1.00\nPRent\n^\nD01/03/2003\nT-2.00\nPShop\n^\n"
         "!Account\nNSavings\nTBank\n^\n!Type:Bank\nD01/31/2003\nT0.12\nPInterest\n^\n";
  std::ofstream("invest.qif", std::ios::binary)
      << "!Account\nNBroker\nTInvst\n^\n!Type:Invst\nD01/02/2003\nNBuy\nT10.00\n^\n";
  const Lines offered = {"Checking (bank, 2 transactions)", "Savings (bank, 1 transaction)"};
  struct Case {
    const char* name;
    const char* file;
    int button;  // in the list of accounts; 0: no list is shown
    std::string box;  // the start of the one message box; empty: none
    Lines stored;
  } cases[] = {
      {"the second account, OK", "two.qif", IDOK, "Import two.qif?\n\nTo add: 1\n", {"01/31/2003|0|Interest|0.00|0.12|0"}},
      {"Cancel", "two.qif", IDCANCEL, "", {}},
      {"an investment account", "invest.qif", 0,
       "invest.qif: this is an investment statement (Broker (investment, 1 transaction)), not a bank or card "
       "statement\n\nNothing was changed.",
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sql("DELETE FROM QLedger");
    Sql("DELETE FROM QAccounts");
    AddAccount(0);
    ui.ClearMessageBoxes();
    bool listed = false;
    ui.Then([&] { ui.ChooseMenu(ID_RECORD_IMPORT); });
    ui.Then([&] {
      ui.AnswerNextMessageBox(IDOK);
      ui.Type(edt1, c.file);
      ui.Enter();
    });
    if (c.button != 0) {
      ui.Then([&] {
        listed = true;
        EXPECT_EQ(ui.Text(0), "Import Statement");
        EXPECT_EQ(ui.Lines(IDC_ACCOUNTLIST), offered);
        ui.SelectLine(IDC_ACCOUNTLIST, 1);
        ui.Click(c.button);
      });
    }
    ui.Then([&] {
      ASSERT_EQ(ui.MessageBoxes().size(), c.box.empty() ? 0u : 1u);
      if (!c.box.empty()) {
        EXPECT_EQ(ui.MessageBoxes()[0].text.substr(0, c.box.size()), c.box);
      }
    });
    Run();
    EXPECT_EQ(listed, c.button != 0);
    EXPECT_EQ(Stored(), c.stored);
  }
}

// Export writes the account's rows as checkbook-io does, CSV or QIF by the
// name or the chosen type.
TEST_F(StatementTest, ExportWritesTheChosenFormat) {
  HandKept();
  struct Case {
    std::string script;
    const char* file;
    const char* start;
  } cases[] = {
      {"rows", "rows.csv", "Check,Date,Payee,Credit,Debit,Status\r\n"},
      {"rows.qif", "rows.qif", "!Type:Bank\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ui.Then([&] { ui.ChooseMenu(ID_RECORD_EXPORT); });
    ui.Then([&] {
      EXPECT_EQ(ui.Text(0), "Save As");
      ui.Type(edt1, c.script);
      ui.Enter();
    });
    Run();
    std::string text = ReadFile(c.file);
    EXPECT_EQ(text.rfind(c.start, 0), 0u) << text;
    EXPECT_NE(text.find("City Water"), std::string::npos) << text;
  }
}

}  // namespace
