// A loaded file is a world the game could have made, or it is refused at
// the door naming the file, the rule and the place: a valid world is
// damaged once per invariant and written as a slot or a VS file, and the
// loader must refuse it with exactly that invariant and change nothing.
// Shipped data is held to the same rules.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "SaveTestWorld.h"
#include "TestData.h"
#include "club/Ufile.h"
#include "club/Uinvariants.h"
#include "club/Urandom.h"
#include "world/Usavegame.h"
#include "world/Uvsdata.h"
#include "world/Uworldcheck.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string Place(const Tgamemain& g, int club) {
  return "クラブ" + std::to_string(club) + "「" + g.Teams[club]->ClubName + "」";
}

Tplayer& SquadPlayer(Tgamemain& g, int club, int index) { return *g.Teams[club]->Squad->PlayerAt(index); }
std::string SquadPlace(const Tgamemain& g, int club, int index) {
  return Place(g, club) + " 背番号" + std::to_string(g.Teams[club]->Squad->NumberAt(index));
}

// Two valid worlds: the pre-season (week 3: market, no competitions) and
// the season (week 12: leagues and cup, no market).
class Invariants : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new ScopedDataDir;
    const RandomState saved = GetRandomState();
    TestGame game(31);
    Tgamemain& g = game.Get();
    game.FillMarket();
    while (g.Week < 3) g.AdvanceWeek();
    pre_ = new Bytes(g.SaveBody());
    while (g.Week < 12) g.AdvanceWeek();
    season_ = new Bytes(g.SaveBody());
    SetRandomState(saved);
  }
  static void TearDownTestSuite() {
    delete pre_;
    delete season_;
    delete dir_;
  }
  static void Load(Tgamemain& g, const Bytes& body) {
    TStream s(body);
    g.LoadFromStream(s, true);
  }

  static ScopedDataDir* dir_;
  static Bytes* pre_;
  static Bytes* season_;
};
ScopedDataDir* Invariants::dir_ = nullptr;
Bytes* Invariants::pre_ = nullptr;
Bytes* Invariants::season_ = nullptr;

struct TDamage {
  const char* What;
  bool Season;  // the season world, else the pre-season one
  bool VsFile;  // club 0 exported as a VS file, else the whole world as a slot
  TInvariant Broken;
  std::function<void(Tgamemain&)> Spoil;
  // The violation's text, read from the spoilt world.
  std::function<std::string(Tgamemain&)> Text;
};

TEST_F(Invariants, EachBrokenRuleIsRefusedByNameAndPlace) {
  using I = TInvariant;
  const std::vector<TDamage> cases = {
      {"two youths numbered alike", false, false, I::ShirtNumbers,
       [](Tgamemain& g) { g.Teams[3]->Youth->Entries[1].Number = g.Teams[3]->Youth->Entries[0].Number; },
       [](Tgamemain& g) {
         return "背番号が重複しているか範囲外です（" + Place(g, 3) + " ユース 背番号" +
                std::to_string(g.Teams[3]->Youth->NumberAt(0)) + "）：同じ背番号が二人います";
       }},
      {"the same in a VS file (two youths 101)", false, true, I::ShirtNumbers,
       [](Tgamemain& g) {
         g.Teams[0]->AutoLineup(true);  // the eleven complete, as for an export
         g.Teams[0]->Youth->Entries[2].Number = 101;
       },
       [](Tgamemain& g) {
         return "背番号が重複しているか範囲外です（「" + g.Teams[0]->ClubName +
                "」 ユース 背番号101）：同じ背番号が二人います";
       }},
      {"ten players", false, false, I::SquadSize,
       [](Tgamemain& g) {
         Tteam& t = *g.Teams[0];
         while (t.Squad->Count() > 10) {
           const int32_t n = t.Squad->NumberAt(t.Squad->Count() - 1);
           for (int32_t& s : t.Slots)
             if (s == n) s = -1;
           t.Squad->RemoveNumber(n);
         }
       },
       [](Tgamemain& g) { return "選手が11人に足りません（" + Place(g, 0) + "）：10人"; }},
      {"a substitute nobody is", false, false, I::LineupSlots, [](Tgamemain& g) { g.Teams[0]->Slots[12] = 77; },
       [](Tgamemain& g) {
         return "メンバー表にいない選手が登録されています（" + Place(g, 0) + " 背番号77）：控え枠12の選手がいません";
       }},
      {"a computer club one starter short", false, false, I::StartingEleven,
       [](Tgamemain& g) { g.Teams[4]->Slots[5] = -1; },
       [](Tgamemain& g) { return "スタメンが決まっていません（" + Place(g, 4) + "）：スタメン枠5が空です"; }},
      {"a VS club one starter short", false, true, I::StartingEleven,
       [](Tgamemain& g) {
         g.Teams[0]->AutoLineup(true);
         g.Teams[0]->Slots[0] = -1;
       },
       [](Tgamemain& g) {
         return "スタメンが決まっていません（「" + g.Teams[0]->ClubName + "」）：スタメン枠0が空です";
       }},
      {"a position beyond the goal line", true, false, I::PitchPositions,
       [](Tgamemain& g) {
         g.Teams[6]->Positions[3] = TPoint{13000, 4000};
       },
       [](Tgamemain& g) { return "ポジションがピッチの外です（" + Place(g, 6) + "）：枠3 (13000, 4000)"; }},
      {"a height of 100", false, false, I::Abilities, [](Tgamemain& g) { SquadPlayer(g, 2, 0).Height = 100; },
       [](Tgamemain& g) { return "能力値が範囲外です（" + SquadPlace(g, 2, 0) + "）：H 100（0〜99）"; }},
      {"a growth rate of 5", false, false, I::GrowthRates, [](Tgamemain& g) { SquadPlayer(g, 2, 1).GrowthRate[2] = 5; },
       [](Tgamemain& g) { return "成長率が範囲外です（" + SquadPlace(g, 2, 1) + "）：D 5（0〜4）"; }},
      {"attachment over 100", true, false, I::Attachment, [](Tgamemain& g) { SquadPlayer(g, 5, 2).Affinity[7] = 101; },
       [](Tgamemain& g) { return "愛着が範囲外です（" + SquadPlace(g, 5, 2) + "）：クラブ7へ 101（0〜100）"; }},
      {"form of 21", false, false, I::Form, [](Tgamemain& g) { SquadPlayer(g, 0, 3).Condition = 21; },
       [](Tgamemain& g) { return "調子が範囲外です（" + SquadPlace(g, 0, 3) + "）：調子 21（-20〜20）"; }},
      {"one preferred action twice", false, false, I::PreferredActions,
       [](Tgamemain& g) { SquadPlayer(g, 7, 0).Choice2 = SquadPlayer(g, 7, 0).Choice1; },
       [](Tgamemain& g) {
         return "得意プレーが重複しています（" + SquadPlace(g, 7, 0) + "）：" + SquadPlayer(g, 7, 0).ChoiceText();
       }},
      {"a coach signed for four years", false, false, I::CoachingStaff,
       [](Tgamemain& g) { g.Teams[8]->Coaches->Coach[1].Years = 4; },
       [](Tgamemain& g) { return "コーチのデータが範囲外です（" + Place(g, 8) + "）：コーチ2の契約年数 4（1〜3）"; }},
      {"a worth no player reaches", true, false, I::ValueRanges,
       [](Tgamemain& g) { SquadPlayer(g, 9, 0).BaseValue = 2000000; },
       [](Tgamemain& g) { return "数値が範囲外です（" + SquadPlace(g, 9, 0) + "）：基本価値 2000000（0〜1000000）"; }},
      {"a free agent with a growth rate of 9", false, false, I::GrowthRates,
       [](Tgamemain& g) { g.Market->FreeAgents->PlayerAt(0)->GrowthRate[0] = 9; },
       [](Tgamemain& g) {
         return "成長率が範囲外です（移籍市場 背番号" + std::to_string(g.Market->FreeAgents->NumberAt(0)) +
                "）：S 9（0〜4）";
       }},
      {"a reputation of 73", false, false, I::Reputation, [](Tgamemain& g) { g.Reputation[9] = 73; },
       [](Tgamemain& g) { return "評判が範囲外です（" + Place(g, 9) + "）：73（1〜72）"; }},
      {"the user's club second in its division", false, false, I::Divisions,
       [](Tgamemain& g) { std::swap(g.Divisions[2][0], g.Divisions[2][1]); },
       [](Tgamemain& g) { return "リーグの所属が壊れています（" + Place(g, 0) + "）：第3部の先頭にいません"; }},
      {"a division-1 club in the division-2 table", true, false, I::LeagueTables,
       [](Tgamemain& g) { g.Leagues[1]->Table[3][Tleague::kClub] = g.Divisions[0][0]; },
       [](Tgamemain&) {
         return std::string("順位表のクラブが所属と合いません：第2部の順位表に所属していないクラブがいます");
       }},
      {"a club twice in the cup", true, false, I::CupEntrants,
       [](Tgamemain& g) { g.Cup->Entrants.SetValue(1, 0, g.Cup->ClubOfRow(0)); },
       [](Tgamemain& g) {
         return "カップ戦の組み合わせが壊れています（" + Place(g, g.Cup->ClubOfRow(0)) + "）：同じクラブが二度います";
       }},
      {"no market in a transfer week", false, false, I::WeekSections, [](Tgamemain& g) { g.Market.reset(); },
       [](Tgamemain&) { return std::string("週と進行中のデータが合いません：第3週なのに移籍市場がありません"); }},
      {"the leagues gone in a league week", true, false, I::WeekSections,
       [](Tgamemain& g) {
         for (auto& l : g.Leagues) l.reset();
         g.Cup.reset();
       },
       [](Tgamemain&) { return std::string("週と進行中のデータが合いません：第12週なのにリーグ戦がありません"); }},
  };

  EnsureDirectory(VsDir());
  Tgamemain live(Tgamemain::TNoSeed{});
  Load(live, *season_);
  const Bytes liveBody = live.SaveBody();
  const Bytes liveSide = MakeVsImage(*live.Teams[1], "");
  const RandomState rs = GetRandomState();
  for (const TDamage& c : cases) {
    SCOPED_TRACE(c.What);
    Tgamemain g(Tgamemain::TNoSeed{});
    Load(g, c.Season ? *season_ : *pre_);
    ASSERT_TRUE(CheckWorld(g).empty());
    c.Spoil(g);
    const std::string path = c.VsFile ? "data/vs/bad.vs" : "data/savedata/bad.dat";
    const std::string expected =
        path + (c.VsFile ? ": 対戦データが規則に合いません：" : ": セーブデータが規則に合いません：") + c.Text(g);
    if (c.VsFile)
      WriteFileAtomic(path, MakeVsImage(*g.Teams[0], "壊れた"));
    else
      WriteSlotFile("bad", g.SaveBody());
    try {
      if (c.VsFile)
        LoadVsSide(live, 1, "bad");
      else
        LoadGameFromSlot(live, "bad");
      ADD_FAILURE() << "accepted";
    } catch (const InvariantFileError& e) {
      EXPECT_EQ(InvariantName(e.First().Invariant), std::string(InvariantName(c.Broken)));
      EXPECT_EQ(e.Violations().size(), 1u) << e.what();
      EXPECT_EQ(std::string(e.what()), expected);
    }
    EXPECT_EQ(live.SaveBody(), liveBody);
    EXPECT_EQ(MakeVsImage(*live.Teams[1], ""), liveSide);
    EXPECT_EQ(GetRandomState().state, rs.state);
  }
  // Every invariant is among the cases.
  std::vector<bool> covered(kInvariantCount);
  for (const TDamage& c : cases) covered[static_cast<std::size_t>(c.Broken)] = true;
  for (int i = 0; i < kInvariantCount; ++i)
    EXPECT_TRUE(covered[static_cast<std::size_t>(i)]) << InvariantName(TInvariant(i));
}

TEST_F(Invariants, EveryViolationIsListedWithItsPlace) {
  Tgamemain g(Tgamemain::TNoSeed{});
  Load(g, *pre_);
  SquadPlayer(g, 3, 0).Affinity[1] = -1;
  SquadPlayer(g, 3, 0).Affinity[2] = 500;
  g.Teams[11]->Money = -2000000000;
  const TViolations v = CheckWorld(g);
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(v[0].Club, 3);
  EXPECT_EQ(v[0].List, TListKind::Squad);
  EXPECT_EQ(v[0].Number, g.Teams[3]->Squad->NumberAt(0));
  EXPECT_EQ(v[1].Detail, "クラブ2へ 500（0〜100）");
  EXPECT_EQ(v[2].Invariant, TInvariant::ValueRanges);
  EXPECT_EQ(v[2].Club, 11);
  try {
    RequireNoViolations(v);
    ADD_FAILURE();
  } catch (const InvariantError& e) {
    EXPECT_NE(std::string(e.what()).find("（ほか2件）"), std::string::npos) << e.what();
  }
}

// Values the rules never bound are accepted within their tolerated ranges
// because nothing the rules do with them overflows: a world holding the
// extremes of every range plays a whole season.
TEST(ToleratedValues, TheirExtremesPlayASeason) {
  ScopedDataDir dir;
  const RandomState saved = GetRandomState();
  TestGame game(41);
  Tgamemain& g = game.Get();
  game.FillMarket();
  g.Teams[3]->Money = kTolMoney.Hi;
  g.Teams[4]->Money = kTolMoney.Lo;
  g.Teams[5]->RoleRatings = {kTolRoleRating.Hi, kTolRoleRating.Lo, kTolRoleRating.Hi, kTolRoleRating.Hi,
                             kTolRoleRating.Lo};
  for (int c : {0, 3, 6}) {
    Tplayer& star = SquadPlayer(g, c, 0);  // a starter: he plays, is rated, scores
    star.BaseValue = kTolBaseValue.Hi;
    star.Games = star.Goal = star.Asist = kTolSeasonCount.Hi;
    star.RatingSum = 10 * kTolSeasonCount.Hi;
    star.GrowthPoints = {kTolGrowthPoints.Hi, kTolGrowthPoints.Lo, kTolGrowthPoints.Hi, 0, 0, 0};
    star.ConditionTrend = kTolFormCycle.Lo;
    star.ConditionDelta = kTolFormCycle.Hi;
    Tplayer& tired = SquadPlayer(g, c, 5);
    tired.Fatigue = kTolFatigue.Hi;
    tired.Age = kTolAge.Hi;
    tired.PeakAge = kTolAge.Lo;
    SquadPlayer(g, c, 6).InjuryWeeks = kTolInjury.Hi;
  }
  const TViolations before = CheckWorld(g);
  ASSERT_TRUE(before.empty()) << before.front().Text();
  try {
    do {
      g.Team(kUserClub).AutoLineup(true);
      if (g.Week == 3)
        for (int r = 0; r < g.Market->Listings.RowCount(); ++r) g.Market->Listings.SetValue(r, 3, kTolMarketAmount.Hi);
      if (g.Week == 4)
        for (TIntgrid& neg : g.Market->Negotiations)
          for (int r = 1; r < neg.RowCount(); ++r) neg.SetValue(r, 1, kTolMarketAmount.Hi);
      if (g.Week == 12)
        for (auto& row : g.Leagues[0]->Table)
          for (int c = Tleague::kWins; c <= Tleague::kGoalDiff; ++c)
            row[static_cast<std::size_t>(c)] = kTolLeagueFigure.Hi;
      g.PlayWeekMatches();
      g.AdvanceWeek();
    } while (g.Week != 1);
  } catch (const std::exception& e) {
    ADD_FAILURE() << "week " << g.Week << ": " << e.what();
  }
  SetRandomState(saved);
}

// A preset off the pitch and start data longer than its 24 clubs are
// refused when they are read, naming the file; nothing is built from them.
TEST(ShippedData, HeldToTheSameRules) {
  ScopedDataDir dir;
  const RandomState rs = GetRandomState();
  const Bytes presets = ReadWholeFile("data/aiforma/2.dat");
  TIntgrid table;
  {
    TStream s(presets);
    table.LoadFromStream(s);
  }
  ASSERT_GE(table.RowCount(), 4);
  table.SetValue(3, 0, 13000);
  table.SetValue(3, 1, 100);
  TStream off;
  table.SaveToStream(off);
  WriteFileAtomic("data/aiforma/2.dat", off.Bytes());
  Tformation::ClearPresetCache();
  Tgamemain g(Tgamemain::TNoSeed{});
  try {
    g.NewGameFrom("data/first.dat", false);
    ADD_FAILURE() << "a preset off the pitch was used";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()),
              "data/aiforma/2.dat: フォーメーションの型の3行目の座標 (13000, 100) がピッチの外です");
  }
  EXPECT_FALSE(g.Teams[0]);
  EXPECT_EQ(GetRandomState().state, rs.state);
  WriteFileAtomic("data/aiforma/2.dat", presets);
  Tformation::ClearPresetCache();

  Bytes first = ReadWholeFile("data/first.dat");
  first.push_back(0);
  WriteFileAtomic("data/first.dat", first);
  try {
    g.NewGameFrom("data/first.dat", false);
    ADD_FAILURE() << "bytes after the 24th club were accepted";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()),
              "data/first.dat: 開始データが壊れています（24クラブの後ろに余分なデータがあります）");
  }
  EXPECT_FALSE(g.Teams[0]);
  EXPECT_EQ(GetRandomState().state, rs.state);
  first.pop_back();
  WriteFileAtomic("data/first.dat", first);
  g.NewGameFrom("data/first.dat", false);
  EXPECT_TRUE(CheckClub(*g.Teams[23], 23, true).empty());
  SetRandomState(rs);
}

}  // namespace
