// OFX, SGML (1.x) and XML (2.x), read by a reader of our own so that Linux
// and Windows read the same files the same way. Only the transactions are
// read: each <STMTTRN> with its TRNTYPE, DTPOSTED, TRNAMT, FITID, CHECKNUM,
// NAME and MEMO; the envelope around them is checked only to warn.
#include <cctype>
#include <cstdint>
#include <optional>

#include "io/Fields.h"
#include "io/StatementFiles.h"
#include "io/FileShapes.h"
#include "io/InputEncoding.h"
#include "storage/TextEncoding.h"

namespace {

// The value after NAME in an SGML header ("CHARSET:1252", "CHARSET : 1252").
std::string HeaderValue(std::string_view head, std::string_view name) {
  for (size_t at = 0; at + name.size() <= head.size(); ++at) {
    if (!EqualsNoCase(head.substr(at, name.size()), name)) continue;
    size_t i = at + name.size();
    while (i < head.size() && (head[i] == ' ' || head[i] == '\t')) ++i;
    if (i >= head.size() || head[i] != ':') continue;
    size_t end = head.find('\n', i);
    return std::string(Trim(head.substr(i + 1, end == std::string_view::npos ? end : end - i - 1)));
  }
  return {};
}

enum class Charset { Utf8, Cp1252, Undeclared };

// An SGML file names its character set in its header (CHARSET:1252,
// CHARSET:ISO-8859-1, ENCODING:UTF-8); an XML file in its declaration.
Charset CharsetOf(std::string_view text) {
  std::string_view head = text.substr(0, text.find('<'));
  std::string encoding = HeaderValue(head, "ENCODING"), charset = HeaderValue(head, "CHARSET");
  if (EqualsNoCase(encoding, "UTF-8") || EqualsNoCase(encoding, "UNICODE")) return Charset::Utf8;
  for (std::string_view name : {"1252", "windows-1252", "cp1252", "ISO-8859-1", "8859-1", "latin1", "latin-1"}) {
    if (EqualsNoCase(charset, name)) return Charset::Cp1252;
  }
  size_t decl = text.find("<?xml");
  if (decl != std::string_view::npos && decl < 64) {
    std::string_view line = text.substr(decl, text.find("?>", decl) - decl);
    if (ContainsNoCase(line, "windows-1252") || ContainsNoCase(line, "iso-8859-1") || ContainsNoCase(line, "latin"))
      return Charset::Cp1252;
    if (ContainsNoCase(line, "utf-8")) return Charset::Utf8;
  }
  return Charset::Undeclared;
}

// The text of an element (already UTF-8) with its entities replaced.
bool DecodeText(std::string_view raw, std::string& out) {
  out.clear();
  for (size_t i = 0; i < raw.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(raw[i]);
    if (c == '&') {
      size_t end = raw.find(';', i);
      std::string_view name = end == std::string_view::npos || end - i > 10 ? std::string_view() : raw.substr(i + 1, end - i - 1);
      uint32_t code = 0;
      if (name == "amp") code = '&';
      else if (name == "lt") code = '<';
      else if (name == "gt") code = '>';
      else if (name == "quot") code = '"';
      else if (name == "apos") code = '\'';
      else if (name == "nbsp") code = ' ';
      else if (name.size() > 1 && name[0] == '#') {
        bool hex = name[1] == 'x' || name[1] == 'X';
        for (char d : name.substr(hex ? 2 : 1)) {
          int digit = std::isdigit(static_cast<unsigned char>(d)) ? d - '0'
                      : hex && std::isxdigit(static_cast<unsigned char>(d)) ? std::tolower(d) - 'a' + 10
                                                                           : -1;
          if (digit < 0 || code > 0x10FFFF) return false;
          code = code * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
        }
        if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
      }
      if (code == 0) {
        out += '&';  // a bare ampersand, as banks write "AT&T"
        continue;
      }
      AppendUtf8(out, code);
      i = end;
      continue;
    }
    out += static_cast<char>(c);
  }
  return IsUtf8(out);
}

// OFX amounts take a point or a comma as the decimal mark and group no
// thousands; banks pad them with zeros and a plus sign.
std::optional<int64_t> OfxAmount(std::string_view text) {
  text = Trim(text);
  bool comma = text.find(',') != std::string_view::npos, point = text.find('.') != std::string_view::npos;
  auto amount = ReadAmountText(text, comma && point ? 0 : comma ? ',' : '.');
  if (!amount) return std::nullopt;
  return amount->cents;
}

// YYYYMMDD, then an optional time and zone that do not change the day the
// bank booked the transaction on.
std::optional<CalendarDate> OfxDate(std::string_view text) {
  text = Trim(text);
  // Some programs write the day as 2024-01-15.
  if (text.size() >= 10 && text[4] == '-') return ReadDateAs(text.substr(0, 10), DateOrder::MonthFirst);
  if (text.size() < 8) return std::nullopt;
  std::string_view rest = text.substr(8);
  for (char c : rest) {
    if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.' && c != '[' && c != ']' && c != ':' && c != '-' &&
        c != '+' && !std::isalpha(static_cast<unsigned char>(c)))
      return std::nullopt;
  }
  return ParseDate(text.substr(0, 8), "%Y%m%d");
}

struct Transaction {
  int line = 0;
  std::string type, posted, user, amount, id, check, reference, name, payeeName, memo;
  bool inPayee = false;
};

// A statement aggregate: a bank's, a card's or an investment account's.
struct Statement {
  size_t firstRow = 0;
  std::string id, type;
  bool investment = false;
  size_t trades = 0;
  std::optional<int64_t> closing;  // LEDGERBAL's BALAMT
};

bool LooksLikeQif(std::string_view text) {
  size_t lines = 0;
  bool caret = false;
  while (!text.empty() && lines < 40) {
    size_t end = text.find_first_of("\r\n");
    std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty()) continue;
    ++lines;
    if (std::string_view("DTUPNMCLASE$^FIQYOKRBGX%").find(line[0]) == std::string_view::npos) return false;
    caret = caret || line == "^";
  }
  return caret;
}

}  // namespace

FileFormat DetectFormat(std::string_view text) {
  text = SkipByteOrderMark(text);
  std::string_view start = Trim(text.substr(0, 4096));
  if (start.substr(0, 9) == "OFXHEADER" || ContainsNoCase(start, "<OFX>") || ContainsNoCase(start, "<STMTTRN>") ||
      (start.substr(0, 5) == "<?xml" && ContainsNoCase(start, "<?OFX")))
    return FileFormat::Ofx;
  if (!start.empty() && start[0] == '!') return FileFormat::Qif;
  if (LooksLikeQif(start)) return FileFormat::Qif;
  return FileFormat::Csv;
}

ReadResult ReadOfx(std::string_view file, const ReadOptions& options) {
  ReadResult result;
  std::string decodedText = UnifyLineEnds(file);
  // One decoder for every format: a Latin-1 label is read as Windows-1252,
  // as browsers do, and an undeclared file that is not UTF-8 likewise.
  if (!options.encoding) {
    Charset charset = CharsetOf(decodedText);
    InputEncoding encoding = charset == Charset::Cp1252 || (charset == Charset::Undeclared && !IsUtf8(decodedText))
                                 ? InputEncoding::Windows1252
                                 : InputEncoding::Utf8;
    DecodedText decoded = DecodeStatement(decodedText, encoding);
    if (decoded.errorLine > 0) return result.Fail(decoded.errorLine, decoded.error), result;
    decodedText = std::move(decoded.text);
  }
  std::string_view text = decodedText;
  bool sawOfx = false, sawSignOn = false, sawOfxEnd = false;
  std::optional<Transaction> open;
  std::optional<Statement> statement;
  bool inAccountFrom = false, inStatus = false, inLedgerBalance = false;
  std::optional<int64_t> looseClosing;  // a LEDGERBAL outside any statement aggregate
  std::string statusCode, statusSeverity, statusMessage;
  int statusLine = 0;
  std::string value;
  int line = 1;
  size_t at = 0;

  auto finish = [&](const Transaction& t) {
    StatementRow row;
    row.line = t.line;
    if (t.amount.empty()) return result.Fail(t.line, "the transaction has no amount (TRNAMT)");
    auto cents = OfxAmount(t.amount);
    if (!cents) return result.Fail(t.line, "'" + t.amount + "' is not an amount");
    row.cents = *cents;
    const std::string& dateText = t.posted.empty() ? t.user : t.posted;
    if (dateText.empty()) return result.Fail(t.line, "the transaction has no date (DTPOSTED)");
    auto date = OfxDate(dateText);
    if (!date) return result.Fail(t.line, "'" + dateText + "' is not a date");
    row.date = *date;
    // Some banks give a check's number only as its reference.
    const std::string& checkText = !t.check.empty() || !EqualsNoCase(t.type, "CHECK") ? t.check : t.reference;
    if (!checkText.empty()) {
      // A number longer than the register's check column is left out.
      auto check = ParseCheckNumber(checkText);
      if (check) row.checkNum = *check;
      else ++result.checksLeftOut;
    }
    row.payee = PayeeOf(!t.name.empty() ? t.name : t.payeeName, t.memo, t.type);
    row.account = statement ? 0 : SIZE_MAX;
    result.rows.push_back(std::move(row));
  };
  auto accountFor = [&](const Statement& s) {
    for (size_t i = 0; i < result.accounts.size(); ++i) {
      if (result.accounts[i].id == s.id && result.accounts[i].investment == s.investment) return i;
    }
    result.accounts.push_back({s.id, s.type, s.investment, 0, std::nullopt});
    return result.accounts.size() - 1;
  };
  auto closeStatement = [&]() {
    if (!statement) return;
    size_t index = accountFor(*statement);
    for (size_t r = statement->firstRow; r < result.rows.size(); ++r) result.rows[r].account = index;
    result.accounts[index].transactions += result.rows.size() - statement->firstRow + statement->trades;
    // Of two statements of one account, the later one's balance is the newer.
    if (statement->closing) result.accounts[index].closingCents = statement->closing;
    statement.reset();
  };
  // A bank's error answer (a failed sign-on, an unknown account) is no
  // empty statement.
  auto closeStatus = [&]() {
    inStatus = false;
    std::string code(Trim(statusCode));
    if (code.empty() || code == "0" || EqualsNoCase(statusSeverity, "INFO")) return;
    std::string said = statusMessage.empty() ? "" : ": " + statusMessage;
    if (EqualsNoCase(statusSeverity, "WARN")) {
      if (result.warning.empty()) result.warning = "the bank warned (status " + code + ")" + said;
      return;
    }
    result.Fail(statusLine, "the bank answered with an error (status " + code + ")" + said);
  };

  while (at < text.size() && !result.Failed()) {
    size_t lt = text.find('<', at);
    if (lt == std::string_view::npos) break;
    for (size_t i = at; i < lt; ++i) line += text[i] == '\n';
    // A '<' before the '>' would hide the tag it starts (a <STMTTRN> lost).
    size_t gt = text.find('>', lt);
    size_t nextLt = text.find('<', lt + 1);
    if (gt == std::string_view::npos || nextLt < gt) {
      if (gt != std::string_view::npos || open) result.Fail(line, "a tag is not closed with '>'");
      break;
    }
    std::string_view tag = text.substr(lt + 1, gt - lt - 1);
    const int tagLine = line;
    for (char c : text.substr(lt + 1, gt - lt - 1)) line += c == '\n';
    at = gt + 1;
    if (tag.empty() || tag[0] == '?' || tag[0] == '!') continue;  // declarations and comments
    bool closing = tag[0] == '/';
    if (closing) tag.remove_prefix(1);
    // An SGML element's value runs to the next tag; in XML its end tag
    // follows. A CDATA section is taken as it stands.
    std::string_view raw;
    bool cdata = false;
    size_t valueStart = at;
    while (valueStart < text.size() && std::isspace(static_cast<unsigned char>(text[valueStart]))) ++valueStart;
    if (!closing && text.substr(valueStart, 9) == "<![CDATA[") {
      size_t end = text.find("]]>", valueStart + 9);
      if (end == std::string_view::npos) return result.Fail(tagLine, "a CDATA section is not closed"), result;
      raw = text.substr(valueStart + 9, end - valueStart - 9);
      for (size_t i = at; i < end; ++i) line += text[i] == '\n';
      at = end + 3;
      cdata = true;
    } else {
      size_t next = text.find('<', at);
      raw = text.substr(at, next == std::string_view::npos ? std::string_view::npos : next - at);
    }
    auto readValue = [&]() {
      if (cdata) {
        value = std::string(Trim(raw));
        return true;
      }
      return DecodeText(Trim(raw), value);
    };

    if (EqualsNoCase(tag, "OFX")) {
      (closing ? sawOfxEnd : sawOfx) = true;
    } else if (EqualsNoCase(tag, "SIGNONMSGSRSV1")) {
      sawSignOn = true;
    } else if (EqualsNoCase(tag, "STATUS")) {
      if (inStatus) closeStatus();
      if (!closing) {
        inStatus = true;
        statusLine = tagLine;
        statusCode.clear(), statusSeverity.clear(), statusMessage.clear();
      }
    } else if (inStatus && !closing && (EqualsNoCase(tag, "CODE") || EqualsNoCase(tag, "SEVERITY") || EqualsNoCase(tag, "MESSAGE"))) {
      readValue();
      (EqualsNoCase(tag, "CODE") ? statusCode : EqualsNoCase(tag, "SEVERITY") ? statusSeverity : statusMessage) = value;
    } else if (EqualsNoCase(tag, "STMTRS") || EqualsNoCase(tag, "CCSTMTRS") || EqualsNoCase(tag, "INVSTMTRS")) {
      if (inStatus) closeStatus();
      closeStatement();
      inLedgerBalance = false;
      if (!closing) {
        statement = Statement();
        statement->firstRow = result.rows.size();
        statement->investment = EqualsNoCase(tag, "INVSTMTRS");
        statement->type = statement->investment ? "investment" : EqualsNoCase(tag, "CCSTMTRS") ? "credit card" : "bank";
      }
    } else if (EqualsNoCase(tag, "BANKACCTFROM") || EqualsNoCase(tag, "CCACCTFROM") || EqualsNoCase(tag, "INVACCTFROM")) {
      inAccountFrom = !closing;
    } else if (statement && inAccountFrom && !closing && (EqualsNoCase(tag, "ACCTID") || EqualsNoCase(tag, "ACCTTYPE"))) {
      readValue();
      if (EqualsNoCase(tag, "ACCTID")) {
        statement->id = value;
      } else {
        statement->type.clear();
        for (char c : value) statement->type += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      }
    } else if (statement && statement->investment && !closing && EqualsNoCase(tag, "INVTRAN")) {
      ++statement->trades;
    } else if (EqualsNoCase(tag, "STMTTRN")) {
      if (inStatus) closeStatus();
      if (!closing) {
        if (open) return result.Fail(open->line, "the transaction is not closed (</STMTTRN>)"), result;
        open = Transaction();
        open->line = tagLine;
      } else {
        if (!open) return result.Fail(tagLine, "</STMTTRN> without its <STMTTRN>"), result;
        finish(*open);
        open.reset();
      }
    } else if (EqualsNoCase(tag, "LEDGERBAL")) {
      inLedgerBalance = !closing;
    } else if (inLedgerBalance && !open && !closing && EqualsNoCase(tag, "BALAMT")) {
      // The closing balance is only shown beside the register's, so one that
      // does not read is left unstated rather than refusing the statement.
      std::optional<int64_t> cents = readValue() ? OfxAmount(value) : std::nullopt;
      (statement ? statement->closing : looseClosing) = cents;
    } else if (open && EqualsNoCase(tag, "PAYEE")) {
      open->inPayee = !closing;
    } else if (open && !closing) {
      if (!readValue())
        return result.Fail(tagLine, "the text of <" + std::string(tag) + "> is not in the file's character set"), result;
      std::string* field = EqualsNoCase(tag, "TRNTYPE")    ? &open->type
                           : EqualsNoCase(tag, "DTPOSTED") ? &open->posted
                           : EqualsNoCase(tag, "DTUSER")   ? &open->user
                           : EqualsNoCase(tag, "TRNAMT")   ? &open->amount
                           : EqualsNoCase(tag, "FITID")    ? &open->id
                           : EqualsNoCase(tag, "CHECKNUM") ? &open->check
                           : EqualsNoCase(tag, "REFNUM")   ? &open->reference
                           : EqualsNoCase(tag, "NAME")     ? (open->inPayee ? &open->payeeName : &open->name)
                           : EqualsNoCase(tag, "MEMO")     ? &open->memo
                                                          : nullptr;
      if (field && !field->empty() && !value.empty())
        return result.Fail(tagLine, "a second <" + std::string(tag) + "> in one transaction"), result;
      if (field) *field = value;
    } else if (inStatus && !closing) {
      closeStatus();  // SGML leaves </STATUS> out
    }
  }
  if (inStatus) closeStatus();
  if (result.Failed()) return result;
  if (open) return result.Fail(open->line, "the transaction is not closed (</STMTTRN>)"), result;
  closeStatement();
  if (!sawOfx && result.rows.empty()) return result.Fail(1, "the file is not an OFX statement (no <OFX>)"), result;
  // Transactions outside any statement aggregate belong to one unnamed account.
  bool loose = false;
  for (const StatementRow& row : result.rows) loose = loose || row.account >= result.accounts.size();
  if (loose || result.accounts.empty()) {
    result.accounts.push_back({"", "bank", false, 0, looseClosing});
    for (StatementRow& row : result.rows) {
      if (row.account == SIZE_MAX) {
        row.account = result.accounts.size() - 1;
        ++result.accounts.back().transactions;
      }
    }
  }
  // What some banks and converters leave out; the transactions are whole.
  if (!result.warning.empty()) return result;
  if (!sawOfx) result.warning = "the file has no <OFX> element";
  else if (!sawSignOn) result.warning = "the file has no sign-on block (SIGNONMSGSRSV1)";
  else if (!sawOfxEnd) result.warning = "the file ends before </OFX>";
  if (!result.warning.empty())
    result.warning += result.rows.size() == 1 ? "; its one transaction was read"
                                              : "; its " + std::to_string(result.rows.size()) + " transactions were read";
  return result;
}
