// The match analysis of a replay: a recording whose moves are made by hand,
// and a data battle recorded as the window records it.
#include <gtest/gtest.h>

#include <numeric>

#include "MatchTestLineup.h"
#include "club/Urandom.h"
#include "match/Umatchmain.h"
#include "match/Umatchwatch.h"
#include "match/Uvtranalyse.h"

namespace {

constexpr double kPixelMetres = 16 * 105.0 / 10510.0;

// Both sides in two lines of places, keepers at their goals, the ball far
// from everybody in the top corner, nobody scoring.
TmVTRsc StillFrame() {
  TmVTRsc f;
  for (int s = 0; s < 2; ++s)
    for (int j = 0; j < 11; ++j) {
      const int x = j == 0 ? (s == 0 ? 60 : 680) : 150 + 40 * j + 5 * s;
      f.At(1 + 22 * s + 2 * j) = x;
      f.At(2 + 22 * s + 2 * j) = s == 0 ? 300 : 400;
      f.At(45 + 11 * s + j) = j + 1;
    }
  f.At(67) = 700;
  f.At(68) = 60;
  return f;
}

void SetPlayer(TmVTRsc& f, int s, int j, int x, int y) {
  f.At(1 + 22 * s + 2 * j) = x;
  f.At(2 + 22 * s + 2 * j) = y;
}

// The ball at a player's feet (marker and ball share their centre).
void BallAt(TmVTRsc& f, int s, int j) {
  f.At(67) = f.PlayerX(s, j) + 2;
  f.At(68) = f.PlayerY(s, j) + 2;
  f.At(69) = 0;
}

double HeatSum(const TVtrHeat& h) { return std::accumulate(h.begin(), h.end(), 0.0); }

}  // namespace

// 100 steps made by hand: side 0's number 4 runs 3 pixels a step along x for
// 50 steps, then stops; number 6 is placed 20 pixels away once; side 0 has
// the ball for 60 steps, side 1 for 40; side 1's number 8 makes way for 15
// at step 70; side 1 scores at step 80.
TEST(VtrAnalysis, KnownMovesGiveExactFigures) {
  TmVTR r;
  r.Sides[0].Name = "A";
  r.Sides[1].Name = "B";
  r.Sides[1].GoalLines = {"01分　9Tanaka⇒15Sato"};
  for (int k = 0; k < 100; ++k) {
    TmVTRsc f = StillFrame();
    SetPlayer(f, 0, 3, 200 + 3 * std::min(k, 50), 300);
    if (k >= 30) SetPlayer(f, 0, 5, 420, 320);
    if (k >= 70) f.At(45 + 11 + 7) = 15;
    if (k < 60) BallAt(f, 0, 3);
    if (k >= 60 && k < 62) BallAt(f, 1, 9);  // then nobody near: it stays with side 1
    if (k >= 80) f.At(71) = 1;
    r.AddFrame(f);
  }
  const TVtrAnalysis a = AnalyseVtr(r);
  ASSERT_EQ(a.Frames, 100);

  const TVtrPlayerStats* runner = a.Player(0, 4);
  ASSERT_TRUE(runner);
  EXPECT_DOUBLE_EQ(runner->DistanceMetres, 150 * kPixelMetres);
  EXPECT_DOUBLE_EQ(runner->TopSpeed, 3 * kPixelMetres);
  EXPECT_EQ(runner->Steps, 100);
  const TVtrPlayerStats* placed = a.Player(0, 6);
  EXPECT_DOUBLE_EQ(placed->DistanceMetres, 0);
  EXPECT_DOUBLE_EQ(placed->TopSpeed, 0);

  EXPECT_DOUBLE_EQ(a.Sides[0].Possession, 60);
  EXPECT_DOUBLE_EQ(a.Sides[1].Possession, 40);
  EXPECT_EQ(a.Sides[0].PossessionSteps + a.Sides[1].PossessionSteps, 100);

  // Substitution: each is on the pitch for his share, in the same slot.
  EXPECT_EQ(a.Player(1, 8)->Steps, 70);
  EXPECT_EQ(a.Player(1, 8)->LastFrame, 69);
  EXPECT_EQ(a.Player(1, 15)->Steps, 30);
  EXPECT_EQ(a.Player(1, 15)->FirstFrame, 70);
  EXPECT_EQ(a.Sides[1].Shape[7].Number, 8);
  EXPECT_EQ(a.Player(1, 15)->Name, "Sato");
  EXPECT_EQ(a.Player(1, 9)->Name, "Tanaka");

  for (const TVtrPlayerStats& p : a.Players) EXPECT_EQ(HeatSum(p.Heat), p.Steps) << p.Side << "/" << p.Number;
  for (const TVtrSideStats& s : a.Sides) {
    EXPECT_EQ(HeatSum(s.Heat), 11 * 100);
    EXPECT_NEAR(s.Territory[0] + s.Territory[1] + s.Territory[2], 100, 1e-9);
    EXPECT_TRUE(s.OwnGoalLeft[0] == (&s == &a.Sides[0]));
  }
  // The ball at the runner's feet crosses from side 0's own third into the
  // middle at step 22, then lies in its attacking third: side 1's mirror.
  EXPECT_EQ(a.Sides[0].ThirdSteps, (std::array<int32_t, 3>{22, 38, 40}));
  EXPECT_EQ(a.Sides[1].ThirdSteps, (std::array<int32_t, 3>{40, 38, 22}));

  ASSERT_EQ(a.Goals.size(), 1u);
  const TVtrGoalTrace& g = a.Goals[0];
  EXPECT_EQ(g.Side, 1);
  EXPECT_EQ(g.Frame, 80);
  EXPECT_EQ(g.Minute, 1);
  EXPECT_EQ(g.Scorer, 15);
  EXPECT_FALSE(g.OwnGoal);
  ASSERT_EQ(g.Ball.size(), 3u);
  EXPECT_EQ(g.Ball.front().Frame, 77);
  EXPECT_EQ(g.Ball.back().Frame, 79);
  EXPECT_DOUBLE_EQ(g.Ball.back().At.X, (700 + 3) * 16 + 8);

  // One slice (a tail under a minute joins it), 60 % for side 0.
  ASSERT_EQ(a.Slices.size(), 1u);
  EXPECT_EQ(a.Slices[0].To, 99);
  EXPECT_DOUBLE_EQ(a.Slices[0].Share[0], 60);
}

TEST(VtrAnalysis, GoalLinesNameScorersAndOwnGoals) {
  const std::vector<TVtrGoalItem> assisted = GoalLineItems("12分　7中村⇒10本田");
  ASSERT_EQ(assisted.size(), 2u);
  EXPECT_EQ(assisted[0].Number, 7);
  EXPECT_EQ(assisted[0].Name, "中村");
  EXPECT_EQ(assisted[1].Number, 10);
  const TVtrGoalItem own = GoalLineItems("88分　O.G3鈴木").back();
  EXPECT_TRUE(own.OwnGoal);
  EXPECT_EQ(own.Number, 3);
  EXPECT_EQ(GoalLineItems("80分").back().Number, -1);
  EXPECT_EQ(GoalLineItems("").back().Number, -1);
  EXPECT_EQ(GoalLineItems("01分　99999999999x").back().Number, -1);
}

// A data battle recorded step by step as the window records it: the goals
// are the replay's own, every step is someone's, ends change at half time.
TEST(VtrAnalysis, RecordedDataBattleAgreesWithItsGoalList) {
  Tmmain m;
  TmVTR rec = RecordWatchedBattle(m);
  for (int s = 0; s < 2; ++s) rec.Sides[size_t(s)].GoalLines = m.GoalLists[s];
  const TVtrAnalysis a = AnalyseVtr(rec);

  const std::vector<TVtrGoal> goals = rec.GoalsUpTo(rec.LastFrame());
  ASSERT_EQ(a.Goals.size(), goals.size());
  ASSERT_FALSE(goals.empty());
  for (size_t i = 0; i < goals.size(); ++i) {
    EXPECT_EQ(a.Goals[i].Side, goals[i].Side);
    EXPECT_EQ(a.Goals[i].Text, goals[i].Text);
    // The minute the driver wrote is the minute of the frame that shows it.
    EXPECT_EQ(goals[i].Text.substr(0, 2), (a.Goals[i].Minute < 10 ? "0" : "") + std::to_string(a.Goals[i].Minute));
    const int scorerSide = a.Goals[i].OwnGoal ? 1 - a.Goals[i].Side : a.Goals[i].Side;
    EXPECT_TRUE(a.Player(scorerSide, a.Goals[i].Scorer)) << goals[i].Text;
    EXPECT_EQ(a.Goals[i].Ball.size(), 3u);
  }
  for (int s = 0; s < 2; ++s) {
    const TVtrSideStats& side = a.Sides[size_t(s)];
    EXPECT_EQ(side.OwnGoalLeft[0], s == 0);
    EXPECT_EQ(side.OwnGoalLeft[1], s != 0);
    EXPECT_NEAR(side.Possession + a.Sides[size_t(1 - s)].Possession, 100, 1e-9);
    EXPECT_NEAR(side.Territory[0] + side.Territory[1] + side.Territory[2], 100, 1e-9);
    EXPECT_GT(side.Possession, 10);
  }
  int32_t steps[2] = {0, 0};
  for (const TVtrPlayerStats& p : a.Players) {
    steps[p.Side] += p.Steps;
    EXPECT_EQ(HeatSum(p.Heat), p.Steps);
    // Placements and knocks aside are no running: nobody's five best steps
    // beat the fastest pace (under 3 pixels a step).
    EXPECT_LE(p.TopSpeed, 3.5 * kPixelMetres) << p.Side << "/" << p.Number;
    if (p.Steps > 600) {
      EXPECT_GT(p.DistanceMetres, 100) << p.Side << "/" << p.Number;
    }
  }
  EXPECT_EQ(steps[0], 11 * kMatchTicks);
  EXPECT_EQ(steps[1], 11 * kMatchTicks);
  EXPECT_GT(a.Players.size(), 22u);  // the computer substituted
  ASSERT_EQ(a.Slices.size(), 18u);
  EXPECT_EQ(a.Slices.back().To, kMatchTicks - 1);
}
