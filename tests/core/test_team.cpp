#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "TeamTestData.h"
#include "club/Uarith.h"
#include "club/Ucommatext.h"
#include "club/Ufunction.h"
#include "club/Uteam.h"
#include "club/Uteametc.h"
#include "world/Ugamemain.h"
#include "world/Utrade.h"

namespace {

class TeamTest : public ClubDataTest {
 protected:
  // A club of `n` outfield players (all abilities `a`, position 13, age 25)
  // numbered 1 .. n, with a goalkeeper as number 1.
  std::unique_ptr<Tteam> SmallClub(int n, int32_t index = 3, int32_t a = 40) {
    auto t = std::make_unique<Tteam>(index);
    t->ClubName = "テスト";
    for (int i = 1; i <= n; ++i) t->Squad->Add(MakePlayer(i == 1 ? 0 : 13, a, 25, index), i);
    return t;
  }
  static std::vector<uint8_t> Bytes(const Tteam& t) {
    TStream s;
    t.SaveToStream(s);
    return s.Bytes();
  }
};

std::vector<uint8_t> Int32Bytes(std::initializer_list<int32_t> values) {
  TStream s;
  for (int32_t v : values) s.WriteInt32(v);
  return s.Bytes();
}

void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& b) { to.insert(to.end(), b.begin(), b.end()); }

// ---------------------------------------------------------------------------
// Creation

TEST_F(TeamTest, NewClubHasMoneyBySizeAndTwentyOnePlayers) {
  Tteam t({0, 1, 2, 3}, 12, 5, NoWorld());
  EXPECT_EQ(t.Money, 300);
  ASSERT_EQ(t.Squad->Count(), 21);
  for (int i = 0; i < 21; ++i) {
    EXPECT_EQ(t.Squad->NumberAt(i), i + 1);
    const Tplayer& p = *t.Squad->PlayerAt(i);
    EXPECT_GE(p.Age, 18);
    EXPECT_LE(p.Age, 32);
    EXPECT_EQ(p.TeamIndex, 5);
  }
  EXPECT_LE(t.Squad->PlayerByNumber(1)->Mtype, 2);   // a goalkeeper
  EXPECT_GE(t.Squad->PlayerByNumber(9)->Mtype, 18);  // a forward
  EXPECT_GE(t.Squad->PlayerByNumber(3)->Mtype, 3);   // centre backs
  EXPECT_LE(t.Squad->PlayerByNumber(4)->Mtype, 5);
  EXPECT_EQ(t.Youth->Count(), 0);
  for (int32_t s : t.Slots) EXPECT_EQ(s, -1);
  EXPECT_EQ(t.YouthNationality, 0);
  EXPECT_EQ(t.YouthPosition, 9);
  EXPECT_EQ(t.Coaches->Weights, (TSixValues{3, 3, 3, 3, 3, 3}));
  EXPECT_EQ(Tteam({0, 0, 0, 0}, 17, 9, NoWorld()).Money, 900);
  EXPECT_EQ(Tteam({0, 0, 0, 0}, 22, 17, NoWorld()).Money, 1800);
}

// Numbers 1 .. 21, each made from its position selector and one of the four
// nationalities and then aged, rebuilt here from that table with the same
// seed and compared player by player, byte for byte.
TEST_F(TeamTest, NewClubMakesEachNumberFromItsSelectorAndNationality) {
  struct Made {
    int32_t selector;
    int nationality;  // which of the four
  };
  const Made table[21] = {{0, 0}, {7, 1}, {1, 0}, {1, 0}, {7, 2}, {7, 1}, {8, 1}, {9, 1}, {6, 0}, {8, 3}, {8, 2},
                          {9, 0}, {9, 0}, {9, 0}, {9, 0}, {9, 0}, {9, 0}, {8, 1}, {9, 0}, {9, 0}, {9, 0}};
  const std::array<int32_t, 4> nationalities{1, 4, 6, 8};
  RandSeed(91);
  Tteam club(nationalities, 17, 9, NoWorld());
  RandSeed(91);
  for (int i = 0; i < 21; ++i) {
    Tplayer p(table[i].selector, nationalities[static_cast<std::size_t>(table[i].nationality)], 17, 9, NoWorld());
    p.Age = 18 + Random(15);
    TStream want, got;
    p.SaveToStream(want);
    club.Squad->PlayerByNumber(i + 1)->SaveToStream(got);
    ASSERT_EQ(got.Bytes(), want.Bytes()) << "number " << i + 1;
  }
}

TEST_F(TeamTest, NationalityTenBecomesOneOfTwoToNine) {
  // Player 1 takes the first nationality; the test name lists start "N<list>x".
  Tteam t({10, 0, 0, 0}, 12, 0, NoWorld());
  const std::string& name = t.Squad->PlayerByNumber(1)->Name;
  std::size_t at = name.find('N');
  ASSERT_NE(at, std::string::npos);
  int list = name[at + 1] - '0';
  EXPECT_GE(list, 2);
  EXPECT_LE(list, 9);
  // The first nationality serves numbers 3, 4, 9 as well.
  EXPECT_NE(t.Squad->PlayerByNumber(3)->Name.find("N" + std::to_string(list) + "x"), std::string::npos);
}

TEST_F(TeamTest, SameSeedSameClub) {
  RandSeed(77);
  Tteam a({10, 3, 5, 10}, 17, 9, NoWorld());
  a.AutoLineup(false);
  a.YouthIntake(NoWorld());
  RandSeed(77);
  Tteam b({10, 3, 5, 10}, 17, 9, NoWorld());
  b.AutoLineup(false);
  b.YouthIntake(NoWorld());
  EXPECT_EQ(Bytes(a), Bytes(b));
}

// ---------------------------------------------------------------------------
// Line-up

TEST_F(TeamTest, AutoLineupFillsSixteenSlotsInFormationOrder) {
  Tteam t({0, 1, 2, 3}, 12, 5, NoWorld());
  t.AutoLineup(false);
  std::set<int32_t> seen;
  for (int32_t n : t.Slots) {
    ASSERT_GE(t.Squad->IndexOfNumber(n), 0);
    EXPECT_TRUE(seen.insert(n).second) << "number twice in the line-up: " << n;
  }
  EXPECT_EQ(t.Positions[0], kKeeperPoint);
  // The keeper is the best goalkeeper: pick 1 sorts by column 8.
  int32_t best = -100000;
  for (int i = 0; i < t.Squad->Count(); ++i) best = std::max(best, t.Squad->PlayerAt(i)->LineupRow()[8]);
  EXPECT_EQ(t.RoleRatings[0], best);
  EXPECT_EQ(t.Squad->PlayerByNumber(t.Slots[0])->LineupRow()[8], best);
  // Outfield starters ordered back to front, ties left to right (Y descending).
  for (int s = 1; s < 10; ++s) {
    const TPoint a = t.Positions[static_cast<std::size_t>(s)];
    const TPoint b = t.Positions[static_cast<std::size_t>(s + 1)];
    EXPECT_TRUE(a.X < b.X || (a.X == b.X && a.Y >= b.Y)) << s;
    EXPECT_GE(a.X, 1000);  // every starter placed from a preset
  }
}

// The sixteen picks as one table: the slot each fills, the column it sorts
// by, the player it takes and his value there. The squad is made so that
// the picks' columns name different players (pick 3 sorts by the ability
// sum and takes forward 7, pick 4 by S + K + A and takes forward 8).
TEST_F(TeamTest, AutoLineupMakesSixteenPicksByTheirColumns) {
  struct Player {
    int32_t number, mtype;
    std::array<int32_t, 6> a;  // S H D C K A
  };
  const Player squad[] = {
      {1, 1, {50, 70, 30, 55, 20, 40}},   {2, 4, {50, 55, 70, 50, 40, 40}},   {3, 3, {35, 55, 65, 30, 20, 30}},
      {4, 5, {40, 45, 60, 35, 25, 30}},   {5, 10, {55, 50, 50, 60, 45, 60}},  {6, 7, {62, 40, 40, 45, 35, 40}},
      {7, 19, {50, 50, 30, 50, 60, 58}},  {8, 18, {70, 30, 20, 40, 68, 66}},  {9, 13, {60, 30, 25, 45, 50, 55}},
      {10, 20, {40, 40, 20, 40, 75, 35}}, {11, 12, {66, 30, 20, 30, 30, 30}}, {12, 15, {64, 30, 20, 30, 30, 30}},
      {13, 2, {30, 40, 55, 30, 20, 30}},  {14, 9, {45, 45, 45, 45, 45, 45}},  {15, 16, {40, 55, 50, 55, 40, 40}},
      {16, 17, {30, 30, 30, 30, 30, 30}}, {17, 11, {35, 35, 40, 35, 35, 35}},
  };
  Tteam t(3);
  for (const Player& p : squad) {
    auto made = MakePlayer(p.mtype, 1, 25, 3);
    for (int i = 0; i < 6; ++i) made->Ability(i) = p.a[static_cast<std::size_t>(i)];
    t.Squad->Add(std::move(made), p.number);
  }
  struct Pick {
    int32_t slot, column, number, value;
  };
  const Pick expected[kSlotCount] = {
      {0, 8, 1, 320},  {5, 9, 5, 320},  {9, 5, 7, 298},    {10, 4, 8, 204},   {8, 4, 9, 165},   {1, 7, 2, 70},
      {2, 7, 3, 65},   {3, 7, 4, 60},   {7, 3, 10, 75},    {4, 6, 6, 62},     {6, 10, 15, 280}, {11, 2, 11, 66},
      {12, 2, 12, 64}, {13, 7, 13, 55}, {14, 10, 14, 270}, {15, 10, 17, 215},
  };
  const std::array<TLineupPick, kSlotCount> picks = t.LineupPicks(false);
  for (int i = 0; i < kSlotCount; ++i) {
    const TLineupPick& got = picks[static_cast<std::size_t>(i)];
    const Pick& want = expected[i];
    EXPECT_EQ((std::array<int32_t, 4>{got.Slot, got.Column, got.Number, got.Value}),
              (std::array<int32_t, 4>{want.slot, want.column, want.number, want.value}))
        << "pick " << i + 1;
  }
  // Picks 1, 5, 8, 9 and 11 give the role ratings 0, 4, 1, 3 and 2.
  t.AutoLineup(false);
  EXPECT_EQ(t.RoleRatings, (std::array<int32_t, 5>{320, 60, 280, 75, 165}));
  EXPECT_EQ(t.Slots[0], 1);
  EXPECT_EQ((std::array<int32_t, 5>{t.Slots[11], t.Slots[12], t.Slots[13], t.Slots[14], t.Slots[15]}),
            (std::array<int32_t, 5>{11, 12, 13, 14, 17}));
}

// The picks are sixteen stable sorts of the squad's table, highest first,
// each taking the first row: squads of many equal players, where ties
// fall back on the columns of earlier picks and then the squad's order,
// pick the same players as those sorts.
TEST_F(TeamTest, AutoLineupPicksAsSixteenStableSorts) {
  RandSeed(404);
  for (int squad = 0; squad < 200; ++squad) {
    Tteam t(3);
    const int size = 1 + Random(45);
    for (int n = 0; n < size; ++n) {
      auto made = MakePlayer(Random(21), 1, 25, 3);
      for (int i = 0; i < 6; ++i) made->Ability(i) = 40 + Random(2) * (1 + Random(3));
      t.Squad->Add(std::move(made), 1 + Random(60));
    }
    const std::array<TLineupPick, kSlotCount> picks = t.LineupPicks(false);
    Tplayeranalyze table;
    for (const TplayerInput& e : t.Squad->Entries) table.AddLineupRow(*e.Player, e.Number);
    for (int pick = 0; pick < kSlotCount; ++pick) {
      const TLineupPick& got = picks[static_cast<std::size_t>(pick)];
      int32_t number = -1;
      if (table.RowCount() > 0) {
        table.SortDescending(got.Column);
        number = table.GetValue(0, 0);
        table.DeleteRow(0);
      }
      ASSERT_EQ(got.Number, number) << "squad " << squad << " pick " << pick + 1;
    }
  }
}

TEST_F(TeamTest, AutoLineupCanLeaveTheInjuredOut) {
  Tteam t({0, 1, 2, 3}, 12, 5, NoWorld());
  t.AutoLineup(false);
  const int32_t keeper = t.Slots[0];
  t.Squad->PlayerByNumber(keeper)->InjuryWeeks = 3;
  t.AutoLineup(true);
  EXPECT_EQ(t.FindSlot(keeper), -1);
  for (int32_t n : t.Slots) EXPECT_GE(n, 0);
  t.AutoLineup(false);
  EXPECT_EQ(t.Slots[0], keeper);
}

TEST_F(TeamTest, ArrangeLineupSortsStartersAndPacksSubstitutes) {
  auto t = SmallClub(16);
  for (int s = 0; s < 11; ++s) {
    t->Slots[static_cast<std::size_t>(s)] = s + 1;
    t->Positions[static_cast<std::size_t>(s)] = TPoint{5000 - 100 * s, 4000};
  }
  // Slots 3 and 4 share an X: the larger Y goes first.
  t->Positions[3] = TPoint{2000, 1000};
  t->Positions[4] = TPoint{2000, 7000};
  t->Slots[11] = -1;
  t->Slots[12] = 13;
  t->Slots[13] = -1;
  t->Slots[14] = -1;
  t->Slots[15] = 16;
  t->ArrangeLineup();
  EXPECT_EQ(t->Slots[0], 1);
  EXPECT_EQ(t->Positions[0], (TPoint{5000, 4000}));
  EXPECT_EQ(t->Slots[1], 5);
  EXPECT_EQ(t->Slots[2], 4);
  EXPECT_EQ(t->Positions[1], (TPoint{2000, 7000}));
  EXPECT_EQ(t->Slots[3], 11);  // X 4000
  EXPECT_EQ(t->Slots[10], 2);  // X 4900
  EXPECT_EQ(t->Slots[11], 13);
  EXPECT_EQ(t->Slots[12], 16);
  EXPECT_EQ(t->Slots[13], -1);
  EXPECT_EQ(t->Slots[15], -1);
}

TEST_F(TeamTest, SlotAndPositionAccessorsIgnoreBadSlots) {
  auto t = SmallClub(11);
  t->SetSlotNumber(3, 7);
  t->SetSlotNumber(16, 8);
  t->SetSlotNumber(-1, 8);
  EXPECT_EQ(t->SlotNumber(3), 7);
  EXPECT_EQ(t->SlotNumber(16), -1);
  t->SetPosition(10, TPoint{1, 2});
  t->SetPosition(11, TPoint{3, 4});
  EXPECT_EQ(t->GetPosition(10), (TPoint{1, 2}));
  EXPECT_EQ(t->GetPosition(11), TPoint{});
  EXPECT_EQ(t->FindSlot(7), 3);
}

// ---------------------------------------------------------------------------
// Players coming and going

TEST_F(TeamTest, ReleaseKeepsElevenAndClearsTheSlot) {
  auto t = SmallClub(11);
  t->Slots[4] = 5;
  t->Release(5, NoWorld());
  ASSERT_EQ(t->Squad->Count(), 11);
  EXPECT_EQ(t->Slots[4], -1);
  EXPECT_LT(t->Squad->IndexOfNumber(5), 0);
  const Tplayer* filler = t->Squad->PlayerByNumber(51);
  ASSERT_NE(filler, nullptr);
  EXPECT_EQ(filler->Age, 40);
  EXPECT_EQ(filler->GetAffinity(3), 0);
  // Releasing someone absent changes nothing.
  t->Release(99, NoWorld());
  EXPECT_EQ(t->Squad->Count(), 11);
  // From twelve, no filler.
  auto u = SmallClub(12);
  u->Release(12, NoWorld());
  EXPECT_EQ(u->Squad->Count(), 11);
}

TEST_F(TeamTest, TakeInCopiesUnderTheFirstFreeNumber) {
  auto t = SmallClub(3);
  auto other = MakePlayer(19, 50, 24, 7);
  other->SetAffinity(3, 95);
  EXPECT_EQ(t->TakeIn(*other, 1), 4);
  const Tplayer* p = t->Squad->PlayerByNumber(4);
  ASSERT_NE(p, nullptr);
  EXPECT_NE(p, other.get());
  EXPECT_EQ(p->TeamIndex, 3);
  EXPECT_EQ(p->GetAffinity(3), 100);  // +10, clamped
  EXPECT_EQ(p->Name, other->Name);
  EXPECT_EQ(t->TakeIn(*other, 30), 30);
}

TEST_F(TeamTest, MakeCoachHiresThePlayersCoachingValues) {
  auto t = SmallClub(14);
  Tplayer* p = t->Squad->PlayerByNumber(7);
  p->Speed = 90;
  const TSixValues values = p->CoachValues();
  t->Slots[7] = 7;
  t->MakeCoach(7, 1, NoWorld());
  EXPECT_EQ(t->Coaches->GetSkill(1), values);
  EXPECT_EQ(t->Coaches->Coach[1].Years, 3);
  EXPECT_LT(t->Squad->IndexOfNumber(7), 0);
  EXPECT_EQ(t->Slots[7], -1);
}

TEST_F(TeamTest, YouthIntakeMakesSevenUnderTheYearsNumbers) {
  auto t = SmallClub(11);
  t->YouthNationality = 4;
  t->YouthPosition = 0;
  t->YouthIntake(NoWorld());
  ASSERT_EQ(t->Youth->Count(), 7);
  for (int i = 0; i < 7; ++i) {
    const Tplayer& y = *t->Youth->PlayerAt(i);
    EXPECT_EQ(t->Youth->NumberAt(i), 100 + i);  // year 1 without a game state
    EXPECT_GE(y.Age, 14);
    EXPECT_LE(y.Age, 18);
    EXPECT_LE(y.Mtype, 2);
    EXPECT_NE(y.Name.find("N4x"), std::string::npos);
    const int last = y.History.RowCount() - 1;
    EXPECT_EQ(y.History.GetValue(last, 2), -2);
  }
}

// The intake's base level by its draw, at both ends of every band.
TEST(YouthLevelTable, EveryBandAtBothEnds) {
  const std::pair<int32_t, int32_t> cases[] = {{0, 25},   {1, 20},  {10, 20}, {11, 17}, {25, 17},
                                               {26, 14},  {45, 14}, {46, 12}, {70, 12}, {71, 10},
                                               {174, 10}, {175, 8}, {189, 8}, {190, 6}, {199, 6}};
  for (auto [draw, level] : cases) EXPECT_EQ(YouthLevel(draw), level) << "draw " << draw;
}

TEST_F(TeamTest, PromoteYouthTakesTheReadyKeepsThePromisingSellsTheRest) {
  auto t = SmallClub(20);
  t->RoleRatings = {1000, 1000, 400, 1000, 1000};
  t->Youth->Add(MakePlayer(13, 30, 20, 3), 100);  // all-round 180, tripled: 540 > 400
  t->Youth->Add(MakePlayer(13, 30, 16, 3), 101);  // 180 at 16: promising, stays
  t->Youth->Add(MakePlayer(13, 1, 19, 3), 102);   // weak at 19: let go
  t->PromoteYouth(NoWorld(), nullptr);
  EXPECT_EQ(t->Squad->Count(), 21);
  ASSERT_NE(t->Squad->PlayerByNumber(21), nullptr);
  EXPECT_EQ(t->Squad->PlayerByNumber(21)->Age, 20);
  ASSERT_EQ(t->Youth->Count(), 1);
  EXPECT_EQ(t->Youth->NumberAt(0), 101);

  // A twenty-year-old not good enough stays for now, then is released.
  auto u = SmallClub(20);
  u->RoleRatings = {1000, 1000, 1000, 1000, 1000};
  u->Youth->Add(MakePlayer(13, 30, 20, 3), 100);
  u->PromoteYouth(NoWorld(), nullptr);
  EXPECT_EQ(u->Youth->Count(), 1);
  u->ReleaseOldYouth(nullptr);
  EXPECT_EQ(u->Youth->Count(), 0);
  EXPECT_EQ(u->Squad->Count(), 20);

  // Older than 19 means 20: a youth of exactly 19 stays another season.
  auto v = SmallClub(20);
  v->Youth->Add(MakePlayer(13, 30, 19, 3), 100);
  v->Youth->Add(MakePlayer(13, 30, 20, 3), 101);
  v->ReleaseOldYouth(nullptr);
  ASSERT_EQ(v->Youth->Count(), 1);
  EXPECT_EQ(v->Youth->NumberAt(0), 100);
}

TEST_F(TeamTest, PromotionStopsAtFiftyPlayers) {
  auto t = SmallClub(49);
  t->RoleRatings = {0, 0, 0, 0, 0};
  for (int i = 0; i < 3; ++i) t->Youth->Add(MakePlayer(13, 30, 18, 3), 100 + i);
  t->PromoteYouth(NoWorld(), nullptr);
  EXPECT_EQ(t->Squad->Count(), 50);
}

TEST_F(TeamTest, DeparturesListLeaversAndRetirees) {
  auto t = SmallClub(13);
  Tplayer* leaver = t->Squad->PlayerByNumber(5);
  leaver->SetAffinity(3, 5);
  Tplayer* old = t->Squad->PlayerByNumber(9);
  old->Age = 36;                                    // phase 5
  for (int i = 0; i < 6; ++i) old->Ability(i) = 9;  // sum 54
  const std::string leaverName = leaver->Name;
  const std::string oldName = old->Name;
  t->Slots[2] = 9;
  std::string text = t->Departures(NoWorld(), nullptr);
  std::vector<std::string> lines = SplitCommaText(text);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "9," + oldName + ",→,引退");
  EXPECT_EQ(lines[1], "5," + leaverName + ",→,退団");
  EXPECT_EQ(t->Squad->Count(), 11);
  EXPECT_EQ(t->Slots[2], -1);
  EXPECT_EQ(SplitCommaText(SmallClub(12)->Departures(NoWorld(), nullptr)).size(), 0u);
}

// ---------------------------------------------------------------------------
// Week and match

TEST_F(TeamTest, InjuriesClearSlotsAndFillersKeepElevenFit) {
  auto t = SmallClub(13, 0);
  for (int i = 0; i < 13; ++i) t->Squad->PlayerAt(i)->Fatigue = 0;
  for (int32_t n : {2, 3, 4}) t->Squad->PlayerByNumber(n)->Fatigue = 5000;  // certain injury
  t->Squad->PlayerByNumber(6)->InjuryWeeks = 1;
  t->Slots[3] = 3;
  RandSeed(4);
  t->InjuryUpdate(NoWorld());
  int injured = 0;
  for (int i = 0; i < t->Squad->Count(); ++i)
    if (t->Squad->PlayerAt(i)->InjuryWeeks > 0) ++injured;
  ASSERT_EQ(injured, 3);
  EXPECT_EQ(t->Squad->Count(), 14);  // one filler: eleven fit again
  EXPECT_EQ(t->Slots[3], -1);
  EXPECT_EQ(t->Squad->PlayerByNumber(6)->InjuryWeeks, 0);
  const Tplayer& p2 = *t->Squad->PlayerByNumber(2);
  ASSERT_EQ(t->Messages.size(), 4u);
  EXPECT_EQ(t->Messages[0], "2." + p2.Name + "が全治" + std::to_string(p2.InjuryWeeks) + "週間の怪我をしました");
  EXPECT_EQ(t->Messages[3], "6." + t->Squad->PlayerByNumber(6)->Name + "の怪我が治りました");
  // Injuries run down a week at a time; computer clubs say nothing.
  auto c = SmallClub(12, 4);
  c->Squad->PlayerByNumber(2)->InjuryWeeks = 3;
  c->InjuryUpdate(NoWorld());
  EXPECT_EQ(c->Squad->PlayerByNumber(2)->InjuryWeeks, 2);
  EXPECT_TRUE(c->Messages.empty());
}

TEST_F(TeamTest, WeeklyUpdateTrainsRestsAndSulksWhenBroke) {
  auto t = SmallClub(12);
  t->Money = -1;
  Tplayer* hurt = t->Squad->PlayerByNumber(2);
  hurt->InjuryWeeks = 4;
  hurt->Fatigue = 10;
  Tplayer* fit = t->Squad->PlayerByNumber(3);
  fit->Age = 18;  // growing
  fit->GrowthRate = {4, 4, 4, 4, 4, 4};
  fit->Fatigue = 10;
  t->Youth->Add(MakePlayer(13, 20, 16, 3), 100);
  Tplayer* youth = t->Youth->PlayerAt(0);
  youth->GrowthRate = {4, 4, 4, 4, 4, 4};
  const int32_t hurtPoints = hurt->GrowthPoints[0];
  t->WeeklyUpdate(NoWorld());
  EXPECT_EQ(hurt->Fatigue, 4);
  EXPECT_EQ(hurt->GrowthPoints[0], hurtPoints);
  EXPECT_EQ(hurt->InjuryWeeks, 3);
  EXPECT_EQ(hurt->GetAffinity(3), 49);
  EXPECT_EQ(fit->Fatigue, 7);
  EXPECT_EQ(fit->GrowthPoints[0], 3);  // factor 1 x weight 3
  EXPECT_EQ(youth->GrowthPoints[0], 3);
}

TEST_F(TeamTest, AfterMatchSharesFormBetweenStartersAndSquad) {
  for (int32_t v : {5, -5}) {
    auto t = SmallClub(13);
    for (int i = 0; i < 13; ++i) {
      Tplayer* p = t->Squad->PlayerAt(i);
      p->ConditionTrend = i - 6;
      p->Fatigue = 30;
    }
    for (int s = 0; s < 11; ++s) t->Slots[static_cast<std::size_t>(s)] = s + 1;
    // What the form update gives for a given total delta.
    auto expected = [&](int number, int32_t delta) {
      auto copy = Tplayer::CopyOf(*t->Squad->PlayerByNumber(number), 3);
      copy->ConditionDelta = delta;
      copy->UpdateCondition();
      return std::make_pair(copy->ConditionTrend, copy->Condition);
    };
    const int32_t half = v / 2;  // toward zero: 2 or -2
    auto starter = expected(4, v);
    auto bench = expected(12, half);
    t->AfterMatch(v);
    EXPECT_EQ(t->Squad->PlayerByNumber(4)->ConditionTrend, starter.first) << v;
    EXPECT_EQ(t->Squad->PlayerByNumber(4)->Condition, starter.second) << v;
    EXPECT_EQ(t->Squad->PlayerByNumber(12)->ConditionTrend, bench.first) << v;
    EXPECT_EQ(t->Squad->PlayerByNumber(12)->Condition, bench.second) << v;
    EXPECT_EQ(t->Squad->PlayerByNumber(4)->ConditionDelta, 0);
  }
}

TEST_F(TeamTest, SeasonEndClosesSeasonsTakesYouthAndLetsLeaversGo) {
  auto t = SmallClub(14, 6);
  t->Coaches->Hire(0, {4, 4, 4, 4, 4, 4});
  t->Squad->PlayerByNumber(8)->SetAffinity(6, 0);
  t->Youth->Add(MakePlayer(13, 20, 16, 6), 50);
  const int32_t age = t->Squad->PlayerByNumber(2)->Age;
  t->SeasonEnd(NoWorld(), nullptr);
  EXPECT_EQ(t->Squad->PlayerByNumber(2)->Age, age + 1);
  EXPECT_EQ(t->Youth->PlayerByNumber(50)->Age, 17);
  EXPECT_EQ(t->Youth->Count(), 8);
  EXPECT_EQ(t->Coaches->Coach[0].Years, 2);
  // Season-end drift lifted most attachments; number 8 started at 0.
  const Tplayer* eight = t->Squad->PlayerByNumber(8);
  if (eight) {
    EXPECT_GT(eight->GetAffinity(6), 5);
  }
  // The user's club keeps its leavers until the season events.
  auto u = SmallClub(14, 0);
  u->Squad->PlayerByNumber(8)->SetAffinity(0, 0);
  u->SeasonEnd(NoWorld(), nullptr);
  EXPECT_EQ(u->Squad->Count(), 14);
}

TEST_F(TeamTest, ComputerOffSeasonDecidesThenPaysFromTheRememberedMoney) {
  auto t = SmallClub(14, 5);
  for (int k = 0; k < 3; ++k) t->Coaches->Hire(k, {5, 5, 5, 5, 5, 5});
  t->RoleRatings = {1000, 1000, 1000, 1000, 1000};
  auto weak = MakePlayer(13, 5, 36, 5);  // declining, and no better as a coach
  t->Squad->Add(std::move(weak), 20);
  t->Youth->Add(MakePlayer(13, 3, 20, 5), 100);
  t->Money = 5000;
  const TSixValues skills = t->Coaches->GetSkill(1);
  RandSeed(9);
  t->AIOffSeason(NoWorld(), nullptr);
  EXPECT_LT(t->Squad->IndexOfNumber(20), 0);
  EXPECT_EQ(t->Squad->Count(), 14);
  EXPECT_EQ(t->Youth->Count(), 0);
  EXPECT_EQ(t->Coaches->GetSkill(1), skills);
  EXPECT_EQ(t->YouthPosition, 9);
  // Wages were paid once, after the decisions, then the scouting.
  EXPECT_EQ(t->Money, 5000 - t->WageTotal() - t->InvestmentCost());
}

// In a game: the calendar and the season number come from the game state,
// leavers and listed players go to its market.
class TeamInWorldTest : public TeamTest {
 protected:
  void SetUp() override {
    TeamTest::SetUp();
    state_ = std::make_unique<Tgamemain>(Tgamemain::TNoSeed{});
    state_->Market = std::make_unique<Ttrade>();
    state_->Year = 3;
  }
  void TearDown() override {
    state_.reset();
    TeamTest::TearDown();
  }
  const TworldView& World() const { return *state_; }
  Ttrade* Market() const { return state_->Market.get(); }
  std::unique_ptr<Tgamemain> state_;
};

TEST_F(TeamInWorldTest, LeaversAndListedPlayersReachTheMarket) {
  auto t = SmallClub(14, 5);
  t->Squad->PlayerByNumber(8)->SetAffinity(5, 2);
  t->Departures(World(), Market());
  Ttrade& m = *Market();
  ASSERT_EQ(m.FreeAgents->Count(), 1);
  EXPECT_EQ(m.FreeAgents->PlayerAt(0)->TeamIndex, 99);
  EXPECT_EQ(m.Listings.GetValue(0, 0), 99000 + m.FreeAgents->NumberAt(0));

  t->RoleRatings = {0, 0, 0, 0, 0};
  t->AIOffSeason(World(), Market());
  int listed = 0;
  for (int r = 0; r < m.Listings.RowCount(); ++r)
    if (m.Listings.GetValue(r, 1) == 5) {
      ++listed;
      EXPECT_EQ(m.Listings.GetValue(r, 0), 5000 + m.Listings.GetValue(r, 2));
    }
  EXPECT_EQ(listed, t->Squad->Count());
}

TEST_F(TeamInWorldTest, SeasonNumberCalendarAndMessages) {
  auto t = SmallClub(12, 0);
  t->YouthIntake(World());
  EXPECT_EQ(t->Youth->NumberAt(0), 300);
  // A player past his first years who gets no match load sulks, but only
  // in the weeks of the league season (the club is in division 3).
  // The first and last week of each stretch of league rounds, and the
  // weeks either side.
  const std::pair<int32_t, bool> weeks[] = {
      {11, false}, {12, true}, {18, true}, {19, false}, {21, false}, {22, true}, {28, true}, {29, false},
      {31, false}, {32, true}, {38, true}, {39, false}, {40, false}, {41, true}, {47, true}, {48, false}};
  for (auto [week, sulks] : weeks) {
    auto c = SmallClub(12, 2);
    Tplayer* p = c->Squad->PlayerByNumber(5);
    p->Fatigue = 0;
    p->Age = 30;
    state_->Week = week;
    c->WeeklyUpdate(World());
    EXPECT_EQ(p->GetAffinity(2), sulks ? 49 : 50) << week;
  }
  t->Squad->PlayerByNumber(4)->InjuryWeeks = 1;
  t->InjuryUpdate(World());
  const std::string healed = "4." + t->Squad->PlayerByNumber(4)->Name + "の怪我が治りました";
  const auto& lines = t->Messages;
  EXPECT_NE(std::find(lines.begin(), lines.end(), healed), lines.end());
}

// ---------------------------------------------------------------------------
// Money

TEST_F(TeamTest, WagesInvestmentAndOverflow) {
  auto t = SmallClub(12);
  t->Youth->Add(MakePlayer(13, 20, 16, 3), 100);
  int32_t wages = 0;
  for (int i = 0; i < 12; ++i) wages += t->Squad->PlayerAt(i)->Wage();
  EXPECT_EQ(t->WageTotal(), wages + 5);
  t->Money = 1000;
  t->PayWages();
  EXPECT_EQ(t->Money, 1000 - wages - 5);

  t->Money = 350;
  t->ChooseInvestment();
  EXPECT_EQ(t->YouthNationality, 0);
  EXPECT_EQ(t->Money, 350);
  t->Money = 1000;
  t->YouthPosition = 2;
  t->ChooseInvestment();
  EXPECT_TRUE(t->YouthNationality == 6 || t->YouthNationality == 9);
  EXPECT_EQ(t->Money, 300);
  EXPECT_EQ(t->YouthPosition, 9);
  t->Money = -20000;  // deep in debt: the rich clubs' choice
  t->ChooseInvestment();
  EXPECT_TRUE(t->YouthNationality == 3 || t->YouthNationality == 4);
  EXPECT_EQ(t->Money, -21500);
  EXPECT_EQ(Tteam::InvestmentCostOf(2), 1200);
  EXPECT_EQ(Tteam::InvestmentCostOf(7), 1000);

  t->Money = 2147483000;
  EXPECT_THROW(t->AddMoney(1000), OverflowError);
  EXPECT_EQ(t->Money, 2147483000);
  t->AddMoney(-1000);
  EXPECT_EQ(t->Money, 2147482000);
}

// A computer club's scouting choice by money div 100 (truncated toward
// zero), at both ends of every band: which countries it may choose and what
// it pays.
TEST_F(TeamTest, ChooseInvestmentAtEveryMoneyBand) {
  struct Case {
    int32_t money;
    std::set<int32_t> countries;
  };
  const Case cases[] = {
      {-10100, {3, 4}},  // below -100: the rich clubs' choice
      {-10099, {0}},    {-50, {0}},     {399, {0}},     {400, {1}},     {799, {1}},     {800, {6, 9}},  {1099, {6, 9}},
      {1100, {5, 7}},   {1299, {5, 7}}, {1300, {2, 8}}, {1599, {2, 8}}, {1600, {3, 4}}, {5000, {3, 4}},
  };
  for (const Case& c : cases) {
    std::set<int32_t> seen;
    for (uint64_t seed = 1; seed <= 12; ++seed) {
      RandSeed(seed);
      Tteam t(3);
      t.YouthPosition = 4;
      t.Money = c.money;
      t.ChooseInvestment();
      EXPECT_EQ(c.countries.count(t.YouthNationality), 1u) << c.money << " chose " << t.YouthNationality;
      EXPECT_EQ(t.Money, c.money - Tteam::InvestmentCostOf(t.YouthNationality)) << c.money;
      EXPECT_EQ(t.YouthPosition, 9);
      seen.insert(t.YouthNationality);
    }
    EXPECT_EQ(seen, c.countries) << c.money;  // either country of a pair, by chance
  }
}

TEST_F(TeamTest, TransferTargetsWeighTheRoles) {
  Tteam t(1);
  t.RoleRatings = {50, 20, 100, 30, 40};
  auto targets = t.TransferTargets();
  EXPECT_EQ(targets[0].Role, 2);
  EXPECT_EQ(targets[0].Minimum, 130);
  // Scores: 0 -> 80, 1 -> 125, 3 -> 185, 4 -> 95.
  EXPECT_EQ(targets[1].Role, 3);
  EXPECT_EQ(targets[1].Minimum, 30);
  EXPECT_EQ(targets[2].Role, 1);
  EXPECT_EQ(targets[2].Minimum, 20);
  EXPECT_EQ(t.TransferTargetValues(), (std::array<int32_t, 6>{2, 130, 3, 30, 1, 20}));
  // Ties go in role order: 1 and 3 both score 5 + 6 x 10.
  t.RoleRatings = {0, 10, 0, 10, 0};
  targets = t.TransferTargets();
  EXPECT_EQ(targets[1].Role, 1);
  EXPECT_EQ(targets[2].Role, 3);
}

// ---------------------------------------------------------------------------
// Squad grid

TEST_F(TeamTest, SquadGridShowsRowsKeysAndColours) {
  auto t = SmallClub(14);
  t->Slots[0] = 1;
  t->Slots[5] = 6;
  t->Slots[11] = 12;
  t->Squad->PlayerByNumber(4)->InjuryWeeks = 3;
  t->Squad->PlayerByNumber(2)->Condition = -15;
  t->Squad->PlayerByNumber(3)->Condition = -1;
  t->Squad->PlayerByNumber(5)->Condition = 10;
  t->Squad->PlayerByNumber(7)->Condition = 11;
  TGrid g;
  t->FillSquadGrid(g, NoWorld());
  ASSERT_EQ(g.ColCount(), 19);
  ASSERT_EQ(g.RowCount(), 15);
  EXPECT_EQ(g.FixedRows, 1);
  const std::string header = ",No,Name,Age,Mtype,S,H,D,C,K,A,Leg,Ktype,試,ゴ,ア,Value,,成";
  std::vector<std::string> h = SplitCommaText(header);
  for (int c = 0; c < 19; ++c) EXPECT_EQ(g.Cells(c, 0), h[static_cast<std::size_t>(c)]) << c;
  EXPECT_EQ(g.ColWidth(1), 20);
  EXPECT_EQ(g.ColWidth(2), 100);
  EXPECT_EQ(g.ColWidth(4), 50);
  EXPECT_EQ(g.ColWidth(12), 50);
  EXPECT_EQ(g.ColWidth(16), 35);
  EXPECT_EQ(g.ColWidth(0), 0);
  EXPECT_EQ(g.ColWidth(17), 0);
  const Tplayer& p1 = *t->Squad->PlayerByNumber(1);
  EXPECT_EQ(g.Cells(1, 1), "1");
  EXPECT_EQ(g.Cells(2, 1), p1.Name);
  EXPECT_EQ(g.Cells(4, 1), "GK/N");
  EXPECT_EQ(g.Cells(16, 1), std::to_string(p1.Value(NoWorld())));
  EXPECT_EQ(g.Cells(0, 1), "0");
  EXPECT_EQ(g.Cells(0, 6), "5");
  EXPECT_EQ(g.Cells(0, 12), "11");
  EXPECT_EQ(g.Cells(0, 4), "903");
  EXPECT_EQ(g.Cells(0, 2), "99");
  EXPECT_EQ(g.Tags(1, 1), kTagYellow);
  EXPECT_EQ(g.Tags(1, 6), kTagYellow);
  EXPECT_EQ(g.Tags(1, 12), kTagSilver);
  EXPECT_EQ(g.Tags(1, 2), 0);
  EXPECT_EQ(g.Tags(17, 2), kTagBlue);
  EXPECT_EQ(g.Tags(17, 3), kTagNavy);
  EXPECT_EQ(g.Tags(17, 5), kTagMaroon);
  EXPECT_EQ(g.Tags(17, 7), kTagRed);
  EXPECT_EQ(g.Tags(17, 1), 0);
  // Sorted by the hidden key: starters in slot order, substitutes, the fit, the injured.
  SortByColumn(g, 0, 0);
  EXPECT_EQ(g.Cells(1, 1), "1");
  EXPECT_EQ(g.Cells(1, 2), "6");
  EXPECT_EQ(g.Cells(1, 3), "12");
  EXPECT_EQ(g.Cells(1, 14), "4");
}

// ---------------------------------------------------------------------------
// Stream forms

// A club with something in every field.
std::unique_ptr<Tteam> RichClub(int32_t index) {
  auto t = std::make_unique<Tteam>(std::array<int32_t, 4>{0, 1, 2, 3}, 12, index, NoWorld());
  t->ClubName = "東京ユナイテッド";
  t->Money = -1234;
  t->YouthNationality = 7;
  t->YouthPosition = 2;
  t->Coaches->Hire(2, {1, 2, 3, 4, 5, 6});
  t->AutoLineup(false);
  t->YouthIntake(NoWorld());
  t->Squad->PlayerByNumber(3)->RatingSum = 777;
  return t;
}

TEST_F(TeamTest, ClubRecordLayoutAndRoundTrip) {
  auto t = RichClub(4);
  std::vector<uint8_t> expect = t->Emblem;
  TStream name;
  WriteString(name, t->ClubName);
  Append(expect, name.Bytes());
  Append(expect, Int32Bytes({-1234, 7, 2}));
  TStream coaches;
  t->Coaches->SaveToStream(coaches);
  Append(expect, coaches.Bytes());
  for (int32_t v : t->RoleRatings) Append(expect, Int32Bytes({v}));
  for (int32_t v : t->Slots) Append(expect, Int32Bytes({v}));
  for (const TPoint& p : t->Positions) Append(expect, Int32Bytes({p.X, p.Y}));
  TStream lists;
  t->Squad->SaveToStream(lists);
  t->Youth->SaveToStream(lists);
  Append(expect, lists.Bytes());
  EXPECT_EQ(Bytes(*t), expect);
  EXPECT_EQ(expect.size(), 54 + 4 + 16 + 12 + 126 + 20 + 64 + 88 + lists.Size());

  Tteam back(4);
  TStream s(expect);
  back.LoadFromStream(s);
  EXPECT_TRUE(s.AtEnd());
  EXPECT_EQ(Bytes(back), expect);
  EXPECT_EQ(back.ClubName, "東京ユナイテッド");
  EXPECT_EQ(back.Squad->PlayerByNumber(3)->RatingSum, 777);
  EXPECT_EQ(back.Squad->PlayerAt(0)->TeamIndex, 4);
  EXPECT_EQ(back.TeamIndex, 4);
}

// The same players without their rating sum, as older files hold them.
std::vector<uint8_t> ShortList(const Tplayerlist& list) {
  TStream s;
  s.WriteInt32(list.Count());
  for (int i = 0; i < list.Count(); ++i) {
    s.WriteInt32(list.NumberAt(i));
    TStream full;
    list.PlayerAt(i)->SaveToStream(full);
    TStream hist;
    list.PlayerAt(i)->History.SaveToStream(hist);
    const std::vector<uint8_t>& b = full.Bytes();
    const std::size_t cut = b.size() - hist.Size() - 4;
    s.WriteBytes(b.data(), cut);
    s.WriteBytes(b.data() + cut + 4, hist.Size());
  }
  return s.Bytes();
}

TEST_F(TeamTest, ShortRecordReadsListsWithoutRatingSum) {
  auto t = RichClub(2);
  std::vector<uint8_t> full = Bytes(*t);
  TStream lists;
  t->Squad->SaveToStream(lists);
  t->Youth->SaveToStream(lists);
  std::vector<uint8_t> shortForm(full.begin(), full.end() - static_cast<long>(lists.Size()));
  Append(shortForm, ShortList(*t->Squad));
  Append(shortForm, ShortList(*t->Youth));
  Tteam back(2);
  TStream s(shortForm);
  back.LoadFromStreamShort(s);
  EXPECT_TRUE(s.AtEnd());
  EXPECT_EQ(back.Squad->PlayerByNumber(3)->RatingSum, 0);
  t->Squad->PlayerByNumber(3)->RatingSum = 0;
  EXPECT_EQ(Bytes(back), Bytes(*t));
}

TEST_F(TeamTest, ExchangeRecordNumbersYouthFromOneHundred) {
  auto t = RichClub(1);
  std::vector<uint8_t> ex = t->Emblem;
  TStream head;
  WriteString(head, t->ClubName);
  head.WriteInt32(t->Money);
  head.WriteInt32(t->YouthNationality);
  head.WriteInt32(t->YouthPosition);
  for (int32_t w : t->Coaches->Weights) head.WriteInt32(w);
  for (int i = 0; i < 10; ++i) head.WriteByte(0);
  TStream coaches;
  t->Coaches->SaveToStream(coaches);
  head.WriteBytes(coaches.Bytes().data(), 102);
  for (int32_t v : t->RoleRatings) head.WriteInt32(v);
  for (int32_t v : t->Slots) head.WriteInt32(v);
  for (const TPoint& p : t->Positions) {
    head.WriteInt32(p.X);
    head.WriteInt32(p.Y);
  }
  TIntgrid numbers;
  for (int i = 0; i < t->Squad->Count(); ++i) numbers.AddRow({t->Squad->NumberAt(i), 0});
  numbers.SaveToStream(head);
  for (int i = 0; i < t->Squad->Count(); ++i) t->Squad->PlayerAt(i)->SaveToStream(head);
  head.WriteInt32(t->Youth->Count());
  for (int i = 0; i < t->Youth->Count(); ++i) t->Youth->PlayerAt(i)->SaveToStream(head);
  Append(ex, head.Bytes());

  const RandomState before = GetRandomState();
  Tteam back(1);
  TStream s(ex);
  back.LoadExchange(s);
  EXPECT_TRUE(s.AtEnd());
  EXPECT_EQ(GetRandomState().state, before.state);  // loading draws nothing
  ASSERT_EQ(back.Squad->Count(), t->Squad->Count());
  for (int i = 0; i < t->Squad->Count(); ++i) EXPECT_EQ(back.Squad->NumberAt(i), t->Squad->NumberAt(i));
  ASSERT_EQ(back.Youth->Count(), 7);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(back.Youth->NumberAt(i), 100 + i);
    EXPECT_EQ(back.Youth->PlayerAt(i)->Name, t->Youth->PlayerAt(i)->Name);
  }
  EXPECT_EQ(back.Slots, t->Slots);
  EXPECT_EQ(back.Coaches->Weights, t->Coaches->Weights);
  EXPECT_EQ(back.Coaches->GetSkill(2), t->Coaches->GetSkill(2));
  EXPECT_EQ(back.Squad->PlayerByNumber(3)->RatingSum, 777);
}

TEST_F(TeamTest, DamagedRecordsThrowAndLeaveTheClubAlone) {
  auto t = RichClub(4);
  const std::vector<uint8_t> good = Bytes(*t);
  auto target = SmallClub(12, 4);
  const std::vector<uint8_t> before = Bytes(*target);
  // Truncated anywhere (sampled): one typed error, nothing changed.
  for (std::size_t n = 0; n < good.size(); n += (n < 600 ? 1 : 97)) {
    TStream s(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(n)));
    EXPECT_THROW(target->LoadFromStream(s), StreamError) << n;
    TStream u(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(n)));
    EXPECT_THROW(target->LoadFromStreamShort(u), StreamError) << n;
    TStream x(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(n)));
    EXPECT_THROW(target->LoadExchange(x), StreamError) << n;
  }
  EXPECT_EQ(Bytes(*target), before);

  auto corrupt = [&](std::size_t at, std::vector<uint8_t> with) {
    std::vector<uint8_t> b = good;
    std::copy(with.begin(), with.end(), b.begin() + static_cast<long>(at));
    TStream s(b);
    EXPECT_THROW(target->LoadFromStream(s), StreamError) << at;
    EXPECT_EQ(Bytes(*target), before);
  };
  corrupt(0, {'B', 'X'});                   // not a BMP
  corrupt(2, {10, 0, 0, 0});                // shorter than its own header
  corrupt(2, {0xFF, 0xFF, 0xFF, 0x7F});     // longer than the stream
  corrupt(14, {99, 0, 0, 0});               // unknown bitmap header
  corrupt(10, {200, 0, 0, 0});              // pixels past the end
  corrupt(54, {0xFF, 0xFF, 0xFF, 0xFF});    // negative name length
  corrupt(54 + 4 + 16 + 4, {10, 0, 0, 0});  // youth nationality 10
  const std::size_t squadAt = good.size() - [&] {
    TStream l;
    t->Squad->SaveToStream(l);
    t->Youth->SaveToStream(l);
    return l.Size();
  }();
  corrupt(squadAt, {0xFE, 0xFF, 0xFF, 0xFF});  // negative squad count
  corrupt(squadAt, {0xFF, 0xFF, 0xFF, 0x0F});  // impossible squad count
}

TEST_F(TeamTest, EmblemChecks) {
  Tteam::CheckEmblem(Tteam::EmptyEmblem());
  std::vector<uint8_t> e = Tteam::EmptyEmblem();
  e.push_back(0);
  EXPECT_THROW(Tteam::CheckEmblem(e), StreamError);  // length disagrees
  Tteam t(0);
  EXPECT_THROW(t.SetEmblem({'B', 'M'}), StreamError);
  EXPECT_EQ(t.Emblem, Tteam::EmptyEmblem());
  // A 1 x 1 picture with trailing bytes after it in the stream.
  std::vector<uint8_t> bmp = Tteam::EmptyEmblem();
  bmp[2] = 58;
  bmp[18] = 1;
  bmp[22] = 1;
  bmp.insert(bmp.end(), {0x10, 0x20, 0x30, 0x00});
  t.SetEmblem(bmp);
  std::vector<uint8_t> withTail = bmp;
  withTail.push_back(0xAB);
  TStream s(withTail);
  EXPECT_EQ(Tteam::ReadEmblem(s), bmp);
  EXPECT_EQ(s.Remaining(), 1u);
}

TEST_F(TeamTest, LineupRecordForTheMatch) {
  auto t = RichClub(6);
  t->Slots[13] = -1;
  t->Slots[14] = -1;
  TStream s;
  t->WriteLineup(s);
  TStream e;
  e.WriteInt32(6);
  for (int slot = 0; slot < 11; ++slot) {
    const int32_t n = t->Slots[static_cast<std::size_t>(slot)];
    e.WriteInt32(n);
    e.WriteInt32(t->Positions[static_cast<std::size_t>(slot)].X);
    e.WriteInt32(t->Positions[static_cast<std::size_t>(slot)].Y);
    t->Squad->PlayerByNumber(n)->WriteMatchRecord(e);
  }
  for (int slot = 11; slot < 16; ++slot) {
    const int32_t n = t->Slots[static_cast<std::size_t>(slot)];
    e.WriteByte(n >= 0 ? 1 : 0);
    if (n < 0) continue;
    e.WriteInt32(n);
    e.WriteInt32(kKeeperPoint.X);
    e.WriteInt32(kKeeperPoint.Y);
    t->Squad->PlayerByNumber(n)->WriteMatchRecord(e);
  }
  EXPECT_EQ(s.Bytes(), e.Bytes());
  // A starting place left empty cannot go to a match.
  t->Slots[4] = -1;
  TStream bad;
  EXPECT_THROW(t->WriteLineup(bad), VantorelError);
}

}  // namespace

// The game's one rule for a complete starting eleven, as NEXT, the VS
// export, the tactics board and the autopilot ask it.
TEST_F(TeamTest, StartingElevenIsCompleteWhenEveryStarterSlotHoldsASquadPlayer) {
  struct Case {
    const char* why;
    int slot;
    int32_t number;  // put into the slot
    int32_t injuredNumber;
    bool complete;
  } cases[] = {
      {"slots 0 .. 10 hold squad players 1 .. 11", -1, 0, -1, true},
      {"an injured starter still plays", -1, 0, 4, true},
      {"an empty starter slot", 7, -1, -1, false},
      {"the goalkeeper's slot empty", 0, -1, -1, false},
      {"a starter the squad no longer has", 3, 99, -1, false},
      {"an empty substitute slot does not matter", 12, -1, -1, true},
      {"number 0 is a number", 5, 0, -1, true},
  };
  for (const Case& c : cases) {
    auto t = SmallClub(14);
    if (c.number == 0 && c.slot >= 0) t->Squad->Add(MakePlayer(13, 40, 25, 3), 0);
    for (int s = 0; s < kSlotCount; ++s) t->Slots[static_cast<std::size_t>(s)] = s < 14 ? s + 1 : -1;
    if (c.slot >= 0) t->Slots[static_cast<std::size_t>(c.slot)] = c.number;
    if (c.injuredNumber > 0) t->Squad->PlayerByNumber(c.injuredNumber)->InjuryWeeks = 3;
    EXPECT_EQ(t->StartingElevenComplete(), c.complete) << c.why;
  }
}
