#include "world/Uworldcheck.h"

#include <algorithm>
#include <array>

#include "club/Uplayerlist.h"
#include "club/Uteam.h"
#include "world/Ugamemain.h"
#include "world/Uleague.h"
#include "world/Utrade.h"

namespace {

void Add(TViolations& out, TInvariant inv, std::string detail, int32_t club = -1, const std::string& name = "") {
  TViolation v;
  v.Invariant = inv;
  v.Club = club;
  v.ClubName = name;
  v.Detail = std::move(detail);
  out.push_back(std::move(v));
}

std::string ClubNameOf(const Tgamemain& g, int32_t c) {
  return c >= 0 && c < kClubCount && g.Teams[c] ? g.Teams[c]->ClubName : "";
}

std::string DivisionText(int d) { return "第" + std::to_string(d) + "部"; }

void CheckMarket(const Ttrade& m, TViolations& out) {
  CheckPlayerList(*m.FreeAgents, TListKind::FreeAgents, kFreeAgentClub, "", out);
  TViolation market;
  market.Club = kFreeAgentClub;
  for (int r = 0; r < m.Listings.RowCount(); ++r)
    CheckTolerated(m.Listings.GetValue(r, 3), kTolMarketAmount, market, out);
  for (const TIntgrid& neg : m.Negotiations)
    for (int r = 1; r < neg.RowCount(); ++r) CheckTolerated(neg.GetValue(r, 1), kTolMarketAmount, market, out);
}

void CheckDivisions(const Tgamemain& g, TViolations& out) {
  std::array<int, kClubCount> count{};
  for (const auto& div : g.Divisions)
    for (int32_t c : div)
      if (c >= 0 && c < kClubCount) ++count[static_cast<std::size_t>(c)];
  for (int c = 0; c < kClubCount; ++c)
    if (count[static_cast<std::size_t>(c)] != 1)
      Add(out, TInvariant::Divisions, std::to_string(count[static_cast<std::size_t>(c)]) + "つのリーグに所属しています",
          c, ClubNameOf(g, c));
  // The fixtures give table slot 0 (the user's club) match 0 of every round.
  const int32_t d = g.DivisionOf(kUserClub);
  if (d >= 1 && g.Divisions[static_cast<std::size_t>(d - 1)][0] != kUserClub)
    Add(out, TInvariant::Divisions, DivisionText(d) + "の先頭にいません", kUserClub, ClubNameOf(g, kUserClub));
}

void CheckLeagues(const Tgamemain& g, TViolations& out) {
  TViolation league;
  for (int d = 0; d < kDivisionCount; ++d) {
    const Tleague* l = g.Leagues[static_cast<std::size_t>(d)].get();
    if (!l) continue;
    std::array<int32_t, 8> members{}, table{};
    for (int p = 0; p < kClubsPerDivision; ++p) {
      members[static_cast<std::size_t>(p)] = g.Divisions[static_cast<std::size_t>(d)][static_cast<std::size_t>(p)];
      table[static_cast<std::size_t>(p)] = l->ClubOfSlot(p);
    }
    const bool userHere = std::find(members.begin(), members.end(), kUserClub) != members.end();
    std::sort(members.begin(), members.end());
    std::sort(table.begin(), table.end());
    if (members != table)
      Add(out, TInvariant::LeagueTables, DivisionText(d + 1) + "の順位表に所属していないクラブがいます");
    if (userHere && l->ClubOfSlot(0) != kUserClub)
      Add(out, TInvariant::LeagueTables, DivisionText(d + 1) + "の順位表の先頭がユーザーのクラブではありません",
          kUserClub, ClubNameOf(g, kUserClub));
    for (const auto& row : l->Table)
      for (int c = Tleague::kWins; c <= Tleague::kGoalDiff; ++c)
        CheckTolerated(row[static_cast<std::size_t>(c)], kTolLeagueFigure, league, out);
  }
}

void CheckCup(const Tgamemain& g, TViolations& out) {
  if (!g.Cup) return;
  std::array<int, kClubCount> count{};
  for (int r = 0; r < g.Cup->EntrantCount(); ++r) {
    const int32_t c = g.Cup->ClubOfRow(r);
    if (c < 0 || c >= kClubCount) continue;  // the reader refuses these
    if (++count[static_cast<std::size_t>(c)] == 2)
      Add(out, TInvariant::CupEntrants, "同じクラブが二度います", c, ClubNameOf(g, c));
  }
}

void CheckWeek(const Tgamemain& g, TViolations& out) {
  const std::string week = "第" + std::to_string(g.Week) + "週";
  int leagues = 0;
  for (const auto& l : g.Leagues) leagues += l ? 1 : 0;
  if (IsMarketWeek(g.Week)) {
    if (!g.Market) Add(out, TInvariant::WeekSections, week + "なのに移籍市場がありません");
    if (leagues > 0) Add(out, TInvariant::WeekSections, week + "なのにリーグ戦があります");
    if (g.Cup) Add(out, TInvariant::WeekSections, week + "なのにカップ戦があります");
  } else {
    if (g.Market) Add(out, TInvariant::WeekSections, week + "なのに移籍市場があります");
    if (leagues < kDivisionCount) Add(out, TInvariant::WeekSections, week + "なのにリーグ戦がありません");
  }
}

}  // namespace

TViolations CheckWorld(const Tgamemain& g) {
  TViolations out;
  for (int c = 0; c < kClubCount; ++c) {
    if (!g.Teams[c]) {
      Add(out, TInvariant::Divisions, "クラブがありません", c);
      continue;
    }
    CheckClub(*g.Teams[c], c, c != kUserClub, out);
  }
  if (g.Market) CheckMarket(*g.Market, out);
  for (int c = 0; c < kClubCount; ++c)
    if (g.Reputation[static_cast<std::size_t>(c)] < 1 || g.Reputation[static_cast<std::size_t>(c)] > 72)
      Add(out, TInvariant::Reputation, std::to_string(g.Reputation[static_cast<std::size_t>(c)]) + "（1〜72）", c,
          ClubNameOf(g, c));
  CheckDivisions(g, out);
  CheckLeagues(g, out);
  CheckCup(g, out);
  CheckWeek(g, out);
  return out;
}
