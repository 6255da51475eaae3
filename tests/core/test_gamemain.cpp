#include <gtest/gtest.h>

#include <set>

#include "WorldTestUtil.h"
#include "club/Ufile.h"
#include "club/Uinvariants.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "world/Uleague.h"
#include "world/Utrade.h"

namespace {

std::array<int32_t, 8> Members(const Tgamemain& g, int d) {
  std::array<int32_t, 8> a{};
  for (int p = 0; p < 8; ++p) a[p] = g.Divisions[d - 1][p];
  return a;
}

// Leagues whose final positions are given per division as the slot order
// of finishing: finish[d][k] = slot that ends k-th.
void MakeFinishedLeagues(Tgamemain& g, const std::array<std::array<int, 8>, 3>& finish) {
  for (int d = 0; d < 3; ++d) {
    g.Leagues[d] = std::make_unique<Tleague>(Members(g, d + 1), Tleague::TNoDraw{});
    for (int k = 0; k < 8; ++k) g.Leagues[d]->Table[finish[d][k]][Tleague::kPosition] = k + 1;
    g.Leagues[d]->Round = kLeagueRounds;
  }
}

const std::array<int, 8> kSlotOrder = {0, 1, 2, 3, 4, 5, 6, 7};
const std::array<int, 8> kReversed = {7, 6, 5, 4, 3, 2, 1, 0};

std::vector<uint8_t> ClubBytes(const Tgamemain& g) {
  TStream s;
  for (int i = 0; i < kClubCount; ++i) g.Team(i).SaveToStream(s);
  return s.TakeBytes();
}

}  // namespace

TEST(GameState, InitialStateAndLookups) {
  Tgamemain g{Tgamemain::TNoSeed{}};
  EXPECT_EQ(g.Year, 1);
  EXPECT_EQ(g.Week, 1);
  EXPECT_EQ(g.DivisionOf(0), 3);
  EXPECT_EQ(g.TeamAt(3, 0), 0);
  EXPECT_EQ(g.TeamAt(1, 7), 23);
  EXPECT_EQ(g.DivisionOf(8), 2);
  EXPECT_EQ(g.DivisionOf(99), 0);
  EXPECT_EQ(g.ReputationOf(0), 3);
  EXPECT_EQ(g.ReputationOf(23), 72);
  ASSERT_EQ(g.SeasonHistory.RowCount(), 1);
  EXPECT_EQ(g.SeasonHistory.Rows[0].Values, std::vector<int32_t>{1});
  EXPECT_FALSE(g.Market || g.Cup || g.Leagues[0]);
  TGrid grid;
  grid.SetSize(1, 1);
  grid.Cells(0, 0) = "keep";
  g.ShowHistory(grid);
  EXPECT_EQ(grid.Cells(0, 0), "keep");

  EXPECT_EQ(Tgamemain::SeasonPrize(1, 0), 2500);
  EXPECT_EQ(Tgamemain::SeasonPrize(2, 7), 600);
  EXPECT_EQ(Tgamemain::SeasonPrize(3, 4), 250);
  EXPECT_EQ(Tgamemain::SeasonPrize(4, 0), 0);
  EXPECT_EQ(Tgamemain::SeasonPrize(1, 8), 0);

  EXPECT_EQ(LeagueRoundOfWeek(12), 0);
  EXPECT_EQ(LeagueRoundOfWeek(47), 27);
  EXPECT_EQ(LeagueRoundOfWeek(19), -1);
}

// What every week of the season is for: C contract, T transfer, L league,
// U cup, F free, E season end. 28 league rounds, 5 cup rounds.
TEST(Calendar, EveryWeekHasItsPhase) {
  const std::string season = std::string("C") + std::string(10, 'T') + std::string(7, 'L') + "FUF" +
                             std::string(7, 'L') + "FUF" + std::string(7, 'L') + "UF" + std::string(7, 'L') + "FUFU" +
                             "E";
  ASSERT_EQ(season.size(), 52u);
  auto letter = [](TWeekPhase p) {
    switch (p) {
      case TWeekPhase::Contract: return 'C';
      case TWeekPhase::Transfer: return 'T';
      case TWeekPhase::League: return 'L';
      case TWeekPhase::Cup: return 'U';
      case TWeekPhase::Free: return 'F';
      case TWeekPhase::SeasonEnd: return 'E';
    }
    return '?';
  };
  std::string got;
  for (int32_t w = 1; w <= 52; ++w) {
    got += letter(WeekPhase(w));
    EXPECT_EQ(IsLeagueWeek(w), got.back() == 'L') << w;
    EXPECT_EQ(IsCupWeek(w), got.back() == 'U') << w;
    EXPECT_EQ(IsMarketWeek(w), w <= 11) << w;
  }
  EXPECT_EQ(got, season);
  EXPECT_EQ(WeekPhase(0), TWeekPhase::Free);  // between the season end and week 1
  EXPECT_EQ(WeekPhase(53), TWeekPhase::Free);
  EXPECT_FALSE(IsMarketWeek(0));
}

TEST(SeasonEnd, PromotionRelegationPrizesAndReputation) {
  TestWorld w(false, 1);
  Tgamemain& g = *w;
  // Division 1 (16..23) finishes in reverse slot order: 23 is champion, 16 last.
  // Division 2 and 3 finish in slot order: 8 and 0 are champions.
  MakeFinishedLeagues(g, {kReversed, kSlotOrder, kSlotOrder});
  g.EndSeason();
  EXPECT_FALSE(g.Leagues[0] || g.Leagues[1] || g.Leagues[2]);
  // Division 1: 23 22 21 20 19 18 | 8 9 (promoted)
  EXPECT_EQ(Members(g, 1), (std::array<int32_t, 8>{23, 22, 21, 20, 19, 18, 8, 9}));
  // Division 2: 17 16 (relegated) 10..15 | then 0 and 1 come up.
  // The user's club (0, promoted to position 6) is put back at position 0.
  EXPECT_EQ(Members(g, 2), (std::array<int32_t, 8>{0, 16, 10, 11, 12, 13, 17, 1}));
  EXPECT_EQ(Members(g, 3), (std::array<int32_t, 8>{14, 15, 2, 3, 4, 5, 6, 7}));
  // A champion with reputation 72 keeps 72.
  EXPECT_EQ(g.Reputation[23], 72);
  // The 1st of division 2 is paid as 7th of division 1; the 7th of division
  // 1 as 1st of division 2.
  EXPECT_EQ(g.Team(8).Money, 1500);
  EXPECT_EQ(g.Team(17).Money, 1000);
  EXPECT_EQ(g.Team(23).Money, 2500);
  EXPECT_EQ(g.Team(0).Money, 600);  // paid at position 6 before moving to 0
  EXPECT_EQ(g.Team(7).Money, 200);
  EXPECT_FALSE(g.WonTopDivision);
  // Every club exactly once.
  std::set<int32_t> all;
  for (auto& d : g.Divisions) all.insert(d.begin(), d.end());
  EXPECT_EQ(all.size(), 24u);
}

TEST(SeasonEnd, LastOfDivisionThreeAndTheTopDivisionTitle) {
  TestWorld w(false, 2);
  Tgamemain& g = *w;
  MakeFinishedLeagues(g, {kSlotOrder, kSlotOrder, kReversed});
  g.EndSeason();
  // Club 0 was 8th of division 3 with reputation 3: 3 * 2 div 3 + 1 = 3.
  EXPECT_EQ(g.Reputation[0], 3);
  EXPECT_EQ(g.TeamAt(3, 0), 0);
  EXPECT_FALSE(g.WonTopDivision);

  // The user's club in division 1 finishing first.
  TestWorld w2(false, 3);
  Tgamemain& h = *w2;
  std::swap(h.Divisions[0][0], h.Divisions[2][0]);
  MakeFinishedLeagues(h, {kSlotOrder, kSlotOrder, kSlotOrder});
  h.EndSeason();
  EXPECT_TRUE(h.WonTopDivision);
  EXPECT_EQ(h.TeamAt(1, 0), 0);
}

TEST(SeasonEnd, PromotionToTheTopIsNoTitle) {
  TestWorld w(false, 4);
  Tgamemain& g = *w;
  std::swap(g.Divisions[1][0], g.Divisions[2][0]);  // club 0 in division 2
  MakeFinishedLeagues(g, {kSlotOrder, kSlotOrder, kSlotOrder});
  g.EndSeason();
  EXPECT_EQ(g.DivisionOf(0), 1);
  EXPECT_EQ(g.TeamAt(1, 0), 0);
  EXPECT_FALSE(g.WonTopDivision);
}

TEST(SeasonHistory, RecordAndShow) {
  TestWorld w(false, 5);
  Tgamemain& g = *w;
  MakeFinishedLeagues(g, {kSlotOrder, kSlotOrder, kSlotOrder});
  auto& row = g.Leagues[2]->Table[0];
  row[Tleague::kWins] = 10;
  row[Tleague::kDraws] = 5;
  row[Tleague::kLosses] = 13;
  row[Tleague::kPoints] = 35;
  row[Tleague::kGoalsFor] = 40;
  row[Tleague::kGoalsAgainst] = 45;
  row[Tleague::kGoalDiff] = -5;
  g.SeasonHistory.SetValue(0, 0, 4);
  g.RecordHistory();
  ASSERT_EQ(g.SeasonHistory.RowCount(), 2);
  EXPECT_EQ(g.SeasonHistory.Rows[0].Values, (std::vector<int32_t>{1, 3, 1, 10, 5, 13, 35, 40, 45, -5, 4}));
  EXPECT_EQ(g.SeasonHistory.Rows[1].Values, std::vector<int32_t>{1});
  TGrid grid;
  g.ShowHistory(grid);
  ASSERT_EQ(grid.RowCount(), 2);
  EXPECT_EQ(grid.ColCount(), 11);
  EXPECT_EQ(grid.Cells(10, 0), "CUP");
  EXPECT_EQ(grid.Cells(9, 1), "-5");
  EXPECT_EQ(grid.Cells(10, 1), "ベスト４");
  EXPECT_EQ(grid.FixedRows, 1);
}

// ---- with the real start data ------------------------------------------------

TEST(NewGame, BuildsTwentyFourFullClubsReproducibly) {
  TestWorld w(true, 77);
  Tgamemain& g = *w;
  for (int i = 0; i < kClubCount; ++i) {
    const Tteam& t = g.Team(i);
    EXPECT_EQ(t.TeamIndex, i);
    EXPECT_FALSE(t.ClubName.empty());
    ASSERT_EQ(t.Squad->Count(), 21) << i;
    for (int k = 0; k < 21; ++k) EXPECT_EQ(t.Squad->NumberAt(k), k + 1);
    EXPECT_EQ(t.Youth->Count(), 7);
    std::set<int32_t> used;
    for (int slot = 0; slot < 16; ++slot) {
      int32_t n = t.Slots[slot];
      ASSERT_NE(t.Squad->PlayerByNumber(n), nullptr) << "club " << i << " slot " << slot;
      EXPECT_TRUE(used.insert(n).second);
    }
    EXPECT_EQ(t.Money, i < 8 ? 300 : (i < 16 ? 900 : 1800));
  }
  auto first = ClubBytes(g);
  TestWorld again(true, 77);
  EXPECT_EQ(ClubBytes(*again), first);
}

TEST(NewGame, MissingStartDataNamesTheFile) {
  ScopedDataDir dir;
  Tgamemain g{Tgamemain::TNoSeed{}};
  try {
    g.NewGameFrom("data/nothere.dat", false);
    FAIL();
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("nothere.dat"), std::string::npos);
  }
  EXPECT_FALSE(g.Teams[0]);
}

namespace {

// Advances weeks as NEXT does, the matches decided without the engine:
// league rounds not played, cup matches won by the home side except the
// user's, which `userWins` decides.
void AdvanceDecidingCup(Tgamemain& g, bool userWins) {
  if (IsCupWeek(g.Week) && g.Cup) {
    Tcup& cup = *g.Cup;
    for (int m = cup.EntrantCount() / 2 - 1; m >= 0; --m) {
      bool user = cup.ClubOfRow(2 * m) == 0 || cup.ClubOfRow(2 * m + 1) == 0;
      bool homeWins = user ? (cup.ClubOfRow(2 * m) == 0) == userWins : true;
      cup.DecideMatch(m, homeWins ? 1 : 0, 0);
    }
  }
  g.AdvanceWeek();
}

}  // namespace

TEST(Calendar, ObjectsPresentInTheirWeeksAndTheMarketRounds) {
  TestWorld w(true, 8);
  Tgamemain& g = *w;
  g.Market = std::make_unique<Ttrade>();  // as START does
  bool sawListings = false;
  for (int step = 0; step < 52; ++step) {
    const int week = g.Week;
    ASSERT_EQ(week, step + 1);
    const bool pre = week <= 11;
    EXPECT_EQ(g.Market != nullptr, pre) << week;
    EXPECT_EQ(g.Leagues[0] != nullptr, !pre) << week;
    EXPECT_EQ(g.Cup != nullptr, !pre) << week;
    if (week == 2) sawListings = g.Market->Listings.RowCount() > 0;
    AdvanceDecidingCup(g, false);
    if (week == 9) {
      EXPECT_EQ(g.Market->Listings.RowCount(), 0);
    }
    if (week == 11) {
      // The user's first league fixture: away in round 0, in its own division.
      EXPECT_EQ(g.NextAway, 0);
      EXPECT_EQ(g.Leagues[2]->Round, 0);
    }
    if (week == 12) {
      EXPECT_EQ(g.Leagues[0]->Round, 1);
    }
  }
  EXPECT_TRUE(sawListings) << "the contract week lists the computer clubs' players";
  EXPECT_EQ(g.Year, 2);
  EXPECT_EQ(g.Week, 1);
  EXPECT_TRUE(g.Market);
  EXPECT_FALSE(g.Cup);
  // The user's club lost its first cup match: history code 1.
  ASSERT_EQ(g.SeasonHistory.RowCount(), 2);
  EXPECT_EQ(g.SeasonHistory.GetValue(0, 10), 1);
  EXPECT_EQ(g.TeamAt(g.DivisionOf(0), 0), 0);
}

// The user's club writes its injury lines; the week's step gathers them
// into the game's message box for the club screen.
TEST(Calendar, TheWeekGathersTheUsersInjuryLines) {
  TestWorld w(true, 11);
  Tgamemain& g = *w;
  g.Market = std::make_unique<Ttrade>();
  Tplayer& mine = *g.Team(0).Squad->PlayerAt(0);
  mine.InjuryWeeks = 1;
  g.Team(5).Squad->PlayerAt(0)->InjuryWeeks = 1;
  g.Messages = {"前の行"};
  g.AdvanceWeek();
  ASSERT_GE(g.Messages.size(), 2u);
  EXPECT_EQ(g.Messages[0], "前の行");
  EXPECT_EQ(g.Messages[1], std::to_string(g.Team(0).Squad->NumberAt(0)) + "." + mine.Name + "の怪我が治りました");
  EXPECT_TRUE(g.Team(0).Messages.empty());
  EXPECT_TRUE(g.Team(5).Messages.empty());
}

// From week 10 on the computer's clubs choose their line-up without the
// injured; before, an injured starter may be chosen again.
TEST(Calendar, ComputerClubsLeaveTheInjuredOutFromWeekTen) {
  for (int32_t week : {9, 10}) {
    TestWorld w(true, 14);
    Tgamemain& g = *w;
    g.Market = std::make_unique<Ttrade>();
    g.Week = week;
    Tteam& club = g.Team(5);
    std::set<int32_t> hurt;
    for (int s = 0; s < kStarterCount; ++s) {
      hurt.insert(club.SlotNumber(s));
      club.Squad->PlayerByNumber(club.SlotNumber(s))->InjuryWeeks = 4;
    }
    g.AdvanceWeek();
    int chosen = 0;
    for (int s = 0; s < kSlotCount; ++s) chosen += static_cast<int>(hurt.count(club.SlotNumber(s)));
    if (week == 10)
      EXPECT_EQ(chosen, 0);
    else
      EXPECT_GE(chosen, 8);
  }
}

TEST(Calendar, CupWinnerAndFixturesAroundCupWeeks) {
  TestWorld w(true, 9);
  Tgamemain& g = *w;
  g.Market = std::make_unique<Ttrade>();
  while (g.Week != 18) AdvanceDecidingCup(g, true);
  AdvanceDecidingCup(g, true);  // week 18: the next fixture is the cup match
  EXPECT_EQ(std::make_pair(g.NextHome, g.NextAway), g.Cup->NextMatch());
  EXPECT_EQ(g.NextHome, 0);
  AdvanceDecidingCup(g, true);  // 19, free
  AdvanceDecidingCup(g, true);  // 20, cup round 1
  EXPECT_EQ(g.SeasonHistory.GetValue(0, 0), 2);
  EXPECT_EQ(std::make_pair(g.NextHome, g.NextAway), g.Leagues[2]->NextMatch());
  TGrid schedule;
  g.ShowSchedule(schedule);
  ASSERT_EQ(schedule.RowCount(), 53);
  EXPECT_EQ(schedule.CurrentRow, g.Week);  // opens on the current week
  EXPECT_EQ(schedule.TopRow, g.Week);
  EXPECT_EQ(schedule.Cells(0, 0), "週");
  EXPECT_EQ(schedule.Cells(1, 20), "CUP1回戦");
  EXPECT_EQ(schedule.Cells(1, 12), "リーグ第1節");
  EXPECT_EQ(schedule.Cells(1, 47), "リーグ第28節");
  EXPECT_EQ(schedule.Cells(2, 12), "A");
  EXPECT_EQ(schedule.Cells(1, 19), "");
  EXPECT_EQ(schedule.Cells(0, 52), "52");
  EXPECT_EQ(schedule.Cells(3, 30), g.Cup->UserCardText().substr(4));
  while (g.Week != 52) AdvanceDecidingCup(g, true);
  EXPECT_EQ(g.Cup->Round, 6);
  EXPECT_EQ(std::make_pair(g.NextHome, g.NextAway), std::make_pair(-1, -1));
  g.AdvanceWeek();
  EXPECT_EQ(g.SeasonHistory.GetValue(0, 10), 6);
  EXPECT_EQ(CupResultText(6), "優勝");
}

TEST(SaveBody, SaveLoadSaveIsIdenticalAndDamageChangesNothing) {
  TestWorld w(true, 10);
  Tgamemain& g = *w;
  g.Market = std::make_unique<Ttrade>();
  for (int i = 0; i < 13; ++i) AdvanceDecidingCup(g, false);  // into the league weeks
  g.SkipMatches = true;
  const auto body = g.SaveBody();
  ASSERT_GT(body.size(), 100u);
  EXPECT_EQ(body[0], 2);
  EXPECT_EQ(body[4], '1');
  EXPECT_EQ(body[5], '7');

  Tgamemain fresh{Tgamemain::TNoSeed{}};
  TStream in(body);
  fresh.LoadFromStream(in, true);
  EXPECT_EQ(fresh.Week, g.Week);
  EXPECT_FALSE(fresh.SkipMatches);
  EXPECT_TRUE(fresh.Leagues[2] && fresh.Cup);
  EXPECT_FALSE(fresh.Market);
  EXPECT_EQ(fresh.SaveBody(), body);

  // Truncated anywhere, or another version: an error, and the state as it was.
  for (std::size_t cut : {std::size_t(3), std::size_t(50), body.size() / 2, body.size() - 1}) {
    TStream t(std::vector<uint8_t>(body.begin(), body.begin() + cut));
    EXPECT_THROW(fresh.LoadFromStream(t), StreamError) << cut;
    EXPECT_EQ(fresh.SaveBody(), body);
  }
  auto other = body;
  other[5] = '1';
  TStream o(other);
  EXPECT_THROW(fresh.LoadFromStream(o), StreamError);
  auto twice = body;
  twice[4 + 2 + 16 + 4] = 16;  // division 1 position 1 now repeats club 16
  twice[4 + 2 + 16] = 16;
  // A body that reads but breaks the world's rules is refused as well.
  auto brokenRule = [&](const std::vector<uint8_t>& bytes) {
    TStream t(bytes);
    try {
      fresh.LoadFromStream(t);
      ADD_FAILURE() << "accepted";
      return std::string();
    } catch (const InvariantError& e) {
      return std::string(InvariantName(e.First().Invariant));
    }
  };
  EXPECT_EQ(brokenRule(twice), "divisions");
  // A league table naming a club of another division.
  {
    TStream probe(body);
    Tgamemain scratch{Tgamemain::TNoSeed{}};
    scratch.LoadFromStream(probe);
    scratch.Leagues[0]->Table[3][Tleague::kClub] = scratch.TeamAt(3, 5);
    EXPECT_EQ(brokenRule(scratch.SaveBody()), "league-tables");
  }
  auto trailing = body;
  trailing.push_back(0);
  TStream t3(trailing);
  EXPECT_THROW(fresh.LoadFromStream(t3, true), StreamError);
  EXPECT_EQ(fresh.SaveBody(), body);

  // The slot file round trip.
  g.SaveGame("slot");
  Tgamemain loaded{Tgamemain::TNoSeed{}};
  loaded.LoadGame("slot");
  EXPECT_EQ(loaded.SaveBody(), body);
  EXPECT_THROW(loaded.LoadGame("none"), FileError);
  // A slot name never leads out of the save directory.
  EXPECT_THROW(g.SaveGame("../escape"), FileError);
  EXPECT_FALSE(std::filesystem::exists("data/escape.dat"));
}

TEST(Season, SameSeedSameSaveAfterAFullSeason) {
  auto season = [](uint64_t seed) {
    TestWorld w(true, seed);
    Tgamemain& g = *w;
    g.Market = std::make_unique<Ttrade>();
    int progress = 0;
    for (int i = 0; i < 52; ++i) {
      g.Team(0).AutoLineup(true);  // the user's club on autopilot
      g.PlayWeekMatches([&] { ++progress; });
      g.AdvanceWeek();
    }
    EXPECT_GT(progress, 0);
    EXPECT_EQ(g.Year, 2);
    return g.SaveBody();
  };
  auto a = season(42);
  auto b = season(42);
  EXPECT_EQ(a, b);
}

TEST(Season, AWatchedMatchIsLeftOutThenRecorded) {
  TestWorld w(true, 5);
  Tgamemain& g = *w;
  g.Market = std::make_unique<Ttrade>();
  while (g.Week < 12) {
    g.Team(0).AutoLineup(true);
    g.AdvanceWeek();
  }
  g.Team(0).AutoLineup(true);
  Tleague& own = *g.Leagues[g.DivisionOf(0) - 1];
  g.PlayWeekMatches({}, true);
  EXPECT_EQ(own.FirstSimulated, 1);
  for (int d = 1; d <= 3; ++d)
    if (d != g.DivisionOf(0)) {
      EXPECT_EQ(g.Leagues[d - 1]->FirstSimulated, 0);
    }
  int32_t playedBefore = 0;
  for (const auto& row : own.Table) playedBefore += row[Tleague::kWins] + row[Tleague::kDraws] + row[Tleague::kLosses];
  TIntgrid stats;
  g.RecordWatchedMatch("9山田", "", 1, 0, stats);
  int32_t playedAfter = 0;
  for (const auto& row : own.Table) playedAfter += row[Tleague::kWins] + row[Tleague::kDraws] + row[Tleague::kLosses];
  EXPECT_EQ(playedAfter, playedBefore + 2);  // both sides of match 0 now have a result
}

// A late round (bonuses read the table): match 0 recorded first, as an
// unwatched round records it, or after the other matches, as the match screen
// hands it back, leaves every club's money and the tables the same. Both runs
// play the same matches with the same draws; only the order of recording
// differs.
TEST(Season, AWatchedLateRoundEqualsAnUnwatchedOne) {
  auto lateRound = [](bool recordAfterTheRound) {
    TestWorld w(true, 11);
    Tgamemain& g = *w;
    g.Market = std::make_unique<Ttrade>();
    while (g.Week < 12 || g.Leagues[g.DivisionOf(0) - 1]->Round < 15 || !IsLeagueWeek(g.Week)) {
      g.Team(0).AutoLineup(true);
      g.PlayWeekMatches({});
      g.AdvanceWeek();
    }
    RandSeed(99);
    for (int round = 0; round < 6;) {
      g.Team(0).AutoLineup(true);
      if (!IsLeagueWeek(g.Week)) {
        g.PlayWeekMatches({});
        g.AdvanceWeek();
        continue;
      }
      const auto [home, away] = g.Leagues[g.DivisionOf(0) - 1]->NextMatch();
      TMatchOutcome m0 = PlayQuickMatch(home, away, 0, {});
      auto record = [&] { g.RecordWatchedMatch(m0.HomeText, m0.AwayText, m0.HomeGoals, m0.AwayGoals, m0.Stats); };
      if (!recordAfterTheRound) record();
      g.PlayWeekMatches({}, true);
      if (recordAfterTheRound) record();
      g.AdvanceWeek();
      ++round;
    }
    std::vector<int32_t> state;
    for (int i = 0; i < kClubCount; ++i) state.push_back(g.Team(i).Money);
    for (auto& l : g.Leagues)
      for (const auto& row : l->Table) state.insert(state.end(), row.begin(), row.end());
    // Scorers level on goals stay in the order their goals were recorded, so
    // a watched match 0, recorded last, may list them in another order; the
    // rankings are compared by player, not by that order.
    for (auto& l : g.Leagues) {
      l->ScorerRanking.SortAscending(0);
      l->AssistRanking.SortAscending(0);
    }
    return std::make_pair(state, g.SaveBody());
  };
  const auto watched = lateRound(true);
  const auto unwatched = lateRound(false);
  EXPECT_EQ(watched.first, unwatched.first);        // money and tables, readable on failure
  EXPECT_TRUE(watched.second == unwatched.second);  // and every other byte of the world
}
