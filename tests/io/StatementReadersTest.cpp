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
      {"an unsigned amount beside debit and credit is ambiguous", "Date,Description,Amount,Debit,Credit\n"
       "1/2/2003,Shop,1,1,\n", "",
       {"1: the columns 'Amount' and 'Debit' both give the amount: name the columns with --columns"}},
      {"a signed amount beside debit and credit that agree is the amount", "Date,Description,Amount,Money Out,"
       "Money In\n1/2/2003,Shop,-1.00,1.00,\n1/3/2003,Pay,2.00,,2.00\n", "",
       {"2|2003-01-02|0|Shop|-1.00", "3|2003-01-03|0|Pay|2.00"}},
      {"a signed amount beside a debit that disagrees is refused", "Date,Description,Amount,Debit,Credit\n"
       "1/2/2003,Shop,-1.00,1.50,\n", "",
       {"2: the amount '-1.00' and the debit or credit beside it disagree"}},
      {"two debit columns are ambiguous", "Date,Payee,Withdrawal,Debit\n1/2/2003,Shop,1,\n", "",
       {"1: the columns 'Withdrawal' and 'Debit' both give the debit: name the columns with --columns"}},
      {"headerless file whose amounts say no side asks for --columns",
       "\"01/02/2003\",\"12.00\",\"*\",\"\",\"SHOP\"\n", "",
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

namespace {

// A file as some bank or program writes it, and what must come of it.
struct ShapeCase {
  const char* name;
  std::string text;
  ReadOptions options;
  std::vector<std::string> rows;  // as Describe writes them, or the error
  std::string counts = "";        // what Counts writes
};

// What a reader left out or found beside the rows.
std::string Counts(const ReadResult& read) {
  std::string text;
  if (read.withoutAmount) text += " without=" + std::to_string(read.withoutAmount);
  if (read.summaryLines) text += " summary=" + std::to_string(read.summaryLines);
  if (read.checksLeftOut) text += " checks=" + std::to_string(read.checksLeftOut);
  bool named = read.accounts.size() > 1 || (read.accounts.size() == 1 && !read.accounts[0].id.empty());
  for (size_t i = 0; named && i < read.accounts.size(); ++i) {
    const StatementAccount& a = read.accounts[i];
    text += " " + a.id + "/" + a.type + "/" + std::to_string(a.transactions);
  }
  if (!read.warning.empty()) text += " warning: " + read.warning;
  return text.empty() ? text : text.substr(1);
}

std::vector<std::string> DescribeWithAccounts(const ReadResult& read) {
  std::vector<std::string> rows = Describe(read);
  if (read.Failed() || read.accounts.size() < 2) return rows;
  for (size_t i = 0; i < rows.size(); ++i) rows[i] += " @" + std::to_string(read.rows[i].account);
  return rows;
}

void ExpectShapes(const std::vector<ShapeCase>& cases, ReadResult (*reader)(std::string_view, const ReadOptions&)) {
  for (const ShapeCase& c : cases) {
    SCOPED_TRACE(c.name);
    ReadResult read = reader(c.text, c.options);
    EXPECT_EQ(DescribeWithAccounts(read), c.rows);
    if (!read.Failed()) {
      EXPECT_EQ(Counts(read), c.counts);
    }
  }
}

ReadOptions Columns(const char* columns) {
  ReadOptions options;
  options.columns = columns;
  return options;
}

TEST(StatementReadersTest, CsvOfBanksInSeveralCountriesIsReadRightOrRefusedWithItsReason) {
  const std::vector<ShapeCase> cases = {
      {"old-Mac line ends are lines", "Date,Payee,Amount\r01/02/2003,A,-1.00\r01/03/2003,B,2.00\r", {},
       {"2|2003-01-02|0|A|-1.00", "3|2003-01-03|0|B|2.00"}},
      {"check headers by meaning", "Date,Payee,Amount,CheckNumber\n2003-01-02,A,-1.00,1001\n", {},
       {"2|2003-01-02|1001|A|-1.00"}},
      {"Chk # and a BOM with CR LF", "\xEF\xBB\xBF" "Chk #,Date,Payee,Amount\r\n7,2003-01-02,A,-1.00\r\n", {},
       {"2|2003-01-02|7|A|-1.00"}},
      {"semicolons with decimal points, the separator from the header below a title",
       "Account 12345\nDate;Payee;Amount;Balance\n2003-01-02;A;-1,234.50;10.00\n2003-01-03;B;7.25;17.25\n", {},
       {"3|2003-01-02|0|A|-1234.50", "4|2003-01-03|0|B|7.25"}},
      {"commas with quoted decimal commas", "Date,Payee,Amount\n02.01.2003,A,\"-1.234,50\"\n03.01.2003,B,\"7,25\"\n",
       {}, {"2|2003-01-02|0|A|-1234.50", "3|2003-01-03|0|B|7.25"}},
      {"a headerless file whose every row tells its columns",
       "\"01/02/2003\",\"-12.00\",\"*\",\"\",\"SHOP\"\n\"01/03/2003\",\"100.00\",\"*\",\"1001\",\"PAY\"\n", {},
       {"1|2003-01-02|0|SHOP|-12.00", "2|2003-01-03|1001|PAY|100.00"}},
      {"an unnamed Soll/Haben column and the bank's balance lines",
       "Buchungstag;Verwendungszweck;Umsatz;\n15.01.2003;Miete;12,00;S\n16.01.2003;Gehalt;5,00;H\n"
       "31.01.2003;Endsaldo;100,00;H\n", {},
       {"2|2003-01-15|0|Miete|-12.00", "3|2003-01-16|0|Gehalt|5.00"}, "summary=1"},
      {"currency after a header name", "Date;Libell\xC3\xA9;Montant(EUROS)\n15/01/2003;CB;-45,67\n", {},
       {"2|2003-01-15|0|CB|-45.67"}},
      {"Excel's sep= line, a dash for no amount", "sep=;\nDate;Payee;Debit;Credit\n2003-01-02;A;-;5,00\n", {},
       {"3|2003-01-02|0|A|5.00"}},
      {"an export of several accounts names each row's", "Date,Description,Amount,Transaction Type,Account Name\n"
       "01/02/2003,Rent,1200.00,debit,Checking\n01/31/2003,Interest,0.12,credit,Savings\n", {},
       {"2|2003-01-02|0|Rent|-1200.00 @0", "3|2003-01-31|0|Interest|0.12 @1"}, "Checking/bank/1 Savings/bank/1"},
      {"tabs", "Date\tDescription\tAmount\n2003-01-02\tA\t-1.00\n", {}, {"2|2003-01-02|0|A|-1.00"}},
      {"German header, Soll/Haben word, decimal comma",
       "Buchungstag;Verwendungszweck;Umsatz;Soll/Haben\n15.01.2003;Miete;1.200,00;S\n16.01.2003;Gehalt;500,00;H\n",
       {}, {"2|2003-01-15|0|Miete|-1200.00", "3|2003-01-16|0|Gehalt|500.00"}},
      {"Dutch Af/Bij", "Datum,Naam / Omschrijving,Af Bij,Bedrag (EUR)\n20030115,Huur,Af,\"12,50\"\n"
       "20030116,Loon,Bij,\"100,00\"\n", {},
       {"2|2003-01-15|0|Huur|-12.50", "3|2003-01-16|0|Loon|100.00"}},
      {"a signed file keeps its signs whatever the word says",
       "Date,Description,Amount,Type\n2003-01-02,Refund,5.00,DEBIT\n2003-01-03,Shop,-3.00,DEBIT\n", {},
       {"2|2003-01-02|0|Refund|5.00", "3|2003-01-03|0|Shop|-3.00"}},
      {"a side word not known is refused by name",
       "Date,Description,Amount,Dr/Cr\n2003-01-02,Shop,5.00,DR\n2003-01-03,What,3.00,XFER\n", {},
       {"3: 'XFER' in the column 'Dr/Cr' is not a debit or credit word (Debit/Credit, Dr/Cr, Af/Bij, Soll/Haben, "
        "S/H, D/C)"}},
      {"notices inside the table and totals after it are counted",
       "Date,Description,Amount\n2003-01-02,A,-1.00\nPending transactions follow\n2003-01-03,B,2.00\n"
       "Total,,1.00\n", {},
       {"2|2003-01-02|0|A|-1.00", "4|2003-01-03|0|B|2.00"}, "without=1 summary=1"},
      {"amount shapes", "Date,Description,Amount\n2003-01-02,A,(12.50)\n2003-01-03,B,12.50-\n2003-01-04,C,\"$1,234.56\"\n"
       "2003-01-05,D,USD 3.00\n2003-01-06,E,4.00 DR\n2003-01-07,F,+00000000000000.2400\n2003-01-08,G,-\xE2\x82\xAC" "5\n",
       {},
       {"2|2003-01-02|0|A|-12.50", "3|2003-01-03|0|B|-12.50", "4|2003-01-04|0|C|1234.56", "5|2003-01-05|0|D|3.00",
        "6|2003-01-06|0|E|-4.00", "7|2003-01-07|0|F|0.24", "8|2003-01-08|0|G|-5.00"}},
      {"dates with times and month names", "Date,Description,Amount\n2003-01-02 10:22:33,A,1\n"
       "2003-01-03T08:00:00Z,B,1\n04 Jan 2003,C,1\n\"Jan 5, 2003\",D,1\n06-Jan-03,E,1\n", {},
       {"2|2003-01-02|0|A|1.00", "3|2003-01-03|0|B|1.00", "4|2003-01-04|0|C|1.00", "5|2003-01-05|0|D|1.00",
        "6|2003-01-06|0|E|1.00"}},
      {"day or month first told by the order of the rows",
       "Date,Description,Amount\n01-02-2003,A,1\n01-03-2003,B,1\n01-04-2003,C,1\n02-02-2003,D,1\n", {},
       {"2|2003-01-02|0|A|1.00", "3|2003-01-03|0|B|1.00", "4|2003-01-04|0|C|1.00", "5|2003-02-02|0|D|1.00"}},
      {"truly ambiguous dates are refused with both options", "Date,Description,Amount\n01-02-2003,A,1\n", {},
       {"2: '01-02-2003' and the file's other dates read both month first and day first; give "
        "--input-date-format %m-%d-%Y or --input-date-format %d-%m-%Y"}},
      {"a date written wrong is no total line", "Date,Description,Amount\n01/02/2003,A,1\n02/30/2003,B,1\n", {},
       {"3: '02/30/2003' is not a date"}},
      {"--columns: a first row that cannot be read is refused at its line",
       "2003-13-01,A,1.00\n2003-01-02,B,2.00\n", Columns("date,payee,amount"), {"1: '2003-13-01' is not a date"}},
      {"--columns: a header of other names is passed over", "When,Who,How much\n2003-01-02,B,2.00\n",
       Columns("date,payee,amount"), {"2|2003-01-02|0|B|2.00"}},
      {"an exported formula-like payee comes back as it was, a long check number is counted",
       "Check,Date,Payee,Credit,Debit,Status\n99999999999,01/02/2003,'=HYPERLINK(1),,1.00,\n", {},
       {"2|2003-01-02|0|=HYPERLINK(1)|-1.00"}, "checks=1"},
      {"no payee takes the memo, else the type, else a fixed word",
       "Date,Payee,Memo,Amount\n2003-01-02,,Note,1\n2003-01-03,,,2\n", {},
       {"2|2003-01-02|0|Note|1.00", "3|2003-01-03|0|(no payee)|2.00"}},
      {"both decimal marks are refused with the option",
       "Date,Payee,Amount\n2003-01-02,A,1.50\n2003-01-03,B,\"2,50\"\n", {},
       {"3: amounts are written with both a decimal point and a decimal comma; give --decimal . or --decimal ,"}},
  };
  ExpectShapes(cases, ReadCsv);
}


TEST(StatementReadersTest, QifOfSeveralProgramsIsReadRightOrRefusedWithItsReason) {
  const std::vector<ShapeCase> cases = {
      {"QIF lines without a !Type line are a bank register", "D01/02/2003\nT-1.00\nPA\n^\nD01/03/2003\nT2.00\nPB\n^\n",
       {}, {"1|2003-01-02|0|A|-1.00", "5|2003-01-03|0|B|2.00"}},
      {"Quicken's space-padded dates and the apostrophe of the 2000s",
       "!Type:Bank\nD8/ 1/97\nT-1.00\nPA\n^\nD1/ 2'04\nT-2.00\nPB\n^\nD12/31' 5\nU3.00\nPC\n^\n", {},
       {"2|1997-08-01|0|A|-1.00", "6|2004-01-02|0|B|-2.00", "10|2005-12-31|0|C|3.00"}},
      {"old-Mac line ends, card and cash sections, C and N fields",
       "!Type:CCard\rD01/02/2003\rT-1,000.00\rN12345678901\rCX\rPA\r^\r", {},
       {"2|2003-01-02|0|A|-1000.00|R"}, "checks=1"},
      {"day first told by the dates, decimal commas", "!Type:Bank\nD31.01.2003\nT-1.234,50\nPA\n^\n", {},
       {"2|2003-01-31|0|A|-1234.50"}},
      {"no payee takes the memo, else the check's word, else a fixed word",
       "!Type:Bank\nD01/02/2003\nT1\nMNote\n^\nD01/02/2003\nT2\nNDEP\n^\nD01/02/2003\nT3\n^\n", {},
       {"2|2003-01-02|0|Note|1.00", "6|2003-01-02|0|DEP|2.00", "10|2003-01-02|0|(no payee)|3.00"}},
      {"!Account blocks are accounts, the AutoSwitch list names none",
       "!Option:AutoSwitch\n!Account\nNChecking\nTBank\n^\nNSavings\nTBank\n^\n!Clear:AutoSwitch\n"
       "!Account\nNChecking\nTBank\n^\n!Type:Bank\nD01/02/2003\nT-1.00\nPA\n^\n"
       "!Account\nNSavings\nTBank\n^\n!Type:Bank\nD01/31/2003\nT0.12\nPInterest\n^\n", {},
       {"15|2003-01-02|0|A|-1.00 @0", "24|2003-01-31|0|Interest|0.12 @1"}, "Checking/bank/1 Savings/bank/1"},
      {"an investment account is one, and its trades counted",
       "!Account\nNBroker\nTInvst\n^\n!Type:Invst\nD01/02/2003\nNBuy\nYACME\nI10\nQ1\nT10.00\n^\n", {}, {},
       "Broker/investment/1"},
      {"a category list is passed over", "!Type:Cat\nNFood\nE\n^\n!Type:Bank\nD01/02/2003\nT-1.00\nPA\n^\n", {},
       {"6|2003-01-02|0|A|-1.00"}},
  };
  ExpectShapes(cases, ReadQif);
}

const std::string kStatement = "<BANKMSGSRSV1><STMTTRNRS><TRNUID>1<STATUS><CODE>0<SEVERITY>INFO</STATUS><STMTRS>";

TEST(StatementReadersTest, OfxOfSeveralBanksIsReadRightOrRefusedWithItsReason) {
  const std::string statementEnd = "</BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>";
  const std::vector<ShapeCase> cases = {
      {"CDATA, padded amounts, a long check number, a time zone",
       "<OFX>" + kSignOn + kStatement + "<BANKTRANLIST><STMTTRN><TRNTYPE>CHECK<DTPOSTED>20240115120000.000[-5:EST]"
       "<TRNAMT>+00000000000000.2400<CHECKNUM>12345678901<NAME><![CDATA[Fish & <Chips>]]></NAME></STMTTRN>"
       "<STMTTRN><DTPOSTED>20240116<TRNAMT>-1.234,50<NAME>B</STMTTRN>" +
           statementEnd,
       {}, {"1|2024-01-15|0|Fish & <Chips>|0.24", "1|2024-01-16|0|B|-1234.50"}, "checks=1"},
      {"a latin-1 label is read as Windows-1252, as the other formats are",
       "OFXHEADER:100\nCHARSET:ISO-8859-1\n\n<OFX>" + kSignOn + kStatement +
           "<BANKTRANLIST><STMTTRN><DTPOSTED>20240115<TRNAMT>-1,50<NAME>Caf\xE9 \x80 5</STMTTRN>" + statementEnd,
       {}, {"4|2024-01-15|0|Caf\xC3\xA9 \xE2\x82\xAC 5|-1.50"}},
      {"odd header spacing and old-Mac line ends",
       "OFXHEADER : 100\rCHARSET : 1252\r\r<OFX>\r" + kSignOn + kStatement +
           "<BANKTRANLIST>\r<STMTTRN>\r<DTPOSTED>20240115\r<TRNAMT>-2\r<NAME>\x93Q\x94\r</STMTTRN>\r" + statementEnd,
       {}, {"6|2024-01-15|0|\xE2\x80\x9CQ\xE2\x80\x9D|-2.00"}},
      {"a failed sign-on is the bank's error, with its message",
       "<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>15500<SEVERITY>ERROR<MESSAGE>Invalid user ID</STATUS>"
       "</SONRS></SIGNONMSGSRSV1></OFX>",
       {}, {"1: the bank answered with an error (status 15500): Invalid user ID"}},
      {"a statement's error status", "<OFX>" + kSignOn + "<BANKMSGSRSV1><STMTTRNRS><TRNUID>1<STATUS><CODE>2000"
       "<SEVERITY>ERROR</STATUS></STMTTRNRS></BANKMSGSRSV1></OFX>",
       {}, {"1: the bank answered with an error (status 2000)"}},
      {"two statements are two accounts, a card's among them",
       "<OFX>" + kSignOn + kStatement + "<BANKACCTFROM><BANKID>1<ACCTID>111<ACCTTYPE>CHECKING</BANKACCTFROM>"
       "<BANKTRANLIST><STMTTRN><DTPOSTED>20240115<TRNAMT>-1<NAME>A</STMTTRN></BANKTRANLIST></STMTRS></STMTTRNRS>"
       "<STMTTRNRS><STMTRS><BANKACCTFROM><ACCTID>222<ACCTTYPE>SAVINGS</BANKACCTFROM><BANKTRANLIST><STMTTRN>"
       "<DTPOSTED>20240131<TRNAMT>0.12<NAME>Interest</STMTTRN></BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1>"
       "<CREDITCARDMSGSRSV1><CCSTMTTRNRS><CCSTMTRS><CCACCTFROM><ACCTID>333</CCACCTFROM><BANKTRANLIST><STMTTRN>"
       "<DTPOSTED>20240120<TRNAMT>-5<NAME>C</STMTTRN></BANKTRANLIST></CCSTMTRS></CCSTMTTRNRS></CREDITCARDMSGSRSV1>"
       "</OFX>",
       {}, {"1|2024-01-15|0|A|-1.00 @0", "1|2024-01-31|0|Interest|0.12 @1", "1|2024-01-20|0|C|-5.00 @2"},
       "111/checking/1 222/savings/1 333/credit card/1"},
      {"an investment statement is an investment account",
       "<OFX>" + kSignOn + "<INVSTMTMSGSRSV1><INVSTMTTRNRS><INVSTMTRS><INVACCTFROM><BROKERID>b<ACCTID>9"
       "</INVACCTFROM><INVTRANLIST><BUYSTOCK><INVBUY><INVTRAN><FITID>1<DTTRADE>20240102</INVTRAN></INVBUY>"
       "</BUYSTOCK><INVBANKTRAN><STMTTRN><DTPOSTED>20240103<TRNAMT>5<NAME>Cash</STMTTRN></INVBANKTRAN>"
       "</INVTRANLIST></INVSTMTRS></INVSTMTTRNRS></INVSTMTMSGSRSV1></OFX>",
       {}, {"1|2024-01-03|0|Cash|5.00"}, "9/investment/2"},
      {"a check's number given only as its reference, a day written with dashes",
       "<OFX>" + kSignOn + kStatement + "<BANKTRANLIST><STMTTRN><TRNTYPE>CHECK<DTPOSTED>20240115<TRNAMT>-2"
       "<REFNUM>1042<NAME>Water</STMTTRN><STMTTRN><TRNTYPE>DEBIT<DTPOSTED>2024-01-15T10:00:00<TRNAMT>-2<REFNUM>77<NAME>Shop"
       "</STMTTRN>" + statementEnd,
       {}, {"1|2024-01-15|1042|Water|-2.00", "1|2024-01-15|0|Shop|-2.00"}},
      {"no name takes the memo, else the type", "<OFX>" + kSignOn + kStatement +
       "<BANKTRANLIST><STMTTRN><TRNTYPE>FEE<DTPOSTED>20240115<TRNAMT>-2</STMTTRN>" + statementEnd,
       {}, {"1|2024-01-15|0|FEE|-2.00"}},
  };
  ExpectShapes(cases, ReadOfx);
}

}  // namespace
