// checkbook-io run in-process on a Ledger.dat in a temporary folder, with the
// real engine; the ledger is read back through the engine after each run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "component/ComponentRegistry.h"
#include "component/DatabaseEngine.h"
#include "io/CommandLine.h"
#include "io/Fields.h"
#include "io/StatementFiles.h"
#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

struct Result {
  int code = -1;
  std::string out;
  std::string err;
};

std::string ReadStream(std::FILE* file) {
  std::string text;
  std::rewind(file);
  char block[4096];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, got);
  std::fclose(file);
  return text;
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}


int32_t CollectLines(void* context, int32_t count, char** texts, char**) {
  std::string line;
  for (int32_t i = 0; i < count; ++i) {
    if (i) line += '|';
    line += texts[i] ? texts[i] : "NULL";
  }
  static_cast<std::vector<std::string>*>(context)->push_back(line);
  return 0;
}

const char kLedgerTable[] =
    "CREATE TABLE QLedger (mTransID INTEGER PRIMARY KEY,mDate VARCHAR(20),mCheckNum INTEGER,mPayee VARCHAR(80),"
    "mDebit FLOAT,mCredit FLOAT,mAccID INTEGER,mStatus INTEGER)";
const char kAccountTable[] =
    "CREATE TABLE QAccounts (mAccID INTEGER PRIMARY KEY,mAccBalance FLOAT,mLastBalResult FLOAT,mViewMode INTEGER,"
    "mBankName VARCHAR(40) UNIQUE,mBankAccN VARCHAR(40),mLastBalance VARCHAR(20), mInitialBalance FLOAT, "
    "mPostAmmount FLOAT,mEndStatement FLOAT, mStatementDate VARCHAR(20))";

class ImportExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous = fs::current_path();
    fs::current_path(folder.path);
    Sql({kLedgerTable, kAccountTable,
         "INSERT INTO QAccounts VALUES (NULL, 250.00, 0.00, 0, 'Household', NULL, NULL, 250.00, 0.00, 0.00, NULL)"});
  }
  void TearDown() override { fs::current_path(previous); }

  // The engine is open only while a query runs, never beside checkbook-io.
  std::vector<std::string> Sql(const std::vector<std::string>& statements) {
    ComponentRegistry registry;
    auto* engine = LoadDatabaseEngine(registry);
    EXPECT_NE(engine, nullptr);
    std::vector<std::string> lines;
    if (!engine) return lines;
    EXPECT_NE(engine->Open("Ledger.dat"), 0);
    for (const std::string& sql : statements) EXPECT_NE(engine->Execute(sql.c_str(), &lines, CollectLines), 0) << sql;
    engine->Close();
    engine->Release();
    ReleaseModules(registry);
    return lines;
  }
  std::vector<std::string> Rows() {
    return Sql({"SELECT mDate, mCheckNum, mPayee, printf('%.2f', mDebit), printf('%.2f', mCredit), mStatus "
                "FROM QLedger ORDER BY mTransID"});
  }
  std::string Balance() { return Sql({"SELECT printf('%.2f', mAccBalance) FROM QAccounts"}).at(0); }

  Result Run(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "checkbook-io");
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Result result;
    result.code = RunCheckbookIo(static_cast<int>(argv.size()), argv.data(), out, err);
    result.out = ReadStream(out);
    result.err = ReadStream(err);
    return result;
  }

  TempFolder folder;
  fs::path previous;
};

// 80 bytes of payee end inside the two-byte e-acute: it is dropped whole.
const std::string kLongPayee = std::string(79, 'x') + "\xC3\xA9" + "tail";
const std::string kHostile = "O'Brien \"Quote\"; DROP TABLE QLedger;--";

struct FormatCase {
  const char* name;
  std::string file;
  std::string text;
  std::vector<std::string> options;
};

// Every field of each format, with the rows and balance they must give.
TEST_F(ImportExportTest, EveryFieldOfEachFormatLandsInItsColumn) {
  const std::vector<std::string> expected = {
      "01/15/2003|101|" + kHostile + "|1200.00|0.00|1",
      "01/16/2003|0|Salary|0.00|500.50|2",
      "02/01/2003|0|" + std::string(79, 'x') + "|3.50|0.00|0",
  };
  std::vector<FormatCase> cases = {
      {"QIF", "s.qif",
       "!Type:Bank\nD01/15/2003\nT-1,200.00\nN101\nP" + kHostile + "\nC*\nLRent\n^\n"
       "D1/16'03\nU500.50\nT500.50\nNDEP\nPSalary\nCX\n^\n"
       "D2/1/2003\nT-3.50\nP" + kLongPayee + "\nMmemo\n^\n",
       {}},
      {"CSV with a header", "s.csv",
       "\xEF\xBB\xBF" "Check #,Transaction Date,Description,Withdrawal,Deposit,Status\r\n"
       "101,2003-01-15,\"O'Brien \"\"Quote\"\"; DROP TABLE QLedger;--\",\"1,200.00\",,*\r\n"
       ",01/16/2003,Salary,,500.5,X\r\n"
       "ATM,2003-02-01," + kLongPayee + ",3.50,,\r\n",
       {}},
      {"CSV with ; and decimal commas", "s.csv",
       "Datum;Text;Betrag;Nr;St\n"
       "15.01.2003;\"" + std::string("O'Brien \"\"Quote\"\"; DROP TABLE QLedger;--") + "\";-1.200,00;101;*\n"
       "16.01.2003;Salary;500,50;;X\n"
       "01.02.2003;" + kLongPayee + ";-3,5;;\n",
       {"--columns", "date;payee;amount;check", "--input-date-format", "%d.%m.%Y"}},
  };
  // --columns lists names with commas; the case above uses ; for readability.
  cases[2].options[1] = "date,payee,amount,check,status";
  {
    cases.push_back({"OFX", "s.ofx",
                     "OFXHEADER:100\nDATA:OFXSGML\nVERSION:102\nSECURITY:NONE\nENCODING:USASCII\nCHARSET:1252\n"
                     "COMPRESSION:NONE\nOLDFILEUID:NONE\nNEWFILEUID:NONE\n\n<OFX>\n"
                     "<SIGNONMSGSRSV1><SONRS><STATUS><CODE>0<SEVERITY>INFO</STATUS><DTSERVER>20030131"
                     "<LANGUAGE>ENG</SONRS></SIGNONMSGSRSV1>\n"
                     "<BANKMSGSRSV1><STMTTRNRS><TRNUID>1<STATUS><CODE>0<SEVERITY>INFO</STATUS><STMTRS><CURDEF>USD"
                     "<BANKACCTFROM><BANKID>1<ACCTID>2<ACCTTYPE>CHECKING</BANKACCTFROM>\n"
                     "<BANKTRANLIST><DTSTART>20030101<DTEND>20030228\n"
                     "<STMTTRN><TRNTYPE>CHECK<DTPOSTED>20030115<TRNAMT>-1200.00<FITID>1<CHECKNUM>101"
                     "<NAME>O'Brien \"Quote\"; DROP TABLE QLedger;--</STMTTRN>\n"
                     "<STMTTRN><TRNTYPE>CREDIT<DTPOSTED>20030116<TRNAMT>500.50<FITID>2<NAME>Salary</STMTTRN>\n"
                     "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20030201<TRNAMT>-3.5<FITID>3<MEMO>" + std::string(79, 'x') +
                     "</STMTTRN>\n</BANKTRANLIST><LEDGERBAL><BALAMT>0<DTASOF>20030228</LEDGERBAL></STMTRS></STMTTRNRS></BANKMSGSRSV1>\n</OFX>\n",
                     {}});
  }
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.name);
    Sql({"DELETE FROM QLedger", "UPDATE QAccounts SET mAccBalance = 250.00"});
    WriteFile(c.file, c.text);
    std::vector<std::string> arguments = c.options;
    arguments.insert(arguments.begin(), "import");
    arguments.push_back(c.file);
    Result result = Run(arguments);
    ASSERT_EQ(result.code, 0) << result.err;
    std::vector<std::string> rows = Rows();
    // OFX carries no status.
    if (std::string(c.name) == "OFX") {
      for (std::string& row : rows) row.back() = '0';
      EXPECT_EQ(rows, (std::vector<std::string>{expected[0].substr(0, expected[0].size() - 1) + "0",
                                                 expected[1].substr(0, expected[1].size() - 1) + "0", expected[2]}));
    } else {
      EXPECT_EQ(rows, expected);
    }
    EXPECT_EQ(Balance(), "-453.00");
    // The long payee is cut and counted; the OFX file holds one that fits.
    EXPECT_EQ(result.out, std::string("added 3, matched 0 (0 newly cleared), skipped 0 as duplicates, ") +
                              (std::string(c.name) == "OFX" ? "" : "1 payee cut to 80 characters, ") +
                              "balance -453.00\n");
  }
}

// The same statement twice adds nothing; two equal rows in one statement are
// two transactions. Without matching a near row is added beside its twin.
TEST_F(ImportExportTest, ReimportAddsNothingButEqualRowsInOneFileAreKept) {
  WriteFile("s.qif", "!Type:Bank\nD01/02/2003\nT-4.00\nPCoffee\n^\nD01/02/2003\nT-4.00\nPCoffee\n^\n"
                     "D01/02/2003\nT-4.00\nN5\nPCoffee\n^\n");
  EXPECT_EQ(Run({"import", "s.qif"}).out, "added 3, matched 0 (0 newly cleared), skipped 0 as duplicates, balance 238.00\n");
  EXPECT_EQ(Run({"import", "s.qif"}).out, "added 0, matched 0 (0 newly cleared), skipped 3 as duplicates, balance 238.00\n");
  WriteFile("more.qif", "!Type:Bank\nD01/02/2003\nT-4.00\nPCoffee\n^\nD01/03/2003\nT-4.00\nPCoffee\n^\n");
  Result dry = Run({"import", "--dry-run", "--no-match", "more.qif"});
  EXPECT_EQ(dry.out, "would add: 01/03/2003\t0\tCoffee\t\t4.00\t\n"
                     "dry run: would add 1, match 0 (0 newly cleared), skip 1 as duplicates, balance would be 234.00\n");
  EXPECT_EQ(Rows().size(), 3u);
  EXPECT_EQ(Run({"import", "--no-match", "more.qif"}).out, "added 1, matched 0 (0 newly cleared), skipped 1 as duplicates, balance 234.00\n");
}

// One bad row at the end of a long file: nothing is written, and the
// message names the file and the line.
TEST_F(ImportExportTest, BadLastLineOfLongFileWritesNothing) {
  struct Case {
    std::string file, text, message;
  } cases[] = {
      {"long.qif", "!Type:Bank\n", "long.qif:20004: '12.3.4' is not an amount\n"},
      {"long.csv", "date,payee,amount\n", "long.csv:5002: '02/30/2003' is not a date\n"},
  };
  for (int i = 0; i < 5000; ++i) {
    cases[0].text += "D01/02/2003\nT-1.25\nPRow " + std::to_string(i) + "\n^\n";
    cases[1].text += "01/02/2003,Row " + std::to_string(i) + ",2.50\n";
  }
  cases[0].text += "D01/03/2003\nPLast\nT12.3.4\n^\n";
  cases[1].text += "02/30/2003,Last,1.00\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    WriteFile(c.file, c.text);
    Result result = Run({"import", c.file});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, c.message + "checkbook-io: nothing was added\n");
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(Balance(), "250.00");
  }
}

// The running balance after an import is the initial balance plus the
// credits minus the debits, to the cent, and equals the sum of the rows.
TEST_F(ImportExportTest, BalanceAfterImportIsInitialPlusCreditsMinusDebits) {
  std::string text = "date,payee,amount\n";
  long long cents = 25000;
  for (int i = 1; i <= 3000; ++i) {
    // Small enough for the single-precision balance to keep every cent.
    long long amount = (i % 2 == 0 ? -1 : 1) * (i * 7919 % 10000 + 1);
    cents += amount;
    char line[64];
    std::snprintf(line, sizeof line, "2003-03-%02d,P%d,%.2f\n", i % 28 + 1, i, amount / 100.0);
    text += line;
  }
  WriteFile("many.csv", text);
  ASSERT_EQ(Run({"import", "many.csv"}).code, 0);
  char expected[64];
  std::snprintf(expected, sizeof expected, "%.2f", cents / 100.0);
  EXPECT_EQ(Balance(), expected);
  EXPECT_EQ(Sql({"SELECT printf('%.2f', 250 + sum(mCredit) - sum(mDebit)) FROM QLedger"}).at(0), expected);
}

// Exported rows imported into an empty ledger give the same rows; dates in
// another order than the text's are exported by the calendar.
TEST_F(ImportExportTest, ExportThenImportIntoEmptyLedgerGivesTheSameRows) {
  Sql({"INSERT INTO QLedger VALUES (NULL, '12/01/2002', 0, 'Later in text, earlier in time', 0, 9.99, 1, 0)",
       "INSERT INTO QLedger VALUES (NULL, '01/15/2003', 101, '" + std::string("O''Brien \"Q\", x;\nline") +
           "', 1200, 0, 1, 1)",
       "INSERT INTO QLedger VALUES (NULL, '01/16/2003', 0, '" + std::string(78, 'x') + "\xC3\xA9', 0, 0.01, 1, 2)",
       "INSERT INTO QLedger VALUES (NULL, '01/16/2003', 7, ' spaced ', 3.5, 0, 1, 3)"});
  const std::vector<std::string> before = Rows();
  for (std::string format : {"csv", "qif"}) {
    SCOPED_TRACE(format);
    Result exported = Run({"export", "out." + format});
    ASSERT_EQ(exported.code, 0) << exported.err;
    std::string text = ReadFile("out." + format);
    EXPECT_LT(text.find("12/01/2002"), text.find("01/15/2003"));
    fs::rename("Ledger.dat", "Full.dat");
    Sql({kLedgerTable, kAccountTable,
         "INSERT INTO QAccounts VALUES (NULL, 250.00, 0.00, 0, 'Household', NULL, NULL, 250.00, 0.00, 0.00, NULL)"});
    Result imported = Run({"import", "out." + format});
    ASSERT_EQ(imported.code, 0) << imported.err;
    std::vector<std::string> after = Rows(), expected = {before[0], before[1], before[2], before[3]};
    if (format == "qif") {
      // QIF has no line breaks in values and no mark for "marked while balancing".
      expected[1] = "01/15/2003|101|O'Brien \"Q\", x; line|1200.00|0.00|1";
      expected[3].back() = '0';
    }
    EXPECT_EQ(after, expected);
    fs::remove("Ledger.dat");
    fs::rename("Full.dat", "Ledger.dat");
  }
}

// Export lists the rows as the register does: dates it cannot read first, in
// text order, then by calendar date across the year, one date's rows as entered.
TEST_F(ImportExportTest, ExportListsTheRowsInTheRegistersOrder) {
  Sql({"INSERT INTO QLedger VALUES (NULL, '1/2/2026', 0, 'New Year', 1, 0, 1, 0)",
       "INSERT INTO QLedger VALUES (NULL, '12/31/2025', 0, 'Eve', 2, 0, 1, 0)",
       "INSERT INTO QLedger VALUES (NULL, '01/02/26', 0, 'Same day', 3, 0, 1, 0)",
       "INSERT INTO QLedger VALUES (NULL, 'yesterday', 0, 'Unread', 4, 0, 1, 0)",
       "INSERT INTO QLedger VALUES (NULL, '01/18/2025', 0, 'Year before', 5, 0, 1, 0)"});
  Result exported = Run({"export", "out.csv"});
  ASSERT_EQ(exported.code, 0) << exported.err;
  const std::string text = ReadFile("out.csv");
  std::vector<size_t> at;
  for (const char* payee : {"Unread", "Year before", "Eve", "New Year", "Same day"}) at.push_back(text.find(payee));
  EXPECT_NE(at.front(), std::string::npos) << text;
  EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << text;
}

// What is refused, with which exit code, and that nothing changes.
TEST_F(ImportExportTest, RefusalsGiveTheirExitCodeAndChangeNothing) {
  WriteFile("ok.qif", "!Type:Bank\nD01/02/2003\nT-1.00\nPShop\n^\n");
  WriteFile("empty.csv", "\xEF\xBB\xBF");
  WriteFile("huge.csv", "date,payee,amount\n01/02/2003,Big,10000000.37\n");
  WriteFile("latin1.csv", "date,payee,amount\n01/02/2003,Caf\xE9,1.00\n");
  WriteFile("noheader.csv", "01/02/2003,Shop,1.00\n");
  WriteFile("open.csv", "date,payee,amount\n01/02/2003,\"Shop,1.00\n");
  struct Case {
    std::vector<std::string> arguments;
    int code;
    std::string errStart;
  } cases[] = {
      {{"import", "--frobnicate", "ok.qif"}, 2, "checkbook-io: unknown option --frobnicate\nUsage:"},
      {{"import", "--format", "xls", "ok.qif"}, 2, "checkbook-io: unknown format 'xls'\nUsage:"},
      {{"import", "--date-format", "%Q", "ok.qif"}, 2, "checkbook-io: '%Q' is not a date format"},
      {{"import"}, 2, "checkbook-io: a command and one FILE are needed\nUsage:"},
      {{"import", "--match-days", "7d", "ok.qif"}, 2, "checkbook-io: --match-days takes a number of days from 0 to 365"},
      {{"import", "--match-days=366", "ok.qif"}, 2, "checkbook-io: --match-days takes a number of days from 0 to 365"},
      {{"export", "--no-match", "out.csv"}, 2, "checkbook-io: --match-days and --no-match are for import"},
      {{"export", "out.txt"}, 2, "checkbook-io: export writes CSV or QIF"},
      {{"import", "missing.qif"}, 1, "checkbook-io: cannot read missing.qif"},
      {{"import", "huge.csv"}, 1, "huge.csv:2: the amount 10000000.37 is too large"},
      {{"import", "latin1.csv"}, 1, "latin1.csv:2: the text is not UTF-8; for a file in another encoding give"},
      {{"import", "noheader.csv"}, 1, "noheader.csv:1: no date column"},
      {{"import", "open.csv"}, 1, "open.csv:2: a quoted field is not closed"},
      {{"export", "--format", "csv", "./Ledger.dat"}, 1, "checkbook-io: will not write over Ledger.dat\n"},
      {{"import", "empty.csv"}, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.back());
    Result result = Run(c.arguments);
    EXPECT_EQ(result.code, c.code);
    EXPECT_EQ(result.err.substr(0, c.errStart.size()), c.errStart) << result.err;
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(Balance(), "250.00");
  }
  EXPECT_EQ(Run({"import", "empty.csv"}).out, "added 0, matched 0 (0 newly cleared), skipped 0 as duplicates, balance 250.00\n");

  // No account, a file that is no database, and no ledger at all.
  Sql({"DELETE FROM QAccounts"});
  Result noAccount = Run({"import", "ok.qif"});
  EXPECT_EQ(noAccount.code, 1);
  EXPECT_EQ(noAccount.err, "checkbook-io: Ledger.dat has no account; create it in the register first\n");
  WriteFile("Ledger.dat", "this is not a database, just text long enough to be read as a header........");
  Result notLedger = Run({"export", "out.csv"});
  EXPECT_EQ(notLedger.code, 1);
  EXPECT_EQ(notLedger.err.rfind("checkbook-io: can not open Ledger.dat", 0), 0u) << notLedger.err;
  fs::remove("Ledger.dat");
  EXPECT_EQ(Run({"import", "ok.qif"}).code, 1);
  EXPECT_FALSE(fs::exists("Ledger.dat"));
}

// 10,000 rows, kept near the opening balance, land on the exact sum: each
// row moves the balance by its two-decimal amount, at every size of balance
// single precision keeps to the cent.
TEST_F(ImportExportTest, ImportOfTenThousandRowsLandsOnTheExactSum) {
  for (int64_t opening : {25000, 4500000, 12000000}) {
    SCOPED_TRACE(opening);
    Sql({"DELETE FROM QLedger", "UPDATE QAccounts SET mAccBalance = " + FormatCents(opening) +
                                    ", mInitialBalance = " + FormatCents(opening)});
    std::string csv = "date,payee,amount\n";
    int64_t balance = opening;
    uint32_t random = static_cast<uint32_t>(opening);
    for (int i = 0; i < 10000; ++i) {
      random = random * 1664525u + 1013904223u;
      int64_t cents = 1 + static_cast<int64_t>(random >> 8) % 30000;
      if (balance > opening) cents = -cents;
      balance += cents;
      csv += "2003-01-" + std::to_string(10 + i % 19) + ",Payee " + std::to_string(i) + "," + FormatCents(cents) + "\n";
    }
    WriteFile("big.csv", csv);
    const std::string dry = Run({"import", "--dry-run", "big.csv"}).out;
    const std::string summary =
        "dry run: would add 10000, match 0 (0 newly cleared), skip 0 as duplicates, balance would be " + FormatCents(balance) + "\n";
    EXPECT_TRUE(dry.ends_with(summary)) << dry.substr(dry.size() - std::min<size_t>(dry.size(), 100));
    Result result = Run({"import", "big.csv"});
    EXPECT_EQ(result.out, "added 10000, matched 0 (0 newly cleared), skipped 0 as duplicates, balance " + FormatCents(balance) + "\n") << result.err;
    EXPECT_EQ(Balance(), FormatCents(balance));
    EXPECT_EQ(Sql({"SELECT printf('%.2f', " + FormatCents(opening) + " + total(mCredit) - total(mDebit)) FROM QLedger"}),
              std::vector<std::string>{FormatCents(balance)});
  }
}

// An amount or a resulting balance that single precision can not keep to the
// cent refuses the whole import, and the dry run says so too.
TEST_F(ImportExportTest, ImportBeyondWhatKeepsEveryCentIsRefusedWhole) {
  WriteFile("million.csv", "date,payee,amount\n01/02/2003,Shop,-1.00\n01/03/2003,Lottery,1000000.00\n");
  std::string climb = "date,payee,amount\n";
  for (int i = 0; i < 8; ++i) climb += "01/0" + std::to_string(i + 1) + "/2003,Pay " + std::to_string(i) + ",125000.00\n";
  WriteFile("climb.csv", climb);
  const std::string beyond =
      "the balance would come to 1000250.00, and the register keeps balances to the cent only between -131072.00 and "
      "131072.00";
  struct Case {
    std::vector<std::string> arguments;
    std::string err;
  } cases[] = {
      {{"import", "million.csv"},
       "million.csv:3: the amount 1000000.00 is too large: the register keeps amounts to the cent only below "
       "131072.00\ncheckbook-io: nothing was added\n"},
      {{"import", "climb.csv"}, "checkbook-io: " + beyond + "; nothing was added\n"},
      {{"import", "--dry-run", "climb.csv"}, "checkbook-io: " + beyond + "; the import would add nothing\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.back());
    Result result = Run(c.arguments);
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, c.err);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(Balance(), "250.00");
  }
}

// Each encoding with a file valid in it and one that is not; the refusal
// names --encoding and changes nothing.
TEST_F(ImportExportTest, EachEncodingTakesItsOwnTextAndRefusesOtherBytes) {
  const std::string header = "date,payee,amount\n01/02/2003,";
  // UTF-16 little-endian with its mark, as Excel's "Unicode text" writes it.
  auto utf16 = [](const std::string& latin1) {
    std::string out = "\xFF\xFE";
    for (char c : latin1) out += std::string{c, '\0'};
    return out;
  };
  struct Case {
    const char* name;
    std::vector<std::string> options;
    std::string file;
    std::string payee;  // stored, or empty when refused
    std::string errStart;
  } cases[] = {
      {"utf-8 by default", {}, header + "Caf\xC3\xA9 \xE2\x82\xAC,1.00\n", "Caf\xC3\xA9 \xE2\x82\xAC", ""},
      {"windows-1252 without --encoding", {}, header + "Caf\xE9,1.00\n", "",
       "s.csv:2: the text is not UTF-8; for a file in another encoding give --encoding windows-1252 or "
       "--encoding latin-1\n"},
      {"windows-1252", {"--encoding", "windows-1252"}, header + "Caf\xE9 \x80 \x93Zo\xEB\x94,1.00\n",
       "Caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9CZo\xC3\xAB\xE2\x80\x9D", ""},
      {"windows-1252 with a byte it lacks", {"--encoding=CP1252"}, header + "Caf\xE9\n01/03/2003,x\x81,1.00\n", "",
       "s.csv:3: byte 81 is no Windows-1252 character; check --encoding\n"},
      {"windows-1252 given a UTF-8 file with its mark", {"--encoding", "windows-1252"},
       "\xEF\xBB\xBF" + header + "Caf\xC3\xA9,1.00\n", "",
       "s.csv:1: the file starts with a UTF-8 byte-order mark, so it is no Windows-1252 text; leave out --encoding\n"},
      {"latin-1", {"--encoding", "latin-1"}, header + "Caf\xE9 \xA3,1.00\n", "Caf\xC3\xA9 \xC2\xA3", ""},
      {"latin-1 read as Windows-1252, as the OFX label is", {"--encoding", "latin-1"},
       header + "\x93" "Caf\xE9\x94,1.00\n", "\xE2\x80\x9C" "Caf\xC3\xA9\xE2\x80\x9D", ""},
      {"utf-16 by its mark", {}, utf16(header + "Caf\xE9,1.00\r\n"), "Caf\xC3\xA9", ""},
      {"utf-16 cut in a surrogate pair", {}, utf16(header) + std::string("\x3D\xD8", 2) + utf16("x,1.00\n").substr(2), "",
       "s.csv:2: the text is not UTF-16, though the file starts with its byte-order mark\n"},
      {"latin-1 with NUL", {"--encoding", "latin-1"}, header + std::string("Caf\xE9\0,1.00\n", 10), "",
       "s.csv:2: byte 00 is no Latin-1 character; check --encoding\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sql({"DELETE FROM QLedger", "UPDATE QAccounts SET mAccBalance = 250.00"});
    WriteFile("s.csv", c.file);
    std::vector<std::string> arguments = c.options;
    arguments.insert(arguments.begin(), "import");
    arguments.push_back("s.csv");
    Result result = Run(arguments);
    if (c.payee.empty()) {
      EXPECT_EQ(result.code, 1);
      EXPECT_EQ(result.err, c.errStart + "checkbook-io: nothing was added\n");
      EXPECT_TRUE(Rows().empty());
    } else {
      EXPECT_EQ(result.code, 0) << result.err;
      EXPECT_EQ(Rows(), std::vector<std::string>{"01/02/2003|0|" + c.payee + "|0.00|1.00|0"});
    }
  }
  // QIF is read the same way.
  Sql({"DELETE FROM QLedger"});
  WriteFile("s.qif", "!Type:Bank\nD01/02/2003\nT-1.00\nPZo\xEB\n^\n");
  EXPECT_EQ(Run({"import", "s.qif"}).err.rfind("s.qif:4: the text is not UTF-8", 0), 0u);
  EXPECT_EQ(Run({"import", "--encoding", "windows-1252", "s.qif"}).code, 0);
  EXPECT_EQ(Rows(), std::vector<std::string>{"01/02/2003|0|Zo\xC3\xAB|1.00|0.00|0"});

  Result unknown = Run({"import", "--encoding", "ebcdic", "s.qif"});
  EXPECT_EQ(unknown.code, 2);
  EXPECT_EQ(unknown.err.rfind("checkbook-io: unknown encoding 'ebcdic': utf-8, windows-1252 or latin-1\n", 0), 0u);
  EXPECT_EQ(Run({"export", "--encoding", "latin-1", "out.csv"}).code, 2);
}

// Rows an older build stored in Windows-1252 leave as UTF-8; with --bom the CSV
// starts with the mark Excel needs, and it reads back the same.
TEST_F(ImportExportTest, ExportWritesOldTextAsUtf8AndTheMarkOnlyWhenAsked) {
  Sql({"INSERT INTO QLedger VALUES (NULL, '01/15/2003', 0, 'Caf\xE9 Zo\xEB', 5, 0, 1, 0)"});
  ASSERT_EQ(Run({"export", "plain.csv"}).code, 0);
  EXPECT_EQ(ReadFile("plain.csv"),
            "Check,Date,Payee,Credit,Debit,Status\r\n,01/15/2003,Caf\xC3\xA9 Zo\xC3\xAB,,5.00,\r\n");
  ASSERT_EQ(Run({"export", "--bom", "excel.csv"}).code, 0);
  EXPECT_EQ(ReadFile("excel.csv"), "\xEF\xBB\xBF" + ReadFile("plain.csv"));
  ASSERT_EQ(Run({"export", "r.qif"}).code, 0);
  EXPECT_NE(ReadFile("r.qif").find("\nPCaf\xC3\xA9 Zo\xC3\xAB\n"), std::string::npos);
  EXPECT_EQ(Run({"export", "--bom", "r.qif"}).code, 2);
  EXPECT_EQ(Run({"import", "--bom", "excel.csv"}).code, 2);

  // The stored row is left as it was; the same row from the export is a duplicate.
  EXPECT_EQ(Run({"import", "excel.csv"}).out, "added 0, matched 0 (0 newly cleared), skipped 1 as duplicates, balance 250.00\n");
  EXPECT_EQ(Rows(), std::vector<std::string>{"01/15/2003|0|Caf\xE9 Zo\xEB|5.00|0.00|0"});
}

}  // namespace

namespace {

struct MatchCase {
  const char* name;
  std::vector<std::string> held;  // register rows: date, check, payee, debit, credit, status
  std::string statement;          // QIF records
  std::vector<std::string> options;
  std::vector<std::string> rows;  // every row afterwards
  std::string summary;
};

std::string HeldRow(const std::string& values) {
  std::stringstream in(values);
  std::string date, check, payee, debit, credit, status;
  std::getline(in, date, '|');
  std::getline(in, check, '|');
  std::getline(in, payee, '|');
  std::getline(in, debit, '|');
  std::getline(in, credit, '|');
  std::getline(in, status, '|');
  return "INSERT INTO QLedger VALUES (NULL, '" + date + "', " + check + ", '" + payee + "', " + debit + ", " + credit +
         ", 1, " + status + ")";
}

}  // namespace

// A statement line and the register's row for it: matched (not added, a plain
// row cleared), added when outside the window or on the other side.
TEST_F(ImportExportTest, MatchingFindsTheEnteredRowOnlyWithinItsWindow) {
  const std::string grocery = "01/15/2003|0|Corner Grocery|23.50|0.00|0";
  const std::string check = "01/15/2003|1042|City Water|100.00|0.00|0";
  auto card = [](const char* date) { return std::string("D") + date + "\nT-23.50\nPCORNER GROCERY #123\n^\n"; };
  auto cashed = [](const char* date, const char* number) {
    return std::string("D") + date + "\nT-100.00\nN" + number + "\nPCHECK " + number + "\n^\n";
  };
  const std::string kCleared = "added 0, matched 1 (1 newly cleared), skipped 0 as duplicates, balance 250.00\n";
  const std::string kKept = "added 0, matched 1 (0 newly cleared), skipped 0 as duplicates, balance 250.00\n";
  auto Added = [](const std::string& balance) {
    return "added 1, matched 0 (0 newly cleared), skipped 0 as duplicates, balance " + balance + "\n";
  };
  const std::vector<MatchCase> cases = {
      {"7 days after", {grocery}, card("01/22/2003"), {}, {"01/15/2003|0|Corner Grocery|23.50|0.00|1"},
       kCleared},
      {"7 days before", {grocery}, card("01/08/2003"), {}, {"01/15/2003|0|Corner Grocery|23.50|0.00|1"},
       kCleared},
      {"8 days after", {grocery}, card("01/23/2003"), {},
       {"01/15/2003|0|Corner Grocery|23.50|0.00|0", "01/23/2003|0|CORNER GROCERY #123|23.50|0.00|0"},
       Added("226.50")},
      {"8 days with --match-days 8", {grocery}, card("01/23/2003"), {"--match-days", "8"},
       {"01/15/2003|0|Corner Grocery|23.50|0.00|1"}, kCleared},
      {"same day with --no-match", {grocery}, card("01/15/2003"), {"--no-match"},
       {"01/15/2003|0|Corner Grocery|23.50|0.00|0", "01/15/2003|0|CORNER GROCERY #123|23.50|0.00|0"},
       Added("226.50")},
      {"check cashed 90 days later", {check}, cashed("04/15/2003", "1042"), {},
       {"01/15/2003|1042|City Water|100.00|0.00|1"}, kCleared},
      {"check cashed 91 days later", {check}, cashed("04/16/2003", "1042"), {},
       {check, "04/16/2003|1042|CHECK 1042|100.00|0.00|0"}, Added("150.00")},
      {"check 3 days before its date", {check}, cashed("01/12/2003", "1042"), {},
       {"01/15/2003|1042|City Water|100.00|0.00|1"}, kCleared},
      {"check 4 days before its date", {check}, cashed("01/11/2003", "1042"), {},
       {check, "01/11/2003|1042|CHECK 1042|100.00|0.00|0"}, Added("150.00")},
      {"other check number, same day", {check}, cashed("01/15/2003", "1043"), {},
       {check, "01/15/2003|1043|CHECK 1043|100.00|0.00|0"}, Added("150.00")},
      {"credit against a debit of the same amount", {grocery}, "D01/15/2003\nT23.50\nPCORNER GROCERY\n^\n", {},
       {grocery, "01/15/2003|0|CORNER GROCERY|0.00|23.50|0"}, Added("273.50")},
      {"two candidates: the nearer date",
       {"01/10/2003|0|Shell|40.00|0.00|0", "01/14/2003|0|Gas|40.00|0.00|0"},
       "D01/13/2003\nT-40.00\nPSHELL OIL 123\n^\n", {},
       {"01/10/2003|0|Shell|40.00|0.00|0", "01/14/2003|0|Gas|40.00|0.00|1"}, kCleared},
      {"two candidates as near: the likelier payee",
       {"01/12/2003|0|Gas|40.00|0.00|0", "01/14/2003|0|Shell Oil|40.00|0.00|0"},
       "D01/13/2003\nT-40.00\nPSHELL OIL 123\n^\n", {},
       {"01/12/2003|0|Gas|40.00|0.00|0", "01/14/2003|0|Shell Oil|40.00|0.00|1"}, kCleared},
      {"two candidates: the equal check number before the nearer date",
       {"01/13/2003|0|Cash|100.00|0.00|0", "01/01/2003|1042|City Water|100.00|0.00|0"}, cashed("01/13/2003", "1042"),
       {}, {"01/13/2003|0|Cash|100.00|0.00|0", "01/01/2003|1042|City Water|100.00|0.00|1"}, kCleared},
      {"one row wanted by two lines", {"01/10/2003|0|Coffee|5.00|0.00|0"},
       "D01/11/2003\nT-5.00\nPCOFFEE SHOP\n^\nD01/10/2003\nT-5.00\nPCOFFEE SHOP\n^\n", {},
       {"01/10/2003|0|Coffee|5.00|0.00|1", "01/11/2003|0|COFFEE SHOP|5.00|0.00|0"},
       "added 1, matched 1 (1 newly cleared), skipped 0 as duplicates, balance 245.00\n"},
      {"reconciled row keeps its status", {"01/15/2003|0|Corner Grocery|23.50|0.00|2"}, card("01/16/2003"), {},
       {"01/15/2003|0|Corner Grocery|23.50|0.00|2"}, kKept},
      {"row marked while balancing keeps its status", {"01/15/2003|0|Corner Grocery|23.50|0.00|3"},
       card("01/16/2003"), {}, {"01/15/2003|0|Corner Grocery|23.50|0.00|3"}, kKept},
  };
  for (const MatchCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> setup = {"DELETE FROM QLedger", "UPDATE QAccounts SET mAccBalance = 250.00"};
    for (const std::string& row : c.held) setup.push_back(HeldRow(row));
    Sql(setup);
    WriteFile("s.qif", "!Type:Bank\n" + c.statement);
    std::vector<std::string> arguments = {"import"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    arguments.push_back("s.qif");
    Result result = Run(arguments);
    ASSERT_EQ(result.code, 0) << result.err;
    // Matches never move the balance: only the added rows do.
    EXPECT_EQ(result.out, c.summary);
    EXPECT_EQ(Rows(), c.rows);
  }
}

// A register kept by hand and the bank's statement of it in each format: two
// transactions found and cleared, one added; the dry run lists the matches and
// changes nothing; the same statement again changes nothing.
TEST_F(ImportExportTest, StatementOverHandKeptRegisterInEachFormat) {
  const std::vector<std::pair<std::string, std::string>> statements = {
      {"s.qif", "!Type:Bank\nD01/17/2003\nT-23.50\nPCORNER GROCERY #123\n^\nD02/10/2003\nT-100.00\nN1043\nPCHECK 1043\n^\n"
                "D01/31/2003\nT0.42\nPINTEREST PAYMENT\n^\n"},
      {"s.csv", "Details,Posting Date,Description,Amount,Type,Balance,Check or Slip #\r\n"
                "DEBIT,01/17/2003,CORNER GROCERY #123,-23.50,DEBIT_CARD,976.50,\r\n"
                "CHECK,02/10/2003,CHECK 1043,-100.00,CHECK_PAID,876.50,1043\r\n"
                "CREDIT,01/31/2003,INTEREST PAYMENT,0.42,ACCT_XFER,876.92,\r\n"},
      {"s.ofx", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<?OFX OFXHEADER=\"200\" VERSION=\"211\"?>\n<OFX>\n"
                "<SIGNONMSGSRSV1><SONRS><STATUS><CODE>0</CODE><SEVERITY>INFO</SEVERITY></STATUS></SONRS></SIGNONMSGSRSV1>\n"
                "<BANKMSGSRSV1><STMTTRNRS><STMTRS><BANKTRANLIST>\n"
                "<STMTTRN><TRNTYPE>POS</TRNTYPE><DTPOSTED>20030117120000.000[-5:EST]</DTPOSTED><TRNAMT>-23.50</TRNAMT>"
                "<FITID>a1</FITID><NAME>CORNER GROCERY #123</NAME></STMTTRN>\n"
                "<STMTTRN><TRNTYPE>CHECK</TRNTYPE><DTPOSTED>20030210</DTPOSTED><TRNAMT>-100.00</TRNAMT><FITID>a2</FITID>"
                "<CHECKNUM>1043</CHECKNUM><NAME>CHECK 1043</NAME></STMTTRN>\n"
                "<STMTTRN><TRNTYPE>INT</TRNTYPE><DTPOSTED>20030131</DTPOSTED><TRNAMT>0.42</TRNAMT><FITID>a3</FITID>"
                "<NAME>INTEREST PAYMENT</NAME></STMTTRN>\n"
                "</BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1>\n</OFX>\n"},
  };
  const std::vector<std::string> held = {"01/15/2003|0|Corner Grocery|23.50|0.00|0",
                                         "01/16/2003|1043|City Water|100.00|0.00|0"};
  for (const auto& [file, text] : statements) {
    SCOPED_TRACE(file);
    Sql({"DELETE FROM QLedger", "UPDATE QAccounts SET mAccBalance = 126.50", HeldRow(held[0]), HeldRow(held[1])});
    WriteFile(file, text);
    Result dry = Run({"import", "--dry-run", file});
    EXPECT_EQ(dry.out,
              "would add: 01/31/2003\t0\tINTEREST PAYMENT\t0.42\t\t\n"
              "would match: 01/17/2003\t0\tCORNER GROCERY #123\t\t23.50\t\twith\t01/15/2003\t0\tCorner Grocery\t\t23.50\tC\n"
              "would match: 02/10/2003\t1043\tCHECK 1043\t\t100.00\t\twith\t01/16/2003\t1043\tCity Water\t\t100.00\tC\n"
              "dry run: would add 1, match 2 (2 newly cleared), skip 0 as duplicates, balance would be 126.92\n");
    EXPECT_EQ(Rows(), (std::vector<std::string>{held[0], held[1]}));
    Result result = Run({"import", file});
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "added 1, matched 2 (2 newly cleared), skipped 0 as duplicates, balance 126.92\n");
    const std::vector<std::string> after = {"01/15/2003|0|Corner Grocery|23.50|0.00|1",
                                            "01/16/2003|1043|City Water|100.00|0.00|1",
                                            "01/31/2003|0|INTEREST PAYMENT|0.00|0.42|0"};
    EXPECT_EQ(Rows(), after);
    EXPECT_EQ(Run({"import", file}).out, "added 0, matched 2 (0 newly cleared), skipped 1 as duplicates, balance 126.92\n");
    EXPECT_EQ(Rows(), after);
  }
}

// An OFX file without its sign-on block is read whole with a warning; one
// with a transaction that cannot be read is refused whole.
TEST_F(ImportExportTest, LooseOfxWarnsAndBrokenOfxIsRefused) {
  const std::string list = "<BANKMSGSRSV1><STMTTRNRS><STMTRS><BANKTRANLIST>\n"
                           "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20030115<TRNAMT>-12.00<FITID>1<NAME>Shop</STMTTRN>\n";
  WriteFile("loose.ofx", "OFXHEADER:100\nDATA:OFXSGML\nVERSION:102\nCHARSET:1252\n\n<OFX>\n" + list +
                             "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20030116<TRNAMT>-1.00<FITID>2<NAME>Caf\xE9</STMTTRN>\n"
                             "</BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>\n");
  WriteFile("broken.ofx", "OFXHEADER:100\n\n<OFX><SIGNONMSGSRSV1></SIGNONMSGSRSV1>\n" + list +
                              "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20030116<FITID>2<NAME>No amount</STMTTRN>\n"
                              "</BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>\n");
  Result broken = Run({"import", "broken.ofx"});
  EXPECT_EQ(broken.code, 1);
  EXPECT_EQ(broken.err, "broken.ofx:6: the transaction has no amount (TRNAMT)\ncheckbook-io: nothing was added\n");
  EXPECT_TRUE(Rows().empty());
  // Without any envelope it is still told from CSV by its transactions.
  WriteFile("bare.txt", "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20030117<TRNAMT>-2.00<NAME>Bare</STMTTRN>\n");
  Result bare = Run({"import", "--no-match", "bare.txt"});
  EXPECT_EQ(bare.code, 0);
  EXPECT_EQ(bare.err, "checkbook-io: warning: bare.txt: the file has no <OFX> element; its one transaction was read\n");
  Sql({"DELETE FROM QLedger"});
  Result loose = Run({"import", "loose.ofx"});
  EXPECT_EQ(loose.code, 0);
  EXPECT_EQ(loose.err, "checkbook-io: warning: loose.ofx: the file has no sign-on block (SIGNONMSGSRSV1); its 2 "
                       "transactions were read\n");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"01/15/2003|0|Shop|12.00|0.00|0", "01/16/2003|0|Caf\xC3\xA9|1.00|0.00|0"}));
}

namespace {

const std::string kTwoAccounts =
    "!Account\nNChecking\nTBank\n^\n!Type:Bank\nD01/02/2003\nT-1.00\nPRent\n^\nD01/03/2003\nT0.00\nPVoided\n^\n"
    "!Account\nNSavings\nTBank\n^\n!Type:Bank\nD01/31/2003\nT0.12\nPInterest\n^\n";

size_t CopiesKept() {
  std::error_code error;
  size_t count = 0;
  for (fs::directory_iterator it("Backups", error), end; !error && it != end; it.increment(error)) ++count;
  return count;
}

}  // namespace

// A file of several accounts lands in the register only as the account
// chosen; what the register cannot hold is counted, never fatal; a bank's
// error answer and an investment statement are refused with their reason.
TEST_F(ImportExportTest, OnlyTheChosenAccountLandsAndWhatCannotBeStoredIsCounted) {
  WriteFile("two.qif", kTwoAccounts);
  WriteFile("invest.qif", "!Account\nNBroker\nTInvst\n^\n!Type:Invst\nD01/02/2003\nNBuy\nT10.00\n^\n");
  WriteFile("refused.ofx", "<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>15500<SEVERITY>ERROR<MESSAGE>Wrong password"
                           "</STATUS></SONRS></SIGNONMSGSRSV1></OFX>");
  WriteFile("long.csv", "Date,Payee,Amount,Check\n01/02/2003," + std::string(90, 'p') + ",-1.00,99999999999\n"
                        "01/03/2003,,2.00,\n");
  WriteFile("semi.csv", "Date|Payee|Amount\n01/02/2003|A|-1,50\n");
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    int code;
    std::string out, err;
    std::vector<std::string> rows;
  } cases[] = {
      {"several accounts refused, listed", {"import", "two.qif"}, 1, "",
       "two.qif: the file holds 2 accounts with transactions; choose one with --account and its number or name:\n"
       "  1. Checking (bank, 2 transactions)\n  2. Savings (bank, 1 transaction)\ncheckbook-io: nothing was added\n",
       {}},
      {"the dry run lists them", {"import", "--dry-run", "--account", "savings", "two.qif"}, 0,
       "account 1: Checking (bank, 2 transactions)\naccount 2: Savings (bank, 1 transaction) (chosen)\n"
       "would add: 01/31/2003\t0\tInterest\t0.12\t\t\n"
       "dry run: would add 1, match 0 (0 newly cleared), skip 0 as duplicates, balance would be 250.12\n",
       "", {}},
      {"the chosen one by its place, its voided check counted", {"import", "--account", "1", "two.qif"}, 0,
       "added 1, matched 0 (0 newly cleared), skipped 0 as duplicates and 1 of amount 0, balance 249.00\n", "",
       {"01/02/2003|0|Rent|1.00|0.00|0"}},
      {"an account the file does not hold", {"import", "--account", "Visa", "two.qif"}, 1, "",
       "two.qif: the file holds no account 'Visa'; it holds:\n  1. Checking (bank, 2 transactions)\n"
       "  2. Savings (bank, 1 transaction)\ncheckbook-io: nothing was added\n",
       {}},
      {"an investment statement", {"import", "invest.qif"}, 1, "",
       "invest.qif: this is an investment statement (Broker (investment, 1 transaction)), not a bank or card "
       "statement\ncheckbook-io: nothing was added\n",
       {}},
      {"the bank's error answer", {"import", "refused.ofx"}, 1, "",
       "refused.ofx:1: the bank answered with an error (status 15500): Wrong password\n"
       "checkbook-io: nothing was added\n",
       {}},
      {"a long payee cut, a long check number left out, no payee named",
       {"import", "long.csv"}, 0,
       "added 2, matched 0 (0 newly cleared), skipped 0 as duplicates, 1 payee cut to 80 characters, "
       "1 check number too long left out, balance 251.00\n",
       "", {"01/02/2003|0|" + std::string(80, 'p') + "|1.00|0.00|0", "01/03/2003|0|(no payee)|0.00|2.00|0"}},
      {"--separator and --decimal say what the file does not", {"import", "--separator", "|", "--decimal", ",",
       "semi.csv"}, 0, "added 1, matched 0 (0 newly cleared), skipped 0 as duplicates, balance 248.50\n", "",
       {"01/02/2003|0|A|1.50|0.00|0"}},
      {"--decimal takes a mark", {"import", "--decimal", "x", "semi.csv"}, 2, "",
       "checkbook-io: --decimal takes . or ,\n", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sql({"DELETE FROM QLedger", "UPDATE QAccounts SET mAccBalance = 250.00"});
    Result result = Run(c.arguments);
    EXPECT_EQ(result.code, c.code);
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err.substr(0, c.code == 2 ? c.err.size() : std::string::npos), c.err);
    EXPECT_EQ(Rows(), c.rows);
  }
}

// A payee a spreadsheet would run as a formula is exported as text, and
// comes back as it was.
TEST_F(ImportExportTest, FormulaLikePayeesAreExportedAsTextAndImportedBack) {
  const std::vector<std::string> payees = {"=HYPERLINK(\"x\")", "+1", "-x", "@SUM(A1)", "\tTab", "Plain"};
  for (const std::string& payee : payees) {
    Sql({"INSERT INTO QLedger VALUES (NULL, '01/15/2003', 0, '" + payee + "', 5, 0, 1, 0)"});
  }
  ASSERT_EQ(Run({"export", "--bom", "out.csv"}).code, 0);
  std::string text = ReadFile("out.csv");
  EXPECT_NE(text.find(",\"'=HYPERLINK(\"\"x\"\")\","), std::string::npos) << text;
  EXPECT_NE(text.find(",'+1,"), std::string::npos) << text;
  EXPECT_NE(text.find(",'@SUM(A1),"), std::string::npos) << text;
  EXPECT_NE(text.find(",Plain,"), std::string::npos) << text;
  std::vector<std::string> before = Rows();
  Sql({"DELETE FROM QLedger"});
  ASSERT_EQ(Run({"import", "--no-match", "out.csv"}).code, 0);
  EXPECT_EQ(Rows(), before);
}

// An import that changes the ledger keeps a copy of it first; a dry run and
// an import that adds nothing do not, and without a copy nothing is added.
TEST_F(ImportExportTest, ImportKeepsACopyFirstAndWithoutOneAddsNothing) {
  WriteFile("ok.qif", "!Type:Bank\nD01/02/2003\nT-1.00\nPShop\n^\n");
  WriteFile("Backups", "a file where the folder should be");
  Result refused = Run({"import", "ok.qif"});
  EXPECT_EQ(refused.code, 1);
  EXPECT_EQ(refused.err.rfind("checkbook-io: A backup copy of Ledger.dat could not be made, so nothing was changed.\n", 0),
            0u)
      << refused.err;
  EXPECT_TRUE(Rows().empty());
  fs::remove("Backups");
  struct Case {
    std::vector<std::string> arguments;
    size_t copies;
  } cases[] = {
      {{"import", "--dry-run", "ok.qif"}, 0},
      {{"import", "ok.qif"}, 1},
      {{"import", "ok.qif"}, 1},  // all duplicates: nothing changes, no copy
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.arguments).code, 0);
    EXPECT_EQ(CopiesKept(), c.copies);
  }
  EXPECT_EQ(Rows().size(), 1u);
}

