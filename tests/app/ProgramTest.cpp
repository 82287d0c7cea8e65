// The built checkbook run as a person's script would run it: in a fresh
// folder, with the settings file and the database checked afterwards.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {


void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

struct Result {
  int exitCode = -1;
  std::string output;
};

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(scratch_.path.empty());
    root_ = scratch_.path;
    data_ = root_ / "data";
    fs::create_directory(data_);
  }

  // Runs the program in the data folder with the script as its input.
  Result Run(const std::string& script, const fs::path& exe = CHECKBOOK_EXE) {
    WriteFile(root_ / "script.txt", script);
    std::string command = "cd " + Quoted(data_) + " && " + Quoted(exe) + " < " + Quoted(root_ / "script.txt") +
                          " > " + Quoted(root_ / "output.txt") + " 2>&1";
    int status = std::system(command.c_str());
    Result result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.output = ReadFile(root_ / "output.txt");
    return result;
  }

  // Output of a query run by the sqlite3 command on the program's database.
  std::string Query(const std::string& sql) {
    std::string command = "sqlite3 " + Quoted(data_ / "Ledger.dat") + " \"" + sql + "\" > " +
                          Quoted(root_ / "query.txt") + " 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << ReadFile(root_ / "query.txt");
    return ReadFile(root_ / "query.txt");
  }

  TempFolder scratch_;
  fs::path root_;
  fs::path data_;
};

// What a shell user gets from the command line: help and version on
// standard output, anything else refused with the usage on standard error. In
// every case the register is never started, so no file appears in the folder.
TEST_F(ProgramTest, CommandLineArgumentsAreAnsweredWithoutStartingTheRegister) {
  const std::string version = std::string("checkbook ") + CHECKBOOK_VERSION + "\n";
  struct Case {
    std::string arguments;
    int exitCode;
    std::string out;  // exact standard output, or "usage" for the usage text
    bool usageOnError;
  } cases[] = {
      {"--help", 0, "usage", false},
      {"--version", 0, version, false},
      {"--version --help", 0, "usage", false},
      {"--bogus", 2, "", true},
      {"-h", 2, "", true},
      {"--help extra", 2, "", true},
      {"''", 2, "", true},
      {"--window --terminal", 2, "", true},
      {"--script --desktop", 2, "", true},
      {"--window --window --help", 0, "usage", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    std::string command = "cd " + Quoted(data_) + " && " + Quoted(CHECKBOOK_EXE) + " " + c.arguments +
                          " < /dev/null > " + Quoted(root_ / "out.txt") + " 2> " + Quoted(root_ / "err.txt");
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), c.exitCode);
    std::string out = ReadFile(root_ / "out.txt");
    std::string err = ReadFile(root_ / "err.txt");
    if (c.out == "usage") {
      EXPECT_EQ(out.rfind("Usage: checkbook", 0), 0u) << out;
      for (const char* word : {"Ledger.dat", "RErivaRude.ini", "Report.txt", "standard input", "man checkbook", "--window",
                               "--terminal", "--script", "--desktop"})
        EXPECT_NE(out.find(word), std::string::npos) << word;
    } else {
      EXPECT_EQ(out, c.out);
    }
    EXPECT_EQ(err.find("Usage: checkbook") != std::string::npos, c.usageOnError) << err;
    EXPECT_TRUE(fs::is_empty(data_));
  }
}

// Asked for a window where there is no display (an SSH session, a service),
// the program says so and ends, instead of falling back to something else.
TEST_F(ProgramTest, AWindowWithoutADisplayIsRefusedWithCodeOneAndNothingWritten) {
  for (const char* option : {"--window", "--desktop"}) {
    SCOPED_TRACE(option);
    std::string command = "cd " + Quoted(data_) + " && env -u DISPLAY -u WAYLAND_DISPLAY HOME=" + Quoted(root_) + " " +
                          Quoted(CHECKBOOK_EXE) + " " + option + " < /dev/null > " + Quoted(root_ / "out.txt") +
                          " 2> " + Quoted(root_ / "err.txt");
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(ReadFile(root_ / "out.txt"), "");
    EXPECT_NE(ReadFile(root_ / "err.txt").find("no display"), std::string::npos) << ReadFile(root_ / "err.txt");
    EXPECT_TRUE(fs::is_empty(data_));
    EXPECT_FALSE(fs::exists(root_ / "Documents")) << "the documents folder was made for a window never shown";
  }
}

// Forced by option, the script front end reads standard input even where the
// terminal would have been chosen.
TEST_F(ProgramTest, ScriptOptionDrivesTheRegisterFromStandardInput) {
  WriteFile(root_ / "script.txt", "menu 40001\ntype 1013 Household\ntype 1014 100\nclick 1\n");
  std::string command = "cd " + Quoted(data_) + " && " + Quoted(CHECKBOOK_EXE) + " --script < " +
                        Quoted(root_ / "script.txt") + " > /dev/null 2>&1";
  int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Query("SELECT mBankName FROM QAccounts"), "Household\n");
}

TEST_F(ProgramTest, HelpThatCannotBeWrittenIsNotReportedAsSuccess) {
  std::string command = Quoted(CHECKBOOK_EXE) + " --help > /dev/full";
  int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
}

TEST_F(ProgramTest, WithoutTheEngineItSaysSoAndLeavesTheSettingsAlone) {
  fs::path lonely = root_ / "bin" / "checkbook";
  fs::create_directory(root_ / "bin");
  fs::copy_file(CHECKBOOK_EXE, lonely);
  WriteFile(data_ / "RErivaRude.ini", "[RErivaRude_100]\nHideRec=5\n");

  Result run = Run("", lonely);

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.output.find("caption \"Error\""), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("Can not start application\\nRequired components are missing."), std::string::npos)
      << run.output;
  EXPECT_EQ(ReadFile(data_ / "RErivaRude.ini"), "[RErivaRude_100]\nHideRec=5\n");
  EXPECT_FALSE(fs::exists(data_ / "Ledger.dat"));
}

TEST_F(ProgramTest, ALedgerThatIsNotADatabaseEndsWithCodeOneAndNoSettingsWritten) {
  WriteFile(data_ / "Ledger.dat", std::string(4096, 'x'));

  Result run = Run("");

  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("caption \"RErivarude\""), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("Can not open Database."), std::string::npos) << run.output;
  EXPECT_FALSE(fs::exists(data_ / "RErivaRude.ini"));
  EXPECT_EQ(ReadFile(data_ / "Ledger.dat"), std::string(4096, 'x'));
}

TEST_F(ProgramTest, AFirstRunCreatesBothTablesAndTheSettingsFile) {
  Result run = Run("");

  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(Query(".tables"), "QAccounts  QLedger  \n");
  EXPECT_EQ(Query("SELECT count(*) FROM QAccounts"), "0\n");
  EXPECT_EQ(ReadFile(data_ / "RErivaRude.ini"), "[RErivaRude_100]\nHideRec=0\n");

  // The second run finds the tables and changes nothing.
  run = Run("");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(Query("SELECT count(*) FROM QLedger"), "0\n");
}

TEST_F(ProgramTest, AnyHidePreferenceIsWrittenBackAsOneAndTheMenuShowsIt) {
  WriteFile(data_ / "RErivaRude.ini", "; kept\n[RErivaRude_100]\nHideRec=5\nNumPayees=0\n");

  Result run = Run("print\n");

  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(ReadFile(data_ / "RErivaRude.ini"), "; kept\n[RErivaRude_100]\nHideRec=1\nNumPayees=0\n");
}

TEST_F(ProgramTest, ExitFromTheMenuAlsoWritesTheSettings) {
  Result run = Run("menu 40003\nmenu 40002\n");

  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(ReadFile(data_ / "RErivaRude.ini"), "[RErivaRude_100]\nHideRec=1\n");
}

TEST_F(ProgramTest, AWholeSessionFromAnEmptyFolder) {
  Result run = Run(
      "# the account\n"
      "menu 40001\n"
      "type 1013 Household\n"
      "type 1014 250\n"
      "click 1\n"
      "# a check, a deposit and a purchase\n"
      "type 1007 101\n"
      "type 1006 01/15/2003\n"
      "type 1002 Corner Grocery\n"
      "type 1005 23.50\n"
      "click 1008\n"
      "type 1007 \n"
      "type 1006 01/16/2003\n"
      "type 1002 Salary\n"
      "type 1004 1200\n"
      "type 1005 \n"
      "click 1008\n"
      "type 1006 01/17/2003\n"
      "type 1002 O'Brien's Books\n"
      "type 1004 \n"
      "type 1005 40\n"
      "click 1008\n"
      "# the purchase was 25.00, not 23.50\n"
      "select 1001 0\n"
      "type 1005 25.00\n"
      "click 1009\n"
      "# the books go back\n"
      "select 1001 2\n"
      "click 1010\n"
      "# the statement shows the deposit\n"
      "click 1011\n"
      "select 1001 1\n"
      "click 1011\n"
      "menu 40005\n"
      "print\n"
      "menu 40002\n");

  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("messagebox"), std::string::npos) << run.output;
  EXPECT_EQ(Query("SELECT mDate, mCheckNum, mPayee, mDebit, mCredit, mAccID, mStatus FROM QLedger ORDER BY mDate"),
            "01/15/2003|101|Corner Grocery|25.0|0.0|1|0\n"
            "01/16/2003|0|Salary|0.0|1200.0|1|2\n");
  EXPECT_EQ(Query("SELECT mAccID, mBankName, mBankAccN IS NULL, mInitialBalance, mAccBalance FROM QAccounts"),
            "1|Household|1|250.0|1425.0\n");
  EXPECT_EQ(ReadFile(data_ / "RErivaRude.ini"),
            "[RErivaRude_100]\nNumPayees=3\nPayee_1=Corner Grocery\nPayee_2=Salary\nPayee_3=O'Brien's Books\n"
            "HideRec=0\n");
  const std::string pad = "                                        ";  // 40 spaces
  EXPECT_EQ(ReadFile(data_ / "Report.txt"),
            "\nRErivarude v 1.01\n"
            " ##   Date        Description                           Credit  Debit St\n" +
                std::string(74, '-') + "\n" +
                "  101 01/15/2003  Corner Grocery" + pad.substr(0, 24) + "  " + "        " + "25.00  " + "  \n" +
                "      01/16/2003  Salary" + pad.substr(0, 32) + "  " + "1200.00  " + "        " + " R\n");
}

// Each copy keeps the balance in memory and writes it back: two at once put it
// out of step. The second is refused as for any database it cannot open,
// while the first goes on and other programs can still read the file.
TEST_F(ProgramTest, ASecondCopyOnTheSameFolderIsRefusedWhileTheFirstGoesOn) {
  std::string command = "cd " + Quoted(data_) + " && exec " + Quoted(CHECKBOOK_EXE) + " > " +
                        Quoted(root_ / "first.txt") + " 2>&1";
  FILE* first = popen(command.c_str(), "w");
  ASSERT_NE(first, nullptr);
  fputs("menu 40001\ntype 1013 Household\ntype 1014 100\nclick 1\n"
        "type 1006 01/15/2003\ntype 1002 Rent\ntype 1004 1.00\nclick 1008\n",
        first);
  fflush(first);
  // The first copy is running once its credit is stored; it then waits for input.
  std::string probe = "sqlite3 " + Quoted(data_ / "Ledger.dat") + " 'SELECT count(*) FROM QLedger' 2>/dev/null";
  bool stored = false;
  for (int i = 0; i < 200 && !stored; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    FILE* out = popen(probe.c_str(), "r");
    char line[16] = "";
    stored = fgets(line, sizeof line, out) != nullptr && std::string(line) == "1\n";
    pclose(out);
  }
  ASSERT_TRUE(stored);

  Result second = Run("type 1006 01/15/2003\ntype 1002 Rent\ntype 1004 1.00\nclick 1008\n");
  EXPECT_EQ(second.exitCode, 1);
  EXPECT_NE(second.output.find("caption \"RErivarude\""), std::string::npos) << second.output;
  EXPECT_NE(second.output.find("Can not open Database."), std::string::npos) << second.output;
  EXPECT_EQ(Query("SELECT count(*), sum(mCredit) FROM QLedger"), "1|1.0\n");

  fputs("type 1006 01/16/2003\ntype 1002 Shop\ntype 1004 2.00\nclick 1008\n", first);
  int status = pclose(first);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadFile(root_ / "first.txt");
  EXPECT_EQ(Query("SELECT count(*), sum(mCredit) FROM QLedger"), "2|3.0\n");
  EXPECT_EQ(Query("SELECT mAccBalance FROM QAccounts"), "103.0\n");

  Result next = Run("menu 40002\n");
  EXPECT_EQ(next.exitCode, 0) << next.output;
}

// Every file the register and checkbook-io make is their owner's alone,
// whatever the umask; a file that is there already keeps the mode it has.
TEST_F(ProgramTest, FilesAreMadeForTheirOwnerAloneAndKeepAModeGivenThem) {
  const std::string script =
      "menu 40001\ntype 1013 Household\ntype 1014 100\nclick 1\ntype 1006 01/15/2003\ntype 1002 Rent\n"
      "type 1005 45\nclick 1008\nmenu 40005\nmenu 40002\n";
  const char* files[] = {"Ledger.dat", "RErivaRude.ini", "Report.txt", "export.csv"};
  auto session = [&](const char* mask) {
    WriteFile(root_ / "script.txt", script);
    std::string command = "umask " + std::string(mask) + " && cd " + Quoted(data_) + " && " + Quoted(CHECKBOOK_EXE) +
                          " < " + Quoted(root_ / "script.txt") + " > /dev/null && " + Quoted(CHECKBOOK_IO_EXE) +
                          " export export.csv > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
  };
  struct Case {
    const char* mask;
    bool existing;  // the files are there with mode 0640 before
    fs::perms mode;
  } cases[] = {
      {"022", false, fs::perms::owner_read | fs::perms::owner_write},
      {"077", false, fs::perms::owner_read | fs::perms::owner_write},
      {"077", true, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("umask ") + c.mask + (c.existing ? ", files there at 0640" : ""));
    fs::remove_all(data_);
    fs::create_directory(data_);
    if (c.existing) {
      session("022");
      for (const char* name : files) fs::permissions(data_ / name, c.mode);
    }
    session(c.mask);
    for (const char* name : files) EXPECT_EQ(fs::status(data_ / name).permissions(), c.mode) << name;
  }
}

}  // namespace
