// OFX, SGML (1.x) and XML (2.x), read by a reader of our own so that Linux
// and Windows read the same files the same way. Only the transactions are
// read: each <STMTTRN> with its TRNTYPE, DTPOSTED, TRNAMT, FITID, CHECKNUM,
// NAME and MEMO; the envelope around them is checked only to warn.
#include <cctype>
#include <optional>

#include "io/Fields.h"
#include "io/StatementFiles.h"
#include "storage/TextEncoding.h"

namespace {

// The five bytes Windows-1252 leaves unassigned: no bank means them as text.
bool Unassigned1252(unsigned char c) { return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D; }

enum class Charset { Utf8, Cp1252, Latin1 };

// An SGML file names its character set in its header (CHARSET:1252,
// CHARSET:ISO-8859-1); an XML file is UTF-8 unless its declaration says so.
Charset CharsetOf(std::string_view text) {
  std::string_view head = text.substr(0, text.find('<'));
  size_t at = head.find("CHARSET:");
  if (at != std::string_view::npos) {
    std::string_view value = Trim(head.substr(at + 8, head.find('\n', at) - at - 8));
    if (value == "1252" || EqualsNoCase(value, "windows-1252")) return Charset::Cp1252;
    if (EqualsNoCase(value, "ISO-8859-1") || EqualsNoCase(value, "8859-1") || EqualsNoCase(value, "latin1"))
      return Charset::Latin1;
  }
  size_t decl = text.find("<?xml");
  if (decl != std::string_view::npos && decl < 64) {
    std::string_view line = text.substr(decl, text.find("?>", decl) - decl);
    if (ContainsNoCase(line, "windows-1252")) return Charset::Cp1252;
    if (ContainsNoCase(line, "iso-8859-1")) return Charset::Latin1;
  }
  return Charset::Utf8;
}

// The text of an element: entities replaced, converted to UTF-8. Fails on a
// byte the character set does not allow.
bool DecodeText(std::string_view raw, Charset charset, std::string& out) {
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
    if (c < 0x80 || charset == Charset::Utf8) {
      out += static_cast<char>(c);
    } else if (charset == Charset::Cp1252) {
      if (Unassigned1252(c)) return false;
      out += Windows1252ToUtf8(raw.substr(i, 1));
    } else {
      AppendUtf8(out, c);
    }
  }
  return IsUtf8(out);
}

// OFX amounts take a point or a comma as the decimal mark.
std::optional<int64_t> OfxAmount(std::string_view text) {
  text = Trim(text);
  bool comma = text.find(',') != std::string_view::npos && text.find('.') == std::string_view::npos;
  return ParseAmount(text, comma);
}

// YYYYMMDD, then an optional time and zone that do not change the day the
// bank booked the transaction on.
std::optional<CalendarDate> OfxDate(std::string_view text) {
  text = Trim(text);
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
  std::string type, posted, user, amount, id, check, name, payeeName, memo;
  bool inPayee = false;
};

}  // namespace

FileFormat DetectFormat(std::string_view text) {
  text = SkipByteOrderMark(text);
  std::string_view start = Trim(text.substr(0, 4096));
  if (start.substr(0, 9) == "OFXHEADER" || ContainsNoCase(start, "<OFX>") || ContainsNoCase(start, "<STMTTRN>") ||
      (start.substr(0, 5) == "<?xml" && ContainsNoCase(start, "<?OFX")))
    return FileFormat::Ofx;
  if (!start.empty() && start[0] == '!') return FileFormat::Qif;
  return FileFormat::Csv;
}

ReadResult ReadOfx(std::string_view text) {
  ReadResult result;
  text = SkipByteOrderMark(text);
  const Charset charset = CharsetOf(text);
  bool sawOfx = false, sawSignOn = false, sawOfxEnd = false;
  std::optional<Transaction> open;
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
    if (!t.check.empty()) {
      auto check = ParseCheckNumber(t.check);
      if (!check) return result.Fail(t.line, "check number '" + t.check + "' is too large");
      row.checkNum = *check;
    }
    row.payee = !t.name.empty() ? t.name : !t.payeeName.empty() ? t.payeeName : t.memo;
    result.rows.push_back(std::move(row));
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
    for (char c : tag) line += c == '\n';
    at = gt + 1;
    if (tag.empty() || tag[0] == '?' || tag[0] == '!') continue;  // declarations and comments
    bool closing = tag[0] == '/';
    if (closing) tag.remove_prefix(1);
    // An SGML element's value runs to the next tag; in XML its end tag follows.
    size_t next = text.find('<', at);
    std::string_view raw = text.substr(at, next == std::string_view::npos ? std::string_view::npos : next - at);

    if (EqualsNoCase(tag, "OFX")) {
      (closing ? sawOfxEnd : sawOfx) = true;
    } else if (EqualsNoCase(tag, "SIGNONMSGSRSV1")) {
      sawSignOn = true;
    } else if (EqualsNoCase(tag, "STMTTRN")) {
      if (!closing) {
        if (open) return result.Fail(open->line, "the transaction is not closed (</STMTTRN>)"), result;
        open = Transaction();
        open->line = tagLine;
      } else {
        if (!open) return result.Fail(tagLine, "</STMTTRN> without its <STMTTRN>"), result;
        finish(*open);
        open.reset();
      }
    } else if (open && EqualsNoCase(tag, "PAYEE")) {
      open->inPayee = !closing;
    } else if (open && !closing) {
      if (!DecodeText(Trim(raw), charset, value))
        return result.Fail(tagLine, "the text of <" + std::string(tag) + "> is not in the file's character set"), result;
      std::string* field = EqualsNoCase(tag, "TRNTYPE")    ? &open->type
                           : EqualsNoCase(tag, "DTPOSTED") ? &open->posted
                           : EqualsNoCase(tag, "DTUSER")   ? &open->user
                           : EqualsNoCase(tag, "TRNAMT")   ? &open->amount
                           : EqualsNoCase(tag, "FITID")    ? &open->id
                           : EqualsNoCase(tag, "CHECKNUM") ? &open->check
                           : EqualsNoCase(tag, "NAME")     ? (open->inPayee ? &open->payeeName : &open->name)
                           : EqualsNoCase(tag, "MEMO")     ? &open->memo
                                                          : nullptr;
      if (field && !field->empty() && !value.empty())
        return result.Fail(tagLine, "a second <" + std::string(tag) + "> in one transaction"), result;
      if (field) *field = value;
    }
  }
  if (result.Failed()) return result;
  if (open) return result.Fail(open->line, "the transaction is not closed (</STMTTRN>)"), result;
  if (!sawOfx && result.rows.empty()) return result.Fail(1, "the file is not an OFX statement (no <OFX>)"), result;
  // What some banks and converters leave out; the transactions are whole.
  if (!sawOfx) result.warning = "the file has no <OFX> element";
  else if (!sawSignOn) result.warning = "the file has no sign-on block (SIGNONMSGSRSV1)";
  else if (!sawOfxEnd) result.warning = "the file ends before </OFX>";
  if (!result.warning.empty())
    result.warning += result.rows.size() == 1 ? "; its one transaction was read"
                                              : "; its " + std::to_string(result.rows.size()) + " transactions were read";
  return result;
}
