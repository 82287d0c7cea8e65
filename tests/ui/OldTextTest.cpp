// A ledger and settings file that an older build on Windows wrote in
// Windows-1252: shown, reported and remembered as UTF-8, and stored so only
// where the person writes.
#include <fstream>

#include "tests/ui/RegisterFixture.h"

namespace {

using Lines = std::vector<std::string>;

// What the database holds for a row, byte for byte.
std::string RawPayee(RegisterTest& test, int id);

const char kOldSettings[] =
    "[RErivaRude_100]\r\n"
    "NumPayees=3\r\n"
    "Payee_1=Caf\xE9 Zo\xEB\r\n"
    "Payee_2=\" B\xE4" "cker \"\r\n"
    "Payee_3=Stra\xC3\x9F" "e\r\n"  // already UTF-8
    "HideRec=0\r\n";

TEST_F(RegisterTest, OldWindows1252TextIsShownAsUtf8AndStoredSoOnlyWhenWritten) {
  AddAccount(0);
  Sql("UPDATE QAccounts SET mBankName = 'Cr\xE9" "dit'");
  appState.accounts->ClearRows();
  appState.accounts->Select();
  AddRow("01/15/2003", 0, "Caf\xE9 Zo\xEB", 5, 0, 0);
  AddRow("01/16/2003", 0, "R\xE9gie", 10, 0, 0);
  std::ofstream("RErivaRude.ini", std::ios::binary) << kOldSettings;

  ui.Then([&] {
    EXPECT_EQ(ui.Lines(IDC_REGISTER),
              (Lines{"\t01/15/2003\tCaf\xC3\xA9 Zo\xC3\xAB\t\t5.00", "\t01/16/2003\tR\xC3\xA9gie\t\t10.00"}));
    EXPECT_EQ(ui.Lines(IDC_PAYEE), (Lines{" B\xC3\xA4" "cker ", "Caf\xC3\xA9 Zo\xC3\xAB", "Stra\xC3\x9F" "e"}));
    // Reading changed nothing.
    EXPECT_EQ(ReadFile("RErivaRude.ini"), kOldSettings);
    ui.ChooseMenu(ID_RECORD_REPORT);
    ui.SelectLine(IDC_REGISTER, 1);
    EXPECT_EQ(ui.Text(IDC_PAYEE), "R\xC3\xA9gie");
    ui.Type(IDC_PAYEE, "R\xC3\xA9gie SA");
    ui.Click(IDC_EDIT);
  });
  ui.Then([&] { ui.ChooseMenu(ID_SETUP_ACCOUNTDETAILS); });
  ui.Then([&] {
    EXPECT_EQ(ui.Text(IDC_ACCOUNTNAME), "Cr\xC3\xA9" "dit");
    ui.Click(IDCANCEL);
  });
  Run();

  std::string report = ReadFile("Report.txt");
  EXPECT_NE(report.find("Caf\xC3\xA9 Zo\xC3\xAB"), std::string::npos) << report;
  EXPECT_NE(report.find("R\xC3\xA9gie "), std::string::npos) << report;
  // The edited row is UTF-8 now; the other one is left as it was.
  EXPECT_EQ(RawPayee(*this, 1), "Caf\xE9 Zo\xEB");
  EXPECT_EQ(RawPayee(*this, 2), "R\xC3\xA9gie SA");
  // The first write to the settings file brought the old values to UTF-8.
  EXPECT_EQ(Setting("Payee_1"), "Caf\xC3\xA9 Zo\xC3\xAB");
  EXPECT_EQ(Setting("Payee_2"), " B\xC3\xA4" "cker ");
  EXPECT_EQ(Setting("Payee_3"), "Stra\xC3\x9F" "e");
  EXPECT_EQ(Setting("Payee_4"), "R\xC3\xA9gie SA");
  EXPECT_EQ(Setting("NumPayees"), "4");
}

int32_t TakeText(void* context, int32_t, char** texts, char**) {
  *static_cast<std::string*>(context) = texts[0] ? texts[0] : "NULL";
  return 0;
}

std::string RawPayee(RegisterTest&, int id) {
  std::string payee;
  std::string sql = "SELECT mPayee FROM QLedger WHERE mTransID = " + std::to_string(id);
  appState.engine->Execute(sql.c_str(), &payee, TakeText);
  return payee;
}

}  // namespace
