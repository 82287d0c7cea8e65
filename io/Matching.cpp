#include "io/Matching.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <unordered_map>

#include "storage/TextEncoding.h"

namespace {

// A check is cashed late, and sometimes dated a little ahead.
constexpr long kCheckDaysBefore = 3;
constexpr long kCheckDaysAfter = 90;

struct Pair {
  size_t line;
  size_t row;
  bool sameCheck;
  long distance;
  double likeness;
};

}  // namespace

long DayNumber(const CalendarDate& date) {
  // Days from civil: March-based years put the leap day last.
  long y = date.year - (date.month <= 2 ? 1 : 0);
  long era = y / 400;
  long yoe = y - era * 400;
  long doy = (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
  long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe;
}

// Dice's coefficient over letter pairs: "CORNER GROCERY #123" is close to
// "Corner Grocery", far from "Gas Station".
double PayeeLikeness(const std::string& a, const std::string& b) {
  std::string x = NormalizedName(a), y = NormalizedName(b);
  if (x.size() < 2 || y.size() < 2) return x == y ? 1.0 : 0.0;
  std::unordered_map<uint32_t, int> pairs;
  for (size_t i = 0; i + 1 < x.size(); ++i) ++pairs[(static_cast<uint32_t>(static_cast<unsigned char>(x[i])) << 8) |
                                                  static_cast<unsigned char>(x[i + 1])];
  size_t shared = 0;
  for (size_t i = 0; i + 1 < y.size(); ++i) {
    auto found = pairs.find((static_cast<uint32_t>(static_cast<unsigned char>(y[i])) << 8) |
                            static_cast<unsigned char>(y[i + 1]));
    if (found != pairs.end() && found->second > 0) {
      --found->second;
      ++shared;
    }
  }
  return 2.0 * static_cast<double>(shared) / static_cast<double>(x.size() - 1 + y.size() - 1);
}

std::vector<long> MatchTransactions(const std::vector<MatchSide>& statement, const std::vector<MatchSide>& ledger,
                                    int days) {
  std::vector<long> match(statement.size(), -1);
  // Rows of one amount, by day, so that each line looks only at its window.
  std::unordered_map<int64_t, std::vector<std::pair<long, size_t>>> byAmount;
  for (size_t r = 0; r < ledger.size(); ++r) {
    if (ledger[r].date && ledger[r].cents != 0) byAmount[ledger[r].cents].push_back({DayNumber(*ledger[r].date), r});
  }
  for (auto& bucket : byAmount) std::sort(bucket.second.begin(), bucket.second.end());

  const long before = std::max<long>(days, kCheckDaysAfter), after = std::max<long>(days, kCheckDaysBefore);
  std::vector<Pair> pairs;
  for (size_t s = 0; s < statement.size(); ++s) {
    const MatchSide& line = statement[s];
    if (!line.date) continue;
    auto bucket = byAmount.find(line.cents);
    if (bucket == byAmount.end()) continue;
    const long day = DayNumber(*line.date);
    auto& rows = bucket->second;
    auto from = std::lower_bound(rows.begin(), rows.end(), std::make_pair(day - before, size_t{0}));
    for (auto it = from; it != rows.end() && it->first <= day + after; ++it) {
      const MatchSide& row = ledger[it->second];
      long late = day - it->first;  // how long after the register's date the bank booked it
      bool checks = line.checkNum != 0 && row.checkNum != 0;
      if (checks && line.checkNum != row.checkNum) continue;
      bool inWindow = checks ? late >= -kCheckDaysBefore && late <= kCheckDaysAfter : std::labs(late) <= days;
      if (!inWindow) continue;
      pairs.push_back({s, it->second, checks, std::labs(late), PayeeLikeness(line.payee, row.payee)});
    }
  }
  // The best pairs first; a line and a row are each taken once.
  std::sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) {
    if (a.sameCheck != b.sameCheck) return a.sameCheck;
    if (a.distance != b.distance) return a.distance < b.distance;
    if (a.likeness != b.likeness) return a.likeness > b.likeness;
    if (a.line != b.line) return a.line < b.line;
    return a.row < b.row;
  });
  std::vector<bool> taken(ledger.size(), false);
  for (const Pair& p : pairs) {
    if (match[p.line] >= 0 || taken[p.row]) continue;
    match[p.line] = static_cast<long>(p.row);
    taken[p.row] = true;
  }
  return match;
}
