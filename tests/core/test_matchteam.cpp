#include <gtest/gtest.h>

#include <cmath>

#include "LaneKernelTestSupport.h"
#include "MatchTestLineup.h"
#include "club/Urandom.h"
#include "match/Uball.h"
#include "match/Umatchplayer.h"
#include "match/Umatchrun.h"
#include "match/Umatchteam.h"

namespace {

void Load(Tmteam& t, const TestLineup& l, int side = 0) {
  TStream s = WriteLineupStream(l);
  t.Load(s, side);
}

// Puts every player of the eleven at a point far from anything under test.
void ParkAll(Tmteam& t, int32_t x = 100, int32_t y = 100) {
  for (int i = 0; i < 11; ++i) {
    t.PlayerAt(i).X = x;
    t.PlayerAt(i).Y = y;
  }
}

}  // namespace

TEST(MatchTeamLoad, ReadsElevenAndPresentBenchSlotsAndMirrorsSideOne) {
  TestLineup l = MakeLineup(7, 60);
  l.BenchUsed = {true, false, true, false, true};
  Tmteam t;
  TStream s = WriteLineupStream(l);
  t.Load(s, 1);
  EXPECT_TRUE(s.AtEnd());
  EXPECT_EQ(t.ClubId, 7);
  EXPECT_FALSE(t.HomeSide);
  ASSERT_EQ(t.PlayerCount(), 14);
  EXPECT_EQ(t.PlayerAt(3).Number, 4);
  EXPECT_EQ(t.PlayerAt(3).HomeX, 12100 - 2000);
  EXPECT_EQ(t.PlayerAt(3).HomeY, 8400 - 5100);
  // Slots map onto the list of present players, in slot order.
  EXPECT_TRUE(t.BenchPresent[0] && !t.BenchPresent[1] && t.BenchPresent[2] && !t.BenchPresent[3] && t.BenchPresent[4]);
  EXPECT_EQ(t.BenchPos[0], 11);
  EXPECT_EQ(t.BenchPos[1], -1);
  EXPECT_EQ(t.BenchPos[2], 12);
  EXPECT_EQ(t.BenchPos[4], 13);
  EXPECT_EQ(t.PlayerAt(12).Number, l.Bench[2].Number);

  Tmteam home;
  Load(home, l, 0);
  EXPECT_TRUE(home.HomeSide);
  EXPECT_EQ(home.PlayerAt(3).HomeX, 2000);
  Tmteam vsAway;
  Load(vsAway, l, 3);
  EXPECT_TRUE(vsAway.HomeSide);
  EXPECT_EQ(vsAway.PlayerAt(3).HomeX, 12100 - 2000);
}

TEST(MatchTeamLoad, MalformedStreamsRaiseStreamErrorAndLeaveTheTeamAlone) {
  TestLineup l = MakeLineup(3, 55);
  const std::vector<uint8_t> bytes = WriteLineupStream(l).Bytes();
  Tmteam good;
  Load(good, MakeLineup(9, 40));
  // Every truncation, including inside a name and inside a bench slot.
  for (size_t n = 0; n < bytes.size(); n += (n < 200 ? 1 : 7)) {
    TStream s(std::vector<uint8_t>(bytes.begin(), bytes.begin() + n));
    EXPECT_THROW(good.Load(s, 0), StreamError) << "length " << n;
  }
  EXPECT_EQ(good.ClubId, 9);
  EXPECT_EQ(good.PlayerCount(), 16);

  // A name length far beyond the stream.
  std::vector<uint8_t> bad = bytes;
  const size_t nameAt = 4 + 12;
  bad[nameAt] = 0xff;
  bad[nameAt + 1] = 0xff;
  bad[nameAt + 2] = 0xff;
  bad[nameAt + 3] = 0x7f;
  TStream s1(bad);
  EXPECT_THROW(good.Load(s1, 0), StreamError);
  // A negative name length.
  bad[nameAt + 3] = 0xff;
  TStream s2(bad);
  EXPECT_THROW(good.Load(s2, 0), StreamError);
  EXPECT_EQ(good.ClubId, 9);
}

TEST(MatchTeamPlans, WeakestStartersGoOffForStrongestBenchButDeliberatelyNoKeeper) {
  TestLineup l = MakeLineup(1, 50);
  // Attacking values (S + K + A + 3 cond) of the four attackers (6..10 have
  // codes 12, 13, 14, 19, 18): make 8 and 6 the two weakest.
  for (int i = 0; i < 11; ++i) l.Starters[i].Condition = 0;
  l.Starters[8].Abilities = {20, 50, 50, 50, 20, 20};
  l.Starters[6].Abilities = {30, 50, 50, 50, 30, 30};
  // Defending values (D + 3 cond) of the rest: 2 and 3 the weakest, the
  // keeper weaker still but never planned off.
  l.Starters[2].Abilities[2] = 10;
  l.Starters[3].Abilities[2] = 20;
  l.Starters[0].Abilities[2] = 5;
  // Bench: slot 3 the best attacker, slot 4 the next; slot 1 the best defender, then slot 2.
  for (int b = 0; b < 5; ++b) l.Bench[b].Condition = 0;
  l.Bench[3].Mtype = 19;
  l.Bench[3].Abilities = {90, 50, 50, 50, 90, 90};
  l.Bench[4].Mtype = 16;
  l.Bench[4].Abilities = {70, 50, 50, 50, 70, 70};
  l.Bench[0].Mtype = 1;  // a reserve keeper never comes on by plan
  l.Bench[0].Abilities[2] = 99;
  l.Bench[1].Mtype = 4;
  l.Bench[1].Abilities[2] = 95;
  l.Bench[2].Mtype = 10;
  l.Bench[2].Abilities[2] = 80;
  Tmteam t;
  Load(t, l);
  EXPECT_EQ(t.DefencePlan[0].Out, 8);
  EXPECT_EQ(t.DefencePlan[1].Out, 6);
  EXPECT_EQ(t.DefencePlan[0].Slot, 1);
  EXPECT_EQ(t.DefencePlan[1].Slot, 2);
  EXPECT_EQ(t.AttackPlan[0].Out, 2);
  EXPECT_EQ(t.AttackPlan[1].Out, 3);
  EXPECT_EQ(t.AttackPlan[0].Slot, 3);
  EXPECT_EQ(t.AttackPlan[1].Slot, 4);
}

TEST(MatchTeamPlans, NoAttackersOnTheBenchMeansNoAttackingSubstitution) {
  TestLineup l = MakeLineup(1, 50);
  for (int b = 0; b < 5; ++b) l.Bench[b].Mtype = 4;
  Tmteam t;
  Load(t, l);
  EXPECT_EQ(t.AttackPlan[0].Out, -1);
  EXPECT_EQ(t.AttackPlan[0].Slot, -1);
  EXPECT_EQ(t.AttackPlan[1].Out, -1);
  for (int tick = 0; tick <= 5400; tick += 300) t.AutoSub(-3, tick);
  EXPECT_EQ(t.SubsMade, 0);
  for (int i = 0; i < 11; ++i) EXPECT_EQ(t.PlayerAt(i).Number, i + 1);

  // An empty bench plans nothing at all.
  l.BenchUsed = {};
  Tmteam e;
  Load(e, l);
  EXPECT_EQ(e.PlayerCount(), 11);
  EXPECT_EQ(e.DefencePlan[0].Slot, -1);
  for (int tick = 0; tick <= 5400; tick += 300) e.AutoSub(2, tick);
  EXPECT_EQ(e.SubsMade, 0);
}

TEST(MatchTeamSubs, AutoSubFollowsScoreAndClockAndStopsAtTwo) {
  struct Case {
    int diff;
    bool homeSide;
    int firstTick, secondTick;  // -1 = never
    bool attacking;
  };
  const Case cases[] = {
      {-4, true, 0, 3900, true},  {-2, true, 3600, 4800, true},  {-1, false, 3900, 4800, true},
      {0, true, 4500, -1, true},  {0, false, 3900, 4500, false}, {1, true, 3900, 4500, false},
      {3, true, 4500, -1, false},
  };
  for (const Case& c : cases) {
    Tmteam t;
    Load(t, MakeLineup(1, 50), c.homeSide ? 0 : 1);
    ASSERT_NE(t.AttackPlan[1].Slot, -1);
    ASSERT_NE(t.DefencePlan[1].Slot, -1);
    int firstAt = -1, secondAt = -1;
    for (int tick = 0; tick <= 5400; tick += 300) {
      int before = t.SubsMade;
      t.AutoSub(c.diff, tick);
      if (t.SubsMade > before) (before == 0 ? firstAt : secondAt) = tick;
    }
    SCOPED_TRACE(c.diff);
    EXPECT_EQ(firstAt, c.firstTick);
    EXPECT_EQ(secondAt, c.secondTick);
    EXPECT_EQ(c.attacking ? t.AttackUsed : t.DefenceUsed, c.secondTick == -1 ? 1 : 2);
  }

  // Once two entries are taken, a change of score brings no third.
  Tmteam t;
  Load(t, MakeLineup(1, 50));
  t.AutoSub(-3, 0);
  t.AutoSub(-3, 3900);
  EXPECT_EQ(t.SubsMade, 2);
  t.AutoSub(2, 4500);
  t.AutoSub(1, 4800);
  EXPECT_EQ(t.SubsMade, 2);
  EXPECT_EQ(t.DefenceUsed, 0);
  // And a direct substitution is refused as well.
  int slot = t.BenchPresent[0] ? 0 : (t.BenchPresent[1] ? 1 : 2);
  int32_t number = t.PlayerAt(5).Number;
  t.Substitute(5, slot, 5000);
  EXPECT_EQ(t.PlayerAt(5).Number, number);
}

TEST(MatchTeamSubs, SubstituteSwapsListPositionsAndCountsMinutes) {
  TestLineup l = MakeLineup(4, 50);
  l.BenchUsed = {false, false, true, true, false};  // a gap before the present slots
  Tmteam t;
  Load(t, l);
  ASSERT_EQ(t.PlayerCount(), 13);
  const int32_t homeX = t.PlayerAt(9).HomeX, homeY = t.PlayerAt(9).HomeY;
  t.Substitute(9, 0, 3000);  // an empty slot: nothing
  EXPECT_EQ(t.SubsMade, 0);
  t.Substitute(9, 3, 3600);
  EXPECT_EQ(t.SubsMade, 1);
  EXPECT_FALSE(t.BenchPresent[3]);
  const Tmplayer& in = t.PlayerAt(9);
  EXPECT_EQ(in.Number, l.Bench[3].Number);
  EXPECT_EQ(in.HomeX, homeX);
  EXPECT_EQ(in.HomeY, homeY);
  EXPECT_EQ(in.X, 6050);
  EXPECT_EQ(in.Y, 0);
  EXPECT_EQ(in.OnMinute, 60);
  EXPECT_EQ(t.PlayerAt(12).Number, 10);
  EXPECT_EQ(t.PlayerAt(12).OnMinute, 60);  // minutes played
  t.Substitute(9, 3, 4000);                // the slot is used up
  EXPECT_EQ(t.SubsMade, 1);
  // The newcomer goes off again for the other substitute.
  t.Substitute(9, 2, 4800);
  EXPECT_EQ(t.PlayerAt(9).Number, l.Bench[2].Number);
  // Whoever comes on runs in the lane of the one going off: the eleven on
  // the pitch keep to lanes 0 .. 10.
  for (int k = 0; k < TRunLanes::kLanes; ++k) EXPECT_EQ(t.Lanes->OnPitch[k], k < 11 ? 1 : 0) << "lane " << k;
  EXPECT_EQ(&t.PlayerAt(9).X, &t.Lanes->X[9]);

  TIntgrid rows;
  t.ResultRows(rows);
  ASSERT_EQ(rows.RowCount(), 13);
  int total = 0;
  for (int r = 0; r < rows.RowCount(); ++r) {
    ASSERT_EQ(rows.RowLength(r), 6);
    EXPECT_EQ(rows.GetValue(r, 0), 4);
    total += rows.GetValue(r, 2);
  }
  EXPECT_EQ(total, 11 * 90);
  // Starters' rows first, then the players who went off, by slot.
  EXPECT_EQ(rows.GetValue(9, 1), l.Bench[2].Number);
  EXPECT_EQ(rows.GetValue(9, 2), 10);
  EXPECT_EQ(rows.GetValue(11, 1), l.Bench[3].Number);  // slot 2's list position
  EXPECT_EQ(rows.GetValue(11, 2), 20);
  EXPECT_EQ(rows.GetValue(12, 1), 10);  // slot 3's
  EXPECT_EQ(rows.GetValue(12, 2), 60);
}

TEST(MatchTeamShape, ChaserIsTheNearestFreeAndMayBeTheKeeper) {
  Tmteam t;
  Load(t, MakeLineup(1, 50));
  ParkAll(t);
  t.AllFree();
  t.PlayerAt(0).X = 1000;
  t.PlayerAt(0).Y = 4200;
  t.PlayerAt(3).X = 1300;
  t.PlayerAt(3).Y = 4200;
  t.SendChaser(1100, 4200, 0);
  EXPECT_FALSE(t.Free[0]);
  EXPECT_EQ(t.PlayerAt(0).TargetX, 1100);
  EXPECT_TRUE(t.Free[3]);

  // Equal distance: the lower position goes. A nearest player who already
  // has a job means nobody is sent.
  t.AllFree();
  t.PlayerAt(0).X = 1000;
  t.PlayerAt(3).X = 1200;
  t.Free[0] = false;
  t.SendChaser(1100, 4200, 0);
  EXPECT_TRUE(t.Free[3]);

  // A ball in the air longer than his anticipation cannot be chased.
  t.AllFree();
  t.PlayerAt(3).Anticipate = t.PlayerAt(0).Anticipate + 1;
  t.SendChaser(1100, 4200, t.PlayerAt(0).Anticipate);
  EXPECT_TRUE(t.Free[0]);
  EXPECT_FALSE(t.Free[3]);
  // Nobody within 3500.
  t.AllFree();
  t.SendChaser(9000, 4200, 0);
  for (bool f : t.Free) EXPECT_TRUE(f);
}

TEST(MatchTeamShape, MarkNeverTakesTheKeeper) {
  Tmteam t;
  Load(t, MakeLineup(1, 50));
  ParkAll(t);
  t.AllFree();
  t.PlayerAt(0).X = 1500;
  t.PlayerAt(0).Y = 4200;
  t.PlayerAt(4).X = 2400;
  t.PlayerAt(4).Y = 4200;
  t.Mark(1500, 4200);
  EXPECT_TRUE(t.Free[0]);
  EXPECT_FALSE(t.Free[4]);
  EXPECT_EQ(t.PlayerAt(4).TargetX, 1500);
  // Out of the 1000 x 1500 box: nobody.
  t.AllFree();
  t.Mark(1500, 5800);
  for (bool f : t.Free) EXPECT_TRUE(f);

  // Everybody but player 4 stands within 2500 of x 800 (the parked at x 100).
  t.PlayerAt(4).X = 3300;
  TIntgrid rows;
  t.MarkList(rows, 800);
  EXPECT_EQ(rows.RowCount(), 10);
  EXPECT_EQ(rows.GetValue(0, 2), static_cast<int32_t>(std::nearbyint(std::hypot(700.0, 0.0))));
}

TEST(MatchTeamPassTable, HolderIsLeftOutAndFlagsMarkAheadFarAndFrontOfGoal) {
  Tmteam a, d;
  Load(a, MakeLineup(1, 50), 0);  // attacks x 11300
  Load(d, MakeLineup(2, 50), 1);  // defends x 11300
  for (int i = 0; i < 11; ++i) {
    a.PlayerAt(i).X = 1000 + 500 * i;
    a.PlayerAt(i).Y = 4200;
  }
  a.PlayerAt(10).X = 10500;  // in front of goal
  a.PlayerAt(9).X = 8000;
  a.PlayerAt(9).Y = 1000;
  const int holder = 5;  // at x 3500
  TIntgrid table;
  a.BuildPassTable(table, holder);
  ASSERT_EQ(table.RowCount(), 10);
  for (int r = 0; r < table.RowCount(); ++r) {
    EXPECT_NE(table.GetValue(r, 6), holder);
    ASSERT_EQ(table.RowLength(r), 7);
    if (r > 0) {
      EXPECT_LE(table.GetValue(r - 1, 2), table.GetValue(r, 2));
    }
  }
  EXPECT_EQ(table.GetValue(0, 6), 10);
  EXPECT_EQ(table.GetValue(0, 3), 1);
  EXPECT_EQ(table.GetValue(0, 4), 1);
  EXPECT_EQ(table.GetValue(0, 5), 1);
  int row6 = table.FindRow(6, 6);  // 500 ahead of the holder: ahead, not far
  EXPECT_EQ(table.GetValue(row6, 4), 1);
  EXPECT_EQ(table.GetValue(row6, 5), 0);
  int row4 = table.FindRow(6, 4);  // behind
  EXPECT_EQ(table.GetValue(row4, 4), 0);

  // Defenders: all ten outfielders at x 10800 (500 from their goal) across the width.
  for (int i = 1; i < 11; ++i) {
    d.PlayerAt(i).X = 10800;
    d.PlayerAt(i).Y = 4200;
  }
  d.MarkPassTable(table);
  // Player 10 at x 10500: 800 from the goal, defenders 500: covered.
  EXPECT_EQ(table.GetValue(0, 4), 11);
  EXPECT_EQ(table.GetValue(0, 5), 11);
  // Player 4 at x 3000, 8300 from the goal: not covered.
  EXPECT_EQ(table.GetValue(row4, 4), 0);
  // Player 9 is 3200 wide of the defenders: not covered.
  int row9 = table.FindRow(6, 9);
  EXPECT_EQ(table.GetValue(row9, 4), 1);
  EXPECT_EQ(table.GetValue(row9, 5), 1);
}

TEST(MatchTeamPassTable, ClearPathCountsThreeOutfieldersInTheLane) {
  Tmteam d;
  Load(d, MakeLineup(2, 50), 1);
  ParkAll(d, 100, 100);
  // Lane from (5000, 4000) toward +x: x 5000..5999, y 3500..4499.
  EXPECT_TRUE(d.ClearPath(5000, 4000, 0.0));
  d.PlayerAt(1).X = 5000, d.PlayerAt(1).Y = 3500;  // left/top edges are inside
  d.PlayerAt(2).X = 5999, d.PlayerAt(2).Y = 4499;
  d.PlayerAt(3).X = 6000, d.PlayerAt(3).Y = 4000;  // right edge is outside
  EXPECT_TRUE(d.ClearPath(5000, 4000, 0.0));
  d.PlayerAt(0).X = 5500, d.PlayerAt(0).Y = 4000;  // the keeper does not count
  EXPECT_TRUE(d.ClearPath(5000, 4000, 0.0));
  d.PlayerAt(4).X = 5500, d.PlayerAt(4).Y = 4000;
  EXPECT_FALSE(d.ClearPath(5000, 4000, 0.0));
  // The same three block a run the other way from (6000, 4000).
  EXPECT_FALSE(d.ClearPath(6000, 4000, M_PI));
}

TEST(MatchTeamGrids, InfoAndStatsRowsFillTheGrid) {
  TestLineup l = MakeLineup(1, 50);
  l.BenchUsed = {false, true, false, false, true};
  Tmteam t;
  Load(t, l);
  TGrid g;
  g.SetSize(3, 12);
  t.FillInfoGrid(g, true);
  EXPECT_EQ(g.Cells(0, 1), "1");
  EXPECT_EQ(g.Cells(1, 1), l.Starters[0].Name);
  EXPECT_EQ(g.ColCount(), 10);
  EXPECT_EQ(g.Cells(9, 2), "L");  // player 2 is left-footed
  TGrid b;
  t.FillInfoGrid(b, false);
  EXPECT_EQ(b.Cells(0, 1), std::to_string(l.Bench[1].Number));
  EXPECT_EQ(b.Cells(0, 4), std::to_string(l.Bench[4].Number));
  TGrid s;
  t.FillStatsGrid(s);
  EXPECT_EQ(s.RowCount(), 12);
  EXPECT_EQ(s.ColCount(), 10);
  EXPECT_EQ(s.Cells(9, 11), "5");  // rating of a new player
}

// The nearest player found in the side's lanes is the one the list gives,
// ties and all, also once substitutions have swapped players.
TEST(MatchTeamShape, NearestInLanesAgreesWithTheList) {
  const std::vector<TLaneKernel> kernels = LaneKernelsToCompare("NearestInLanesAgreesWithTheList");
  RandSeed(9);
  Tmteam t;
  Load(t, MakeLineup(3, 55));
  t.Substitute(4, 0, 3000);
  t.Substitute(9, 1, 3600);
  for (int round = 0; round < 500; ++round) {
    for (int i = 0; i < 11; ++i) {
      t.PlayerAt(i).X = 1000 + Random(40) * 100;  // on a coarse grid, so that ties come up
      t.PlayerAt(i).Y = 2000 + Random(40) * 100;
      t.PlayerAt(i).Anticipate = Random(100);
    }
    const int32_t px = 1000 + Random(4000), py = 2000 + Random(4000), k = Random(100);
    // Who is sent after the chaser is chosen, and after the marker is.
    auto sent = [&] {
      int mask = 0;
      for (int i = 0; i < 11; ++i) mask |= (t.Free[i] ? 0 : 1) << i;
      return mask;
    };
    int chosen[3][2];  // by each kernel: the list walked one by one, or the lanes side by side
    for (size_t c = 0; c < kernels.size(); ++c) {
      TLaneKernelScope scope(kernels[c]);
      t.AllFree();
      t.SendChaser(px, py, k);
      chosen[c][0] = sent();
      t.Mark(px, py);
      chosen[c][1] = sent();
    }
    for (size_t c = 1; c < kernels.size(); ++c) {
      ASSERT_EQ(chosen[0][0], chosen[c][0]) << round << " " << LaneKernelName(kernels[c]);
      ASSERT_EQ(chosen[0][1], chosen[c][1]) << round << " " << LaneKernelName(kernels[c]);
    }
  }
}

// The manager's changes during a match: each refusal says why and changes
// nothing; the move goes through only inside the area.
TEST(MatchTeamManager, MovesAndSubstitutionsAreCheckedFirstAndSayWhyTheyFail) {
  TestLineup l = MakeLineup(6, 55);
  l.BenchUsed = {true, true, true, false, true};
  Tmteam t;
  Load(t, l);
  const int32_t goal = t.PlayerAt(0).GoalX(0);
  const int32_t forward = goal < kPitchCentreX ? 1 : -1;  // from the own goal line into the pitch
  auto homes = [&] {
    std::vector<std::pair<int32_t, int32_t>> h;
    for (int i = 0; i < t.PlayerCount(); ++i) h.emplace_back(t.PlayerAt(i).HomeX, t.PlayerAt(i).HomeY);
    return h;
  };
  struct MoveCase {
    int index;
    int32_t reach, y;
    TmRefusal want;
    const char* why;
  } moves[] = {
      {0, 1000, 4200, TmRefusal::Goalkeeper, "the keeper stays in goal"},
      {11, 1000, 4200, TmRefusal::NoSuchPlayer, "the bench is not on the pitch"},
      {-1, 1000, 4200, TmRefusal::NoSuchPlayer, "no row chosen"},
      {5, 4501, 4200, TmRefusal::OutsideArea, "one unit too far up the pitch"},
      {5, -1, 4200, TmRefusal::None, "just behind the own goal line: the reach counts both ways"},
      {5, 1000, 4200 + 2601, TmRefusal::OutsideArea, "too far towards a touch line"},
      {5, 1000, 4200 - 2601, TmRefusal::OutsideArea, "too far towards the other touch line"},
      {5, 4500, 4200 + 2600, TmRefusal::None, "the far corner of the area"},
      {10, 0, 4200 - 2600, TmRefusal::None, "on the own goal line"},
  };
  for (const MoveCase& c : moves) {
    const auto before = homes();
    const int32_t x = goal + forward * c.reach;
    const TmRefusal got = t.MoveHome(c.index, x, c.y);
    EXPECT_EQ(got, c.want) << c.why << ": " << RefusalName(got);
    if (c.want != TmRefusal::None) {
      EXPECT_EQ(homes(), before) << c.why;
    } else {
      EXPECT_EQ(t.PlayerAt(c.index).HomeX, x) << c.why;
      EXPECT_EQ(t.PlayerAt(c.index).HomeY, c.y) << c.why;
    }
  }

  struct SubCase {
    int out, slot;
    TmRefusal want;
    const char* why;
  } subs[] = {
      {4, 3, TmRefusal::NoSuchBenchPlayer, "slot 3 was empty in the line-up"},
      {4, 5, TmRefusal::NoSuchBenchPlayer, "there are five bench slots"},
      {11, 0, TmRefusal::NoSuchPlayer, "no one at place 11"},
      {4, 0, TmRefusal::None, "the first substitution"},
      {7, 0, TmRefusal::AlreadySubstituted, "he has come on already"},
      {4, 1, TmRefusal::None, "the newcomer may go off again"},
      {7, 2, TmRefusal::NoSubstitutionsLeft, "a third substitution"},
  };
  for (const SubCase& c : subs) {
    const int made = t.SubsMade;
    const auto before = homes();
    EXPECT_EQ(t.Substitute(c.out, c.slot, 3000), c.want) << c.why;
    EXPECT_EQ(t.SubsMade, made + (c.want == TmRefusal::None ? 1 : 0)) << c.why;
    if (c.want != TmRefusal::None) {
      EXPECT_EQ(homes(), before) << c.why;
    }
  }
}
