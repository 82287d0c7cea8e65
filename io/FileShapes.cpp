#include "io/FileShapes.h"

#include <cctype>

#include "io/Fields.h"

const char kNoPayee[] = "(no payee)";

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80; }

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Month names and their common short forms in the languages banks write.
int MonthNamed(std::string_view word) {
  static const struct {
    const char* prefix;
    int month;
  } kNames[] = {{"jan", 1}, {"feb", 2}, {"f\xc3\xa9v", 2}, {"mar", 3}, {"m\xc3\xa4r", 3}, {"mrt", 3}, {"apr", 4},
                {"avr", 4}, {"may", 5}, {"mai", 5}, {"mei", 5}, {"jun", 6}, {"juin", 6}, {"jul", 7}, {"juil", 7},
                {"aug", 8}, {"ao\xc3\xbb", 8}, {"sep", 9}, {"oct", 10}, {"okt", 10}, {"nov", 11}, {"dec", 12},
                {"dez", 12}, {"d\xc3\xa9""c", 12}};
  std::string lower = LowerAscii(word);
  if (lower.size() < 3) return 0;
  int found = 0;
  size_t longest = 0;
  for (const auto& name : kNames) {
    std::string_view prefix = name.prefix;
    if (lower.compare(0, prefix.size(), prefix) == 0 && prefix.size() > longest) {
      found = name.month;
      longest = prefix.size();
    }
  }
  return found;
}

bool IsWeekday(std::string_view word) {
  std::string lower = LowerAscii(word.substr(0, 3));
  for (const char* day : {"mon", "tue", "wed", "thu", "fri", "sat", "sun"}) {
    if (lower == day) return true;
  }
  return false;
}

struct Token {
  std::string_view text;
  bool digits;
  char before;  // the separator before it, 0 at the start
};

int Number(std::string_view digits) {
  int value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

int FullYear(const Token& year) {
  int value = Number(year.text);
  if (year.text.size() == 4) return value;
  if (year.before == '\'' && year.text.size() <= 2) return 2000 + value;  // Quicken's mark for the 2000s: 1/ 2' 4
  if (year.text.size() != 2) return -1;
  return value < 70 ? 2000 + value : 1900 + value;
}

// Rows sorted by date, one way or the other.
bool InDateOrder(const std::vector<CalendarDate>& dates) {
  auto key = [](const CalendarDate& d) { return d.year * 400 + d.month * 32 + d.day; };
  bool up = true, down = true;
  for (size_t i = 1; i < dates.size(); ++i) {
    up = up && key(dates[i - 1]) <= key(dates[i]);
    down = down && key(dates[i - 1]) >= key(dates[i]);
  }
  return up || down;
}

}  // namespace

std::string UnifyLineEnds(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      out += text[i];
      continue;
    }
    out += '\n';
    if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  return out;
}

std::optional<CalendarDate> ReadDateAs(std::string_view text, DateOrder order) {
  text = Trim(text);
  // A time after the day: "2024-01-15T10:00:00", "01/15/2024 10:00 AM".
  if (size_t colon = text.find(':'); colon != std::string_view::npos) {
    size_t cut = text.substr(0, colon).find_last_of(" T");
    if (cut == std::string_view::npos) return std::nullopt;
    text = Trim(text.substr(0, cut));
  }
  std::vector<Token> tokens;
  char separator = 0;
  for (size_t i = 0; i < text.size();) {
    size_t start = i;
    bool digits = IsDigit(text[i]);
    if (digits || IsLetter(text[i])) {
      while (i < text.size() && (digits ? IsDigit(text[i]) : IsLetter(text[i]))) ++i;
      if (tokens.size() == 4) return std::nullopt;
      tokens.push_back({text.substr(start, i - start), digits, separator});
      separator = 0;
      continue;
    }
    if (text[i] != ' ' || separator == 0) separator = text[i];
    if (std::string_view("/-.' ,").find(text[i]) == std::string_view::npos) return std::nullopt;
    ++i;
  }
  // A weekday before the date says nothing more.
  if (!tokens.empty() && !tokens[0].digits && IsWeekday(tokens[0].text) && !MonthNamed(tokens[0].text))
    tokens.erase(tokens.begin());
  CalendarDate date;
  if (tokens.size() == 1 && tokens[0].digits && tokens[0].text.size() == 8) {
    std::string_view t = tokens[0].text;
    date = {Number(t.substr(0, 4)), Number(t.substr(4, 2)), Number(t.substr(6, 2))};
  } else if (tokens.size() == 3) {
    int named = -1;
    for (int i = 0; i < 3; ++i) {
      if (tokens[i].digits) continue;
      if (named >= 0) return std::nullopt;
      named = i;
    }
    for (const Token& t : tokens) {
      if (t.digits && t.text.size() > 4) return std::nullopt;
    }
    if (named >= 0) {
      date.month = MonthNamed(tokens[named].text);
      if (date.month == 0) return std::nullopt;
      std::vector<const Token*> numbers;
      for (int i = 0; i < 3; ++i) {
        if (i != named) numbers.push_back(&tokens[i]);
      }
      // 2024-Jan-15 has its year first; 15 Jan 2024 and Jan 15, 2024 the day.
      bool yearFirst = numbers[0]->text.size() == 4;
      const Token& day = yearFirst ? *numbers[1] : *numbers[0];
      const Token& year = yearFirst ? *numbers[0] : *numbers[1];
      if (day.text.size() > 2) return std::nullopt;
      date.day = Number(day.text);
      date.year = FullYear(year);
    } else if (tokens[0].text.size() == 4) {
      if (tokens[1].text.size() > 2 || tokens[2].text.size() > 2) return std::nullopt;
      date = {Number(tokens[0].text), Number(tokens[1].text), Number(tokens[2].text)};
    } else {
      if (tokens[0].text.size() > 2 || tokens[1].text.size() > 2) return std::nullopt;
      int first = Number(tokens[0].text), second = Number(tokens[1].text);
      date.month = order == DateOrder::MonthFirst ? first : second;
      date.day = order == DateOrder::MonthFirst ? second : first;
      date.year = FullYear(tokens[2]);
    }
  } else {
    return std::nullopt;
  }
  if (!ValidDay(date)) return std::nullopt;
  return date;
}

DateChoice ChooseDateOrder(const std::vector<std::string_view>& texts, std::optional<DateOrder> fallback) {
  DateChoice choice;
  bool reads[2] = {true, true};
  std::vector<CalendarDate> dates[2];
  bool differ = false;
  for (size_t i = 0; i < texts.size(); ++i) {
    std::optional<CalendarDate> read[2];
    for (int k = 0; k < 2; ++k) {
      read[k] = ReadDateAs(texts[i], static_cast<DateOrder>(k));
      if (read[k]) dates[k].push_back(*read[k]);
      else reads[k] = false;
    }
    if (!read[0] && !read[1]) {
      choice.bad = i;
      choice.error = NotADate(texts[i], "");
      if (choice.error.find("(day first?") != std::string::npos) choice.error = Quoted(texts[i]) + " is not a date";
      return choice;
    }
    if (read[0] && read[1] && (read[0]->month != read[1]->month || read[0]->day != read[1]->day)) differ = true;
  }
  if (reads[0] != reads[1]) {
    choice.order = reads[0] ? DateOrder::MonthFirst : DateOrder::DayFirst;
    return choice;
  }
  if (!differ) return choice;
  bool sorted[2] = {InDateOrder(dates[0]), InDateOrder(dates[1])};
  if (sorted[0] != sorted[1]) {
    choice.order = sorted[0] ? DateOrder::MonthFirst : DateOrder::DayFirst;
    return choice;
  }
  if (fallback) {
    choice.order = *fallback;
    return choice;
  }
  // The two patterns in the file's own separator and year length.
  std::string_view sample = texts.front();
  size_t mark = sample.find_first_not_of("0123456789 ");
  std::string separator = mark == std::string_view::npos ? "/" : std::string(1, sample[mark]);
  size_t yearDigits = sample.size() - sample.find_last_not_of("0123456789") - 1;
  std::string year = yearDigits == 2 ? "%y" : "%Y";
  for (size_t i = 0; i < texts.size() && choice.bad == SIZE_MAX; ++i) {
    auto month = ReadDateAs(texts[i], DateOrder::MonthFirst), day = ReadDateAs(texts[i], DateOrder::DayFirst);
    if (month->month != day->month || month->day != day->day) choice.bad = i;
  }
  choice.error = Quoted(texts[choice.bad]) + " and the file's other dates read both month first and day first; give "
                 "--input-date-format %m" + separator + "%d" + separator + year + " or --input-date-format %d" +
                 separator + "%m" + separator + year;
  return choice;
}

std::optional<DateOrder> CustomaryOrder(const std::vector<std::string_view>& texts) {
  std::optional<DateOrder> order;
  for (std::string_view text : texts) {
    size_t digit = text.find_first_of("0123456789");
    size_t mark = text.find_first_not_of("0123456789 ", digit);
    if (digit == std::string_view::npos || mark == std::string_view::npos) continue;
    std::optional<DateOrder> own;
    if (text[mark] == '/' || text[mark] == '\'') own = DateOrder::MonthFirst;
    else if (text[mark] == '.') own = DateOrder::DayFirst;
    else return std::nullopt;
    if (order && *order != *own) return std::nullopt;
    order = own;
  }
  return order;
}

char DecimalMarkOf(std::string_view text) {
  size_t first = text.find_first_of("0123456789");
  size_t last = text.find_last_of("0123456789");
  if (first == std::string_view::npos) return 0;
  std::string_view middle = text.substr(first, last - first + 1);
  size_t point = middle.rfind('.'), comma = middle.rfind(',');
  bool lead = first > 0 && (text[first - 1] == '.' || text[first - 1] == ',');
  if (lead) return text[first - 1];  // ".50"
  if (point != std::string_view::npos && comma != std::string_view::npos) return point > comma ? '.' : ',';
  size_t at = point != std::string_view::npos ? point : comma;
  if (at == std::string_view::npos) return 0;
  char mark = middle[at];
  if (middle.find(mark) != at) {
    char other = mark == '.' ? ',' : '.';  // the mark groups: 1.234.567
    return ReadAmountText(text, other) ? other : 0;
  }
  if (middle.size() - at - 1 != 3) return mark;
  // 0,500 cannot be a thousands group.
  if (at == 1 && middle[0] == '0') return mark;
  return 0;
}

std::optional<AmountText> ReadAmountText(std::string_view text, char decimal) {
  text = Trim(text);
  size_t first = text.find_first_of("0123456789");
  size_t last = text.find_last_of("0123456789");
  if (first == std::string_view::npos) return std::nullopt;
  if (first > 0 && (text[first - 1] == '.' || text[first - 1] == ',')) --first;
  std::string_view before = text.substr(0, first), middle = text.substr(first, last - first + 1),
                   after = text.substr(last + 1);
  AmountText result;
  int minus = 0, plus = 0, open = 0, close = 0, letters = 0;
  std::string word;
  auto scan = [&](std::string_view part, bool trailing) {
    for (size_t i = 0; i < part.size(); ++i) {
      char c = part[i];
      if (c == '-') ++minus;
      else if (part.substr(i, 3) == "\xE2\x88\x92") { ++minus; i += 2; }  // U+2212 minus sign
      else if (c == '+') ++plus;
      else if (c == '(') ++open;
      else if (c == ')') ++close;
      else if (std::isalpha(static_cast<unsigned char>(c))) { ++letters; if (trailing) word += static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
      else if (c == ' ' || c == '$' || c == '\t' || static_cast<unsigned char>(c) >= 0x80 || c == '.') continue;
      else return false;
    }
    return true;
  };
  if (!scan(before, false) || !scan(after, true)) return std::nullopt;
  bool debitWord = word == "DR" || word == "D" || word == "DB";
  bool creditWord = word == "CR" || word == "C";
  if (minus + plus > 1 || open != close || open > 1 || letters > 4 || (minus + plus > 0 && open > 0)) return std::nullopt;
  if ((debitWord || creditWord) && (minus + plus + open > 0)) return std::nullopt;
  bool negative = minus == 1 || open == 1 || debitWord;
  result.sign = negative || plus == 1 || creditWord;

  // The digits, with spaces and apostrophes as thousands marks dropped.
  std::string digits;
  for (size_t i = 0; i < middle.size(); ++i) {
    char c = middle[i];
    if (IsDigit(c) || c == '.' || c == ',') digits += c;
    else if (c == ' ' || c == '\'') continue;
    else if (middle.substr(i, 2) == "\xC2\xA0") ++i;  // no-break space
    else if (middle.substr(i, 3) == "\xE2\x80\xAF" || middle.substr(i, 3) == "\xE2\x80\x89" ||
             middle.substr(i, 3) == "\xE2\x80\x99") i += 2;  // narrow and thin spaces, a typeset apostrophe
    else return std::nullopt;
  }
  if (decimal == 0) decimal = DecimalMarkOf(digits);
  if (decimal == 0) decimal = '.';
  const char group = decimal == '.' ? ',' : '.';
  size_t mark = digits.find(decimal);
  if (mark != std::string::npos && digits.find(decimal, mark + 1) != std::string::npos) return std::nullopt;
  std::string whole = digits.substr(0, mark), fraction = mark == std::string::npos ? "" : digits.substr(mark + 1);
  if (fraction.find(group) != std::string::npos) return std::nullopt;
  // Thousands marks group by three.
  if (whole.find(group) != std::string::npos) {
    size_t run = 0;
    bool seen = false;
    for (char c : whole) {
      if (c == group) {
        if (run == 0 || (seen && run != 3) || (!seen && run > 3)) return std::nullopt;
        seen = true;
        run = 0;
      } else {
        ++run;
      }
    }
    if (run != 3) return std::nullopt;
  }
  std::string plain;
  for (char c : whole) {
    if (c != group && !(plain.empty() && c == '0')) plain += c;
  }
  while (fraction.size() > 2 && fraction.back() == '0') fraction.pop_back();
  if (whole.empty() && fraction.empty()) return std::nullopt;
  std::string canonical = std::string(negative ? "-" : "") + (plain.empty() ? "0" : plain);
  if (!fraction.empty()) canonical += "." + fraction;
  auto cents = ParseAmount(canonical, false);
  if (!cents) return std::nullopt;
  result.cents = *cents;
  return result;
}

bool LooksLikeFormula(std::string_view text) {
  return !text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos;
}

std::string WithoutFormulaGuard(std::string_view text) {
  if (text.size() >= 2 && text[0] == '\'' && LooksLikeFormula(text.substr(1))) text.remove_prefix(1);
  return std::string(text);
}

std::string PayeeOf(std::string_view name, std::string_view memo, std::string_view type) {
  for (std::string_view text : {name, memo, type}) {
    if (!Trim(text).empty()) return std::string(text);
  }
  return kNoPayee;
}

std::string Quoted(std::string_view text) {
  std::string quoted(1, '\'');
  quoted.append(text).append(1, '\'');
  return quoted;
}
