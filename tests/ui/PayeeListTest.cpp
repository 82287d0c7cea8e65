#include <algorithm>

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

// A count below 1 loads nothing and starts at Payee_1; a count far beyond
// any real list is taken as the bound, so start-up does not probe for hours,
// and the next payee takes over the last key that loads.
TEST_F(RegisterTest, PayeeCountsOutOfRangeAreBounded) {
  struct Case {
    const char* count;
    std::vector<std::pair<const char*, const char*>> keys;
    Lines loaded;
    const char* countAfter;
    const char* keyAfter;
  };
  const Case cases[] = {
      {"-5", {{"Payee_1", "Zoo"}}, {}, "1", "Payee_1"},
      {"1000000000", {{"Payee_1", "Zoo"}, {"Payee_100000", "Acme"}, {"Payee_100001", "Lost"}}, {"Acme", "Zoo"},
       "100000", "Payee_100000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    std::filesystem::remove(appState.iniPath.Text());
    const char* ini = appState.iniPath.Text();
    WritePrivateProfileStringA(kSettingsSection, "NumPayees", c.count, ini);
    for (auto [key, value] : c.keys) WritePrivateProfileStringA(kSettingsSection, key, value, ini);
    Restart();
    AddAccount(0);
    ui.Then([&] {
      EXPECT_EQ(ui.Lines(IDC_PAYEE), c.loaded);
      Fill("", "01/01/2003", "Mid", "", "10");
      ui.Click(IDC_NEW);
    });
    Run();
    EXPECT_EQ(Setting("NumPayees"), c.countAfter);
    EXPECT_EQ(Setting(c.keyAfter), "Mid");
    Sql("DELETE FROM QAccounts");
  }
}

// The profile readers strip spaces and one pair of quotes: without care such
// a payee came back changed and was stored again at every start.
TEST_F(RegisterTest, PayeesWithQuotesOrSpacesAtTheEndsReadBackAsTyped) {
  const Lines payees = {"\"Joe\"", " Padded ", "'Al'", "\"half", "tab\t"};
  AddAccount(0);
  ui.Then([&] {
    for (const std::string& payee : payees) {
      Fill("", "01/01/2003", payee, "", "10");
      ui.Click(IDC_NEW);
    }
  });
  Run();
  Restart();
  ui.Then([&] {
    Lines loaded = ui.Lines(IDC_PAYEE);
    std::sort(loaded.begin(), loaded.end());
    Lines expected = payees;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(loaded, expected);
    for (const std::string& payee : payees) {
      Fill("", "01/02/2003", payee, "", "10");
      ui.Click(IDC_NEW);
    }
  });
  Run();
  EXPECT_EQ(Setting("NumPayees"), std::to_string(payees.size()));
}

TEST_F(RegisterTest, APayeeCutAtTheReadersLimitKeepsOnlyWholeCharacters) {
  const std::string kept(78, 'a');
  WritePrivateProfileStringA(kSettingsSection, "NumPayees", "1", appState.iniPath.Text());
  WritePrivateProfileStringA(kSettingsSection, "Payee_1", (kept + "\xC3\xA9").c_str(), appState.iniPath.Text());
  AddAccount(0);
  ui.Then([&] { EXPECT_EQ(ui.Lines(IDC_PAYEE), Lines{kept}); });
  Run();
}

}  // namespace
