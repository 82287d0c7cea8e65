// The readers on their own: CSV in the shapes banks export, OFX 1.x and 2.x.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/Fields.h"
#include "io/StatementFiles.h"

namespace {

struct ReaderCase {
  ReaderCase(const char* name, std::string text, std::string inputDatePattern, std::vector<std::string> rows,
             size_t withoutAmount = 0, std::string warning = "")
      : name(name), text(std::move(text)), inputDatePattern(std::move(inputDatePattern)), rows(std::move(rows)),
        withoutAmount(withoutAmount), warning(std::move(warning)) {}
  const char* name;
  std::string text;
  std::string inputDatePattern;
  std::vector<std::string> rows;  // line|date|check|payee|cents, or the error as LINE: message
  size_t withoutAmount;
  std::string warning;
};

std::vector<std::string> Describe(const ReadResult& read) {
  if (read.Failed()) return {std::to_string(read.errorLine) + ": " + read.error};
  std::vector<std::string> rows;
  for (const StatementRow& row : read.rows)
    rows.push_back(std::to_string(row.line) + "|" + FormatDate(row.date, "%Y-%m-%d") + "|" +
                   std::to_string(row.checkNum) + "|" + row.payee + "|" + FormatCents(row.cents) +
                   (row.status != 0 ? std::string("|") + StatusLetter(row.status) : std::string()));
  return rows;
}

void Expect(const ReaderCase& c, const ReadResult& read) {
  SCOPED_TRACE(c.name);
  EXPECT_EQ(Describe(read), c.rows);
  EXPECT_EQ(read.withoutAmount, c.withoutAmount);
  EXPECT_EQ(read.warning, c.warning);
}

TEST(StatementReadersTest, CsvOfSeveralBanksGivesDescriptionChecksAndSignsRight) {
  const std::vector<ReaderCase> cases = {
      {"description over details, check or slip",
       "Details,Posting Date,Description,Amount,Type,Balance,Check or Slip #\n"
       "DEBIT,01/17/2003,CORNER GROCERY #123,-23.50,DEBIT_CARD,976.50,\n"
       "CHECK,02/10/2003,CHECK 1043,-100.00,CHECK_PAID,876.50,1043\n"
       "CREDIT,01/31/2003,ACME PAYROLL,\"1,500.00\",ACH_CREDIT,2376.50,\n",
       "",
       {"2|2003-01-17|0|CORNER GROCERY #123|-23.50", "3|2003-02-10|1043|CHECK 1043|-100.00",
        "4|2003-01-31|0|ACME PAYROLL|1500.00"}},
      {"summary preamble, balance lines skipped",
       "Description,,Summary Amt.\r\nBeginning balance as of 01/01/2003,,\"1,000.00\"\r\nTotal credits,,\"500.00\"\r\n"
       "Ending balance as of 01/31/2003,,\"1,476.50\"\r\n\r\nDate,Description,Amount,Running Bal.\r\n"
       "01/01/2003,Beginning balance as of 01/01/2003,,\"1,000.00\"\r\n"
       "01/02/2003,\"SHOP, THE\",\"-23.50\",\"976.50\"\r\n01/03/2003,PAYROLL,\"500.00\",\"1,476.50\"\r\n",
       "",
       {"8|2003-01-02|0|SHOP, THE|-23.50", "9|2003-01-03|0|PAYROLL|500.00"},
       1},
      {"transaction date over posted date, debit and credit columns",
       "Transaction Date,Posted Date,Card No.,Description,Category,Debit,Credit\n"
       "2003-01-15,2003-01-17,1234,GAS STATION,Gas,40.00,\n2003-01-20,2003-01-21,1234,REFUND,Other,,12.00\n"
       "2003-01-21,2003-01-21,1234,BALANCE,,,\n",
       "",
       {"2|2003-01-15|0|GAS STATION|-40.00", "3|2003-01-20|0|REFUND|12.00"},
       1},
      {"D/M/Y, paid out and paid in, two-digit years", "Date,Type,Description,Paid out,Paid in,Balance\n"
       "15/01/03,DEB,TESCO STORES,12.00,,100.00\n\n16/01/03,BGC,SALARY,,1000.00,1100.00\n",
       "%d/%m/%y",
       {"2|2003-01-15|0|TESCO STORES|-12.00", "4|2003-01-16|0|SALARY|1000.00"}},
      {"a bank's status words", "Status,Date,Description,Debit,Credit\nCleared,01/15/2003,SHOP,23.50,\n"
       "Pending,01/16/2003,REFUND,,2.00\n", "",
       {"2|2003-01-15|0|SHOP|-23.50|C", "3|2003-01-16|0|REFUND|2.00"}},
      {"a status word the register does not know is no fault", "Status,Date,Description,Amount\n"
       "Completed,01/17/2003,X,1.00\n", "",
       {"2|2003-01-17|0|X|1.00"}},
      {"unsigned amounts with a DR/CR column", "Date,Description,Amount,Dr/Cr,Reference\n"
       "2003-01-15,Shop,12.00,DR,\n2003-01-16,Refund,3.00,CR,000412\n",
       "",
       {"2|2003-01-15|0|Shop|-12.00", "3|2003-01-16|412|Refund|3.00"}},
      {"amount beside debit and credit is ambiguous", "Date,Description,Amount,Debit,Credit\n1/2/2003,Shop,-1,1,\n", "",
       {"1: the columns 'Amount' and 'Debit' both give the amount: name the columns with --columns"}},
      {"two debit columns are ambiguous", "Date,Payee,Withdrawal,Debit\n1/2/2003,Shop,1,\n", "",
       {"1: the columns 'Withdrawal' and 'Debit' both give the debit: name the columns with --columns"}},
      {"headerless file asks for --columns", "\"01/02/2003\",\"-12.00\",\"*\",\"\",\"SHOP\"\n", "",
       {"1: no date column: name the columns in the header or with --columns"}},
      {"an unquoted thousands separator is refused, not read as 1",
       "Date,Description,Amount\n01/02/2003,Shop,1,234.56\n01/03/2003,Trailing comma,5.00,\n", "",
       {"2: the row has 4 fields, the header 3; is a separator inside an unquoted field?"}},
      {"day first told by the file's own dates", "Date,Description,Amount\n15/01/2003,A,1\n02/01/2003,B,1\n",
       "", {"2|2003-01-15|0|A|1.00", "3|2003-01-02|0|B|1.00"}},
      {"a row cut short is no balance line", "Date,Description,Amount\n01/02/2003,Shop\n", "",
       {"2: the row has 2 fields, too few"}},
      {"Latin-1 text refused", "Date,Description,Amount\n01/02/2003,Caf\xE9,1.00\n", "",
       {"2: the field is not UTF-8 text"}},
  };
  for (const ReaderCase& c : cases) Expect(c, ReadCsv(c.text, {c.inputDatePattern, ""}));
}

// Two transactions run together are refused, not read as one.
TEST(StatementReadersTest, QifWithMissingCaretIsRefusedNotMerged) {
  const std::vector<ReaderCase> cases = {
      {"records apart", "!Type:Bank\nD1/2/03\nT-1.00\nPA\n^\nD1/3/03\nT-2.00\nPB\n", "",
       {"2|2003-01-02|0|A|-1.00", "6|2003-01-03|0|B|-2.00"}},
      {"a ^ missing", "!Type:Bank\nD1/2/03\nT-1.00\nPA\nD1/3/03\nT-2.00\nPB\n^\n", "",
       {"5: a second D line in one transaction; is a ^ missing?"}},
      {"D/M/Y", "!Type:Bank\r\n\r\nD15/01/2003\r\nT1,234.50\r\nPA\r\n^\r\n", "%d/%m/%Y",
       {"3|2003-01-15|0|A|1234.50"}},
  };
  for (const ReaderCase& c : cases) Expect(c, ReadQif(c.text, {c.inputDatePattern, ""}));
}

const std::string kSgmlHeader =
    "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\nENCODING:USASCII\r\nCHARSET:1252\r\n"
    "COMPRESSION:NONE\r\nOLDFILEUID:NONE\r\nNEWFILEUID:NONE\r\n\r\n";
const std::string kSignOn = "<SIGNONMSGSRSV1><SONRS><STATUS><CODE>0<SEVERITY>INFO</STATUS></SONRS></SIGNONMSGSRSV1>";

TEST(StatementReadersTest, OfxOneAndTwoReadAsTheBankWroteThem) {
  const std::vector<ReaderCase> cases = {
      {"SGML in Windows-1252, entities, payee aggregate, memo",
       kSgmlHeader + "<OFX>" + kSignOn + "\r\n<BANKMSGSRSV1><STMTTRNRS><STMTRS><BANKTRANLIST>\r\n"
       "<STMTTRN>\r\n<TRNTYPE>DEBIT\r\n<DTPOSTED>20030115\r\n<TRNAMT>-12.5\r\n<FITID>1\r\n<NAME>Caf\xE9\x92s & Bar &amp; Grill\r\n</STMTTRN>\r\n"
       "<STMTTRN><TRNTYPE>CHECK<DTPOSTED>20030116000000[-8:PST]<TRNAMT>-1,234.00<FITID>2<CHECKNUM>0101"
       "<PAYEE><NAME>Landlord<ADDR1>x</PAYEE></STMTTRN>\r\n"
       "<STMTTRN><TRNTYPE>CREDIT<DTUSER>20030117<TRNAMT>+5,25<FITID>3<MEMO>INTEREST</STMTTRN>\r\n"
       "</BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>",
       "",
       {"13|2003-01-15|0|Caf\xC3\xA9\xE2\x80\x99s & Bar & Grill|-12.50", "20|2003-01-16|101|Landlord|-1234.00",
        "21|2003-01-17|0|INTEREST|5.25"}},
      {"XML, credit card statement, no final </OFX>",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<?OFX OFXHEADER=\"200\"?>\n<OFX>" + kSignOn +
           "<CREDITCARDMSGSRSV1><CCSTMTTRNRS><CCSTMTRS><BANKTRANLIST><STMTTRN><TRNTYPE>DEBIT</TRNTYPE>"
           "<DTPOSTED>20030115</DTPOSTED><TRNAMT>-9.99</TRNAMT><FITID>x</FITID><NAME>Na\xC3\xAFve</NAME></STMTTRN>"
           "</BANKTRANLIST>\n",
       "",
       {"3|2003-01-15|0|Na\xC3\xAFve|-9.99"},
       0,
       "the file ends before </OFX>; its one transaction was read"},
      {"transactions with no envelope at all",
       "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20030115<TRNAMT>-1.00<NAME>A</STMTTRN>", "", {"1|2003-01-15|0|A|-1.00"}, 0,
       "the file has no <OFX> element; its one transaction was read"},
      {"a transaction without a date is refused",
       kSgmlHeader + "<OFX>" + kSignOn + "\n<STMTTRN><TRNAMT>-1.00<NAME>A</STMTTRN></OFX>", "",
       {"12: the transaction has no date (DTPOSTED)"}},
      {"a bad amount is refused",
       "<OFX>" + kSignOn + "<STMTTRN><DTPOSTED>20030115<TRNAMT>1.2.3<NAME>A</STMTTRN></OFX>", "",
       {"1: '1.2.3' is not an amount"}},
      {"an unclosed transaction is refused",
       "<OFX>" + kSignOn + "\n<STMTTRN><DTPOSTED>20030115<TRNAMT>1<NAME>A\n<STMTTRN><DTPOSTED>20030115<TRNAMT>1"
       "<NAME>B</STMTTRN></OFX>", "",
       {"2: the transaction is not closed (</STMTTRN>)"}},
      {"a UTF-8 file's bad byte is refused",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<OFX>" + kSignOn + "<STMTTRN><DTPOSTED>20030115<TRNAMT>1<NAME>Caf\xE9</STMTTRN></OFX>", "",
       {"2: the text is not UTF-8; for a file in another encoding give --encoding windows-1252 or --encoding latin-1"}},
      {"no OFX at all", "hello", "", {"1: the file is not an OFX statement (no <OFX>)"}},
      {"a tag cut short by the next one is refused, not read past",
       "<OFX>" + kSignOn + "<STMTTRN><DTPOSTED>20030115<TRNAMT>1<NAME>A</STMTTRN\n<STMTTRN><DTPOSTED>20030115<TRNAMT>2"
       "<NAME>B</STMTTRN></OFX>", "",
       {"1: a tag is not closed with '>'"}},
      {"two amounts in one transaction are refused",
       "<OFX>" + kSignOn + "<STMTTRN><DTPOSTED>20030115<TRNAMT>1<TRNAMT>2<NAME>A</STMTTRN></OFX>", "",
       {"1: a second <TRNAMT> in one transaction"}},
  };
  for (const ReaderCase& c : cases) Expect(c, ReadOfx(c.text));
}

}  // namespace
