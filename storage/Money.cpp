#include "storage/Money.h"

#include <charconv>
#include <cmath>

namespace {

// Beyond any sum of balances and amounts a float can name, with room to add.
constexpr int64_t kMaxCents = int64_t{1} << 62;

int64_t Saturate(double cents) {
  if (std::isnan(cents)) return 0;
  if (cents >= static_cast<double>(kMaxCents)) return kMaxCents;
  if (cents <= -static_cast<double>(kMaxCents)) return -kMaxCents;
  return static_cast<int64_t>(cents);
}

}  // namespace

int64_t ToCents(double amount) {
  double scaled = amount * 100.0;
  if (!(std::fabs(scaled) < static_cast<double>(kMaxCents))) return Saturate(scaled);
  double rounded = std::round(scaled);
  if (std::fabs(scaled - std::trunc(scaled)) == 0.5) {
    double lost = std::fma(amount, 100.0, -scaled);
    if (lost == 0) {
      // Exactly half a cent (0.125): the statements have always written such
      // an amount to the even cent, "0.12"; the cents are what the row says.
      rounded = 2.0 * std::round(scaled / 2.0);
    } else if (std::signbit(lost) != std::signbit(scaled)) {
      // The product rounded onto a half the amount is not on (0.015 is a
      // little below it): what it lost decides the side.
      rounded = std::trunc(scaled);
    }
  }
  return static_cast<int64_t>(rounded);
}

float FromCents(int64_t cents) { return static_cast<float>(static_cast<double>(cents) / 100.0); }

bool KeepsEveryCent(int64_t cents) { return cents > -kCentsLimit && cents < kCentsLimit; }

int64_t AddCents(int64_t a, int64_t b) {
  if (a >= kMaxCents || a <= -kMaxCents) return a;
  if (b >= kMaxCents || b <= -kMaxCents) return b;
  int64_t sum = a + b;  // both below 2^62: the sum fits
  return sum >= kMaxCents ? kMaxCents : sum <= -kMaxCents ? -kMaxCents : sum;
}

int64_t Difference(float a, float b) { return a == b ? 0 : AddCents(ToCents(a), -ToCents(b)); }

char* WriteCents(char* out, int64_t cents) {
  uint64_t magnitude = cents < 0 ? 0 - static_cast<uint64_t>(cents) : static_cast<uint64_t>(cents);
  if (cents < 0) *out++ = '-';
  out = std::to_chars(out, out + kCentsArea - 4, magnitude / 100).ptr;
  *out++ = '.';
  *out++ = static_cast<char>('0' + magnitude % 100 / 10);
  *out++ = static_cast<char>('0' + magnitude % 10);
  return out;
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool TakeSign(std::string_view& text, bool& negative) {
  if (text.empty() || (text.front() != '-' && text.front() != '+')) return false;
  negative = text.front() == '-';
  text = TrimBlanks(text.substr(1));
  return true;
}

bool TakeCurrency(std::string_view& text, bool others) {
  static constexpr std::string_view kOthers[] = {"\xE2\x82\xAC", "\xC2\xA3"};  // euro, pound
  if (text.starts_with('$')) {
    text = TrimBlanks(text.substr(1));
    return true;
  }
  for (std::string_view symbol : kOthers) {
    if (others && text.starts_with(symbol)) {
      text = TrimBlanks(text.substr(symbol.size()));
      return true;
    }
  }
  return false;
}

// Beyond them an amount is far beyond any balance: it saturates as ToCents does.
constexpr size_t kMostDigits = 15;

}  // namespace

std::optional<int64_t> ReadAmount(std::string_view text, const AmountForm& form) {
  text = TrimBlanks(text);
  bool negative = false;
  if (form.statementMarks && text.size() >= 2 && text.front() == '(' && text.back() == ')') {
    negative = true;
    text = TrimBlanks(text.substr(1, text.size() - 2));
  }
  // "-$25" and "$-25" alike, each mark at most once.
  bool signed_ = false;
  if (!negative) signed_ = TakeSign(text, negative);
  if (TakeCurrency(text, form.statementMarks) && !signed_ && !negative) TakeSign(text, negative);

  const char group = form.decimalComma ? '.' : ',';
  const char point = form.decimalComma ? ',' : '.';
  int64_t units = 0;
  size_t at = 0, digits = 0, sinceGroup = 0;
  bool grouped = false;
  for (; at < text.size() && text[at] != point; ++at) {
    const char c = text[at];
    if (c == group) {
      if (digits == 0 || (grouped && sinceGroup != 3) || (!grouped && sinceGroup > 3)) return std::nullopt;
      grouped = true;
      sinceGroup = 0;
      continue;
    }
    if (c < '0' || c > '9') return std::nullopt;
    if (digits < kMostDigits) units = units * 10 + (c - '0');
    ++digits;
    ++sinceGroup;
  }
  if (grouped && sinceGroup != 3) return std::nullopt;
  int64_t cents = 0;
  size_t decimals = 0;
  bool roundUp = false;
  if (at < text.size()) {
    for (++at; at < text.size(); ++at, ++decimals) {
      const char c = text[at];
      if (c < '0' || c > '9') return std::nullopt;
      if (decimals < 2) {
        cents = cents * 10 + (c - '0');
      } else if (form.exactCents) {
        if (c != '0') return std::nullopt;
      } else if (decimals == 2) {
        roundUp = c >= '5';  // half away from zero: the third decimal decides
      }
    }
    if (decimals == 0 && digits == 0) return std::nullopt;
  } else if (digits == 0) {
    return std::nullopt;
  }
  if (decimals == 1) cents *= 10;
  const int64_t value = digits > kMostDigits ? kMaxCents : units * 100 + cents + (roundUp ? 1 : 0);
  return negative ? -value : value;
}

std::string FormatCents(int64_t cents) {
  char text[kCentsArea];
  return std::string(text, WriteCents(text, cents));
}

char* FormatMoney(char* out, float amount) {
  // A float's 24-bit mantissa times 100 fits a double's 53 bits, so the cents
  // are exact, and rounding them half to even is what printf does.
  double cents = static_cast<double>(amount) * 100;
  if (!(std::fabs(cents) < 1e15)) {
    return std::to_chars(out, out + kMoneyArea, static_cast<double>(amount), std::chars_format::fixed, 2).ptr;
  }
  if (std::signbit(amount)) *out++ = '-';
  auto whole = static_cast<uint64_t>(std::fabs(std::nearbyint(cents)));
  out = std::to_chars(out, out + kMoneyArea - 4, whole / 100).ptr;
  *out++ = '.';
  *out++ = static_cast<char>('0' + whole % 100 / 10);
  *out++ = static_cast<char>('0' + whole % 10);
  return out;
}

std::string MoneyText(float amount) {
  char text[kMoneyArea];
  return std::string(text, FormatMoney(text, amount));
}
