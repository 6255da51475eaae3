#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>

#include "LaneKernelTestSupport.h"
#include "MatchTestLineup.h"
#include "club/Urandom.h"
#include "match/Uball.h"
#include "match/Umatchmain.h"
#include "match/Umatchplayer.h"
#include "match/Umatchrun.h"

namespace {

void LoadMatch(Tmmain& m, int32_t level0 = 60, int32_t level1 = 60, int seed = 0) {
  TStream s0 = WriteLineupStream(MakeLineup(1, level0, seed));
  TStream s1 = WriteLineupStream(MakeLineup(2, level1, seed + 1));
  m.Load(s0, s1, false);
}

// The quick match as league and cup run it.
void PlayQuick(Tmmain& m, const std::function<void(const Tmmain&)>& afterStep = nullptr) {
  PlayQuickMatch(m, [&](int32_t) {
    if (afterStep) afterStep(m);
  });
}

// Stops every player where he stands, so a scene plays out with the ball alone.
void FreezeAll(Tmmain& m) {
  for (int t = 0; t < 2; ++t)
    for (int i = 0; i < 11; ++i) m.MatchTeam(t).PlayerAt(i).Freeze = 1000000;
}

int LineCount(const std::string& commaText) {
  if (commaText.empty()) return 0;
  int n = 1;
  bool quoted = false;
  for (char c : commaText) {
    if (c == '"') quoted = !quoted;
    if (c == ',' && !quoted) ++n;
  }
  return n;
}

// A ball rolling into the right goal (x 11300) this tick, or the left one.
void ShootInto(Tmmain& m, int goal) {
  m.Ball->Reset(goal == 1 ? 11250 : 850, 4200);
  m.Ball->BallSpeed = 200;
  m.Ball->Angle = goal == 1 ? 0.0 : M_PI;
}

void SetTouches(Tmmain& m, const std::vector<std::pair<int, int>>& rows) {
  m.Touches.Clear();
  for (auto [t, i] : rows) m.Touches.AddRow({t, i});
}

std::string Scorer(Tmmain& m, int team, int index) {
  const Tmplayer& p = m.MatchTeam(team).PlayerAt(index);
  return std::to_string(p.Number) + p.Name;
}

}  // namespace

TEST(MatchDriverGoals, ScorerAssistOwnGoalsAndSavesThatGoIn) {
  struct Case {
    std::vector<std::pair<int, int>> touches;
    int goal;
    int team;  // whose list gets the line
    int scorerTeam, scorerIndex;
    int assistIndex;  // -1 none, -2 own goal
  };
  const std::vector<Case> cases = {
      {{{0, 9}}, 1, 0, 0, 9, -1},         {{{0, 9}, {0, 7}}, 1, 0, 0, 9, 7},
      {{{0, 9}, {1, 3}}, 1, 0, 0, 9, -1}, {{{1, 0}, {0, 9}, {0, 6}}, 1, 0, 0, 9, 6},  // the keeper's save went in
      {{{1, 0}}, 1, 0, 1, 0, -2},                                                     // the keeper alone: own goal
      {{{1, 0}, {1, 4}}, 1, 0, 1, 4, -2},                                             // saved a team-mate's back pass
      {{{1, 4}, {0, 9}}, 1, 0, 1, 4, -2}, {{{1, 9}, {1, 8}}, 0, 1, 1, 9, 8},
      {{{0, 2}}, 0, 1, 0, 2, -2},
  };
  for (const Case& c : cases) {
    Tmmain m;
    LoadMatch(m);
    FreezeAll(m);
    m.Tick = 617;
    SetTouches(m, c.touches);
    ShootInto(m, c.goal);
    const int32_t rolesBefore[2] = {m.Role[0], m.Role[1]};
    Tmplayer& scorer = m.MatchTeam(c.scorerTeam).PlayerAt(c.scorerIndex);
    const Tmplayer& otherKeeper = m.MatchTeam(1 - c.team).PlayerAt(0);
    const int32_t beatenBefore = otherKeeper.Stats[kStatBeaten];
    m.Step();
    SCOPED_TRACE(::testing::Message() << "case " << (&c - cases.data()));
    ASSERT_EQ(m.Goals(c.team), 1);
    ASSERT_EQ(m.Goals(1 - c.team), 0);
    std::string text;
    if (c.assistIndex == -2) {
      text = "O.G" + Scorer(m, c.scorerTeam, c.scorerIndex);
      EXPECT_EQ(scorer.Stats[kStatGoal], 0);
    } else {
      text = Scorer(m, c.scorerTeam, c.scorerIndex);
      if (c.assistIndex >= 0) text = Scorer(m, c.scorerTeam, c.assistIndex) + "⇒" + text;
      EXPECT_EQ(scorer.Stats[kStatGoal], 1);
    }
    EXPECT_EQ(m.GoalLists[c.team][0], "10分　" + text);
    EXPECT_EQ(m.LiveEvent[0], 2);
    EXPECT_EQ(m.LiveEvent[1], 94000);
    EXPECT_EQ(m.LiveEvent[2], scorer.Number + 100 * c.scorerTeam);
    if (c.assistIndex >= 0)
      EXPECT_EQ(m.LiveEvent[3], m.MatchTeam(c.scorerTeam).PlayerAt(c.assistIndex).Number + 100 * c.scorerTeam);
    else
      EXPECT_EQ(m.LiveEvent[3], c.assistIndex);
    if (c.assistIndex >= 0) {
      EXPECT_EQ(m.MatchTeam(c.scorerTeam).PlayerAt(c.assistIndex).Stats[kStatAssist], 1);
    }
    EXPECT_EQ(m.SoundEvent, kSoundGoalTeam0 + c.team);
    EXPECT_EQ(otherKeeper.Stats[kStatBeaten], beatenBefore + 1);
    EXPECT_EQ(m.Touches.RowCount(), 0);
    EXPECT_EQ(m.Role[0], rolesBefore[0]);
    EXPECT_EQ(m.Role[1], rolesBefore[1]);
    EXPECT_EQ(m.Ball->X, 6050);
    EXPECT_EQ(m.Ball->Y, 4200);
    EXPECT_EQ(scorer.X, scorer.HomeX);
    EXPECT_EQ(m.GoalText(c.team), m.GoalLists[c.team][0]);
  }
}

TEST(MatchDriverGoals, BallOffTheWoodworkAndInStillHasAScorer) {
  // After the post the touch history is gone; the last player on the ball
  // still gets the goal.
  Tmmain m;
  LoadMatch(m);
  FreezeAll(m);
  SetTouches(m, {});
  m.LastTeam = 0;
  m.LastIndex = 10;
  ShootInto(m, 1);
  m.Step();
  ASSERT_EQ(m.Goals(0), 1);
  EXPECT_EQ(m.GoalLists[0][0], "00分　" + Scorer(m, 0, 10));
}

TEST(MatchDriverTouches, KeeperCatchHoldsTheBallUntilTheZoneIsClear) {
  Tmmain m;
  LoadMatch(m);
  FreezeAll(m);
  Tmplayer& keeper = m.MatchTeam(1).PlayerAt(0);  // defends x 11300
  keeper.Freeze = 0;
  m.Ball->Reset(11200, 4200);
  m.Step();
  EXPECT_TRUE(m.RestartHold);
  EXPECT_EQ(m.Role[1], 0);
  EXPECT_EQ(m.Role[0], 1);
  EXPECT_EQ(m.SoundEvent, kSoundSave);
  EXPECT_EQ(m.LiveEvent[0], 1);
  EXPECT_EQ(m.LiveEvent[1], keeper.Number);
  EXPECT_EQ(m.LiveEvent[2], 0);
  EXPECT_EQ(m.LiveEvent[3], 0);
  EXPECT_EQ(keeper.Freeze, 20);
  EXPECT_EQ(keeper.Stats[kStatWon], 1);
  ASSERT_EQ(m.Touches.RowCount(), 1);
  EXPECT_EQ(m.Touches.GetValue(0, 0), 1);

  // An opponent who stays in front of the keeper's goal keeps him waiting.
  for (int t = 0; t < 2; ++t)
    for (int i = 0; i < 11; ++i) m.MatchTeam(t).PlayerAt(i).Freeze = 0;
  Tmplayer& striker = m.MatchTeam(0).PlayerAt(9);
  striker.X = 10000;
  striker.Y = 3000;
  striker.Freeze = 1000000;
  const int32_t bx = m.Ball->X, by = m.Ball->Y;
  for (int k = 0; k < 300; ++k) m.Step();
  EXPECT_TRUE(m.RestartHold);
  EXPECT_EQ(m.Ball->X, bx);
  EXPECT_EQ(m.Ball->Y, by);
  EXPECT_EQ(keeper.X, bx);
  EXPECT_EQ(m.Touches.RowCount(), 1);
  // Once he runs off, play goes on.
  striker.Freeze = 0;
  int k = 0;
  while (m.RestartHold && k < 1000) {
    m.Step();
    ++k;
  }
  EXPECT_FALSE(m.RestartHold);
  EXPECT_LT(k, 1000);
}

TEST(MatchDriverTouches, ReachDependsOnRoleHeightAndFreeze) {
  Tmmain m;
  LoadMatch(m);
  FreezeAll(m);
  Tmplayer& a = m.MatchTeam(0).PlayerAt(9);
  Tmplayer& d = m.MatchTeam(1).PlayerAt(3);
  auto stand = [&](Tmplayer& p, int32_t x, int32_t y) {
    p.X = p.TargetX = x;
    p.Y = p.TargetY = y;
    p.Freeze = 0;
  };
  auto reachers = [&](int32_t ax, int32_t dx, int32_t height, int32_t reach) {
    m.ReplanCount[0] = m.ReplanCount[1] = 1;  // no re-planning this tick
    m.RestartHold = true;                     // and nobody plays the ball
    m.Ball->Reset(5000, 4000);
    m.Ball->BallHeight = height;
    d.Reach = reach;
    stand(a, 5000 + ax, 4000);
    stand(d, 5000 + dx, 4000 - dx);
    m.Step();
    return std::make_pair(m.Reachers[0].RowCount(), m.Reachers[1].RowCount());
  };
  EXPECT_EQ(reachers(9, 134, 0, 250), std::make_pair(1, 1));
  EXPECT_EQ(reachers(10, 135, 0, 250), std::make_pair(0, 0));
  EXPECT_EQ(reachers(-9, -134, 0, 250), std::make_pair(1, 1));
  EXPECT_EQ(reachers(0, 0, 251, 250), std::make_pair(a.Reach >= 251 ? 1 : 0, 0));
  EXPECT_EQ(reachers(0, 0, 250, 250), std::make_pair(a.Reach >= 250 ? 1 : 0, 1));
  d.Freeze = 5;
  m.ReplanCount[0] = m.ReplanCount[1] = 1;
  m.Step();  // frozen this tick (he thaws by one)
  EXPECT_EQ(m.Reachers[1].RowCount(), 0);
}

TEST(MatchDriverTouches, DuelLevelGoesToTheAttackerElseTheDefendersWin) {
  for (int32_t tackle : {0, 400}) {
    Tmmain m;
    LoadMatch(m);
    FreezeAll(m);
    Tmplayer& a = m.MatchTeam(0).PlayerAt(9);
    Tmplayer& d = m.MatchTeam(1).PlayerAt(3);
    m.Ball->Reset(8000, 4200);
    for (Tmplayer* p : {&a, &d}) {
      p->X = p->TargetX = 8000;
      p->Y = p->TargetY = 4200;
      p->Freeze = 0;
    }
    a.Control = 0;
    d.Tackle = tackle;
    m.ReplanCount[0] = m.ReplanCount[1] = 1;
    m.Step();
    if (tackle == 0) {
      EXPECT_EQ(a.Stats[kStatSuccess], 1);
      EXPECT_EQ(d.Stats[kStatBeaten], 1);
      EXPECT_EQ(m.LastTeam, 0);
      EXPECT_EQ(m.HolderTeam, 0);
      EXPECT_EQ(m.HolderIndex, 9);
      EXPECT_NE(d.X, 8000);  // knocked back
      EXPECT_TRUE(m.LiveEvent[2] == 2 || m.LiveEvent[2] == 3);
    } else {
      EXPECT_EQ(a.Stats[kStatMiss], 1);
      EXPECT_EQ(d.Stats[kStatWon], 1);
      EXPECT_EQ(m.LastTeam, 1);
      EXPECT_EQ(m.LiveEvent[0], 0);
      EXPECT_EQ(m.LiveEvent[1], a.Number);
      EXPECT_EQ(m.LiveEvent[2], 1);
      EXPECT_EQ(m.LiveEvent[3], d.Number);
      EXPECT_EQ(a.X, 8000 + a.Pace * 10);  // knocked on past the ball
      EXPECT_TRUE(m.Ball->Stopped());
      EXPECT_EQ(m.Touches.RowCount(), 0);  // an attacker's trap alone is no touch
    }
  }
}

TEST(MatchDriverTouches, SafePassNeverGoesToTheKeeperAndTheSceneDeliberatelyShowsTheNewHoldersFoot) {
  Tmmain m;
  LoadMatch(m);
  FreezeAll(m);
  // The holder only dribbles, and the lane ahead is full; the only covered
  // team-mate behind him is his keeper. He keeps the ball.
  Tmplayer& h = m.MatchTeam(0).PlayerAt(3);
  h.Choices = {2, 2, 2, 2};
  h.FootAngle = M_PI / 4;  // left-footed, unlike the previous holder (the keeper)
  for (int i = 1; i < 11; ++i) {
    Tmplayer& p = m.MatchTeam(1).PlayerAt(i);
    p.X = i == 1 ? 1500 : 4500;
    p.Y = 4200;
  }
  for (int i = 0; i < 11; ++i) {
    Tmplayer& p = m.MatchTeam(0).PlayerAt(i);
    p.X = 100 + 10 * i;
    p.Y = 100;
  }
  Tmplayer& keeper = m.MatchTeam(0).PlayerAt(0);
  keeper.X = 1500;
  keeper.Y = 4200;
  h.X = h.TargetX = 4000;
  h.Y = h.TargetY = 4200;
  h.Freeze = 0;
  m.Ball->Reset(4000, 4200);
  m.ReplanCount[0] = m.ReplanCount[1] = 1;
  m.Step();
  EXPECT_EQ(m.HolderIndex, 3);
  EXPECT_EQ(m.LiveEvent[2], 2);  // the holder's own foot
  const int keeperRow = m.PassTable.FindRow(6, 0);
  ASSERT_GE(keeperRow, 0);
  EXPECT_EQ(m.PassTable.GetValue(keeperRow, 4), 10);
  EXPECT_TRUE(m.Ball->Stopped());
  EXPECT_EQ(m.Ball->X, 4000);
  EXPECT_EQ(m.LiveEvent[3], -1);
  // A covered outfield team-mate behind him, in view: he plays it there.
  Tmplayer& mate = m.MatchTeam(0).PlayerAt(2);
  mate.X = 1600;
  mate.Y = 4200;
  h.SetFacing(M_PI);
  m.ReplanCount[0] = m.ReplanCount[1] = 1;
  m.Step();
  EXPECT_EQ(m.LiveEvent[3], kLiveSafePass);
}

TEST(MatchDriverWholeMatch, ScoreStatsMinutesSubsAndTouchHistoryHold) {
  int totalGoals = 0;
  for (int seed = 1; seed <= 6; ++seed) {
    RandSeed(seed);
    Tmmain m;
    LoadMatch(m, 50 + 3 * seed, 65 - 2 * seed, seed);
    bool halfTimeSeen = false;
    PlayQuick(m, [&](const Tmmain& mm) {
      ASSERT_LE(mm.Touches.RowCount(), 3);
      for (int r = 1; r < mm.Touches.RowCount(); ++r)
        ASSERT_FALSE(mm.Touches.GetValue(r, 0) == mm.Touches.GetValue(r - 1, 0) &&
                     mm.Touches.GetValue(r, 1) == mm.Touches.GetValue(r - 1, 1));
      if (mm.Tick == 2700) {
        halfTimeSeen = true;
        EXPECT_EQ(mm.SoundEvent, kSoundHalfTime);
        EXPECT_EQ(mm.Ball->X, 6050);
        EXPECT_GT(mm.MatchTeam(0).PlayerAt(0).HomeX, 6050);  // ends changed
      }
      for (int t = 0; t < 2; ++t) ASSERT_LE(mm.MatchTeam(t).SubsMade, 2);
    });
    EXPECT_TRUE(halfTimeSeen);
    EXPECT_EQ(m.Tick, 5401);
    std::string g0, g1;
    int32_t s0 = -1, s1 = -1;
    TIntgrid stats;
    m.Result(g0, g1, s0, s1, stats);
    EXPECT_EQ(s0, LineCount(g0));
    EXPECT_EQ(s1, LineCount(g1));
    EXPECT_EQ(s0, static_cast<int32_t>(m.GoalLists[0].size()));
    totalGoals += s0 + s1;
    int minutes[2] = {0, 0}, goals[2] = {0, 0};
    for (int r = 0; r < stats.RowCount(); ++r) {
      ASSERT_EQ(stats.RowLength(r), 6);
      const int team = stats.GetValue(r, 0) == 1 ? 0 : 1;
      minutes[team] += stats.GetValue(r, 2);
      goals[team] += stats.GetValue(r, 3);
      EXPECT_GE(stats.GetValue(r, 5), 1);
      EXPECT_LE(stats.GetValue(r, 5), 10);
    }
    EXPECT_EQ(minutes[0], 990);
    EXPECT_EQ(minutes[1], 990);
    EXPECT_EQ(stats.RowCount(), 22 + m.MatchTeam(0).SubsMade + m.MatchTeam(1).SubsMade);
    // Goals credited to players are the team's goals minus own goals it scored.
    for (int t = 0; t < 2; ++t) {
      int ownGoals = 0;
      for (const std::string& line : m.GoalLists[t]) {
        EXPECT_EQ(line.substr(2, 6), "分　");
        if (line.find("O.G") != std::string::npos) ++ownGoals;
      }
      EXPECT_EQ(goals[t], m.Goals(t) - ownGoals);
    }
  }
  EXPECT_GT(totalGoals, 0);
}

TEST(MatchDriverWholeMatch, SameSeedSameMatch) {
  auto play = [](uint64_t seed, std::vector<TmVTRsc>& frames, std::string& goals, TIntgrid& stats) {
    RandSeed(seed);
    Tmmain m;
    LoadMatch(m, 58, 62, 3);
    PlayQuick(m, [&](const Tmmain& mm) { frames.push_back(mm.Snapshot()); });
    std::string g0, g1;
    int32_t s0, s1;
    m.Result(g0, g1, s0, s1, stats);
    goals = g0 + "|" + g1;
  };
  std::vector<TmVTRsc> f1, f2, f3;
  std::string g1, g2, g3;
  TIntgrid st1, st2, st3;
  play(42, f1, g1, st1);
  play(42, f2, g2, st2);
  play(43, f3, g3, st3);
  // Every way of running a side's lanes gives the same match.
  for (TLaneKernel kernel : LaneKernelsToCompare("SameSeedSameMatch")) {
    if (kernel == BestLaneKernel()) continue;
    std::vector<TmVTRsc> f4;
    std::string g4;
    TIntgrid st4;
    {
      TLaneKernelScope scope(kernel);
      play(42, f4, g4, st4);
    }
    EXPECT_TRUE(f1 == f4) << LaneKernelName(kernel);
    EXPECT_EQ(g1, g4) << LaneKernelName(kernel);
  }
  ASSERT_EQ(f1.size(), 5401u);
  EXPECT_TRUE(f1 == f2);
  EXPECT_EQ(g1, g2);
  ASSERT_EQ(st1.RowCount(), st2.RowCount());
  for (int r = 0; r < st1.RowCount(); ++r) EXPECT_EQ(st1.Rows[r].Values, st2.Rows[r].Values);
  EXPECT_FALSE(f1 == f3);
}

TEST(MatchDriverSnapshot, FrameHoldsPixelPositionsNumbersBallAndScore) {
  Tmmain m;
  LoadMatch(m);
  m.GoalLists[1].push_back("01分　9誰か");
  m.Ball->Reset(6050, 4200);
  m.Ball->BallHeight = 200;
  TmVTRsc f = m.Snapshot();
  const Tmplayer& p = m.MatchTeam(1).PlayerAt(4);
  EXPECT_EQ(f.PlayerX(1, 4), p.X / 16 - 5);
  EXPECT_EQ(f.At(2 + 22 + 8), p.Y / 16 - 5);
  EXPECT_EQ(f.PlayerNumber(1, 4), p.Number);
  EXPECT_EQ(f.At(45 + 11 + 4), p.Number);
  EXPECT_EQ(f.BallX(), 6050 / 16 - 3);
  EXPECT_EQ(f.BallY(), 4200 / 16 - 3);
  EXPECT_EQ(f.BallHeight(), 200 / 32 - 3);
  // The ball is drawn its height above its shadow, as on the live screen.
  EXPECT_EQ(f.BallY() - f.BallLift(), 4200 / 16 - 200 / 32 - 3);
  m.Ball->BallHeight = 0;
  EXPECT_EQ(m.Snapshot().BallLift(), 0);  // on the ground: on its shadow
  EXPECT_EQ(f.Goals(0), 0);
  EXPECT_EQ(f.Goals(1), 1);
}

TEST(MatchDriverLoad, MalformedSecondStreamRaisesStreamError) {
  Tmmain m;
  TStream s0 = WriteLineupStream(MakeLineup(1, 50));
  std::vector<uint8_t> b = WriteLineupStream(MakeLineup(2, 50)).Bytes();
  b.resize(b.size() / 2);
  TStream s1(b);
  EXPECT_THROW(m.Load(s0, s1, false), StreamError);
  EXPECT_EQ(m.MatchTeam(0).PlayerCount(), 0);  // neither side was taken over
  // Streams are read from their start whatever their position.
  TStream a0 = WriteLineupStream(MakeLineup(1, 50));
  TStream a1 = WriteLineupStream(MakeLineup(2, 50));
  a0.Seek(a0.Size());
  Tmmain ok;
  ok.Load(a0, a1, true);
  EXPECT_EQ(ok.MatchTeam(0).ClubId, 1);
  EXPECT_TRUE(ok.MatchTeam(1).HomeSide);  // a data battle's away side is side 3
}

TEST(MatchDriverLoad, AnUnloadedMatchDoesNothing) {
  Tmmain m;
  m.Step();
  m.AutoSubs(0);
  EXPECT_EQ(m.Tick, 0);
  std::string g0, g1;
  int32_t s0 = -1, s1 = -1;
  TIntgrid stats;
  m.Result(g0, g1, s0, s1, stats);
  EXPECT_EQ(s0 + s1, 0);
  EXPECT_EQ(stats.RowCount(), 0);
  EXPECT_EQ(m.Snapshot().BallX(), 6050 / 16 - 3);
}

TEST(MatchDriverRestarts, ThrowInCornerAndGoalKick) {
  auto onBall = [](Tmmain& m, int team) {
    for (int i = 0; i < 11; ++i) {
      const Tmplayer& p = m.MatchTeam(team).PlayerAt(i);
      if (p.X == m.Ball->X && p.Y == m.Ball->Y) return i;
    }
    return -1;
  };
  {  // Over the touchline off team 0: team 1 throws in where it went out.
    Tmmain m;
    LoadMatch(m);
    FreezeAll(m);
    SetTouches(m, {{0, 5}});
    m.LastTeam = 0;
    m.Ball->Reset(5000, 7500);
    m.Ball->BallSpeed = 200;
    m.Ball->Angle = M_PI / 2;
    m.Step();
    EXPECT_EQ(m.Ball->X, 5000);
    EXPECT_EQ(m.Ball->Y, 7550);
    EXPECT_EQ(m.Role[0], 1);
    EXPECT_EQ(m.Role[1], 0);
    EXPECT_GE(onBall(m, 1), 0);
    EXPECT_EQ(m.MatchTeam(0).PlayerAt(5).Stats[kStatMiss], 1);
    EXPECT_EQ(m.Touches.RowCount(), 0);
    EXPECT_EQ(m.LiveEvent[0], -1);  // nowhere near a goal
  }
  {  // Team 1 puts it over its own goal line (x 11300): a corner for team 0.
    Tmmain m;
    LoadMatch(m);
    FreezeAll(m);
    m.LastTeam = 1;
    m.Ball->Reset(11250, 2000);
    m.Ball->BallSpeed = 200;
    m.Step();
    EXPECT_EQ(m.Ball->X, 10800);
    EXPECT_EQ(m.Ball->Y, 800);
    EXPECT_EQ(m.Role[0], 0);
    EXPECT_EQ(m.Role[1], 1);
    EXPECT_GE(onBall(m, 0), 1);
  }
  {  // Team 0 puts it over the line it attacks: a goal kick by team 1's keeper.
    Tmmain m;
    LoadMatch(m);
    FreezeAll(m);
    m.LastTeam = 0;
    m.Ball->Reset(11250, 4600);
    m.Ball->BallSpeed = 200;
    m.Step();
    EXPECT_EQ(m.Ball->X, 10800);
    EXPECT_EQ(m.Ball->Y, 4200);
    EXPECT_EQ(onBall(m, 1), 0);
    EXPECT_EQ(m.Role[0], 1);
    EXPECT_EQ(m.Role[1], 0);
    // Just wide of the post, near enough the goal for the goal-line view.
    EXPECT_EQ(m.LiveEvent[0], 2);
    EXPECT_EQ(m.LiveEvent[1], (80 + 94) * 1000 + 0);
  }
}

// One seeded match pinned as golden values: every player starts facing along
// +x (angle 0) whichever goal he attacks, and the duels draw in their fixed
// order, so the goals, the score and every frame of the match are these.
TEST(MatchDriverWholeMatch, GoldenSeededMatch) {
  RandSeed(42);
  Tmmain m;
  LoadMatch(m, 58, 62, 3);
  for (int t = 0; t < 2; ++t)
    for (int i = 0; i < 11; ++i) EXPECT_EQ(m.MatchTeam(t).PlayerAt(i).Facing(), 0.0) << t << " " << i;
  uint64_t frames = 1469598103934665603ull;  // FNV-1a over every value of every frame
  PlayQuick(m, [&](const Tmmain& mm) {
    for (int32_t v : mm.Snapshot().Values)
      for (int b = 0; b < 4; ++b) frames = (frames ^ ((uint32_t(v) >> (8 * b)) & 0xff)) * 1099511628211ull;
  });
  std::string g0, g1;
  int32_t s0 = 0, s1 = 0;
  TIntgrid stats;
  m.Result(g0, g1, s0, s1, stats);
  std::string finalPositions, touches;
  for (int t = 0; t < 2; ++t)
    for (int i = 0; i < 11; ++i) {
      const auto p = m.MatchTeam(t).PlayerAt(i).Position();
      finalPositions += std::to_string(p.X) + " " + std::to_string(p.Y) + ";";
      // Successes and misses: a ball the opposing keeper takes is still the
      // passer's success, only one lost to an outfield player a miss.
      const auto& st = m.MatchTeam(t).PlayerAt(i).Stats;
      touches += std::to_string(st[kStatSuccess]) + "/" + std::to_string(st[kStatMiss]) + (i == 10 ? "|" : " ");
    }
  EXPECT_EQ(s0, 2);
  EXPECT_EQ(s1, 0);
  EXPECT_EQ(g0, "19分　10加藤　陸,66分　10加藤　陸");
  EXPECT_EQ(g1, "");
  EXPECT_EQ(frames, 14903115150918371312ull);  // frames taken after each step's substitutions
  EXPECT_EQ(finalPositions,
            "10036 4096;5611 6691;6811 4771;6811 3420;5611 1291;5181 3991;3542 6391;3542 3782;3538 1591;5015 4691;"
            "5015 3291;800 3782;3080 1291;3911 3111;2880 4891;3227 5721;3221 3985;3903 1591;4231 3869;3915 6391;"
            "5400 3291;5400 4691;");
  EXPECT_EQ(touches,
            "3/4 2/2 6/2 11/12 4/5 6/8 19/6 2/0 12/3 24/19 8/8|"
            "4/2 7/12 0/0 11/14 0/0 14/6 6/4 24/16 2/7 20/11 7/5|");
}
