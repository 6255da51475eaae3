// Player development: growth, fatigue, injuries, form, attachment, season
// close and young relatives.
#include <gtest/gtest.h>

#include "club/Uplayer.h"
#include "tests/core/PlayerTestSupport.h"
#include "world/Ugamemain.h"

namespace {

// A plain player without randomness in the fields the rules read.
std::unique_ptr<Tplayer> Plain(int32_t age, int32_t peak, int32_t club = kNoClub) {
  auto p = std::make_unique<Tplayer>(9, 0, 10, club, NoWorld());
  p->Age = age;
  p->PeakAge = peak;
  for (int i = 0; i < 6; ++i) {
    p->Ability(i) = 50;
    p->GrowthPoints[i] = 0;
    p->GrowthRate[i] = 4;
  }
  return p;
}

const std::array<int32_t, 6> kWeights{10, 10, 10, 10, 10, 10};

}  // namespace

using PlayerGrowth = PlayerFixture;

TEST_F(PlayerGrowth, FactorFollowsAgeAgainstPeak) {
  // e = Age - PeakAge -> points gained in one week with rate 4, weight 10.
  const std::pair<int, int> cases[] = {{-9, 10}, {-4, 10}, {-3, 20}, {-2, 30}, {-1, 40}, {0, 40},
                                       {1, 30},  {2, 0},   {3, 0},   {4, -15}, {5, -30}};
  for (auto [e, points] : cases) {
    auto p = Plain(25 + e, 25);
    p->GrowthPoints.fill(100);
    p->WeeklyGrowth(kWeights);
    EXPECT_EQ(p->GrowthPoints[0], 100 + points) << "e = " << e;
    EXPECT_EQ(p->Speed, 50);
  }
}

TEST_F(PlayerGrowth, RateCapsTheFactorAndPointsBecomeAbility) {
  auto p = Plain(24, 25);  // f = 4
  p->GrowthRate = {0, 1, 2, 3, 4, 4};
  p->GrowthPoints = {0, 0, 0, 0, 190, 590};
  p->WeeklyGrowth({100, 100, 100, 100, 5, 100});
  EXPECT_EQ(p->GrowthPoints[0], 0);  // rate 0: nothing however high the weight
  EXPECT_EQ(p->Speed, 50);
  EXPECT_EQ(p->GrowthPoints[1], 100);
  EXPECT_EQ(p->Height, 50);
  EXPECT_EQ(p->GrowthPoints[2], 0);  // 200 -> +1
  EXPECT_EQ(p->Defense, 51);
  EXPECT_EQ(p->GrowthPoints[3], 100);  // 300 -> +1, 100 left
  EXPECT_EQ(p->ballContorol, 51);
  EXPECT_EQ(p->GrowthPoints[4], 10);  // 190 + 20 -> +1, 10 left
  EXPECT_EQ(p->KickContorol, 51);
  EXPECT_EQ(p->GrowthPoints[5], 190);  // 990 -> +4
  EXPECT_EQ(p->Anticipation, 54);
}

TEST_F(PlayerGrowth, NinetyNineCollectsPointsButNeverPassesIt) {
  auto p = Plain(22, 25);
  p->Speed = 99;
  p->Height = 98;
  p->GrowthPoints[1] = 390;
  for (int w = 0; w < 10; ++w) p->WeeklyGrowth(kWeights);
  EXPECT_EQ(p->Speed, 99);
  EXPECT_EQ(p->GrowthPoints[0], 200);  // f = 2: 20 points a week
  EXPECT_EQ(p->Height, 99);
  EXPECT_EQ(p->GrowthPoints[1], 390 + 200 - 200);
  // Lowered by a season event, the collected points only bring him back to 99.
  p->ScaleAbilities(-20);
  p->GrowthPoints[0] = 100000;
  p->WeeklyGrowth(kWeights);
  EXPECT_EQ(p->Speed, 99);
}

TEST_F(PlayerGrowth, OldPlayersDecline) {
  auto p = Plain(35, 25);  // e = 10, f = -7: 105 points a week
  p->WeeklyGrowth(kWeights);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(p->Ability(i), 49);
    EXPECT_EQ(p->GrowthPoints[i], 95);
  }
  p->WeeklyGrowth(kWeights);
  EXPECT_EQ(p->Speed, 48);
  EXPECT_EQ(p->GrowthPoints[0], 190);
  // Ability 1 stays 1; its points keep falling.
  p->Speed = 1;
  p->GrowthPoints[0] = -1000;
  p->WeeklyGrowth(kWeights);
  EXPECT_EQ(p->Speed, 1);
  EXPECT_EQ(p->GrowthPoints[0], -1105);
}

using PlayerFitness = PlayerFixture;

TEST_F(PlayerFitness, FatigueNeverNegative) {
  auto p = Plain(24, 25);
  p->Fatigue = 5;
  p->AddFatigue(-3, false, NoWorld());
  EXPECT_EQ(p->Fatigue, 2);
  p->AddFatigue(-6, true, NoWorld());  // no game: no division to be unhappy in
  EXPECT_EQ(p->Fatigue, 0);
  p->AddFatigue(6, true, NoWorld());
  EXPECT_EQ(p->Fatigue, 6);
}

TEST_F(PlayerFitness, InjuryDrawIsSeeded) {
  RandSeed(42);
  auto p = Plain(24, 25);
  int injuries = 0;
  for (int k = 0; k < 4000; ++k) {
    p->Fatigue = 0;
    p->InjuryWeeks = 0;
    RandomState st = GetRandomState();
    int32_t r = Random(2000);
    SetRandomState(st);
    bool hit = p->InjuryCheck();
    EXPECT_EQ(hit, r == 0);
    if (hit) {
      ++injuries;
      EXPECT_EQ(p->InjuryWeeks, 1);
    }
  }
  p->Fatigue = 1999;
  RandomState st = GetRandomState();
  int32_t r = Random(2000);
  SetRandomState(st);
  EXPECT_TRUE(p->InjuryCheck());
  EXPECT_EQ(p->InjuryWeeks, r / 4 + 1);
  EXPECT_LE(p->InjuryWeeks, 500);
}

TEST_F(PlayerFitness, FormRunsRoundItsCycle) {
  auto p = Plain(24, 25);  // free agent: no attachment term
  p->Fatigue = 30;         // no fatigue term
  auto step = [&](int trend, int delta) {
    p->ConditionTrend = trend;
    p->ConditionDelta = delta;
    p->UpdateCondition();
    EXPECT_EQ(p->ConditionDelta, 0);
    return std::make_pair(p->ConditionTrend, p->Condition);
  };
  EXPECT_EQ(step(9, 3), std::make_pair(12, 8));
  EXPECT_EQ(step(9, -2), std::make_pair(7, 7));     // below 10 a turning delta is not reflected
  EXPECT_EQ(step(-10, 1), std::make_pair(-9, -9));  // at 10 reflecting changes nothing
  EXPECT_EQ(step(18, 5), std::make_pair(3, 3));
  EXPECT_EQ(step(-12, 2), std::make_pair(-6, -6));
  EXPECT_EQ(step(-18, -9), std::make_pair(-3, -3));  // delta clamped to -5
  EXPECT_EQ(step(0, 0), std::make_pair(0, 0));
  EXPECT_EQ(step(15, 0), std::make_pair(5, 5));     // no delta reflects a high trend
  EXPECT_EQ(step(12345, 1), std::make_pair(6, 6));  // a wild stored trend comes back to the cycle
  EXPECT_EQ(step(INT32_MIN, 1), std::make_pair(-7, -7));
}

TEST_F(PlayerFitness, FormFeelsFatigueAndAttachment) {
  auto p = Plain(24, 25);
  auto form = [&](int fatigue) {
    p->Fatigue = fatigue;
    p->ConditionTrend = 5;
    p->ConditionDelta = 0;
    p->UpdateCondition();
    return p->Condition;
  };
  EXPECT_EQ(form(0), 0);   // 5 - (5 - 0)
  EXPECT_EQ(form(20), 5);  // 5 - (5 - 5)
  EXPECT_EQ(form(21), 5);
  EXPECT_EQ(form(39), 5);
  EXPECT_EQ(form(40), 4);    // (40 - 36) div 4 = 1
  EXPECT_EQ(form(79), -5);   // 43 div 4 = 10
  EXPECT_EQ(form(500), -5);  // at most -10
  p->TeamIndex = 2;
  p->SetAffinity(2, 100);
  EXPECT_EQ(form(30), 15);  // + 100 div 5 - 10
  p->SetAffinity(2, 0);
  EXPECT_EQ(form(80), -15);
  p->ConditionTrend = -9;
  p->UpdateCondition();
  EXPECT_EQ(p->Condition, -20);  // -9 - 10 - 10 = -29, clamped
}

using PlayerSeason = PlayerFixture;

TEST_F(PlayerSeason, FewGamesValueOnlyTheFloor) {
  struct Case {
    int32_t age, games, ratingSum, value;
  };
  const Case cases[] = {
      // Nine games: a fine average does not count, only the phase's floor.
      {20, 9, 90, 500},
      {22, 9, 90, 400},
      {25, 9, 90, 300},
      {28, 9, 90, 300},
      {31, 9, 90, 300},
      // Ten games count: 80 / (10 * 10) = 0.8, above every floor; a poor
      // average still keeps the floor.
      {20, 10, 80, 800},
      {25, 10, 80, 800},
      {31, 10, 80, 800},
      {20, 10, 30, 500},
      {22, 10, 30, 400},
      {25, 10, 35, 350},
      {25, 10, 20, 300},
  };
  for (const Case& c : cases) {
    auto p = Plain(c.age, 25);
    for (int i = 0; i < 6; ++i) p->Ability(i) = 1;  // ability terms 0
    p->BaseValue = 1000;
    p->Games = c.games;
    p->RatingSum = c.ratingSum;
    p->CloseSeason(kTradeOrdinary, NoWorld());
    EXPECT_EQ(p->BaseValue, c.value) << "age " << c.age << ", " << c.games << " games";
  }
}

TEST_F(PlayerSeason, CloseSeasonBooksTheSeasonAndDeliberatelyKeepsTheFee) {
  auto p = Plain(24, 25);
  p->Speed = 60;  // 3600 div 20 = 180; the other five: 2500 div 20 = 125 each
  p->BaseValue = 1001;
  p->Games = 20;
  p->RatingSum = 130;  // r = 0.65
  p->Goal = 5;
  p->Asist = 2;
  p->Fatigue = 14;
  p->LastSeason = {1, 2, 3, 4, 5, 6};
  p->History.Clear();
  p->History.AddRow({1, kNoClub, 480, 0, 0, 0, 0});  // came for a fee of 480
  p->CloseSeason(kTradeOrdinary, NoWorld());
  // round(1001 * 0.65) = 651 (650.65), + 14, + 180 + 625.
  EXPECT_EQ(p->BaseValue, 651 + 14 + 180 + 625);
  EXPECT_EQ(p->Age, 25);
  EXPECT_EQ(p->Fatigue, 4);
  EXPECT_EQ(p->SeasonBefore, (std::array<int32_t, 6>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(p->LastSeason, (std::array<int32_t, 6>{60, 50, 50, 50, 50, 50}));
  EXPECT_EQ(p->Games, 0);
  EXPECT_EQ(p->Goal, 0);
  EXPECT_EQ(p->Asist, 0);
  EXPECT_EQ(p->RatingSum, 0);
  ASSERT_EQ(p->History.RowCount(), 2);
  EXPECT_EQ(p->History.Rows[0].Values, (std::vector<int32_t>{1, kNoClub, 480, 20, 5, 2, 650}));
  EXPECT_EQ(p->History.Rows[1].Values, (std::vector<int32_t>{1, kNoClub, -1, 0, 0, 0, 0}));
}

TEST_F(PlayerSeason, RateIsCappedAndNeedsGames) {
  auto p = Plain(24, 25);
  p->Games = 2;
  p->RatingSum = 21;  // average 10.5
  p->CloseSeason(kTradeYouth, NoWorld());
  EXPECT_EQ(p->History.GetValue(0, kHistRate), 999);
  EXPECT_EQ(p->History.GetValue(1, kHistTrade), kTradeYouth);
  p->RatingSum = 7;  // no games: rate untouched, rating sum cleared
  p->CloseSeason(kTradeYouth, NoWorld());
  EXPECT_EQ(p->History.GetValue(1, kHistRate), 0);
  EXPECT_EQ(p->RatingSum, 0);
  EXPECT_EQ(p->History.RowCount(), 3);
  // A player whose history was lost in a damaged file still closes.
  p->History.Clear();
  p->CloseSeason(kTradeOrdinary, NoWorld());
  EXPECT_EQ(p->History.RowCount(), 1);
}

TEST_F(PlayerSeason, FreeAgentDriftTowardsReputation) {
  auto p = Plain(24, 25);
  p->Affinity.fill(50);
  p->SetAffinity(0, 3);
  p->CloseSeason(kTradeOrdinary, NoWorld());
  // No game state: reputations of a new game, 3 * (c + 1).
  EXPECT_EQ(p->GetAffinity(0), 3 * 7 / 50 + 3 * 4 / 5 + 5);
  EXPECT_EQ(p->GetAffinity(23), 72 * 7 / 50 + 40 + 5);
}

using PlayerRelative = PlayerFixture;

TEST_F(PlayerRelative, YoungRelativeOfAJapanesePlayer) {
  RandSeed(8);
  auto parent = Plain(33, 26);
  parent->Name = "姓010　名020";
  parent->Speed = 99;
  parent->Height = 1;
  for (int k = 0; k < 100; ++k) {
    Tplayer kid(9, 0, 0, 0, NoWorld());
    kid.MakeRelative(*parent);
    EXPECT_EQ(kid.Name.rfind("姓010　名", 0), 0u) << kid.Name;
    EXPECT_NE(kid.Name, "");
    EXPECT_GE(kid.Speed, 2 * 99 / 10 + 1);
    EXPECT_LE(kid.Speed, 8 * 99 / 10 + 1);
    EXPECT_EQ(kid.Height, 1);
    EXPECT_GE(kid.Age, 16);
    EXPECT_LE(kid.Age, 19);
    int32_t bv = 0;
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(kid.LastSeason[i], kid.Ability(i));
      bv += kid.Ability(i) * kid.Ability(i) / 10;
    }
    EXPECT_EQ(kid.BaseValue, bv);
  }
}

TEST_F(PlayerRelative, ForeignNamesGetANewInitial) {
  RandSeed(9);
  auto parent = Plain(33, 26);
  parent->Name = "Z．ナマエ3";
  Tplayer kid(9, 0, 0, 0, NoWorld());
  kid.MakeRelative(*parent);
  EXPECT_EQ(kid.Name.substr(1), "．ナマエ3");
  EXPECT_GE(kid.Name[0], 'A');
  EXPECT_LE(kid.Name[0], 'Y');

  parent->Name = "ナマエ4";
  Tplayer kid2(9, 0, 0, 0, NoWorld());
  kid2.MakeRelative(*parent);
  EXPECT_EQ(kid2.Name.substr(1), "．ナマエ4");
  EXPECT_GE(kid2.Name[0], 'A');
  EXPECT_LE(kid2.Name[0], 'Y');
}

TEST_F(PlayerRelative, SameSeedSameRelative) {
  auto parent = Plain(33, 26);
  parent->Name = "姓001　名002";
  RandSeed(77);
  Tplayer a(9, 0, 0, 0, NoWorld());
  a.MakeRelative(*parent);
  RandSeed(77);
  Tplayer b(9, 0, 0, 0, NoWorld());
  b.MakeRelative(*parent);
  TStream sa, sb;
  a.SaveToStream(sa);
  b.SaveToStream(sb);
  EXPECT_EQ(sa.Bytes(), sb.Bytes());
}

// ---- rules that read the game state (new-game layout: clubs 0 .. 7 in
// division 3, 8 .. 15 in division 2, 16 .. 23 in division 1; reputation
// 3 * (club + 1)) --------------------------------------------------------------

class PlayerInWorld : public PlayerFixture {
 protected:
  void SetUp() override {
    PlayerFixture::SetUp();
    state_ = std::make_unique<Tgamemain>();
    RandSeed(2024);
  }
  void TearDown() override {
    state_.reset();
    PlayerFixture::TearDown();
  }
  // The game state is the world its players are given.
  const TworldView& World() const { return *state_; }
  std::unique_ptr<Tgamemain> state_;
};

TEST_F(PlayerInWorld, InitialAttachmentByReputationAndDivision) {
  Tplayer p(9, 0, 10, 0, World());  // division 3, b = 25 - 2 = 23
  EXPECT_EQ(p.GetAffinity(0), 2 + 25 + 23);
  EXPECT_EQ(p.GetAffinity(1), 4 + 48 - 10);    // same division
  EXPECT_EQ(p.GetAffinity(8), 18 + 48 + 5);    // one division up
  EXPECT_EQ(p.GetAffinity(16), 35 + 48 + 10);  // two up
  EXPECT_EQ(p.GetAffinity(23), 100);           // 108, clamped
  Tplayer top(9, 0, 10, 20, World());          // division 1, b = 25 - 44
  EXPECT_EQ(top.GetAffinity(20), 50);
  EXPECT_EQ(top.GetAffinity(0), 0);          // 2 + 6 - 10, clamped
  Tplayer free(9, 0, 10, kNoClub, World());  // no adjustment, no clamping needed
  EXPECT_EQ(free.GetAffinity(23), 50 + 25);
  EXPECT_EQ(free.GetAffinity(0), 2 + 25);
}

TEST_F(PlayerInWorld, YearAndDivisionFromTheGameState) {
  state_->Year = 4;
  Tplayer p(9, 0, 10, 8, World());
  EXPECT_EQ(p.History.GetValue(0, kHistYear), 4);
  p.Age = 24;
  p.PeakAge = 24;
  p.BaseValue = 1000;
  EXPECT_EQ(p.Value(World()), 900);  // division 2
  p.TeamIndex = 3;
  EXPECT_EQ(p.Value(World()), 800);  // division 3
  p.TeamIndex = 17;
  EXPECT_EQ(p.Value(World()), 1000);
  state_->Year = 5;
  p.CloseSeason(kTradeOrdinary, World());
  EXPECT_EQ(p.History.GetValue(1, kHistYear), 5);
  EXPECT_EQ(p.History.GetValue(1, kHistTeam), 17);
}

TEST_F(PlayerInWorld, BenchedPlayersLookElsewhere) {
  Tplayer p(9, 0, 10, 8, World());  // division 2
  p.Age = 30;
  p.PeakAge = 25;
  p.Affinity.fill(50);
  p.AddFatigue(-3, true, World());
  EXPECT_EQ(p.GetAffinity(8), 50);  // -1, then +1 with his division
  EXPECT_EQ(p.GetAffinity(9), 52);
  EXPECT_EQ(p.GetAffinity(0), 51);   // division 3
  EXPECT_EQ(p.GetAffinity(16), 50);  // division 1 untouched
  p.Fatigue = 5;
  p.AddFatigue(-3, true, World());  // still tired: no complaint
  EXPECT_EQ(p.GetAffinity(9), 52);

  Tplayer young(9, 0, 10, 2, World());  // division 3, growth phase 1: patient
  young.Age = 18;
  young.PeakAge = 26;
  young.Affinity.fill(50);
  young.AddFatigue(-3, true, World());
  EXPECT_EQ(young.GetAffinity(2), 50);
  young.Age = 24;  // phase 2
  young.AddFatigue(-3, true, World());
  EXPECT_EQ(young.GetAffinity(2), 49);
  EXPECT_EQ(young.GetAffinity(3), 51);
  EXPECT_EQ(young.GetAffinity(8), 50);  // division 3: no second pass
}

TEST_F(PlayerInWorld, SeasonDriftByDivision) {
  Tplayer p(9, 0, 10, 8, World());  // division 2
  p.Age = 24;
  p.PeakAge = 24;
  p.Affinity.fill(50);
  p.SetAffinity(8, 10);  // too low to drift: keeps 10
  p.CloseSeason(kTradeOrdinary, World());
  auto drift = [](int club) { return 3 * (club + 1) * 7 / 50 + 40 + 5; };
  EXPECT_EQ(p.GetAffinity(8), 10);
  EXPECT_EQ(p.GetAffinity(9), drift(9) - 2);
  EXPECT_EQ(p.GetAffinity(16), drift(16) + 1);
  EXPECT_EQ(p.GetAffinity(0), drift(0) - 1);
}
