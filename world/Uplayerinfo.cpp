#include "world/Uplayerinfo.h"

#include <cstdlib>

#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Uteam.h"
#include "world/Ugamemain.h"
#include "world/Utrade.h"

namespace {

constexpr int32_t kInjuredBody = kTagWhite;
constexpr int32_t kInjuredCross = kTagRed;
constexpr int32_t kStrongFoot = kTagRed;

// Squad-row fields the card reads (the row as the club grid shows it).
constexpr std::size_t kRowName = 2, kRowAge = 3, kRowMtype = 4, kRowValue = 16;

// The name a career row gives for a club index.
std::string CareerClubName(const Tgamemain& game, int32_t club) {
  if (club == kNoClub) return kFreeAgentName;
  if (club >= 0 && club < kClubCount && game.Teams[static_cast<std::size_t>(club)])
    return game.Teams[static_cast<std::size_t>(club)]->ClubName;
  return std::to_string(club);  // a club this world does not have: show what the record says
}

std::array<std::string, 7> CareerRow(const Tgamemain& game, const std::vector<int32_t>& v) {
  std::array<std::string, 7> row;
  const std::size_t n = v.size();
  for (std::size_t c = 0; c < 6 && c < n; ++c) row[c] = std::to_string(v[c]);
  if (n > kHistTeam) row[kHistTeam] = CareerClubName(game, v[kHistTeam]);
  if (n > kHistTrade) {
    if (v[kHistTrade] == kTradeYouth)
      row[kHistTrade] = kYouthProductMark;
    else if (v[kHistTrade] == kTradeOrdinary)
      row[kHistTrade].clear();
  }
  if (n > kHistRate) row[kHistRate] = HistoryRatingText(v[kHistRate]);
  return row;
}

}  // namespace

int FigureWidthByFatigue(int32_t fatigue) {
  if (fatigue >= 0 && fatigue <= 20) return 160 - 3 * fatigue;
  if (fatigue >= 21 && fatigue <= 39) return 100;
  if (fatigue >= 40 && fatigue <= 79) return 140 - fatigue;
  return 60;
}

int32_t FigureColourByCondition(int32_t condition) {
  if (condition <= -11) return kTagBlue;
  if (condition <= -1) return kTagNavy;
  if (condition >= 11) return kTagRed;
  if (condition >= 1) return kTagMaroon;
  return kFigureCream;
}

std::string HistoryRatingText(int32_t rating) {
  // At least three digits, a point after the first: 652 -> 6.52, 95 -> 0.95.
  std::string digits = std::to_string(std::llabs(static_cast<long long>(rating)));
  while (digits.size() < 3) digits.insert(0, "0");
  digits.insert(digits.size() - 2, ".");
  return (rating < 0 ? "-" : "") + digits;
}

TPlayerCard PlayerCardOf(const Tgamemain& game, const Tplayer& p, int32_t club, int32_t number) {
  TPlayerCard info;
  info.Club = club;
  info.Number = number;
  info.FreeAgent = club == kNoClub;

  const std::vector<std::string> row = p.RowFields(game);
  info.Data[kInfoTeam] = info.FreeAgent ? std::string(kFreeAgentName) : CareerClubName(game, club);
  info.Data[kInfoName] = row[kRowName];
  info.Data[kInfoAge] = row[kRowAge];
  info.Data[kInfoValue] = row[kRowValue];
  info.Data[kInfoWage] = std::to_string(p.Wage());
  info.Data[kInfoMtype] = row[kRowMtype];
  info.Data[kInfoNumber] = std::to_string(number);
  info.Data[kInfoGames] = std::to_string(p.Games);
  info.Data[kInfoGoal] = std::to_string(p.Goal);
  info.Data[kInfoAssist] = std::to_string(p.Asist);
  info.Data[kInfoRate] = p.AverageRatingText();

  info.Current = p.Abilities();
  info.LastSeason = p.LastSeason;
  info.SeasonBefore = p.SeasonBefore;
  for (int i = 0; i < 4; ++i) info.Kicks[static_cast<std::size_t>(i)] = ChoiceLabel(p.Choice(i));

  if (p.Leg)
    info.RightFootColour = kStrongFoot;
  else
    info.LeftFootColour = kStrongFoot;
  info.BodyColour = FigureColourByCondition(p.Condition);
  info.FigureWidth = FigureWidthByFatigue(p.Fatigue);

  info.Comment.push_back(GrowthPhaseComment(p.GrowthPhase()));
  if (p.IsInjured()) {
    info.Comment.push_back("全治" + std::to_string(p.InjuryWeeks) + "週間の怪我中");
    info.BodyColour = kInjuredBody;
    info.CrossColour = kInjuredCross;
  } else {
    info.CrossColour = info.BodyColour;
  }

  for (int i = p.History.RowCount() - 1; i >= 0; --i)
    info.History.push_back(CareerRow(game, p.History.Rows[static_cast<std::size_t>(i)].Values));
  return info;
}

std::optional<TPlayerCard> FindPlayerCard(const Tgamemain& game, int32_t club, int32_t number) {
  const Tplayerlist* list = nullptr;
  if (club == kNoClub) {
    if (game.Market) list = game.Market->FreeAgents.get();
  } else if (club >= 0 && club < kClubCount && game.Teams[static_cast<std::size_t>(club)]) {
    list = game.Teams[static_cast<std::size_t>(club)]->Squad.get();
  }
  const Tplayer* p = list ? list->PlayerByNumber(number) : nullptr;
  if (!p) return std::nullopt;
  return PlayerCardOf(game, *p, club, number);
}
