#include "world/Ugamemain.h"

Tgamemain* GameState = nullptr;

std::string CupResultText(int32_t code) {
  switch (code) {
    case 1: return "１回戦敗退";
    case 2: return "２回戦敗退";
    case 3: return "ベスト８";
    case 4: return "ベスト４";
    case 5: return "準優勝";
    case 6: return "優勝";
    default: return "";
  }
}

int32_t Tgamemain::DivisionOf(int32_t club) const {
  for (int d = 0; d < kDivisionCount; ++d)
    for (int p = 0; p < kClubsPerDivision; ++p)
      if (Divisions[d][p] == club) return d + 1;
  return 0;
}

int32_t Tgamemain::TeamAt(int32_t division, int32_t position) const {
  if (division < 1 || division > kDivisionCount || position < 0 || position >= kClubsPerDivision)
    throw VantorelError("no such division position");
  return Divisions[division - 1][position];
}

int32_t Tgamemain::ReputationOf(int32_t club) const {
  if (club < 0 || club >= kClubCount) return 0;
  return Reputation[club];
}

int32_t Tgamemain::SeasonPrize(int32_t division, int32_t position) {
  static const int32_t kPrize[3][8] = {{2500, 2000, 2000, 1800, 1800, 1800, 1500, 1500},
                                       {1000, 1000, 800, 800, 700, 700, 600, 600},
                                       {350, 350, 300, 300, 250, 250, 200, 200}};
  if (division < 1 || division > 3 || position < 0 || position > 7) return 0;
  return kPrize[division - 1][position];
}

bool Tgamemain::IsLeagueWeek(int32_t week) { return LeagueRoundOfWeek(week) >= 0; }

bool Tgamemain::IsCupWeek(int32_t week) {
  return week == 20 || week == 30 || week == 39 || week == 49 || week == 51;
}

int32_t Tgamemain::LeagueRoundOfWeek(int32_t week) {
  if (week >= 12 && week <= 18) return week - 12;
  if (week >= 22 && week <= 28) return week - 22 + 7;
  if (week >= 32 && week <= 38) return week - 32 + 14;
  if (week >= 41 && week <= 47) return week - 41 + 21;
  return -1;
}
