#include "tests/ui/RegisterFixture.h"

namespace {

using Lines = std::vector<std::string>;

TEST_F(RegisterTest, NewPayeesAreRememberedOnceIgnoringCase) {
  AddAccount(0);
  ui.Then([&] {
    EXPECT_TRUE(ui.Lines(IDC_PAYEE).empty());
    Fill("", "01/01/2003", "Rent", "", "10");
    ui.Click(IDC_NEW);
    EXPECT_EQ(ui.Lines(IDC_PAYEE), Lines{"Rent"});
    EXPECT_EQ(Setting("NumPayees"), "1");
    EXPECT_EQ(Setting("Payee_1"), "Rent");
    Fill("", "01/02/2003", "rent", "", "10");
    ui.Click(IDC_NEW);
    Fill("", "01/03/2003", "Lunch", "", "");  // refused: remembers nothing
    ui.Click(IDC_NEW);
    EXPECT_EQ(ui.Lines(IDC_PAYEE), Lines{"Rent"});
    ui.SelectLine(IDC_REGISTER, 1);
    ui.Type(IDC_PAYEE, "bank");
    ui.Click(IDC_EDIT);
    EXPECT_EQ(ui.Lines(IDC_PAYEE), (Lines{"bank", "Rent"}));
  });
  Run();
  EXPECT_EQ(Setting("NumPayees"), "2");
  EXPECT_EQ(Setting("Payee_2"), "bank");
  EXPECT_EQ(Stored(), (Lines{"01/01/2003|0|Rent|10.00|0.00|0", "01/02/2003|0|bank|10.00|0.00|0"}));
}

TEST_F(RegisterTest, PayeesLoadFromTheSettingsFileSkippingMissingKeys) {
  const char* ini = appState.iniPath.Text();
  WritePrivateProfileStringA(kSettingsSection, "NumPayees", "3", ini);
  WritePrivateProfileStringA(kSettingsSection, "Payee_1", "Zoo", ini);
  WritePrivateProfileStringA(kSettingsSection, "Payee_3", "Acme", ini);
  AddAccount(0);
  ui.Then([&] {
    EXPECT_EQ(ui.Lines(IDC_PAYEE), (Lines{"Acme", "Zoo"}));
    Fill("", "01/01/2003", "Mid", "", "10");
    ui.Click(IDC_NEW);
  });
  Run();
  EXPECT_EQ(Setting("NumPayees"), "4");
  EXPECT_EQ(Setting("Payee_4"), "Mid");
}

TEST_F(RegisterTest, AnEightyCharacterPayeeLoadsCutAndIsRememberedAgain) {
  const std::string payee(80, 'q');
  AddAccount(0);
  ui.Then([&] {
    Fill("", "01/01/2003", payee, "", "10");
    ui.Click(IDC_NEW);
  });
  Run();
  Restart();
  ui.Then([&] {
    EXPECT_EQ(ui.Lines(IDC_PAYEE), Lines{payee.substr(0, 79)});
    Fill("", "01/01/2003", payee, "", "10");
    ui.Click(IDC_NEW);
    EXPECT_EQ(ui.Lines(IDC_PAYEE).size(), 2u);
  });
  Run();
  EXPECT_EQ(Setting("NumPayees"), "2");
  EXPECT_EQ(Setting("Payee_1"), payee);
  EXPECT_EQ(Setting("Payee_2"), payee);
}

}  // namespace
