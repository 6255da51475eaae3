#include "club/Ucalendar.h"

TWeekPhase WeekPhase(int32_t week) {
  if (week == kContractWeek) return TWeekPhase::Contract;
  if (week >= kFirstTransferWeek && week <= kLastTransferWeek) return TWeekPhase::Transfer;
  if (week == kSeasonEndWeek) return TWeekPhase::SeasonEnd;
  if (IsCupWeek(week)) return TWeekPhase::Cup;
  if (IsLeagueWeek(week)) return TWeekPhase::League;
  return TWeekPhase::Free;
}

bool IsMarketWeek(int32_t week) { return week >= kContractWeek && week <= kLastTransferWeek; }

bool IsLeagueWeek(int32_t week) { return LeagueRoundOfWeek(week) >= 0; }

bool IsCupWeek(int32_t week) { return CupRoundOfWeek(week) >= 0; }

int32_t CupRoundOfWeek(int32_t week) {
  for (int32_t round = 0; round < 5; ++round)
    if (week == kCupWeeks[round]) return round;
  return -1;
}

int32_t LeagueRoundOfWeek(int32_t week) {
  // Four blocks of seven rounds.
  if (week >= 12 && week <= 18) return week - 12;
  if (week >= 22 && week <= 28) return week - 22 + 7;
  if (week >= 32 && week <= 38) return week - 32 + 14;
  if (week >= 41 && week <= 47) return week - 41 + 21;
  return -1;
}

int32_t NextMatchWeek(int32_t week) {
  for (int32_t w = week + 1; w < kSeasonEndWeek; ++w)
    if (IsLeagueWeek(w) || IsCupWeek(w)) return w;
  return -1;
}

int32_t NextCupWeek(int32_t week) {
  for (int32_t w = week; w < kSeasonEndWeek; ++w)
    if (IsCupWeek(w)) return w;
  return -1;
}
