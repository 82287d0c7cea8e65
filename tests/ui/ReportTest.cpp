#include <fstream>
#include <sstream>

#include "tests/ui/RegisterFixture.h"

namespace {

const std::string kBanner =
    "\nRErivarude v 1.01\n"
    " ##   Date        Description                           Credit  Debit St\n" +
    std::string(74, '-') + "\n";

std::string ReadReport() { return ReadFile("Report.txt"); }

TEST_F(RegisterTest, ReportWritesTheRowsAsShownInFixedColumns) {
  AddAccount(0);
  AddRow("01/15/2003", 1042, "Corner Grocery", 23.5, 0, 0);
  AddRow("01/16/2003", 123456, std::string(80, 'P'), 0, -5, 1);
  AddRow("01/17/2003", 0, "Nothing", 0, 0, 7);
  AddRow("01/18/2003", 0, "Hidden", 0, 1, 2);
  appState.hideReconciled = 1;
  ui.Then([&] {
    ui.Click(IDC_BALANCE);
    ui.SelectLine(IDC_REGISTER, 0);
    ui.ChooseMenu(ID_RECORD_REPORT);
  });
  Run();
  EXPECT_EQ(ReadReport(), kBanner +
                              " 1042 01/15/2003  Corner Grocery                          " + std::string(8, ' ') +
                              "23.50   B\n"
                              "123456 01/16/2003  " + std::string(80, 'P') + "  -5.00  " + std::string(8, ' ') +
                              " C\n"
                              "      01/17/2003  Nothing                                 " +
                              std::string(16, ' ') + "  \n");
  EXPECT_TRUE(ui.MessageBoxes().empty());
}

// Padded by bytes, an accented or Asian payee pulled the amounts left of
// their column.
TEST_F(RegisterTest, ReportPadsThePayeeToColumnsNotBytes) {
  struct Case {
    const char* payee;
    size_t spaces;
  };
  const Case cases[] = {
      {"Caf\xC3\xA9 Zo\xC3\xAB", 30},               // two 2-byte letters
      {"\xCE\xA9mega \xC3\x84rzte", 27},             // Greek and German
      {"\xE6\x9D\xB1\xE4\xBA\xAC Store", 28},        // two wide characters take two columns each
      {"\xF0\x9F\x8E\x81 Gifts", 30},                // a wide 4-byte character
  };
  std::string forty_columns;  // 80 bytes, wider than the column: nothing added
  for (int i = 0; i < 40; ++i) forty_columns += "\xC3\x84";
  AddAccount(0);
  int day = 1;
  for (const Case& c : cases) AddRow("01/0" + std::to_string(day++) + "/2003", 0, c.payee, 1, 0, 0);
  AddRow("01/09/2003", 0, forty_columns, 1, 0, 0);
  ui.Then([&] { ui.ChooseMenu(ID_RECORD_REPORT); });
  Run();

  std::string expected = kBanner;
  day = 1;
  for (const Case& c : cases) {
    expected += "      01/0" + std::to_string(day++) + "/2003  " + c.payee + std::string(c.spaces, ' ') + "  " +
                std::string(8, ' ') + "1.00    \n";
  }
  expected += "      01/09/2003  " + forty_columns + "  " + std::string(8, ' ') + "1.00    \n";
  EXPECT_EQ(ReadReport(), expected);
}

TEST_F(RegisterTest, ReportWithoutRowsIsTheBannerAndAnUnwritableReportIsLeftAlone) {
  ui.Then([&] { ui.ChooseMenu(ID_RECORD_REPORT); });
  Run();
  EXPECT_EQ(ReadReport(), kBanner);

  std::filesystem::remove("Report.txt");
  std::filesystem::create_directory("Report.txt");
  AddAccount(0);
  AddRow("01/15/2003", 0, "Shop", 1, 0, 0);
  ui.Then([&] { ui.ChooseMenu(ID_RECORD_REPORT); });
  Run();
  EXPECT_TRUE(std::filesystem::is_directory("Report.txt"));
  EXPECT_TRUE(std::filesystem::is_empty("Report.txt"));
  EXPECT_TRUE(ui.MessageBoxes().empty());
}

}  // namespace
