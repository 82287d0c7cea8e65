// The closing balance a statement states, and the encoding found for a file
// that names none.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "io/StatementImport.h"

namespace {

TEST(StatementImport, ClosingBalanceIsTheLedgerBalanceOrTheNewestRowsBalance) {
  const std::string header = "Date,Description,Amount,Balance\n";
  struct Case {
    const char* name;
    std::string text;
    std::optional<int64_t> cents;
  } cases[] = {
      {"OFX LEDGERBAL, not AVAILBAL",
       "<OFX><BANKTRANLIST><STMTTRN><TRNTYPE>INT<DTPOSTED>20030131<TRNAMT>0.42<FITID>1<NAME>I</STMTTRN>"
       "</BANKTRANLIST><AVAILBAL><BALAMT>9.99<DTASOF>20030228</AVAILBAL>"
       "<LEDGERBAL><BALAMT>-1234.56<DTASOF>20030228</LEDGERBAL></OFX>\n",
       -123456},
      {"OFX without one", "<OFX><STMTTRN><TRNTYPE>INT<DTPOSTED>20030131<TRNAMT>0.42<FITID>1<NAME>I</STMTTRN></OFX>\n",
       std::nullopt},
      {"CSV oldest first", header + "01/02/2003,A,-1.00,99.00\n01/05/2003,B,-2.00,97.00\n01/05/2003,C,-3.00,94.00\n",
       9400},
      {"CSV newest first", header + "01/05/2003,C,-3.00,94.00\n01/05/2003,B,-2.00,97.00\n01/02/2003,A,-1.00,99.00\n",
       9400},
      {"CSV quoted fields", header + "01/02/2003,\"A, B\",-1.00,\"1,234.50\"\n", 123450},
      {"CSV without a balance column", "Date,Description,Amount\n01/02/2003,A,-1.00\n", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StatementRead read = ReadStatement(c.text);
    ASSERT_FALSE(read.read.Failed()) << read.read.error;
    EXPECT_EQ(read.closingCents, c.cents);
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
