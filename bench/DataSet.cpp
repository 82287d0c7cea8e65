#include "bench/DataSet.h"

#include <cstdio>
#include <random>

#include "storage/AccountRecord.h"
#include "storage/LedgerRecord.h"

namespace {

// A few hundred payees: every pairing of a place and a trade.
const char* const kPlaces[] = {"Corner",   "Main Street", "Green Valley", "O'Brien's", "Riverside",
                               "Northgate", "Oak Hill",    "Harbor",       "Summit",    "Lakeside",
                               "Westfield", "Maple",       "Union",        "Pioneer",   "Sunrise",
                               "Cedar",     "Station",     "Park Avenue",  "Old Town",  "Bayview"};
const char* const kTrades[] = {"Grocery", "Pharmacy",   "Hardware", "Bakery",  "Gas",
                               "Dental",  "Auto Repair", "Books",    "Florist", "Diner",
                               "Cleaners", "Pet Supply", "Insurance", "Electric", "Water Co."};

constexpr int kPlaceCount = sizeof kPlaces / sizeof kPlaces[0];
constexpr int kTradeCount = sizeof kTrades / sizeof kTrades[0];
constexpr int kFirstYear = 1990;
constexpr int kYears = 36;

// Raw engine output only: the standard distributions differ between libraries.
class Dice {
 public:
  int Below(int n) { return static_cast<int>(engine_() % static_cast<uint32_t>(n)); }

 private:
  std::mt19937 engine_{20030115u};
};

// As people type dates: mostly 01/15/2003, some 1/15/2003, a few 01/15/03.
void TypedDate(char (&text)[32], int day, Dice& dice) {
  int year = kFirstYear + day / 336;
  int month = day / 28 % 12 + 1;
  int dayOfMonth = day % 28 + 1;
  int style = dice.Below(10);
  if (style < 7) {
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", month, dayOfMonth, year);
  } else if (style < 9) {
    std::snprintf(text, sizeof text, "%d/%d/%04d", month, dayOfMonth, year);
  } else {
    std::snprintf(text, sizeof text, "%02d/%02d/%02d", month, dayOfMonth, year % 100);
  }
}

}  // namespace

bool FillLedger(DatabaseEngine* engine, int32_t rows) {
  AccountRecord account(engine, "QAccounts");
  LedgerRecord entry(engine, "QLedger");
  account.CreateTable();
  entry.CreateTable();
  account.SetBankName("Household");
  account.mAccBalance = 1000;
  account.mInitialBalance = 1000;
  if (account.Insert() == 0) return false;

  Dice dice;
  int32_t checkNumber = 1001;
  constexpr int64_t kDays = int64_t{kYears} * 336;
  if (engine->Execute("BEGIN", nullptr, nullptr) == 0) return false;
  for (int32_t i = 0; i < rows; ++i) {
    char date[32];
    TypedDate(date, static_cast<int>(kDays * i / (rows > 0 ? rows : 1)), dice);
    entry.SetDate(date);
    char payee[64];
    std::snprintf(payee, sizeof payee, "%s %s", kPlaces[dice.Below(kPlaceCount)], kTrades[dice.Below(kTradeCount)]);
    entry.SetPayee(payee);
    bool deposit = dice.Below(10) == 0;
    entry.mCredit = deposit ? static_cast<float>(150000 + dice.Below(150000)) / 100 : 0.0f;
    entry.mDebit = deposit ? 0.0f : static_cast<float>(100 + dice.Below(99900)) / 100;
    entry.mCheckNum = deposit || dice.Below(8) == 0 ? 0 : checkNumber++;
    // Old transactions are reconciled; the last few hundred are still open.
    int roll = dice.Below(100);
    bool recent = rows - i <= 500;
    entry.mStatus = recent ? (roll < 70 ? StatusPlain : roll < 85 ? StatusMarked : StatusCleared)
                           : (roll < 96 ? StatusReconciled : roll < 98 ? StatusCleared : StatusPlain);
    entry.mAccID = 1;
    if (entry.Insert() == 0) return false;
  }
  return engine->Execute("COMMIT", nullptr, nullptr) != 0;
}
