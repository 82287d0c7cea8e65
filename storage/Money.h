// Money in whole cents. The record fields keep amounts in single precision
// and the statements write them with two decimals; every computation on them
// (a balance step, a sum over rows) is done in whole cents and only then
// reduced to single precision, so a running balance always equals the
// initial balance plus the credits minus the debits it was given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <string>

// Single precision holds every cent only below 2^17 = 131072.00; from there
// on two neighbouring cents can share one value.
constexpr int64_t kCentsLimit = 13'107'200;

// The whole cents of an amount as it reads when written with two decimals:
// half away from zero, but for an amount exactly on half a cent, which the
// statements write to the even cent. Far beyond any balance (from 2^62 cents)
// it saturates: such a value is no number of cents any more.
int64_t ToCents(double amount);
// The cents reduced to single precision, as a record field holds them.
float FromCents(int64_t cents);
// True when single precision keeps the amount to the cent: |cents| below the limit.
bool KeepsEveryCent(int64_t cents);
// a + b. A saturated operand saturates the sum, so no sum with one ever
// comes back into the range of real amounts.
int64_t AddCents(int64_t a, int64_t b);
// a - b in whole cents; exactly 0 when they are the same value, even one
// that saturates.
int64_t Difference(float a, float b);

// Writes the cents as "-12.50" (as FormatMoney writes the same amount) and
// returns the end; `out` has room for kCentsArea bytes. No terminator.
constexpr size_t kCentsArea = 24;
char* WriteCents(char* out, int64_t cents);

// How a written amount may look beyond the register's own form: blanks
// around, an optional sign and "$" (either first), digits with optional
// thousands commas in groups of three, an optional point and decimals.
struct AmountForm {
  bool decimalComma = false;    // "1.234,56": points group, the comma marks the cents
  bool statementMarks = false;  // "(12.50)" is negative, and a euro or pound sign may stand for "$"
  bool exactCents = false;      // decimals past the cents must be zeros, instead of rounded
};

// The amount's whole cents, a third decimal and more rounded half away from
// zero unless the form asks for exact cents; nothing when the text is not an
// amount of that form (empty text among it). More than 15 digits before the
// point saturate at 2^62 cents, as ToCents does far beyond any balance.
std::optional<int64_t> ReadAmount(std::string_view text, const AmountForm& form = {});

// The same as a string: "-12.50".
std::string FormatCents(int64_t cents);

// Writes the amount widened to double with two decimals, exactly as
// printf("%.2f") writes it in the C locale, and returns the end; `out` has
// room for kMoneyArea bytes. No terminator is written.
constexpr size_t kMoneyArea = 48;
char* FormatMoney(char* out, float amount);
// The same as a string.
std::string MoneyText(float amount);
