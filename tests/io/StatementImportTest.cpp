// The closing balance a statement states, and the encoding found for a file
// that names none.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "io/StatementImport.h"

namespace {

// A closing balance read from the wrong place shows a difference that is not
// there, or hides one that is.
TEST(StatementImport, ClosingBalanceIsTheChosenAccountsLedgerBalanceOrNewestRowsBalance) {
  const std::string header = "Date,Description,Amount,Balance\n";
  const std::string ofxRow = "<STMTTRN><TRNTYPE>INT<DTPOSTED>20030131<TRNAMT>0.42<FITID>1<NAME>I</STMTTRN>";
  auto ofxStatement = [&](const char* id, const char* ledger) {
    return "<STMTRS><BANKACCTFROM><ACCTID>" + std::string(id) + "</BANKACCTFROM><BANKTRANLIST>" + ofxRow +
           "</BANKTRANLIST><LEDGERBAL><BALAMT>" + ledger + "<DTASOF>20030228</LEDGERBAL></STMTRS>";
  };
  struct Case {
    const char* name;
    std::string text;
    size_t account;  // SIZE_MAX: the one the file holds
    std::optional<int64_t> cents;
  } cases[] = {
      {"OFX LEDGERBAL, not AVAILBAL",
       "<OFX><BANKTRANLIST>" + ofxRow + "</BANKTRANLIST><AVAILBAL><BALAMT>9.99<DTASOF>20030228</AVAILBAL>"
       "<LEDGERBAL><BALAMT>-1234.56<DTASOF>20030228</LEDGERBAL></OFX>\n",
       SIZE_MAX, -123456},
      {"OFX without one", "<OFX>" + ofxRow + "</OFX>\n", SIZE_MAX, std::nullopt},
      {"OFX of two statements: the second's own", "<OFX>" + ofxStatement("1", "10.00") + ofxStatement("2", "20.00") + "</OFX>\n",
       1, 2000},
      {"OFX LEDGERBAL that does not read", "<OFX>" + ofxStatement("1", "ten") + "</OFX>\n", SIZE_MAX, std::nullopt},
      {"CSV oldest first", header + "01/02/2003,A,-1.00,99.00\n01/05/2003,B,-2.00,97.00\n01/05/2003,C,-3.00,94.00\n",
       SIZE_MAX, 9400},
      {"CSV newest first", header + "01/05/2003,C,-3.00,94.00\n01/05/2003,B,-2.00,97.00\n01/02/2003,A,-1.00,99.00\n",
       SIZE_MAX, 9400},
      {"CSV quoted fields", header + "01/02/2003,\"A, B\",-1.00,\"1,234.50\"\n", SIZE_MAX, 123450},
      {"CSV without a balance column", "Date,Description,Amount\n01/02/2003,A,-1.00\n", SIZE_MAX, std::nullopt},
      {"CSV of two accounts: the first's newest row, not the file's",
       "Account,Date,Description,Amount,Balance\nX,01/02/2003,A,-1.00,99.00\nY,01/09/2003,B,-2.00,48.00\n", 0, 9900},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StatementRead read = ReadStatement(c.text);
    ASSERT_FALSE(read.read.Failed()) << read.read.error;
    EXPECT_EQ(StatedClosing(read, c.account == SIZE_MAX ? OnlyAccount(read.read) : c.account), c.cents);
  }
}

TEST(StatementImport, ValidUtf8IsTakenAsItIsAndAnythingElseAsWindows1252) {
  struct Case {
    std::string payee;
    InputEncoding encoding;
    std::string read;
  } cases[] = {
      {"Caf\xC3\xA9", InputEncoding::Utf8, "Caf\xC3\xA9"},
      {"Caf\xE9 \x80", InputEncoding::Windows1252, "Caf\xC3\xA9 \xE2\x82\xAC"},
  };
  for (const Case& c : cases) {
    StatementRead read = ReadStatement("date,payee,amount\n01/02/2003," + c.payee + ",-1.00\n");
    ASSERT_FALSE(read.read.Failed()) << read.read.error;
    EXPECT_EQ(read.encoding, c.encoding);
    ASSERT_EQ(read.read.rows.size(), 1u);
    EXPECT_EQ(read.read.rows[0].payee, c.read);
  }
}

}  // namespace
