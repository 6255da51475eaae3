#include <gtest/gtest.h>

#include <map>
#include <set>

#include "WorldTestUtil.h"
#include "club/Ucommatext.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "world/Uleague.h"

namespace {

const std::array<int32_t, 8> kClubs = {0, 1, 2, 3, 4, 5, 6, 7};

Tleague MakeLeague(uint64_t seed) {
  RandSeed(seed);
  return Tleague(kClubs);
}

}  // namespace

TEST(LeagueFixtures, EveryPairMeetsFourTimesTwiceAtEachGround) {
  for (uint64_t seed : {1u, 2u, 99u}) {
    Tleague l = MakeLeague(seed);
    std::map<std::pair<int, int>, int> homeAway;  // (home, away) -> count
    std::array<int, 8> homeGames{};
    for (int r = 0; r < kLeagueRounds; ++r) {
      std::set<int> seen;
      for (int m = 0; m < 4; ++m) {
        auto [h, a] = std::make_pair(l.Fixtures[r][m][0], l.Fixtures[r][m][1]);
        ASSERT_NE(h, a);
        seen.insert(h);
        seen.insert(a);
        homeAway[{h, a}]++;
        homeGames[h]++;
      }
      EXPECT_EQ(seen.size(), 8u) << "every club plays once in round " << r;
      // Slot 0 is in match 0: away in even rounds, at home in odd ones.
      const auto& m0 = l.Fixtures[r][0];
      if (r % 2 == 0)
        EXPECT_EQ(m0[1], 0) << r;
      else
        EXPECT_EQ(m0[0], 0) << r;
    }
    for (int x = 0; x < 8; ++x) {
      EXPECT_EQ(homeGames[x], 14);
      for (int y = 0; y < 8; ++y)
        if (x != y) {
          EXPECT_EQ((homeAway[{x, y}]), 2) << x << " v " << y;
        }
    }
  }
}

TEST(LeagueFixtures, SameSeedSameFixturesAndFourIdenticalCycles) {
  Tleague a = MakeLeague(5), b = MakeLeague(5);
  EXPECT_EQ(a.Fixtures, b.Fixtures);
  // The pairings (ignoring ground) repeat every seven rounds.
  for (int r = 0; r < 7; ++r)
    for (int c = 1; c < 4; ++c)
      for (int m = 0; m < 4; ++m) {
        auto p = a.Fixtures[r][m], q = a.Fixtures[r + 7 * c][m];
        EXPECT_EQ(std::minmax(p[0], p[1]), std::minmax(q[0], q[1]));
      }
}

TEST(LeagueTable, NewLeagueStartsInSlotOrder) {
  Tleague l = MakeLeague(3);
  EXPECT_EQ(l.Round, 0);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(l.Table[i][Tleague::kClub], kClubs[i]);
    EXPECT_EQ(l.Table[i][Tleague::kPosition], i + 1);
    for (int c = Tleague::kWins; c <= Tleague::kGoalDiff; ++c) EXPECT_EQ(l.Table[i][c], 0);
  }
  // Round 0 is even: the user's club (slot 0) plays away.
  EXPECT_EQ(l.NextMatch().second, 0);
  EXPECT_EQ(l.ScorerRanking.RowCount(), 0);
}

TEST(LeagueTable, ResultsPointsAndGoalDifference) {
  Tleague l = MakeLeague(3);
  EXPECT_EQ(l.RecordResult(2, 0, 0), 0);
  EXPECT_EQ(l.RecordResult(3, 0, 0), 0);
  EXPECT_EQ(l.RecordResult(4, 3, 1), 1);
  EXPECT_EQ(l.RecordResult(5, 1, 3), -1);
  EXPECT_EQ(l.Table[2][Tleague::kPoints], 1);
  EXPECT_EQ(l.Table[2][Tleague::kDraws], 1);
  EXPECT_EQ(l.Table[4][Tleague::kPoints], 3);
  EXPECT_EQ(l.Table[4][Tleague::kWins], 1);
  EXPECT_EQ(l.Table[5][Tleague::kPoints], 0);
  EXPECT_EQ(l.Table[5][Tleague::kLosses], 1);
  EXPECT_EQ(l.Table[5][Tleague::kGoalDiff], -2);
  EXPECT_EQ(l.Table[5][Tleague::kGoalsAgainst], 3);
}

TEST(LeagueTable, OrderByPointsThenDifferenceThenGoalsThenSlot) {
  TestWorld w(false, 3);
  Tleague l = MakeLeague(3);
  auto set = [&](int slot, int pts, int gf, int ga) {
    l.Table[slot][Tleague::kPoints] = pts;
    l.Table[slot][Tleague::kGoalsFor] = gf;
    l.Table[slot][Tleague::kGoalsAgainst] = ga;
    l.Table[slot][Tleague::kGoalDiff] = gf - ga;
  };
  set(0, 10, 5, 5);
  set(1, 12, 1, 9);  // most points, bad difference: still first
  set(2, 10, 8, 5);  // level on points with 3 and 4, difference 3
  set(3, 10, 6, 3);  // difference 3, fewer goals than 2
  set(4, 10, 6, 3);  // level with 3 on everything: lower slot first
  set(5, 0, 0, 0);
  set(6, 0, 0, 0);
  set(7, 1, 0, 9);
  l.UpdatePositions();
  std::array<int32_t, 8> order{};
  l.FinalOrder(order);
  EXPECT_EQ(order, (std::array<int32_t, 8>{1, 2, 3, 4, 0, 7, 5, 6}));

  TGrid grid;
  l.ShowTable(grid);
  ASSERT_EQ(grid.RowCount(), 9);
  EXPECT_EQ(grid.Cells(0, 0), "Temename");
  EXPECT_EQ(grid.Cells(7, 0), "得失");
  EXPECT_EQ(grid.Cells(0, 1), "クラブ1");
  EXPECT_EQ(grid.Cells(4, 1), "12");
  EXPECT_EQ(grid.Cells(7, 1), "-8");
  EXPECT_EQ(grid.Cells(0, 5), "クラブ0");
  EXPECT_EQ(grid.Cells(0, 8), "クラブ6");
}

TEST(LeagueTable, MatchBonusFollowsRoundAndPosition) {
  Tleague l = MakeLeague(3);
  l.Round = 13;  // first half: no position adjustment
  EXPECT_EQ(l.MatchBonus(0, 2, 1), 2);
  EXPECT_EQ(l.MatchBonus(1, 7, -1), -1);
  EXPECT_EQ(l.MatchBonus(1, 1, 0), 1);
  l.Round = 14;
  EXPECT_EQ(l.MatchBonus(0, 2, 1), 4);    // home win by the 2nd
  EXPECT_EQ(l.MatchBonus(1, 7, -1), -3);  // away loss by the 7th
  EXPECT_EQ(l.MatchBonus(0, 5, 0), 0);    // home draw by the 5th
  EXPECT_EQ(l.MatchBonus(1, 3, 0), 2);
  EXPECT_EQ(l.MatchBonus(0, 8, 0), -1);
  EXPECT_EQ(l.MatchBonus(1, 4, 1), 3);
  EXPECT_EQ(l.MatchBonus(0, 6, 1), 2);
  // Both ends of the top (1 .. 3) and the bottom (6 .. 8); 4 and 5 never move.
  EXPECT_EQ(l.MatchBonus(0, 1, 1), 4);
  EXPECT_EQ(l.MatchBonus(0, 3, 1), 4);
  EXPECT_EQ(l.MatchBonus(0, 4, 1), 2);
  EXPECT_EQ(l.MatchBonus(0, 1, 0), 1);
  EXPECT_EQ(l.MatchBonus(0, 4, 0), 0);
  EXPECT_EQ(l.MatchBonus(0, 5, -1), -2);
  EXPECT_EQ(l.MatchBonus(0, 6, 0), -1);
  EXPECT_EQ(l.MatchBonus(1, 6, -1), -3);
  EXPECT_EQ(l.MatchBonus(1, 8, -1), -3);
}

TEST(LeagueRanking, TrimKeepsTiesWithTheTenth) {
  TIntgrid r;
  for (int i = 0; i < 15; ++i) {
    int total = 20 - i;
    if (i >= 8 && i <= 11) total = 5;  // the 9th to the 12th are level
    if (i > 11) total = 1;
    r.AddRow({i, 0, i, total});
  }
  Tleague::TrimRanking(r);
  EXPECT_EQ(r.RowCount(), 12);
  EXPECT_EQ(r.GetValue(0, 3), 20);

  TIntgrid d;
  for (int i = 0; i < 15; ++i) d.AddRow({i, 0, i, i + 1});
  Tleague::TrimRanking(d);
  ASSERT_EQ(d.RowCount(), 10);
  EXPECT_EQ(d.GetValue(0, 3), 15);
  EXPECT_EQ(d.GetValue(9, 3), 6);

  // Level from the 10th to the 12th, the 9th above them: still 12.
  TIntgrid f;
  for (int i = 0; i < 15; ++i) f.AddRow({i, 0, i, i <= 8 ? 20 - i : i <= 11 ? 5 : 1});
  Tleague::TrimRanking(f);
  EXPECT_EQ(f.RowCount(), 12);
  EXPECT_EQ(f.GetValue(11, 3), 5);

  TIntgrid e;
  Tleague::TrimRanking(e);
  EXPECT_EQ(e.RowCount(), 0);
}

TEST(LeagueGrids, NothingToShowLeavesGridsAlone) {
  Tleague l = MakeLeague(3);
  TGrid grid;
  grid.SetSize(2, 2);
  grid.Cells(0, 0) = "keep";
  l.ShowRanking(0, grid);
  l.ShowRanking(1, grid);
  EXPECT_EQ(grid.Cells(0, 0), "keep");
  l.Round = kLeagueRounds;
  l.ShowNextRound(grid);
  EXPECT_EQ(grid.Cells(0, 0), "keep");
  EXPECT_EQ(l.NextMatch(), std::make_pair(-1, -1));
}

TEST(LeagueStream, GoldenRoundTripAndDamagedRecords) {
  Tleague l = MakeLeague(11);
  l.Round = 5;
  l.RecordResult(3, 2, 1);
  l.ScorerRanking.AddRow({3004, 3, 4, 2});
  l.AssistRanking.AddRow({1002, 1, 2, 1});
  TStream s;
  l.SaveToStream(s);
  const auto bytes = s.Bytes();
  // Round, 72 table values, 224 fixture values, then the two tables.
  ASSERT_GE(bytes.size(), 4u + 288u + 896u);
  EXPECT_EQ(bytes[0], 5);
  EXPECT_EQ(bytes[1], 0);
  // Slot 3's row: club 3, 1 win, 0, 0, 3 points, 2, 1, 1, position 4.
  const uint8_t* row3 = bytes.data() + 4 + 3 * 36;
  const int32_t expect[9] = {3, 1, 0, 0, 3, 2, 1, 1, 4};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(row3[4 * i], expect[i]) << i;

  Tleague back(kClubs, Tleague::TNoDraw{});
  TStream in(bytes);
  back.LoadFromStream(in);
  EXPECT_TRUE(in.AtEnd());
  TStream again;
  back.SaveToStream(again);
  EXPECT_EQ(again.Bytes(), bytes);

  // A truncated record throws and changes nothing.
  for (std::size_t cut : {std::size_t(2), std::size_t(200), bytes.size() - 1}) {
    Tleague victim(kClubs, Tleague::TNoDraw{});
    auto before = victim.Fixtures;
    TStream t(std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut));
    EXPECT_THROW(victim.LoadFromStream(t), StreamError) << cut;
    EXPECT_EQ(victim.Fixtures, before);
    EXPECT_EQ(victim.Round, 0);
  }
  // A fixture slot outside 0..7 would index past the table.
  auto bad = bytes;
  bad[4 + 288] = 9;
  TStream b(bad);
  Tleague victim(kClubs, Tleague::TNoDraw{});
  EXPECT_THROW(victim.LoadFromStream(b), StreamError);
}

// ---- with clubs ----------------------------------------------------------

TEST(LeagueWithClubs, StatisticsRankingsAndBonus) {
  TestWorld w(false, 21);
  Tteam& club3 = w->Team(3);
  int32_t n = club3.Squad->AddFiller(3, *w);
  Tplayer* p = club3.Squad->PlayerByNumber(n);
  ASSERT_NE(p, nullptr);
  Tleague l(kClubs);

  TIntgrid first;
  first.AddRow({3, n, 90, 2, 1, 7});
  l.ApplyMatchStats(first);
  TIntgrid second;
  second.AddRow({3, n, 45, 1, 0, 6});
  second.AddRow({3, 999, 90, 1, 0, 6});  // nobody under that number: ignored
  l.ApplyMatchStats(second);
  EXPECT_EQ(p->Games, 2);
  EXPECT_EQ(p->Goal, 3);
  EXPECT_EQ(p->Asist, 1);
  EXPECT_EQ(p->RatingSum, 13);
  ASSERT_EQ(l.ScorerRanking.RowCount(), 1);
  EXPECT_EQ(l.ScorerRanking.GetValue(0, 0), 3000 + n);
  EXPECT_EQ(l.ScorerRanking.GetValue(0, 3), 3);

  TGrid grid;
  l.ShowRanking(0, grid);
  ASSERT_EQ(grid.RowCount(), 2);
  EXPECT_EQ(grid.Cells(0, 1), "クラブ3");
  EXPECT_EQ(grid.Cells(1, 1), p->Name);
  EXPECT_EQ(grid.Cells(2, 1), "3");

  // Recording match 0 stores the texts and fills the table of both sides.
  const auto f = l.Fixtures[0][0];
  l.RecordMatch(0, "a,b", "", 2, 0);
  EXPECT_EQ(l.Table[f[0]][Tleague::kWins], 1);
  EXPECT_EQ(l.Table[f[1]][Tleague::kLosses], 1);
  TGrid results;
  std::array<std::vector<std::string>, 8> memos;
  l.ShowResults(results, memos);
  EXPECT_EQ(memos[0].size(), 2u);
  EXPECT_EQ(results.Cells(2, 0), "2-0");
  EXPECT_EQ(results.Tags(1, 0), kTagYellow);
  EXPECT_EQ(results.Cells(2, 1), "0-0");
  EXPECT_EQ(results.Tags(1, 1), kTagSilver);
  EXPECT_EQ(results.Tags(3, 1), kTagSilver);
  EXPECT_EQ(results.Cells(0, 0), "H");
  EXPECT_EQ(results.Cells(2, 0 + 0).size() > 0, true);

  // The schedule text of the user's club (slot 0).
  EXPECT_EQ(l.FixtureText(0), ",リーグ第1節,A," + w->Team(l.ClubOfSlot(f[0])).ClubName);
}

TEST(LeagueWithEngine, WatchedRoundSimulatesTheOtherThreeMatches) {
  TestWorld w(true, 32);
  Tleague l(w->Divisions[2]);
  int calls = 0;
  l.PlayRound(1, [&] { ++calls; });
  EXPECT_EQ(l.FirstSimulated, 1);
  EXPECT_EQ(calls, 3 * 11);  // every 540 steps of 5401
  int games = 0, goalsFor = 0, goalsAgainst = 0;
  for (const auto& row : l.Table) {
    games += row[Tleague::kWins] + row[Tleague::kDraws] + row[Tleague::kLosses];
    goalsFor += row[Tleague::kGoalsFor];
    goalsAgainst += row[Tleague::kGoalsAgainst];
  }
  EXPECT_EQ(games, 6);
  EXPECT_EQ(goalsFor, goalsAgainst);
  // The user's match (0) is untouched; every other goal count matches its text.
  EXPECT_EQ(l.Table[0][Tleague::kWins] + l.Table[0][Tleague::kDraws] + l.Table[0][Tleague::kLosses], 0);
  EXPECT_TRUE(l.Results[0].empty() && l.Results[1].empty());
  for (int m = 1; m < 4; ++m) {
    int32_t home = l.Fixtures[0][m][0];
    EXPECT_EQ(static_cast<int32_t>(SplitCommaText(l.Results[2 * m]).size()), l.Table[home][Tleague::kGoalsFor]);
  }
  // Same seed, same round.
  TestWorld w2(true, 32);
  Tleague l2(w2->Divisions[2]);
  l2.PlayRound(1);
  EXPECT_EQ(l2.Table, l.Table);
  EXPECT_EQ(l2.Results, l.Results);
}
